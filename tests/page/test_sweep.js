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
