// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The box designer's six graphs, drawn as SVG markup: a logarithmic
// frequency axis, a grid, labelled axes, f3 and fb marked, and a sentence
// that says in words what the curve shows, for screen readers and as the
// graph's title. SVG prints sharply and needs nothing to download. Pure: a
// design in, markup out; the page puts it in place.
(function (global) {
  "use strict";

  // The drawing, in its own units: the page scales it to the column.
  var W = 440, H = 270;
  var M = { left: 50, right: 14, top: 14, bottom: 42 };
  var POINTS = 200;

  function esc(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  }

  function num(x) { return Number(x.toFixed(1)); }

  // Round steps of 1, 2 or 5 times a power of ten, about five of them.
  function ticks(lo, hi) {
    var raw = (hi - lo) / 5;
    var p = Math.pow(10, Math.floor(Math.log10(raw)));
    var step = [1, 2, 5, 10].map(function (k) { return k * p; }).filter(function (s) { return s >= raw; })[0];
    var out = [];
    for (var t = Math.ceil(lo / step - 1e-9) * step; t <= hi + step * 1e-9; t += step) out.push(Number(t.toPrecision(12)));
    return { values: out, decimals: Math.max(0, -Math.floor(Math.log10(step) + 1e-9)) };
  }

  // The frequency axis: 10 to 200 Hz, wider where f3 or fb lies outside.
  function frequencyRange(marks) {
    var lo = 10, hi = 200;
    marks.forEach(function (m) {
      while (m.f < lo * 1.15 && lo > 1) lo = lo >= 10 ? lo / 2 : lo / 2.5;
      while (m.f > hi / 1.15 && hi < 2000) hi *= 2;
    });
    return [lo, hi];
  }

  // One graph: plot = {id, label, yTitle, lo, hi, xs, ys, yMin, yMax,
  // lines: [{y, text}], marks: [{f, text}]}.
  function svg(plot) {
    var pw = W - M.left - M.right, ph = H - M.top - M.bottom;
    var lx0 = Math.log(plot.lo), lx1 = Math.log(plot.hi);
    function X(f) { return M.left + pw * (Math.log(f) - lx0) / (lx1 - lx0); }
    function Y(y) { return M.top + ph * (plot.yMax - Math.min(plot.yMax, Math.max(plot.yMin, y))) / (plot.yMax - plot.yMin); }
    var parts = [], grid = [], minor = [];
    parts.push('<svg id="' + plot.id + '" class="graph" viewBox="0 0 ' + W + " " + H + '" role="img" aria-label="' +
      esc(plot.label) + '"><title>' + esc(plot.label) + "</title>");
    // The grid: every whole number of Hz in each decade, labelled at 1, 2 and 5.
    for (var decade = Math.pow(10, Math.floor(Math.log10(plot.lo))); decade < plot.hi; decade *= 10) {
      for (var k = 1; k < 10; k++) {
        var f = k * decade;
        if (f < plot.lo * 0.999 || f > plot.hi * 1.001) continue;
        var major = k === 1 || k === 2 || k === 5;
        (major ? grid : minor).push("M" + num(X(f)) + " " + M.top + "V" + (M.top + ph));
        if (major) parts.push('<text class="tick" x="' + num(X(f)) + '" y="' + (M.top + ph + 15) + '" text-anchor="middle">' + f + "</text>");
      }
    }
    var yt = ticks(plot.yMin, plot.yMax);
    yt.values.forEach(function (y) {
      grid.push("M" + M.left + " " + num(Y(y)) + "H" + (M.left + pw));
      parts.push('<text class="tick" x="' + (M.left - 5) + '" y="' + num(Y(y) + 4) + '" text-anchor="end">' + y.toFixed(yt.decimals) + "</text>");
    });
    // Each set of grid lines is one path: fewer elements to lay out on every keystroke.
    parts.push('<path class="grid minor" d="' + minor.join("") + '"/><path class="grid" d="' + grid.join("") + '"/>');
    parts.push('<rect class="frame" x="' + M.left + '" y="' + M.top + '" width="' + pw + '" height="' + ph + '"/>');
    (plot.lines || []).forEach(function (l) {
      if (l.y < plot.yMin || l.y > plot.yMax) return;
      parts.push('<line class="limit" x1="' + M.left + '" x2="' + (M.left + pw) + '" y1="' + num(Y(l.y)) + '" y2="' + num(Y(l.y)) + '"/>');
      parts.push('<text class="limit-text" x="' + (M.left + pw - 4) + '" y="' + num(Y(l.y) - 4) + '" text-anchor="end">' + esc(l.text) + "</text>");
    });
    (plot.marks || []).forEach(function (m, i) {
      if (!(m.f >= plot.lo && m.f <= plot.hi)) return;
      parts.push('<line class="mark" x1="' + num(X(m.f)) + '" x2="' + num(X(m.f)) + '" y1="' + M.top + '" y2="' + (M.top + ph) + '"/>');
      // Marks labelled at the top and the foot by turns (f3 and fb, or the
      // impedance's peak, dip and peak), so that close marks stay legible.
      parts.push('<text class="mark-text" x="' + num(X(m.f) + 3) + '" y="' + (i % 2 ? M.top + ph - 5 : M.top + 12) + '">' +
        esc(m.text) + "</text>");
    });
    function polyline(xs, ys, style) {
      var points = [];
      xs.forEach(function (f, i) { if (isFinite(ys[i])) points.push(num(X(f)) + "," + num(Y(ys[i]))); });
      parts.push('<polyline class="' + style + '" points="' + points.join(" ") + '"/>');
    }
    (plot.extra || []).forEach(function (c) { polyline(c.xs, c.ys, "curve " + c.style); });
    polyline(plot.xs, plot.ys, "curve");
    var legend = plot.legend || [];
    if (legend.length) {
      // The legend, right of the middle, where most curves have come down
      // from their peaks (or at the foot, where they rise to the right): a
      // stroke of each style and its name.
      var x = M.left + pw - 160, height = 14 * legend.length + 4;
      // Clear of the limit lines' labels at the right: the first place of a
      // few, from the middle, that none of them crosses.
      var labels = (plot.lines || []).filter(function (l) { return l.y >= plot.yMin && l.y <= plot.yMax; })
        .map(function (l) { return Y(l.y); });
      var places = plot.legendAt === "bottom" ? [ph - height - 12] : [0.4, 0.58, 0.22, 0.72].map(function (k) { return Math.round(ph * k); });
      var top = M.top + places.filter(function (t) {
        return labels.every(function (y) { return y + 2 < M.top + t - 9 || y - 14 > M.top + t - 9 + height; });
      }).concat(places)[0];
      parts.push('<rect class="legend-box" x="' + (x - 4) + '" y="' + (top - 9) + '" width="160" height="' + height + '"/>');
      legend.forEach(function (entry, i) {
        var y = top + 14 * i;
        parts.push('<line class="curve ' + entry.style + '" x1="' + x + '" x2="' + (x + 22) + '" y1="' + y +
          '" y2="' + y + '"/><text class="legend" x="' + (x + 27) + '" y="' + (y + 4) + '">' + esc(entry.name) + "</text>");
      });
    }
    parts.push('<text class="axis-title" x="' + (M.left + pw / 2) + '" y="' + (H - 6) + '" text-anchor="middle">Frequency (Hz)</text>');
    parts.push('<text class="axis-title" transform="translate(13 ' + (M.top + ph / 2) + ') rotate(-90)" text-anchor="middle">' +
      esc(plot.yTitle) + "</text>");
    parts.push("</svg>");
    return parts.join("");
  }

  function hz(f) { return f < 100 ? f.toFixed(1) : f.toFixed(0); }

  // Where along the curve a quantity passes a level: the frequencies of the
  // crossings, found between samples on the logarithmic axis.
  function crossings(xs, ys, level) {
    var out = [];
    for (var i = 1; i < xs.length; i++) {
      var a = ys[i - 1] - level, b = ys[i] - level;
      if ((a < 0) !== (b < 0)) {
        var t = a / (a - b);
        out.push({ f: Math.exp(Math.log(xs[i - 1]) + t * (Math.log(xs[i]) - Math.log(xs[i - 1]))), rising: a < 0 });
      }
    }
    return out;
  }

  function peak(xs, ys) {
    var at = 0;
    for (var i = 1; i < ys.length; i++) if (ys[i] > ys[at]) at = i;
    return { f: xs[at], y: ys[at] };
  }

  function excursionWords(xs, ys, xmaxMm, volts) {
    var drive = " at " + volts + " V";
    var over = ys.map(function (y) { return y > xmaxMm; });
    var limit = "Xmax (" + xmaxMm.toFixed(1) + " mm)";
    if (!over.some(Boolean)) {
      var p = peak(xs, ys);
      return "The cone stays within " + limit + " from " + hz(xs[0]) + " to " + hz(xs[xs.length - 1]) + " Hz" + drive +
        "; it moves at most " + p.y.toFixed(2) + " mm, at " + hz(p.f) + " Hz.";
    }
    var bands = [], start = over[0] ? xs[0] : null;
    crossings(xs, ys, xmaxMm).forEach(function (c) {
      if (c.rising) start = c.f;
      else { bands.push([start === null ? xs[0] : start, c.f]); start = null; }
    });
    if (start !== null) bands.push([start, null]);
    return "The cone reaches " + limit + bands.map(function (b) {
      if (b[1] === null) return b[0] === xs[0] ? " at every frequency shown" : " above " + hz(b[0]) + " Hz";
      if (b[0] === xs[0]) return " below " + hz(b[1]) + " Hz";
      return " from " + hz(b[0]) + " to " + hz(b[1]) + " Hz";
    }).join(" and") + drive + ".";
  }

  // A sweep's points within the axis, every few of them: no more than a
  // line can show.
  function within(points, lo, hi) {
    var inside = points.filter(function (p) { return p.hz >= lo && p.hz <= hi; });
    var every = Math.max(1, Math.floor(inside.length / (2 * POINTS)));
    return inside.filter(function (p, k) { return k % every === 0; });
  }

  // One design's curves on the axis xs, and the words that say each.
  // freeAir: the impedance of one driver without its box.
  function curvesOf(design, v, xs, freeAir) {
    var at = xs.map(design.at);
    function series(key, scale) { return at.map(function (p) { return p[key] * (scale || 1); }); }
    var c = { response: series("responseDb"), excursion: series("excursion", 1e3), velocity: series("velocity"),
      delay: series("delay", 1e3), maxSpl: series("maxSplDb"), words: {} };
    c.ohms = at.map(function (p) { var z = freeAir ? p.freeAirImpedance : p.impedance; return Math.hypot(z[0], z[1]); });
    var w = c.words, drive = " at " + v.volts + " V";
    var p = peak(xs, c.response);
    var ten = crossings(xs, c.response, -10).filter(function (x) { return x.rising; }).pop();
    w.response = (isFinite(design.f3) ? "The response is 3 dB down at " + hz(design.f3) + " Hz" :
      "The response stays above −3 dB") + (ten ? " and 10 dB down at " + hz(ten.f) + " Hz" : "") +
      ", with the box tuned to " + hz(v.fb) + " Hz" +
      (p.y >= 0.1 ? "; it rises " + p.y.toFixed(1) + " dB above the passband at " + hz(p.f) + " Hz." : ".");
    c.responsePeak = p.y;
    w.excursion = excursionWords(xs, c.excursion, v.xmax * 1e3, v.volts);
    var vp = peak(xs, c.velocity);
    w.velocity = "The air in the port peaks at " + vp.y.toFixed(1) + " m/s (" + (100 * vp.y / design.c0).toFixed(1) +
      " % of the speed of sound) at " + hz(vp.f) + " Hz" + drive + ".";
    var dp = peak(xs, c.delay);
    w.delay = "The group delay peaks at " + dp.y.toFixed(1) + " ms at " + hz(dp.f) + " Hz.";
    w.maxSpl = "The most the box can play: " + [20, 40, 100].map(function (f) {
      var m = design.at(f);
      return m.maxSplDb.toFixed(0) + " dB at " + f + " Hz (" + (m.limit === "pe" ? "power rating" : "Xmax") + ")";
    }).join(", ") + ".";
    // The impedance's two peaks and the dip between them, at the tuning.
    var ohms = c.ohms, peaks = [];
    for (var k = 1; k < ohms.length - 1; k++) if (ohms[k] > ohms[k - 1] && ohms[k] >= ohms[k + 1]) peaks.push(k);
    var dip = null;
    if (peaks.length >= 2) {
      for (k = peaks[0]; k <= peaks[1]; k++) if (dip === null || ohms[k] < ohms[dip]) dip = k;
    }
    c.impedanceMarks = peaks.length >= 2 ? [{ f: xs[peaks[0]], text: "peak " + hz(xs[peaks[0]]) + " Hz" },
      { f: xs[dip], text: "dip " + hz(xs[dip]) + " Hz" }, { f: xs[peaks[1]], text: "peak " + hz(xs[peaks[1]]) + " Hz" }] : [];
    var ohm = function (i) { return ohms[i].toFixed(1) + " Ω at " + hz(xs[i]) + " Hz"; };
    w.impedance = peaks.length >= 2 ? "The impedance peaks at " + ohm(peaks[0]) + " and " + ohm(peaks[1]) +
      ", with its dip between them, " + ohm(dip) + ", where the box is tuned." :
      "The impedance peaks once, at " + (peaks.length ? ohm(peaks[0]) : "no frequency shown") + ".";
    return c;
  }

  var KEYS = ["response", "excursion", "velocity", "delay", "maxSpl", "ohms"];

  // The six graphs of a design (the model's) with its inputs v (SI). Drawn
  // beside it, each in a style of its own and named in a legend: without
  // its filter, the same design as a thin line; a design kept for
  // comparison, compare = {design, values}; and on the impedance a
  // measured sweep, measured = {points, name, words, model}, where model
  // "free-air" draws the driver without its box.
  function graphs(design, v, measured, compare) {
    var marks = [{ f: design.f3, text: "f3 " + hz(design.f3) + " Hz" }, { f: v.fb, text: "fb " + hz(v.fb) + " Hz" }]
      .filter(function (m) { return isFinite(m.f); });
    var range = frequencyRange(marks);
    var xs = [];
    for (var i = 0; i < POINTS; i++) xs.push(range[0] * Math.pow(range[1] / range[0], i / (POINTS - 1)));
    var freeAir = measured && measured.model === "free-air";
    var a = curvesOf(design, v, xs, freeAir);
    var plain = design.unfiltered ? curvesOf(design.unfiltered, v, xs, freeAir) : null;
    var b = compare ? curvesOf(compare.design, compare.values, xs, freeAir) : null;
    var sweep = measured ? within(measured.points, range[0], range[1]) : [];
    var name = measured ? (measured.name.length > 15 ? measured.name.slice(0, 14) + "…" : measured.name) : "";
    // The curves beside each graph's own, by graph.
    function beside(key) {
      var out = [];
      if (plain && key !== "ohms") out.push({ xs: xs, ys: plain[key], style: "plain", name: "without the filter" });
      if (b) out.push({ xs: xs, ys: b[key], style: "compare", name: "B: kept" });
      if (measured && key === "ohms") {
        out.push({ xs: sweep.map(function (p) { return p.hz; }), ys: sweep.map(function (p) { return p.ohm; }), style: "second",
          name: "measured: " + name });
      }
      return out;
    }
    function legendOf(extra, first) {
      return extra.length ? [{ style: "", name: first }].concat(extra) : [];
    }
    // The ranges come from the values there are: a point beyond the double
    // range is left out of its curve, never drawn as a number gone wrong.
    function finite(ys) { return ys.filter(isFinite); }
    function all(key) { return [a[key]].concat(beside(key).map(function (c) { return c.ys; })).reduce(function (x, y) { return x.concat(y); }, []); }
    function upTo(ys, floor) { return Math.max(floor, finite(ys).reduce(function (m, y) { return Math.max(m, y); }, 0) * 1.1); }
    var common = { lo: range[0], hi: range[1], xs: xs, marks: marks };
    function graph(key, extra) {
      var more = beside(key);
      var word = key === "ohms" ? "impedance" : key;
      var lower = function (t) { return t.charAt(0).toLowerCase() + t.slice(1); };
      var label = a.words[word];
      if (plain && key !== "ohms") label += " Without the filter, the thin line: " + lower(plain.words[word]);
      if (b) label += " B, kept for comparison: " + lower(b.words[word]);
      if (measured && key === "ohms") label += " " + (measured.words || "The sweep measured is the dashed curve.");
      return Object.assign({}, common, { ys: a[key], extra: more, label: label,
        legend: legendOf(more, b ? "A: this design" : freeAir ? "model, in free air" : plain ? "with the filter" : "model") }, extra);
    }
    var maxAll = all("maxSpl"), lowest = Math.min.apply(null, finite(maxAll).concat(200));
    var highest = Math.max.apply(null, finite(maxAll).concat(0));
    var reLine = freeAir ? v.re : design.load;
    // With a sweep, the scale is the sweep's: a model far above it (a
    // driver typed without losses) runs off the top.
    var sweepOhms = sweep.map(function (p) { return p.ohm; });
    var impedanceTop = measured ? Math.min(upTo(all("ohms"), 2 * reLine), 2 * upTo(sweepOhms, 2 * reLine)) : upTo(all("ohms"), 2 * reLine);
    var responseTop = Math.max(6, Math.ceil(Math.max(a.responsePeak, b ? b.responsePeak : 0) / 3) * 3);
    var delays = all("delay");

    return [
      graph("response", { id: "graph-response", yTitle: "Response (dB)", yMin: -30, yMax: responseTop,
        lines: [{ y: -3.01, text: "−3 dB" }] }),
      graph("excursion", { id: "graph-excursion", yTitle: "Cone excursion, peak (mm)", yMin: 0,
        yMax: upTo(all("excursion"), v.xmax * 1e3 * 1.25), lines: [{ y: v.xmax * 1e3, text: "Xmax" }] }),
      graph("velocity", { id: "graph-velocity", yTitle: "Port air velocity, peak (m/s)", yMin: 0,
        yMax: upTo(all("velocity"), 0.1 * design.c0 * 1.15),
        lines: [{ y: 0.05 * design.c0, text: "5 % of c0" }, { y: 0.1 * design.c0, text: "10 % of c0" }] }),
      graph("delay", { id: "graph-delay", yTitle: "Group delay (ms)", yMin: Math.min.apply(null, finite(delays).concat(0)),
        yMax: upTo(delays, 5) }),
      graph("maxSpl", { id: "graph-max-spl", yTitle: "Maximum SPL at 1 m (dB)", legendAt: "bottom",
        yMin: Math.floor(lowest / 10) * 10, yMax: Math.max(Math.ceil(highest / 10) * 10, Math.floor(lowest / 10) * 10 + 20) }),
      graph("ohms", { id: "graph-impedance", yTitle: "Impedance (Ω)", yMin: 0, yMax: impedanceTop,
        lines: [{ y: reLine, text: design.load !== v.re && !freeAir ? "the drivers' Re" : "Re" }], marks: a.impedanceMarks }),
    ].map(function (g) { return { id: g.id, label: g.label, svg: svg(g) }; });
  }

  var api = { graphs: graphs };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleBoxPlot = api;
})(this);
