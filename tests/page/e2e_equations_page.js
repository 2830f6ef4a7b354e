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

  // The element, or from its top to the bottom of another, wherever the
  // page is scrolled to.
  async screenshot(selector, file, until = selector) {
    const clip = await this.evaluate(`(() => { const r = document.querySelector(${JSON.stringify(selector)})
      .getBoundingClientRect(); const x = Math.floor(r.left + scrollX) - 8, y = Math.floor(r.top + scrollY) - 8;
      const bottom = document.querySelector(${JSON.stringify(until)}).getBoundingClientRect().bottom + scrollY;
      return { x, y, width: Math.ceil(r.right) + 8 - x, height: Math.ceil(bottom) + 8 - y, scale: 1 }; })()`);
    const { data } = await this.send("Page.captureScreenshot", { format: "png", clip, captureBeyondViewport: true });
    fs.mkdirSync(OUT, { recursive: true });
    fs.writeFileSync(path.join(OUT, file), Buffer.from(data, "base64"));
  }

  // Enter on a button, from the keyboard.
  async press(id) {
    await this.evaluate(`document.getElementById("${id}").focus()`);
    await this.send("Input.dispatchKeyEvent", { type: "keyDown", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13, text: "\r" });
    await this.send("Input.dispatchKeyEvent", { type: "keyUp", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13 });
  }

  // 100 keystrokes into an input, two texts by turns, each timed in the
  // page from the input event to the end of layout; printed as what, a
  // benchmark, not asserted. Returns the times, fastest first.
  async keystrokes(id, texts, what) {
    await this.evaluate(`window.ravelleFrames = []; if (!window.ravelleTimed) { window.ravelleTimed = true;
      window.addEventListener("input", () => { window.ravelleStart = performance.now(); }, true);
      document.addEventListener("input", () => { document.body.offsetHeight; window.ravelleFrames.push(performance.now() - window.ravelleStart); }); }`);
    for (let i = 0; i < 50; i++) {
      await this.evaluate(`document.getElementById("${id}").focus(), document.getElementById("${id}").select()`);
      await this.type(texts[i % 2]);
    }
    const frames = (await this.evaluate("window.ravelleFrames")).sort((x, y) => x - y);
    console.log(`# ${what}, ${frames.length} keystrokes in ${id}: median ${frames[frames.length >> 1].toFixed(2)} ms, ` +
      `maximum ${frames[frames.length - 1].toFixed(2)} ms`);
    return frames;
  }

  // The address, once the page has written it: it follows typing when
  // typing pauses.
  async address() {
    await new Promise((resolve) => setTimeout(resolve, 400));
    return new URLSearchParams(await this.evaluate("location.search"));
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
  await browser.screenshot("#assistant", "assistant.png", "#assistant-form");

  // An 80 mm bore typed afresh: Lv = 331.95 mm, fpipe = 429.07 Hz,
  // u = 12.50 m/s = 3.64 % of c0, no warning; trimmed = 522.24 mm.
  await browser.evaluate(`document.getElementById("bore").focus(), document.getElementById("bore").select()`);
  await browser.type("80");
  assert.deepEqual(await browser.evaluate(RESULTS), {
    "length-mm": "332.0", length: "332.0", c0: "343.2", velocity: "12.5", mach: "3.6", "minbore-mm": "68.3",
    minbore: "68.3", fpipe: "429", "trim-mm": "522.2", trim: "522.2",
  });
  assert.equal(await browser.evaluate(warning), "", "a warning under 5 %");
  const query = await browser.address();
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
  assert.equal((await browser.address()).get("units"), "imperial");
  await browser.screenshot("#assistant", "assistant-imperial.png");
  // And back: the texts typed, not the inches rounded twice.
  await switchTo("metric");
  const back = await browser.evaluate(INPUTS);
  assert.deepEqual([back.vb, back.bore, back.built, back.xmax], ["60", "80", "600", "8"]);

  assert.doesNotMatch(await browser.evaluate("document.body.innerText"), /NaN|Infinity|undefined/);
  assert.deepEqual(browser.errors, [], "script errors");
  assert.deepEqual(browser.requests.filter((url) => !url.startsWith("file:")), [], "network requests");
});

