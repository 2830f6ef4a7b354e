// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The box a builder cuts, without a browser: sizes, front layouts and cut
// lists worked out by hand, refusals in words, and random boxes whose panels
// must assemble to the size and hold the gross volume.
// Run: node tests/page/test_box_build.js
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const path = require("node:path");

const build = require(path.join(__dirname, "..", "..", "page", "box-build.js"));

const close = (actual, expected, what) =>
  assert.ok(Math.abs(actual - expected) <= 1e-5 * Math.max(1, Math.abs(expected)), `${what}: ${actual}, not ${expected}`);

// Every number in a record, however deep.
function numbers(x) {
  if (typeof x === "number") return [x];
  if (x && typeof x === "object") return Object.values(x).flatMap(numbers);
  return [];
}

// Each row: the inputs, and the volumes by hand.
const VOLUMES = [
  // 5 % of 40 L is 2 L; 40 + 5.9 + 2 + 2 = 49.9.
  { name: "all four", v: { netL: 40, portL: 5.9, driverL: 2, bracingPct: 5 }, bracingL: 2, grossL: 49.9 },
  { name: "no driver, no bracing", v: { netL: 40, portL: 5.9 }, bracingL: 0, grossL: 45.9 },
  { name: "a negative net volume", v: { netL: -1, portL: 5.9 }, problem: /net volume/ },
];

for (const row of VOLUMES) {
  test(`volumes: ${row.name}`, () => {
    const r = build.volumes(row.v);
    if (row.problem) return assert.ok(r.grossL === null && row.problem.test(r.problems.join(" ")), r.problems);
    assert.deepEqual(r.problems, []);
    close(r.bracingL, row.bracingL, "bracing");
    close(r.grossL, row.grossL, "gross");
  });
}

