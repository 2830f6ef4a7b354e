#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Ravelle developers
"""Checks the committed diagrams and icons, the Windows resource script and
the desktop identity files against the facts they must show.

Run with Debian's interpreter: /usr/bin/python3 tests/resources/test_images.py
"""

import functools
import itertools
import json
import math
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

from PIL import Image, ImageChops

ROOT = Path(os.environ.get("RAVELLE_SOURCE_DIR", Path(__file__).resolve().parents[2]))
RES, APP = ROOT / "resources", ROOT / "app"
APP_ID = "org.ravelle.Ravelle"
GIFS = {"port_3tube.gif": (246, 200), "port_5tube.gif": (246, 200),
        "ring_plain.gif": (105, 104), "ring_outer_strip.gif": (105, 104),
        "ring_both_strips.gif": (105, 104)}
# Every diagram is drawn for screens of 1, 2 and 3 device pixels per pixel.
SCALES = (1, 2, 3)

WHITE, OUTLINE, FILL = (255, 255, 255), (49, 66, 255), (173, 214, 231)
WOOD, WOOD_EDGE, WOOD_LAYER = (255, 231, 189), (173, 107, 0), (255, 206, 115)
PALE, GREY, GREEN = (255, 247, 239), (144, 144, 144), (0, 196, 37)
DIGIT_RED, CIRCLE_RED = (247, 8, 0), (173, 0, 0)
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def scaled(name, k):
    return name if k == 1 else name.replace(".gif", f"@{k}x.gif")


@functools.lru_cache(maxsize=None)
def rgb(name, k=1):
    with Image.open(RES / scaled(name, k)) as im:
        return im.convert("RGB")


class Scaled:
    """An image drawn at scale k, read at the pixel coordinates of the 1x image:
    each pixel is sampled at its centre."""

    def __init__(self, name, k):
        self.im, self.k = rgb(name, k), k

    def getpixel(self, xy):
        k = self.k
        return self.im.getpixel((xy[0] * k + k // 2, xy[1] * k + k // 2))


def mirror(row):
    return 202 - row        # the port axis is row 101


class Reproducible(unittest.TestCase):
    def test_generator_reproduces_committed_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, str(ROOT / "tools/generate_images.py"), tmp],
                           check=True)
            made = sorted(p.relative_to(tmp) for p in Path(tmp).rglob("*") if p.is_file())
            self.assertIn(Path("ravelle.ico"), made)
            self.assertEqual({p.name for p in made if p.suffix == ".gif"},
                             {scaled(n, k) for n in GIFS for k in SCALES})
            for rel in made:
                with self.subTest(file=str(rel)):
                    new, old = content(Path(tmp) / rel), content(RES / rel)
                    for fact, value in old.items():
                        self.assertEqual(new[fact], value, fact)

    @unittest.skipUnless(Path("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf").exists(),
                         "fonts-dejavu-core missing")
    def test_capture_renders_the_texts_drawn(self):
        # Every text at every size the diagrams draw, cropped as stored; the
        # pixels inside may differ by FreeType's hinting.
        with tempfile.TemporaryDirectory() as tmp:
            out = Path(tmp) / "texts.json"
            subprocess.run([sys.executable, str(ROOT / "tools/generate_images.py"),
                            "--capture-texts", str(out)], check=True)
            captured, stored = (json.loads(path.read_text(encoding="utf-8"))["bitmaps"]
                                for path in (out, ROOT / "tools/text_bitmaps.json"))
        self.assertEqual(sorted(captured), sorted(stored))
        for key, rows in stored.items():
            new = captured[key]
            self.assertEqual((len(new[0]), len(new)), (len(rows[0]), len(rows)), key)


