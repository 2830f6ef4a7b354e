// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The build sheet's drawings, without a browser: every dimension written
// is in the text twin and on the drawing, the parts sit where the stated
// scale puts them, and nothing falls outside the viewBox or shows a number
// gone wrong.
// Run: node tests/page/test_build_drawing.js
"use strict";
const test = require("node:test");
const assert = require("node:assert/strict");
const path = require("node:path");

const drawing = require(path.join(__dirname, "..", "..", "page", "build-drawing.js"));
const portModel = require(path.join(__dirname, "..", "..", "page", "port-model.js"));

const format = (mm) => `${Math.round(mm)} mm`;
const ROUND_SCALES = [1, 2, 2.5, 4, 5, 10, 20, 25, 40, 50, 100];

// The starting port (bore 86, walls 2 and 4, acoustic 830, cap 36) as the
// page hands it over: the model's port and its cut list.
function fromModel(tubes) {
  const cap = 36;
  const port = portModel.compute({ tubes, bore: 86, walls: [2, 4, 4, 4, 4], acoustic: 830, cap });
  const cut = portModel.cutList(port, cap);
  return {
    tubes, capMm: cap, lengthMm: port.shown.length, plugMm: cut.plugMm, openingMm: cut.openingMm,
    capOutsideMm: cut.capOutsideMm, capHoleMm: cut.capHoleMm,
    tubesMm: cut.rows.map((r) => ({ tube: r.tube, insideMm: port.shown.inside[r.tube], outsideMm: port.raw.outside[r.tube],
      cutMm: r.cutMm, fixedTo: r.fixedTo, gapMm: port.shown.gap[r.tube] })),
  };
}

