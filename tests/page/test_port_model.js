// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The page's port against the program itself: the worked examples that the
// main window's tests read, and random inputs that the program's own
// computation (port_dump) and the page's compute side by side, compared
// bit for bit, before and after rounding.
// Run: node tests/page/test_port_model.js --dump build/default/tests/port_dump
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const path = require("node:path");

const page = path.join(__dirname, "..", "..", "page");
const port = require(path.join(page, "port-model.js"));
const DUMP = process.argv[process.argv.indexOf("--dump") + 1];
const EXAMPLES = path.join(__dirname, "..", "data", "worked_examples.tsv");

// The rows of one window in the worked examples, as {column: text}.
function examples(window) {
  let columns = [];
  const rows = [];
  for (const line of fs.readFileSync(EXAMPLES, "utf8").split("\n")) {
    if (line === "" || line.startsWith("#")) continue;
    const fields = line.split("\t");
    if (fields[0] === "@" + window) columns = fields;
    else if (fields[0] === window) rows.push(Object.fromEntries(columns.map((c, i) => [c, fields[i]])));
  }
  return rows;
}

// The number at the end of a caption, as the window wrote it.
const shownNumber = (caption) => Number(caption.replace(/ litres$/, "").trim().split(/ +/).pop());
const PLAIN = /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i;
const BOXES = ["Text1", "Text2", "Text3", "Text4", "Text7", "Text8", "Text5", "Text6"];

function inputsOf(row, tubes) {
  const n = BOXES.map((b) => Number(row[b]));
  return { tubes, bore: n[0], walls: n.slice(1, 6), acoustic: n[6], cap: n[7] };
}

// What the window shows for a complete run, in the worked examples' labels.
function captionsOf(result) {
  const s = result.shown, five = s.tubes === 5;
  const numbers = { Label1: s.inside[2], Label2: s.inside[3], Label3: s.gap[1], Label4: s.gap[2],
    Label12: s.outside[s.tubes], Label14: s.volume, Label18: s.length, Label17: s.depth };
  if (five) Object.assign(numbers, { Label21: s.inside[4], Label22: s.inside[5], Label23: s.gap[3], Label24: s.gap[4] });
  return numbers;
}

const rows = examples("port");
test("the worked examples: every number the main window shows, and where it shows none", () => {
  let compared = 0;
  for (const row of rows) {
    // Texts the page's fields refuse (blanks inside, junk, beyond the
    // double range) are the fields' business, not the port's.
    if (!BOXES.every((b) => PLAIN.test(row[b]) && isFinite(Number(row[b])))) continue;
    const tubes = Number(row.tubes);
    const result = port.compute(inputsOf(row, tubes));
    if (row.Label1 === "n/a") {
      assert.equal(result.problem, "bore", row.example);
    } else if (result.problem) {
      // The window keeps the display of the first row's texts: the page
      // says what is wrong instead.
      assert.ok(["wall", "range"].includes(result.problem), row.example);
      const before = port.compute(inputsOf(rows[0], tubes));
      for (const [label, value] of Object.entries(captionsOf(before))) assert.equal(shownNumber(row[label]), value, `${row.example}: ${label}`);
    } else {
      for (const [label, value] of Object.entries(captionsOf(result))) assert.equal(shownNumber(row[label]), value, `${row.example}: ${label}`);
    }
    compared++;
  }
  assert.ok(compared >= 20, `${compared} rows compared`);
});

test("the cut list of the starting values, worked by hand", () => {
  // P = 276.9315, g1 = 21.0114, g2 = 14.3910, c = 36: the outermost
  // 240.93, tube 2 226.54, tube 1 219.92; the plug is D2 = 132.48.
  const cases = [
    { tubes: 3, cuts: [220, 227, 241], fixed: ["end cap", "front plug", "front panel and end cap"], plug: 132, cap: 166, opening: 158 },
    // 5 tubes: P = 186.9036, g1..g4 = 21.01, 14.39, 11.42, 9.69; D4 = 194.91.
    { tubes: 5, cuts: [130, 137, 139, 141, 151], fixed: ["end cap", "front plug", "end cap", "front plug", "front panel and end cap"],
      plug: 195, cap: 221, opening: 213 },
  ];
  for (const c of cases) {
    const result = port.compute({ tubes: c.tubes, bore: 86, walls: [2, 4, 4, 4, 4], acoustic: 830, cap: 36 });
    const list = port.cutList(result, 36);
    assert.deepEqual(list.rows.map((r) => r.cutMm), c.cuts, `${c.tubes} tubes`);
    assert.deepEqual(list.rows.map((r) => r.fixedTo), c.fixed, `${c.tubes} tubes`);
    assert.deepEqual([list.plugMm, list.capOutsideMm, list.capHoleMm, list.openingMm], [c.plug, c.cap, 86, c.opening]);
  }
});

