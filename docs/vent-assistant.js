// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The design assistant at the top of the equations page. On every keystroke,
// one way: the input texts -> readField -> a design in SI units -> assess ->
// the texts of the results -> the page. assess and the query helpers are pure
// and know nothing of the page; node's test runner loads this file as a
// CommonJS module. The page loads it as a classic script, because browsers
// do not load module scripts from file: addresses.
(function (global) {
  "use strict";

  var Box = typeof module === "object" && module.exports ? require("./box-model.js") : global.RavelleBox;

  // Each unit system's units, as [factor to SI, symbol]. Temperatures are
  // always in °C and frequencies in Hz.
  var UNIT_SYSTEMS = {
    metric: { volume: [1e-3, "L"], length: [1e-3, "mm"], area: [1e-4, "cm²"] },
    imperial: { volume: [0.028316846592, "ft³"], length: [0.0254, "in"], area: [0.00064516, "in²"] },
  };

  // End correction k, the total of both ends times the bore (section 2.1).
  var END_FACTORS = { "free-free": 0.614, "flanged-free": 0.732, "flanged-flanged": 0.85 };

  // Peak air velocity as a fraction of the speed of sound: the usual aim,
  // and where chuffing is certain (section 2.2).
  var VELOCITY_AIM = 0.05;
  var VELOCITY_LIMIT = 0.1;

  // Absolute zero, in °C: the lowest temperature with a speed of sound.
  var ABSOLUTE_ZERO_C = -273.15;

  // The box losses QL a design may have; 1000 is as good as no loss at all.
  var QL_RANGE = [1, 1000];

  // The numeric inputs, in the form's order. si: the default in SI units
  // (m, m², m³, Hz, °C, Ω, V, W). optional: may stay empty, as the power
  // rating; after: empty until the box is built, and needed together.
  // The driver is an example of our own, a 12-inch woofer that suits the
  // default box.
  var FIELDS = [
    { id: "fs", quantity: "frequency", name: "resonance frequency fs", si: 22, driver: true },
    { id: "qts", quantity: "ratio", name: "total Q, Qts", si: 0.38, driver: true },
    { id: "qes", quantity: "ratio", name: "electrical Q, Qes", si: 0.42, driver: true },
    { id: "vas", quantity: "volume", name: "equivalent volume Vas", si: 0.055, driver: true },
    { id: "re", quantity: "resistance", name: "voice-coil resistance Re", si: 5.6, driver: true },
    { id: "volts", quantity: "voltage", name: "drive voltage", si: 2.83, driver: true },
    { id: "pe", quantity: "power", name: "power rating Pe", si: 250, optional: true },
    { id: "ql", quantity: "ratio", name: "box losses QL", si: 7, driver: true },
    { id: "vb", quantity: "volume", name: "net box volume", si: 0.04 },
    { id: "fb", quantity: "frequency", name: "tuning frequency", si: 22 },
    { id: "bore", quantity: "length", name: "bore", si: 0.086 },
    { id: "temp", quantity: "temperature", name: "air temperature", si: 20 },
    { id: "sd", quantity: "area", name: "cone area Sd", si: 0.05 },
    { id: "xmax", quantity: "length", name: "Xmax", si: 0.008 },
    { id: "built", quantity: "length", name: "built length", si: null, after: true },
    { id: "measured", quantity: "frequency", name: "measured tuning", si: null, after: true },
  ];
  var CHOICES = { units: UNIT_SYSTEMS, ends: END_FACTORS };
  var QUERY_ORDER = ["units", "fs", "qts", "qes", "vas", "re", "volts", "pe", "ql", "vb", "fb", "bore", "ends", "temp", "sd", "xmax", "built", "measured"];
  var DEFAULT_CHOICES = { units: "metric", ends: "flanged-free" };

  // What each result needs besides the end correction, which always has a value.
  var NEEDS = {
    length: ["vb", "fb", "bore", "temp"],
    velocity: ["fb", "bore", "sd", "xmax"],
    minbore: ["fb", "temp", "sd", "xmax"],
    fpipe: ["vb", "fb", "bore", "temp"],
    trim: ["fb", "bore", "built", "measured"],
  };

  // The result outputs: their ids are an interface of the page.
  var OUTPUT_IDS = ["length-mm", "length", "c0", "velocity", "mach", "minbore-mm", "minbore",
    "fpipe", "trim-mm", "trim"];

  var NUMBER = /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i;

  function fieldById(id) {
    for (var i = 0; i < FIELDS.length; i++) {
      if (FIELDS[i].id === id) return FIELDS[i];
    }
    return null;
  }

  function choice(name, value) {
    return Object.prototype.hasOwnProperty.call(CHOICES[name], value) ? value : DEFAULT_CHOICES[name];
  }

  // The quantities whose unit is the same in both systems.
  var FIXED_UNITS = { frequency: "Hz", temperature: "°C", ratio: "", resistance: "Ω", voltage: "V", power: "W" };

  // Factor to SI and symbol of a quantity in a unit system.
  function unitOf(quantity, units) {
    if (quantity in FIXED_UNITS) return [1, FIXED_UNITS[quantity]];
    return UNIT_SYSTEMS[units][quantity];
  }

  // The text of one input, read in SI units: {value} or {problem}, where the
  // problem is "empty", "comma", "number", "large" or "range".
  function readField(text, field, units) {
    var t = String(text == null ? "" : text).trim();
    if (t === "") return { problem: "empty" };
    if (/^[+-]?\d*,\d+$/.test(t)) return { problem: "comma" };
    if (!NUMBER.test(t)) return { problem: "number" };
    var n = Number(t);
    if (!isFinite(n)) return { problem: "large" };
    if (field.quantity === "temperature" ? n <= ABSOLUTE_ZERO_C : n <= 0) return { problem: "range" };
    if (field.id === "ql" && (n < QL_RANGE[0] || n > QL_RANGE[1])) return { problem: "range" };
    return { value: n * unitOf(field.quantity, units)[0] };
  }

  function problemText(field, problem) {
    switch (problem) {
      case "empty": return "Enter the " + field.name + ".";
      case "comma": return "Use a point for decimals, as in 8.5.";
      case "number": return "Not a number: type digits, as in 40 or 8.5.";
      case "large": return "Too large a number.";
      default:
        if (field.id === "ql") return "Must be from 1 to 1000 (1000: a box without losses).";
        return field.quantity === "temperature" ? "Must be above −273.15 °C." : "Must be more than 0.";
    }
  }

  function esc(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;").replace(/"/g, "&quot;");
  }

  // "a", "a and b", "a, b and c"; or with another conjunction.
  function listed(words, conjunction) {
    if (words.length < 2) return words.join("");
    return words.slice(0, -1).join(", ") + " " + (conjunction || "and") + " " + words[words.length - 1];
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

  // An input's text for a value in SI units: five significant digits, so
  // that a bookmark of a design switched to the other units gives the same
  // results, but for a last digit now and then.
  function inputText(si, field, units) {
    return String(Number((si / unitOf(field.quantity, units)[0]).toPrecision(5)));
  }

  function defaultTexts(units) {
    var texts = { units: units, ends: DEFAULT_CHOICES.ends };
    FIELDS.forEach(function (f) {
      texts[f.id] = f.after ? "" : inputText(f.si, f, units);
    });
    return texts;
  }

  // The design of a query string (?units=metric&vb=40...); what is missing,
  // unknown or not a valid value keeps its default.
  function textsFromQuery(search) {
    var params = new URLSearchParams(search || "");
    var units = choice("units", params.get("units"));
    var texts = defaultTexts(units);
    texts.ends = choice("ends", params.get("ends"));
    FIELDS.forEach(function (f) {
      var text = params.get(f.id);
      var cleared = f.optional && text !== null && text.trim() === "";
      if (cleared || (text !== null && readField(text, f, units).value !== undefined)) texts[f.id] = text.trim();
    });
    return texts;
  }

  // The query string of a design: every choice and every input not left
  // empty, in the order of the form; an optional input left empty says so,
  // or its default would come back.
  function queryFromTexts(texts) {
    var params = new URLSearchParams();
    QUERY_ORDER.forEach(function (id) {
      var text = String(texts[id] == null ? "" : texts[id]).trim();
      var field = fieldById(id);
      if (text !== "" || (field && field.optional)) params.set(id, text);
    });
    return params.toString();
  }

  // The results of a design given as input texts: the text of each output
  // (empty where there is no number), a note for each result, the message of
  // each input that stops a result, and the velocity warning. exact, if
  // given, holds SI values that stand for some inputs' texts: those that a
  // switch of units rewrote, rounded.
  function assess(texts, exact) {
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

    var out = {};
    OUTPUT_IDS.forEach(function (id) { out[id] = ""; });
    var notes = { length: "", velocity: "", minbore: "", fpipe: "", trim: "" };
    var warning = { level: 0, text: "" };
    var outOfRange = "Out of range: check the inputs.";

    // The inputs a result waits for, as a note; "" when it has them all.
    function waiting(result) {
      var missing = NEEDS[result].filter(function (id) { return !(id in v); });
      if (missing.length === 0) return "";
      return "Needs the " + listed(missing.map(function (id) { return fieldById(id).name; })) + ".";
    }

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
      var dmin = Math.sqrt(4 * (2 * Math.PI * v.fb * v.sd * v.xmax / (VELOCITY_AIM * c0)) / Math.PI);
      if (fixed(dmin * 1000, 1) === null) {
        notes.minbore = outOfRange;
      } else {
        out["minbore-mm"] = fixed(dmin * 1000, 1);
        out.minbore = lengthText(dmin, units);
      }
    }

    notes.velocity = waiting("velocity");
    if (!notes.velocity) {
      var u = 2 * Math.PI * v.fb * v.sd * v.xmax / area;
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
      }
    }

    var box = assessBox(v, problems, units);
    return { units: units, outputs: out, notes: notes, problems: problems, warning: warning, box: box };
  }

  // What the curves and the alignments need; the curves also take the power
  // rating when it is given.
  var DRIVER = ["fs", "qts", "qes", "vas", "re"];
  var BOX_NEEDS = {
    driver: DRIVER.concat(["sd", "temp"]),
    alignments: DRIVER.concat(["ql"]),
    curves: DRIVER.concat(["volts", "ql", "sd", "xmax", "temp", "vb", "fb", "bore"]),
  };
  var CURVE_DECIMALS = { "response-db": 1, "spl-db": 1, "excursion-mm": 2, "velocity-ms": 1, "delay-ms": 1,
    "max-spl-db": 1 };

  // Fixed decimals without a minus sign on a value that rounds to zero.
  function signed(x, decimals) {
    var t = fixed(x, decimals);
    return t !== null && Number(t) === 0 ? (0).toFixed(decimals) : t;
  }

  // The box designer's part of a design: the texts of its outputs, of the
  // curves table and of the alignments, or notes that name what is missing.
  // design is the model's, for the graphs; null without one.
  function assessBox(v, problems, units) {
    var out = { f3: "", sensitivity: "", power: "", derived: "" };
    var result = { outputs: out, note: "", alignmentsNote: "", rows: [], alignments: [], design: null, values: v };
    var impossible = "qes" in v && "qts" in v && v.qes < v.qts;
    if (impossible) {
      problems.qes = "Qes cannot be below Qts: 1/Qts = 1/Qes + 1/Qms.";
      delete v.qes;
    }
    function waiting(needs) {
      if (impossible) return "No driver has a Qes below its Qts: check the datasheet's Qes.";
      var missing = BOX_NEEDS[needs].filter(function (id) { return !(id in v); });
      return missing.length ? "Needs the " + listed(missing.map(function (id) { return fieldById(id).name; })) + "." : "";
    }
    if ("volts" in v && "re" in v) out.power = String(Number((v.volts * v.volts / v.re).toPrecision(3)));
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
      result.alignments = Box.alignments({ fs: v.fs, qts: v.qts, vas: v.vas }, v.ql).map(function (r) {
        if (r.why) return { name: r.name, why: r.why };
        // f3 of the box as shown, which "Use this box" writes into the design.
        var texts = { name: r.name, vb: fixed(r.vb / volume[0], units === "metric" ? 1 : 2), fb: fixed(r.fb, 1), note: r.note };
        texts.f3 = fixed(Box.f3Of(v.fs, v.qts, v.vas, Number(texts.vb) * volume[0], Number(texts.fb), v.ql), 1);
        return texts.vb && texts.fb && texts.f3 && Number(texts.vb) > 0 && Number(texts.fb) > 0 ? texts :
          { name: r.name, why: outOfRange };
      });
    }

    result.note = waiting("curves");
    if (result.note) return result;
    var design = Box.design(v);
    out.f3 = fixed(design.f3, 1) || "";
    out.sensitivity = fixed(design.sensitivity, 1) || "";
    result.rows = Box.TABLE_HZ.map(function (hz) {
      var at = design.at(hz);
      var values = { "response-db": at.responseDb, "spl-db": at.splDb, "excursion-mm": at.excursion * 1e3,
        "velocity-ms": at.velocity, "delay-ms": at.delay * 1e3, "max-spl-db": at.maxSplDb };
      var cells = {};
      Object.keys(CURVE_DECIMALS).forEach(function (q) { cells[q] = signed(values[q], CURVE_DECIMALS[q]); });
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
    return result;
  }

  var api = {
    defaultTexts: defaultTexts,
    textsFromQuery: textsFromQuery,
    queryFromTexts: queryFromTexts,
    assess: assess,
  };

  // The page: reads the inputs, writes the results, keeps the address.
  function attach(document, window) {
    var form = document.getElementById("assistant-form");
    if (!form) return;
    var byId = function (id) { return document.getElementById(id); };
    var units = "metric";
    // The inputs that a switch of units rewrote: {text, si} by id. While a
    // box still shows that text, its exact value counts, so that a switch
    // changes no result, and switching back restores the text typed.
    var converted = {};

    function texts() {
      var t = { units: byId("units").value, ends: byId("ends").value };
      FIELDS.forEach(function (f) { t[f.id] = byId(f.id).value; });
      return t;
    }

    function fill(t) {
      byId("units").value = t.units;
      byId("ends").value = t.ends;
      units = t.units;
      FIELDS.forEach(function (f) { byId(f.id).value = t[f.id]; });
      converted = {};
    }

    function exactValues() {
      var exact = {};
      Object.keys(converted).forEach(function (id) {
        if (byId(id).value === converted[id].text) exact[id] = converted[id].si;
      });
      return exact;
    }

    function switchUnits(to) {
      var exact = exactValues();
      FIELDS.forEach(function (f) {
        if (f.quantity !== "volume" && f.quantity !== "length" && f.quantity !== "area") return;
        var box = byId(f.id);
        var si = f.id in exact ? exact[f.id] : readField(box.value, f, units).value;
        if (si !== undefined) {
          box.value = inputText(si, f, to);
          converted[f.id] = { text: box.value, si: si };
        }
      });
      units = to;
    }

    function show(a) {
      showBox(a.box);
      Object.keys(a.outputs).forEach(function (id) { byId(id).textContent = a.outputs[id]; });
      Object.keys(a.notes).forEach(function (id) { byId(id + "-note").textContent = a.notes[id]; });
      FIELDS.forEach(function (f) {
        var message = a.problems[f.id] || "";
        byId(f.id + "-problem").textContent = message;
        if (message) byId(f.id).setAttribute("aria-invalid", "true");
        else byId(f.id).removeAttribute("aria-invalid");
      });
      Array.prototype.forEach.call(document.querySelectorAll("#assistant span[data-quantity]"), function (span) {
        span.textContent = UNIT_SYSTEMS[a.units][span.getAttribute("data-quantity")][1];
      });
      // A result without a number shows no unit either; metric needs no second unit.
      Array.prototype.forEach.call(document.querySelectorAll("#assistant .value, #assistant .chosen-units"), function (span) {
        if (!span.querySelector("output")) return;
        span.hidden = span.querySelector("output").textContent === "" ||
          (a.units === "metric" && span.classList.contains("chosen-units"));
      });
      var w = byId("velocity-warning");
      w.textContent = a.warning.text;
      w.hidden = a.warning.level === 0;
      w.className = "warning" + (a.warning.level === 2 ? " strong" : "");
    }

    // Typing an input that a part does not depend on leaves it as it is.
    function setMarkup(element, markup) {
      if (element.ravelleMarkup !== markup) element.innerHTML = element.ravelleMarkup = markup;
    }

    // The box designer: its outputs, the alignments, the graphs and the
    // table behind them. Every text comes from assess, escaped here.
    function showBox(b) {
      Object.keys(b.outputs).forEach(function (id) { byId(id).textContent = b.outputs[id]; });
      byId("box-note").textContent = b.note;
      byId("alignments-note").textContent = b.alignmentsNote;
      setMarkup(byId("alignments").tBodies[0], b.alignments.map(function (r) {
        var name = "<th scope=\"row\">" + r.name + (r.note ? " <span class=\"small\">" + esc(r.note) + "</span>" : "") + "</th>";
        if (r.why) return "<tr data-alignment=\"" + r.name + "\">" + name + "<td class=\"why\" colspan=\"4\">" + esc(r.why) + "</td></tr>";
        return "<tr data-alignment=\"" + r.name + "\">" + name + ["vb", "fb", "f3"].map(function (q) {
          return "<td class=\"num\" data-quantity=\"" + q + "\">" + r[q] + "</td>";
        }).join("") + "<td><button type=\"button\" data-vb=\"" + r.vb + "\" data-fb=\"" + r.fb + "\" aria-label=\"Use this box: " +
          r.name + "\">Use this box</button></td></tr>";
      }).join(""));
      setMarkup(byId("curves").tBodies[0], b.rows.map(function (r) {
        return "<tr data-hz=\"" + r.hz + "\"><th scope=\"row\" class=\"num\">" + r.hz + "</th>" + Object.keys(r.cells).map(function (q) {
          return "<td class=\"num\" data-quantity=\"" + q + "\">" + r.cells[q] + "</td>";
        }).join("") + "</tr>";
      }).join(""));
      var drawn = {};
      if (b.design && global.RavelleBoxPlot) {
        global.RavelleBoxPlot.graphs(b.design, b.values).forEach(function (g) { drawn[g.id] = g.svg; });
      }
      Array.prototype.forEach.call(document.querySelectorAll("[data-graph]"), function (holder) {
        setMarkup(holder, drawn["graph-" + holder.getAttribute("data-graph")] || "");
      });
    }

    function update(keepAddress) {
      var t = texts();
      show(assess(t, exactValues()));
      if (keepAddress) return;
      try {
        window.history.replaceState(null, "", "?" + queryFromTexts(t) + window.location.hash);
      } catch (e) {
        // A browser that refuses to rewrite a file: address keeps the old one.
      }
    }

    form.addEventListener("input", function (event) {
      var box = event.target;
      if (box.id === "units" && box.value !== units) switchUnits(box.value);
      update(false);
    });
    form.addEventListener("submit", function (event) { event.preventDefault(); });
    // "Use this box": the alignment's volume and tuning, as the table shows
    // them, become the design's.
    byId("alignments").addEventListener("click", function (event) {
      var button = event.target.closest("button[data-vb]");
      if (!button) return;
      byId("vb").value = button.getAttribute("data-vb");
      byId("fb").value = button.getAttribute("data-fb");
      update(false);
    });
    byId("assistant-reset").addEventListener("click", function () {
      fill(defaultTexts(units));
      update(false);
    });

    fill(textsFromQuery(window.location.search));
    update(true);
  }

  if (typeof module === "object" && module.exports) module.exports = api;
  else if (global.document) attach(global.document, global);
})(this);
