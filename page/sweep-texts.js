// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The texts of a measured sweep: what the file is (a built box, the driver
// in free air, or neither), the tuning and losses or the driver's values
// found in it, and the measured column of the curves table. Pure: the read
// sweeps and the design's values in, texts out; node's test runner loads it
// as a CommonJS module, the page as a classic script (global
// RavelleSweepTexts).
(function (global) {
  "use strict";

  var node = typeof module === "object" && module.exports;
  var Box = node ? require("./box-model.js") : global.RavelleBox;
  var Sweep = node ? require("./sweep.js") : global.RavelleSweep;
  var Fields = node ? require("./fields.js") : global.RavelleFields;

  // What the box fit holds as the driver and the box: a change to any of
  // them fits again, any other keystroke keeps the last fit.
  var FIT_INPUTS = ["fs", "qts", "qes", "vas", "re", "le", "sd", "temp", "vb", "count", "wiring"];
  var lastFit = { points: null, key: "", fit: null };

  function fixed(x, decimals) { return isFinite(x) && Math.abs(x) < 1e12 ? x.toFixed(decimals) : ""; }
  function hz(f) { return fixed(f, 1); }

  var listed = Fields.listed, needs = Fields.needsText, lowerFirst = Fields.lowerFirst;

  function boxFitOf(points, v) {
    var key = JSON.stringify(FIT_INPUTS.map(function (id) { return v[id]; }));
    if (lastFit.points !== points || lastFit.key !== key) {
      lastFit = { points: points, key: key, fit: Sweep.boxFit(points, v) };
    }
    return lastFit.fit;
  }

  // |Z| of a sweep at f, on a logarithmic frequency axis; null outside it.
  function ohmAt(points, f) {
    if (f < points[0].hz || f > points[points.length - 1].hz) return null;
    var i = 1;
    while (points[i].hz < f) i++;
    var a = points[i - 1], b = points[i];
    return a.ohm + (b.ohm - a.ohm) * Math.log(f / a.hz) / Math.log(b.hz / a.hz);
  }

  // sweeps: {main, added}, each null or {name, points, problem} as read;
  // v: the design's values (SI) as the page reads them; units: "metric" or
  // "imperial". Returns the outputs' texts, a note for the sweep and one
  // for the sweep with the mass added, what the two buttons would write,
  // the curve to draw, and the measured column's texts by frequency.
  function assessSweep(sweeps, v, units) {
    var ids = ["measured-fl", "measured-fh", "measured-fb", "measured-ql", "fit-db", "measured-fs", "measured-qms",
      "measured-qes", "measured-qts", "measured-vas", "measured-mms", "measured-cms"];
    var r = { outputs: {}, kind: "", note: "", addedNote: "", tuning: null, driver: null, plot: null, column: null };
    ids.forEach(function (id) { r.outputs[id] = ""; });
    var main = sweeps && sweeps.main;
    if (!main) {
      r.note = "No sweep loaded yet.";
      return r;
    }
    if (main.problem) {
      r.kind = "problem";
      r.note = main.name + ": " + main.problem;
      return r;
    }
    var points = main.points;
    r.column = {};
    Box.TABLE_HZ.forEach(function (f) { var z = ohmAt(points, f); r.column[f] = z === null ? "" : fixed(z, 1); });
    var band = hz(points[0].hz) + " to " + fixed(points[points.length - 1].hz, 0) + " Hz";
    var read = main.name + ": " + points.length + " points from " + band + ". ";
    if (!("re" in v)) {
      r.note = read + "Telling its peaks from the rest needs the voice-coil resistance Re.";
      r.plot = { points: points, name: main.name, model: "box" };
      return r;
    }
    // Against the lower of one driver's Re (a driver swept alone) and the
    // amplifier's load (the box with all its drivers).
    var peaks = Sweep.peaks(points, v.re * Math.min(1, Box.combined(v).scale));
    r.plot = { points: points, name: main.name, model: peaks.length === 1 ? "free-air" : "box" };
    if (peaks.length === 2) return boxTexts(r, read, points, v);
    if (peaks.length === 1) return freeAirTexts(r, read, points, v, sweeps.added, units);
    r.kind = "neither";
    r.note = read + (peaks.length === 0 ? "It has no peak that stands above Re" :
      "It has " + peaks.length + " peaks, at " + listed(peaks.map(function (f) { return hz(f) + " Hz"; }))) +
      ": a box shows two, with its tuning in the dip between them, and a driver in free air one. Sweep the box or the driver " +
      "alone, at a low level, from 5 or 10 Hz to 200 Hz or more, and check that Re is the driver's.";
    return r;
  }

  function boxTexts(r, read, points, v) {
    r.kind = "box";
    var missing = needs(FIT_INPUTS.filter(function (id) { return id !== "le" && id !== "wiring"; }), v);
    if (missing) {
      r.note = read + "A built box: two peaks. Fitting the tuning and the losses to it " + lowerFirst(missing);
      return r;
    }
    var fit = boxFitOf(points, v);
    var o = r.outputs;
    o["measured-fl"] = hz(fit.fl);
    o["measured-fh"] = hz(fit.fh);
    o["measured-fb"] = hz(fit.fb);
    o["measured-ql"] = fixed(fit.ql, 1);
    o["fit-db"] = fixed(fit.fitDb, 2);
    var design = "fb" in v ? " The design is tuned to " + String(v.fb) + " Hz" + (Math.abs(fit.fb - v.fb) < 0.05 ? ", as built." :
      ": the box tunes " + hz(Math.abs(fit.fb - v.fb)) + " Hz " + (fit.fb < v.fb ? "lower" : "higher") + ".") : "";
    r.note = read + "A built box: peaks at " + o["measured-fl"] + " and " + o["measured-fh"] + " Hz. The model, with the driver " +
      "and the box as typed, fits it best tuned to " + o["measured-fb"] + " Hz with losses QL " + o["measured-ql"] + ", within " +
      o["fit-db"] + " dB RMS from " + hz(fit.fl / 2) + " to " + fixed(fit.fh * 2, 0) + " Hz." + design +
      (fit.fitDb > 1 ? " A fit this loose says that the driver is not quite as typed: measure it in free air first." : "");
    r.tuning = { measured: o["measured-fb"], ql: o["measured-ql"] };
    r.plot.words = "The sweep measured, dashed, peaks at " + o["measured-fl"] + " and " + o["measured-fh"] + " Hz; fitted, the box " +
      "is tuned to " + o["measured-fb"] + " Hz with QL " + o["measured-ql"] + ".";
    return r;
  }

  function freeAirTexts(r, read, points, v, added, units) {
    r.kind = "free-air";
    var got = Sweep.freeAir(points, v.re);
    if (got.problem) {
      r.note = read + "One peak, as a driver in free air shows, but " + lowerFirst(got.problem);
      return r;
    }
    var o = r.outputs;
    o["measured-fs"] = hz(got.fs);
    o["measured-qms"] = fixed(got.qms, 2);
    o["measured-qes"] = fixed(got.qes, 3);
    o["measured-qts"] = fixed(got.qts, 3);
    r.note = read + "The driver in free air: its peak, " + fixed(got.rmax, 1) + " Ω at " + o["measured-fs"] + " Hz, and |Z| = √(Re·Rmax) = " +
      fixed(Math.sqrt(v.re * got.rmax), 1) + " Ω at " + hz(got.f1) + " and " + hz(got.f2) + " Hz, with Re " + String(v.re) + " Ω.";
    r.driver = { fs: o["measured-fs"], qts: o["measured-qts"], qes: o["measured-qes"] };
    r.plot.words = "The sweep measured, dashed, is the driver in free air: it peaks at " + fixed(got.rmax, 1) + " Ω at " +
      o["measured-fs"] + " Hz. The solid curve is the driver as typed, in free air.";
    r.addedNote = addedTexts(r, got, v, added, units);
    return r;
  }

  // Vas from the same driver swept again with a known mass on its cone.
  function addedTexts(r, got, v, added, units) {
    if (!added) return "With a second sweep, taken with a known mass added to the cone, the page finds Mms, Cms and Vas.";
    if (added.problem) return added.name + ": " + added.problem;
    var heavier = Sweep.freeAir(added.points, v.re);
    if (heavier.problem) return added.name + ": " + heavier.problem;
    var missing = needs(["addedmass", "sd", "temp"], v);
    if (missing) return added.name + ": the resonance falls to " + hz(heavier.fs) + " Hz. Vas " + lowerFirst(missing);
    var m = Sweep.addedMass(got.fs, heavier.fs, v.addedmass, v.sd, Box.air(v.temp));
    if (m.problem) return added.name + ": the resonance is " + hz(heavier.fs) + " Hz. " + m.problem;
    var volume = Fields.UNIT_SYSTEMS[units].volume;
    var o = r.outputs;
    o["measured-vas"] = fixed(m.vas / volume[0], units === "metric" ? 1 : 2);
    o["measured-mms"] = fixed(m.mms * 1e3, 1);
    o["measured-cms"] = fixed(m.cms * 1e3, 3);
    r.driver.vas = o["measured-vas"];
    return added.name + ": with " + String(Number((v.addedmass * 1e3).toPrecision(6))) + " g added the resonance falls to " +
      hz(heavier.fs) + " Hz.";
  }

  var api = { assessSweep: assessSweep, ohmAt: ohmAt };
  if (node) module.exports = api;
  else global.RavelleSweepTexts = api;
})(this);
