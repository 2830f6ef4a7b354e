# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""What the two windows look like as designed, in logical pixels of their
client areas (the layouts were drawn at 12 twips per pixel)."""

MAIN_SIZE = (661, 424)
TUBE_SIZE = (478, 298)
TUBE_CAPTION = "Make your own tube" + " " * 23 + "all dimensions in mm"


def main_caption(version_text):
    return "Ravelle Port Calculator - all dimensions in mm" + " " * 12 + "version " + version_text


DARK_BLUE = (0, 0, 192)
MID_GREY = (128, 128, 128)

# (left, top, width, height) of the controls the tests look at or click.
MAIN = {
    "Text1": (440, 50, 51, 24),
    "Text2": (530, 50, 41, 24),
    "Text3": (530, 90, 41, 24),
    "Text4": (530, 130, 41, 24),
    "Text5": (250, 320, 51, 24),
    "Text6": (250, 350, 51, 24),
    "Label25": (350, 370, 271, 21),  # link to the tube-maker
    "Label7": (330, 400, 321, 21),   # link to the equations page
}
# Result labels of the main window in the 3-tube state.
MAIN_RESULTS = {
    "Label3": (600, 50, 51, 21),
    "Label1": (440, 90, 51, 21),
    "Label4": (600, 90, 51, 21),
    "Label2": (440, 130, 51, 21),
    "Label12": (330, 270, 321, 21),
    "Label14": (330, 300, 321, 21),
    "Label17": (330, 330, 321, 21),
    "Label18": (250, 380, 51, 21),
}
TUBE = {
    "Text1": (410, 20, 51, 24),
    "Text2": (410, 50, 51, 24),
    "Text3": (410, 80, 51, 24),
    "Command1": (410, 230, 61, 31),  # "Done"
}
TUBE_RESULTS = {
    "Label4": (10, 150, 461, 21),
    "Label5": (10, 180, 461, 21),
}

# The diagrams sit in a box with a one-pixel border at (10, 10).
DIAGRAM_ORIGIN = (11, 11)


def centre(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


def box_text(rect):
    """The part of an input box where its (left-aligned) text is drawn."""
    x, y, w, h = rect
    return x + 3, y + 4, w - 6, h - 8

