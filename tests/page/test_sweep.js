// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Measured sweeps read from their files: each shape that measurements
// export, and each file that is no sweep, with the line that says why.
// Run: node tests/page/test_sweep.js
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const path = require("node:path");

const sweep = require(path.join(__dirname, "..", "..", "page", "sweep.js"));

// Twelve points of a sweep: 10 Hz up by a third of an octave, a made-up
// magnitude and phase, written as each file writes them.
const POINTS = Array.from({ length: 12 }, (_, k) => ({
  hz: Number((10 * Math.pow(2, k / 3)).toFixed(2)), ohm: Number((6 + k * 1.25).toFixed(3)), deg: Number((40 - 7.5 * k).toFixed(1)),
}));
const lines = (format, points = POINTS) => points.map(format);
const comma = (x) => String(x).replace(".", ",");

// Each row: a file's text, and either how many points with a phase or not,
// or the problem it must name.
const FILES = [
  { name: "blanks, a header and comments, Unix line ends",
    text: ["* Impedance sweep, jig 2", "Freq(Hz)  Mag(Ohm)  Phase(deg)", ...lines((p) => `  ${p.hz}   ${p.ohm}  ${p.deg}`), ""].join("\n"),
    phase: true },
  { name: "tabs and decimal commas, Windows line ends",
    text: ["Frequency\tImpedance", ...lines((p) => `${comma(p.hz)}\t${comma(p.ohm)}`)].join("\r\n"), phase: false },
  { name: "commas between the columns, with a heading",
    text: ["Frequency (Hz),Magnitude (Ohm),Phase (deg)", ...lines((p) => `${p.hz},${p.ohm},${p.deg}`)].join("\n"), phase: true },
  { name: "semicolons and decimal commas, a comment in the middle",
    text: [...lines((p) => `${comma(p.hz)};${comma(p.ohm)};${comma(p.deg)}`).slice(0, 6), "; second half",
      ...lines((p) => `${comma(p.hz)};${comma(p.ohm)};${comma(p.deg)}`).slice(6)].join("\n"), phase: true },
  { name: "blanks and decimal commas, old Mac line ends and a byte-order mark",
    text: "\uFEFF" + lines((p) => `${comma(p.hz)} ${comma(p.ohm)}`).join("\r"), phase: false },
  { name: "exponents, commas and blanks",
    text: lines((p) => `${p.hz.toExponential(4)}, ${p.ohm.toExponential(5)}`).join("\n"), phase: false, close: true },
  { name: "nine points", text: lines((p) => `${p.hz} ${p.ohm}`, POINTS.slice(0, 9)).join("\n"),
    problem: /^Only 9 points with a frequency and a magnitude: a sweep needs at least 10\.$/ },
  { name: "an empty file", text: "", problem: /^No point with a frequency/ },
  { name: "only a header", text: "Freq Mag\n", problem: /^No point/ },
  { name: "frequencies out of order",
    text: ["Freq Mag", ...lines((p, k) => `${k === 5 ? 15 : p.hz} ${p.ohm}`)].join("\n"),
    problem: /^Line 7: the frequency 15 Hz does not follow 25\.2 Hz/ },
  { name: "a repeated frequency", text: lines((p, k) => `${k === 4 ? POINTS[3].hz : p.hz} ${p.ohm}`).join("\n"),
    problem: /^Line 5: the frequency 20 Hz does not follow 20 Hz/ },
  { name: "a magnitude of zero", text: lines((p, k) => `${p.hz} ${k === 2 ? 0 : p.ohm}`).join("\n"),
    problem: /^Line 3: the magnitude must be more than 0 Ω\.$/ },
  { name: "a negative frequency", text: lines((p, k) => `${k === 0 ? -10 : p.hz} ${p.ohm}`).join("\n"),
    problem: /^Line 1: the frequency must be more than 0 Hz\.$/ },
  { name: "a magnitude in words", text: lines((p, k) => `${p.hz} ${k === 8 ? "open" : p.ohm}`).join("\n"),
    problem: /^Line 9: the magnitude “open” is not a number\.$/ },
  { name: "a magnitude in words among decimal commas",
    text: lines((p, k) => `${comma(p.hz)} ${k === 7 ? "open" : comma(p.ohm)}`).join("\n"),
    problem: /^Line 8: the magnitude “open” is not a number\.$/ },
  { name: "a frequency without a magnitude", text: lines((p, k) => (k === 10 ? `${p.hz}` : `${p.hz} ${p.ohm}`)).join("\n"),
    problem: /^Line 11: a frequency without a magnitude\.$/ },
  { name: "a phase in words", text: lines((p, k) => `${p.hz} ${p.ohm} ${k === 1 ? "n/a" : p.deg}`).join("\n"),
    problem: /^Line 2: the phase “n\/a” is not a number\.$/ },
];

