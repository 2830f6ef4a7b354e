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

  // The fewest points a sweep needs for its peaks and its dip to mean
  // anything.
  var MIN_POINTS = 10;

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

  var api = { MIN_POINTS: MIN_POINTS, read: read };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleSweep = api;
})(this);
