// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// A measured impedance sweep, read from the text file that a measurement
// exported: frequency in Hz, magnitude in Ω and an optional phase in
// degrees, a point a line. Read as a keystroke is: a pure function of the
// text that gives the points or the line that stopped it, and never throws.
// Node's test runner loads it as a CommonJS module, the page as a classic
// script (global RavelleSweep).
(function (global) {
  "use strict";

  var Box = typeof module === "object" && module.exports ? require("./box-model.js") : global.RavelleBox;

  // The fewest points a sweep needs for its peaks and its dip to mean
  // anything.
  var MIN_POINTS = 10;

  // The largest file read as a sweep: a sweep of 100,000 points is well
  // under it, and a file chosen by mistake is refused before it is read.
  var MAX_BYTES = 5e6;

  function sizeProblem(bytes) {
    return bytes > MAX_BYTES ? "at " + (bytes / 1e6).toFixed(1) + " MB the file is too large for a sweep (at most " +
      MAX_BYTES / 1e6 + " MB): choose the text file that the measurement exported." : "";
  }

  var NUMBER = /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i;
  var DECIMAL_COMMA = /^[+-]?(\d+,?\d*|,\d+)(e[+-]?\d+)?$/i;

  // A line whose first character could not start a number is a header or
  // a comment: "Freq (Hz) ...", "* REW export", "# jig", "; comment".
  function isData(line) {
    return /^[+\-.\d]/.test(line);
  }

  // How a file writes its points, told from all its data lines: the
  // separator, and whether a comma is the decimal point. With semicolons or
  // tabs a comma is always the decimal point; a comma separates the columns
  // only where the lines do not read as blank-separated numbers with
  // decimal commas ("20,5 7,1").
  function layoutOf(dataLines) {
    var all = dataLines.join("\n");
    if (/[;\t]/.test(all)) return { split: /[\s;]+/, comma: true };
    if (!/,/.test(all)) return { split: /\s+/, comma: false };
    // Most lines decide, so that one bad line is reported as itself, not
    // read in the wrong layout.
    var blankSeparated = dataLines.filter(function (line) {
      var fields = line.split(/\s+/);
      return fields.length >= 2 && fields.every(function (f) { return NUMBER.test(f) || DECIMAL_COMMA.test(f); });
    }).length * 2 > dataLines.length;
    return blankSeparated ? { split: /\s+/, comma: true } : { split: /\s*,\s*|\s+/, comma: false };
  }

  function numberOf(field, comma) {
    var text = comma ? field.replace(",", ".") : field;
    return NUMBER.test(text) ? Number(text) : NaN;
  }

  // {points: [{hz, ohm, deg}], problem: ""} or, for a file that is no
  // sweep, {points: [], problem: "a sentence that names the line"}. deg is
  // null where the file gives no phase.
  function read(text) {
    var lines = String(text == null ? "" : text).replace(/^\uFEFF/, "").split(/\r\n|\r|\n/);
    var points = [];
    function stop(problem) { return { points: [], problem: problem }; }
    lines = lines.map(function (line) { return line.trim(); });
    var layout = layoutOf(lines.filter(isData));
    for (var i = 0; i < lines.length; i++) {
      var line = lines[i], at = "Line " + (i + 1) + ": ";
      if (!isData(line)) continue;
      var fields = line.split(layout.split).filter(function (f) { return f !== ""; });
      var hz = numberOf(fields[0], layout.comma), ohm = fields.length > 1 ? numberOf(fields[1], layout.comma) : NaN;
      var deg = fields.length > 2 ? numberOf(fields[2], layout.comma) : null;
      if (!isFinite(hz)) return stop(at + "the frequency \u201c" + fields[0] + "\u201d is not a number.");
      if (fields.length < 2) return stop(at + "a frequency without a magnitude.");
      if (!isFinite(ohm)) return stop(at + "the magnitude \u201c" + fields[1] + "\u201d is not a number.");
      if (deg !== null && !isFinite(deg)) return stop(at + "the phase \u201c" + fields[2] + "\u201d is not a number.");
      if (!(hz > 0)) return stop(at + "the frequency must be more than 0 Hz.");
      if (!(ohm > 0)) return stop(at + "the magnitude must be more than 0 \u03a9.");
      var last = points[points.length - 1];
      if (last && !(hz > last.hz)) {
        return stop(at + "the frequency " + fields[0] + " Hz does not follow " + String(last.hz) +
          " Hz: the frequencies must rise from line to line.");
      }
      points.push({ hz: hz, ohm: ohm, deg: deg });
    }
    if (points.length < MIN_POINTS) {
      return stop((points.length ? "Only " + points.length + (points.length === 1 ? " point" : " points") :
        "No point") + " with a frequency and a magnitude: a sweep needs at least " + MIN_POINTS + ".");
    }
    return { points: points, problem: "" };
  }

  // |Z| at f between two points, on a logarithmic frequency axis.
  function crossing(a, b, level) {
    var t = (level - a.ohm) / (b.ohm - a.ohm);
    return Math.exp(Math.log(a.hz) + t * (Math.log(b.hz) - Math.log(a.hz)));
  }

  // The peak of a sweep at its highest point i, refined by a parabola
  // fitted by least squares, on the logarithmic axis, to the points of the
  // peak's top, those above 80 % of it: the noise of one point moves it
  // little.
  function peakAt(points, i) {
    var lo = i, hi = i, cut = 0.8 * points[i].ohm;
    while (lo > 0 && points[lo - 1].ohm >= cut) lo--;
    while (hi < points.length - 1 && points[hi + 1].ohm >= cut) hi++;
    if (hi - lo < 2) return { hz: points[i].hz, ohm: points[i].ohm };
    var x0 = Math.log(points[i].hz), s = [0, 0, 0, 0, 0], t = [0, 0, 0];
    for (var k = lo; k <= hi; k++) {
      var x = Math.log(points[k].hz) - x0, y = points[k].ohm;
      for (var e = 0; e < 5; e++) s[e] += Math.pow(x, e);
      for (e = 0; e < 3; e++) t[e] += y * Math.pow(x, e);
    }
    // The normal equations of y = a + b x + c x², by Cramer's rule.
    function det(m) {
      return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
        m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }
    var m = [[s[0], s[1], s[2]], [s[1], s[2], s[3]], [s[2], s[3], s[4]]];
    var d = det(m);
    var col = function (j) { return m.map(function (row, r) { return row.map(function (v, c) { return c === j ? t[r] : v; }); }); };
    var a = det(col(0)) / d, b = det(col(1)) / d, c = det(col(2)) / d;
    var dx = -b / (2 * c);
    if (!(c < 0) || !isFinite(dx) || Math.abs(dx) > Math.log(points[hi].hz / points[lo].hz)) {
      return { hz: points[i].hz, ohm: points[i].ohm };
    }
    return { hz: Math.exp(x0 + dx), ohm: a + b * dx + c * dx * dx };
  }

  // The driver in free air by the standard method: the peak fs and Rmax;
  // r0 = Rmax/Re; f1 and f2 either side where |Z| = √(Re·Rmax); then
  // Qms = fs·√r0 ÷ (f2 − f1), Qes = Qms ÷ (r0 − 1) and Qts = Qms·Qes ÷
  // (Qms + Qes). {fs, rmax, f1, f2, qms, qes, qts} or {problem}.
  function freeAir(points, reOhm) {
    if (!(reOhm > 0)) return { problem: "Needs the voice-coil resistance Re, measured with the driver still." };
    var top = 0;
    points.forEach(function (p, i) { if (p.ohm > points[top].ohm) top = i; });
    var peak = peakAt(points, top);
    if (!(peak.ohm > reOhm)) return { problem: "The sweep never rises above Re: no resonance in it." };
    var level = Math.sqrt(reOhm * peak.ohm), f1 = null, f2 = null;
    for (var i = top; i > 0 && f1 === null; i--) if (points[i - 1].ohm <= level) f1 = crossing(points[i - 1], points[i], level);
    for (i = top; i < points.length - 1 && f2 === null; i++) if (points[i + 1].ohm <= level) f2 = crossing(points[i], points[i + 1], level);
    if (f1 === null || f2 === null) {
      return { problem: "The sweep does not fall back to √(Re·Rmax) = " + level.toFixed(1) + " Ω on both sides of its peak at " +
        peak.hz.toFixed(1) + " Hz: sweep a wider band." };
    }
    var r0 = peak.ohm / reOhm;
    var qms = peak.hz * Math.sqrt(r0) / (f2 - f1);
    var qes = qms / (r0 - 1);
    return { fs: peak.hz, rmax: peak.ohm, f1: f1, f2: f2, qms: qms, qes: qes, qts: qms * qes / (qms + qes) };
  }

  // With a known mass added to the cone, the resonance falls from fs to
  // fsAdded: Mms = m ÷ ((fs/fsAdded)² − 1), Cms = 1 ÷ ((2π fs)² Mms), and
  // Vas = ρ0 c0² Sd² Cms. SI in and out; {mms, cms, vas} or {problem}.
  function addedMass(fs, fsAdded, massKg, sd, air) {
    if (!(fsAdded < fs)) return { problem: "With the mass added the resonance must fall below fs." };
    var mms = massKg / (Math.pow(fs / fsAdded, 2) - 1);
    var cms = 1 / (Math.pow(2 * Math.PI * fs, 2) * mms);
    return { mms: mms, cms: cms, vas: air.rho0 * air.c0 * air.c0 * sd * sd * cms };
  }

  // The peaks of a sweep: the points higher than every other within a
  // sixth of an octave either side, higher than Re by a tenth, and a
  // quarter higher than the lowest point within an octave on each side, so
  // that the ripples of the cone's break-up and the voice coil's rise are
  // not taken for resonances.
  function peaksOf(points, reOhm) {
    var out = [], span = Math.pow(2, 1 / 6);
    function standsOut(i, step) {
      var low = Infinity;
      for (var j = i + step; j >= 0 && j < points.length && Math.abs(Math.log2(points[j].hz / points[i].hz)) <= 1; j += step) {
        low = Math.min(low, points[j].ohm);
      }
      return points[i].ohm >= 1.25 * low;
    }
    for (var i = 1; i < points.length - 1; i++) {
      var p = points[i], highest = p.ohm > 1.1 * reOhm;
      for (var j = i - 1; highest && j >= 0 && points[j].hz >= p.hz / span; j--) highest = points[j].ohm <= p.ohm;
      for (j = i + 1; highest && j < points.length && points[j].hz <= p.hz * span; j++) highest = points[j].ohm <= p.ohm;
      if (highest && standsOut(i, -1) && standsOut(i, 1)) out.push(i);
    }
    return out;
  }

  // The frequencies of a sweep's peaks, as peaksOf finds them.
  function peaks(points, reOhm) {
    return peaksOf(points, reOhm).map(function (i) { return points[i].hz; });
  }

  // Golden-section search for the least of f on [lo, hi].
  function least(f, lo, hi, steps) {
    var g = (Math.sqrt(5) - 1) / 2, a = lo, b = hi;
    var c = b - g * (b - a), d = a + g * (b - a), fc = f(c), fd = f(d);
    for (var i = 0; i < steps; i++) {
      if (fc < fd) { b = d; d = c; fd = fc; c = b - g * (b - a); fc = f(c); } else { a = c; c = d; fc = fd; d = a + g * (b - a); fd = f(d); }
    }
    return (a + b) / 2;
  }

  // A built box from its sweep: the two peaks fl and fh, and the tuning fb
  // and the losses QL of the model that fits the measured magnitude best,
  // in dB, over the band from an octave below fl to an octave above fh,
  // with the driver held as designed. v: the design (SI) whose fb and ql
  // are sought. {fl, fh, fb, ql, fitDb} or {problem, peaks}.
  function boxFit(points, v) {
    // Several drivers show the amplifier's load, not one Re.
    var found = peaksOf(points, v.re * Box.combined(v).scale);
    if (found.length !== 2) return { problem: "peaks", peaks: found.map(function (i) { return points[i].hz; }) };
    var fl = peakAt(points, found[0]).hz, fh = peakAt(points, found[1]).hz;
    var dip = found[0];
    for (var i = found[0]; i <= found[1]; i++) if (points[i].ohm < points[dip].ohm) dip = i;
    var band = points.filter(function (p) { return p.hz >= fl / 2 && p.hz <= fh * 2; });
    var every = Math.max(1, Math.floor(band.length / 100)); // 100 points are plenty for two numbers
    band = band.filter(function (p, k) { return k % every === 0; });
    // The measured levels in dB once; the model's from |Z|², without a root.
    var measuredDb = band.map(function (p) { return 20 * Math.log10(p.ohm); });
    function misfit(fb, ql) {
      var z2 = Box.impedanceSquaredOf(Object.assign({}, v, { fb: fb, ql: ql })), sum = 0;
      for (var k = 0; k < band.length; k++) {
        var e = 10 * Math.log10(z2(band[k].hz)) - measuredDb[k];
        sum += e * e;
      }
      return Math.sqrt(sum / band.length);
    }
    // By turns along fb and along log QL, from the dip and a middling box.
    var fb = points[dip].hz, lnQl = Math.log(7);
    for (var round = 0; round < 3; round++) {
      var q = Math.exp(lnQl);
      fb = least(function (x) { return misfit(x, q); }, Math.max(fl, fb * 0.85), Math.min(fh, fb * 1.15), 18);
      lnQl = least(function (x) { return misfit(fb, Math.exp(x)); }, 0, Math.log(1000), 18);
    }
    var ql = Math.exp(lnQl);
    return { fl: fl, fh: fh, fb: fb, ql: ql, fitDb: misfit(fb, ql) };
  }

  var api = { MIN_POINTS: MIN_POINTS, sizeProblem: sizeProblem, read: read, peaks: peaks, freeAir: freeAir, addedMass: addedMass, boxFit: boxFit };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleSweep = api;
})(this);