// The box designer on the page as it opens: the example driver in the
// starting box. What the page shows must be what the assistant computes for
// the same texts (the node tests check those numbers by hand).
const assistant = require(path.join(__dirname, "..", "..", "page", "texts.js"));
const CURVES = `[...document.querySelectorAll("#curves tr[data-hz]")].map((tr) =>
  [tr.dataset.hz, Object.fromEntries([...tr.querySelectorAll("td[data-quantity]")].map((td) => [td.dataset.quantity, td.textContent]))])`;
const ALIGNMENTS = `Object.fromEntries([...document.querySelectorAll("#alignments tr[data-alignment]")].map((tr) =>
  [tr.dataset.alignment, [...tr.querySelectorAll("td[data-quantity]")].map((td) => td.textContent)]))`;
const BOX = `({ f3: document.getElementById("f3").textContent, sensitivity: document.getElementById("sensitivity").textContent,
  note: document.getElementById("box-note").textContent, length: document.getElementById("length-mm").textContent })`;

function expectedCurves(texts) {
  return assistant.assess(texts).box.rows.map((r) => [String(r.hz), r.cells]);
}

test("the box designer: from the example driver to the box, the port and the query", async () => {
  await browser.navigate(pathToFileURL(PAGE).href);
  const defaults = assistant.defaultTexts("metric");
  assert.deepEqual(await browser.evaluate(BOX), { f3: "25.0", sensitivity: "85.1", note: "", length: "832.3" });
  const curves = await browser.evaluate(CURVES);
  assert.deepEqual(curves.map(([hz]) => hz), ["10", "12.5", "16", "20", "25", "31.5", "40", "50", "63", "80", "100", "125", "160", "200"]);
  assert.deepEqual(curves, expectedCurves(defaults));
  assert.deepEqual(curves[3], ["20", { "response-db": "-6.7", "spl-db": "78.3", "excursion-mm": "0.40", "velocity-ms": "2.0",
    "delay-ms": "24.6", "max-spl-db": "100.7", "impedance-ohm": "7.3" }]);

  // Six graphs, each a curve of at least 100 points, f3 and fb marked (or
  // the impedance's peaks and dip), a title in words, and no number gone
  // wrong.
  const graphs = await browser.evaluate(`[...document.querySelectorAll("svg.graph")].map((g) => ({ id: g.id,
    points: g.querySelector("polyline.curve").getAttribute("points").split(" ").length,
    marks: g.querySelectorAll("line.mark").length, title: g.querySelector("title").textContent,
    label: g.getAttribute("aria-label"), text: g.outerHTML }))`);
  assert.deepEqual(graphs.map((g) => g.id), ["graph-response", "graph-excursion", "graph-velocity", "graph-delay", "graph-max-spl",
    "graph-impedance"]);
  for (const g of graphs) {
    assert.ok(g.points >= 100, `${g.id}: ${g.points} points`);
    assert.equal(g.marks, g.id === "graph-impedance" ? 3 : 2, `${g.id}: f3 and fb, or two peaks and a dip`);
    assert.equal(g.title, g.label);
    assert.doesNotMatch(g.text, /NaN|Infinity|undefined/, g.id);
  }
  assert.match(graphs[0].label, /3 dB down at 25\.0 Hz/);
  assert.match(graphs[1].label, /within Xmax \(8\.0 mm\) from 10\.0 to 200 Hz at 2\.83 V/);
  assert.match(graphs[5].label, /^The impedance peaks at [\d.]+ Ω at [\d.]+ Hz and [\d.]+ Ω at [\d.]+ Hz, with its dip between them/);
  // Every id names one element, so that each link leads where it says.
  assert.deepEqual(await browser.evaluate(`[...document.querySelectorAll("[id]")].map((e) => e.id)
    .filter((id, i, ids) => ids.indexOf(id) !== i)`), [], "ids used twice");
  await browser.screenshot(".designer", "designer.png");
  await browser.screenshot("#assistant", "box-designer.png", '[data-graph="excursion"]');

  // Recomputing and redrawing after a keystroke.
  const frames = await browser.keystrokes("fs", ["23", "23"], "the box designer");
  assert.equal(frames.length, 100);
  const typed = { ...defaults, fs: "23" };
  assert.deepEqual(await browser.evaluate(CURVES), expectedCurves(typed));

  // "Use this box" from the keyboard: the QB3 box becomes the design, and
  // the port, the curves and the address follow.
  const rows = await browser.evaluate(ALIGNMENTS);
  const wanted = assistant.assess(typed).box.alignments.find((r) => r.name === "QB3");
  assert.deepEqual(rows.QB3, [wanted.vb, wanted.fb, wanted.f3]);
  assert.deepEqual(rows.B4, [], "B4 shows no numbers for this Qts");
  await browser.evaluate(`document.querySelector('#alignments tr[data-alignment="QB3"] button').focus()`);
  await browser.send("Input.dispatchKeyEvent", { type: "keyDown", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13, text: "\r" });
  await browser.send("Input.dispatchKeyEvent", { type: "keyUp", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13 });
  const chosen = { ...typed, vb: wanted.vb, fb: wanted.fb };
  const inputs = await browser.evaluate(INPUTS);
  assert.deepEqual([inputs.vb, inputs.fb], [wanted.vb, wanted.fb]);
  const query = await browser.address();
  assert.deepEqual([query.get("vb"), query.get("fb"), query.get("fs"), query.get("qts")], [wanted.vb, wanted.fb, "23", "0.38"]);
  const shown = assistant.assess(chosen);
  assert.deepEqual(await browser.evaluate(BOX), { f3: shown.box.outputs.f3, sensitivity: shown.box.outputs.sensitivity, note: "",
    length: shown.outputs["length-mm"] });
  assert.equal(shown.box.outputs.f3, wanted.f3, "the table's f3 is the box's");
  assert.deepEqual(await browser.evaluate(CURVES), expectedCurves(chosen));

  // In imperial units the inputs are rewritten and no curve moves.
  await browser.evaluate(`(() => { const units = document.getElementById("units");
    units.value = "imperial"; units.dispatchEvent(new Event("input", { bubbles: true })); })()`);
  assert.equal(await browser.evaluate(`document.getElementById("vas").value`), "1.9423");
  assert.deepEqual(await browser.evaluate(CURVES), expectedCurves(chosen));
  assert.match((await browser.evaluate(ALIGNMENTS)).QB3[0], /^\d+\.\d\d$/, "Vb in ft³ to 0.01");
  await browser.screenshot(".designer", "designer-imperial.png");

  // A driver input gone wrong: no number anywhere, and the page says which.
  await browser.evaluate(`document.getElementById("qts").focus(), document.getElementById("qts").select()`);
  await browser.type("low");
  const broken = await browser.evaluate(BOX);
  assert.deepEqual([broken.f3, broken.sensitivity], ["", ""]);
  assert.match(broken.note, /Needs the total Q, Qts/);
  assert.deepEqual(await browser.evaluate(CURVES), []);
  assert.equal(await browser.evaluate(`document.querySelectorAll("svg.graph").length`), 0);
  assert.match(await browser.evaluate(`document.getElementById("alignments-note").textContent`), /Qts/);
  assert.doesNotMatch(await browser.evaluate("document.body.innerText"), /NaN|Infinity|undefined/);

  // Back to the example, then at 200 % and in print.
  await browser.navigate(pathToFileURL(PAGE).href);
  await browser.send("Emulation.setDeviceMetricsOverride", { width: VIEWPORT.width / 2, height: VIEWPORT.height / 2,
    deviceScaleFactor: 2, mobile: false });
  await browser.screenshot(".graphs", "designer-200.png");
  await browser.send("Emulation.setDeviceMetricsOverride", { ...VIEWPORT, deviceScaleFactor: 1, mobile: false });
  const { data } = await browser.send("Page.printToPDF", { printBackground: true });
  fs.writeFileSync(path.join(OUT, "page.pdf"), Buffer.from(data, "base64"));
  assert.deepEqual(browser.errors, [], "script errors");
  assert.deepEqual(browser.requests.filter((url) => !url.startsWith("file:")), [], "network requests");
});