def content(path):
    """What a file holds, without what another encoder may write differently:
    a GIF's version, size, palette, blocks and palette indices, a PNG's header
    (depth, colour type, interlacing) and pixels, and any other file's bytes."""
    data = path.read_bytes()
    if path.suffix not in (".gif", ".png"):
        return {"bytes": data}
    with Image.open(path) as im:
        facts = {"mode": im.mode, "size": im.size, "pixels": im.tobytes()}
    if path.suffix == ".gif":
        flags = data[10]
        palette = data[13:13 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)]
        facts.update(version=data[:6], palette=palette, blocks=gif_blocks(data))
    else:
        facts.update(header=data[:33])      # the signature and the IHDR chunk
    return facts


def gif_blocks(data):
    """(images, transparent) of a GIF, walking its blocks after the global palette."""
    flags = data[10]
    pos, images, transparent = 13 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0), 0, False
    while data[pos] != 0x3B:
        if data[pos] == 0x21:
            if data[pos + 1] == 0xF9:
                transparent |= bool(data[pos + 3] & 1)
            pos += 2
        else:
            images += 1
            local = data[pos + 9]
            pos += 10 + (3 << ((local & 7) + 1) if local & 0x80 else 0) + 1
        while data[pos]:
            pos += data[pos] + 1
        pos += 1
    return images, transparent


class GifFormat(unittest.TestCase):
    def test_every_gif(self):
        for name, (w, h) in GIFS.items():
            for k in SCALES:
                with self.subTest(gif=scaled(name, k)):
                    data = (RES / scaled(name, k)).read_bytes()
                    self.assertEqual(data[:6], b"GIF89a")
                    self.assertEqual(struct.unpack("<HH", data[6:10]), (w * k, h * k))
                    self.assertTrue(data[10] & 0x80, "global palette")
                    self.assertLessEqual(2 << (data[10] & 7), 16)
                    self.assertEqual(gif_blocks(data), (1, False))
                    im = rgb(name, k)
                    for corner in ((0, 0), (w * k - 1, 0), (0, h * k - 1), (w * k - 1, h * k - 1)):
                        self.assertEqual(im.getpixel(corner), WHITE, corner)
                    self.assertEqual({c for _, c in im.getcolors()}, {c for _, c in rgb(name).getcolors()})

    def test_finer_images_are_drawn_not_enlarged(self):
        # The same drawing: nearly every pixel as in the 1x image enlarged.
        # Drawn afresh: curves, arrowheads and letters show detail finer than
        # one 1x pixel, which an enlargement never has.
        for name, (w, h) in GIFS.items():
            for k in SCALES[1:]:
                with self.subTest(gif=scaled(name, k)):
                    im = rgb(name, k)
                    enlarged = rgb(name).resize(im.size, Image.NEAREST)
                    r, g, b = ImageChops.difference(im, enlarged).split()
                    same = ImageChops.lighter(ImageChops.lighter(r, g), b).histogram()[0]
                    self.assertGreater(same / (w * h * k * k), 0.95)
                    px = im.load()
                    finer = sum(len({px[x * k + i, y * k + j] for i in range(k) for j in range(k)}) > 1
                                for y in range(h) for x in range(w))
                    self.assertGreater(finer, 100)


