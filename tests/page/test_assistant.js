// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The equations page's design assistant, without a browser: designs given as
// the texts typed into it (or as a bookmarked address), and what it shows.
// The expected numbers were worked out by hand, apart from this code.
// Run: node tests/page/test_assistant.js
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const path = require("node:path");

const assistant = require(path.join(__dirname, "..", "..", "page", "texts.js"));
const buildTexts = require(path.join(__dirname, "..", "..", "page", "build-texts.js"));

// Each row: a design (texts over the metric defaults, or a query string) and
// what must show. outputs lists only the results the row is about; problems
// lists every input that must be reported, and no other may be.
const ROWS = [
  {
    name: "the page's worked example: 40 L, 22 Hz, 86 mm, flanged/free, 20 °C, trimmed from 830 mm at 20 Hz",
    texts: { built: "830", measured: "20" },
    outputs: { "length-mm": "832.3", length: "832.3", c0: "343.2", fpipe: "192", velocity: "9.5", mach: "2.8",
      "minbore-mm": "64.0", minbore: "64.0", "trim-mm": "675.0", trim: "675.0", "trim-cut-mm": "51.7" },
    notes: { trim: /Shorten the acoustic length by 155\.0 mm: type 675\.0 mm/,
      // 2 Hz low: 155.0 mm of acoustic length over 3 runs, 51.7 mm from each tube.
      "trim-cut": /of 3 tubes: cut 51\.7 mm from every tube, so that it is 51\.7 mm shorter physically and 155\.0 mm acoustically/ },
  },
  { name: "the same in a 5-tube port: 31.0 mm from each tube", texts: { built: "830", measured: "20", tubes: "5" },
    outputs: { "trim-cut-mm": "31.0" }, notes: { "trim-cut": /of 5 tubes: cut 31\.0 mm/ } },
  { name: "free/free ends", texts: { ends: "free-free" }, outputs: { "length-mm": "842.5" } },
  { name: "flanged/flanged ends", texts: { ends: "flanged-flanged" }, outputs: { "length-mm": "822.2" } },
  {
    name: "imperial: 2 ft³, 30 Hz, 4 in bore, Sd 50 in², Xmax 0.4 in, trimmed from 10 in at 32 Hz",
    texts: { units: "imperial", vb: "2", fb: "30", bore: "4", sd: "50", xmax: "0.4", built: "10", measured: "32" },
    outputs: { "length-mm": "400.2", length: "15.76", fpipe: "362", velocity: "7.6", mach: "2.2",
      "minbore-mm": "67.7", minbore: "2.67", "trim-mm": "299.2", trim: "11.78" },
    notes: { trim: /Lengthen the acoustic length by 1\.78 in/ },
  },
  {
    name: "0 °C is a temperature, not a missing input",
    texts: { temp: "0" },
    outputs: { c0: "331.3", "length-mm": "771.2", fpipe: "199", mach: "2.9", "minbore-mm": "65.2" },
  },
  { name: "bore 64.1 mm, just under 5 %: no warning", texts: { bore: "64.1" }, outputs: { mach: "5.0" } },
  {
    name: "bore 63.9 mm, just over 5 %: the plain warning with the bore that would do",
    texts: { bore: "63.9" }, outputs: { mach: "5.0" }, warning: [1, /at least 64\.0 mm/],
  },
  { name: "bore 46 mm, 9.7 %: still the plain warning", texts: { bore: "46" }, outputs: { mach: "9.7" }, warning: [1, /may chuff/] },
  { name: "bore 45 mm, 10.1 %: the strong warning", texts: { bore: "45" }, outputs: { velocity: "34.8", mach: "10.1" }, warning: [2, /Far too fast/] },
  {
    name: "200 L at 60 Hz through 30 mm: the port would be shorter than its end corrections",
    texts: { vb: "200", fb: "60", bore: "30" },
    outputs: { "length-mm": "", length: "", fpipe: "", velocity: "213.3" },
    notes: { length: /22\.0 mm\). Choose a smaller box \(below 26\.6 L\), a lower tuning \(below 21\.9 Hz\) or a larger bore \(above 224\.9 mm\)\.$/ },
    warning: [2, /at least 105\.8 mm/],
  },
  {
    name: "measured 24 Hz, above the aim: lengthen",
    texts: { built: "830", measured: "24" }, outputs: { "trim-mm": "999.7", "trim-cut-mm": "" },
    notes: { trim: /Lengthen .* by 169\.7 mm/, "trim-cut": /too short: .* every tube must be 56\.6 mm longer/ },
  },
  {
    name: "measured far too low for any length: no number, a larger bore",
    texts: { built: "100", measured: "5" }, outputs: { "trim-mm": "", trim: "" }, notes: { trim: /larger bore or a smaller box/ },
  },
  {
    name: "empty box volume: no length and no pipe resonance, says which input",
    texts: { vb: "" },
    outputs: { "length-mm": "", length: "", fpipe: "", velocity: "9.5", "minbore-mm": "64.0" },
    problems: { vb: /Enter the net box volume/ },
    notes: { length: /Needs the net box volume\./, fpipe: /Needs the net box volume\./ },
  },
  { name: "box volume in words", texts: { vb: "forty" }, outputs: { "length-mm": "" }, problems: { vb: /Not a number/ } },
  {
    name: "zero tuning: nothing that needs it",
    texts: { fb: "0" },
    outputs: { "length-mm": "", velocity: "", mach: "", "minbore-mm": "", fpipe: "", c0: "343.2" },
    problems: { fb: /more than 0/ },
    notes: { velocity: /Needs the tuning frequency\./ },
  },
  {
    name: "negative cone area: the length still shows",
    texts: { sd: "-500" }, outputs: { "length-mm": "832.3", velocity: "", mach: "", "minbore-mm": "" }, problems: { sd: /more than 0/ },
  },
  { name: "decimal comma", texts: { xmax: "8,5" }, outputs: { velocity: "" }, problems: { xmax: /point for decimals/ } },
  { name: "a number too large for a double", texts: { bore: "1e999" }, outputs: { "length-mm": "", velocity: "" }, problems: { bore: /Too large/ } },
  {
    name: "below absolute zero: the velocity shows, its share of c0 does not",
    texts: { temp: "-300" },
    outputs: { c0: "", "length-mm": "", velocity: "9.5", mach: "", "minbore-mm": "", fpipe: "" },
    problems: { temp: /above −273\.15 °C/ },
    notes: { length: /Needs the air temperature\./ },
  },
  {
    name: "built length without the measured tuning",
    texts: { built: "830" }, outputs: { "trim-mm": "" },
    problems: { measured: /Enter the measured tuning/ }, notes: { trim: /Needs the measured tuning\./ },
  },
  {
    name: "the example driver in the starting box: the page's worked example",
    texts: {},
    outputs: { "length-mm": "832.3" },
    box: { outputs: { f3: "25.0", sensitivity: "85.1", power: "1.43", derived: "Mms 337.4 g, Cms 0.155 mm/N, Bl 24.94 T·m, Qms 3.99" },
      rows: { 20: { "response-db": "-6.7", "spl-db": "78.3", "excursion-mm": "0.40", "velocity-ms": "2.0", "delay-ms": "24.6",
        "max-spl-db": "100.7" } },
      alignments: { QB3: ["40.6", "23.3", "24.5"], Keele: ["51.3", "22.1", "22.3"], B4: /0\.405/, C4: /above the B4 point/ } },
  },
  {
    name: "imperial: Vas and the alignments in ft³, the same curves",
    texts: { units: "imperial", vas: "1.9423", vb: "1.4126", bore: "3.3858", sd: "77.5", xmax: "0.31496" },
    box: { outputs: { f3: "25.0", sensitivity: "85.1" }, rows: { 20: { "excursion-mm": "0.40", "velocity-ms": "2.0" } },
      // 1.43 ft³ is 40.5 L, a little less than the 40.6 L of metric: f3 24.6 Hz.
      alignments: { QB3: ["1.43", "23.3", "24.6"] } },
  },
  {
    // Two cones through one port: u = 2π · 22 · 2 · 0.05 · 0.008 / 0.0058088 = 19.04 m/s, dmin = √(4 · 0.11058 / 17.16 / π) = 90.6 mm;
    // the amplifier's 2.83 V into 2.8 Ω is 2.86 W, 6 dB louder; QB3 for Vas 110 L.
    name: "two drivers in parallel: the port, the load and the alignments of both",
    texts: { count: "2", vb: "80" }, outputs: { velocity: "19.0", "minbore-mm": "90.6" }, warning: [1, /at least 90\.6 mm/],
    box: { outputs: { f3: "25.0", sensitivity: "91.1", power: "2.86", load: "2.8" }, alignments: { QB3: ["81.2", "23.3", "24.5"] } },
  },
  {
    name: "four in series: 22.4 Ω, a quarter of the power",
    texts: { count: "4", wiring: "series", vb: "160" }, warning: [2, /at least 128\.1 mm/],
    box: { outputs: { load: "22.4", power: "0.358", sensitivity: "85.1" } },
  },
  {
    name: "a count that is no whole number of drivers",
    texts: { count: "2.5" }, problems: { count: /whole number from 1 to 8/ }, outputs: { velocity: "" },
    box: { outputs: { f3: "" }, note: /Needs the number of drivers/ },
  },
  {
    // Half an octave below 22 Hz is 15.6 Hz, to the 0.5 Hz above: 16.0 Hz.
    name: "a subsonic filter: f3 after it, and the one suggested",
    texts: { hpf: "18", hporder: "2" }, box: { outputs: { f3: /^2[6-9]\.\d$/ }, filter: { hpf: "16.0", hporder: "2" } },
  },
  {
    name: "a subsonic filter that is no number: no curves without it",
    texts: { hpf: "abc" }, problems: { hpf: /Not a number/ }, box: { outputs: { f3: "" }, note: /^The subsonic filter: not a number/, rows: {} },
  },
  {
    // B: the starting box at 60 L and 20 Hz, 21.0 Hz f3, 103.8 dB at 20 Hz.
    name: "a design kept as B, set beside this one",
    texts: { b: "vb=60&fb=20" }, compare: { vb: ["40.0", "60.0"], f3: ["25.0", "21.0"], "max-20": ["100.7", "103.8"],
      xmax: ["never, 10 to 200 Hz", "never, 10 to 200 Hz"] },
  },
  {
    name: "a B the address cannot read says so",
    texts: { b: "colour=red" }, compare: { note: /does not hold one/ },
  },
  {
    name: "no power rating: optional, the maximum output from Xmax alone, and bookmarked as left empty",
    texts: { pe: "" }, box: { rows: { 20: { "max-spl-db": "104.3" } } },
  },
  {
    name: "empty fs: no curves, f3, sensitivity or alignments, and the port still works",
    texts: { fs: "" }, outputs: { "length-mm": "832.3" }, problems: { fs: /Enter the resonance frequency fs/ },
    box: { outputs: { f3: "", sensitivity: "", derived: "" }, note: /Needs the resonance frequency fs\./, rows: {}, alignments: {} },
  },
  {
    name: "Qes below Qts is no driver",
    texts: { qes: "0.3" }, problems: { qes: /Qes cannot be below Qts/ },
    box: { outputs: { f3: "" }, note: /Qes below its Qts/, rows: {}, alignments: {} },
  },
  { name: "QL out of its range", texts: { ql: "0.5" }, problems: { ql: /from 1 to 1000/ }, box: { outputs: { f3: "" }, alignments: {} } },
  // 5 mH: at 200 Hz ωLe = 6.28 Ω against the moving mass's −Bl²/(ω·Mms)
  // = −1.47 Ω (−1.51 with the box behind it), on 5.64 Ω: √(5.64² + 4.77²).
  { name: "a voice-coil inductance", texts: { le: "5" }, box: { rows: { 200: { "impedance-ohm": "7.4" } } } },
  { name: "an inductance in words", texts: { le: "some" }, problems: { le: /Not a number/ } },
  { name: "Qts in words", texts: { qts: "low" }, problems: { qts: /Not a number/ }, box: { note: /Needs the total Q, Qts\./ } },
  {
    name: "a bookmark with unknown and bad parameters keeps the defaults for those",
    query: "?units=imperial&vb=2&fb=abc&bore=-3&ends=sideways&colour=red&temp=",
    outputs: { "length-mm": "569.4", length: "22.42", fpipe: "271", minbore: "2.52" },
  },
];

