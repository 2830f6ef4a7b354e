# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""What an installed Ravelle consists of, relative to its prefix (/usr)."""

APP_ID = "org.ravelle.Ravelle"
ICON_SIZES = (16, 32, 48, 64, 128, 256)
PROGRAM = "bin/ravelle"
DESKTOP_FILE = f"share/applications/{APP_ID}.desktop"
EQUATIONS_PAGE = "share/ravelle/vent-proof-adv.htm"
METAINFO = f"share/metainfo/{APP_ID}.metainfo.xml"
# Installed gzip-compressed, from these files in the source tree.
COMPRESSED_DOCS = {"share/man/man1/ravelle.1.gz": "docs/ravelle.1",
                   "share/doc/ravelle/changelog.gz": "docs/changelog"}


def installed_files():
    files = {
        PROGRAM,
        DESKTOP_FILE,
        METAINFO,
        EQUATIONS_PAGE,
        "share/ravelle/images/port_3tube.gif",
        "share/ravelle/images/port_5tube.gif",
        f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
        "share/doc/ravelle/copyright",
        "share/lintian/overrides/ravelle",
        *COMPRESSED_DOCS,
    }
    files |= {f"share/icons/hicolor/{s}x{s}/apps/{APP_ID}.png" for s in ICON_SIZES}
    return files


def desktop_entry(text):
    """The keys of a desktop file's [Desktop Entry] group."""
    entry, inside = {}, False
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            inside = line == "[Desktop Entry]"
        elif inside and "=" in line and not line.startswith("#"):
            key, value = line.split("=", 1)
            entry[key.strip()] = value.strip()
    return entry