class PortDiagrams(unittest.TestCase):
    # (image, upper wall's outline rows, x range), per tube
    WALLS = [
        ("port_3tube.gif", (49, 52), (22, 217)), ("port_3tube.gif", (62, 65), (22, 182)),
        ("port_3tube.gif", (80, 83), (61, 217)),
        ("port_5tube.gif", (27, 30), (23, 220)), ("port_5tube.gif", (38, 41), (23, 194)),
        ("port_5tube.gif", (49, 52), (53, 220)), ("port_5tube.gif", (62, 65), (23, 185)),
        ("port_5tube.gif", (80, 83), (62, 220)),
    ]

    def test_walls_only_within_their_x_range(self):
        for (name, (top, bottom), (x0, x1)), k in itertools.product(self.WALLS, SCALES):
            im = Scaled(name, k)
            for rows in ((top, bottom), (mirror(bottom), mirror(top))):
                r0, r1 = rows
                with self.subTest(image=scaled(name, k), rows=rows):
                    for x in (x0, x1):     # end outlines span the wall
                        self.assertEqual([im.getpixel((x, y)) for y in range(r0, r1 + 1)],
                                         [OUTLINE] * 4, x)
                    for x in (x0 + 1, x0 + 6, x1 - 1):
                        self.assertEqual([im.getpixel((x, y)) for y in range(r0, r1 + 1)],
                                         [OUTLINE, FILL, FILL, OUTLINE], x)
                    for x in (x0 - 1, x1 + 1):
                        for y in (r0 + 1, r0 + 2):
                            self.assertNotIn(im.getpixel((x, y)), (OUTLINE, FILL), (x, y))

    # image: [(pixel, colour)]. Each wooden part is sampled inside and on both
    # sides of each stated edge, so a part drawn too big or too small fails.
    SAMPLES = {
        "port_3tube.gif": [
            # plug, x 12-32, rows 62-140, with its layer line
            ((16, 100), WOOD), ((27, 75), WOOD), ((22, 100), WOOD_LAYER),
            ((12, 100), WOOD_EDGE), ((11, 100), WHITE), ((32, 100), WOOD_EDGE),
            ((33, 100), WHITE), ((16, 62), WOOD_EDGE), ((16, 61), WHITE),
            ((16, 140), WOOD_EDGE), ((16, 141), WHITE),
            # end cap, x 207-227, rows 49-83 and 119-153, bore open between
            ((222, 66), WOOD), ((222, 136), WOOD), ((207, 70), WOOD_EDGE), ((206, 70), WHITE),
            ((227, 66), WOOD_EDGE), ((228, 66), WHITE), ((219, 49), WOOD_EDGE),
            ((219, 48), WHITE), ((219, 83), WOOD_EDGE), ((219, 84), WHITE),
            ((219, 119), WOOD_EDGE), ((219, 118), WHITE), ((219, 153), WOOD_EDGE),
            ((219, 154), WHITE),
            # front panel cut at rows 20-52 and 150-182, pale beyond; mouth; passages
            ((16, 36), WOOD), ((22, 36), WOOD_LAYER), ((16, 52), WOOD_EDGE), ((16, 53), WHITE),
            ((22, 20), WOOD_EDGE), ((16, 150), WOOD_EDGE), ((16, 149), WHITE),
            ((22, 182), WOOD_EDGE), ((16, 5), PALE), ((12, 5), (213, 209, 209)),
            ((16, 195), PALE), ((16, 57), WHITE), ((195, 73), WHITE), ((45, 90), WHITE),
        ],
        "port_5tube.gif": [
            # plug, x 12-32, rows 38-164
            ((16, 100), WOOD), ((27, 45), WOOD), ((22, 100), WOOD_LAYER),
            ((32, 100), WOOD_EDGE), ((33, 100), WHITE), ((16, 38), WOOD_EDGE),
            ((16, 37), WHITE), ((16, 164), WOOD_EDGE), ((16, 165), WHITE),
            # end cap, x 211-231, rows 27-83 and 119-175
            ((226, 55), WOOD), ((226, 147), WOOD), ((211, 60), WOOD_EDGE), ((210, 60), WHITE),
            ((231, 60), WOOD_EDGE), ((232, 60), WHITE), ((222, 27), WOOD_EDGE),
            ((222, 26), WHITE), ((222, 83), WOOD_EDGE), ((222, 84), WHITE),
            ((222, 175), WOOD_EDGE), ((222, 176), WHITE),
            # corners of the front panel, pale beyond
            ((16, 30), WOOD_EDGE), ((16, 31), WHITE), ((16, 3), PALE),
            ((12, 3), (214, 214, 214)), ((16, 198), PALE),
        ],
    }

    def test_wooden_parts_gaps_and_panel(self):
        for (name, samples), k in itertools.product(self.SAMPLES.items(), SCALES):
            for xy, colour in samples:
                with self.subTest(image=scaled(name, k), pixel=xy):
                    self.assertEqual(Scaled(name, k).getpixel(xy), colour)

    def test_length_dimension_only_in_3tube(self):
        for k in SCALES:
            im = Scaled("port_3tube.gif", k)
            for xy, colour in [((34, 188), GREY), ((50, 188), GREY), ((215, 188), GREY),
                               ((227, 182), GREY), ((227, 192), GREY), ((227, 181), WHITE),
                               ((227, 193), WHITE), ((228, 188), WHITE), ((32, 188), (213, 209, 209))]:
                self.assertEqual(im.getpixel(xy), colour, (k, xy))
        im = rgb("port_3tube.gif")
        arrows = [sum(im.getpixel((x, y)) == GREY for y in range(184, 193)) for x in (38, 222)]
        self.assertTrue(all(n >= 3 for n in arrows), arrows)
        word = [(x, y) for x in range(100, 161) for y in range(180, 197)
                if y != 188 and im.getpixel((x, y)) == GREY]
        self.assertGreater(len(word), 40, "the word Length")
        self.assertLess(abs(sum(x for x, _ in word) / len(word) - 130), 4)
        for k in SCALES:
            self.assertNotIn(GREY, [c for _, c in rgb("port_5tube.gif", k).getcolors()])

    def test_tube_numbers_climb_the_upper_walls(self):
        im = rgb("port_5tube.gif")
        rings = [(x, y) for x in range(246) for y in range(200) if im.getpixel((x, y)) == CIRCLE_RED]
        for n, (wall_top, cx) in enumerate(zip((80, 62, 49, 38, 27), (93, 113, 133, 154, 174)), 1):
            with self.subTest(tube=n):
                near = [(x, y) for x, y in rings if abs(x - cx) <= 9 and abs(y - wall_top - 1.5) <= 9]
                xs, ys = [x for x, _ in near], [y for _, y in near]
                self.assertGreater(len(near), 30)
                self.assertLessEqual(abs(sum(xs) / len(xs) - cx), 3)
                self.assertLessEqual(abs(sum(ys) / len(ys) - (wall_top + 1.5)), 1)
                self.assertIn(max(xs) - min(xs) + 1, range(14, 19))
                digit = [im.getpixel((x, y)) == DIGIT_RED for x in range(min(xs), max(xs))
                         for y in range(min(ys), max(ys))]
                self.assertGreater(sum(digit), 8)
        self.assertEqual(len(rings), sum(1 for x, y in rings if y < 92), "circles only on upper walls")


