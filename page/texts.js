// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The texts of the equations page's results: a design given as the texts
// typed into the page in, every output, note and message out. assess knows
// nothing of the page; node's test runner loads this file as a CommonJS
// module, the page as a classic script (global RavelleTexts).
(function (global) {
  "use strict";

  var node = typeof module === "object" && module.exports;
  var Box = node ? require("./box-model.js") : global.RavelleBox;
  var Fields = node ? require("./fields.js") : global.RavelleFields;
  var SweepTexts = node ? require("./sweep-texts.js") : global.RavelleSweepTexts;
  var UNIT_SYSTEMS = Fields.UNIT_SYSTEMS, END_FACTORS = Fields.END_FACTORS, FIELDS = Fields.FIELDS;
  var fieldById = Fields.fieldById, choice = Fields.choice, readField = Fields.readField, problemText = Fields.problemText;
  var listed = Fields.listed, needsText = Fields.needsText, lowerFirst = Fields.lowerFirst;

  // Peak air velocity as a fraction of the speed of sound: the usual aim,
  // and where chuffing is certain (section 2.2).
  var VELOCITY_AIM = 0.05;
  var VELOCITY_LIMIT = 0.1;

  // What each result needs besides the end correction, which always has a value.
  var NEEDS = {
    length: ["vb", "fb", "bore", "temp"],
    velocity: ["fb", "bore", "sd", "count", "xmax"],
    minbore: ["fb", "temp", "sd", "count", "xmax"],
    fpipe: ["vb", "fb", "bore", "temp"],
    trim: ["fb", "bore", "built", "measured"],
  };

  // The result outputs: their ids are an interface of the page.
  var OUTPUT_IDS = ["length-mm", "length", "c0", "velocity", "mach", "minbore-mm", "minbore",
    "fpipe", "trim-mm", "trim", "trim-cut-mm"];


  function esc(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  }

  // Fixed decimals, or null for a value no page should show.
  function fixed(x, decimals) {
    return isFinite(x) && Math.abs(x) < 1e12 ? x.toFixed(decimals) : null;
  }

  // A length in the chosen units: 0.1 mm or 0.01 in.
  function lengthText(metres, units) {
    var u = UNIT_SYSTEMS[units].length;
    return fixed(metres / u[0], units === "metric" ? 1 : 2);
  }

  // Why no port fits, and what would make one fit. The port is no longer
  // than its end corrections, Lv <= 0, while c0² · d ÷ (16 π · fb² · Vb) <= k:
  // a smaller box, a lower tuning or a larger bore each lift it past 0. The
  // limits are rounded the safe way, so that each value given does fit.
  function noPortText(c0, k, v, units) {
    var u = UNIT_SYSTEMS[units];
    var decimals = units === "metric" ? 1 : 2;
    var step = Math.pow(10, decimals);
    var fit = c0 * c0 / (16 * Math.PI * k);
    var limits = [
      ["a smaller box (below ", Math.floor(fit * v.bore / (v.fb * v.fb) / u.volume[0] * step) / step,
        decimals, u.volume[1]],
      ["a lower tuning (below ", Math.floor(Math.sqrt(fit * v.bore / v.vb) * 10) / 10, 1, "Hz"],
      ["a larger bore (above ", Math.ceil(v.fb * v.fb * v.vb / fit / u.length[0] * step) / step,
        decimals, u.length[1]],
    ].filter(function (l) { return l[1] > 0 && isFinite(l[1]); }).map(function (l) {
      return l[0] + l[1].toFixed(l[2]) + " " + l[3] + ")";
    });
    return "No port fits: it would be shorter than its own end corrections (k · d = " +
      lengthText(k * v.bore, units) + " " + u.length[1] + "). Choose " +
      listed(limits, "or") + ".";
  }

  // The trim of a folded port in tube cuts. The port folds its acoustic
  // length into n runs, so cutting every tube by x at its free end shortens
  // the physical length by x and the acoustic length by n·x, and leaves
  // every end gap as it was. shortenMm: how much shorter the acoustic
  // length must be (negative: longer).
  function tubeCuts(shortenMm, n, units) {
    var unit = UNIT_SYSTEMS[units].length[1];
    var each = lengthText(Math.abs(shortenMm) / n / 1000, units);
    if (Number(each) === 0) return "";
    if (shortenMm > 0) {
      return "In a folded port of " + n + " tubes: cut " + each + " " + unit + " from every tube, so that it is " + each + " " + unit +
        " shorter physically and " + lengthText(shortenMm / 1000, units) + " " + unit + " acoustically: the outermost at the end cap (take " +
        "the cap off and glue it back), each tube on the front plug at its free end by the end cap, and each tube on the end cap at " +
        "its free end by the plug. Every end gap stays as it is.";
    }
    return "The port is too short: the box tunes above the design. In a folded port of " + n + " tubes every tube must be " + each +
      " " + unit + " longer, as Ravelle gives them for the new acoustic length: make them again, or lengthen them with a sleeve.";
  }

  // The warning for a peak air velocity, as a share of the speed of sound.
  function velocityWarning(share, minbore, lengthUnit) {
    var larger = minbore ? " A bore of at least " + minbore + " " + lengthUnit + " keeps it under 5 %." : "";
    if (share > VELOCITY_LIMIT) {
      return { level: 2, text: "Far too fast: above 10 % of the speed of sound the port chuffs and " +
        "compresses at full excursion." + larger };
    }
    if (share > VELOCITY_AIM) {
      return { level: 1, text: "Above 5 % of the speed of sound the port may chuff at full excursion." + larger };
    }
    return { level: 0, text: "" };
  }


  // The results of a design given as input texts: the text of each output
  // (empty where there is no number), a note for each result, the message of
  // each input that stops a result, and the velocity warning. exact, if
  // given, holds SI values that stand for some inputs' texts: those that a
  // switch of units rewrote, rounded. sweeps, if given, are the measured
  // sweeps loaded, {main, added}, as RavelleSweepTexts takes them.
  function assess(texts, exact, sweeps) {
    var units = choice("units", texts.units);
    var lengthUnit = UNIT_SYSTEMS[units].length[1];
    var k = END_FACTORS[choice("ends", texts.ends)];
    // Both optional inputs empty is no problem: the box is not built yet.
    var built = FIELDS.some(function (f) {
      return f.after && readField(texts[f.id], f, units).problem !== "empty";
    });
    var v = {};
    var problems = {};
    FIELDS.forEach(function (f) {
      var r = exact && exact[f.id] !== undefined ? { value: exact[f.id] } : readField(texts[f.id], f, units);
      if (r.problem === undefined) v[f.id] = r.value;
      else if ((f.after ? built : !f.optional) || r.problem !== "empty") problems[f.id] = problemText(f, r.problem);
    });

    v.wiring = choice("wiring", texts.wiring);
    v.hporder = Number(choice("hporder", texts.hporder));
    var out = {};
    OUTPUT_IDS.forEach(function (id) { out[id] = ""; });
    var notes = { length: "", velocity: "", minbore: "", fpipe: "", trim: "", "trim-cut": "" };
    var warning = { level: 0, text: "" };
    var outOfRange = "Out of range: check the inputs.";

    // The inputs a result waits for, as a note; "" when it has them all.
    function waiting(result) { return needsText(NEEDS[result], v); }

    var c0 = "temp" in v ? 331.3 * Math.sqrt(1 + v.temp / 273.15) : NaN;
    out.c0 = fixed(c0, 1) || "";
    var area = Math.PI * v.bore * v.bore / 4;
    var kd = k * v.bore;

    notes.length = waiting("length");
    notes.fpipe = waiting("fpipe");
    if (!notes.length) {
      var effective = c0 * c0 * area / (4 * Math.PI * Math.PI * v.fb * v.fb * v.vb);
      var lv = effective - kd;
      if (lv <= 0) {
        notes.length = noPortText(c0, k, v, units);
        notes.fpipe = "No port, so no pipe resonance.";
      } else if (fixed(lv * 1000, 1) === null) {
        notes.length = notes.fpipe = outOfRange;
      } else {
        out["length-mm"] = fixed(lv * 1000, 1);
        out.length = lengthText(lv, units);
        notes.length = "The end corrections, k · d = " + lengthText(kd, units) + " " + lengthUnit +
          ", are already taken off.";
        out.fpipe = fixed(c0 / (2 * effective), 0) || "";
        if (!out.fpipe) notes.fpipe = outOfRange;
      }
    }

    notes.minbore = waiting("minbore");
    if (!notes.minbore) {
      var dmin = Math.sqrt(4 * (2 * Math.PI * v.fb * v.sd * v.count * v.xmax / (VELOCITY_AIM * c0)) / Math.PI);
      if (fixed(dmin * 1000, 1) === null) {
        notes.minbore = outOfRange;
      } else {
        out["minbore-mm"] = fixed(dmin * 1000, 1);
        out.minbore = lengthText(dmin, units);
      }
    }

    notes.velocity = waiting("velocity");
    if (!notes.velocity) {
      // Every cone moves air through the one port.
      var u = 2 * Math.PI * v.fb * v.sd * v.count * v.xmax / area;
      if (fixed(u, 1) === null) {
        notes.velocity = outOfRange;
      } else if (!("temp" in v)) {
        out.velocity = fixed(u, 1);
        notes.velocity = "Its share of the speed of sound needs the air temperature.";
      } else {
        out.velocity = fixed(u, 1);
        out.mach = fixed(100 * u / c0, 1);
        warning = velocityWarning(u / c0, out.minbore, lengthUnit);
      }
    }

    notes.trim = built ? waiting("trim") :
      "Once the box is built: enter the length you built and the tuning you measured.";
    if (!notes.trim) {
      var trimmed = (v.built + kd) * Math.pow(v.measured / v.fb, 2) - kd;
      if (trimmed <= 0) {
        notes.trim = "No port length tunes this box to " + String(v.fb) +
          " Hz: even a port of no length stays below it. Use a larger bore or a smaller box.";
      } else if (fixed(trimmed * 1000, 1) === null) {
        notes.trim = outOfRange;
      } else {
        out["trim-mm"] = fixed(trimmed * 1000, 1);
        out.trim = lengthText(trimmed, units);
        var by = lengthText(Math.abs(trimmed - v.built), units);
        notes.trim = Number(by) === 0 ? "The port is right as built." :
          (trimmed < v.built ? "Shorten" : "Lengthen") + " the acoustic length by " + by + " " + lengthUnit +
          ": type " + out["trim-mm"] + " mm into Ravelle's Desired acoustic length.";
        notes["trim-cut"] = tubeCuts((v.built - trimmed) * 1000, Number(choice("tubes", texts.tubes)), units);
        if (notes["trim-cut"] && trimmed < v.built) out["trim-cut-mm"] = fixed((v.built - trimmed) * 1000 / Number(choice("tubes", texts.tubes)), 1);
      }
    }

    var sweep = SweepTexts.assessSweep(sweeps, v, units);
    var box = assessBox(v, problems, units, sweep.column);
    return { units: units, outputs: out, notes: notes, problems: problems, warning: warning, box: box, sweep: sweep,
      compare: compareWith(box, texts.b, units) };
  }

  // The design kept for comparison, B, from its query string: assessed
  // once while it stays the same, as it does while A is typed.
  var kept = { query: null, box: null };
  function keptBox(query) {
    if (kept.query !== query) {
      var params = new URLSearchParams(query);
      var named = FIELDS.some(function (f) { return params.has(f.id); });
      var b = named ? assess(Object.assign(Fields.textsFromQuery(query), { b: "" })) : null;
      kept = { query: query, box: b && b.box.design ? b.box : null };
    }
    return kept.box;
  }

  // The highest frequency at which the cone reaches Xmax at the drive,
  // from 10 to 200 Hz: the top of the band below which it goes beyond.
  function xmaxReached(design, v) {
    var over = function (f) { return design.at(f).excursion > v.xmax; };
    for (var hi = 200; hi > 10; hi /= Math.pow(2, 1 / 24)) {
      var lo = Math.max(10, hi / Math.pow(2, 1 / 24));
      if (!over(hi) && over(lo)) {
        for (var i = 0; i < 30; i++) { var mid = Math.sqrt(lo * hi); if (over(mid)) lo = mid; else hi = mid; }
        return hi;
      }
      if (over(hi)) return hi;
    }
    return null;
  }

  // The table that sets A beside B: {note, rows: [{id, a, b}]}, or null
  // with no B.
  function compareWith(box, query, units) {
    if (!query) return null;
    var b = keptBox(query);
    if (!b) return { note: "The design kept as B has no curves, or the address does not hold one: keep another.", rows: [], box: null };
    if (!box.design) return { note: "The design now typed has no curves to set beside B: " + box.note, rows: [], box: b };
    var volume = UNIT_SYSTEMS[units].volume;
    function texts(x) {
      var reached = xmaxReached(x.design, x.values);
      var t = { vb: fixed(x.values.vb / volume[0], units === "metric" ? 1 : 2), fb: fixed(x.values.fb, 1), f3: fixed(x.design.f3, 1),
        sensitivity: fixed(x.design.sensitivity, 1), xmax: reached === null ? "never, 10 to 200 Hz" : "below " + fixed(reached, 1) + " Hz" };
      [20, 31.5, 50].forEach(function (f) { t["max-" + f] = fixed(x.design.at(f).maxSplDb, 1); });
      return t;
    }
    var ta = texts(box), tb = texts(b);
    return { note: "", box: b, rows: Object.keys(ta).map(function (id) { return { id: id, a: ta[id] || "", b: tb[id] || "" }; }) };
  }

  // What the curves and the alignments need; the curves also take the power
  // rating when it is given.
  var DRIVER = ["fs", "qts", "qes", "vas", "re"];
  var BOX_NEEDS = {
    driver: DRIVER.concat(["sd", "temp"]),
    alignments: DRIVER.concat(["ql", "count"]),
    curves: DRIVER.concat(["count", "volts", "ql", "sd", "xmax", "temp", "vb", "fb", "bore"]),
  };
  var CURVE_DECIMALS = { "response-db": 1, "spl-db": 1, "excursion-mm": 2, "velocity-ms": 1, "delay-ms": 1,
    "max-spl-db": 1, "impedance-ohm": 1 };

  // Fixed decimals without a minus sign on a value that rounds to zero.
  function signed(x, decimals) {
    var t = fixed(x, decimals);
    return t !== null && Number(t) === 0 ? (0).toFixed(decimals) : t;
  }

  // The box designer's part of a design: the texts of its outputs, of the
  // curves table and of the alignments, or notes that name what is missing.
  // design is the model's, for the graphs; null without one. measured: a
  // measured sweep's |Z| texts by the table's frequencies, or null.
  function assessBox(v, problems, units, measured) {
    var out = { f3: "", sensitivity: "", power: "", load: "", derived: "" };
    var result = { outputs: out, note: "", alignmentsNote: "", rows: [], alignments: [], design: null, values: v, filter: null };
    var impossible = "qes" in v && "qts" in v && v.qes < v.qts;
    if (impossible) {
      problems.qes = "Qes cannot be below Qts: 1/Qts = 1/Qes + 1/Qms.";
      delete v.qes;
    }
    function waiting(needs) {
      if (impossible) return "No driver has a Qes below its Qts: check the datasheet's Qes.";
      return needsText(BOX_NEEDS[needs], v);
    }
    // The amplifier's load and power: count·Re in series, Re/count in parallel.
    if ("re" in v && "count" in v) {
      var load = v.re * Box.combined(v).scale;
      out.load = String(Number(load.toPrecision(3)));
      if ("volts" in v) out.power = String(Number((v.volts * v.volts / load).toPrecision(3)));
    }
    var outOfRange = "Out of range: check the driver and the box.";

    if (!waiting("driver")) {
      var a = Box.air(v.temp);
      var d = Box.design(Object.assign({ volts: 1, ql: 7, vb: 1, fb: 1, bore: 1, xmax: 1 }, v));
      var qms = isFinite(d.driver.qms) ? "Qms " + fixed(d.driver.qms, 2) : "no mechanical losses";
      var parts = [fixed(d.driver.mms * 1e3, 1), fixed(d.driver.cms * 1e3, 3), fixed(d.driver.bl, 2)];
      if (a.c0 && parts.every(function (p) { return p !== null; })) {
        out.derived = "Mms " + parts[0] + " g, Cms " + parts[1] + " mm/N, Bl " + parts[2] + " T·m, " + qms;
      }
    }

    result.alignmentsNote = waiting("alignments");
    if (!result.alignmentsNote) {
      var volume = UNIT_SYSTEMS[units].volume;
      // The box sees the drivers as one of count times the Vas.
      var vas = v.vas * v.count;
      result.alignments = Box.alignments({ fs: v.fs, qts: v.qts, vas: vas }, v.ql).map(function (r) {
        if (r.why) return { name: r.name, why: r.why };
        // f3 of the box as shown, which "Use this box" writes into the design.
        var texts = { name: r.name, vb: fixed(r.vb / volume[0], units === "metric" ? 1 : 2), fb: fixed(r.fb, 1), note: r.note };
        texts.f3 = fixed(Box.f3Of(v.fs, v.qts, vas, Number(texts.vb) * volume[0], Number(texts.fb), v.ql), 1);
        return texts.vb && texts.fb && texts.f3 && Number(texts.vb) > 0 && Number(texts.fb) > 0 ? texts :
          { name: r.name, why: outOfRange };
      });
    }

    result.note = waiting("curves");
    // A filter typed wrong is not no filter: the curves wait for it.
    if (!result.note && problems.hpf) result.note = "The subsonic filter: " + lowerFirst(problems.hpf) +
      " Or leave it empty for none.";
    if (result.note) return result;
    var design = Box.design(v);
    out.f3 = fixed(design.f3, 1) || "";
    out.sensitivity = fixed(design.sensitivity, 1) || "";
    result.rows = Box.TABLE_HZ.map(function (hz) {
      var at = design.at(hz);
      var values = { "response-db": at.responseDb, "spl-db": at.splDb, "excursion-mm": at.excursion * 1e3,
        "velocity-ms": at.velocity, "delay-ms": at.delay * 1e3, "max-spl-db": at.maxSplDb,
        "impedance-ohm": Math.hypot(at.impedance[0], at.impedance[1]) };
      var cells = {};
      Object.keys(CURVE_DECIMALS).forEach(function (q) { cells[q] = signed(values[q], CURVE_DECIMALS[q]); });
      if (measured) cells["measured-ohm"] = measured[hz];
      return { hz: hz, cells: cells };
    });
    var complete = out.f3 && out.sensitivity && result.rows.every(function (r) {
      return Object.keys(r.cells).every(function (q) { return r.cells[q] !== null; });
    });
    if (!complete) {
      out.f3 = out.sensitivity = "";
      result.rows = [];
      result.note = outOfRange;
      return result;
    }
    result.design = design;
    result.filter = filterAdvice(v, design.unfiltered || design);
    return result;
  }

  // Where a subsonic filter goes: builders put it from about half an
  // octave below fb up to fb. Suggested: the lowest corner in that range,
  // to 0.5 Hz, that keeps the cone within Xmax below fb at the drive, with
  // the order chosen. plain: the design without a filter.
  function filterAdvice(v, plain) {
    var lo = Math.ceil(v.fb / Math.SQRT2 * 2) / 2, order = v.hporder;
    var below = [];
    for (var f = v.fb / 4; f <= v.fb; f *= Math.pow(2, 1 / 12)) below.push({ f: f, x: plain.at(f).excursion });
    var range = "Builders put a subsonic filter from about half an octave below the tuning up to it: here " + lo.toFixed(1) +
      " to " + v.fb.toFixed(1) + " Hz.";
    for (var fc = lo; fc <= v.fb + 1e-9; fc += 0.5) {
      var hp = Box.highPass(fc, order);
      var within = below.every(function (p) { return p.x * Math.sqrt(hp.gain2(p.f)) <= v.xmax; });
      if (within) {
        return { hpf: fc.toFixed(1), hporder: String(order), note: range + " For this box, " + fc.toFixed(1) + " Hz of order " + order +
          " keeps the cone within Xmax below the tuning at " + String(v.volts) + " V." };
      }
    }
    return { hpf: v.fb.toFixed(1), hporder: String(order), note: range + " Even at " + v.fb.toFixed(1) + " Hz of order " + order +
      " the cone passes Xmax below the tuning at " + String(v.volts) + " V: lower the drive" + (order === 2 ? ", or choose order 4." : ".") };
  }

  var api = {
    defaultTexts: Fields.defaultTexts,
    textsFromQuery: Fields.textsFromQuery,
    queryFromTexts: Fields.queryFromTexts,
    assess: assess,
    esc: esc,
  };

  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleTexts = api;
})(this);
