// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The installed equations page in headless Chromium, opened from its file:
// address with a bookmarked design, used as a builder would; then axe-core
// in the same browser. Chromium is driven over the DevTools protocol on a
// pipe (--remote-debugging-pipe), which needs nothing beyond node itself.
//   node e2e_equations_page.js --page PAGE.htm --axe axe.min.js --out DIR
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const { spawn } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { pathToFileURL } = require("node:url");

function option(name) {
  const at = process.argv.indexOf(name);
  if (at < 0 || at + 1 >= process.argv.length) throw new Error(`missing ${name}`);
  return process.argv[at + 1];
}
const PAGE = path.resolve(option("--page"));
const AXE = path.resolve(option("--axe"));
const OUT = path.resolve(option("--out"));
const CHROMIUM = process.env.RAVELLE_CHROMIUM || "/usr/bin/chromium";
// A laptop's browser window less its toolbars: the assistant's results must
// show in it without scrolling.
const VIEWPORT = { width: 1280, height: 720 };
const TIMEOUT_MS = 30000;

// A design other than the defaults, bookmarked with an unknown parameter and
// a temperature that is not a number: both are ignored, 20 °C stays.
const QUERY = "?units=metric&vb=60&fb=25&bore=65&ends=flanged-flanged&temp=warm&sd=500&xmax=8" +
  "&built=600&measured=23.5&colour=red";

// One headless Chromium and one page in it.
class Browser {
  constructor() {
    this.profile = fs.mkdtempSync(path.join(os.tmpdir(), "ravelle-chromium-"));
    this.process = spawn(CHROMIUM, [
      "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage",
      `--user-data-dir=${this.profile}`, "--remote-debugging-pipe", "about:blank",
    ], { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"] });
    this.log = "";
    this.process.stderr.on("data", (chunk) => { this.log = (this.log + chunk).slice(-4000); });
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    let buffer = "";
    this.process.stdio[4].on("data", (chunk) => {
      buffer += chunk.toString("utf8");
      let end;
      while ((end = buffer.indexOf("\0")) >= 0) {
        this.dispatch(JSON.parse(buffer.slice(0, end)));
        buffer = buffer.slice(end + 1);
      }
    });
    this.exited = new Promise((resolve) => this.process.on("exit", resolve));
    this.exited.then(() => {
      for (const { reject } of this.pending.values()) reject(new Error(`chromium ended:\n${this.log}`));
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const call = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
      else call.resolve(message.result);
    } else {
      for (const listener of this.listeners) listener(message);
    }
  }

  send(method, params = {}, sessionId = this.session) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.process.stdio[3].write(JSON.stringify(message) + "\0");
    });
  }

  // The next event of this name in the page, after what starts it.
  async event(method, start) {
    let listener;
    const seen = new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error(`no ${method} within ${TIMEOUT_MS} ms`)), TIMEOUT_MS);
      listener = (m) => { if (m.method === method) { clearTimeout(timer); resolve(m.params); } };
      this.listeners.push(listener);
    });
    try {
      await start();
      return await seen;
    } finally {
      this.listeners = this.listeners.filter((l) => l !== listener);
    }
  }

  async openPage() {
    const { targetId } = await this.send("Target.createTarget", { url: "about:blank" }, null);
    ({ sessionId: this.session } = await this.send("Target.attachToTarget", { targetId, flatten: true }, null));
    this.requests = [];
    this.errors = [];
    this.listeners.push((m) => {
      if (m.sessionId !== this.session) return;
      if (m.method === "Network.requestWillBeSent") this.requests.push(m.params.request.url);
      if (m.method === "Runtime.exceptionThrown") this.errors.push(m.params.exceptionDetails.exception?.description);
      if (m.method === "Runtime.consoleAPICalled" && m.params.type === "error") this.errors.push(JSON.stringify(m.params.args));
    });
    for (const domain of ["Page", "Runtime", "Network"]) await this.send(`${domain}.enable`);
    await this.send("Emulation.setDeviceMetricsOverride", { ...VIEWPORT, deviceScaleFactor: 1, mobile: false });
  }

  async navigate(url) {
    await this.event("Page.loadEventFired", () => this.send("Page.navigate", { url }));
  }

  async evaluate(expression) {
    const r = await this.send("Runtime.evaluate", { expression, returnByValue: true, awaitPromise: true });
    if (r.exceptionDetails) throw new Error(`${expression}: ${r.exceptionDetails.exception?.description}`);
    return r.result.value;
  }

  // Keystrokes as the keyboard sends them, into the focused element.
  async type(text) {
    for (const key of text) {
      await this.send("Input.dispatchKeyEvent", { type: "keyDown", key, text: key });
      await this.send("Input.dispatchKeyEvent", { type: "keyUp", key });
    }
  }

  async screenshot(selector, file) {
    const clip = await this.evaluate(`(() => { const r = document.querySelector(${JSON.stringify(selector)})
      .getBoundingClientRect(); const x = Math.floor(r.left) - 8, y = Math.floor(r.top) - 8;
      return { x, y, width: Math.ceil(r.right) + 8 - x, height: Math.ceil(r.bottom) + 8 - y, scale: 1 }; })()`);
    const { data } = await this.send("Page.captureScreenshot", { format: "png", clip, captureBeyondViewport: true });
    fs.mkdirSync(OUT, { recursive: true });
    fs.writeFileSync(path.join(OUT, file), Buffer.from(data, "base64"));
  }

  async close() {
    const ended = Promise.race([this.exited, new Promise((r) => setTimeout(r, 5000))]);
    this.send("Browser.close", {}, null).catch(() => {});
    await ended;
    if (this.process.exitCode === null) this.process.kill("SIGKILL");
    fs.rmSync(this.profile, { recursive: true, force: true });
  }
}