const WORDS_NEVER_SHOWN = /NaN|Infinity|undefined|null/;

function designOf(row) {
  return row.query !== undefined ? assistant.textsFromQuery(row.query)
    : { ...assistant.defaultTexts("metric"), ...row.texts };
}

// The box designer's part of a row: outputs, the note, curves table rows by
// frequency, and alignments as [vb, fb, f3] or the pattern of why not. An
// empty rows or alignments means none may show.
function checkBox(shown, expected) {
  for (const [id, text] of Object.entries(expected.outputs || {})) {
    if (text instanceof RegExp) assert.match(shown.outputs[id], text, `box ${id}`);
    else assert.equal(shown.outputs[id], text, `box ${id}`);
  }
  for (const [id, text] of Object.entries(expected.filter || {})) assert.equal(shown.filter[id], text, `filter ${id}`);
  if (expected.note) assert.match(shown.note || shown.alignmentsNote, expected.note, "box note");
  if (expected.rows) {
    if (Object.keys(expected.rows).length === 0) assert.deepEqual(shown.rows, [], "curves rows");
    for (const [hz, cells] of Object.entries(expected.rows)) {
      const row = shown.rows.find((r) => r.hz === Number(hz));
      assert.ok(row, `curves row ${hz}`);
      for (const [q, text] of Object.entries(cells)) assert.equal(row.cells[q], text, `${q} at ${hz} Hz`);
    }
  }
  if (expected.alignments) {
    if (Object.keys(expected.alignments).length === 0) assert.deepEqual(shown.alignments, [], "alignments");
    for (const [name, want] of Object.entries(expected.alignments)) {
      const r = shown.alignments.find((a) => a.name === name);
      if (want instanceof RegExp) assert.match(r.why, want, name);
      else assert.deepEqual([r.vb, r.fb, r.f3], want, name);
    }
  }
}

