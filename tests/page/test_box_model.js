// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The box model behind the equations page's box designer, without a
// browser: the alignments against published tables, the example driver
// against arithmetic done apart from this code, and the circuit's
// quantities against each other.
// Run: node tests/page/test_box_model.js
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const path = require("node:path");

const box = require(path.join(__dirname, "..", "..", "page", "box-model.js"));

function near(actual, expected, share, what) {
  assert.ok(Math.abs(actual / expected - 1) <= share, `${what}: ${actual} is not within ${share * 100} % of ${expected}`);
}

// Each row: a driver's Qts and QL, and the alignment that must be offered,
// with f3/fs, fb/fs and Vb/Vas as published. QL 1000 stands in for the
// lossless box of Thiele's table; its entries have three digits, so 0.6 %.
const ALIGNMENTS = [
  { source: "Thiele 1971, no. 1", qts: 0.180, ql: 1000, name: "QB3", f3: 2.68, fb: 2.000, vb: 0.0954 },
  { source: "Thiele 1971, no. 2", qts: 0.209, ql: 1000, name: "QB3", f3: 2.28, fb: 1.730, vb: 0.1337 },
  { source: "Thiele 1971, no. 3", qts: 0.259, ql: 1000, name: "QB3", f3: 1.77, fb: 1.420, vb: 0.2242 },
  { source: "Thiele 1971, no. 4", qts: 0.303, ql: 1000, name: "QB3", f3: 1.45, fb: 1.230, vb: 0.3390 },
  { source: "Thiele 1971, no. 5", qts: 0.383, ql: 1000, name: "B4", f3: 1.000, fb: 1.000, vb: 0.7072 },
  { source: "Thiele 1971, no. 6", qts: 0.415, ql: 1000, name: "C4", f3: 0.867, fb: 0.927, vb: 0.9479 },
  { source: "Thiele 1971, no. 8", qts: 0.518, ql: 1000, name: "C4", f3: 0.641, fb: 0.757, vb: 1.790 },
  { source: "Thiele 1971, no. 9", qts: 0.557, ql: 1000, name: "C4", f3: 0.600, fb: 0.716, vb: 2.062 },
  // Small's B4 with leakage: Qts 0.4048, Vas/Vb 1.0613, fb = f3 = fs.
  { source: "Small 1973, B4 at QL 7", qts: 0.4048, ql: 7, name: "B4", f3: 1.0, fb: 1.0, vb: 1 / 1.0613, share: 0.002 },
  // By hand: the Keele box of Qts 0.38, 15 · 0.38^2.87 = 0.9334, 0.42 · 0.38^-0.9 = 1.0033.
  { source: "Keele by hand", qts: 0.38, ql: 7, name: "Keele", fb: 1.0033, vb: 0.9334, share: 0.001,
    offers: ["QB3", "Keele"] },
];

for (const row of ALIGNMENTS) {
  test(`${row.source}: Qts ${row.qts}, QL ${row.ql} gives ${row.name}`, () => {
    const rows = box.alignments({ fs: 1, qts: row.qts, vas: 1 }, row.ql);
    assert.deepEqual(rows.map((r) => r.name), ["QB3", "B4", "C4", "Keele"]);
    // The one family member that fits, and the Keele box, have numbers;
    // the others say why not.
    for (const r of rows) {
      const offered = (row.offers || [row.name, "Keele"]).includes(r.name);
      assert.equal(r.why === undefined, offered, `${r.name}: ${r.why}`);
    }
    const found = rows.find((r) => r.name === row.name);
    const share = row.share || 0.006;
    if (row.f3) near(found.f3, row.f3, share, "f3/fs");
    near(found.fb, row.fb, share, "fb/fs");
    near(found.vb, row.vb, share, "Vb/Vas");
    // Solved with the driver's own Qts, the box gives the shape it names.
    const a = box.coefficients(found.fb, 1 / found.vb, row.qts, row.ql);
    if (row.name === "QB3") {
      near(a[0] * a[0], 2 * a[1], 1e-6, "a1² = 2·a2");
      near(a[1] * a[1] + 2, 2 * a[0] * a[2], 1e-6, "a2² + 2 = 2·a1·a3");
    }
  });
}

