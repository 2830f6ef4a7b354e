// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The box a builder cuts: the gross volume from the net one, then the
// outside and inside size, where the port and the driver sit on the front,
// and the panel cut list. Lengths are millimetres and volumes litres, in and
// out, unrounded: the page converts and rounds for display. Pure: node's
// test runner loads it as a CommonJS module, the page as a classic script
// (global RavelleBuild).
(function (global) {
  "use strict";

  var PHI = (1 + Math.sqrt(5)) / 2;
  var CUBE_ROOT_2 = Math.pow(2, 1 / 3);
  var MM3_PER_L = 1e6;

  // One construction, and the cut list follows it: butt joints, every
  // panel square to its neighbours.
  var CONSTRUCTION = "Front and back overlap everything and are the full outside width and height; " +
    "the two sides run between the front and the back and are the full outside height; " +
    "the top and the bottom fit between the front and the back and between the two sides.";

  // Inside depth : width : height of each ratio. The golden one uses φ
  // exactly; the other is the room ratio 1 : 2^(1/3) : 2^(2/3)
  // ≈ 1 : 1.26 : 1.59, each side a third of an octave above the last, which
  // spreads the inside's standing waves evenly. In both the depth is the
  // shortest side and the height the longest, as a front-firing box stands.
  var SHAPES = {
    golden: { name: "golden", depth: 1 / PHI, width: 1, height: PHI },
    "cube-root-2": { name: "1 : 1.26 : 1.59", depth: 1, width: CUBE_ROOT_2, height: CUBE_ROOT_2 * CUBE_ROOT_2 },
  };

  function mmText(x) { return x.toFixed(1) + " mm"; }

  function isNumber(x) { return typeof x === "number" && isFinite(x); }

  // An optional input: absent or 0 is none.
  function optional(x) { return x === undefined || x === null ? 0 : x; }

  // {netL, portL, driverL, bracingPct} → {netL, portL, driverL, bracingL,
  // grossL, problems}. Bracing takes bracingPct % of the net volume; the
  // driver's displacement and the bracing are optional. With a problem the
  // volumes are null.
  function volumes(v) {
    var netL = v.netL, portL = v.portL, driverL = optional(v.driverL), pct = optional(v.bracingPct);
    var problems = [];
    if (!isNumber(netL) || !(netL > 0)) problems.push("The net volume must be a number more than 0.");
    if (!isNumber(portL) || portL < 0) problems.push("The port's volume must be a number, 0 or more.");
    if (!isNumber(driverL) || driverL < 0) problems.push("The driver's displacement must be a number, 0 or more.");
    if (!isNumber(pct) || pct < 0) problems.push("The bracing share must be a number, 0 % or more.");
    if (problems.length) return { netL: null, portL: null, driverL: null, bracingL: null, grossL: null, problems: problems };
    var bracingL = netL * pct / 100;
    var grossL = netL + portL + driverL + bracingL;
    if (!isFinite(grossL)) {
      return { netL: null, portL: null, driverL: null, bracingL: null, grossL: null, problems: ["The volumes are too large to add up."] };
    }
    return { netL: netL, portL: portL, driverL: driverL, bracingL: bracingL, grossL: grossL, problems: [] };
  }

  function noBox(problems) {
    return {
      outside: null, inside: null, raisedToMinimum: false, notes: [], problems: problems, fits: false,
      front: null, panels: [], construction: CONSTRUCTION,
    };
  }

  // The inside of a ratio box that holds mm3, with the inside depth at
  // least minInsideMm: the ratio scaled, or else the depth at the minimum
  // and the width and height shrunk together, keeping their ratio.
  function ratioInside(shape, mm3, minInsideMm) {
    var scale = Math.cbrt(mm3 / (shape.depth * shape.width * shape.height));
    var inside = { widthMm: scale * shape.width, heightMm: scale * shape.height, depthMm: scale * shape.depth };
    if (inside.depthMm >= minInsideMm) return { inside: inside, raised: false };
    var face = Math.sqrt(mm3 / (minInsideMm * shape.width * shape.height));
    return {
      inside: { widthMm: face * shape.width, heightMm: face * shape.height, depthMm: minInsideMm },
      raised: true, ratioDepthMm: inside.depthMm,
    };
  }

  // Where the holes go, and whether they fit. Each hole keeps at least one
  // panel thickness clear of the inside walls and of the other hole, so the
  // walls' glue blocks and the driver's frame have room; across, both are
  // centred; up the front the three clear bands (bottom wall to port, port
  // to cut-out, cut-out to top wall) are equal. Without a cut-out the port
  // sits in the middle of the inside height.
  function frontLayout(outside, inside, p, portMm, cutoutMm, lengthText) {
    var holes = cutoutMm > 0 ? 2 : 1;
    var band = (inside.heightMm - portMm - cutoutMm) / (holes + 1);
    var xMm = outside.widthMm / 2;
    var portY = p + band + portMm / 2;
    var front = {
      port: { xMm: xMm, yMm: portY, diameterMm: portMm },
      cutout: holes === 2 ? { xMm: xMm, yMm: portY + portMm / 2 + band + cutoutMm / 2, diameterMm: cutoutMm } : null,
    };
    var needWidthMm = Math.max(portMm, cutoutMm) + 2 * p;
    var needHeightMm = portMm + cutoutMm + (holes + 1) * p;
    var short = [];
    if (inside.widthMm < needWidthMm) short.push(lengthText(needWidthMm - inside.widthMm) + " wider");
    if (inside.heightMm < needHeightMm) short.push(lengthText(needHeightMm - inside.heightMm) + " taller");
    var problem = null;
    if (short.length) {
      problem = "The front does not hold " + (holes === 2 ? "the port's " + lengthText(portMm) +
        " and the driver's " + lengthText(cutoutMm) + " cut-out one above the other" : "the port's " + lengthText(portMm)) +
        " with " + lengthText(p) + " clear of the walls" + (holes === 2 ? " and between them" : "") + ": that needs an inside of " +
        lengthText(needWidthMm) + " wide by " + lengthText(needHeightMm) + " high, and this box has " +
        lengthText(inside.widthMm) + " by " + lengthText(inside.heightMm) + ", so the inside would need to be " +
        short.join(" and ") + ".";
    }
    return { front: front, problem: problem };
  }

  // The cut list, as CONSTRUCTION puts the box together. widthMm runs
  // across the box (for the sides: front to back), heightMm up it (for the
  // top and the bottom: front to back).
  function panelsOf(outside, inside, cap, p) {
    return [
      { panel: "front", count: 1, widthMm: outside.widthMm, heightMm: outside.heightMm, thicknessMm: cap },
      { panel: "back", count: 1, widthMm: outside.widthMm, heightMm: outside.heightMm, thicknessMm: p },
      { panel: "sides", count: 2, widthMm: inside.depthMm, heightMm: outside.heightMm, thicknessMm: p },
      { panel: "top-bottom", count: 2, widthMm: inside.widthMm, heightMm: inside.depthMm, thicknessMm: p },
    ];
  }

  function allFinitePositive(values) {
    return values.every(function (x) { return isNumber(x) && x > 0; });
  }

  // {grossL, shape: "golden" | "cube-root-2" | "own", widthMm, heightMm
  // (outside, for "own"), capMm (the front's thickness), panelMm (the other
  // five), minDepthMm (the least outside depth the port needs; optional),
  // portOutsideMm, cutoutMm (optional), lengthText (optional: mm → words,
  // for the sentences)} → {outside, inside, raisedToMinimum, notes,
  // problems, fits, front, panels, construction}. Inputs that make no box
  // give problems and null sizes; a front that cannot hold its holes gives
  // a problem, the sizes and fits false.
  function box(b) {
    var lengthText = typeof b.lengthText === "function" ? b.lengthText : mmText;
    var cap = b.capMm, p = b.panelMm, portMm = b.portOutsideMm;
    var cutoutMm = optional(b.cutoutMm), minDepthMm = optional(b.minDepthMm);
    var shape = b.shape === "own" ? null : SHAPES[b.shape];
    var problems = [];
    if (!isNumber(b.grossL) || !(b.grossL > 0)) problems.push("The gross volume must be a number more than 0.");
    if (b.shape !== "own" && !shape) problems.push("Choose a shape: golden, cube-root-2 or your own width and height.");
    if (!isNumber(cap) || !(cap > 0)) problems.push("The front's thickness must be a number more than 0.");
    if (!isNumber(p) || !(p > 0)) problems.push("The panels' thickness must be a number more than 0.");
    if (!isNumber(portMm) || !(portMm > 0)) problems.push("The port's outside diameter must be a number more than 0.");
    if (!isNumber(cutoutMm) || cutoutMm < 0) problems.push("The driver's cut-out must be a number, 0 or more.");
    if (!isNumber(minDepthMm) || minDepthMm < 0) problems.push("The port's least box depth must be a number, 0 or more.");
    if (b.shape === "own") {
      [["width", b.widthMm], ["height", b.heightMm]].forEach(function (side) {
        if (!isNumber(side[1]) || !(side[1] > 0)) problems.push("The box's outside " + side[0] + " must be a number more than 0.");
        else if (isNumber(p) && p > 0 && !(side[1] > 2 * p)) {
          problems.push("An outside " + side[0] + " of " + lengthText(side[1]) + " leaves no room inside two " +
            lengthText(p) + " panels.");
        }
      });
    }
    if (problems.length) return noBox(problems);

    var mm3 = b.grossL * MM3_PER_L;
    var walls = cap + p; // front and back, along the depth
    var notes = [], inside, raised = false;
    if (shape) {
      var sized = ratioInside(shape, mm3, Math.max(minDepthMm - walls, 0));
      inside = sized.inside;
      raised = sized.raised;
      if (raised) {
        notes.push("The " + shape.name + " shape would make the box " + lengthText(sized.ratioDepthMm + walls) +
          " deep outside, less than the " + lengthText(minDepthMm) + " the port needs: the depth is raised to " +
          lengthText(minDepthMm) + " and the width and height shrink together, keeping their ratio, so that the box " +
          "still holds the gross volume.");
      }
    } else {
      var wi = b.widthMm - 2 * p, hi = b.heightMm - 2 * p;
      inside = { widthMm: wi, heightMm: hi, depthMm: mm3 / (wi * hi) };
    }
    var outside = { widthMm: inside.widthMm + 2 * p, heightMm: inside.heightMm + 2 * p, depthMm: inside.depthMm + walls };
    var sizes = [inside.widthMm, inside.heightMm, inside.depthMm, outside.widthMm, outside.heightMm, outside.depthMm];
    if (!allFinitePositive(sizes)) return noBox(["These numbers are too large or too small to make a box of."]);

    if (!shape && outside.depthMm < minDepthMm) {
      var r = noBox(["At " + lengthText(outside.widthMm) + " wide and " + lengthText(outside.heightMm) +
        " high the box is " + lengthText(outside.depthMm) + " deep outside, but the port needs at least " +
        lengthText(minDepthMm) + ": choose a smaller width or height, or a shorter port."]);
      r.outside = outside;
      r.inside = inside;
      return r;
    }

    var layout = frontLayout(outside, inside, p, portMm, cutoutMm, lengthText);
    var holes = [layout.front.port].concat(layout.front.cutout ? [layout.front.cutout] : []);
    var placed = holes.every(function (h) { return isNumber(h.xMm) && isNumber(h.yMm); });
    if (!placed || !isNumber(portMm + cutoutMm)) return noBox(["The port and the cut-out are too large to place on a front."]);
    if (layout.problem) problems.push(layout.problem);
    return {
      outside: outside, inside: inside, raisedToMinimum: raised, notes: notes, problems: problems,
      fits: !layout.problem, front: layout.front, panels: panelsOf(outside, inside, cap, p), construction: CONSTRUCTION,
    };
  }

  var api = { PHI: PHI, SHAPES: SHAPES, CONSTRUCTION: CONSTRUCTION, volumes: volumes, box: box };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleBuild = api;
})(this);
