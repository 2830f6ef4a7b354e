// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The equations page's inputs: every field with its quantity, default and
// name, the unit systems, how a typed text is read in SI units, and the
// address (the query string) that keeps a design. Pure: the page's wiring
// and its result texts read it; node's test runner loads it as a CommonJS
// module, the page as a classic script (global RavelleFields).
(function (global) {
  "use strict";

  // Each unit system's units, as [factor to SI, symbol]. Temperatures are
  // always in °C and frequencies in Hz.
  var UNIT_SYSTEMS = {
    metric: { volume: [1e-3, "L"], length: [1e-3, "mm"], area: [1e-4, "cm²"] },
    imperial: { volume: [0.028316846592, "ft³"], length: [0.0254, "in"], area: [0.00064516, "in²"] },
  };

  // End correction k, the total of both ends times the bore (section 2.1).
  var END_FACTORS = { "free-free": 0.614, "flanged-free": 0.732, "flanged-flanged": 0.85 };

  // Absolute zero, in °C: the lowest temperature with a speed of sound.
  var ABSOLUTE_ZERO_C = -273.15;

  // The box losses QL a design may have; 1000 is as good as no loss at all.
  var QL_RANGE = [1, 1000];
  // The most drivers alike in one box.
  var MAX_DRIVERS = 8;

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
    { id: "le", quantity: "inductance", name: "voice-coil inductance Le", si: null, optional: true },
    // Drivers alike in the one box: how many, 1 to 8.
    { id: "count", quantity: "count", name: "number of drivers", si: 1, driver: true },
    { id: "volts", quantity: "voltage", name: "drive voltage", si: 2.83, driver: true },
    { id: "pe", quantity: "power", name: "power rating Pe", si: 250, optional: true },
    // A subsonic filter on the drive, if any.
    { id: "hpf", quantity: "frequency", name: "subsonic filter", si: null, optional: true },
    { id: "ql", quantity: "ratio", name: "box losses QL", si: 7, driver: true },
    { id: "vb", quantity: "volume", name: "net box volume", si: 0.04 },
    { id: "fb", quantity: "frequency", name: "tuning frequency", si: 22 },
    { id: "bore", quantity: "length", name: "bore", si: 0.086 },
    { id: "temp", quantity: "temperature", name: "air temperature", si: 20 },
    { id: "sd", quantity: "area", name: "cone area Sd", si: 0.05 },
    { id: "xmax", quantity: "length", name: "Xmax", si: 0.008 },
    { id: "built", quantity: "length", name: "built length", si: null, after: true },
    { id: "measured", quantity: "frequency", name: "measured tuning", si: null, after: true },
    // A measured sweep's: the mass added to the cone for the second sweep.
    { id: "addedmass", quantity: "mass", name: "added mass", si: null, optional: true },
    // The build: the port as the main window takes it (its own defaults),
    // then the box around it. zero: 0 is a value, as a wall of no thickness.
    { id: "t1", quantity: "length", name: "wall of tube 1", si: 0.002, build: true, zero: true },
    { id: "t2", quantity: "length", name: "wall of tube 2", si: 0.004, build: true, zero: true },
    { id: "t3", quantity: "length", name: "wall of tube 3", si: 0.004, build: true, zero: true },
    { id: "t4", quantity: "length", name: "wall of tube 4", si: 0.004, build: true, zero: true },
    { id: "t5", quantity: "length", name: "wall of tube 5", si: 0.004, build: true, zero: true },
    { id: "cap", quantity: "length", name: "end cap and front panel", si: 0.036, build: true },
    { id: "acoustic", quantity: "length", name: "acoustic length", si: null, build: true, optional: true },
    { id: "fit", quantity: "length", name: "fit tolerance", si: 0.001, build: true, zero: true },
    { id: "driverdisp", quantity: "volume", name: "driver's displacement", si: null, build: true, optional: true, zero: true },
    { id: "bracing", quantity: "percent", name: "bracing", si: null, build: true, optional: true, zero: true },
    { id: "panel", quantity: "length", name: "panel thickness", si: null, build: true, optional: true },
    { id: "width", quantity: "length", name: "outside width", si: null, build: true, optional: true },
    { id: "height", quantity: "length", name: "outside height", si: null, build: true, optional: true },
    { id: "cutout", quantity: "length", name: "driver's cut-out", si: null, build: true, optional: true },
  ];
  // The choices, each a set of values with the first the default. The box
  // shapes are the box model's ratios and the builder's own size.
  var SHAPES = { golden: true, "cube-root-2": true, own: true };
  var CHOICES = { units: UNIT_SYSTEMS, ends: END_FACTORS, tubes: { 3: 3, 5: 5 }, shape: SHAPES,
    wiring: { parallel: true, series: true }, hporder: { 4: 4, 2: 2 } };
  var QUERY_ORDER = ["units", "fs", "qts", "qes", "vas", "re", "le", "count", "wiring", "volts", "pe", "hpf", "hporder", "ql", "vb", "fb", "bore", "ends", "temp", "sd", "xmax",
    "built", "measured", "addedmass", "tubes", "t1", "t2", "t3", "t4", "t5", "cap", "acoustic", "stock", "mytubes", "fit", "driverdisp",
    "bracing", "panel", "shape", "width", "height", "cutout", "b"];
  var DEFAULT_CHOICES = { units: "metric", ends: "flanged-free", tubes: "3", shape: "golden", wiring: "parallel", hporder: "4" };
  // The pipe catalogues a builder can choose from, and those in use at first.
  var STOCK = ["metric-pvc", "us-pvc", "cardboard"];
  var DEFAULT_STOCK = "metric-pvc";

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
  var FIXED_UNITS = { frequency: "Hz", temperature: "°C", ratio: "", resistance: "Ω", voltage: "V", power: "W", percent: "%",
    inductance: "mH", mass: "g", count: "" };

  // Factor to SI and symbol of a quantity in a unit system.
  function unitOf(quantity, units) {
    // The inductance is typed in mH, as datasheets give it, a mass in g.
    if (quantity in FIXED_UNITS) return [quantity === "inductance" || quantity === "mass" ? 1e-3 : 1, FIXED_UNITS[quantity]];
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
    if (field.quantity === "temperature" ? n <= ABSOLUTE_ZERO_C : field.zero ? n < 0 : n <= 0) return { problem: "range" };
    if (field.id === "ql" && (n < QL_RANGE[0] || n > QL_RANGE[1])) return { problem: "range" };
    if (field.quantity === "count" && !(Number.isInteger(n) && n >= 1 && n <= MAX_DRIVERS)) return { problem: "range" };
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
        if (field.quantity === "count") return "Must be a whole number from 1 to " + MAX_DRIVERS + ".";
        if (field.zero) return "Must be 0 or more.";
        return field.quantity === "temperature" ? "Must be above −273.15 °C." : "Must be more than 0.";
    }
  }

  // "a", "a and b", "a, b and c"; or with another conjunction.
  function listed(words, conjunction) {
    if (words.length < 2) return words.join("");
    return words.slice(0, -1).join(", ") + " " + (conjunction || "and") + " " + words[words.length - 1];
  }

  // What a result waits for: "Needs the fs and Re." for the inputs of ids
  // that values lacks, or "" when it has them all.
  function needsText(ids, values) {
    var missing = ids.filter(function (id) { return !(id in values); });
    return missing.length ? "Needs the " + listed(missing.map(function (id) { return fieldById(id).name; })) + "." : "";
  }

  // A sentence carried on after a colon or a comma.
  function lowerFirst(text) {
    return text.charAt(0).toLowerCase() + text.slice(1);
  }

  // An input's text for a value in SI units: five significant digits, so
  // that a bookmark of a design switched to the other units gives the same
  // results, but for a last digit now and then.
  function inputText(si, field, units) {
    return String(Number((si / unitOf(field.quantity, units)[0]).toPrecision(5)));
  }

  function defaultTexts(units) {
    // b: a design kept for comparison, as its own query string.
    var texts = { units: units, stock: DEFAULT_STOCK, mytubes: "", b: "" };
    Object.keys(DEFAULT_CHOICES).forEach(function (name) { if (name !== "units") texts[name] = DEFAULT_CHOICES[name]; });
    FIELDS.forEach(function (f) {
      texts[f.id] = f.si === null ? "" : inputText(f.si, f, units);
    });
    return texts;
  }

  // The catalogues named in a text ("metric-pvc,us-pvc"), known ones only,
  // in the page's order.
  function stockOf(text) {
    var named = String(text == null ? "" : text).split(",").map(function (id) { return id.trim(); });
    return STOCK.filter(function (id) { return named.indexOf(id) >= 0; });
  }

  // The design of a query string (?units=metric&vb=40...); what is missing,
  // unknown or not a valid value keeps its default.
  function textsFromQuery(search) {
    var params = new URLSearchParams(search || "");
    var units = choice("units", params.get("units"));
    var texts = defaultTexts(units);
    Object.keys(DEFAULT_CHOICES).forEach(function (name) { if (name !== "units") texts[name] = choice(name, params.get(name)); });
    if (params.get("stock") !== null) texts.stock = stockOf(params.get("stock")).join(",");
    if (params.get("mytubes") !== null) texts.mytubes = params.get("mytubes").trim();
    if (params.get("b") !== null) texts.b = params.get("b").trim();
    FIELDS.forEach(function (f) {
      var text = params.get(f.id);
      var cleared = f.optional && text !== null && text.trim() === "";
      if (cleared || (text !== null && readField(text, f, units).value !== undefined)) texts[f.id] = text.trim();
    });
    return texts;
  }

  // The query string of a design: every choice and every input not left
  // empty, in the order of the form; an optional input left empty says so
  // where it has a default, or that would come back.
  function queryFromTexts(texts) {
    var params = new URLSearchParams();
    QUERY_ORDER.forEach(function (id) {
      var text = String(texts[id] == null ? "" : texts[id]).trim();
      var field = fieldById(id);
      if (text !== "" || (field && field.optional && field.si !== null) || (id === "stock" && texts.stock !== undefined)) {
        params.set(id, text);
      }
    });
    return params.toString();
  }

  var api = {
    UNIT_SYSTEMS: UNIT_SYSTEMS, END_FACTORS: END_FACTORS, FIELDS: FIELDS, fieldById: fieldById, choice: choice,
    unitOf: unitOf, readField: readField, problemText: problemText, inputText: inputText,
    defaultTexts: defaultTexts, textsFromQuery: textsFromQuery, queryFromTexts: queryFromTexts,
    STOCK: STOCK, stockOf: stockOf, listed: listed, needsText: needsText, lowerFirst: lowerFirst,
  };

  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleFields = api;
})(this);