for (const row of FILES) {
  test(row.name, () => {
    const got = sweep.read(row.text);
    if (row.problem) {
      assert.match(got.problem, row.problem);
      assert.deepEqual(got.points, []);
      return;
    }
    assert.equal(got.problem, "");
    const near = (a, b) => (row.close ? Math.abs(a - b) <= 1e-4 * b : a === b);
    assert.equal(got.points.length, POINTS.length);
    got.points.forEach((p, k) => {
      assert.ok(near(p.hz, POINTS[k].hz) && near(p.ohm, POINTS[k].ohm), `point ${k}: ${JSON.stringify(p)}`);
      assert.equal(p.deg, row.phase ? POINTS[k].deg : null, `phase ${k}`);
    });
  });
}

// Free-air sweeps made from the textbook impedance of a driver,
// Z = Re + Re·(Qms/Qes) ÷ (1 + j·Qms·(f/fs − fs/f)), 400 points from 5 to
// 500 Hz with ±0.5 % of noise: the standard method gives back fs within
// 0.5 % and the Qs within 3 %. The same driver with a mass m added
// resonates at fs·√(Mms/(Mms + m)), each Q √((Mms + m)/Mms) times larger,
// and from the two sweeps Vas comes back within 3 %.
const AIR = { rho0: 1.20412, c0: 343.215 };
function freeAirSweep(d, seed) {
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  return Array.from({ length: 400 }, (_, i) => {
    const hz = 5 * Math.pow(100, i / 399), x = d.qms * (hz / d.fs - d.fs / hz), res = d.re * d.qms / d.qes;
    const ohm = Math.hypot(d.re + res / (1 + x * x), -res * x / (1 + x * x));
    return { hz, ohm: ohm * (1 + 0.01 * (random() - 0.5)), deg: null };
  });
}
const DRIVERS = [
  { fs: 22, qms: 3.99, qes: 0.42, re: 5.6, mms: 0.3374, sd: 0.05, grams: 100 },
  { fs: 45, qms: 8, qes: 0.6, re: 3.2, mms: 0.025, sd: 0.0133, grams: 10 },
  { fs: 80, qms: 2.5, qes: 0.9, re: 7, mms: 0.008, sd: 0.0055, grams: 4 },
];
for (const d of DRIVERS) {
  test(`free air: fs ${d.fs} Hz, Qms ${d.qms}, Qes ${d.qes}, and ${d.grams} g added`, () => {
    const near = (a, b, share, what) => assert.ok(Math.abs(a / b - 1) <= share, `${what}: ${a} against ${b}`);
    const got = sweep.freeAir(freeAirSweep(d, d.fs), d.re);
    near(got.fs, d.fs, 0.005, "fs");
    near(got.qms, d.qms, 0.03, "Qms");
    near(got.qes, d.qes, 0.03, "Qes");
    near(got.qts, d.qms * d.qes / (d.qms + d.qes), 0.03, "Qts");
    const m = d.grams / 1000, grow = Math.sqrt((d.mms + m) / d.mms);
    const added = sweep.freeAir(freeAirSweep({ ...d, fs: d.fs / grow, qms: d.qms * grow, qes: d.qes * grow }, 7), d.re);
    const cms = 1 / (Math.pow(2 * Math.PI * d.fs, 2) * d.mms);
    near(sweep.addedMass(got.fs, added.fs, m, d.sd, AIR).vas, AIR.rho0 * AIR.c0 * AIR.c0 * d.sd * d.sd * cms, 0.03, "Vas");
  });
}