function unescape(s) { return s.replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, '"').replace(/&amp;/g, "&"); }
function texts(svg) { return [...svg.matchAll(/<text[^>]*>([^<]*)<\/text>/g)].map((m) => unescape(m[1])); }
function attrs(tag) { return Object.fromEntries([...tag.matchAll(/([\w-]+)="([^"]*)"/g)].map((m) => [m[1], m[2]])); }
function element(svg, id) {
  const m = svg.match(new RegExp(`<\\w+ id="${id}"[^>]*>`));
  assert.ok(m, `no element ${id}`);
  const a = attrs(m[0]);
  for (const k of ["x", "y", "width", "height", "cx", "cy", "r", "y1"]) if (k in a) a[k] = Number(a[k]);
  return a;
}

// The drawing's own units in a millimetre of the port or baffle, from what the svg
// says of itself: its printed width, its viewBox and its stated scale.
function unitsPerMm(svg) {
  const root = attrs(svg.match(/<svg[^>]*>/)[0]);
  const view = root.viewBox.split(" ").map(Number);
  const scale = texts(svg).join(" ").match(/Scale 1 : ([\d.]+)/);
  assert.ok(scale, "the scale is stated");
  assert.ok(ROUND_SCALES.includes(Number(scale[1])), `1 : ${scale[1]} is a round scale`);
  const printedMm = Number(root.width.match(/^(\d+)mm$/)[1]);
  return { k: view[2] / printedMm / Number(scale[1]), view, root };
}

// What every drawing owes: the twin's dimensions written on it, its title,
// every mark inside the viewBox, and no NaN, Infinity or undefined.
function common(d, written) {
  const onIt = texts(d.svg).join(" | ");
  const twin = d.twin.rows.map((r) => r[1]);
  for (const w of written) assert.ok(twin.includes(w), `${w} in the twin`);
  for (const t of twin) assert.ok(onIt.includes(t), `${t} on the drawing`);
  const { view, root } = unitsPerMm(d.svg);
  assert.equal(unescape(root["aria-label"]), d.twin.sentence);
  assert.equal(root.role, "img");
  assert.equal(unescape(d.svg.match(/<title>([^<]*)<\/title>/)[1]), d.twin.sentence);
  const inside = (x, y) => x >= view[0] - 1e-6 && x <= view[0] + view[2] + 1e-6 && y >= view[1] - 1e-6 && y <= view[1] + view[3] + 1e-6;
  // The marks drawn, not the hatching's pattern tiles.
  for (const tag of d.svg.replace(/<defs>.*<\/defs>/, "").match(/<(rect|line|circle|path|text)[^>]*>/g)) {
    const a = attrs(tag);
    const points = [];
    if ("x1" in a) points.push([+a.x1, +a.y1], [+a.x2, +a.y2]);
    if ("cx" in a) points.push([+a.cx - +a.r, +a.cy - +a.r], [+a.cx + +a.r, +a.cy + +a.r]);
    if ("x" in a) points.push([+a.x, +a.y]);
    if ("width" in a && tag.startsWith("<rect")) points.push([+a.x + +a.width, +a.y + +a.height]);
    if ("d" in a) for (const m of a.d.matchAll(/[ML](-?[\d.]+) (-?[\d.]+)/g)) points.push([+m[1], +m[2]]);
    for (const [x, y] of points) assert.ok(inside(x, y), `${tag.slice(0, 60)} at ${x}, ${y} outside the viewBox ${view}`);
  }
  assert.doesNotMatch(d.svg + JSON.stringify(d.twin), /NaN|Infinity|undefined/);
  const ids = [...d.svg.matchAll(/ id="([^"]+)"/g)].map((m) => m[1]);
  // Both drawings sit on one page: each id under its own drawing's, and once.
  assert.ok(ids.every((id) => id.startsWith(d.id)) && new Set(ids).size === ids.length, "ids prefixed and unique");
}

// Each row: a port record, and the lengths that must be written on it,
// worked out from the starting values: P 277 (3 tubes) and 187 (5); cut
// lengths P − c less each unrounded gap (277 − 36 − 21.0 = 220, − 14.4 =
// 227, 241; 187 − 36 − 21.0 = 130, − 14.4 = 137, − 11.4 = 139, − 9.7 = 141,
// 151 for the 5-tube port, from its unrounded P of 186.9); plug = the
// second-largest tube's outside.
const PORTS = [
  { name: "3 tubes, the starting values", input: fromModel(3),
    written: ["277 mm", "86 mm", "124 mm", "158 mm", "220 mm", "227 mm", "241 mm", "132 mm"] },
  { name: "5 tubes, the starting values", input: fromModel(5),
    written: ["187 mm", "86 mm", "124 mm", "158 mm", "187 mm", "213 mm", "130 mm", "137 mm", "139 mm", "141 mm", "151 mm", "195 mm"] },
  { name: "no end gaps: every tube runs from the plug or panel to the cap", written: ["200 mm", "50 mm", "110 mm", "84 mm"],
    input: { tubes: 3, capMm: 20, lengthMm: 220, plugMm: 84, openingMm: 110, capOutsideMm: 114, capHoleMm: 50,
      tubesMm: [[1, 50, 54, "end cap"], [2, 80, 84, "front plug"], [3, 110, 114, "front panel and end cap"]]
        .map(([tube, insideMm, outsideMm, fixedTo]) => ({ tube, insideMm, outsideMm, cutMm: 200, fixedTo, gapMm: 0 })) } },
  { name: "all zero", written: ["0 mm"],
    input: { tubes: 3, capMm: 0, lengthMm: 0, plugMm: 0, openingMm: 0, capOutsideMm: 0, capHoleMm: 0,
      tubesMm: [1, 2, 3].map((tube) => ({ tube, insideMm: 0, outsideMm: 0, cutMm: 0, fixedTo: portModel.fixedTo(tube, 3), gapMm: 0 })) } },
];

for (const row of PORTS) {
  test(`port drawing: ${row.name}`, () => {
    const d = drawing.port(row.input, format);
    assert.equal(d.id, "drawing-port");
    common(d, row.written);
    const { k } = unitsPerMm(d.svg);
    const axis = element(d.svg, "drawing-port-axis").y1;
    const panel = element(d.svg, "drawing-port-panel-upper"), cap = element(d.svg, "drawing-port-cap-upper");
    const inner = panel.x + panel.width;
    assert.ok(Math.abs(cap.x + cap.width - (inner + row.input.lengthMm * k)) < 0.02, "the cap's outer face at P from the panel");
    for (const t of row.input.tubesMm) {
      const up = element(d.svg, `drawing-port-tube-${t.tube}-upper`), down = element(d.svg, `drawing-port-tube-${t.tube}-lower`);
      assert.equal(up.x, down.x, `tube ${t.tube}: same start above and below`);
      assert.equal(up.width, down.width, `tube ${t.tube}: same length above and below`);
      assert.ok(Math.abs(up.y + up.height - axis - (axis - down.y)) < 0.02 && Math.abs(up.height - down.height) < 0.02,
        `tube ${t.tube}: mirrored about the axis`);
      assert.ok(Math.abs(up.width - t.cutMm * k) < 0.02, `tube ${t.tube}: drawn its cut length`);
      // Fixed at the front it starts at the panel's inner face, else it ends at the cap's.
      if (t.fixedTo === "end cap") assert.ok(Math.abs(up.x + up.width - cap.x) < 0.02, `tube ${t.tube} ends at the cap`);
      else assert.ok(Math.abs(up.x - inner) < 0.02, `tube ${t.tube} starts at the panel's inner face`);
    }
  });
}

const BAFFLE = { widthMm: 320, heightMm: 520, thicknessMm: 18, inside: { leftMm: 18, bottomMm: 18, widthMm: 284, heightMm: 484 },
  port: { xMm: 160, yMm: 130, diameterMm: 158 }, cutout: { xMm: 150, yMm: 360, diameterMm: 230 } };

// Each row: a baffle and what must be written on it (its own numbers).
const FRONTS = [
  { name: "port and cut-out", input: BAFFLE, written: ["320 mm", "520 mm", "18 mm", "158 mm", "160 mm", "130 mm", "230 mm", "150 mm", "360 mm"] },
  { name: "no cut-out", input: { ...BAFFLE, cutout: null }, written: ["320 mm", "520 mm", "158 mm", "160 mm", "130 mm"] },
  { name: "all zero", written: ["0 mm"], input: { widthMm: 0, heightMm: 0, thicknessMm: 0,
    inside: { leftMm: 0, bottomMm: 0, widthMm: 0, heightMm: 0 }, port: { xMm: 0, yMm: 0, diameterMm: 0 }, cutout: null } },
];

for (const row of FRONTS) {
  test(`front drawing: ${row.name}`, () => {
    const d = drawing.front(row.input, format);
    assert.equal(d.id, "drawing-front");
    common(d, row.written);
    const { k } = unitsPerMm(d.svg);
    const baffle = element(d.svg, "drawing-front-baffle");
    assert.ok(Math.abs(baffle.width - row.input.widthMm * k) < 0.02 && Math.abs(baffle.height - row.input.heightMm * k) < 0.02);
    const bottom = baffle.y + baffle.height;
    for (const [id, hole] of [["port", row.input.port], ["cutout", row.input.cutout]]) {
      if (!hole) { assert.ok(!d.svg.includes(`drawing-front-${id}"`), `no ${id} drawn`); continue; }
      const c = element(d.svg, `drawing-front-${id}`);
      assert.ok(Math.abs(c.cx - (baffle.x + hole.xMm * k)) < 0.02 && Math.abs(c.cy - (bottom - hole.yMm * k)) < 0.02, `${id} centre`);
      assert.ok(Math.abs(c.r - hole.diameterMm / 2 * k) < 0.02, `${id} diameter`);
      assert.ok(c.cx - c.r >= baffle.x && c.cx + c.r <= baffle.x + baffle.width && c.cy - c.r >= baffle.y && c.cy + c.r <= bottom,
        `${id} inside the baffle`);
    }
  });
}

// Each row: a box's outside and thicknesses, what must be written on it,
// and by hand: the sides' length front to back (depth − cap − panel), the
// top's width between the sides (width − 2 × panel), and the scale (at
// 1 : 5 the 418 mm depth alone is 334 units, over the 280 the sheet allows).
const BOXES = [
  { name: "316 × 488 × 418, cap 36, panel 18", scale: 10, sideMm: 418 - 36 - 18, topMm: 316 - 2 * 18,
    input: { outside: { widthMm: 316, heightMm: 488, depthMm: 418 }, capMm: 36, panelMm: 18 },
    written: ["316 mm", "488 mm", "418 mm", "36 mm", "18 mm"] },
  { name: "all zero", scale: 1, sideMm: 0, topMm: 0, written: ["0 mm"],
    input: { outside: { widthMm: 0, heightMm: 0, depthMm: 0 }, capMm: 0, panelMm: 0 } },
];

for (const row of BOXES) {
  test(`construction drawing: ${row.name}`, () => {
    const d = drawing.construction(row.input, format);
    assert.equal(d.id, "drawing-construction");
    common(d, row.written);
    const { k, view } = unitsPerMm(d.svg);
    assert.ok(Math.abs(k - 4 / row.scale) < 1e-9 && view[3] <= 280, `at 1 : ${row.scale}, within the sheet's height`);
    const plan = (p) => element(d.svg, `drawing-construction-plan-${p}`);
    const elevation = (p) => element(d.svg, `drawing-construction-elevation-${p}`);
    const [front, back, left, right] = ["front", "back", "side-left", "side-right"].map(plan);
    assert.ok(Math.abs(front.height - row.input.capMm * k) < 0.02 && front.y >= back.y, "the thick front at the bottom");
    for (const side of [left, right]) {
      assert.ok(Math.abs(side.y - (back.y + back.height)) < 0.02 && Math.abs(side.y + side.height - front.y) < 0.02,
        "side between back and front");
      assert.ok(Math.abs(side.height - row.sideMm * k) < 0.02, "side's length to scale");
    }
    const [sideL, sideR, top, bottom] = ["side-left", "side-right", "top", "bottom"].map(elevation);
    for (const p of [top, bottom]) {
      assert.ok(Math.abs(p.x - (sideL.x + sideL.width)) < 0.02 && Math.abs(p.x + p.width - sideR.x) < 0.02, "between the sides");
      assert.ok(Math.abs(p.width - row.topMm * k) < 0.02, "top and bottom's width to scale");
    }
    assert.ok(Math.abs(sideL.height - row.input.outside.heightMm * k) < 0.02, "sides full height");
  });
}
