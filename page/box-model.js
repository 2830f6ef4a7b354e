// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// The vented box behind the equations page's box designer: a driver's
// small-signal parameters and a box in, its response, excursion, port air
// velocity, group delay, maximum output and electrical input impedance out,
// and the classic alignments for the driver. Lumped model: voltage drive
// from a zero-impedance source, the voice coil's inductance in the impedance
// alone (left out of the acoustic curves), every box loss lumped into a leak QL at fb,
// radiation into half space, pressures at 1 m. All values are SI (m, m², m³,
// Hz, s, V, W, Ω). Pure: no page, no DOM; node's test runner loads it as a
// CommonJS module, the page as a classic script (global RavelleBox).
(function (global) {
  "use strict";

  var P0 = 20e-6; // reference pressure of SPL, Pa
  var SQRT2 = Math.SQRT2;
  // The third-octave frequencies of the curves table.
  var TABLE_HZ = [10, 12.5, 16, 20, 25, 31.5, 40, 50, 63, 80, 100, 125, 160, 200];
  // The normalised coefficients a1, a2, a3 of a fourth-order Butterworth.
  var B4 = [Math.sqrt(4 + 2 * SQRT2), 2 + SQRT2, Math.sqrt(4 + 2 * SQRT2)];
  // A Qts within this share of the B4 point counts as at it.
  var B4_TOLERANCE = 0.01;
  // The largest ripple of the C4 alignments offered, in dB; Thiele's last
  // tabulated C4 has 1.52 dB.
  var C4_MAX_RIPPLE_DB = 1.55;

  function air(temp) {
    return { c0: 331.3 * Math.sqrt(1 + temp / 273.15), rho0: 101325 / (287.05 * (temp + 273.15)) };
  }

  // The driver's mechanical side, from its datasheet and the air.
  function driverOf(d, a) {
    var cms = d.vas / (a.rho0 * a.c0 * a.c0 * d.sd * d.sd);
    var ws = 2 * Math.PI * d.fs;
    var mms = 1 / (ws * ws * cms);
    var qms = d.qes === d.qts ? Infinity : 1 / (1 / d.qts - 1 / d.qes);
    return { cms: cms, mms: mms, bl: Math.sqrt(ws * mms * d.re / d.qes), qms: qms };
  }

  // The response's denominator s⁴ + a1 s³ + a2 s² + a3 s + 1, with s
  // normalised to √(ωs ωb).
  function coefficients(h, alpha, qt, ql) {
    var r = Math.sqrt(h);
    return [
      (ql + h * qt) / (r * ql * qt),
      (h + (alpha + 1 + h * h) * ql * qt) / (h * ql * qt),
      (h * ql + qt) / (r * ql * qt),
    ];
  }

  // The denominator at s = jΩ, as [real, imaginary], and its derivative in Ω.
  function denominator(a, w) {
    var w2 = w * w;
    return {
      re: w2 * w2 - a[1] * w2 + 1, im: a[2] * w - a[0] * w2 * w,
      dre: 4 * w2 * w - 2 * a[1] * w, dim: a[2] - 3 * a[0] * w2,
    };
  }

  // |G(jΩ)|², the power response against the passband.
  function power(a, w) {
    var d = denominator(a, w);
    var w4 = w * w * w * w;
    return w4 * w4 / (d.re * d.re + d.im * d.im);
  }

  // The half-power frequency, as a multiple of f0: the highest crossing of
  // −3.01 dB, so that a ripple above it does not count. gain, if given,
  // multiplies the power at each Ω: a filter ahead of the box.
  function halfPower(a, gain) {
    function p(w) { return power(a, w) * (gain ? gain(w) : 1); }
    var hi = 64;
    for (var w = hi / 1.05; w > 1e-3; w /= 1.05) {
      if (p(w) < 0.5) {
        var lo = w;
        for (var i = 0; i < 60; i++) {
          var mid = Math.sqrt(lo * hi);
          if (p(mid) < 0.5) lo = mid; else hi = mid;
        }
        return Math.sqrt(lo * hi);
      }
      hi = w;
    }
    return NaN;
  }

  // A Butterworth high-pass of order 2 or 4 at fc, as its second-order
  // sections' Qs: |H|² and the group delay at f. The numerator s² of each
  // section turns the phase by a constant, so each delays as its low-pass
  // twin does.
  var BUTTERWORTH_QS = { 2: [Math.SQRT1_2], 4: [1 / (2 * Math.cos(Math.PI / 8)), 1 / (2 * Math.cos(3 * Math.PI / 8))] };
  function highPass(fc, order) {
    var qs = BUTTERWORTH_QS[order];
    return {
      gain2: function (f) {
        var x = f / fc, x2 = x * x;
        return qs.reduce(function (g, q) { return g * x2 * x2 / ((1 - x2) * (1 - x2) + x2 / (q * q)); }, 1);
      },
      delay: function (f) {
        var w0 = 2 * Math.PI * fc, w = 2 * Math.PI * f;
        return qs.reduce(function (t, q) {
          var a = w0 * w0 - w * w, b = w * w0 / q;
          return t + (w0 / q) * (w0 * w0 + w * w) / (a * a + b * b);
        }, 0);
      },
    };
  }

  // Several drivers alike in one box, wired in parallel or in series, are
  // one driver of count times the cone area and Vas, with fs and the Qs of
  // one. Each takes the drive (parallel) or its share (series); fed √count
  // times that voltage the one driver takes the power of them all, so that
  // its source and its output are theirs. The amplifier sees count·Re in
  // series, Re/count in parallel: the one driver's impedance, scaled.
  function combined(v) {
    var n = v.count || 1, series = v.wiring === "series";
    var each = series ? v.volts / n : v.volts;
    return {
      v: Object.assign({}, v, { vas: v.vas * n, sd: v.sd * n, volts: each * Math.sqrt(n),
        pe: v.pe === undefined ? undefined : v.pe * n }),
      scale: series ? n : 1 / n, count: n, perDriver: each,
    };
  }

  // A driver of fs, Qts, Vas in a box of Vb, fb with leakage QL: the
  // normalising frequency f0 and the coefficients.
  function system(fs, qts, vas, vb, fb, ql) {
    return { f0: Math.sqrt(fs * fb), a: coefficients(fb / fs, vas / vb, qts, ql) };
  }

  function f3Of(fs, qts, vas, vb, fb, ql) {
    var s = system(fs, qts, vas, vb, fb, ql);
    return s.f0 * halfPower(s.a);
  }

  // Complex numbers as [re, im].
  function cadd(x, y) { return [x[0] + y[0], x[1] + y[1]]; }
  function cmul(x, y) { return [x[0] * y[0] - x[1] * y[1], x[0] * y[1] + x[1] * y[0]]; }
  function cinv(x) { var m = x[0] * x[0] + x[1] * x[1]; return [x[0] / m, -x[1] / m]; }
  function cabs(x) { return Math.hypot(x[0], x[1]); }

  // Everything at one frequency, from the acoustic circuit: the pressure
  // source Bl·e/(Re·Sd) drives the cone's branch (R_AT, M_AS, C_AS) into the
  // box, where the compliance C_AB, the leak R_AL and the port M_AP share
  // its pressure. Volume velocities are RMS phasors, positive into the box:
  // ud = ub + up + ul, and the outside hears −ub.
  function circuit(m, f) {
    var w = 2 * Math.PI * f;
    var zd = [m.rat, w * m.mas - 1 / (w * m.cas)];
    var yb = [1 / m.ral, w * m.cab - 1 / (w * m.map)];
    var ud = cmul([m.pg, 0], cinv(cadd(zd, cinv(yb))));
    var pb = cmul(ud, cinv(yb));
    var ub = cmul(pb, [0, w * m.cab]);
    var up = cmul(pb, [0, -1 / (w * m.map)]);
    var ul = [pb[0] / m.ral, pb[1] / m.ral];
    var p = cmul(ub, [0, -w * m.rho0 / (2 * Math.PI)]); // at 1 m in half space
    return { ud: ud, ub: ub, up: up, ul: ul, p: p };
  }

  // The electrical input impedance, [re, im] in Ω: Re and the voice coil's
  // inductance Le in series with the motional part, Bl² over the cone's
  // mechanical load. That load is the acoustic one seen from the cone
  // without the electrical damping (R_AS from Qms, M_AS, C_AS, and the box,
  // the port and the leak in parallel), times Sd². In free air the cone
  // has no box behind it: its load is its own.
  function impedance(m, w, freeAir) {
    var za = [m.ras, w * m.mas - 1 / (w * m.cas)];
    if (!freeAir) za = cadd(za, cinv([1 / m.ral, w * m.cab - 1 / (w * m.map)]));
    return cadd([m.re, w * m.le], cmul([m.motional, 0], cinv(za)));
  }

  // The circuit's elements for a design (all inputs SI, pe optional).
  function elements(v, a, drv) {
    var cas = v.vas / (a.rho0 * a.c0 * a.c0);
    var cab = v.vb / (a.rho0 * a.c0 * a.c0);
    var ws = 2 * Math.PI * v.fs;
    var wb = 2 * Math.PI * v.fb;
    var mas = 1 / (ws * ws * cas);
    return {
      cas: cas, mas: mas, rat: ws * mas / v.qts, cab: cab, map: 1 / (wb * wb * cab),
      ral: v.ql / (wb * cab), pg: v.volts * drv.bl / (v.re * v.sd), rho0: a.rho0,
      // The mechanical losses alone, for the impedance: none when Qes = Qts.
      ras: isFinite(drv.qms) ? ws * mas / drv.qms : 0, motional: drv.bl * drv.bl / (v.sd * v.sd), re: v.re, le: v.le || 0,
    };
  }

  // The passband SPL at the drive, 1 m, half space.
  function sensitivityOf(v, a) {
    var eta0 = 4 * Math.PI * Math.PI * Math.pow(v.fs, 3) * v.vas / (Math.pow(a.c0, 3) * v.qes);
    return 10 * Math.log10(a.rho0 * a.c0 * eta0 / (2 * Math.PI * P0 * P0)) +
      10 * Math.log10(v.volts * v.volts / v.re);
  }

  // A design: {fs, qts, qes, vas, re, le (or undefined), volts, pe (or
  // undefined), ql, sd, xmax, temp, vb, fb, bore}, all SI, with optional
  // count and wiring ("parallel" or "series") of drivers alike, the drive
  // and the power rating being the amplifier's and each driver's, and an
  // optional high-pass hpf (Hz) of order hporder (2 or 4) on the drive.
  // Returns f3, the sensitivity, the amplifier's power and load, one
  // driver's derived parameters, at(f), every curve's value at a frequency
  // after the filter, and with a filter unfiltered, the same design without.
  function design(v) {
    var a = air(v.temp);
    var one = combined(v), e = one.v;
    var m = elements(e, a, driverOf(e, a));
    var s = system(e.fs, e.qts, e.vas, e.vb, e.fb, e.ql);
    var sens = sensitivityOf(e, a);
    var pin = e.volts * e.volts / e.re;
    var areaPort = Math.PI * v.bore * v.bore / 4;
    var filter = v.hpf ? highPass(v.hpf, v.hporder === 2 ? 2 : 4) : null;
    function at(f) {
      var c = circuit(m, f);
      var w = 2 * Math.PI * f;
      var g2 = filter ? filter.gain2(f) : 1, g = Math.sqrt(g2);
      var spl = 20 * Math.log10(g * cabs(c.p) / P0);
      var excursion = g * SQRT2 * cabs(c.ud) / (w * e.sd);
      var n = f / s.f0;
      var d = denominator(s.a, n);
      // The filter lowers the drive, so the power limit with it; the cone's
      // own limit stays where it was.
      var byXmax = 20 * Math.log10(e.xmax / excursion);
      var byPe = e.pe !== undefined ? 10 * Math.log10(e.pe / pin) : Infinity;
      var limit = Math.min(byXmax, byPe);
      var z = impedance(m, w);
      return {
        f: f,
        responseDb: 10 * Math.log10(power(s.a, n) * g2),
        splDb: spl,
        excursion: excursion,
        velocity: g * SQRT2 * cabs(c.up) / areaPort,
        delay: (d.re * d.dim - d.im * d.dre) / (d.re * d.re + d.im * d.im) / (2 * Math.PI * s.f0) + (filter ? filter.delay(f) : 0),
        maxSplDb: spl + limit,
        limit: byPe < byXmax ? "pe" : "xmax",
        impedance: [z[0] * one.scale, z[1] * one.scale],
        freeAirImpedance: impedance(m, w, true),
        circuit: c,
      };
    }
    var result = {
      f3: s.f0 * halfPower(s.a, filter && function (x) { return filter.gain2(x * s.f0); }), sensitivity: sens, power: pin,
      load: v.re * one.scale, c0: a.c0, rho0: a.rho0, driver: driverOf(v, a), at: at,
    };
    if (filter) result.unfiltered = design(Object.assign({}, v, { hpf: undefined }));
    return result;
  }

  // The impedance alone of a design, for fitting it to a measured sweep:
  // f → [re, im] in Ω, without the other curves' work.
  function impedanceOf(v) {
    var a = air(v.temp), one = combined(v);
    var m = elements(one.v, a, driverOf(one.v, a));
    return function (f) { var z = impedance(m, 2 * Math.PI * f); return [z[0] * one.scale, z[1] * one.scale]; };
  }

  // |Z|² of a design at f, as impedance gives it but in plain numbers: the
  // fit asks for it thousands of times a keystroke.
  function impedanceSquaredOf(v) {
    var a = air(v.temp), one = combined(v), k2 = one.scale * one.scale;
    var m = elements(one.v, a, driverOf(one.v, a));
    return function (f) {
      var w = 2 * Math.PI * f;
      // The box, the port and the leak: 1 / (1/R_AL + j(ωC_AB − 1/(ωM_AP))).
      var yr = 1 / m.ral, yi = w * m.cab - 1 / (w * m.map), yy = yr * yr + yi * yi;
      var zr = m.ras + yr / yy, zi = w * m.mas - 1 / (w * m.cas) - yi / yy, zz = zr * zr + zi * zi;
      var re = m.re + m.motional * zr / zz, im = w * m.le - m.motional * zi / zz;
      return (re * re + im * im) * k2;
    };
  }

  // The box (h, α) and Qt that give a denominator a with leakage QL, or null.
  // With r = √h and q = 1/Qt: a1 = q/r + r/QL and a3 = r·q + 1/(r·QL), so r
  // is a root of r⁴/QL − a1 r³ + a3 r − 1/QL; the one that matters is where
  // it falls through zero between its small and large spurious roots (the
  // lossless √(a3/a1) as QL grows).
  function boxFor(a, ql) {
    var l = 1 / ql;
    function g(r) { return l * r * r * r * r - a[0] * r * r * r + a[2] * r - l; }
    var lo = null, hi = null;
    for (var r = 1e-3, prev = g(r); r < 1e3; r *= 1.1) {
      var next = g(r * 1.1);
      if (prev > 0 && next <= 0) { lo = r; hi = r * 1.1; break; }
      prev = next;
    }
    if (lo === null) return null;
    for (var i = 0; i < 60; i++) {
      var mid = (lo + hi) / 2;
      if (g(mid) > 0) lo = mid; else hi = mid;
    }
    var root = (lo + hi) / 2;
    var q = root * (a[0] - root * l);
    var h = root * root;
    var alpha = h * (a[1] - l * q) - 1 - h * h;
    if (!(q > 0) || !(alpha > 0)) return null;
    return { h: h, alpha: alpha, qt: 1 / q };
  }

  // The quasi-Butterworth third-order family, by its a1 (B4's and above):
  // a1² = 2·a2 and a2² + 2 = 2·a1·a3.
  function qb3(a1) {
    var a2 = a1 * a1 / 2;
    return [a1, a2, (a2 * a2 + 2) / (2 * a1)];
  }

  // The Chebyshev (equal-ripple) member with ripple ε² above the asymptote:
  // the low-pass prototype's poles, mapped to a high-pass whose constant term
  // is 1, as two quadratic factors s² + b·s + c.
  function c4(eps) {
    var v = Math.asinh(1 / eps) / 4;
    var quads = [1, 3].map(function (k) {
      var th = k * Math.PI / 8;
      var sigma = Math.sinh(v) * Math.sin(th);
      var omega = Math.cosh(v) * Math.cos(th);
      return { sigma: sigma, m2: sigma * sigma + omega * omega };
    });
    var wc = Math.sqrt(Math.sqrt(quads[0].m2 * quads[1].m2));
    var f = quads.map(function (p) { return [2 * wc * p.sigma / p.m2, wc * wc / p.m2]; });
    return [f[0][0] + f[1][0], f[0][1] + f[1][1] + f[0][0] * f[1][0], f[0][0] * f[1][1] + f[1][0] * f[0][1]];
  }

  function rippleDb(eps) { return 10 * Math.log10(1 + eps * eps); }

  // The family member, by its parameter between lo and hi, whose Qt is the
  // driver's; Qt must run monotonically over the interval.
  function solveFamily(family, lo, hi, qts, ql) {
    var atLo = boxFor(family(lo), ql), atHi = boxFor(family(hi), ql);
    if (!atLo) return null;
    if (!atHi) {
      // With large losses the family ends before hi: where it ends is its
      // last member.
      var bad = hi;
      hi = lo;
      for (var j = 0; j < 50; j++) {
        var m = Math.sqrt(hi * bad);
        if (boxFor(family(m), ql)) hi = m; else bad = m;
      }
      atHi = boxFor(family(hi), ql);
    }
    var rising = atHi.qt > atLo.qt;
    if ((qts - atLo.qt) * (qts - atHi.qt) > 0) return null;
    for (var i = 0; i < 60; i++) {
      var mid = Math.sqrt(lo * hi);
      var box = boxFor(family(mid), ql);
      if (!box) return null;
      if ((box.qt < qts) === rising) lo = mid; else hi = mid;
    }
    var t = Math.sqrt(lo * hi);
    var found = boxFor(family(t), ql);
    return found && { h: found.h, alpha: found.alpha, qt: found.qt, t: t };
  }

  function fixedText(x, decimals) { return x.toFixed(decimals); }

  // The alignments for a driver (fs, qts, vas) and QL: one row a family, in
  // the order QB3, B4, C4, Keele. A row has {name, vb, fb, f3} (SI) or
  // {name, why} where the family has no member for this Qts.
  function alignments(d, ql) {
    var rows = [];
    var atB4 = boxFor(B4, ql);
    function row(name, box, note) {
      var vb = d.vas / box.alpha, fb = box.h * d.fs;
      return { name: name, vb: vb, fb: fb, f3: f3Of(d.fs, d.qts, d.vas, vb, fb, ql), note: note || "" };
    }
    if (!atB4) {
      var none = "QL " + ql + " leaves no B4 box, and so no QB3 or C4 either: the leak is too large.";
      ["QB3", "B4", "C4"].forEach(function (n) { rows.push({ name: n, why: none }); });
    } else {
      var point = fixedText(atB4.qt, 3);
      var near = Math.abs(d.qts / atB4.qt - 1) <= B4_TOLERANCE;
      var below = !near && d.qts < atB4.qt;
      var above = !near && d.qts > atB4.qt;
      var qb3Box = below && solveFamily(qb3, B4[0], B4[0] * 1000, d.qts, ql);
      rows.push(qb3Box ? row("QB3", qb3Box) : { name: "QB3", why: below ?
        "No QB3 box with QL " + ql + " has a Qt as low as " + d.qts + "." :
        "QB3 is for a Qts below the B4 point, " + point + " with QL " + ql + "." });
      rows.push(near ? row("B4", atB4) : { name: "B4", why: "B4 needs a Qts of " + point +
        " (within 1 %) with QL " + ql + "." });
      var epsMax = Math.sqrt(Math.pow(10, C4_MAX_RIPPLE_DB / 10) - 1);
      var c4Box = above && solveFamily(c4, 1e-4, epsMax, d.qts, ql);
      rows.push(c4Box ? row("C4", c4Box, fixedText(rippleDb(c4Box.t), 2) + " dB ripple") : {
        name: "C4", why: above ? "No C4 box within about 1.5 dB of ripple " +
          "fits a Qts of " + d.qts + ": a closed box suits this driver better." :
          "C4 is for a Qts above the B4 point, " + point + " with QL " + ql + "." });
    }
    var kvb = 15 * Math.pow(d.qts, 2.87) * d.vas, kfb = 0.42 * d.fs * Math.pow(d.qts, -0.9);
    rows.push({ name: "Keele", vb: kvb, fb: kfb, f3: f3Of(d.fs, d.qts, d.vas, kvb, kfb, ql), note: "" });
    return rows;
  }

  var api = {
    TABLE_HZ: TABLE_HZ, B4: B4, C4_MAX_RIPPLE_DB: C4_MAX_RIPPLE_DB,
    air: air, coefficients: coefficients, power: power, design: design, alignments: alignments,
    boxFor: boxFor, qb3: qb3, c4: c4, f3Of: f3Of, rippleDb: rippleDb, impedanceOf: impedanceOf,
    impedanceSquaredOf: impedanceSquaredOf, highPass: highPass, combined: combined,
  };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavelleBox = api;
})(this);