// Each row: a box and what it must give. Worked by hand:
// golden 1 L: inside w³ · (1/φ) · φ = 1e6 mm³, so w = 100, depth 100/φ =
//   61.80340, height 161.80340; the clear bands are (161.80340 − 40 − 60)/3
//   = 20.60113, so the port's centre is 10 + 20.60113 + 20 = 50.60113 and the
//   cut-out's 50.60113 + 20 + 20.60113 + 30 = 121.20227.
// 1 : 2^(1/3) : 2^(2/3) at 2 L: d³ · 2 = 2e6, so d = 100, w = 125.99210,
//   h = 158.74011; a lone port sits at half the outside height.
// golden 46 L raised: 381 mm inside depth (435 − 36 − 18), w² φ · 381 =
//   46e6, w = √74617.55 = 273.16346, h = 441.98777. Needs 282 + 36 = 318 wide
//   (44.8 more) and 166 + 282 + 54 = 502 high (60.0 more).
// own 400 × 500, panels 20: inside 360 × 460, 33.12 L / 165600 mm² = 200
//   deep, 260 outside; bands (460 − 360)/3 = 33.33333.
// own 400 × 460 at 30.24 L: inside 360 × 420 × 200, exactly the 420 that
//   160 + 200 + 3 · 20 needs.
const BOXES = [
  {
    name: "golden 1 L", b: { grossL: 1, shape: "golden", capMm: 20, panelMm: 10, portOutsideMm: 40, cutoutMm: 60 },
    outside: [120, 181.80340, 91.80340], inside: [100, 161.80340, 61.80340], fits: true,
    port: [60, 50.60113], cutout: [60, 121.20227],
  },
  {
    name: "1 : 2^(1/3) : 2^(2/3), 2 L, no cut-out",
    b: { grossL: 2, shape: "cube-root-2", capMm: 18, panelMm: 18, minDepthMm: 136, portOutsideMm: 80 },
    outside: [161.99210, 194.74011, 136], fits: true, port: [80.99605, 97.37005], cutout: null,
  },
  {
    name: "golden 46 L, raised to the port's depth, front too small",
    b: { grossL: 46, shape: "golden", capMm: 36, panelMm: 18, minDepthMm: 435, portOutsideMm: 166, cutoutMm: 282 },
    outside: [309.16346, 477.98777, 435], raised: true, fits: false,
    notes: [/275\.4 mm deep outside, less than the 435\.0 mm/], problems: [/44\.8 mm wider and 60\.0 mm taller/],
    panels: [["front", 1, 309.16346, 477.98777, 36], ["back", 1, 309.16346, 477.98777, 18],
      ["sides", 2, 381, 477.98777, 18], ["top-bottom", 2, 273.16346, 381, 18]],
  },
  {
    name: "own 400 × 500",
    b: { grossL: 33.12, shape: "own", widthMm: 400, heightMm: 500, capMm: 40, panelMm: 20, minDepthMm: 250,
      portOutsideMm: 160, cutoutMm: 200 },
    outside: [400, 500, 260], inside: [360, 460, 200], fits: true, port: [200, 133.33333], cutout: [200, 346.66667],
    panels: [["front", 1, 400, 500, 40], ["back", 1, 400, 500, 20], ["sides", 2, 200, 500, 20], ["top-bottom", 2, 360, 200, 20]],
  },
  {
    name: "own 400 × 500, too shallow for the port",
    b: { grossL: 33.12, shape: "own", widthMm: 400, heightMm: 500, capMm: 40, panelMm: 20, minDepthMm: 300,
      portOutsideMm: 160, cutoutMm: 200 },
    outside: [400, 500, 260], fits: false, problems: [/260\.0 mm deep outside, but the port needs at least 300\.0 mm/],
    panels: [],
  },
  {
    name: "own, the holes fit exactly",
    b: { grossL: 30.24, shape: "own", widthMm: 400, heightMm: 460, capMm: 40, panelMm: 20, portOutsideMm: 160, cutoutMm: 200 },
    inside: [360, 420, 200], fits: true, port: [200, 120], cutout: [200, 320],
  },
  // No box at all: words, no numbers.
  { name: "no volume", b: { grossL: 0, shape: "golden", capMm: 36, panelMm: 18, portOutsideMm: 166 }, problems: [/gross volume/] },
  { name: "a width of just two panels", b: { grossL: 46, shape: "own", widthMm: 36, heightMm: 500, capMm: 36, panelMm: 18, portOutsideMm: 166 },
    problems: [/outside width of 36\.0 mm leaves no room inside two 18\.0 mm panels/] },
  { name: "an unknown shape", b: { grossL: 46, shape: "cube", capMm: 36, panelMm: 18, portOutsideMm: 166 }, problems: [/Choose a shape/] },
  { name: "infinite panels", b: { grossL: 46, shape: "golden", capMm: 36, panelMm: Infinity, portOutsideMm: 166 }, problems: [/panels' thickness/] },
  { name: "a volume beyond doubles", b: { grossL: 1e305, shape: "golden", capMm: 36, panelMm: 18, portOutsideMm: 166 }, problems: [/too large/] },
];

const SIZE = ["widthMm", "heightMm", "depthMm"];

for (const row of BOXES) {
  test(`box: ${row.name}`, () => {
    const r = build.box(row.b);
    assert.ok(numbers(r).every(Number.isFinite), "no NaN or Infinity");
    assert.equal(r.construction, build.CONSTRUCTION);
    (row.problems || []).forEach((p) => assert.match(r.problems.join(" "), p));
    if (!row.problems) assert.deepEqual(r.problems, []);
    (row.notes || []).forEach((n) => assert.match(r.notes.join(" "), n));
    if (!row.outside && !row.inside && row.fits === undefined) return assert.deepEqual(numbers(r), [], "no numbers");
    assert.equal(r.fits, row.fits);
    assert.equal(r.raisedToMinimum, !!row.raised);
    if (row.outside) SIZE.forEach((k, i) => close(r.outside[k], row.outside[i], `outside ${k}`));
    if (row.inside) SIZE.forEach((k, i) => close(r.inside[k], row.inside[i], `inside ${k}`));
    for (const hole of ["port", "cutout"]) {
      if (row[hole] === null) assert.equal(r.front[hole], null);
      else if (row[hole]) ["xMm", "yMm"].forEach((k, i) => close(r.front[hole][k], row[hole][i], `${hole} ${k}`));
    }
    if (row.panels) {
      const got = r.panels.map((q) => [q.panel, q.count, q.widthMm, q.heightMm, q.thicknessMm]);
      assert.equal(got.length, row.panels.length);
      got.forEach((q, i) => q.forEach((x, j) => (j < 2 ? assert.equal(x, row.panels[i][j]) : close(x, row.panels[i][j], `${q[0]} ${j}`))));
    }
  });
}

// Random boxes, from a fixed seed: the panels, put together as the
// construction says, make the outside size and hold the gross volume.
test("box: random boxes assemble and hold their volume", () => {
  let seed = 12345;
  const rnd = (lo, hi) => { seed = (seed * 1103515245 + 12345) % 2147483648; return lo + (hi - lo) * seed / 2147483648; };
  for (let i = 0; i < 500; i++) {
    const shape = ["golden", "cube-root-2", "own"][i % 3];
    const capMm = rnd(6, 50), panelMm = rnd(6, capMm);
    const b = { grossL: rnd(0.5, 400), shape, capMm, panelMm, portOutsideMm: rnd(30, 300), cutoutMm: rnd(0, 400),
      widthMm: rnd(2 * panelMm + 50, 900), heightMm: rnd(2 * panelMm + 50, 1200),
      minDepthMm: shape === "own" ? rnd(0, capMm + panelMm) : rnd(0, 1200) };
    const r = build.box(b);
    const what = JSON.stringify(b);
    assert.equal(r.panels.length, 4, what);
    assert.ok(numbers(r.panels).every((x) => x > 0 && Number.isFinite(x)), what);
    const [front, back, sides, top] = r.panels;
    const insideHeightMm = sides.heightMm - 2 * top.thicknessMm;
    const volumeMm3 = top.widthMm * insideHeightMm * sides.widthMm;
    assert.ok(Math.abs(volumeMm3 / (b.grossL * 1e6) - 1) <= 1e-9, `volume ${volumeMm3} for ${what}`);
    close(top.widthMm + 2 * sides.thicknessMm, front.widthMm, "sides and top make the width");
    assert.equal(sides.heightMm, front.heightMm, "the sides are the full height");
    close(front.thicknessMm + sides.widthMm + back.thicknessMm, r.outside.depthMm, "the depth");
    assert.ok(r.outside.depthMm >= b.minDepthMm * (1 - 1e-12), `depth below the minimum: ${what}`);
  }
});