// The build sheet: the example driver's box to a plan, "Use this plan", the
// cut list and the printed sheet. Every number on it is the build's texts
// for the same inputs; those are checked against the program in the node
// tests.
const buildTexts = require(path.join(__dirname, "..", "..", "page", "build-texts.js"));
const TABLE = (id) => `[...document.querySelectorAll("#${id} tbody tr")].map((tr) =>
  Object.fromEntries([...tr.querySelectorAll("td[data-quantity]")].map((td) => [td.dataset.quantity, td.textContent])))`;
const cellTexts = (rows) => rows.map((r) => Object.fromEntries(Object.entries(r.cells).map(([q, c]) => [q, c.text])));
function expectedBuild(texts) {
  return buildTexts.assessBuild(texts, {}, assistant.assess(texts));
}

test("the build sheet: from the example driver to a plan, its walls and the printed sheet", async () => {
  await browser.navigate(pathToFileURL(PAGE).href);
  const defaults = assistant.defaultTexts("metric");
  const before = expectedBuild(defaults);
  assert.deepEqual(await browser.evaluate(TABLE("port")), cellTexts(before.port.rows));
  assert.deepEqual(await browser.evaluate(TABLE("tube-plan")), cellTexts(before.plan.rows));
  assert.equal(before.plan.rows.length, 3);
  assert.deepEqual(await browser.evaluate(TABLE("panels")), before.box.panels.map((p) => Object.fromEntries(
    Object.entries(p.cells).map(([q, c]) => [q, c.text]))));

  // A keystroke in the build with the sheet on the screen: the port, the
  // plan's search, the box and the drawings again.
  await browser.evaluate(`document.getElementById("t2").scrollIntoView()`);
  await browser.keystrokes("t2", ["3.5", "4"], "the build sheet on screen");
  assert.equal(await browser.evaluate(`document.getElementById("t2").value`), "4");

  // "Use this plan" from the keyboard: its walls become the port's, the
  // address keeps them, and the port follows.
  await browser.evaluate(`document.getElementById("use-plan").focus()`);
  await browser.send("Input.dispatchKeyEvent", { type: "keyDown", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13, text: "\r" });
  await browser.send("Input.dispatchKeyEvent", { type: "keyUp", key: "Enter", code: "Enter", windowsVirtualKeyCode: 13 });
  const walls = await browser.evaluate(`["t1", "t2", "t3"].map((id) => document.getElementById(id).value)`);
  assert.deepEqual(walls.map(Number), before.plan.walls);
  const query = await browser.address();
  assert.deepEqual(["t1", "t2", "t3"].map((id) => query.get(id)), walls);
  const after = expectedBuild({ ...defaults, t1: walls[0], t2: walls[1], t3: walls[2] });
  const port = await browser.evaluate(TABLE("port"));
  assert.deepEqual(port, cellTexts(after.port.rows));
  assert.deepEqual(port.map((r) => r["wall-mm"]), walls);
  assert.deepEqual(port.map((r) => r["inside-mm"]), after.plan.rows.map((r) => r.cells["required-mm"].text),
    "each tube is the size the plan made it for");
  assert.equal(await browser.evaluate(`document.getElementById("use-plan").disabled`), true, "nothing more to use");
  assert.match(await browser.evaluate(`document.getElementById("port-length").textContent`), /^\d+$/);
  const sheet = await browser.evaluate(`document.getElementById("build-sheet").innerText`);
  assert.match(sheet, /Width of strip to be inserted into inner tube \d+/);
  assert.equal(await browser.evaluate(`document.querySelectorAll("#build-sheet svg[role=img]").length`), 3, "three drawings");
  assert.doesNotMatch(sheet, /NaN|Infinity|undefined/);
  await browser.evaluate(`document.getElementById("build-sheet").scrollIntoView()`);
  await browser.screenshot("#build-sheet", "build-sheet.png");

  // The sheet alone, as "Print the build sheet" prints it, in metric and
  // in imperial: at most two pages, lengths in inches to 1/16.
  const pages = async (file) => {
    await browser.evaluate(`document.documentElement.classList.add("printing-sheet")`);
    const { data } = await browser.send("Page.printToPDF", { printBackground: true, paperWidth: 8.27, paperHeight: 11.69 });
    await browser.evaluate(`document.documentElement.classList.remove("printing-sheet")`);
    const pdf = Buffer.from(data, "base64");
    fs.writeFileSync(path.join(OUT, file), pdf);
    return (pdf.toString("latin1").match(/\/Type\s*\/Page[^s]/g) || []).length;
  };
  assert.ok(await pages("build-sheet.pdf") <= 2, "the metric sheet on two A4 pages");
  await browser.evaluate(`(() => { const units = document.getElementById("units");
    units.value = "imperial"; units.dispatchEvent(new Event("input", { bubbles: true })); })()`);
  const inches = await browser.evaluate(TABLE("port"));
  for (const r of inches) assert.match(r["cut-mm"], /^\d+( \d+\/(2|4|8|16))?$/, "a cut length in inches to 1/16");
  assert.ok(await pages("build-sheet-imperial.pdf") <= 2, "the imperial sheet on two A4 pages");
  assert.deepEqual(browser.errors, [], "script errors");
});