// Where no family member fits: each row is a Qts, QL and what the rows say.
const REFUSALS = [
  { qts: 0.8, ql: 7, why: { QB3: /below the B4 point, 0\.405/, B4: /0\.405/, C4: /closed box suits this driver better/ } },
  { qts: 0.3, ql: 1.2, why: { QB3: /leak is too large/, B4: /leak is too large/, C4: /leak is too large/ } },
];

for (const row of REFUSALS) {
  test(`Qts ${row.qts}, QL ${row.ql}: no classic alignment, and why`, () => {
    const rows = box.alignments({ fs: 30, qts: row.qts, vas: 0.05 }, row.ql);
    for (const [name, why] of Object.entries(row.why)) {
      const r = rows.find((x) => x.name === name);
      assert.equal(r.vb, undefined, `${name} has no volume`);
      assert.match(r.why, why, name);
    }
    assert.ok(rows.find((r) => r.name === "Keele").vb > 0, "Keele always gives a box");
  });
}

// The page's example driver in its 40 L box tuned to 22 Hz, at 2.83 V,
// 20 °C, QL 7, an 86 mm bore, Pe 250 W. By hand: ρ0 = 101325 ÷ (287.05 ×
// 293.15) = 1.20412 kg/m³, c0 = 343.215 m/s; Cms = 0.055 ÷ (1.20412 ×
// 343.215² × 0.05²) = 1.5510e-4 m/N; Mms = 1 ÷ ((2π·22)² × Cms) = 0.33742 kg;
// Bl = √(2π·22 × 0.33742 × 5.6 ÷ 0.42) = 24.938 T·m; η0 = 0.0013616, so the
// sensitivity is 83.500 dB + 10·log10(2.83² ÷ 5.6) = 85.054 dB. With h = 1
// and α = 1.375, a1 = a3 = 1/0.38 + 1/7 = 2.7744 and a2 = 1/(7 · 0.38) +
// 3.375 = 3.7509.
const EXAMPLE = { fs: 22, qts: 0.38, qes: 0.42, vas: 0.055, re: 5.6, volts: 2.83, pe: 250, ql: 7, sd: 0.05,
  xmax: 0.008, temp: 20, vb: 0.04, fb: 22, bore: 0.086 };

test("the example driver: its derived parameters, sensitivity and coefficients by hand", () => {
  const d = box.design(EXAMPLE);
  near(d.rho0, 1.20412, 1e-5, "ρ0");
  near(d.c0, 343.215, 1e-5, "c0");
  near(d.driver.cms, 1.5510e-4, 1e-4, "Cms");
  near(d.driver.mms, 0.33742, 1e-4, "Mms");
  near(d.driver.bl, 24.938, 1e-4, "Bl");
  near(d.driver.qms, 3.99, 1e-4, "Qms");
  near(d.sensitivity, 85.054, 1e-5, "sensitivity");
  box.coefficients(1, 1.375, 0.38, 7).forEach((a, i) => near(a, [2.7744, 3.7509, 2.7744][i], 1e-4, `a${i + 1}`));
  // f3: |G|² = 1/2 there, and the response a hair above it is above.
  const f0 = 22;
  const a = box.coefficients(1, 1.375, 0.38, 7);
  near(box.power(a, d.f3 / f0), 0.5, 1e-9, "|G|² at f3");
  assert.equal(d.f3.toFixed(1), "25.0");
});

// The circuit's quantities against each other and against the response
// polynomial, over frequencies around the box and far from it, for the
// example and for a lossless and a very lossy box.
const CIRCUITS = [EXAMPLE, { ...EXAMPLE, ql: 1000, vb: 0.03, fb: 30 }, { ...EXAMPLE, ql: 1, pe: undefined }];