// Random inputs over the ranges the fuzz tests reach: everyday ports, every
// magnitude a double has with either sign, and the values at the gates.
function randomInputs(count, tubes, seed) {
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  const EDGES = [0, -0, 1, 1.0000000000000002, 0.5, -1, 1e154, 2e154, 1.3e154, 1e300, -1e300, 1e-300, 5e-324, 1.7976931348623157e308];
  const value = (lo, hi, decimals) => {
    const kind = random();
    if (kind < 0.75) return Number((lo + (hi - lo) * random()).toFixed(decimals));
    if (kind < 0.87) return lo + (hi - lo) * random(); // every bit in use
    if (kind < 0.96) return (random() < 0.8 ? 1 : -1) * Math.pow(10, -6 + 312 * random());
    return EDGES[Math.floor(random() * EDGES.length)];
  };
  const out = [];
  for (let i = 0; i < count; i++) {
    out.push({ tubes, bore: value(0, 400, 1), walls: [0, 0, 0, 0, 0].map(() => value(-0.5, 12, 2)),
      acoustic: value(-200, 6000, 1), cap: value(-10, 80, 1) });
  }
  return out;
}

const OUTCOMES = ["complete", "bore", "wall", "range"];

test("5,000 random inputs in each mode: the page's doubles are the program's, bit for bit", { skip: !DUMP && "no --dump" }, () => {
  const cases = [...randomInputs(5000, 3, 20261211), ...randomInputs(5000, 5, 11122026)];
  const lines = cases.map((c) => ["port", c.tubes, c.bore, ...c.walls, c.acoustic, c.cap].map(String).join(" "));
  const program = execFileSync(DUMP, { input: lines.join("\n") + "\n", encoding: "utf8", maxBuffer: 64 << 20 }).trim().split("\n");
  assert.equal(program.length, cases.length);
  const seen = { complete: 0, bore: 0, wall: 0, range: 0 };
  cases.forEach((c, i) => {
    const [outcome, ...values] = program[i].split(" ");
    const result = port.compute(c);
    const expected = OUTCOMES[Number(outcome)];
    assert.equal(result.problem || "complete", expected, lines[i]);
    seen[expected]++;
    if (expected !== "complete") return;
    const n = c.tubes;
    const doubles = values.map(Number);
    const at = (group, tube) => doubles[group + tube];
    const r = result.raw, s = result.shown;
    // Unrounded D1..D5 d2..d5 g1..g4 P V B, then rounded D3..D5 d2..d5 g1..g4 P V B.
    const pairs = [];
    for (let k = 1; k <= n; k++) pairs.push([`D${k}`, r.outside[k], at(-1, k)]);
    for (let k = 2; k <= n; k++) pairs.push([`d${k}`, r.inside[k], at(3, k)]);
    for (let k = 1; k < n; k++) pairs.push([`g${k}`, r.gap[k], at(8, k)]);
    pairs.push(["P", r.length, doubles[13]], ["V", r.volume, doubles[14]], ["B", r.depth, doubles[15]]);
    for (let k = 3; k <= n; k++) pairs.push([`D${k} shown`, s.outside[k], at(13, k)]);
    for (let k = 2; k <= n; k++) pairs.push([`d${k} shown`, s.inside[k], at(17, k)]);
    for (let k = 1; k < n; k++) pairs.push([`g${k} shown`, s.gap[k], at(22, k)]);
    pairs.push(["P shown", s.length, doubles[27]], ["V shown", s.volume, doubles[28]], ["B shown", s.depth, doubles[29]]);
    for (const [what, page, program] of pairs) {
      assert.ok(Object.is(page, program), `${lines[i]}: ${what} is ${page} on the page, ${program} in the program`);
    }
  });
  console.log(`# outcomes: ${JSON.stringify(seen)}`);
  // Each outcome is reached often enough for the comparison to mean something.
  for (const [outcome, count] of Object.entries(seen)) assert.ok(count >= 50, `${outcome}: ${count} cases`);
});