def ring_pixel(im, radius, degrees):
    """The pixel at radius and angle from the ring's centre, in 1x pixels."""
    a = math.radians(degrees)       # counter-clockwise on screen from 3 o'clock
    return im.getpixel((round(52 + radius * math.cos(a)), round(51 - radius * math.sin(a))))


class RingDiagrams(unittest.TestCase):
    OUTER, INNER = 47, 40           # mid-radius of each layer
    # image: (outer strip?, inner strip?)
    RINGS = {"ring_plain.gif": (False, False), "ring_outer_strip.gif": (True, False),
             "ring_both_strips.gif": (True, True)}

    def test_layers_seams_and_strips(self):
        for (name, (outer, inner)), k in itertools.product(self.RINGS.items(), SCALES):
            im = Scaled(name, k)
            with self.subTest(ring=scaled(name, k)):
                for xy, colour in [((52, 51), WHITE), ((82, 51), WHITE), ((102, 51), OUTLINE),
                                   ((103, 51), WHITE), ((95, 51), OUTLINE), ((89, 51), OUTLINE),
                                   ((88, 51), WHITE), ((2, 51), OUTLINE), ((52, 0), WHITE),
                                   ((52, 11), OUTLINE), ((52, 98), OUTLINE)]:
                    self.assertEqual(im.getpixel(xy), colour, xy)
                for deg in (0, 45, 180, 225):
                    self.assertEqual(ring_pixel(im, self.OUTER, deg), FILL, deg)
                    self.assertEqual(ring_pixel(im, self.INNER, deg), FILL, deg)
                # outer strip: 6 o'clock towards 5 o'clock, about 34 degrees
                for deg in (273, 288, 301):
                    self.assertEqual(ring_pixel(im, self.OUTER, deg), GREEN if outer else FILL, deg)
                for deg in (265, 310):
                    self.assertEqual(ring_pixel(im, self.OUTER, deg), FILL, deg)
                # inner strip: 12 o'clock towards half past 10, about 44 degrees
                for deg in (93, 112, 130):
                    self.assertEqual(ring_pixel(im, self.INNER, deg), GREEN if inner else FILL, deg)
                for deg in (85, 141):
                    self.assertEqual(ring_pixel(im, self.INNER, deg), FILL, deg)
                greens = sum(n for n, c in im.im.getcolors() if c == GREEN)
                self.assertEqual(greens > 0, outer or inner)