for (const v of CIRCUITS) {
  test(`the circuit agrees with itself: QL ${v.ql}, ${v.vb * 1000} L at ${v.fb} Hz`, () => {
    const d = box.design(v);
    for (const f of [5, 10, 17, 22, 25, 31.5, 60, 200, 2000]) {
      const at = d.at(f);
      const c = at.circuit;
      // The cone's volume velocity is the box compression, the port and the leak.
      for (const k of [0, 1]) {
        assert.ok(Math.abs(c.ud[k] - (c.ub[k] + c.up[k] + c.ul[k])) <= 1e-9 * Math.hypot(...c.ud), `continuity at ${f} Hz`);
      }
      // The pressure from the circuit is the polynomial's response on the
      // passband level.
      assert.ok(Math.abs(at.splDb - d.sensitivity - at.responseDb) < 1e-6, `response at ${f} Hz`);
      // The group delay is the slope of the circuit pressure's phase.
      const phase = (g) => Math.atan2(d.at(g).circuit.p[1], d.at(g).circuit.p[0]);
      const df = f * 1e-5;
      let dphi = phase(f + df) - phase(f - df);
      if (dphi > Math.PI) dphi -= 2 * Math.PI;
      if (dphi < -Math.PI) dphi += 2 * Math.PI;
      const delay = -dphi / (2 * Math.PI * 2 * df);
      assert.ok(Math.abs(delay - at.delay) < 1e-6 + 1e-4 * Math.abs(at.delay), `group delay at ${f} Hz`);
      // The impedance is what the voltage, the current and the back EMF
      // of the circuit's cone make of it: i = (e − Bl·ud/Sd) ÷ Re, Z = e ÷ i.
      const emf = [d.driver.bl * c.ud[0] / v.sd, d.driver.bl * c.ud[1] / v.sd];
      const i = [(v.volts - emf[0]) / v.re, -emf[1] / v.re], m = i[0] * i[0] + i[1] * i[1];
      const z = [v.volts * i[0] / m, -v.volts * i[1] / m];
      assert.ok(Math.hypot(at.impedance[0] - z[0], at.impedance[1] - z[1]) <= 1e-9 * Math.hypot(...z), `impedance at ${f} Hz`);
      // The maximum output is the lower of the two limits.
      const byXmax = at.splDb + 20 * Math.log10(v.xmax / at.excursion);
      const byPe = v.pe ? at.splDb + 10 * Math.log10(v.pe / (v.volts * v.volts / v.re)) : Infinity;
      assert.ok(Math.abs(at.maxSplDb - Math.min(byXmax, byPe)) < 1e-9, `max SPL at ${f} Hz`);
    }
    // Far above fb the cone alone moves the air: the mass-controlled
    // excursion Bl·e·√2 ÷ (Re · Mms · ω²), and the port all but still.
    const hi = d.at(2000);
    const w = 2 * Math.PI * 2000;
    near(hi.excursion, d.driver.bl * v.volts * Math.SQRT2 / (v.re * d.driver.mms * w * w), 2e-3, "excursion at 2 kHz");
    assert.ok(hi.velocity < 1e-3 * d.at(v.fb).velocity, "port still at 2 kHz");
  });
}

// The impedance's own landmarks: between its two peaks a lossless box has
// its minimum at fb, where the port holds the box still and |Z| is Re; far
// below it is Re, far above Re and the voice coil's inductance.
const IMPEDANCES = [
  { name: "lossless, the example driver", v: { ...EXAMPLE, ql: 1000, qes: 0.38 } },
  { name: "lossless, 30 L at 30 Hz, 1 mH", v: { ...EXAMPLE, ql: 1000, qes: 0.38, vb: 0.03, fb: 30, le: 1e-3 } },
  { name: "the example box's losses, 0.5 mH", v: { ...EXAMPLE, le: 5e-4 }, minimumShare: 0.05 },
];

for (const row of IMPEDANCES) {
  test(`impedance: ${row.name}`, () => {
    const d = box.design(row.v), v = row.v, le = v.le || 0;
    const ohm = (f) => Math.hypot(...d.at(f).impedance);
    const fs = [];
    for (let f = 5; f <= 200; f *= 1.0005) fs.push(f);
    const zs = fs.map(ohm);
    const peaks = fs.filter((f, i) => i > 0 && i < fs.length - 1 && zs[i] > zs[i - 1] && zs[i] > zs[i + 1]);
    assert.equal(peaks.length, 2, `two peaks: ${peaks}`);
    let low = -1;
    fs.forEach((f, i) => { if (f > peaks[0] && f < peaks[1] && (low < 0 || zs[i] < zs[low])) low = i; });
    near(fs[low], v.fb, row.minimumShare || 0.01, "the minimum between the peaks");
    // QL 1000, as good as no loss, still leaves the leak: 0.2 % above Re.
    if (!row.minimumShare) near(zs[low], Math.hypot(v.re, 2 * Math.PI * fs[low] * le), 5e-3, "|Z| at fb");
    near(ohm(0.05), v.re, 1e-3, "|Z| far below");
    near(ohm(20000), Math.hypot(v.re, 2 * Math.PI * 20000 * le), 1e-3, "|Z| far above");
    assert.ok(Math.min(...peaks.map(ohm)) > 2 * v.re, "the peaks stand above Re");
    // In free air the one peak is at fs, Re·(1 + Qms/Qes) high, with the
    // inductance in series.
    const free = d.at(v.fs).freeAirImpedance, qms = d.driver.qms;
    if (isFinite(qms)) near(Math.hypot(free[0] - v.re * (1 + qms / v.qes), free[1] - 2 * Math.PI * v.fs * le) + 1, 1, 1e-9, "free air at fs");
  });
}