for (const row of ROWS) {
  test(row.name, () => {
    const design = designOf(row);
    const shown = assistant.assess(design);
    for (const [id, text] of Object.entries(row.outputs || {})) {
      assert.equal(shown.outputs[id], text, `output ${id}`);
    }
    for (const [id, pattern] of Object.entries(row.notes || {})) {
      assert.match(shown.notes[id], pattern, `note of ${id}`);
    }
    const problems = row.problems || {};
    assert.deepEqual(Object.keys(shown.problems).sort(), Object.keys(problems).sort(), "inputs reported");
    for (const [id, pattern] of Object.entries(problems)) {
      assert.match(shown.problems[id], pattern, `problem of ${id}`);
    }
    const [level, text] = row.warning || [0, /^$/];
    assert.equal(shown.warning.level, level, "velocity warning level");
    assert.match(shown.warning.text, text, "velocity warning");

    // Every output is a plain number or nothing, and no text shows a
    // programming word.
    for (const [id, text] of Object.entries(shown.outputs)) {
      assert.match(text, /^(\d+(\.\d+)?)?$/, `output ${id}`);
    }
    checkBox(shown.box, row.box || {});
    for (const [id, want] of Object.entries(row.compare || {})) {
      if (id === "note") assert.match(shown.compare.note, want);
      else assert.deepEqual(((r) => [r.a, r.b])(shown.compare.rows.find((r) => r.id === id)), want, `compare ${id}`);
    }
    if (!row.compare) assert.equal(shown.compare, null, "no B unless kept");
    const words = [...Object.values(shown.notes), ...Object.values(shown.problems), shown.warning.text,
      ...Object.values(shown.box.outputs), shown.box.note, shown.box.alignmentsNote,
      ...shown.box.rows.flatMap((r) => Object.values(r.cells)), ...shown.box.alignments.flatMap((r) => Object.values(r))];
    for (const text of words) assert.doesNotMatch(text, WORDS_NEVER_SHOWN);

    // A design without problems is bookmarked whole: its address reads back
    // as the same design.
    if (Object.keys(problems).length === 0) {
      assert.deepEqual(assistant.textsFromQuery("?" + assistant.queryFromTexts(design)), design, "bookmark");
    }
  });
}