// Measured sweeps, loaded through the file input as a builder loads them:
// files made from the model in the shapes that measurements export, a box
// built 2 Hz low and lossier than designed, and the example driver in free
// air, alone and with 100 g on its cone. What the page shows must be what
// the sweep's texts give for the same file read in node.
const sweep = require(path.join(__dirname, "..", "..", "page", "sweep.js"));
const sweepTexts = require(path.join(__dirname, "..", "..", "page", "sweep-texts.js"));
const boxModel = require(path.join(__dirname, "..", "..", "page", "box-model.js"));
function sweepFiles(dir) {
  const example = { fs: 22, qts: 0.38, qes: 0.42, vas: 0.055, re: 5.6, sd: 0.05, temp: 20, vb: 0.04, le: 1.2e-3 };
  let seed = 11;
  const noise = () => 1 + 0.01 * ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648 - 0.5);
  const points = (z, n) => Array.from({ length: n }, (_, i) => {
    const hz = 5 * Math.pow(100, i / (n - 1)), c = z(hz);
    return { hz, ohm: Math.hypot(c[0], c[1]) * noise(), deg: Math.atan2(c[1], c[0]) * 180 / Math.PI };
  });
  const built = points(boxModel.impedanceOf({ ...example, fb: 20, ql: 5 }), 1200);
  // A mass on the cone (the example's Mms is 337.4 g) lowers fs and raises
  // each Q by the root of the masses' ratio; Bl and Cms stay.
  const air = (grams) => {
    const heavier = Math.sqrt((337.4 + grams) / 337.4);
    const d = boxModel.design({ ...example, fb: 20, ql: 7, volts: 1, xmax: 1, bore: 1, fs: 22 / heavier, qts: 0.38 * heavier,
      qes: 0.42 * heavier });
    return points((f) => d.at(f).freeAirImpedance, 600);
  };
  const decimalComma = (x, d) => x.toFixed(d).replace(".", ",");
  const files = {
    "box.txt": ["* Impedance of the built box", "* Freq(Hz)  Impedance(Ohm)  Phase(deg)",
      ...built.map((p) => `${p.hz.toFixed(3)}  ${p.ohm.toFixed(4)}  ${p.deg.toFixed(2)}`)].join("\n") + "\n",
    "box.csv": ["Frequenz;Impedanz;Phase", ...built.map((p) => `${decimalComma(p.hz, 3)};${decimalComma(p.ohm, 4)};${decimalComma(p.deg, 2)}`)]
      .join("\r\n"),
    "free-air.csv": ["Frequency (Hz),Magnitude (Ohm),Phase (deg)", ...air(0).map((p) => `${p.hz.toFixed(3)},${p.ohm.toFixed(4)},${p.deg.toFixed(2)}`)]
      .join("\r\n"),
    "free-air-100g.txt": air(100).map((p) => `${p.hz.toFixed(3)}\t${p.ohm.toFixed(4)}`).join("\n"),
    "refused.txt": ["Freq Mag", ...built.slice(0, 20).map((p, i) => `${(i === 12 ? 1 : p.hz).toFixed(3)} ${p.ohm.toFixed(4)}`)].join("\n"),
  };
  fs.mkdirSync(dir, { recursive: true });
  return Object.fromEntries(Object.entries(files).map(([name, text]) => {
    fs.writeFileSync(path.join(dir, name), text);
    return [name, { file: path.join(dir, name), sweep: { name, ...sweep.read(text) } }];
  }));
}
const MEASURED = `({ note: document.getElementById("measurement-note").textContent,
  added: document.getElementById("measurement-added-note").textContent,
  outputs: Object.fromEntries([...document.querySelectorAll(".measure-results output")].map((o) => [o.id, o.textContent])),
  second: document.querySelectorAll("#graph-impedance polyline.second").length,
  legend: [...document.querySelectorAll("#graph-impedance text.legend")].map((t) => t.textContent),
  heading: !document.getElementById("measured-ohm-heading").hidden })`;