test("free air: what is no free-air sweep says so", () => {
  const flat = Array.from({ length: 20 }, (_, i) => ({ hz: 10 + i, ohm: 6, deg: null }));
  assert.match(sweep.freeAir(flat, 6.2).problem, /never rises above Re/);
  const cut = freeAirSweep(DRIVERS[0], 1).filter((p) => p.hz > 21);
  assert.match(sweep.freeAir(cut, 5.6).problem, /on both sides of its peak/);
  assert.match(sweep.freeAir(cut, 0).problem, /Needs the voice-coil resistance/);
  assert.match(sweep.addedMass(22, 23, 0.01, 0.05, AIR).problem, /must fall below fs/);
});

// Box sweeps made by the model itself for a box built other than designed,
// with ±0.5 % of noise: the fit, holding the driver, finds the built fb
// within 1 % and QL within 10 %, and fits to under 0.1 dB.
const box = require(path.join(__dirname, "..", "..", "page", "box-model.js"));
const DESIGN = { fs: 22, qts: 0.38, qes: 0.42, vas: 0.055, re: 5.6, count: 1, volts: 2.83, ql: 7, sd: 0.05, xmax: 0.008, temp: 20,
  vb: 0.04, fb: 22, bore: 0.086 };
const BUILT = [{ fb: 20, ql: 5 }, { fb: 24.5, ql: 15 }, { fb: 22, ql: 3 }];
for (const built of BUILT) {
  test(`box: built at ${built.fb} Hz with QL ${built.ql}`, () => {
    let seed = 99;
    const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
    const z = box.impedanceOf({ ...DESIGN, ...built });
    const points = Array.from({ length: 2000 }, (_, i) => {
      const hz = 5 * Math.pow(100, i / 1999);
      return { hz, ohm: Math.hypot(...z(hz)) * (1 + 0.01 * (random() - 0.5)), deg: null };
    });
    const text = points.map((p) => `${p.hz.toFixed(4)}\t${p.ohm.toFixed(5)}`).join("\r\n");
    const t0 = process.hrtime.bigint();
    const got = sweep.boxFit(sweep.read(text).points, DESIGN);
    const ms = Number(process.hrtime.bigint() - t0) / 1e6;
    assert.ok(Math.abs(got.fb / built.fb - 1) <= 0.01, `fb ${got.fb}`);
    assert.ok(Math.abs(got.ql / built.ql - 1) <= 0.1, `QL ${got.ql}`);
    assert.ok(got.fitDb < 0.1, `fit ${got.fitDb} dB`);
    assert.ok(got.fl < got.fb && got.fb < got.fh, `peaks ${got.fl} and ${got.fh}`);
    console.log(`# a file of 2,000 points read and fitted: ${ms.toFixed(1)} ms, fb ${got.fb.toFixed(2)} Hz, QL ${got.ql.toFixed(2)}, ${got.fitDb.toFixed(3)} dB`);
  });
}

test("box: a free-air sweep has one peak, and says so", () => {
  const got = sweep.boxFit(freeAirSweep(DRIVERS[0], 3), DESIGN);
  assert.equal(got.problem, "peaks");
  assert.equal(got.peaks.length, 1);
});

