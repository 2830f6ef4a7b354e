// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (c) Ravelle developers
//
// Stock tubing a port can be built from: the sizes sold to a standard, each
// row naming its standard and class, and cardboard concrete-form tubes,
// whose walls no standard fixes. The tables keep each standard's own units;
// every row comes out in millimetres. Pure data and arithmetic: node's test
// runner loads it as a CommonJS module, the page as a classic script
// (global RavellePipes).
(function (global) {
  "use strict";

  var MM_PER_IN = 25.4;

  // Each catalogue's rows are [size as sold, diameter, wall, class], in the
  // catalogue's unit (mmPer: 1 or 25.4). by says which diameter the table
  // gives: "outside" for pipe, which is made to its outside diameter, and
  // "inside" for form tubes, which are sold by the column they cast.
  // The walls are each standard's minimum: what the builder can count on.
  var CATALOGUES = [
    {
      id: "metric-pvc",
      name: "Metric PVC-U pipe",
      standard: "EN 1401-1 (sewer), EN 1329-1 (soil and waste), ISO 1452-2 (pressure)",
      mmPer: 1, by: "outside",
      rows: [
        // Soil and waste inside buildings: B above ground, BD also buried.
        [null, 32, 1.8, "EN 1329 B"],
        [null, 40, 1.8, "EN 1329 B"],
        [null, 50, 1.8, "EN 1329 B"],
        [null, 110, 2.2, "EN 1329 B"],
        [null, 110, 3.2, "EN 1329 BD"],
        [null, 125, 2.5, "EN 1329 B"],
        [null, 125, 3.2, "EN 1329 BD"],
        [null, 160, 3.2, "EN 1329 B"],
        [null, 160, 4.0, "EN 1329 BD"],
        // Underground sewer, by ring stiffness: SN2 is SDR 51, SN4 SDR 41,
        // SN8 SDR 34, with 3.2 mm the least wall; no SN2 below 160.
        [null, 110, 3.2, "EN 1401 SN4"],
        [null, 110, 3.2, "EN 1401 SN8"],
        [null, 125, 3.2, "EN 1401 SN4"],
        [null, 125, 3.7, "EN 1401 SN8"],
        [null, 160, 3.2, "EN 1401 SN2"],
        [null, 160, 4.0, "EN 1401 SN4"],
        [null, 160, 4.7, "EN 1401 SN8"],
        [null, 200, 3.9, "EN 1401 SN2"],
        [null, 200, 4.9, "EN 1401 SN4"],
        [null, 200, 5.9, "EN 1401 SN8"],
        [null, 250, 4.9, "EN 1401 SN2"],
        [null, 250, 6.2, "EN 1401 SN4"],
        [null, 250, 7.3, "EN 1401 SN8"],
        [null, 315, 6.2, "EN 1401 SN2"],
        [null, 315, 7.7, "EN 1401 SN4"],
        [null, 315, 9.2, "EN 1401 SN8"],
        [null, 400, 7.9, "EN 1401 SN2"],
        [null, 400, 9.8, "EN 1401 SN4"],
        [null, 400, 11.7, "EN 1401 SN8"],
        // Pressure pipe for water at 20 °C. Up to 90 mm the design
        // coefficient is 2.5 (PN6 SDR 33, PN10 SDR 21, PN16 SDR 13.6), from
        // 110 mm it is 2.0 (PN6 SDR 41, PN10 SDR 26, PN16 SDR 17).
        [null, 50, 2.4, "ISO 1452 PN10"],
        [null, 50, 3.7, "ISO 1452 PN16"],
        [null, 63, 2.0, "ISO 1452 PN6"],
        [null, 63, 3.0, "ISO 1452 PN10"],
        [null, 63, 4.7, "ISO 1452 PN16"],
        [null, 75, 2.3, "ISO 1452 PN6"],
        [null, 75, 3.6, "ISO 1452 PN10"],
        [null, 75, 5.6, "ISO 1452 PN16"],
        [null, 90, 2.8, "ISO 1452 PN6"],
        [null, 90, 4.3, "ISO 1452 PN10"],
        [null, 90, 6.7, "ISO 1452 PN16"],
        [null, 110, 2.7, "ISO 1452 PN6"],
        [null, 110, 4.2, "ISO 1452 PN10"],
        [null, 110, 6.6, "ISO 1452 PN16"],
        [null, 125, 3.1, "ISO 1452 PN6"],
        [null, 125, 4.8, "ISO 1452 PN10"],
        [null, 125, 7.4, "ISO 1452 PN16"],
        [null, 140, 3.5, "ISO 1452 PN6"],
        [null, 140, 5.4, "ISO 1452 PN10"],
        [null, 140, 8.3, "ISO 1452 PN16"],
        [null, 160, 4.0, "ISO 1452 PN6"],
        [null, 160, 6.2, "ISO 1452 PN10"],
        [null, 160, 9.5, "ISO 1452 PN16"],
        [null, 180, 4.4, "ISO 1452 PN6"],
        [null, 180, 6.9, "ISO 1452 PN10"],
        [null, 180, 10.7, "ISO 1452 PN16"],
        [null, 200, 4.9, "ISO 1452 PN6"],
        [null, 200, 7.7, "ISO 1452 PN10"],
        [null, 200, 11.9, "ISO 1452 PN16"],
        [null, 225, 5.5, "ISO 1452 PN6"],
        [null, 225, 8.6, "ISO 1452 PN10"],
        [null, 225, 13.4, "ISO 1452 PN16"],
        [null, 250, 6.2, "ISO 1452 PN6"],
        [null, 250, 9.6, "ISO 1452 PN10"],
        [null, 250, 14.8, "ISO 1452 PN16"],
        [null, 315, 7.7, "ISO 1452 PN6"],
        [null, 315, 12.1, "ISO 1452 PN10"],
        [null, 315, 18.7, "ISO 1452 PN16"],
      ],
    },
    {
      id: "us-pvc",
      name: "US PVC pipe",
      standard: "ASTM D1785 (Schedule 40), ASTM D2729 (sewer and drain)",
      mmPer: MM_PER_IN, by: "outside",
      rows: [
        ["1/2", 0.840, 0.109, "Schedule 40 (ASTM D1785)"],
        ["3/4", 1.050, 0.113, "Schedule 40 (ASTM D1785)"],
        ["1", 1.315, 0.133, "Schedule 40 (ASTM D1785)"],
        ["1-1/4", 1.660, 0.140, "Schedule 40 (ASTM D1785)"],
        ["1-1/2", 1.900, 0.145, "Schedule 40 (ASTM D1785)"],
        ["2", 2.375, 0.154, "Schedule 40 (ASTM D1785)"],
        ["2-1/2", 2.875, 0.203, "Schedule 40 (ASTM D1785)"],
        ["3", 3.500, 0.216, "Schedule 40 (ASTM D1785)"],
        ["3-1/2", 4.000, 0.226, "Schedule 40 (ASTM D1785)"],
        ["4", 4.500, 0.237, "Schedule 40 (ASTM D1785)"],
        ["5", 5.563, 0.258, "Schedule 40 (ASTM D1785)"],
        ["6", 6.625, 0.280, "Schedule 40 (ASTM D1785)"],
        ["8", 8.625, 0.322, "Schedule 40 (ASTM D1785)"],
        ["10", 10.750, 0.365, "Schedule 40 (ASTM D1785)"],
        ["12", 12.750, 0.406, "Schedule 40 (ASTM D1785)"],
        // The thin-wall pipe sold for drains, on its own outside diameters.
        ["3", 3.250, 0.070, "sewer and drain (ASTM D2729)"],
        ["4", 4.215, 0.075, "sewer and drain (ASTM D2729)"],
        ["6", 6.275, 0.100, "sewer and drain (ASTM D2729)"],
      ],
    },
    {
      id: "cardboard",
      name: "Cardboard concrete-form tubes",
      standard: "none: sold by inside diameter; walls vary by maker and grade",
      mmPer: MM_PER_IN, by: "inside",
      rows: [
        ["6", 6, 0.125, "cardboard form tube, wall typical, not standard"],
        ["8", 8, 0.125, "cardboard form tube, wall typical, not standard"],
        ["10", 10, 0.15, "cardboard form tube, wall typical, not standard"],
        ["12", 12, 0.15, "cardboard form tube, wall typical, not standard"],
        ["14", 14, 0.2, "cardboard form tube, wall typical, not standard"],
        ["16", 16, 0.2, "cardboard form tube, wall typical, not standard"],
        ["18", 18, 0.25, "cardboard form tube, wall typical, not standard"],
        ["20", 20, 0.25, "cardboard form tube, wall typical, not standard"],
        ["24", 24, 0.3, "cardboard form tube, wall typical, not standard"],
      ],
    },
  ];

  function catalogueById(id) {
    for (var i = 0; i < CATALOGUES.length; i++) if (CATALOGUES[i].id === id) return CATALOGUES[i];
    return null;
  }

  // One row as the plan reads it. Metric pipe is named by its numbers, as
  // printed on it; inch sizes by the size they are sold as.
  function pipeOf(catalogue, row) {
    var diameterMm = row[1] * catalogue.mmPer, wallMm = row[2] * catalogue.mmPer;
    var outside = catalogue.by === "outside";
    return {
      catalogue: catalogue.id,
      name: row[0] === null ? row[1] + " × " + row[2] + " mm, " + row[3] : row[0] + " in " + row[3],
      insideMm: outside ? diameterMm - 2 * wallMm : diameterMm,
      wallMm: wallMm,
      outsideMm: outside ? diameterMm : diameterMm + 2 * wallMm,
    };
  }

  // The rows of the catalogues named, in this file's order whatever the
  // order asked, so that a plan's ties always fall the same way.
  function pipes(ids) {
    var out = [];
    CATALOGUES.forEach(function (c) {
      if (ids.indexOf(c.id) < 0) return;
      c.rows.forEach(function (row) { out.push(pipeOf(c, row)); });
    });
    return out;
  }

  var api = { CATALOGUES: CATALOGUES, MM_PER_IN: MM_PER_IN, catalogueById: catalogueById, pipes: pipes };
  if (typeof module === "object" && module.exports) module.exports = api;
  else global.RavellePipes = api;
})(this);