// Designs drawn at random over wide ranges, a few far outside any real
// driver: whatever is typed, no text, table cell or graph shows a number
// gone wrong.
test("random designs: no text, cell, graph or drawing shows NaN, Infinity or undefined", () => {
  const drawing = require(path.join(__dirname, "..", "..", "page", "build-drawing.js"));
  const plot = require(path.join(__dirname, "..", "..", "page", "box-plot.js"));
  let seed = 12345;
  const random = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
  const pick = (lo, hi) => String(Number((lo * Math.pow(hi / lo, random())).toPrecision(3)));
  for (let i = 0; i < 300; i++) {
    const qts = pick(0.05, 2);
    const texts = { ...assistant.defaultTexts("metric"), fs: pick(5, 300), qts, qes: pick(Number(qts), 4), vas: pick(0.5, 2000),
      re: pick(1, 32), volts: pick(0.1, 100), pe: random() < 0.3 ? "" : pick(1, 5000), ql: pick(1, 1000), vb: pick(0.5, 2000),
      fb: pick(5, 200), bore: pick(10, 300), sd: pick(10, 3000), xmax: pick(0.5, 40),
      le: random() < 0.5 ? "" : pick(0.01, 10), tubes: random() < 0.5 ? "3" : "5", t1: pick(0.1, 20), t2: pick(0.1, 20), t3: pick(0.1, 20), t4: pick(0.1, 20), t5: pick(0.1, 20),
      cap: pick(3, 80), acoustic: random() < 0.5 ? "" : pick(10, 5000), shape: ["golden", "cube-root-2", "own"][Math.floor(random() * 3)],
      width: pick(50, 2000), height: pick(50, 2000), cutout: random() < 0.5 ? "" : pick(20, 900),
      stock: ["", "metric-pvc", "metric-pvc,us-pvc,cardboard"][Math.floor(random() * 3)], mytubes: random() < 0.2 ? "70x3, 150x4" : "" };
    const assessed = assistant.assess(texts);
    const build = buildTexts.assessBuild(texts, {}, assessed);
    const drawn = build.drawings ? [drawing.port(build.drawings.port, build.drawings.format).svg,
      drawing.front(build.drawings.front, build.drawings.format).svg,
      drawing.construction(build.drawings.construction, build.drawings.format).svg] : [];
    for (const text of [JSON.stringify(build, (k, x) => (typeof x === "function" ? undefined : x)), ...drawn]) {
      assert.doesNotMatch(text, /NaN|Infinity|undefined/, JSON.stringify(texts));
    }
    const box = assessed.box;
    const words = [...Object.values(box.outputs), box.note, box.alignmentsNote,
      ...box.rows.flatMap((r) => Object.values(r.cells)), ...box.alignments.flatMap((r) => Object.values(r))];
    if (box.design) words.push(...plot.graphs(box.design, box.values).flatMap((g) => [g.label, g.svg]));
    for (const text of words) assert.doesNotMatch(String(text), WORDS_NEVER_SHOWN, JSON.stringify(texts));
  }
});

