#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Ravelle developers
"""Draws Ravelle's diagrams and icons from the geometry constants below.

Every diagram is also drawn at 2 and 3 times its size ("name@2x.gif") for
screens of finer pixels: the same geometry in finer device pixels, lines as
many pixels wide as the scale, curves, arrowheads and letters drawn afresh.

    generate_images.py [OUTPUT_DIR]     write every image (default: resources/)
    generate_images.py --capture-texts [FILE]
                                        render the diagrams' texts with FreeType
                                        into FILE (default: tools/text_bitmaps.json)

The outputs are committed; tests/resources/test_images.py checks that running
this script reproduces them, so edit the constants, rerun, commit.

The few texts (the dimension's word, the tube numbers) are not rendered on
each run but painted from tools/text_bitmaps.json: every text at every pixel
size it is drawn at, as FreeType drew it once from the DejaVu fonts without
anti-aliasing. FreeType's hinting moves a stroke by a pixel from one release
to the next, and the diagrams must come out the same wherever this runs.
After changing a text, its font or the scales, run --capture-texts (the
committed bitmaps are Debian 12's: Pillow 9.4, FreeType 2.12), then rerun.
"""

import json
import math
import struct
import sys
from dataclasses import dataclass
from io import BytesIO
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

REPO = Path(__file__).resolve().parent.parent
FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")
TEXT_BITMAPS = REPO / "tools/text_bitmaps.json"

# --- colours of the diagrams -------------------------------------------------
WHITE = (255, 255, 255)
WALL_OUTLINE = (49, 66, 255)
WALL_FILL = (173, 214, 231)
WOOD_FILL = (255, 231, 189)
WOOD_OUTLINE = (173, 107, 0)
WOOD_LAYER = (255, 206, 115)
PANEL_PALE = (255, 247, 239)
DIMENSION_GREY = (144, 144, 144)
DIGIT_RED = (247, 8, 0)
CIRCLE_DARK_RED = (173, 0, 0)
STRIP_GREEN = (0, 196, 37)

GIF_PALETTE_SIZE = 16
# Diagrams are drawn at these scales; the larger ones serve high-resolution screens.
DIAGRAM_SCALES = (1, 2, 3)

# --- port section diagrams (246 x 200) ---------------------------------------
PORT_SIZE = (246, 200)
PORT_MIRROR = 202        # the port axis lies on row 101: lower row = 202 - upper row
PANEL_X = (12, 32)       # both layers of the front panel, and the plug
PANEL_LAYER_X = 22       # the line between the panel's (and the plug's) two layers
CENTRE_LINE = (3, 242)   # dash-dot axis line, x range
OUTER_CORNER_R = 6       # wooden corners away from the port
MOUTH_CORNER_R = 3       # wooden corners that the air passes


@dataclass(frozen=True)
class Tube:
    wall: tuple[int, int]   # upper wall: first and last row, outline rows included
    x: tuple[int, int]      # first and last column, end outlines included


def wall_rows(first, last, x):
    """A tube given by the four rows of its upper wall."""
    return Tube(wall=(first, last), x=x)


def fill_rows(first, last, x):
    """A tube given by the two fill rows of its upper wall."""
    return Tube(wall=(first - 1, last + 1), x=x)


@dataclass(frozen=True)
class PortDiagram:
    name: str
    panel_outline: tuple[int, int, int]
    section_rows: tuple[int, int]   # cut piece of the front panel above the axis;
                                    # the panel beyond the cut is drawn pale above it
    plug_rows: tuple[int, int]
    cap_x: tuple[int, int]
    cap_rows: tuple[int, int]       # upper half of the end-cap ring
    tubes: tuple[Tube, ...]         # innermost first


PORT_3TUBE = PortDiagram(
    name="port_3tube.gif",
    panel_outline=(213, 209, 209),
    section_rows=(20, 52),
    plug_rows=(62, 140),
    cap_x=(207, 227),
    cap_rows=(49, 83),
    tubes=(
        wall_rows(80, 83, x=(61, 217)),    # small: from the end cap
        wall_rows(62, 65, x=(22, 182)),    # medium: from the plug
        wall_rows(49, 52, x=(22, 217)),    # large: panel to end cap
    ),
)

