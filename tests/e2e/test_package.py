#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""Builds the Debian package from the build tree with CPack and reads it back
with dpkg-deb: the control fields, the dependencies (including the packages
that hold the Qt plugins the program loads at run time) and the file list.

  test_package.py --cpack CPACK --build-dir DIR --out DIR --version 1.6.0.0 --qt-plugins DIR
"""

import argparse
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

import install_layout as layout

ARGS = None
# Plugins Qt loads by name at run time: the X11 platform and the GIF reader.
RUNTIME_PLUGINS = ("platforms/libqxcb.so", "imageformats/libqgif.so")
# Libraries the program links; dpkg-shlibdeps must have found them all.
LINKED = ("libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def package_names(depends):
    """The package names of a Depends field, alternatives included."""
    return {re.split(r"[\s(:]", alt.strip(), maxsplit=1)[0]
            for clause in depends.split(",") for alt in clause.split("|")}


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        out = Path(ARGS.out).resolve()
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir(parents=True)
        subprocess.run([ARGS.cpack, "-G", "DEB", "--config", f"{ARGS.build_dir}/CPackConfig.cmake",
                        "-B", str(out)], check=True, stdout=subprocess.DEVNULL)
        cls.arch = run("dpkg", "--print-architecture").strip()
        cls.debs = sorted(out.glob("*.deb"))
        cls.deb = cls.debs[0] if cls.debs else None

    def setUp(self):
        self.assertEqual([d.name for d in self.debs], [f"ravelle_{ARGS.version}_{self.arch}.deb"])

    def field(self, name):
        return run("dpkg-deb", "--field", str(self.deb), name).strip()

    def test_control_fields(self):
        for name, expected in (("Package", r"ravelle"), ("Version", re.escape(ARGS.version)),
                               ("Architecture", re.escape(self.arch)), ("Section", r"science"),
                               ("Priority", r"optional"),
                               ("Maintainer", r"[^<>]+ <[^@\s<>]+@[^@\s<>]+\.[a-z]+>")):
            with self.subTest(field=name):
                self.assertRegex(self.field(name), rf"\A{expected}\Z")

    def test_description_has_a_summary_and_a_body(self):
        summary, *body = self.field("Description").splitlines()
        self.assertRegex(summary, r"\A\S.{10,79}\Z")
        self.assertGreaterEqual(len(body), 3)
        self.assertIn("bass-reflex port", " ".join(body))

    def test_depends_on_linked_libraries_and_runtime_plugins(self):
        depends = self.field("Depends")
        names = package_names(depends)
        for library in LINKED:
            with self.subTest(library=library):
                self.assertIn(library, names)
                self.assertRegex(depends, rf"{re.escape(library)} \(>= [^)]+\)")
        for plugin in RUNTIME_PLUGINS:
            path = Path(ARGS.qt_plugins) / plugin
            owner = run("dpkg-query", "--search", str(path)).split(":")[0]
            with self.subTest(plugin=plugin, owner=owner):
                self.assertIn(owner, names)

    def test_files_are_the_installed_tree(self):
        listing = run("dpkg-deb", "--contents", str(self.deb)).splitlines()
        entries = {}
        for line in listing:
            mode, owner, _size, _date, _time, path = line.split(None, 5)
            if not mode.startswith("d"):
                entries[path.removeprefix("./")] = (mode, owner)
        self.assertEqual(sorted(entries), sorted(f"usr/{f}" for f in layout.installed_files()))
        self.assertEqual(entries[f"usr/{layout.PROGRAM}"], ("-rwxr-xr-x", "root/root"))
        for path, (mode, owner) in entries.items():
            with self.subTest(path=path):
                self.assertEqual(owner, "root/root")
                self.assertNotRegex(mode, r"w.$", "writable by others")


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--cpack", "--build-dir", "--out", "--version", "--qt-plugins"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
