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

  if (global.document) attach(global.document, global);
})(this);