// The build sheet's texts: the port as the main window shows it for the
// same inputs (the worked examples: 277, 5.9 litres, 417), its cut list
// worked by hand (P − c = 240.93, less g2 = 14.39 and g1 = 21.01), and
// lengths in inches to 1/16.
const BUILD_ROWS = [
  { name: "the main window's starting values", texts: { acoustic: "830" },
    outputs: { "port-length": "277", "port-volume": "5.9", "box-depth-min": "417", "port-outside": "166", "plug-mm": "132",
      "opening-mm": "158", "cap-hole-mm": "86" }, cuts: ["220", "227", "241"], gaps: ["21", "14", ""] },
  { name: "5 tubes", texts: { acoustic: "830", tubes: "5" },
    outputs: { "port-length": "187", "port-volume": "7.1", "box-depth-min": "327", "port-outside": "221" },
    cuts: ["130", "137", "139", "141", "151"] },
  // 240.93 mm is 9.486 in, 151.8 sixteenths: 9 7/16 in (9.4375); 220 mm 8.661 in: 8 11/16.
  { name: "imperial: cut lengths in inches to 1/16", texts: { units: "imperial", acoustic: "32.677", bore: "3.3858", cap: "1.4173",
    t1: "0.07874", t2: "0.15748", t3: "0.15748" }, cuts: ["8 11/16", "8 15/16", "9 1/2"] },
  { name: "a bore of 1 mm: a clear word, no port", texts: { bore: "1", acoustic: "830" }, note: /more than 1 mm/, cuts: [] },
  { name: "a port shorter than its cap", texts: { acoustic: "20" }, note: /too short to build/, cuts: [] },
  { name: "your own size without a width", texts: { shape: "own", height: "500" }, box: /outside width and height/ },
  { name: "your own tubes with a decimal comma", texts: { mytubes: "70x3,5" }, problem: /decimal comma/ },
  { name: "no catalogue and no tubes of your own", texts: { stock: "" }, plan: /Choose a catalogue/ },
  // 80 + 5.9 + 2 × 2.5 L.
  { name: "two drivers: the displacement of each", texts: { count: "2", vb: "80", driverdisp: "2.5", acoustic: "830" },
    volumes: { driver: "5.0", gross: "90.9" } },
];

for (const row of BUILD_ROWS) {
  test(`build: ${row.name}`, () => {
    const texts = { ...assistant.defaultTexts(row.texts.units || "metric"), ...row.texts };
    const b = buildTexts.assessBuild(texts, {}, assistant.assess(texts));
    for (const [id, text] of Object.entries(row.outputs || {})) assert.equal(b.port.outputs[id].text, text, id);
    if (row.cuts) assert.deepEqual(b.port.rows.map((r) => r.cells["cut-mm"].text), row.cuts, "cut lengths");
    if (row.gaps) assert.deepEqual(b.port.rows.map((r) => r.cells["gap-mm"].text), row.gaps, "end gaps");
    if (row.note) assert.match(b.port.note, row.note);
    if (row.box) assert.match(b.box.problems.join(" "), row.box);
    if (row.problem) assert.match(b.problems.mytubes, row.problem);
    if (row.plan) assert.match(b.plan.note, row.plan);
    for (const [id, text] of Object.entries(row.volumes || {})) assert.equal(b.volumes.cells[id], text, id);
    assert.doesNotMatch(JSON.stringify(b, (k, v) => (typeof v === "function" ? undefined : v)), /NaN|Infinity|undefined/);
  });
}