test("measured sweeps: a box and a driver, loaded from their files, into the trim and the driver", async () => {
  const files = sweepFiles(path.join(OUT, "sweeps"));
  await browser.navigate(pathToFileURL(PAGE).href + "?built=832.3");
  await browser.send("DOM.enable");
  const load = async (id, name) => {
    const before = await browser.evaluate(MEASURED);
    const { result } = await browser.send("Runtime.evaluate", { expression: `document.getElementById("${id}")` });
    await browser.send("DOM.setFileInputFiles", { files: [files[name].file], objectId: result.objectId });
    for (let i = 0; i < 100 && JSON.stringify(await browser.evaluate(MEASURED)) === JSON.stringify(before); i++) {
      await new Promise((r) => setTimeout(r, 20));
    }
    return browser.evaluate(MEASURED);
  };
  // Dropped on the impedance graph, as from a file manager.
  const drop = async (name) => {
    const before = await browser.evaluate(MEASURED);
    const at = await browser.evaluate(`(() => { const e = document.querySelector('[data-graph="impedance"]'); e.scrollIntoView();
      const r = e.getBoundingClientRect(); return { x: r.left + r.width / 2, y: r.top + r.height / 2 }; })()`);
    const data = { items: [], files: [files[name].file], dragOperationsMask: 1 };
    for (const type of ["dragEnter", "dragOver", "drop"]) await browser.send("Input.dispatchDragEvent", { type, ...at, data });
    for (let i = 0; i < 100 && JSON.stringify(await browser.evaluate(MEASURED)) === JSON.stringify(before); i++) {
      await new Promise((r) => setTimeout(r, 20));
    }
    return browser.evaluate(MEASURED);
  };
  const press = (id) => browser.press(id);
  const values = (texts) => assistant.assess(texts).box.values;
  let texts = { ...assistant.defaultTexts("metric"), built: "832.3" };

  // The box, in blanks with comments and a phase: 2 Hz low, QL 5.
  const box = await load("measurement", "box.txt");
  const expected = sweepTexts.assessSweep({ main: files["box.txt"].sweep, added: null }, values(texts), "metric");
  assert.equal(box.note, expected.note);
  for (const [id, text] of Object.entries(box.outputs)) assert.equal(text, expected.outputs[id], id);
  assert.ok(Math.abs(Number(box.outputs["measured-fb"]) / 20 - 1) <= 0.01, `fb ${box.outputs["measured-fb"]}`);
  assert.ok(Math.abs(Number(box.outputs["measured-ql"]) / 5 - 1) <= 0.1, `QL ${box.outputs["measured-ql"]}`);
  assert.deepEqual([box.second, box.legend, box.heading], [1, ["model", "measured: box.txt"], true]);
  assert.deepEqual(await browser.evaluate(CURVES), assistant.assess(texts, {}, { main: files["box.txt"].sweep }).box.rows
    .map((r) => [String(r.hz), r.cells]));
  await browser.evaluate(`document.getElementById("measurement-title").scrollIntoView()`);
  await browser.screenshot('[data-graph="impedance"]', "measured-sweep.png");
  await browser.screenshot("#measurement-title", "measured-box.png", ".measure-results");

  // A keystroke with the sweep loaded, fitting again.
  await browser.keystrokes("fs", ["23", "22"], "a box sweep loaded");

  // "Use the measured tuning": the trim step takes it, and the port is cut.
  await press("use-tuning");
  const tuned = await browser.evaluate(`["measured", "ql"].map((id) => document.getElementById(id).value)`);
  assert.deepEqual(tuned, [box.outputs["measured-fb"], box.outputs["measured-ql"]]);
  texts = { ...texts, measured: tuned[0], ql: tuned[1] };
  const trim = assistant.assess(texts);
  for (const [id, text] of Object.entries(await browser.evaluate(RESULTS))) assert.equal(text, trim.outputs[id], id);
  assert.equal(await browser.evaluate(`document.getElementById("trim-cut-mm").textContent`), trim.outputs["trim-cut-mm"]);
  assert.match(trim.outputs["trim-cut-mm"], /^\d+\.\d$/);
  assert.equal((await browser.address()).get("measured"), tuned[0]);

  // A file refused: the line named, the measured column and curve gone,
  // every other result as it was.
  const resultsBefore = await browser.evaluate(RESULTS);
  const refused = await load("measurement", "refused.txt");
  assert.match(refused.note, /^refused\.txt: Line 14: the frequency 1\.000 Hz does not follow 5\.\d+ Hz/);
  assert.deepEqual([refused.second, refused.heading], [0, false]);
  assert.deepEqual(await browser.evaluate(RESULTS), resultsBefore);
  assert.deepEqual(await browser.evaluate(CURVES), expectedCurves(texts));

  // In imperial: the same box from semicolons and decimal commas, then the
  // driver in free air with the mass added, into the driver's inputs.
  await browser.evaluate(`(() => { const units = document.getElementById("units");
    units.value = "imperial"; units.dispatchEvent(new Event("input", { bubbles: true })); })()`);
  const again = await drop("box.csv");
  assert.equal(await browser.evaluate(`document.getElementById("measurement").files[0].name`), "box.csv");
  assert.equal(again.outputs["measured-fb"], box.outputs["measured-fb"]);
  await browser.evaluate(`document.getElementById("addedmass").focus()`);
  await browser.type("100");
  await load("measurement", "free-air.csv");
  const air = await load("measurement-added", "free-air-100g.txt");
  const shownTexts = await browser.evaluate(`Object.fromEntries(${JSON.stringify(Object.keys(assistant.defaultTexts("metric")))}
    .filter((id) => document.getElementById(id) && !document.getElementById(id).matches("fieldset"))
    .map((id) => [id, document.getElementById(id).value]))`);
  const expectedAir = sweepTexts.assessSweep({ main: files["free-air.csv"].sweep, added: files["free-air-100g.txt"].sweep },
    assistant.assess({ ...assistant.defaultTexts("imperial"), ...shownTexts, units: "imperial" }).box.values, "imperial");
  assert.equal(air.note, expectedAir.note);
  assert.equal(air.added, expectedAir.addedNote);
  for (const [id, text] of Object.entries(air.outputs)) assert.equal(text, expectedAir.outputs[id], id);
  assert.ok(Math.abs(Number(air.outputs["measured-fs"]) / 22 - 1) <= 0.005, `fs ${air.outputs["measured-fs"]}`);
  assert.ok(Math.abs(Number(air.outputs["measured-vas"]) / 1.9423 - 1) <= 0.03, `Vas ${air.outputs["measured-vas"]} ft³`);
  assert.deepEqual(air.legend, ["model, in free air", "measured: free-air.csv"]);
  await browser.evaluate(`document.getElementById("measurement-title").scrollIntoView()`);
  await browser.screenshot("#measurement-title", "measured-driver-imperial.png", ".measure-results");
  await press("use-driver");
  assert.deepEqual(await browser.evaluate(`["fs", "qts", "qes", "vas"].map((id) => document.getElementById(id).value)`),
    ["measured-fs", "measured-qts", "measured-qes", "measured-vas"].map((id) => air.outputs[id]));

  await press("forget-sweeps");
  const forgotten = await browser.evaluate(MEASURED);
  assert.deepEqual([forgotten.second, forgotten.heading, forgotten.outputs["measured-fs"]], [0, false, ""]);
  // axe-core, next, looks at the page with a sweep on it.
  await load("measurement", "box.txt");
  assert.doesNotMatch(await browser.evaluate("document.body.innerText"), /NaN|Infinity|undefined/);
  assert.deepEqual(browser.errors, [], "script errors");
  assert.deepEqual(browser.requests.filter((url) => !url.startsWith("file:")), [], "network requests");
});

