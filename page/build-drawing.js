// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The build sheet's drawings to scale, as SVG markup: the port in section
// along its axis, the front baffle seen from the front, and the box's
// construction in two sections, showing which panel overlaps which. Each
// is a plot like the box designer's graphs: one scale from millimetres to
// the drawing's units, marks for the parts, dimension lines, and a text
// twin (a sentence and a row for every dimension written) for screen
// readers and print. Black on white with hatching, so that it prints
// sharply in greyscale. The drawings write the numbers they are given and
// compute none of their own; every length goes through the page's format.
(function (global) {
  "use strict";

  // Each drawing is true to its stated scale when printed as wide as it
  // says: the two side by side across a sheet. The svg gives its width in
  // mm; the page may scale it on screen, not in print.
  var PORT_MM_WIDE = 90, FRONT_MM_WIDE = 90;
  // The construction runs the whole width, below the two, and low enough
  // that all three fit on the sheet's first page.
  var CONSTRUCTION_MM_WIDE = 180, CONSTRUCTION_UNITS_HIGH = 280;
  var UNITS_PER_MM = 4; // drawing units in a printed millimetre
  var PAD = 8;
  var FONT = 12, SMALL = 11;
  var ARROW = 9; // an arrowhead's length, about 2.3 mm printed
  var INK = "#000";
  var FONTS = "system-ui, -apple-system, 'Segoe UI', Roboto, Arial, sans-serif";

  function esc(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  }

  // A coordinate: never NaN or Infinity in the markup, whatever came in.
  function num(x) { return isFinite(x) ? Number(x.toFixed(2)) : 0; }

  function finite(x) { return isFinite(x) ? Number(x) : 0; }

  // The round reductions, largest first: 1:1, 1:2, 1:2.5, 1:4, 1:5, 1:10 …
  function scales() {
    var out = [];
    for (var e = 0; e <= 6; e++) {
      [1, 2, 2.5, 4, 5].forEach(function (m) { out.push(Number((m * Math.pow(10, e)).toPrecision(12))); });
    }
    return out;
  }

  function scaleText(denominator) { return "1 : " + denominator; }

  // The sheet a drawing is drawn on: markup in order, and the extent of
  // everything drawn, from which the viewBox is set. Text is measured at
  // 0.6 em a character, generous for the page's sans-serif.
  function sheet(id, mmWide) {
    var W = mmWide * UNITS_PER_MM;
    var parts = [], box = { x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity };
    function see(x, y) {
      x = finite(x); y = finite(y);
      box.x0 = Math.min(box.x0, x); box.x1 = Math.max(box.x1, x);
      box.y0 = Math.min(box.y0, y); box.y1 = Math.max(box.y1, y);
    }
    var s = {
      id: id,
      rect: function (x, y, w, h, attrs, name) {
        see(x, y); see(x + w, y + h);
        parts.push("<rect" + (name ? ' id="' + id + "-" + name + '"' : "") + ' x="' + num(x) + '" y="' + num(y) +
          '" width="' + num(Math.max(0, w)) + '" height="' + num(Math.max(0, h)) + '" ' + attrs + "/>");
      },
      line: function (x1, y1, x2, y2, attrs, name) {
        see(x1, y1); see(x2, y2);
        parts.push("<line" + (name ? ' id="' + id + "-" + name + '"' : "") + ' x1="' + num(x1) + '" y1="' + num(y1) +
          '" x2="' + num(x2) + '" y2="' + num(y2) + '" ' + attrs + "/>");
      },
      path: function (points, closed, attrs) {
        points.forEach(function (p) { see(p[0], p[1]); });
        parts.push('<path d="' + points.map(function (p, i) { return (i ? "L" : "M") + num(p[0]) + " " + num(p[1]); }).join("") +
          (closed ? "Z" : "") + '" ' + attrs + "/>");
      },
      circle: function (cx, cy, r, attrs, name) {
        see(cx - r, cy - r); see(cx + r, cy + r);
        parts.push("<circle" + (name ? ' id="' + id + "-" + name + '"' : "") + ' cx="' + num(cx) + '" cy="' + num(cy) +
          '" r="' + num(Math.max(0, r)) + '" ' + attrs + "/>");
      },
      // Text at (x, y): anchor start, middle or end; turned by angle
      // degrees about that point (−90 reads upwards).
      text: function (x, y, words, o) {
        o = o || {};
        var size = o.size || FONT, wide = 0.6 * size * String(words).length;
        var from = o.anchor === "middle" ? -wide / 2 : o.anchor === "end" ? -wide : 0;
        var a = (o.angle || 0) * Math.PI / 180, cos = Math.cos(a), sin = Math.sin(a);
        [[from, 0.25 * size], [from + wide, 0.25 * size], [from, -0.8 * size], [from + wide, -0.8 * size]].forEach(function (p) {
          see(x + p[0] * cos - p[1] * sin, y + p[0] * sin + p[1] * cos);
        });
        parts.push('<text x="' + num(x) + '" y="' + num(y) + '" font-size="' + size + '"' +
          (o.anchor && o.anchor !== "start" ? ' text-anchor="' + o.anchor + '"' : "") +
          (o.angle ? ' transform="rotate(' + o.angle + " " + num(x) + " " + num(y) + ')"' : "") +
          (o.italic ? ' font-style="italic"' : "") +
          // A white halo keeps the words legible where a line runs beneath.
          ' fill="' + INK + '" stroke="#fff" stroke-width="3" stroke-linejoin="round" paint-order="stroke">' +
          esc(words) + "</text>");
      },
      fits: function (heightUnits) { return box.x1 - box.x0 <= W - 2 * PAD && box.y1 - box.y0 <= heightUnits - 2 * PAD; },
      svg: function (label, defs) {
        var x0 = box.x0 - (W - (box.x1 - box.x0)) / 2, y0 = box.y0 - PAD, h = box.y1 - box.y0 + 2 * PAD;
        return '<svg id="' + id + '" class="drawing" xmlns="http://www.w3.org/2000/svg" viewBox="' + num(x0) + " " + num(y0) +
          " " + W + " " + num(h) + '" width="' + mmWide + 'mm" height="' + num(h / UNITS_PER_MM) + 'mm" role="img" aria-label="' +
          esc(label) + '" font-family="' + FONTS + '"><title>' + esc(label) + "</title>" + (defs ? "<defs>" + defs + "</defs>" : "") +
          '<rect x="' + num(x0) + '" y="' + num(y0) + '" width="' + W + '" height="' + num(h) + '" fill="#fff"/>' +
          parts.join("") + "</svg>";
      },
    };
    return s;
  }

  var THIN = 'stroke="' + INK + '" stroke-width="0.8"';
  var OUTLINE = 'stroke="' + INK + '" stroke-width="1.6"';

  function arrow(s, x, y, ux, uy) {
    // Tip at (x, y), pointing along (ux, uy).
    var bx = x - ux * ARROW, by = y - uy * ARROW, hw = ARROW / 3.6;
    s.path([[x, y], [bx - uy * hw, by + ux * hw], [bx + uy * hw, by - ux * hw]], true, 'fill="' + INK + '"');
  }

  // A dimension line from a to b ({x, y}), its arrowheads touching a and b:
  // inside when the span has room for them, else outside pointing in. The
  // label sits beside the line's middle and reads along it (upwards on an
  // upright line), or where place = {x, y, anchor} puts it, level.
  function dimension(s, a, b, words, place) {
    var dx = b.x - a.x, dy = b.y - a.y, len = Math.sqrt(dx * dx + dy * dy);
    var ux = len > 1e-9 ? dx / len : 1, uy = len > 1e-9 ? dy / len : 0;
    if (len >= 2 * ARROW + 4) {
      s.line(a.x, a.y, b.x, b.y, THIN);
      arrow(s, a.x, a.y, -ux, -uy);
      arrow(s, b.x, b.y, ux, uy);
    } else {
      var out = ARROW + 8;
      s.line(a.x - ux * out, a.y - uy * out, b.x + ux * out, b.y + uy * out, THIN);
      arrow(s, a.x, a.y, ux, uy);
      arrow(s, b.x, b.y, -ux, -uy);
    }
    if (place) { s.text(place.x, place.y, words, { anchor: place.anchor || "middle" }); return; }
    var angle = Math.atan2(uy, ux) * 180 / Math.PI;
    if (angle >= 90) angle -= 180;
    if (angle < -90) angle += 180;
    var r = angle * Math.PI / 180, gap = 4;
    s.text((a.x + b.x) / 2 + Math.sin(r) * gap, (a.y + b.y) / 2 - Math.cos(r) * gap, words,
      { anchor: "middle", angle: num(angle) || 0 });
  }

  // An extension line from a feature out to a dimension line, a little past it.
  function extension(s, x1, y1, x2, y2) { s.line(x1, y1, x2, y2, 'stroke="' + INK + '" stroke-width="0.6"'); }

  // Hatching for cut parts: adjacent parts slope opposite ways.
  function hatches(id) {
    return ["a", "b"].map(function (k, i) {
      return '<pattern id="' + id + "-hatch-" + k + '" patternUnits="userSpaceOnUse" width="6" height="6" patternTransform="rotate(' +
        (i ? -45 : 45) + ')"><line x1="0" y1="0" x2="0" y2="6" stroke="' + INK + '" stroke-width="0.7"/></pattern>';
    }).join("");
  }

  // Draws at the largest round scale at which the whole drawing, with its
  // dimensions and words, fits the sheet's width and heightUnits high.
  function toScale(draw, heightUnits) {
    var list = scales(), s = null;
    for (var i = 0; i < list.length; i++) {
      s = draw(list[i], UNITS_PER_MM / list[i]);
      if (s.fits(heightUnits)) break;
    }
    return s;
  }

  function joinWords(list) {
    if (list.length < 2) return list.join("");
    return list.slice(0, -1).join(", ") + " and " + list[list.length - 1];
  }

  // The port in section along its axis, as the main window draws it: the
  // front panel at the left, cut, with the plug in its opening; the inside
  // of the box to the right; every piece above and below the axis. input:
  // {tubes, capMm, lengthMm, tubesMm: [{tube, insideMm, outsideMm, cutMm,
  // fixedTo, gapMm}], plugMm, openingMm, capOutsideMm, capHoleMm}.
  function port(input, format) {
    function mm(x) { return isFinite(x) ? String(format(Number(x))) : "–"; }
    var id = "drawing-port";
    var tubes = (input.tubesMm || []).slice().sort(function (p, q) { return p.tube - q.tube; });
    var c = finite(input.capMm), P = finite(input.lengthMm);
    var outerMm = Math.max.apply(null, [input.capOutsideMm, input.openingMm, input.plugMm].concat(
      tubes.map(function (t) { return t.outsideMm; })).map(finite)) / 2;
    var rows = [["Physical length, front panel's inner face to end cap's outer face", mm(input.lengthMm)]];
    tubes.forEach(function (t) { rows.push(["Tube " + t.tube + ", inside diameter", mm(t.insideMm)]); });
    tubes.forEach(function (t) { rows.push(["Tube " + t.tube + ", cut length (fixed to the " + t.fixedTo + ")", mm(t.cutMm)]); });
    rows.push(["Front plug, diameter", mm(input.plugMm)], ["Opening in the front panel, diameter", mm(input.openingMm)]);

    var denominator = 1;
    var s = toScale(function (d, k) {
      denominator = d;
      var s = sheet(id, PORT_MM_WIDE);
      var xo = 0, xi = c * k; // the front panel's outer and inner faces
      function X(fromInnerMm) { return xi + fromInnerMm * k; }
      function R(diameterMm) { return finite(diameterMm) / 2 * k; }
      var xCap = X(P - c), xEnd = X(P);
      var panel = R(outerMm * 2) + 24; // the panel, cut off a little beyond the port
      var hatchA = 'fill="url(#' + id + '-hatch-a)"', hatchB = 'fill="url(#' + id + '-hatch-b)"';

      s.line(xo - 14, 0, xEnd + 14, 0, 'stroke="' + INK + '" stroke-width="0.7" stroke-dasharray="24 4 4 4"', "axis");
      // The front panel, above and below the opening, with a break line where it is cut off.
      [-1, 1].forEach(function (side) {
        var y0 = side * R(input.openingMm), y1 = side * panel;
        s.rect(xo, Math.min(y0, y1), xi - xo, Math.abs(y1 - y0), hatchA + ' stroke="none"', "panel-" + (side < 0 ? "upper" : "lower"));
        s.path([[xo, y1], [xo, y0], [xi, y0], [xi, y1]], false, 'fill="none" ' + OUTLINE);
        var zig = [], step = (xi - xo) / 4;
        for (var i = 0; i <= 4; i++) zig.push([xo + i * step, y1 + (i % 2 ? side * 3 : 0)]);
        s.path(zig, false, 'fill="none" stroke="' + INK + '" stroke-width="0.8"');
      });
      // The plug: a disc as thick as the panel, flush with its inner face.
      s.rect(xo, -R(input.plugMm), xi - xo, 2 * R(input.plugMm), hatchB + " " + OUTLINE, "plug");
      // The end cap: a ring from the bore out to the outermost tube.
      [-1, 1].forEach(function (side) {
        var y0 = side * R(input.capHoleMm), y1 = side * R(input.capOutsideMm);
        s.rect(xCap, Math.min(y0, y1), xEnd - xCap, Math.abs(y1 - y0), hatchA + " " + OUTLINE, "cap-" + (side < 0 ? "upper" : "lower"));
      });
      // The tubes, thin walls drawn solid: each from the plug (or panel)
      // or back from the cap, by its cut length.
      var spans = tubes.map(function (t) {
        var fromCap = t.fixedTo === "end cap";
        var x1 = fromCap ? xCap : X(finite(t.cutMm)), x0 = fromCap ? xCap - finite(t.cutMm) * k : xi;
        [-1, 1].forEach(function (side) {
          var y0 = side * R(t.insideMm), y1 = side * R(t.outsideMm);
          s.rect(x0, Math.min(y0, y1), x1 - x0, Math.abs(y1 - y0), 'fill="' + INK + '" stroke="' + INK + '" stroke-width="0.4"',
            "tube-" + t.tube + "-" + (side < 0 ? "upper" : "lower"));
        });
        return { t: t, x0: x0, x1: x1 };
      });

      // Inside diameters: upright lines spread along the tubes, each label in the bore.
      spans.forEach(function (sp, i) {
        var x = xi + (xCap - xi) * (tubes.length > 1 ? 0.25 + 0.5 * i / (tubes.length - 1) : 0.5);
        dimension(s, { x: x, y: R(sp.t.insideMm) }, { x: x, y: -R(sp.t.insideMm) }, "Ø " + mm(sp.t.insideMm));
      });
      // Cut lengths above, the shortest nearest, so that no extension line crosses a dimension line.
      spans.slice().sort(function (p, q) { return finite(p.t.cutMm) - finite(q.t.cutMm); }).forEach(function (sp, j) {
        var y = -panel - 22 - 24 * j, top = -R(sp.t.outsideMm);
        extension(s, sp.x0, top, sp.x0, y - 6);
        extension(s, sp.x1, top, sp.x1, y - 6);
        dimension(s, { x: sp.x0, y: y }, { x: sp.x1, y: y }, "tube " + sp.t.tube + ": " + mm(sp.t.cutMm));
      });
      // The plug and the opening at the front face.
      [["plug", input.plugMm, 22], ["opening", input.openingMm, 48]].forEach(function (f) {
        var x = xo - f[2], r = R(f[1]);
        extension(s, xo - 3, -r, x - 6, -r);
        extension(s, xo - 3, r, x - 6, r);
        dimension(s, { x: x, y: r }, { x: x, y: -r }, f[0] + " Ø " + mm(f[1]));
      });
      // The physical length below, from the panel's inner face to the cap's outer face.
      s.text(xi - 4, panel + 16, "front panel", { anchor: "end", size: SMALL, italic: true });
      s.text((xCap + xEnd) / 2, R(input.capOutsideMm) + 16, "end cap", { anchor: "middle", size: SMALL, italic: true });
      var yP = panel + 40;
      extension(s, xi, panel + 4, xi, yP + 6);
      extension(s, xEnd, R(input.capOutsideMm) + 3, xEnd, yP + 6);
      dimension(s, { x: xi, y: yP }, { x: xEnd, y: yP }, "physical length " + mm(input.lengthMm));
      s.text(xo - 62, yP + 30, "Section on the axis: outside to the left,", { size: SMALL });
      s.text(xo - 62, yP + 46, "the inside of the box to the right.", { size: SMALL });
      s.text(xo - 62, yP + 62, "Scale " + scaleText(d), { size: SMALL });
      return s;
    }, 600);

    rows.push(["Scale", scaleText(denominator)]);
    var sentence = "The port in section along its axis, at " + scaleText(denominator) + ", the front panel at the left: " +
      tubes.length + " tubes of " + joinWords(tubes.map(function (t) { return mm(t.insideMm); })) + " inside, cut " +
      joinWords(tubes.map(function (t) { return mm(t.cutMm); })) + " long; a plug of " + mm(input.plugMm) +
      " in an opening of " + mm(input.openingMm) + " in the front panel; " + mm(input.lengthMm) +
      " from the front panel's inner face to the end cap's outer face.";
    return { id: id, label: sentence, svg: s.svg(sentence, hatches(id)), twin: { sentence: sentence, rows: rows } };
  }

  // The front baffle from the front: its outline, the inside of the box
  // dashed, the port's opening and the driver's cut-out, with x and y
  // measured from the bottom-left outside corner, y upwards. input:
  // {widthMm, heightMm, thicknessMm, inside: {leftMm, bottomMm, widthMm,
  // heightMm}, port: {xMm, yMm, diameterMm}, cutout: {…} | null}.
  function front(input, format) {
    function mm(x) { return isFinite(x) ? String(format(Number(x))) : "–"; }
    var id = "drawing-front";
    var wMm = finite(input.widthMm), hMm = finite(input.heightMm), inside = input.inside || {};
    var holes = [{ name: "port", what: "Port's opening", hole: input.port }];
    if (input.cutout) holes.push({ name: "cutout", what: "Driver's cut-out", hole: input.cutout });
    holes = holes.filter(function (h) { return h.hole; });
    var rows = [["Width", mm(wMm)], ["Height", mm(hMm)], ["Thickness", mm(input.thicknessMm)]];
    holes.forEach(function (h) {
      rows.push([h.what + ", diameter", mm(h.hole.diameterMm)], [h.what + ", centre from the left edge", mm(h.hole.xMm)],
        [h.what + ", centre above the bottom edge", mm(h.hole.yMm)]);
    });
    // The lower hole is dimensioned from below, the upper from above.
    var byHeight = holes.slice().sort(function (p, q) { return finite(p.hole.yMm) - finite(q.hole.yMm); });

    var denominator = 1;
    var s = toScale(function (d, k) {
      denominator = d;
      var s = sheet(id, FRONT_MM_WIDE);
      var right = wMm * k, top = -hMm * k;
      s.rect(0, top, right, hMm * k, 'fill="#e6e6e6" ' + OUTLINE, "baffle");
      s.rect(finite(inside.leftMm) * k, -(finite(inside.bottomMm) + finite(inside.heightMm)) * k, finite(inside.widthMm) * k,
        finite(inside.heightMm) * k, 'fill="none" stroke="' + INK + '" stroke-width="1" stroke-dasharray="10 5"', "inside");
      var below = 0;
      byHeight.forEach(function (h, j) {
        var cx = finite(h.hole.xMm) * k, cy = -finite(h.hole.yMm) * k, r = finite(h.hole.diameterMm) / 2 * k;
        s.circle(cx, cy, r, 'fill="#fff" ' + OUTLINE, h.name);
        var m = Math.min(8, r / 3);
        s.line(cx - m, cy, cx + m, cy, 'stroke="' + INK + '" stroke-width="0.6"');
        s.line(cx, cy - m, cx, cy + m, 'stroke="' + INK + '" stroke-width="0.6"');
        // The diameter at 30°, its label level above the centre, or beside it if the hole is small.
        var words = "Ø " + mm(h.hole.diameterMm), wide = 0.6 * FONT * words.length;
        var a = { x: cx - r * 0.866, y: cy + r * 0.5 }, b = { x: cx + r * 0.866, y: cy - r * 0.5 };
        var roomy = r * 0.85 > wide / 2 + 4 && r > 30;
        dimension(s, a, b, words, roomy ? { x: cx, y: cy - r * 0.42 } : { x: b.x + ARROW + 12, y: b.y - 4, anchor: "start" });
        // From the left edge: the lowest hole below the baffle, any other above.
        var up = j > 0 && j === byHeight.length - 1;
        var y = up ? top - 22 : 22 + 24 * below++;
        extension(s, cx, up ? cy - r - 4 : cy + r + 4, cx, up ? y - 6 : y + 6);
        extension(s, 0, up ? top - 3 : 3, 0, up ? y - 6 : y + 6);
        dimension(s, { x: 0, y: y }, { x: cx, y: y }, mm(h.hole.xMm));
        // Above the bottom edge, on the right, the lower nearer.
        var x = right + 22 + 26 * j;
        extension(s, cx + r + 4, cy, x + 6, cy);
        extension(s, right + 3, 0, x + 6, 0);
        dimension(s, { x: x, y: 0 }, { x: x, y: cy }, mm(h.hole.yMm));
      });
      var yW = 22 + 24 * below;
      extension(s, 0, 3, 0, yW + 6);
      extension(s, right, 3, right, yW + 6);
      dimension(s, { x: 0, y: yW }, { x: right, y: yW }, mm(wMm));
      extension(s, -3, 0, -28, 0);
      extension(s, -3, top, -28, top);
      dimension(s, { x: -22, y: 0 }, { x: -22, y: top }, mm(hMm));
      // Three short lines: the baffle is drawn in half the sheet's width.
      s.text(-30, yW + 30, "Front baffle, from the front, " + mm(input.thicknessMm) + " thick.", { size: SMALL });
      s.text(-30, yW + 46, "Dashed: the inside of the box.", { size: SMALL });
      s.text(-30, yW + 62, "Scale " + scaleText(d), { size: SMALL });
      return s;
    }, 600);

    rows.push(["Scale", scaleText(denominator)]);
    var sentence = "The front baffle seen from the front, at " + scaleText(denominator) + ": " + mm(wMm) + " wide, " + mm(hMm) +
      " high and " + mm(input.thicknessMm) + " thick, with " + joinWords(holes.map(function (h) {
        return (h.name === "port" ? "the port's opening " : "the driver's cut-out ") + mm(h.hole.diameterMm) + " across, its centre " +
          mm(h.hole.xMm) + " from the left edge and " + mm(h.hole.yMm) + " above the bottom edge";
      })) + (input.cutout ? "" : ", and no driver's cut-out") + ".";
    return { id: id, label: sentence, svg: s.svg(sentence), twin: { sentence: sentence, rows: rows } };
  }

  // The box's construction in two sections side by side: cut across and
  // seen from above, the front at the bottom, the back at the top and the
  // sides between them; cut upright and seen from the front, the sides the
  // full height and the top and the bottom between them. Each panel is
  // drawn in its true thickness; the sides are hatched one way in both
  // views, the panels they meet the other. input: {outside: {widthMm,
  // heightMm, depthMm}, capMm (the front), panelMm (the other five)}.
  function construction(input, format) {
    function mm(x) { return isFinite(x) ? String(format(Number(x))) : "–"; }
    var id = "drawing-construction";
    var outside = input.outside || {};
    var wMm = finite(outside.widthMm), hMm = finite(outside.heightMm), dMm = finite(outside.depthMm);
    var c = finite(input.capMm), p = finite(input.panelMm);
    var rows = [["Outside width", mm(outside.widthMm)], ["Outside height", mm(outside.heightMm)],
      ["Outside depth", mm(outside.depthMm)], ["Front, thickness", mm(input.capMm)],
      ["Back, sides, top and bottom, thickness", mm(input.panelMm)]];

    var denominator = 1;
    var s = toScale(function (d, k) {
      denominator = d;
      var s = sheet(id, CONSTRUCTION_MM_WIDE);
      var hatchA = 'fill="url(#' + id + '-hatch-a)" ' + OUTLINE;
      var hatchB = 'fill="url(#' + id + '-hatch-b)" ' + OUTLINE;
      // A panel's name, inside the box beside it, where the box has room for the words.
      function label(x, y, words, anchor, room) {
        if (room) s.text(x, y, words, { anchor: anchor, size: SMALL, italic: true });
      }
      // Both views stand on y = 0, upwards negative. Wide enough apart
      // that their titles never meet, even for a box drawn as a point.
      var right = wMm * k, pk = p * k, xs = Math.max(right, 150) + 50;

      // From above: the front's inner face at −c, the back's at −(depth − p).
      var top = -dMm * k, frontIn = -c * k, backIn = top + pk;
      s.rect(0, frontIn, right, c * k, hatchA, "plan-front");
      s.rect(0, top, right, pk, hatchA, "plan-back");
      s.rect(0, backIn, pk, frontIn - backIn, hatchB, "plan-side-left");
      s.rect(right - pk, backIn, pk, frontIn - backIn, hatchB, "plan-side-right");
      // Front and back named above one another need 40 units, the sides between them 70.
      var across = right - 2 * pk, deep = frontIn - backIn;
      label(right / 2, frontIn - 6, "front", "middle", across > 50 && deep > 40);
      label(right / 2, backIn + 14, "back", "middle", across > 50 && deep > 40);
      label(pk + 5, (frontIn + backIn) / 2 + 4, "side", "start", across > 80 && deep > 70);
      label(right - pk - 5, (frontIn + backIn) / 2 + 4, "side", "end", across > 80 && deep > 70);
      extension(s, 0, top - 3, 0, top - 28);
      extension(s, right, top - 3, right, top - 28);
      dimension(s, { x: 0, y: top - 22 }, { x: right, y: top - 22 }, mm(outside.widthMm));
      extension(s, -3, 0, -28, 0);
      extension(s, -3, top, -28, top);
      dimension(s, { x: -22, y: 0 }, { x: -22, y: top }, mm(outside.depthMm));
      s.text(right / 2, 22, "Cut across, from above", { anchor: "middle", size: SMALL });

      // From the front, at xs: the sides full height, top and bottom between them.
      var high = -hMm * k;
      s.rect(xs, high, pk, hMm * k, hatchB, "elevation-side-left");
      s.rect(xs + right - pk, high, pk, hMm * k, hatchB, "elevation-side-right");
      s.rect(xs + pk, high, right - 2 * pk, pk, hatchA, "elevation-top");
      s.rect(xs + pk, -pk, right - 2 * pk, pk, hatchA, "elevation-bottom");
      var tall = (hMm - 2 * p) * k;
      label(xs + right / 2, high + pk + 14, "top", "middle", across > 50 && tall > 40);
      label(xs + right / 2, -pk - 6, "bottom", "middle", across > 50 && tall > 40);
      label(xs + pk + 5, high / 2 + 4, "side", "start", across > 80 && tall > 70);
      label(xs + right - pk - 5, high / 2 + 4, "side", "end", across > 80 && tall > 70);
      var xH = xs + right + 22;
      extension(s, xs + right + 3, 0, xH + 6, 0);
      extension(s, xs + right + 3, high, xH + 6, high);
      dimension(s, { x: xH, y: 0 }, { x: xH, y: high }, mm(outside.heightMm));
      s.text(xs + right / 2, 22, "Cut upright, from the front", { anchor: "middle", size: SMALL });

      // The words, to the right, their last line level with the titles,
      // clear of the height's dimension and of the title below a small box.
      // Short, so that the sections get the width: the sentence says the rest.
      var lines = ["Front and back overlap the rest;", "the sides run full height.",
        "Front " + mm(input.capMm) + " thick, the rest " + mm(input.panelMm) + ".", "Scale " + scaleText(d)];
      var xWords = xs + Math.max(right + 52, 110);
      lines.forEach(function (words, i) { s.text(xWords, 22 - 16 * (lines.length - 1 - i), words, { size: SMALL }); });
      return s;
    }, CONSTRUCTION_UNITS_HIGH);

    rows.push(["Scale", scaleText(denominator)]);
    var sentence = "The box's construction in two sections at " + scaleText(denominator) + ", " + mm(outside.widthMm) +
      " wide, " + mm(outside.heightMm) + " high and " + mm(outside.depthMm) + " deep outside. Cut across and seen from above: " +
      "the front, " + mm(input.capMm) + " thick, and the back overlap the two sides, which run between them. " +
      "Cut upright and seen from the front: the sides run the full height and the top and the bottom fit between them. " +
      "The back, the sides, the top and the bottom are " + mm(input.panelMm) + " thick.";
    return { id: id, label: sentence, svg: s.svg(sentence, hatches(id)), twin: { sentence: sentence, rows: rows } };
  }

  var api = { port: port, front: front, construction: construction };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleDrawing = api;
})(this);
