// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The texts of the build sheet: the port as the main window computes it,
// its cut list, the tube plan, the box's volumes, size and panels, and the
// drawings' inputs, from the texts typed into the page and the assistant's
// results. assessBuild knows nothing of the page; node's test runner loads
// this file as a CommonJS module, the page as a classic script (global
// RavelleBuildTexts).
(function (global) {
  "use strict";

  var node = typeof module === "object" && module.exports;
  var Fields = node ? require("./fields.js") : global.RavelleFields;
  var Port = node ? require("./port-model.js") : global.RavellePort;
  var Plan = node ? require("./tube-plan.js") : global.RavelleTubePlan;
  var Pipes = node ? require("./pipe-catalogue.js") : global.RavellePipes;
  var Build = node ? require("./box-build.js") : global.RavelleBuild;

  var MM_PER_INCH = 25.4;
  var LITRES_PER_FT3 = 28.316846592;

  // A length as a builder writes it: whole millimetres, or inches to the
  // nearest 1/16 with the fraction reduced ("9 7/16 in").
  function inches(mm) {
    var sixteenths = Math.round(Math.abs(mm) / MM_PER_INCH * 16);
    var whole = Math.floor(sixteenths / 16), part = sixteenths % 16, below = 16;
    while (part && part % 2 === 0) { part /= 2; below /= 2; }
    var text = part ? (whole ? whole + " " : "") + part + "/" + below : String(whole);
    return (mm < 0 && sixteenths ? "−" : "") + text;
  }

  // The number of a length in the sheet's unit; decimals: the millimetres
  // a metric value keeps (walls and strips keep a tenth).
  function lengthNumber(mm, units, decimals) {
    if (units === "imperial") return inches(mm);
    var text = String(Number(mm.toFixed(decimals || 0)));
    return text.replace(/^-/, "−");
  }

  function lengthWords(mm, units, decimals) {
    return lengthNumber(mm, units, decimals) + (units === "imperial" ? " in" : " mm");
  }

  function volumeNumber(litres, units) {
    return units === "imperial" ? (litres / LITRES_PER_FT3).toFixed(2) : litres.toFixed(1);
  }

  function volumeWords(litres, units) {
    return volumeNumber(litres, units) + (units === "imperial" ? " ft³" : " L");
  }

  // A cell: its text, and the length in millimetres behind it.
  function cell(mm, units, decimals) {
    return { text: lengthNumber(mm, units, decimals), mm: mm };
  }

  // A length input in millimetres, exactly as the main window takes it: a
  // metric text is read as typed, so that the page's doubles are the
  // program's; inches are converted, or taken from the exact value of a
  // switch of units.
  function mmOf(id, texts, units, exact) {
    var field = Fields.fieldById(id);
    var read = Fields.readField(texts[id], field, units);
    if (read.problem) return { problem: read.problem };
    if (units === "metric") return { value: Number(String(texts[id]).trim()) };
    return { value: (exact && exact[id] !== undefined ? exact[id] : read.value) * 1000 };
  }

  // The pipes in use: the catalogues chosen and the builder's own tubes.
  function pipesOf(texts, units) {
    var chosen = Fields.stockOf(texts.stock);
    var pipes = Pipes.pipes(chosen);
    var mine = Plan.parseMyTubes(texts.mytubes || "", units === "imperial" ? MM_PER_INCH : 1);
    return { pipes: pipes.concat(mine.tubes), problem: mine.problem, chosen: chosen };
  }

  var NOTHING = { rows: [], outputs: {}, note: "" };

  // The port and its cut list. acousticMm: the length the assistant gives,
  // unless the builder typed one.
  function portPart(inputs, units) {
    var result = Port.compute(inputs);
    var none = { rows: [], outputs: {}, result: null };
    if (result.problem === "bore") {
      none.note = "The bore must be more than 1 mm for a folded port; the main window shows n/a for this one.";
    } else if (result.problem === "wall") {
      none.note = "The wall of tube " + result.tube + " must be 0 or more.";
    } else if (result.problem === "range") {
      none.note = "Out of range: check the bore, the walls and the lengths.";
    }
    if (result.problem) return none;
    var list = Port.cutList(result, inputs.cap);
    var s = result.shown, n = result.tubes;
    var rows = list.rows.map(function (r) {
      var k = r.tube;
      var cells = {
        "inside-mm": cell(s.inside[k], units, 1), "wall-mm": cell(s.walls[k], units, 1),
        "outside-mm": cell(s.outside[k], units), "gap-mm": k < n ? cell(s.gap[k], units) : { text: "", mm: null },
        "cut-mm": cell(r.cutMm, units), "fixed-to": { text: r.fixedTo },
      };
      return { tube: k, cells: cells };
    });
    var outputs = {
      "port-length": cell(s.length, units), "port-outside": cell(s.outside[n], units),
      "port-volume": { text: volumeNumber(s.volume, units), litres: s.volume }, "box-depth-min": cell(s.depth, units),
      "plug-mm": cell(list.plugMm, units), "cap-outside-mm": cell(list.capOutsideMm, units),
      "cap-hole-mm": cell(list.capHoleMm, units, 1), "opening-mm": cell(list.openingMm, units),
    };
    var note = "";
    if (list.rows.some(function (r) { return r.cutMm <= 0; }) || s.volume <= 0) {
      note = "This port is too short to build: its tubes would be no longer than the end cap. Choose a longer acoustic length or a thinner cap.";
      rows = [];
      outputs = {};
    }
    return { rows: rows, outputs: outputs, note: note, result: note ? null : result, list: list };
  }

  function planPart(inputs, pipes, fitMm, units) {
    if (pipes.pipes.length === 0) return { rows: [], note: "Choose a catalogue or type your own tubes to plan the pipes.", walls: null };
    var plan = Plan.plan({ tubes: inputs.tubes, bore: inputs.bore, acoustic: inputs.acoustic, cap: inputs.cap,
      pipes: pipes.pipes, fitMm: fitMm });
    if (plan.problem === "no pipe") {
      return { rows: [], walls: null, note: "No pipe in use comes within 15 % of the " + lengthWords(plan.requiredMm, units) +
        " that tube " + plan.tube + " needs: choose another catalogue, add a tube of your own, or change the bore or the walls." };
    }
    if (plan.problem) return { rows: [], walls: null, note: "" };
    var rows = plan.rows.map(function (r) {
      return { tube: r.tube, made: r.made, cells: {
        source: { text: r.source }, "start-inside-mm": cell(r.startInsideMm, units, 1), "start-wall-mm": cell(r.startWallMm, units, 1),
        "required-mm": cell(r.requiredMm, units, 1),
        "inner-strip-mm": r.made ? { text: r.innerCaption, mm: r.innerStripMm } : { text: "", mm: null },
        "outer-strip-mm": r.made ? { text: r.outerCaption, mm: r.outerStripMm } : { text: "", mm: null },
        "wall-mm": cell(r.wallMm, units, 1),
      } };
    });
    var made = plan.rows.filter(function (r) { return r.made; }).length;
    var note = made === 0 ? "Every tube is a pipe as it is sold." :
      made + " of the " + plan.rows.length + " tubes are made with the tube-maker: slit the pipe lengthwise, " +
      "take out (or let in) the strip it names, close it up, and sleeve a second layer over it the same way.";
    return { rows: rows, note: note, walls: plan.walls, port: plan.port };
  }

  // The driver, the box and the port in one line each, for the sheet's head.
  function summaryOf(v, assistant, inputs, units) {
    var lines = [];
    if (["fs", "qts", "qes", "vas", "re"].every(function (id) { return id in v; })) {
      lines.push("Driver: fs " + String(Number(v.fs.toPrecision(4))) + " Hz, Qts " + v.qts + ", Qes " + v.qes + ", Vas " +
        volumeWords(v.vas * 1000, units) + ", Re " + v.re + " Ω.");
    }
    if ("vb" in v && "fb" in v) {
      var f3 = assistant.box && assistant.box.outputs.f3;
      lines.push("Box: " + volumeWords(v.vb * 1000, units) + " net, tuned to " + String(Number(v.fb.toPrecision(4))) + " Hz" +
        (f3 ? ", f3 " + f3 + " Hz" : "") + ".");
    }
    if (inputs) {
      lines.push("Port: " + inputs.tubes + " tubes, bore " + lengthWords(inputs.bore, units, 1) + ", acoustic length " +
        lengthWords(inputs.acoustic, units, 1) + ".");
    }
    return lines;
  }

  // The build of a design: texts for every part of the sheet, the drawings'
  // inputs, and the messages of the build's inputs. assistant is
  // RavelleTexts.assess of the same texts; v its values in SI units.
  function assessBuild(texts, exact, assistant) {
    var units = assistant.units;
    var v = assistant.box.values;
    // The inputs' own messages come with the assistant's; here only what
    // the build reads of them, in millimetres.
    var problems = {};
    var read = {};
    ["bore", "t1", "t2", "t3", "t4", "t5", "cap", "acoustic", "fit", "panel", "width", "height", "cutout"].forEach(function (id) {
      var r = mmOf(id, texts, units, exact);
      if (r.problem === undefined) read[id] = r.value;
    });
    var tubes = Number(Fields.choice("tubes", texts.tubes));
    ["driverdisp", "bracing"].forEach(function (id) {
      var r = Fields.readField(texts[id], Fields.fieldById(id), units);
      if (r.problem === undefined) read[id] = id === "bracing" ? r.value : r.value * 1000; // litres
    });
    var pipes = pipesOf(texts, units);
    if (pipes.problem) problems.mytubes = pipes.problem;

    var out = { units: units, problems: problems, port: NOTHING, plan: { rows: [], note: "" }, volumes: null, box: null,
      summary: [], drawings: null, canUsePlan: false, nearestBore: null };
    var acousticMm = "acoustic" in read ? read.acoustic : Number(assistant.outputs["length-mm"]);
    var wallIds = ["t1", "t2", "t3", "t4", "t5"].slice(0, tubes);
    var needed = ["bore", "cap"].concat(wallIds, assistant.outputs["length-mm"] ? [] : ["acoustic"]);
    out.summary = summaryOf(v, assistant, null, units);
    var missing = Fields.needsText(needed, read);
    if (missing) {
      out.port = { rows: [], outputs: {}, note: missing };
      return out;
    }
    var inputs = { tubes: tubes, bore: read.bore, walls: [read.t1, read.t2, read.t3, read.t4 || 0, read.t5 || 0],
      acoustic: acousticMm, cap: read.cap };
    out.summary = summaryOf(v, assistant, inputs, units);
    var port = portPart(inputs, units);
    out.port = port;
    if (!port.result) return out;

    if ("fit" in read) {
      out.plan = planPart(inputs, pipes, read.fit, units);
      out.canUsePlan = !!out.plan.walls && out.plan.walls.some(function (t, i) { return t !== inputs.walls[i]; });
    }
    if (pipes.pipes.length) out.nearestBore = Plan.nearestBore(inputs.bore, pipes.pipes);

    // Each driver in the box takes its own displacement.
    var driverL = read.driverdisp === undefined ? undefined : read.driverdisp * (v.count || 1);
    var vol = Build.volumes({ netL: v.vb * 1000, portL: port.result.shown.volume, driverL: driverL, bracingPct: read.bracing });
    if (!("vb" in v) || vol.problems.length) {
      out.volumes = { cells: {}, note: "vb" in v ? vol.problems.join(" ") : "Needs the net box volume." };
      return out;
    }
    out.volumes = { cells: { net: volumeNumber(vol.netL, units), port: volumeNumber(vol.portL, units),
      driver: volumeNumber(vol.driverL, units), bracing: volumeNumber(vol.bracingL, units), gross: volumeNumber(vol.grossL, units) },
    note: "" };

    var panelMm = "panel" in read ? read.panel : read.cap / 2;
    var r = port.result;
    var minDepthMm = r.raw.length + read.bore + read.cap + panelMm;
    var shape = Fields.choice("shape", texts.shape);
    var box = Build.box({ grossL: vol.grossL, shape: shape, widthMm: read.width, heightMm: read.height, capMm: read.cap,
      panelMm: panelMm, minDepthMm: minDepthMm, portOutsideMm: r.shown.outside[r.tubes], cutoutMm: read.cutout,
      lengthText: function (mm) { return lengthWords(mm, units); } });
    if (shape === "own" && (!("width" in read) || !("height" in read))) {
      out.box = { outputs: {}, panels: [], notes: [], problems: ["Type the box's outside width and height, or choose a shape."] };
      return out;
    }
    out.box = { outputs: {}, panels: [], notes: box.notes || [], problems: box.problems, construction: box.construction,
      minDepth: lengthWords(minDepthMm, units) };
    if (!box.outside) return out;
    out.box.outputs = { "box-width": cell(box.outside.widthMm, units), "box-height": cell(box.outside.heightMm, units),
      "box-depth": cell(box.outside.depthMm, units) };
    if (!box.front) return out;
    out.box.panels = box.panels.map(function (p) {
      return { panel: p.panel, cells: { count: { text: String(p.count) }, "width-mm": cell(p.widthMm, units),
        "height-mm": cell(p.heightMm, units), "thickness-mm": cell(p.thicknessMm, units, 1) } };
    });
    var list = port.list;
    out.drawings = {
      port: { tubes: r.tubes, capMm: read.cap, lengthMm: r.shown.length, plugMm: list.plugMm, openingMm: list.openingMm,
        capOutsideMm: list.capOutsideMm, capHoleMm: list.capHoleMm,
        tubesMm: list.rows.map(function (row) {
          var k = row.tube;
          return { tube: k, insideMm: r.shown.inside[k], outsideMm: k < 3 ? r.raw.outside[k] : r.shown.outside[k], cutMm: row.cutMm,
            fixedTo: row.fixedTo, gapMm: k < r.tubes ? r.shown.gap[k] : 0 };
        }) },
      front: { widthMm: box.outside.widthMm, heightMm: box.outside.heightMm, thicknessMm: read.cap,
        inside: { leftMm: panelMm, bottomMm: panelMm, widthMm: box.inside.widthMm, heightMm: box.inside.heightMm },
        port: { xMm: box.front.port.xMm, yMm: box.front.port.yMm, diameterMm: list.openingMm },
        cutout: box.front.cutout },
      construction: { outside: box.outside, capMm: read.cap, panelMm: panelMm },
      format: function (mm) { return lengthWords(mm, units); },
    };
    return out;
  }

  var api = { assessBuild: assessBuild, inches: inches, lengthWords: lengthWords };
  if (node) module.exports = api;
  else global.RavelleBuildTexts = api;
})(this);