// What the page says of each sweep: a box, the driver in free air (with
// the voice coil's rise and a break-up ripple above, which are no peaks),
// and neither; the values the buttons would write, and the measured column,
// empty outside the band swept.
const texts = require(path.join(__dirname, "..", "..", "page", "sweep-texts.js"));
const builtBox = (() => {
  const z = box.impedanceOf({ ...DESIGN, fb: 20, ql: 5 });
  return Array.from({ length: 300 }, (_, i) => { const hz = 8 * Math.pow(150 / 8, i / 299); return { hz, ohm: Math.hypot(...z(hz)), deg: null }; });
})();
const coilAndRipple = freeAirSweep(DRIVERS[0], 5).map((p) => ({ ...p, hz: p.hz * 4, ohm: Math.hypot(p.ohm, 2 * Math.PI * p.hz * 4 * 3e-4) *
  (1 + 0.15 * Math.exp(-Math.pow(Math.log2(p.hz * 4 / 900) * 8, 2))) }));
const SAID = [
  { name: "a built box", main: builtBox, v: DESIGN, kind: "box",
    outputs: { "measured-fb": "20.0", "measured-ql": "5.0", "fit-db": "0.00" }, tuning: { measured: "20.0", ql: "5.0" },
    note: /2 Hz lower|2\.0 Hz lower/, column: { 10: /^\d+\.\d$/, 125: /^\d+\.\d$/, 160: "" } },
  { name: "the driver in free air, a mass added", main: freeAirSweep(DRIVERS[0], 4), added: freeAirSweep({ ...DRIVERS[0],
    fs: 22 / Math.sqrt((0.3374 + 0.1) / 0.3374), qms: 3.99 * Math.sqrt((0.3374 + 0.1) / 0.3374), qes: 0.42 * Math.sqrt((0.3374 + 0.1) / 0.3374) }, 6),
    v: { ...DESIGN, addedmass: 0.1 }, units: "imperial", kind: "free-air", driver: { fs: /^2[12]\.\d$/, qts: /^0\.3[789]\d$/, vas: /^1\.9\d$/ } },
  { name: "free air with the voice coil's rise and a ripple", main: coilAndRipple, v: DESIGN, kind: "free-air", note: /88\.\d Hz/ },
  { name: "neither: a flat sweep", main: Array.from({ length: 20 }, (_, i) => ({ hz: 10 + i, ohm: 6, deg: null })), v: DESIGN,
    kind: "neither", note: /no peak that stands above Re/ },
  { name: "a box without its volume", main: builtBox, v: { ...DESIGN, vb: undefined }, kind: "box", note: /needs the net box volume/ },
  { name: "a file refused", main: { problem: "Line 3: the magnitude must be more than 0 Ω." }, v: DESIGN, kind: "problem",
    note: /^s\.txt: Line 3/ },
];
for (const row of SAID) {
  test(`what the page says: ${row.name}`, () => {
    const sweepOf = (s) => (s && (Array.isArray(s) ? { name: "s.txt", points: s, problem: "" } : { name: "s.txt", points: [], ...s }));
    const v = Object.fromEntries(Object.entries(row.v).filter(([, x]) => x !== undefined));
    const got = texts.assessSweep({ main: sweepOf(row.main), added: sweepOf(row.added) || null }, v, row.units || "metric");
    assert.equal(got.kind, row.kind, got.note);
    const matches = (text, want) => (want instanceof RegExp ? assert.match(text, want) : assert.equal(text, want));
    if (row.note) matches(got.note, row.note);
    for (const [id, want] of Object.entries(row.outputs || {})) matches(got.outputs[id], want);
    if (row.tuning) assert.deepEqual(got.tuning, row.tuning);
    for (const [id, want] of Object.entries(row.driver || {})) matches(got.driver[id], want);
    for (const [hz, want] of Object.entries(row.column || {})) matches(got.column[hz], want);
    assert.doesNotMatch(JSON.stringify(got.outputs) + got.note + got.addedNote, /NaN|Infinity|undefined/);
  });
}