PORT_5TUBE = PortDiagram(
    name="port_5tube.gif",
    panel_outline=(214, 214, 214),
    section_rows=(12, 30),
    plug_rows=(38, 164),
    cap_x=(211, 231),
    cap_rows=(27, 83),
    tubes=(
        fill_rows(81, 82, x=(62, 220)),    # 1: from the end cap
        fill_rows(63, 64, x=(23, 185)),    # 2: from the plug
        fill_rows(50, 51, x=(53, 220)),    # 3: from the end cap
        fill_rows(39, 40, x=(23, 194)),    # 4: from the plug
        fill_rows(28, 29, x=(23, 220)),    # 5: panel to end cap
    ),
)

# Physical-length dimension under the 3-tube diagram.
DIM_ROW = 188
DIM_X = (33, 227)        # inner face of the front panel .. outer face of the end cap
DIM_TICK_ROWS = (182, 192)
DIM_ARROW_LEN = 9
DIM_TEXT = "Length"
DIM_FONT = ("DejaVuSans.ttf", 11)

# Tube numbers of the 5-tube diagram: circle centres (continuous coordinates).
NUMBER_X = (94, 114, 134, 154, 174)   # tube 1 .. tube 5
NUMBER_RADIUS = 8                     # 16 px across
NUMBER_FONT = ("DejaVuSans-Bold.ttf", 11)

# --- ring diagrams of the tube-maker (105 x 104) -----------------------------
RING_SIZE = (105, 104)
RING_CENTRE = (52, 51)          # pixel whose centre is the ring's centre
RING_OUTER = 50.5               # outer layer: RING_MIDDLE .. RING_OUTER
RING_MIDDLE = 43.5
RING_INNER = 36.5               # inner layer: RING_INNER .. RING_MIDDLE
# Angles in degrees, counter-clockwise on screen from 3 o'clock.
OUTER_SEAM = 270.0              # 6 o'clock
INNER_SEAM = 90.0               # 12 o'clock
OUTER_STRIP = (270.0, 304.0)    # from the seam towards 5 o'clock
INNER_STRIP = (90.0, 134.0)     # from the seam towards half past 10

RING_IMAGES = (
    ("ring_plain.gif", False, False),
    ("ring_outer_strip.gif", True, False),
    ("ring_both_strips.gif", True, True),
)

# --- application icon: a bar chart on a 32-unit grid --------------------------
# Windows' standard 16-colour palette, in its usual order.
VGA16 = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)
ICON_BLACK, ICON_DARK_GREEN, ICON_LIGHT_GREY = 0, 2, 7
ICON_RED, ICON_BLUE, ICON_MAGENTA, ICON_WHITE = 9, 12, 13, 15

ICON_UNITS = 32
# Rows and columns of the 32 x 32 grid; lines are one cell wide at 32 px.
ICON_AXIS_X = 2                  # vertical axis
ICON_AXIS_Y = 29                 # horizontal axis
ICON_GRID_ROWS = (1, 8, 15, 22)  # the first one closes the field at the top
ICON_GRID_COLS = (10, 17, 24, 31)  # the last one closes it at the right
ICON_TICK_COLS = (2, 10, 17, 24, 31)
ICON_TICK_BOTTOM = 31
# (first column, width, top row, palette index); bars stand on the axis.
ICON_BARS = (
    (4, 5, 16, ICON_RED),
    (11, 5, 7, ICON_BLUE),
    (18, 5, 12, ICON_MAGENTA),
    (25, 5, 4, ICON_DARK_GREEN),
)
ICON_PNG_SIZES = (16, 32, 48, 64, 128, 256)
APP_ID = "org.ravelle.Ravelle"


# ============================================================================
# Paletted canvas
# ============================================================================

