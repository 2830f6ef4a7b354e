// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The folded port of the main window, on the page: the same arithmetic in
// the same order and grouping, the same π and the same rounding, so that
// every double agrees with the program's to the last bit. Then the tube cut
// list, as the window's diagrams put the port together. Lengths are
// millimetres, the volume litres. Pure: node's test runner loads it as a
// CommonJS module, the page as a classic script (global RavellePort).
(function (global) {
  "use strict";

  // π as both of the program's computations take it: the double nearest
  // 3.14159265359, not Math.PI.
  var PI = 3.14159265359;

  // x², correctly rounded: what the program computes too.
  function squared(x) { return x * x; }

  // Half up to a whole number: 12.5 gives 13, −11.7 gives −12.
  function roundHalfUp(x) { return Math.floor(x + 0.5); }

  // Values by the tube's own number, 1 to 5; index 0 stays unused.
  function perTube() { return [0, 0, 0, 0, 0, 0]; }

  // The program's arithmetic before any rounding. inputs: {tubes: 3 or 5,
  // bore, walls: [t1 … t5], acoustic, cap}, in mm.
  function unrounded(inputs) {
    var five = inputs.tubes === 5;
    var d1 = inputs.bore, L = inputs.acoustic, c = inputs.cap;
    var t = [0].concat(inputs.walls);
    var d = perTube(), D = perTube(), g = perTube();
    d[1] = d1;

    // Each annular passage has the bore's area: d(k+1)² = d1² + Dk².
    D[1] = d1 + t[1] * 2;
    d[2] = Math.sqrt(squared(d1) + squared(D[1]));
    D[2] = d[2] + t[2] * 2;
    d[3] = Math.sqrt(squared(d1) + squared(D[2]));
    D[3] = d[3] + t[3] * 2;
    if (five) {
      d[4] = Math.sqrt(squared(d1) + squared(D[3]));
      D[4] = d[4] + t[4] * 2;
      d[5] = Math.sqrt(squared(d1) + squared(D[4]));
      D[5] = d[5] + t[5] * 2;
    }

    // The cylinder of height g round the mean diameter of the tube's wall
    // has the bore's area: 2 g (d + D) = d1².
    g[1] = squared(d1) / (2 * (d1 + D[1]));
    g[2] = squared(d1) / (2 * (d[2] + D[2]));
    if (five) {
      g[3] = squared(d1) / (2 * (d[3] + D[3]));
      g[4] = squared(d1) / (2 * (d[4] + D[4]));
    }

    // The acoustic length folded into n runs, each end gap counted in two
    // halves, the cap once per turn at the rear.
    var P = L + g[1] / 2;
    P = (P - (d[2] - D[1]) / 4) - D[1] / 2;
    P = ((P + g[1] / 2) + g[2] / 2) + c;
    P = P - (d[3] - D[1]) / 4;
    if (five) {
      P = ((P + g[3] / 2) + g[2] / 2) + c;
      P = P - (d[4] - D[2]) / 4;
      P = ((P + g[4] / 2) + g[3] / 2) + c;
      P = P - (d[5] - D[3]) / 4;
      P = (P + g[4] / 2) + c;
      P = P / 5;
    } else {
      P = P + g[2] / 2;
      P = P / 3;
    }

    var outside = five ? D[5] : D[3];
    return {
      inside: d, outside: D, gap: g, length: P,
      volume: ((P * PI) * squared(outside / 2)) / 100000, // tenths of a litre
      depth: (P + d1) + (c * 3) / 2,
    };
  }

  function allFinite(values) {
    return values.every(function (x) { return isFinite(x); });
  }

  // The port of the main window: {problem, tube} where the program would
  // show "n/a" ("bore", a bore of 1 mm or less), keep its display ("wall",
  // a negative wall of tube k; "range", a number beyond the double range),
  // or {raw, shown}: the unrounded values, and the numbers the window shows.
  // shown.outside holds every tube's outside diameter to the whole mm,
  // shown.volume is in litres.
  function compute(inputs) {
    var n = inputs.tubes === 5 ? 5 : 3;
    if (!(inputs.bore > 1)) return { problem: "bore" };
    for (var k = 1; k <= n; k++) {
      if (inputs.walls[k - 1] < 0) return { problem: "wall", tube: k };
    }
    var raw = unrounded({ tubes: n, bore: inputs.bore, walls: inputs.walls, acoustic: inputs.acoustic, cap: inputs.cap });
    var inUse = [inputs.bore, inputs.acoustic, inputs.cap, raw.length, raw.volume, raw.depth];
    for (k = 1; k <= n; k++) inUse.push(inputs.walls[k - 1], raw.inside[k], raw.outside[k], k < n ? raw.gap[k] : 0);
    if (!allFinite(inUse)) return { problem: "range" };

    var shown = { tubes: n, inside: perTube(), walls: [0].concat(inputs.walls.slice(0, n)), outside: perTube(), gap: perTube() };
    for (k = 1; k <= n; k++) {
      shown.inside[k] = k === 1 ? inputs.bore : roundHalfUp(raw.inside[k]);
      shown.outside[k] = roundHalfUp(raw.outside[k]);
      if (k < n) shown.gap[k] = roundHalfUp(raw.gap[k]);
    }
    shown.volume = Math.floor(raw.volume) / 10; // cut to one decimal, never rounded up
    shown.length = roundHalfUp(raw.length);
    shown.depth = roundHalfUp(raw.depth);
    return { tubes: n, raw: raw, shown: shown };
  }

  // What each tube is fixed to. The outermost runs from the front panel to
  // the end cap; inwards from it they alternate: the next starts at the
  // front plug, the one inside that at the end cap, and so on.
  function fixedTo(tube, n) {
    if (tube === n) return "front panel and end cap";
    return (n - tube) % 2 === 1 ? "front plug" : "end cap";
  }

  // The cut list of a computed port. The plug sits in the front panel's
  // opening, flush with the panel's inner face; every tube butts against
  // the inner faces of the plug (or the panel) and of the cap, so the
  // outermost is P − c long and each other tube its own end gap shorter.
  // P and the gaps unrounded, each length then to the nearest millimetre.
  function cutList(port, cap) {
    var n = port.tubes, raw = port.raw, shown = port.shown;
    var rows = [];
    for (var k = 1; k <= n; k++) {
      var span = raw.length - cap;
      rows.push({ tube: k, cutMm: roundHalfUp(k === n ? span : span - raw.gap[k]), fixedTo: fixedTo(k, n) });
    }
    return {
      rows: rows,
      // The mouth between the plug and the outermost tube has the bore's
      // area when the plug is as wide as the second-largest tube's outside.
      plugMm: roundHalfUp(raw.outside[n - 1]),
      capOutsideMm: shown.outside[n],
      capHoleMm: shown.inside[1],
      openingMm: shown.inside[n],
    };
  }

  var api = { PI: PI, unrounded: unrounded, compute: compute, cutList: cutList, fixedTo: fixedTo, roundHalfUp: roundHalfUp };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavellePort = api;
})(this);