// Drivers alike in one box, and a subsonic filter, against one driver
// alone. Each row: the design, and what must hold against the example at
// every frequency: dB more SPL, the excursion's ratio, the amplifier's load
// as a multiple of Re. The filter's own |H|² is half at its corner.
const SEVERAL = [
  { name: "two in parallel at the same voltage: 6 dB more, the same excursion",
    v: { ...EXAMPLE, count: 2, vb: 0.08 }, db: 20 * Math.log10(2), excursion: 1, load: 0.5 },
  { name: "two in series at the same voltage: the same SPL, half the excursion",
    v: { ...EXAMPLE, count: 2, wiring: "series", vb: 0.08 }, db: 0, excursion: 0.5, load: 2 },
  { name: "four in series at four times the voltage: 12 dB more, the same excursion",
    v: { ...EXAMPLE, count: 4, wiring: "series", vb: 0.16, volts: 4 * EXAMPLE.volts }, db: 20 * Math.log10(4), excursion: 1, load: 4 },
];
for (const row of SEVERAL) {
  test(`several drivers: ${row.name}`, () => {
    const one = box.design(EXAMPLE), many = box.design(row.v);
    for (const f of [10, 22, 50, 200]) {
      const a = one.at(f), b = many.at(f);
      near(b.splDb - a.splDb + 100, row.db + 100, 1e-9, `SPL at ${f} Hz`);
      near(b.excursion, a.excursion * row.excursion, 1e-9, `excursion at ${f} Hz`);
      near(Math.hypot(...b.impedance), Math.hypot(...a.impedance) * row.load, 1e-9, `|Z| at ${f} Hz`);
      near(b.responseDb + 100, a.responseDb + 100, 1e-9, `response at ${f} Hz`);
    }
    near(many.load, EXAMPLE.re * row.load, 1e-12, "the amplifier's load");
    near(many.f3, one.f3, 1e-9, "f3");
  });
}
for (const order of [2, 4]) {
  test(`a Butterworth high-pass of order ${order}: half the power at its corner, the box after it`, () => {
    const hp = box.highPass(16, order);
    near(hp.gain2(16), 0.5, 1e-12, "|H|² at fc");
    near(hp.gain2(8), Math.pow(0.5, 2 * order) / (1 + Math.pow(0.5, 2 * order)), 1e-12, "|H|² an octave below");
    const plain = box.design(EXAMPLE), filtered = box.design({ ...EXAMPLE, hpf: 16, hporder: order });
    for (const f of [8, 16, 40]) {
      near(filtered.at(f).responseDb - plain.at(f).responseDb + 100, 10 * Math.log10(hp.gain2(f)) + 100, 1e-9, `response at ${f} Hz`);
      near(filtered.at(f).excursion, plain.at(f).excursion * Math.sqrt(hp.gain2(f)), 1e-9, `excursion at ${f} Hz`);
    }
    // Its delay is the slope of its phase, each section's π − atan2(x/Q, 1 − x²).
    const qs = order === 2 ? [Math.SQRT1_2] : [1 / (2 * Math.cos(Math.PI / 8)), 1 / (2 * Math.cos(3 * Math.PI / 8))];
    const phase = (f) => qs.reduce((p, q) => p + Math.PI - Math.atan2(f / 16 / q, 1 - (f / 16) ** 2), 0);
    for (const f of [8, 16, 30]) near(hp.delay(f), -(phase(f + 1e-4) - phase(f - 1e-4)) / 2e-4 / (2 * Math.PI), 1e-6, `delay at ${f} Hz`);
    near(filtered.at(16).delay - plain.at(16).delay, hp.delay(16), 1e-9, "the box's delay and the filter's add");
    assert.ok(filtered.f3 > plain.f3, `f3 ${filtered.f3} with the filter, ${plain.f3} without`);
    assert.equal(filtered.unfiltered.f3, plain.f3);
  });
}