def read_ico(data):
    """(entry fields, 32 x 32 colours with None where the mask is set, image bytes)."""
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert (reserved, kind, count) == (0, 1, 1), (reserved, kind, count)
    entry = struct.unpack_from("<BBBBHHII", data, 6)
    image = data[entry[7]:entry[7] + entry[6]]
    size, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", image)
    assert (size, w, h, planes, bpp, compression) == (40, 32, 64, 1, 4, 0)
    palette = [tuple(image[40 + 4 * i:43 + 4 * i][::-1]) for i in range(16)]
    xor, mask = image[104:104 + 512], image[616:616 + 128]
    assert len(mask) == 128, "transparency mask missing"
    pixels = []
    for row in range(31, -1, -1):          # stored bottom-up
        out = []
        for x in range(32):
            index = (xor[row * 16 + x // 2] >> (4 if x % 2 == 0 else 0)) & 15
            masked = mask[row * 4 + x // 8] >> (7 - x % 8) & 1
            out.append(None if masked else palette[index])
            assert not masked or index == 0, "transparent pixels keep colour 0"
        pixels.append(out)
    return entry, palette, pixels, image


class Icon(unittest.TestCase):
    def setUp(self):
        self.entry, self.palette, self.px, _ = read_ico((RES / "ravelle.ico").read_bytes())

    def test_format(self):
        self.assertEqual(self.entry[:6], (32, 32, 16, 0, 1, 4))
        self.assertEqual(self.palette, VGA16)

    def test_bar_chart(self):
        px = self.px
        axis_x = next(x for x in range(32) if px[16][x] == (0, 0, 0))
        axis_y = next(y for y in range(31, -1, -1) if px[y][16] == (0, 0, 0)
                      and px[y - 1][16] != (0, 0, 0))
        self.assertTrue(all(px[y][x] is None for y in range(32) for x in range(axis_x)))
        self.assertIsNone(px[0][0])
        below = [px[y][x] for y in range(axis_y + 1, 32) for x in range(32)]
        self.assertTrue(all(c in (None, (0, 0, 0)) for c in below))
        ticks = {x for x in range(axis_x + 1, 32) if px[axis_y + 1][x] == (0, 0, 0)}
        self.assertGreaterEqual(len(ticks), 3)
        self.assertIn(None, below)
        bars = []
        for x in range(axis_x + 1, 32):
            c = px[axis_y - 1][x]
            if c not in ((255, 255, 255), (192, 192, 192)) and (not bars or bars[-1] != c):
                bars.append(c)
        self.assertEqual(bars, [(255, 0, 0), (0, 0, 255), (255, 0, 255), (0, 128, 0)])
        field = [c for row in px[:axis_y] for c in row[axis_x + 1:]]
        self.assertGreater(field.count((255, 255, 255)), 50)
        self.assertGreater(field.count((192, 192, 192)), 30, "grid lines")

    def test_desktop_renderings(self):
        for n in (16, 32, 48, 64, 128, 256):
            with self.subTest(size=n):
                with Image.open(RES / f"icons/hicolor/{n}x{n}/apps/{APP_ID}.png") as png:
                    im = png.convert("RGBA")
                self.assertEqual(im.size, (n, n))
                self.assertEqual(im.getpixel((0, 0))[3], 0)
                colours = {c[:3] for _, c in im.getcolors(n * n) if c[3] == 255}
                self.assertLessEqual({(255, 0, 0), (0, 0, 255), (255, 0, 255), (0, 128, 0)}, colours)
        # drawn at its size, not enlarged: the axis stays 4 px wide at 256 (8 if scaled up)
        with Image.open(RES / f"icons/hicolor/256x256/apps/{APP_ID}.png") as png:
            big = png.convert("RGBA")
        axis = [x for x in range(64) if big.getpixel((x, 128)) == (0, 0, 0, 255)]
        self.assertIn(len(axis), range(2, 5))
        svg = ET.parse(RES / f"icons/hicolor/scalable/apps/{APP_ID}.svg").getroot()
        self.assertEqual(svg.tag, "{http://www.w3.org/2000/svg}svg")


def read_res(data):
    """{(type, name): (language, bytes)} of a .res file with numeric ids."""
    out, pos = {}, 0
    while pos < len(data):
        size, header = struct.unpack_from("<II", data, pos)
        ffff_t, rtype, ffff_n, name = struct.unpack_from("<HHHH", data, pos + 8)
        assert ffff_t == ffff_n == 0xFFFF, "numeric ids only"
        language = struct.unpack_from("<H", data, pos + 22)[0]
        if size:
            out[(rtype, name)] = (language, data[pos + header:pos + header + size])
        pos += (header + size + 3) & ~3
    return out


def version_tree(data, pos=0):
    """(key, value bytes, children) of a VS_VERSIONINFO node."""
    length, value_len, kind = struct.unpack_from("<HHH", data, pos)
    end, key_end = pos + length, data.index(b"\0\0", pos + 6)
    while (key_end - pos - 6) % 2:
        key_end = data.index(b"\0\0", key_end + 1)
    key = data[pos + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_len * 2 if kind == 1 else value_len
    child, children = (value_at + value_size + 3) & ~3, []
    while child < end:
        node, child_end = version_tree(data, child)
        children.append(node)
        child = (child_end + 3) & ~3
    return (key, data[value_at:value_at + value_size], children), end


def fixed_info(data):
    at = data.index(struct.pack("<I", 0xFEEF04BD))
    return struct.unpack_from("<13I", data, at)


WINDRES = shutil.which("x86_64-w64-mingw32-windres")
# The resource script as the build writes it (CTest passes its path).
RC = os.environ.get("RAVELLE_RESOURCE_SCRIPT")


@unittest.skipUnless(WINDRES and RC, "needs x86_64-w64-mingw32-windres and RAVELLE_RESOURCE_SCRIPT")
class ResourceScript(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        tmp = Path(cls.tmp.name)
        assert not re.search(r"@\w+@", Path(RC).read_text()), "a variable left unset"
        pre = [] if shutil.which("x86_64-w64-mingw32-gcc") else ["--preprocessor=cpp"]
        outputs = {}
        for fmt in ("res", "coff"):
            out = tmp / f"ravelle.{fmt}"
            subprocess.run([WINDRES, *pre, "-O", fmt, RC, str(out)], check=True)
            outputs[fmt] = out.read_bytes()
        cls.res, cls.coff = read_res(outputs["res"]), outputs["coff"]

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_icon_group_1_holds_image_30001(self):
        icons = {key for key in self.res if key[0] in (3, 14)}
        self.assertEqual(icons, {(3, 30001), (14, 1)})
        image = read_ico((RES / "ravelle.ico").read_bytes())[3]
        self.assertEqual(self.res[(3, 30001)][1], image, "the icon resource is not ravelle.ico's image")
        group = self.res[(14, 1)][1]
        self.assertEqual(struct.unpack("<HHHBBBBHHIH", group),
                         (0, 1, 1, 32, 32, 16, 0, 1, 4, len(image), 30001))

    def test_version_block(self):
        language, data = self.res[(16, 1)]
        self.assertEqual(language, 0x0409)
        for blob in (data, self.coff):
            self.assertEqual(fixed_info(blob), (0xFEEF04BD, 0x00010000, 0x00010006, 0, 0x00010006,
                                                0, 0, 0, 0x4, 0x1, 0, 0, 0))
        (key, _, children), _ = version_tree(data)
        self.assertEqual(key, "VS_VERSION_INFO")
        blocks = {child[0]: child for child in children}
        self.assertEqual(set(blocks), {"StringFileInfo", "VarFileInfo"})
        tables = blocks["StringFileInfo"][2]
        self.assertEqual([t[0] for t in tables], ["040904B0"])
        strings = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in tables[0][2]}
        self.assertEqual(strings, {
            "CompanyName": "Ravelle developers", "FileDescription": "Ravelle Port Calculator",
            "ProductName": "Ravelle", "FileVersion": "1.06", "ProductVersion": "1.06",
            "InternalName": "ravelle", "OriginalFilename": "ravelle.exe"})
        translation = blocks["VarFileInfo"][2]
        self.assertEqual([(k, v) for k, v, _ in translation],
                         [("Translation", struct.pack("<HH", 0x0409, 0x04B0))])
        for text in ("Ravelle Port Calculator", "1.06", "ravelle.exe"):
            self.assertIn(text.encode("utf-16-le"), self.coff)


class DesktopIdentity(unittest.TestCase):
    def run_tool(self, *cmd):
        result = subprocess.run(cmd, capture_output=True, text=True)
        return result.returncode, result.stdout + result.stderr

    @staticmethod
    def desktop_text():
        """The desktop file as installed under /usr: the page's path filled in."""
        return (APP / f"{APP_ID}.desktop.in").read_text().replace(
            "@RAVELLE_PAGE@", "/usr/share/ravelle/vent-proof-adv.htm")

    @unittest.skipUnless(shutil.which("desktop-file-validate"), "desktop-file-utils missing")
    def test_desktop_file_validates(self):
        with tempfile.TemporaryDirectory() as folder:
            desktop = Path(folder) / f"{APP_ID}.desktop"
            desktop.write_text(self.desktop_text())
            code, out = self.run_tool("desktop-file-validate", str(desktop))
        self.assertEqual((code, out.strip()), (0, ""))

    @unittest.skipUnless(shutil.which("appstreamcli"), "appstream missing")
    def test_metainfo_validates(self):
        code, out = self.run_tool("appstreamcli", "validate", "--pedantic", "--no-net",
                                  str(APP / f"{APP_ID}.metainfo.xml"))
        self.assertEqual(code, 0, out)
        self.assertFalse([l for l in out.splitlines() if l[:2] in ("E:", "W:")], out)
        # The remarks we keep, each for a reason: the id is the one of the
        # desktop file and the icons; <developer> is for AppStream 1.0 readers,
        # beside <developer_name> for the 0.16 of Debian 12.
        kept = {f"P: cid-contains-uppercase-letter {APP_ID}", "I: unknown-tag developer"}
        remarks = {f"{kind}: {what}" for kind, what in
                   re.findall(r"^([PI]): \S+ (.*?)\s*$", out, re.MULTILINE)}
        self.assertLessEqual(remarks, kept, out)

    def test_one_id_everywhere(self):
        main_group = self.desktop_text().split("\n[Desktop Action")[0]
        entry = dict(l.split("=", 1) for l in main_group.splitlines() if "=" in l and not l.startswith("#"))
        self.assertEqual((entry["Icon"], entry["Exec"]), (APP_ID, "ravelle"))
        meta = ET.parse(APP / f"{APP_ID}.metainfo.xml").getroot()
        self.assertEqual(meta.findtext("id"), APP_ID)
        self.assertEqual(meta.findtext("launchable"), f"{APP_ID}.desktop")
        self.assertEqual(meta.find("releases/release").get("version"), "1.6.0.0")


if __name__ == "__main__":
    unittest.main(verbosity=2)