// The text of every result output, by id.
const RESULTS = `Object.fromEntries(["length-mm", "length", "c0", "velocity", "mach", "minbore-mm", "minbore",
  "fpipe", "trim-mm", "trim"].map((id) => [id, document.getElementById(id).textContent]))`;
const INPUTS = `Object.fromEntries(["units", "vb", "fb", "bore", "ends", "temp", "sd", "xmax", "built", "measured"]
  .map((id) => [id, document.getElementById(id).value]))`;

let browser;
test.before(async () => {
  browser = new Browser();
  await browser.openPage();
  await browser.navigate(pathToFileURL(PAGE).href + QUERY);
});
test.after(async () => { if (browser) await browser.close(); });

test("the installed page computes a bookmarked design and follows typing", async () => {
  assert.deepEqual(await browser.evaluate(INPUTS), {
    units: "metric", vb: "60", fb: "25", bore: "65", ends: "flanged-flanged", temp: "20", sd: "500",
    xmax: "8", built: "600", measured: "23.5",
  });
  // Worked by hand: c0 = 343.21 m/s; Lv = 208.78 mm; u = 18.93 m/s = 5.52 % of c0;
  // dmin = 68.28 mm; fpipe = 649.95 Hz; trimmed = 523.73 mm.
  assert.deepEqual(await browser.evaluate(RESULTS), {
    "length-mm": "208.8", length: "208.8", c0: "343.2", velocity: "18.9", mach: "5.5", "minbore-mm": "68.3",
    minbore: "68.3", fpipe: "650", "trim-mm": "523.7", trim: "523.7",
  });
  const warning = `(() => { const w = document.getElementById("velocity-warning");
    return w.getClientRects().length ? w.textContent : ""; })()`;
  assert.match(await browser.evaluate(warning), /at least 68\.3 mm/);
  const below = await browser.evaluate(`["length-mm", "trim-mm", "velocity-warning"].filter((id) =>
    document.getElementById(id).getBoundingClientRect().bottom > innerHeight)`);
  assert.deepEqual(below, [], "results below the first screen");
  await browser.screenshot("#assistant", "assistant.png");

  // An 80 mm bore typed afresh: Lv = 331.95 mm, fpipe = 429.07 Hz,
  // u = 12.50 m/s = 3.64 % of c0, no warning; trimmed = 522.24 mm.
  await browser.evaluate(`document.getElementById("bore").focus(), document.getElementById("bore").select()`);
  await browser.type("80");
  assert.deepEqual(await browser.evaluate(RESULTS), {
    "length-mm": "332.0", length: "332.0", c0: "343.2", velocity: "12.5", mach: "3.6", "minbore-mm": "68.3",
    minbore: "68.3", fpipe: "429", "trim-mm": "522.2", trim: "522.2",
  });
  assert.equal(await browser.evaluate(warning), "", "a warning under 5 %");
  const query = new URLSearchParams(await browser.evaluate("location.search"));
  assert.equal(query.get("bore"), "80");
  assert.equal(query.get("vb"), "60");
  assert.equal(query.get("temp"), "20");
  assert.equal(query.get("colour"), null);

  // In inches the same design: 60 L = 2.1189 ft³, 80 mm = 3.1496 in,
  // 600 mm = 23.622 in; Lv = 13.07 in, dmin = 2.69 in, trimmed = 20.56 in.
  const switchTo = (units) => browser.evaluate(`(() => { const units = document.getElementById("units");
    units.value = "${units}"; units.dispatchEvent(new Event("input", { bubbles: true })); })()`);
  await switchTo("imperial");
  const inches = await browser.evaluate(INPUTS);
  assert.deepEqual([inches.vb, inches.bore, inches.built, inches.xmax], ["2.1189", "3.1496", "23.622", "0.31496"]);
  assert.deepEqual(await browser.evaluate(RESULTS), {
    "length-mm": "332.0", length: "13.07", c0: "343.2", velocity: "12.5", mach: "3.6", "minbore-mm": "68.3",
    minbore: "2.69", fpipe: "429", "trim-mm": "522.2", trim: "20.56",
  });
  assert.equal(new URLSearchParams(await browser.evaluate("location.search")).get("units"), "imperial");
  await browser.screenshot("#assistant", "assistant-imperial.png");
  // And back: the texts typed, not the inches rounded twice.
  await switchTo("metric");
  const back = await browser.evaluate(INPUTS);
  assert.deepEqual([back.vb, back.bore, back.built, back.xmax], ["60", "80", "600", "8"]);

  assert.doesNotMatch(await browser.evaluate("document.body.innerText"), /NaN|Infinity|undefined/);
  assert.deepEqual(browser.errors, [], "script errors");
  assert.deepEqual(browser.requests.filter((url) => !url.startsWith("file:")), [], "network requests");
});

test("axe-core finds no accessibility violations", async () => {
  await browser.evaluate(fs.readFileSync(AXE, "utf8"));
  const violations = await browser.evaluate(`axe.run(document).then((r) => r.violations.map((v) =>
    v.id + ": " + v.help + " (" + v.nodes.map((n) => n.target.join(" ")).join(", ") + ")"))`);
  assert.deepEqual(violations, []);
});