// Two designs side by side, for a pair of drivers of our own: the example
// driver twice in 80 L, with a subsonic filter, kept as B; then wired in
// series with another filter, compared, swapped, bookmarked and forgotten.
const COMPARED = `({ table: [...document.querySelectorAll("#compare tr[data-row]")].map((tr) => [tr.dataset.row, tr.cells[1].textContent,
  tr.cells[2].textContent]), shown: !document.getElementById("compare-holder").hidden,
  kept: [...document.querySelectorAll("svg.graph")].map((g) => g.querySelectorAll("polyline.compare").length),
  plain: [...document.querySelectorAll("svg.graph")].map((g) => g.querySelectorAll("polyline.plain").length),
  labels: [...document.querySelectorAll("svg.graph")].map((g) => g.getAttribute("aria-label")) })`;

test("two designs side by side: keep, compare, swap and forget, with two drivers and filters", async () => {
  await browser.navigate(pathToFileURL(PAGE).href + "?count=2&vb=80&hpf=16&volts=8");
  const set = (values) => browser.evaluate(`(() => { for (const [id, v] of ${JSON.stringify(Object.entries(values))}) {
    const e = document.getElementById(id); e.value = v; e.dispatchEvent(new Event("input", { bubbles: true })); } })()`);
  const press = (id) => browser.press(id);
  const b = { ...assistant.defaultTexts("metric"), count: "2", vb: "80", hpf: "16", volts: "8" };
  assert.equal((await browser.evaluate(COMPARED)).shown, false, "no B yet");
  assert.equal(await browser.evaluate(`document.getElementById("load").textContent`), "2.8");
  await press("keep-b");
  const query = assistant.queryFromTexts(b);
  assert.equal((await browser.address()).get("b"), query, "the address keeps B");

  const a = { ...b, wiring: "series", volts: "16", hpf: "18", hporder: "2" };
  await set({ wiring: "series", volts: "16", hpf: "18", hporder: "2" });
  const both = await browser.evaluate(COMPARED);
  const expected = assistant.assess({ ...a, b: query }).compare.rows.map((r) => [r.id, r.a, r.b]);
  assert.deepEqual(both.table, expected);
  assert.equal(both.shown, true);
  assert.deepEqual(both.kept, [1, 1, 1, 1, 1, 1], "B on every graph");
  assert.deepEqual(both.plain, [1, 1, 1, 1, 1, 0], "without the filter, but for the impedance");
  for (const label of both.labels) assert.match(label, /B, kept for comparison: /);
  // In series at twice the voltage the pair plays as it did in parallel.
  const row = (id) => both.table.find((r) => r[0] === id);
  assert.equal(row("sensitivity")[1], row("sensitivity")[2]);
  assert.equal(await browser.evaluate(`document.getElementById("load").textContent`), "11.2");
  await browser.evaluate(`document.querySelector(".box-results").scrollIntoView()`);
  await browser.screenshot(".box-results", "compare.png", '[data-graph="excursion"]');

  // Two designs with filters, typed into.
  await browser.keystrokes("fs", ["23", "22"], "two designs with filters");

  // Swap: B becomes the design typed, and A is kept; a bookmark keeps both.
  await press("swap-b");
  const swapped = await browser.evaluate(COMPARED);
  assert.deepEqual(swapped.table, both.table.map(([id, x, y]) => [id, y, x]));
  assert.deepEqual(await browser.evaluate(`["wiring", "volts", "hpf", "hporder"].map((id) => document.getElementById(id).value)`),
    ["parallel", "8", "16", "4"]);
  const bookmark = await browser.address();
  await browser.navigate(pathToFileURL(PAGE).href + "?" + bookmark.toString());
  assert.deepEqual((await browser.evaluate(COMPARED)).table, swapped.table, "the bookmark brings both back");

  await press("forget-b");
  const forgotten = await browser.evaluate(COMPARED);
  assert.deepEqual([forgotten.shown, forgotten.kept], [false, [0, 0, 0, 0, 0, 0]]);
  assert.equal((await browser.address()).get("b"), null);
  assert.doesNotMatch(await browser.evaluate("document.body.innerText"), /NaN|Infinity|undefined/);
  assert.deepEqual(browser.errors, [], "script errors");
  // axe-core, next, looks at the page with B kept.
  await press("keep-b");
});

test("axe-core finds no accessibility violations", async () => {
  await browser.evaluate(fs.readFileSync(AXE, "utf8"));
  const violations = await browser.evaluate(`axe.run(document).then((r) => r.violations.map((v) =>
    v.id + ": " + v.help + " (" + v.nodes.map((n) => n.target.join(" ")).join(", ") + ")"))`);
  assert.deepEqual(violations, []);
});
