// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The equations page's wiring: on every keystroke, one way, the input
// texts -> RavelleTexts.assess (which reads them through RavelleFields) ->
// the page; the graphs from RavelleBoxPlot. It holds no arithmetic and no
// wording of its own. A classic script, because browsers do not load module
// scripts from file: addresses.
(function (global) {
  "use strict";

  var Fields = global.RavelleFields, Texts = global.RavelleTexts;
  var FIELDS = Fields.FIELDS, UNIT_SYSTEMS = Fields.UNIT_SYSTEMS;
  var readField = Fields.readField, inputText = Fields.inputText, defaultTexts = Fields.defaultTexts;
  var textsFromQuery = Fields.textsFromQuery, queryFromTexts = Fields.queryFromTexts;
  var assess = Texts.assess, esc = Texts.esc;
  var BuildTexts = global.RavelleBuildTexts, Drawing = global.RavelleDrawing, Sweep = global.RavelleSweep;
  // The choices of the page, each a <select> of that id.
  var CHOICE_IDS = ["units", "ends", "tubes", "shape", "wiring", "hporder"];
  var PANEL_NAMES = { front: "Front baffle", back: "Back", sides: "Sides", "top-bottom": "Top and bottom" };

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

    var stockBoxes = document.querySelectorAll('input[name="stock"]');
    var build = byId("build-form"), measure = byId("measure-form");
    // The sweeps loaded, each {name, points, problem} as read, or null.
    var sweeps = { main: null, added: null };

    // The design kept for comparison, B, as its query string; "" for none.
    var keptQuery = "";

    function texts() {
      var t = { mytubes: byId("mytubes").value, b: keptQuery };
      CHOICE_IDS.forEach(function (id) { t[id] = byId(id).value; });
      t.stock = Array.prototype.filter.call(stockBoxes, function (b) { return b.checked; })
        .map(function (b) { return b.value; }).join(",");
      FIELDS.forEach(function (f) { t[f.id] = byId(f.id).value; });
      return t;
    }

    function fill(t) {
      CHOICE_IDS.forEach(function (id) { byId(id).value = t[id]; });
      units = t.units;
      byId("mytubes").value = t.mytubes;
      keptQuery = t.b || "";
      var stock = Fields.stockOf(t.stock);
      Array.prototype.forEach.call(stockBoxes, function (b) { b.checked = stock.indexOf(b.value) >= 0; });
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
      // The builder's own tubes: every number in the other unit, and the
      // text typed back again on the way back.
      var mine = byId("mytubes");
      var back = converted.mytubes && mine.value === converted.mytubes.text ? converted.mytubes.before : null;
      var before = mine.value;
      var factor = (to === "imperial" ? 1 / 25.4 : 25.4);
      mine.value = back !== null ? back : mine.value.replace(/\d+(\.\d+)?|\.\d+/g, function (n) {
        return String(Number((Number(n) * factor).toPrecision(4)));
      });
      converted.mytubes = { text: mine.value, before: before };
      units = to;
    }

    function show(a) {
      showBox(a.box, a.sweep.plot, a.compare && a.compare.box);
      showSweep(a.sweep);
      showCompare(a.compare, a.box);
      Object.keys(a.outputs).forEach(function (id) { setText(byId(id), a.outputs[id]); });
      Object.keys(a.notes).forEach(function (id) { setText(byId(id + "-note"), a.notes[id]); });
      FIELDS.forEach(function (f) {
        var message = a.problems[f.id] || "";
        setText(byId(f.id + "-problem"), message);
        if (message) byId(f.id).setAttribute("aria-invalid", "true");
        else byId(f.id).removeAttribute("aria-invalid");
      });
      Array.prototype.forEach.call(document.querySelectorAll("#assistant span[data-quantity], #build span[data-quantity]"), function (span) {
        setText(span, UNIT_SYSTEMS[a.units][span.getAttribute("data-quantity")][1]);
      });
      // A result without a number shows no unit either; metric needs no second unit.
      Array.prototype.forEach.call(document.querySelectorAll("#assistant .value, #assistant .chosen-units"), function (span) {
        if (!span.querySelector("output")) return;
        span.hidden = span.querySelector("output").textContent === "" ||
          (a.units === "metric" && span.classList.contains("chosen-units"));
      });
      var w = byId("velocity-warning");
      setText(w, a.warning.text);
      w.hidden = a.warning.level === 0;
      w.className = "warning" + (a.warning.level === 2 ? " strong" : "");
    }

    // Typing an input that a part does not depend on leaves it as it is:
    // nothing is written that would not change, so nothing is laid out again.
    function setText(element, text) {
      if (element.textContent !== text) element.textContent = text;
    }

    function setMarkup(element, markup) {
      if (element.ravelleMarkup !== markup) element.innerHTML = element.ravelleMarkup = markup;
    }

    // The box designer: its outputs, the alignments, the graphs and the
    // table behind them. Every text comes from assess, escaped here.
    function showBox(b, measured, kept) {
      Object.keys(b.outputs).forEach(function (id) { setText(byId(id), b.outputs[id]); });
      setText(byId("box-note"), b.note);
      setText(byId("alignments-note"), b.alignmentsNote);
      var f = b.filter;
      setText(byId("filter-note"), f ? f.note : "");
      byId("use-filter").disabled = !f || (byId("hpf").value === f.hpf && byId("hporder").value === f.hporder);
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
        global.RavelleBoxPlot.graphs(b.design, b.values, measured, kept && { design: kept.design, values: kept.values }).forEach(function (g) { drawn[g.id] = g.svg; });
      }
      Array.prototype.forEach.call(document.querySelectorAll("[data-graph]"), function (holder) {
        setMarkup(holder, drawn["graph-" + holder.getAttribute("data-graph")] || "");
      });
    }

    // A and B side by side, and the buttons that keep, swap and forget B.
    function showCompare(c, box) {
      byId("compare-holder").hidden = !c || c.rows.length === 0;
      setText(byId("compare-note"), c ? c.note : "");
      (c ? c.rows : []).forEach(function (r) {
        var tds = document.querySelector('#compare tr[data-row="' + r.id + '"]').cells;
        setText(tds[1], r.a);
        setText(tds[2], r.b);
      });
      byId("keep-b").disabled = !box.design;
      byId("swap-b").disabled = byId("forget-b").disabled = !c;
    }

    // A measured sweep: what it is, what it gives, and the buttons that
    // carry its values into the design.
    function showSweep(s) {
      Object.keys(s.outputs).forEach(function (id) { setText(byId(id), s.outputs[id]); });
      setText(byId("measurement-note"), s.note);
      setText(byId("measurement-added-note"), s.addedNote);
      byId("measured-ohm-heading").hidden = !s.column;
      Array.prototype.forEach.call(document.querySelectorAll(".measure-results [data-kind]"), function (row) {
        row.hidden = row.getAttribute("data-kind") !== s.kind;
      });
      byId("use-tuning").disabled = !s.tuning;
      byId("use-driver").disabled = !s.driver;
    }

    // One row of cells: <td data-quantity="…" data-mm="…">, as the build's
    // texts give them.
    function cells(row, numeric) {
      return Object.keys(row).map(function (q) {
        var c = row[q];
        var mm = c.mm !== undefined && c.mm !== null ? " data-mm=\"" + c.mm + "\"" : "";
        return "<td" + (numeric.indexOf(q) >= 0 ? " class=\"num\"" : "") + " data-quantity=\"" + q + "\"" + mm + ">" +
          esc(c.text) + "</td>";
      }).join("");
    }

    function setOutput(id, c) {
      var element = byId(id);
      setText(element, c ? c.text : "");
      if (c && c.mm !== undefined) element.setAttribute("data-mm", c.mm);
      else element.removeAttribute("data-mm");
    }

    var latest = null;
    // The drawings last drawn, by the inputs they were drawn from.
    var drawings = {};

    // The build sheet: the port, the plan, the volumes, the box, the panels
    // and the drawings, every text from assessBuild, escaped here.
    function showBuild(b, t) {
      latest = b;
      setMarkup(byId("sheet-summary"), b.summary.map(function (line) { return "<li>" + esc(line) + "</li>"; }).join(""));
      var message = b.problems.mytubes || "";
      setText(byId("mytubes-problem"), message);
      if (message) byId("mytubes").setAttribute("aria-invalid", "true");
      else byId("mytubes").removeAttribute("aria-invalid");
      Array.prototype.forEach.call(build.querySelectorAll("[data-five]"), function (f) { f.hidden = t.tubes !== "5"; });
      Array.prototype.forEach.call(build.querySelectorAll("[data-own]"), function (f) { f.hidden = t.shape !== "own"; });

      var port = b.port;
      setText(byId("port-note"), port.note || "");
      setMarkup(byId("port").tBodies[0], port.rows.map(function (r) {
        return "<tr data-tube=\"" + r.tube + "\"><th scope=\"row\">" + r.tube + "</th>" +
          cells(r.cells, ["inside-mm", "wall-mm", "outside-mm", "gap-mm", "cut-mm"]) + "</tr>";
      }).join(""));
      ["port-length", "port-outside", "port-volume", "box-depth-min", "plug-mm", "cap-outside-mm", "cap-hole-mm", "opening-mm"]
        .forEach(function (id) { setOutput(id, port.outputs[id]); });

      setText(byId("plan-note"), b.plan.note || "");
      setMarkup(byId("tube-plan").tBodies[0], b.plan.rows.map(function (r) {
        return "<tr data-tube=\"" + r.tube + "\"" + (r.made ? " class=\"made\"" : "") + "><th scope=\"row\">" + r.tube + "</th>" +
          cells(r.cells, ["start-inside-mm", "start-wall-mm", "required-mm", "wall-mm"]) + "</tr>";
      }).join(""));
      byId("use-plan").disabled = !b.canUsePlan;
      var nearest = b.nearestBore;
      var boreUnchanged = !nearest || port.rows.length === 0 || Math.abs(nearest.insideMm - port.rows[0].cells["inside-mm"].mm) < 1e-9;
      byId("use-bore").disabled = boreUnchanged;
      setText(byId("bore-hint"), nearest && !boreUnchanged ? "the nearest: " + nearest.name : "");

      var vol = b.volumes;
      setText(byId("volumes-note"), vol ? vol.note : "");
      Array.prototype.forEach.call(byId("volumes").querySelectorAll("td[data-quantity]"), function (td) {
        setText(td, vol && vol.cells[td.getAttribute("data-quantity")] || "");
      });
      var box = b.box || { outputs: {}, panels: [], notes: [], problems: [] };
      ["box-width", "box-height", "box-depth"].forEach(function (id) { setOutput(id, box.outputs[id]); });
      setText(byId("box-notes"), box.notes.join(" "));
      setText(byId("box-problems"), box.problems.join(" "));
      setText(byId("construction"), box.construction || "");
      setMarkup(byId("panels").tBodies[0], box.panels.map(function (p) {
        return "<tr data-panel=\"" + p.panel + "\"><th scope=\"row\">" + esc(PANEL_NAMES[p.panel]) + "</th>" +
          cells(p.cells, ["count", "width-mm", "height-mm", "thickness-mm"]) + "</tr>";
      }).join(""));

      var drawn = {};
      if (b.drawings && Drawing) {
        ["port", "front", "construction"].forEach(function (name) {
          var key = b.units + JSON.stringify(b.drawings[name]);
          if (!drawings[name] || drawings[name].key !== key) {
            drawings[name] = { key: key, drawing: Drawing[name](b.drawings[name], b.drawings.format) };
          }
          drawn[name] = drawings[name].drawing;
        });
      }
      ["construction", "port", "front"].forEach(function (name) {
        var d = drawn[name];
        setMarkup(document.querySelector('[data-drawing="' + name + '"]'), d ? d.svg : "");
        setMarkup(document.querySelector('[data-twin="' + name + '"]').tBodies[0], d ? d.twin.rows.map(function (row) {
          return "<tr><th scope=\"row\">" + esc(row[0]) + "</th><td>" + esc(row[1]) + "</td></tr>";
        }).join("") : "");
      });
    }

    var latestSweep = null, latestBox = null;
    function update(keepAddress) {
      var t = texts();
      var exact = exactValues();
      var a = assess(t, exact, sweeps);
      latestSweep = a.sweep;
      latestBox = a.box;
      show(a);
      showBuild(BuildTexts.assessBuild(t, exact, a), t);
      if (keepAddress) return;
      pendingAddress = t;
      window.clearTimeout(addressTimer);
      addressTimer = window.setTimeout(writeAddress, ADDRESS_DELAY_MS);
    }

    // The address follows the design once typing pauses: rewriting it costs
    // a few milliseconds a keystroke, and browsers ignore a page that
    // rewrites it hundreds of times in a few seconds.
    var ADDRESS_DELAY_MS = 150;
    var pendingAddress = null, addressTimer = 0;
    function writeAddress() {
      window.clearTimeout(addressTimer);
      if (!pendingAddress) return;
      var t = pendingAddress;
      pendingAddress = null;
      try {
        window.history.replaceState(null, "", "?" + queryFromTexts(t) + window.location.hash);
      } catch (e) {
        // A browser that refuses to rewrite a file: address keeps the old one.
      }
    }
    // Leaving the page, or bookmarking it from the menu, finds the address
    // up to date.
    window.addEventListener("pagehide", writeAddress);
    document.addEventListener("visibilitychange", writeAddress);
    window.addEventListener("blur", writeAddress);

    // A sweep's file, read here: nothing leaves the machine.
    function load(which, file) {
      if (!file) {
        sweeps[which] = null;
        update(true);
        return;
      }
      var tooLarge = Sweep.sizeProblem(file.size);
      if (tooLarge) {
        sweeps[which] = { name: file.name, points: [], problem: tooLarge };
        update(true);
        return;
      }
      file.text().then(function (text) {
        sweeps[which] = Object.assign({ name: file.name }, Sweep.read(text));
      }, function () {
        sweeps[which] = { name: file.name, points: [], problem: "the file could not be read." };
      }).then(function () { update(true); });
    }
    [["measurement", "main"], ["measurement-added", "added"]].forEach(function (pair) {
      byId(pair[0]).addEventListener("change", function () { load(pair[1], byId(pair[0]).files[0]); });
    });
    // A sweep dropped on the impedance graph is the sweep, as if chosen.
    var target = document.querySelector('[data-graph="impedance"]');
    target.addEventListener("dragover", function (event) {
      event.preventDefault();
      event.dataTransfer.dropEffect = "copy";
    });
    target.addEventListener("drop", function (event) {
      event.preventDefault();
      var files = event.dataTransfer.files;
      if (!files.length) return;
      try { byId("measurement").files = files; } catch (e) { /* the input keeps its own; the sweep is still read */ }
      load("main", files[0]);
    });
    byId("forget-sweeps").addEventListener("click", function () {
      byId("measurement").value = byId("measurement-added").value = "";
      sweeps = { main: null, added: null };
      update(true);
    });
    // The buttons write the values as shown: the measured tuning and losses
    // into the trim step and the box, the driver's into its datasheet.
    function write(values) {
      Object.keys(values).forEach(function (id) { byId(id).value = values[id]; });
      update(false);
    }
    byId("use-filter").addEventListener("click", function () {
      var f = latestBox && latestBox.filter;
      if (f) write({ hpf: f.hpf, hporder: f.hporder });
    });
    // B is the whole design as typed, kept in the address as one parameter.
    function designQuery() { return queryFromTexts(Object.assign(texts(), { b: "" })); }
    byId("keep-b").addEventListener("click", function () {
      keptQuery = designQuery();
      update(false);
    });
    byId("swap-b").addEventListener("click", function () {
      var a = designQuery();
      fill(textsFromQuery(keptQuery));
      keptQuery = a;
      update(false);
    });
    byId("forget-b").addEventListener("click", function () {
      keptQuery = "";
      update(false);
    });
    byId("use-tuning").addEventListener("click", function () { if (latestSweep.tuning) write(latestSweep.tuning); });
    byId("use-driver").addEventListener("click", function () { if (latestSweep.driver) write(latestSweep.driver); });

    [form, build, measure].forEach(function (f) {
      f.addEventListener("input", function (event) {
        var box = event.target;
        if (box.type === "file") return;
        if (box.id === "units" && box.value !== units) switchUnits(box.value);
        update(false);
      });
      f.addEventListener("submit", function (event) { event.preventDefault(); });
    });
    // "Use this plan": the plan's walls become the port's, in the units shown.
    byId("use-plan").addEventListener("click", function () {
      if (!latest || !latest.plan.walls) return;
      latest.plan.walls.forEach(function (mm, i) {
        var id = "t" + (i + 1);
        byId(id).value = inputText(mm / 1000, Fields.fieldById(id), units);
      });
      update(false);
    });
    byId("use-bore").addEventListener("click", function () {
      if (!latest || !latest.nearestBore) return;
      byId("bore").value = inputText(latest.nearestBore.insideMm / 1000, Fields.fieldById("bore"), units);
      update(false);
    });
    // The sheet alone on paper: the rest of the page steps aside while the
    // browser prints.
    byId("print-sheet").addEventListener("click", function () {
      document.documentElement.classList.add("printing-sheet");
      window.print();
    });
    window.addEventListener("afterprint", function () { document.documentElement.classList.remove("printing-sheet"); });
    // "Use this box": the alignment's volume and tuning, as the table shows
    // them, become the design's.
    byId("alignments").addEventListener("click", function (event) {
      var button = event.target.closest("button[data-vb]");
      if (!button) return;
      byId("vb").value = button.getAttribute("data-vb");
      byId("fb").value = button.getAttribute("data-fb");
      update(false);
    });
    // Starting again keeps B: it is there to be compared with what comes.
    byId("assistant-reset").addEventListener("click", function () {
      fill(Object.assign(defaultTexts(units), { b: keptQuery }));
      update(false);
    });

    fill(textsFromQuery(window.location.search));
    update(true);
  }

  if (global.document) attach(global.document, global);
})(this);