class Canvas:
    """A white paletted image drawn with named RGB colours.

    Geometry is given in units, the pixels of the 1x image; a canvas of
    scale k has k x k device pixels per unit. set, get and fill_rect work on
    device pixels; unit_rect, shape and text take units.
    """

    def __init__(self, size, colours, scale=1, texts=None):
        self.texts = texts
        colours = list(dict.fromkeys([WHITE, *colours]))
        if len(colours) > GIF_PALETTE_SIZE:
            raise ValueError("more than 16 colours")
        self.index = {c: i for i, c in enumerate(colours)}
        self.scale = scale
        size = (size[0] * scale, size[1] * scale)
        self.image = Image.new("P", size, 0)
        padding = [(0, 0, 0)] * (GIF_PALETTE_SIZE - len(colours))
        self.image.putpalette([v for c in colours + padding for v in c])
        self.px = self.image.load()
        self.width, self.height = size

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[x, y] = self.index[colour]

    def get(self, x, y):
        return self.px[x, y]

    def fill_rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, colour)

    def unit_rect(self, x0, y0, x1, y1, colour):
        """fill_rect in units: the device pixels of unit pixels x0..x1, y0..y1."""
        k = self.scale
        self.fill_rect(k * x0, k * y0, k * (x1 + 1) - 1, k * (y1 + 1) - 1, colour)

    def shape(self, inside, box, fill, outline):
        """Fills the pixels whose centre lies inside, edging them in outline.

        inside(u, v) takes a point in units; box is the unit pixels to look
        at. An edge pixel is an inside pixel with an outside pixel less than
        one unit away along a row or a column, which gives an outline one
        unit wide, at 1x a one-pixel, 8-connected outline.
        """
        k = self.scale

        def at(x, y):
            return inside((x + 0.5) / k, (y + 0.5) / k)

        x0, y0, x1, y1 = box
        for y in range(k * y0, k * (y1 + 1)):
            for x in range(k * x0, k * (x1 + 1)):
                if not at(x, y):
                    continue
                edge = not all(at(x + dx * d, y + dy * d) for d in range(1, k + 1)
                               for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                self.set(x, y, outline if edge else fill)

    def text_bitmap(self, text, font_spec):
        """The text's pixels at this scale: rows of "#" (ink) and "." (paper)."""
        return self.texts.bitmap(font_spec[0], font_spec[1] * self.scale, text)

    def text_width(self, text, font_spec):
        """In device pixels."""
        rows = self.text_bitmap(text, font_spec)
        return len(rows[0]) if rows else 0

    def text(self, centre, text, font_spec, colour):
        """Draws text without anti-aliasing, centred on centre (u, v) in units."""
        rows = self.text_bitmap(text, font_spec)
        centre = (centre[0] * self.scale, centre[1] * self.scale)
        ox = round(centre[0] - self.text_width(text, font_spec) / 2)
        oy = round(centre[1] - len(rows) / 2)
        for y, row in enumerate(rows):
            for x, ink in enumerate(row):
                if ink == "#":
                    self.set(ox + x, oy + y, colour)

    def gif_bytes(self):
        out = BytesIO()
        self.image.save(out, "GIF", optimize=False)
        data = out.getvalue()
        # Pillow labels a plain image GIF87a; the format is unchanged in 89a.
        return b"GIF89a" + data[6:]


class StoredTexts:
    """Text bitmaps read from a file that --capture-texts wrote."""

    def __init__(self, path=TEXT_BITMAPS):
        self.path = path
        self.bitmaps = None

    def bitmap(self, font, pixels, text):
        if self.bitmaps is None:
            self.bitmaps = json.loads(self.path.read_text(encoding="utf-8"))["bitmaps"]
        key = text_key(font, pixels, text)
        if key not in self.bitmaps:
            raise SystemExit(f"{self.path} holds no {key!r}: "
                             "run generate_images.py --capture-texts")
        return self.bitmaps[key]


class FreeTypeTexts:
    """Text bitmaps rendered by FreeType, kept as they are asked for."""

    def __init__(self):
        self.bitmaps = {}

    def bitmap(self, font, pixels, text):
        face = ImageFont.truetype(str(FONT_DIR / font), pixels)
        left, top, right, bottom = face.getbbox(text)
        mask = Image.new("1", (right - left, bottom - top), 0)
        draw = ImageDraw.Draw(mask)
        draw.fontmode = "1"
        draw.text((-left, -top), text, font=face, fill=1)
        px = mask.load()
        rows = ["".join("#" if px[x, y] else "." for x in range(mask.width))
                for y in range(mask.height)]
        self.bitmaps[text_key(font, pixels, text)] = rows
        return rows

    def json(self):
        about = ("The texts of Ravelle's diagrams, each at each pixel size drawn, "
                 "as FreeType rendered them without anti-aliasing: '#' ink, '.' paper. "
                 "Written by tools/generate_images.py --capture-texts.")
        return json.dumps({"about": about, "bitmaps": self.bitmaps},
                          indent=1, sort_keys=True, ensure_ascii=False) + "\n"


def text_key(font, pixels, text):
    return f"{font} {pixels}px {text}"


def rounded_rect(x0, y0, x1, y1, radii):
    """Inside test for the unit pixels x0..x1, y0..y1 with rounded corners
    (tl, tr, br, bl), taking a point (u, v) in units."""
    corners = (
        (radii[0], x0 + radii[0], y0 + radii[0], -1, -1),
        (radii[1], x1 + 1 - radii[1], y0 + radii[1], 1, -1),
        (radii[2], x1 + 1 - radii[2], y1 + 1 - radii[2], 1, 1),
        (radii[3], x0 + radii[3], y1 + 1 - radii[3], -1, 1),
    )

    def inside(cx, cy):
        if not (x0 <= cx < x1 + 1 and y0 <= cy < y1 + 1):
            return False
        for r, ox, oy, sx, sy in corners:
            if r and (cx - ox) * sx > 0 and (cy - oy) * sy > 0:
                if math.hypot(cx - ox, cy - oy) > r:
                    return False
        return True

    return inside


# ============================================================================
# Port section diagrams
# ============================================================================

def draw_tube(c, tube):
    (top, bottom), (x0, x1) = tube.wall, tube.x
    c.unit_rect(x0, top, x1, bottom, WALL_OUTLINE)
    c.unit_rect(x0 + 1, top + 1, x1 - 1, bottom - 1, WALL_FILL)


def draw_front_panel(c, d):
    x0, x1 = PANEL_X
    top, bottom = d.section_rows
    # The panel beyond the cut: two pale layers running off the image and on
    # behind the cut piece, so that its rounded corners show pale wood.
    behind = top + OUTER_CORNER_R
    for lx0, lx1 in ((x0, PANEL_LAYER_X), (PANEL_LAYER_X, x1)):
        c.shape(rounded_rect(lx0, -1, lx1, behind, (0, 0, 0, 0)),
                (lx0, 0, lx1, behind), PANEL_PALE, d.panel_outline)
    # The cut piece; the mouth corner is where the air turns into the port.
    c.shape(rounded_rect(x0, top, x1, bottom,
                         (OUTER_CORNER_R, OUTER_CORNER_R, 0, MOUTH_CORNER_R)),
            (x0, top, x1, bottom), WOOD_FILL, WOOD_OUTLINE)
    c.unit_rect(PANEL_LAYER_X, top + 1, PANEL_LAYER_X, bottom - 1, WOOD_LAYER)


def draw_plug(c, d):
    x0, x1 = PANEL_X
    top, bottom = d.plug_rows
    c.shape(rounded_rect(x0, top, x1, bottom,
                         (MOUTH_CORNER_R, 0, 0, MOUTH_CORNER_R)),
            (x0, top, x1, bottom), WOOD_FILL, WOOD_OUTLINE)
    c.unit_rect(PANEL_LAYER_X, top + 1, PANEL_LAYER_X, bottom - 1, WOOD_LAYER)


def draw_end_cap(c, d):
    (x0, x1), (top, bottom) = d.cap_x, d.cap_rows
    c.shape(rounded_rect(x0, top, x1, bottom,
                         (0, OUTER_CORNER_R, MOUTH_CORNER_R, 0)),
            (x0, top, x1, bottom), WOOD_FILL, WOOD_OUTLINE)


def draw_centre_line(c, colour):
    # Long dash, gap, dot, gap: the draughtsman's axis line.
    pattern = [1] * 12 + [0] * 2 + [1] * 2 + [0] * 2
    k, axis = c.scale, PORT_MIRROR // 2
    for x in range(k * CENTRE_LINE[0], k * (CENTRE_LINE[1] + 1)):
        if not pattern[(x // k - CENTRE_LINE[0]) % len(pattern)]:
            continue
        for y in range(k * axis, k * (axis + 1)):
            if c.get(x, y) == c.index[WHITE]:
                c.set(x, y, colour)


def mirror_lower_half(c):
    # About the middle of the axis row: device rows y and (PORT_MIRROR + 1) k - 1 - y.
    last = (PORT_MIRROR + 1) * c.scale - 1
    for y in range((PORT_MIRROR // 2 + 1) * c.scale, c.height):
        for x in range(c.width):
            c.px[x, y] = c.px[x, last - y]


def draw_port(d, extra_colours, scale, texts):
    c = Canvas(PORT_SIZE, [WALL_OUTLINE, WALL_FILL, WOOD_FILL, WOOD_OUTLINE,
                           WOOD_LAYER, PANEL_PALE, d.panel_outline, *extra_colours], scale, texts)
    draw_front_panel(c, d)
    draw_plug(c, d)
    draw_end_cap(c, d)
    for tube in d.tubes:
        draw_tube(c, tube)
    mirror_lower_half(c)
    draw_centre_line(c, d.panel_outline)
    return c


def draw_dimension(c):
    x0, x1 = DIM_X
    k, row = c.scale, DIM_ROW * c.scale
    c.unit_rect(x0, DIM_ROW, x1, DIM_ROW, DIMENSION_GREY)
    c.unit_rect(x1, DIM_TICK_ROWS[0], x1, DIM_TICK_ROWS[1], DIMENSION_GREY)
    # Arrowheads widen by one pixel every three, whatever the pixel size.
    for i in range(DIM_ARROW_LEN * k):
        half = (i + 1) // 3
        c.fill_rect(k * x0 + i, row - half, k * x0 + i, row + k - 1 + half, DIMENSION_GREY)
        c.fill_rect(k * (x1 + 1) - 1 - i, row - half, k * (x1 + 1) - 1 - i, row + k - 1 + half,
                    DIMENSION_GREY)
    # The word sits on the line, in a gap as wide as the word.
    mid = (x0 + x1 + 1) / 2
    half_gap = c.text_width(DIM_TEXT, DIM_FONT) / 2 + 3 * k
    c.fill_rect(round(mid * k - half_gap), row, round(mid * k + half_gap) - 1, row + k - 1, WHITE)
    c.text((mid, DIM_ROW + 0.5), DIM_TEXT, DIM_FONT, DIMENSION_GREY)


def draw_tube_numbers(c, tubes):
    r = NUMBER_RADIUS
    for number, (tube, cx) in enumerate(zip(tubes, NUMBER_X), start=1):
        cy = tube.wall[0] + 2            # middle of the wall's two fill rows

        def inside(u, v, cx=cx, cy=cy):
            return math.hypot(u - cx, v - cy) <= r

        c.shape(inside, (cx - r, cy - r, cx + r, cy + r), WHITE, CIRCLE_DARK_RED)
        c.text((cx, cy), str(number), NUMBER_FONT, DIGIT_RED)


def port_3tube(scale, texts):
    c = draw_port(PORT_3TUBE, [DIMENSION_GREY], scale, texts)
    draw_dimension(c)
    return c


def port_5tube(scale, texts):
    c = draw_port(PORT_5TUBE, [DIGIT_RED, CIRCLE_DARK_RED], scale, texts)
    draw_tube_numbers(c, PORT_5TUBE.tubes)
    return c


# ============================================================================
# Ring diagrams
# ============================================================================

def ring_angle(dx, dy):
    """Screen angle of an offset, degrees counter-clockwise from 3 o'clock."""
    return math.degrees(math.atan2(-dy, dx)) % 360.0


def radial_line(c, angle, r0, r1, colour):
    """A connected line one unit wide along the radius at angle, from r0 to r1:
    a square brush of one unit stepped along it."""
    k, (cx, cy) = c.scale, RING_CENTRE
    ux, uy = math.cos(math.radians(angle)), -math.sin(math.radians(angle))
    r0, r1 = r0 + 0.5, r1 - 0.5          # brush centres inside the layer
    steps = int((r1 - r0) * 4 * k)
    for i in range(steps + 1):
        r = r0 + (r1 - r0) * i / steps
        # The brush's top left corner, on the nearest pixel boundary.
        x, y = math.floor((cx + r * ux) * k + 0.5), math.floor((cy + r * uy) * k + 0.5)
        c.fill_rect(x, y, x + k - 1, y + k - 1, colour)


def draw_ring(outer_strip, inner_strip, scale=1):
    c = Canvas(RING_SIZE, [WALL_OUTLINE, WALL_FILL, STRIP_GREEN], scale)
    cx, cy = RING_CENTRE[0] + 0.5, RING_CENTRE[1] + 0.5

    def radius(u, v):
        return math.hypot(u - cx, v - cy)

    def pixels():                        # device pixels with their centres in units
        for y in range(c.height):
            for x in range(c.width):
                yield x, y, (x + 0.5) / scale, (y + 0.5) / scale

    # Both layers as one outlined band, then the line where they meet, so
    # every boundary is a single unit wide.
    c.shape(lambda u, v: RING_INNER < radius(u, v) <= RING_OUTER,
            (0, 0, RING_SIZE[0] - 1, RING_SIZE[1] - 1), WALL_FILL, WALL_OUTLINE)
    for x, y, u, v in pixels():
        if RING_MIDDLE - 1 < radius(u, v) <= RING_MIDDLE:
            c.set(x, y, WALL_OUTLINE)
    layers = (
        # (inner radius, outer radius, seam angle, strip or None)
        (RING_MIDDLE, RING_OUTER, OUTER_SEAM, OUTER_STRIP if outer_strip else None),
        (RING_INNER, RING_MIDDLE, INNER_SEAM, INNER_STRIP if inner_strip else None),
    )
    for r0, r1, seam, strip in layers:
        if strip:
            for x, y, u, v in pixels():
                if (r0 < radius(u, v) <= r1 and c.get(x, y) == c.index[WALL_FILL]
                        and strip[0] <= ring_angle(u - cx, v - cy) <= strip[1]):
                    c.set(x, y, STRIP_GREEN)
        # The seam, and the strip's far joint where there is one.
        for angle in (seam, strip[1]) if strip else (seam,):
            radial_line(c, angle, r0, r1, WALL_OUTLINE)
    return c


# ============================================================================
# Application icon
# ============================================================================

def icon_rects(size):
    """The bar chart at size x size pixels, as (x0, y0, x1, y1, palette index)
    rectangles (end exclusive) painted in order.

    Areas scale with the size; lines stay thin (1 px up to 64 px, then the
    axes grow to 4 px and the grid to 2 px at 256), so every size is drawn
    rather than enlarged. At 32 px the rectangles cover whole grid cells.
    """
    s = size / ICON_UNITS
    axis_w, grid_w = max(1, round(size / 64)), max(1, round(size / 128))

    def edge(units):
        return math.floor(units * s + 0.5)

    def line(cell, width):                # a line centred on a grid cell
        start = math.floor((cell + 0.5) * s - width / 2 + 0.5)
        return start, start + width

    ax0, ax1 = line(ICON_AXIS_X, axis_w)
    ay0, ay1 = line(ICON_AXIS_Y, axis_w)
    top = line(ICON_GRID_ROWS[0], grid_w)[0]
    right = line(ICON_GRID_COLS[-1], grid_w)[1]
    rects = [(ax1, top, right, ay0, ICON_WHITE)]
    rects += [(ax1, y0, right, y1, ICON_LIGHT_GREY)
              for y0, y1 in (line(row, grid_w) for row in ICON_GRID_ROWS)]
    rects += [(x0, top, x1, ay0, ICON_LIGHT_GREY)
              for x0, x1 in (line(col, grid_w) for col in ICON_GRID_COLS)]
    rects += [(edge(x0), edge(bar_top), max(edge(x0 + w), edge(x0) + 1), ay0, colour)
              for x0, w, bar_top, colour in ICON_BARS]
    rects.append((ax0, top, ax1, ay1, ICON_BLACK))
    rects.append((ax0, ay0, right, ay1, ICON_BLACK))
    for col in ICON_TICK_COLS:
        x0 = min(line(col, axis_w)[0], right - axis_w)
        rects.append((x0, ay0, x0 + axis_w, edge(ICON_TICK_BOTTOM + 1), ICON_BLACK))
    return rects


def icon_raster(size):
    """Palette indices row by row, None where the icon is transparent."""
    cells = [[None] * size for _ in range(size)]
    for x0, y0, x1, y1, colour in icon_rects(size):
        for y in range(y0, y1):
            cells[y][x0:x1] = [colour] * (x1 - x0)
    return cells


def icon_cells():
    return icon_raster(ICON_UNITS)


def icon_image_bytes(cells):
    """The icon image as an icon resource holds it: BITMAPINFOHEADER, palette,
    4-bpp colour rows and the 1-bpp transparency mask, both bottom-up."""
    n = len(cells)
    colour_rows, mask_rows = [], []
    for row in reversed(cells):
        nibbles = [0 if v is None else v for v in row]
        colour_rows.append(bytes((nibbles[i] << 4) | nibbles[i + 1]
                                 for i in range(0, n, 2)))
        bits = "".join("1" if v is None else "0" for v in row)
        mask = int(bits, 2).to_bytes(n // 8, "big")
        mask_rows.append(mask + b"\0" * (-len(mask) % 4))
    bitmaps = b"".join(colour_rows) + b"".join(mask_rows)
    # The height counts the colour rows and the mask rows together.
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, len(bitmaps), 0, 0, 0, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    return header + palette + bitmaps


def ico_bytes(cells):
    image = icon_image_bytes(cells)
    n = len(cells)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def icon_png(size):
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    px = image.load()
    for y, row in enumerate(icon_raster(size)):
        for x, colour in enumerate(row):
            if colour is not None:
                px[x, y] = VGA16[colour] + (255,)
    return image


def icon_svg():
    size = max(ICON_PNG_SIZES)
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
             f'viewBox="0 0 {size} {size}" shape-rendering="crispEdges" stroke="none">']
    for x0, y0, x1, y1, colour in icon_rects(size):
        r, g, b = VGA16[colour]
        parts.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" '
                     f'fill="#{r:02x}{g:02x}{b:02x}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


# ============================================================================

def png_bytes(image):
    out = BytesIO()
    image.save(out, "PNG", optimize=False)
    return out.getvalue()


def scaled_name(name, scale):
    """port_3tube.gif at 2x is port_3tube@2x.gif, the name Qt knows as 2x."""
    if scale == 1:
        return name
    stem, dot, suffix = name.rpartition(".")
    return f"{stem}@{scale}x{dot}{suffix}"


def all_outputs(texts):
    """Relative path -> file contents, for every generated file; texts gives
    the bitmaps of the diagrams' texts (StoredTexts or FreeTypeTexts)."""
    outputs = {}
    for k in DIAGRAM_SCALES:
        outputs[scaled_name(PORT_3TUBE.name, k)] = port_3tube(k, texts).gif_bytes()
        outputs[scaled_name(PORT_5TUBE.name, k)] = port_5tube(k, texts).gif_bytes()
        for name, outer, inner in RING_IMAGES:
            outputs[scaled_name(name, k)] = draw_ring(outer, inner, k).gif_bytes()
    outputs["ravelle.ico"] = ico_bytes(icon_cells())
    for n in ICON_PNG_SIZES:
        outputs[f"icons/hicolor/{n}x{n}/apps/{APP_ID}.png"] = png_bytes(icon_png(n))
    outputs[f"icons/hicolor/scalable/apps/{APP_ID}.svg"] = icon_svg().encode()
    return outputs


def main(argv):
    args = argv[1:]
    if args[:1] == ["--capture-texts"] and len(args) <= 2:
        # Every text that the diagrams draw, and only those: drawing them all
        # asks for each one.
        texts = FreeTypeTexts()
        all_outputs(texts)
        Path(args[1] if len(args) == 2 else TEXT_BITMAPS).write_text(texts.json(), encoding="utf-8")
        return 0
    if len(args) > 1 or (args and args[0].startswith("-")):
        sys.stderr.write(__doc__)
        return 2
    out_dir = Path(args[0]) if args else REPO / "resources"
    for rel, data in all_outputs(StoredTexts()).items():
        path = out_dir / rel
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
