# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""What an installed Ravelle consists of, relative to its prefix (/usr)."""

APP_ID = "org.ravelle.Ravelle"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
PROGRAM = "bin/ravelle"
DESKTOP_FILE = f"share/applications/{APP_ID}.desktop"
EQUATIONS_PAGE = "share/ravelle/vent-proof-adv.htm"
# The page's scripts, classic ones beside it: its models, graphs and
# drawings, fields, texts and wiring.
EQUATIONS_SCRIPTS = tuple(f"share/ravelle/{name}" for name in
                          ("box-model.js", "box-plot.js", "port-model.js", "pipe-catalogue.js",
                           "tube-plan.js", "box-build.js", "build-drawing.js", "fields.js", "sweep.js",
                           "sweep-texts.js", "texts.js", "build-texts.js", "vent-assistant.js"))
METAINFO = f"share/metainfo/{APP_ID}.metainfo.xml"
MANUAL = "share/man/man1/ravelle.1"
# What the Debian package adds to an installed tree: its copyright and
# lintian overrides, and documents compressed from these source files.
PACKAGE_DOCS = {f"{MANUAL}.gz": "docs/ravelle.1",
                "share/doc/ravelle/changelog.Debian.gz": "debian/changelog"}
PACKAGE_FILES = {"share/doc/ravelle/copyright", "share/lintian/overrides/ravelle", *PACKAGE_DOCS}


def installed_files():
    """What `cmake --install` puts under the prefix."""
    files = {
        PROGRAM,
        DESKTOP_FILE,
        METAINFO,
        EQUATIONS_PAGE,
        *EQUATIONS_SCRIPTS,
        "share/ravelle/images/port_3tube.gif",
        "share/ravelle/images/port_5tube.gif",
        f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
        MANUAL,
    }
    files |= {f"share/icons/hicolor/{s}x{s}/apps/{APP_ID}.png" for s in ICON_SIZES}
    return files


def packaged_files():
    """What the Debian package puts under /usr."""
    return (installed_files() - {MANUAL}) | PACKAGE_FILES


def desktop_entry(text, group="Desktop Entry"):
    """The keys of a desktop file's group ([Desktop Entry] unless named)."""
    entry, inside = {}, False
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            inside = line == f"[{group}]"
        elif inside and "=" in line and not line.startswith("#"):
            key, value = line.split("=", 1)
            entry[key.strip()] = value.strip()
    return entry
