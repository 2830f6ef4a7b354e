// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Which pipes to buy for a folded port: each tube either a stock pipe used
// as it is, or made with the tube-maker from a pipe near its size, with the
// strips the tube-maker window gives. The walls chosen change the next
// tube's size, as in the main window, so the tubes are chosen together.
// Lengths are millimetres. Pure: node's test runner loads it as a CommonJS
// module, the page as a classic script (global RavelleTubePlan).
(function (global) {
  "use strict";

  var node = typeof module === "object" && module.exports;
  var Port = node ? require("./port-model.js") : global.RavellePort;
  var Pipes = node ? require("./pipe-catalogue.js") : global.RavellePipes;

  // π as the tube-maker takes it, the double nearest 3.14159265359.
  var PI = Port.PI;
  var roundHalfUp = Port.roundHalfUp;

  // A pipe this far from a tube's inside diameter, as a share of it, is
  // still worth slitting and closing up: further, the strips get too wide.
  var MAKE_SHARE = 0.15;

  var INNER = { removed: "Width of strip to be removed from inner tube",
    inserted: "Width of strip to be inserted into inner tube" };
  var OUTER = { removed: "Width of strip to be removed from outer tube",
    inserted: "Width of strip to be inserted into outer tube" };
  var INVALID = "Unable to calculate with any term not a positive number";

  // The window's caption: the sign from the unrounded width (so −0.4 is
  // "inserted … 0"), the number rounded half up, without its sign.
  function caption(widthMm, texts) {
    return (widthMm >= 0 ? texts.removed : texts.inserted) + " " + String(Math.abs(roundHalfUp(widthMm)));
  }

  // The tube-maker: tubing of inside diameter start and wall, slit and
  // closed up in two layers to the required inside diameter. The same
  // arithmetic in the same order as the program's window.
  function strips(input) {
    var D = input.start, R = input.required, T = input.wall;
    var bad = { valid: false, inner: 0, outer: 0, innerCaption: INVALID, outerCaption: INVALID };
    if (!(D > 0) || !(R > 0) || !(T > 0)) return bad;
    var inner = ((PI * (D - R)) * (D / 2 + T)) / (D / 2);
    var outer = ((PI * ((D - R) - T * 2)) * (D / 2 + T)) / (D / 2);
    if (!isFinite(inner) || !isFinite(outer)) return bad;
    return { valid: true, inner: inner, outer: outer, innerCaption: caption(inner, INNER), outerCaption: caption(outer, OUTER) };
  }

  // One number as typed into the list of one's own tubes: digits with a
  // point, no exponent; the sign is read so that it can be refused by name.
  var NUMBER = "([+-]?(?:\\d+\\.?\\d*|\\.\\d+))";
  var TUBE = new RegExp("^" + NUMBER + "[xX×]" + NUMBER + "$");
  var BARE = /^[+-]?\d+$/;

  // The builder's own tubes, "inside × wall" in the page's length unit,
  // separated by commas, semicolons or new lines. Blanks count for nothing,
  // as in the main window's boxes. A comma between digits with no blank
  // round it, next to an entry that is only digits, is a decimal comma: its
  // two halves are refused together rather than read as two wrong tubes.
  function parseMyTubes(text, mmPerUnit) {
    var unit = mmPerUnit === 25.4 ? " in" : "";
    var parts = (text == null ? "" : String(text)).split(/([,;\n])/);
    var entries = [];
    for (var i = 0; i < parts.length; i += 2) {
      entries.push({ raw: parts[i], text: parts[i].replace(/\s+/g, ""), after: parts[i + 1] || "" });
    }
    var tubes = [], problem = "";
    for (i = 0; i < entries.length; i++) {
      var e = entries[i];
      if (e.text === "") continue;
      var next = entries[i + 1];
      var joined = e.after === "," && next && /\d$/.test(e.raw) && /^\d/.test(next.raw) &&
        (BARE.test(e.text) || BARE.test(next.text));
      var why = "";
      if (joined) {
        why = "“" + e.raw.trim() + "," + next.raw.trim() + "” has a decimal comma: write decimals with a point, as in 3.5.";
        i++;
      } else {
        var m = TUBE.exec(e.text);
        if (!m) {
          why = "“" + e.raw.trim() + "” is not a tube: write its inside diameter × wall, as in 70 × 3.";
        } else if (!(Number(m[1]) > 0) || !(Number(m[2]) > 0)) {
          why = "“" + e.raw.trim() + "” has a zero or negative number: the inside diameter and the wall must both be more than 0.";
        } else {
          var inside = Number(m[1]), wall = Number(m[2]);
          tubes.push({
            catalogue: "mine", name: "your tube " + String(inside) + " × " + String(wall) + unit,
            insideMm: inside * mmPerUnit, wallMm: wall * mmPerUnit, outsideMm: (inside + 2 * wall) * mmPerUnit,
          });
        }
      }
      if (why && !problem) problem = why;
    }
    return { tubes: tubes, problem: problem };
  }

  function squared(x) { return x * x; }

  // The ways to build a tube of required inside diameter R, one for each
  // wall that can come of it: the walls alone decide every later tube, so of
  // two ways to the same wall only the better can be in the best plan. Used
  // as it is beats made; of two made, the narrower strips; then the first
  // pipe in the list. Sorted by made, then wall, so that the search meets
  // good plans first and can stop early in a list. byInside lists the pipes'
  // indices by inside diameter, so that only those near R are looked at.
  function optionsFor(R, pipes, byInside, fitMm) {
    var reachMm = Math.max(fitMm, MAKE_SHARE * R);
    var lo = 0, hi = byInside.length;
    while (lo < hi) {
      var mid = (lo + hi) >> 1;
      if (pipes[byInside[mid]].insideMm < R - reachMm) lo = mid + 1; else hi = mid;
    }
    var all = [];
    for (var j = lo; j < byInside.length; j++) {
      var i = byInside[j], p = pipes[i], D = p.insideMm, T = p.wallMm;
      if (D > R + reachMm) break;
      var off = Math.abs(D - R);
      if (off <= fitMm) all.push({ pipe: i, made: 0, wallMm: T, stripMm: 0, rank: 2 * i });
      if (off <= MAKE_SHARE * R) {
        // The tube-maker's two widths, as strips() has them.
        var inner = ((PI * (D - R)) * (D / 2 + T)) / (D / 2);
        var outer = ((PI * ((D - R) - T * 2)) * (D / 2 + T)) / (D / 2);
        if (isFinite(inner) && isFinite(outer)) {
          all.push({ pipe: i, made: 1, wallMm: 2 * T, stripMm: Math.abs(inner) + Math.abs(outer), rank: 2 * i + 1 });
        }
      }
    }
    all.sort(function (a, b) { return a.wallMm - b.wallMm || a.made - b.made || a.stripMm - b.stripMm || a.rank - b.rank; });
    var list = all.filter(function (o, k) { return k === 0 || o.wallMm !== all[k - 1].wallMm; });
    return list.sort(function (a, b) { return a.made - b.made || a.wallMm - b.wallMm; });
  }

  function usable(p) {
    return p && p.insideMm > 0 && p.wallMm > 0 && isFinite(p.insideMm) && isFinite(p.wallMm);
  }

  // The plan: the fewest tubes to make, then the smallest outside diameter
  // of the port, then the least strip to cut, then the earliest pipes in the
  // list. A depth-first search over the tubes in order, bounded: the next
  // tube's size is known as soon as this one's wall is, and with it the
  // fewest tubes any plan from here must make. When that is already the
  // best plan's count, every later tube must be used as it is, and the
  // port's outside diameter, which only grows with every wall, is bounded
  // below by the thinnest pipe that could be.
  function plan(input) {
    var n = input.tubes === 5 ? 5 : 3;
    var bore = input.bore, fitMm = input.fitMm;
    if (!(bore > 1)) return { problem: "bore" };
    if (!isFinite(bore) || !isFinite(input.acoustic) || !isFinite(input.cap)) return { problem: "range" };
    if (!(fitMm >= 0) || !isFinite(fitMm)) return { problem: "fit" };
    var pipes = (input.pipes || []).filter(usable);
    var byInside = pipes.map(function (p, i) { return i; });
    byInside.sort(function (a, b) { return pipes[a].insideMm - pipes[b].insideMm || a - b; });
    // thinnestFrom[j]: the thinnest wall of the pipes from byInside[j] on.
    var thinnestFrom = [];
    thinnestFrom[byInside.length] = Infinity;
    for (var j = byInside.length - 1; j >= 0; j--) thinnestFrom[j] = Math.min(thinnestFrom[j + 1], pipes[byInside[j]].wallMm);
    function firstFrom(insideMm) {
      var lo = 0, hi = byInside.length;
      while (lo < hi) {
        var mid = (lo + hi) >> 1;
        if (pipes[byInside[mid]].insideMm < insideMm) lo = mid + 1; else hi = mid;
      }
      return lo;
    }

    // By R: every tube but the first is made to a whole millimetre.
    var cache = [];
    function optionsAt(R) {
      return cache[R] || (cache[R] = optionsFor(R, pipes, byInside, fitMm));
    }
    var boreSquared = squared(bore);
    // The port's outside diameter at the least, given tube k's outside, when
    // every later tube is a pipe used as it is. Each is at least as wide as
    // with the walls so far alone, so its pipe is no narrower than that less
    // the fit (less a hair against rounding), and its wall no thinner than
    // the thinnest of those pipes'.
    function usedBound(outsideMm, k) {
      for (var j = k + 1; j <= n; j++) {
        var insideMm = Math.sqrt(boreSquared + squared(outsideMm)), R = roundHalfUp(insideMm);
        outsideMm = insideMm + thinnestFrom[firstFrom(R - fitMm - 1e-9 * R)] * 2;
      }
      return outsideMm;
    }

    var best = null, furthest = { tube: 0, requiredMm: 0 };
    var path = [], required = [];
    function better(made, outsideMm, stripMm) {
      if (best === null) return true;
      if (made !== best.made) return made < best.made;
      if (outsideMm !== best.outsideMm) return outsideMm < best.outsideMm;
      if (stripMm !== best.stripMm) return stripMm < best.stripMm;
      for (var j = 1; j <= n; j++) if (path[j].rank !== best.path[j].rank) return path[j].rank < best.path[j].rank;
      return false;
    }
    function reached(k, R) {
      if (k > furthest.tube) furthest = { tube: k, requiredMm: R };
    }
    // Tube k, of unrounded inside diameter insideMm as the main window
    // computes it and R as the window shows it, the size it is made to.
    function visit(k, insideMm, R, options, made, stripMm) {
      required[k] = R;
      for (var i = 0; i < options.length; i++) {
        var o = options[i], m = made + o.made;
        if (best !== null && m > best.made) break; // sorted by made: all later ones too
        var outsideMm = insideMm + o.wallMm * 2, s = stripMm + o.stripMm;
        // With no tube left to make, the bound grows with the wall, and the
        // walls of this last class of options grow down the list.
        if (best !== null && m === best.made && k < n && usedBound(outsideMm, k) > best.outsideMm) break;
        path[k] = o;
        if (k === n) {
          if (better(m, outsideMm, s)) best = { made: m, outsideMm: outsideMm, stripMm: s, path: path.slice(), required: required.slice() };
          continue;
        }
        var nextInsideMm = Math.sqrt(boreSquared + squared(outsideMm)), nextR = roundHalfUp(nextInsideMm);
        var next = optionsAt(nextR);
        if (next.length === 0) {
          reached(k + 1, nextR);
          continue;
        }
        if (best !== null) {
          // next[0] makes as few as any and, of those, has the thinnest wall.
          var fewest = m + next[0].made;
          if (fewest > best.made) continue;
          if (fewest === best.made) {
            var least = usedBound(nextInsideMm + next[0].wallMm * 2, k + 1);
            if (least > best.outsideMm || (least === best.outsideMm && s > best.stripMm)) continue;
          }
        }
        visit(k + 1, nextInsideMm, nextR, next, m, s);
      }
    }
    var first = optionsFor(bore, pipes, byInside, fitMm);
    if (first.length === 0) reached(1, bore);
    else visit(1, bore, bore, first, 0, 0);

    if (best === null) return { problem: "no pipe", tube: furthest.tube, requiredMm: furthest.requiredMm };
    var rows = [], walls = [];
    for (var k = 1; k <= n; k++) {
      var o = best.path[k], p = pipes[o.pipe];
      var made = o.made === 1 ? strips({ start: p.insideMm, required: best.required[k], wall: p.wallMm }) : null;
      walls.push(o.wallMm);
      rows.push({
        tube: k, made: o.made === 1, source: p.name, catalogue: p.catalogue,
        startInsideMm: p.insideMm, startWallMm: p.wallMm, requiredMm: best.required[k],
        innerStripMm: made ? made.inner : null, outerStripMm: made ? made.outer : null,
        innerCaption: made ? made.innerCaption : "", outerCaption: made ? made.outerCaption : "",
        wallMm: o.wallMm,
      });
    }
    var port = Port.compute({ tubes: n, bore: bore, walls: walls.concat([0, 0, 0, 0, 0]).slice(0, 5), acoustic: input.acoustic, cap: input.cap });
    if (port.problem) return port;
    return { rows: rows, walls: walls, port: port };
  }

  // The stock bore nearest the one typed; of two as near, the smaller.
  function nearestBore(bore, pipes) {
    var found = null;
    (pipes || []).filter(usable).forEach(function (p) {
      if (found === null) { found = p; return; }
      var d = Math.abs(p.insideMm - bore), e = Math.abs(found.insideMm - bore);
      if (d < e || (d === e && p.insideMm < found.insideMm)) found = p;
    });
    return found === null || !isFinite(bore) ? null : { insideMm: found.insideMm, name: found.name };
  }

  var api = { strips: strips, parseMyTubes: parseMyTubes, plan: plan, nearestBore: nearestBore, pipes: Pipes.pipes, MAKE_SHARE: MAKE_SHARE };
  if (node) module.exports = api;
  else global.RavelleTubePlan = api;
})(this);
