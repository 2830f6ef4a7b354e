#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""`cmake --install` into a temporary DESTDIR with prefix /usr: the tree it
makes, then the installed program itself on the X display (run under
xvfb-run), whose equations link must lead to the page installed with it.

  test_install.py --cmake CMAKE --build-dir DIR --source-dir DIR --out DIR --version 1.6
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path

import design
import install_layout as layout
from program import Program
from xsession import wait_for

ARGS = None


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.destdir = Path(ARGS.out).resolve() / "destdir"
        shutil.rmtree(cls.destdir, ignore_errors=True)
        subprocess.run([ARGS.cmake, "--install", ARGS.build_dir, "--prefix", "/usr"],
                       env={**os.environ, "DESTDIR": str(cls.destdir)},
                       check=True, stdout=subprocess.DEVNULL)
        cls.usr = cls.destdir / "usr"

    def test_files_are_exactly_the_expected_ones(self):
        found = {str(p.relative_to(self.destdir)) for p in self.destdir.rglob("*") if not p.is_dir()}
        expected = {f"usr/{f}" for f in layout.installed_files()}
        self.assertEqual(sorted(found - expected), [], "installed but not expected")
        self.assertEqual(sorted(expected - found), [], "expected but not installed")

    def test_program_is_executable_without_a_run_path(self):
        program = self.usr / layout.PROGRAM
        self.assertTrue(program.stat().st_mode & 0o111, "bin/ravelle is not executable")
        dynamic = subprocess.run(["readelf", "-d", str(program)], check=True,
                                 capture_output=True, text=True).stdout
        # Installed beside the system's Qt, it needs no run path at all.
        self.assertEqual(re.findall(r"R(?:UN)?PATH\).*\[(.*)\]", dynamic), [], "run path")

    def test_menu_entry_starts_the_program_with_an_installed_icon(self):
        entry = layout.desktop_entry((self.usr / layout.DESKTOP_FILE).read_text())
        self.assertEqual(entry.get("Exec", "").split()[:1], ["ravelle"])
        self.assertTrue((self.usr / "bin" / entry["Exec"].split()[0]).is_file())
        # Its action "Design a box" opens the installed page in the browser.
        self.assertEqual(entry.get("Actions"), "design-box;")
        action = layout.desktop_entry((self.usr / layout.DESKTOP_FILE).read_text(), "Desktop Action design-box")
        self.assertEqual(action.get("Name"), "Design a box")
        self.assertEqual(action.get("Exec", "").split(), ["xdg-open", f"/usr/{layout.EQUATIONS_PAGE}"])
        self.assertTrue((self.usr / layout.EQUATIONS_PAGE).is_file())
        icon = entry.get("Icon", "")
        self.assertTrue(list((self.usr / "share/icons/hicolor").glob(f"*/apps/{icon}.png")),
                        f"no hicolor icon named {icon!r}")

    def test_equations_page_is_the_source_page_and_finds_its_images(self):
        page = self.usr / layout.EQUATIONS_PAGE
        source = Path(ARGS.source_dir) / "page" / "vent-proof-adv.htm"
        self.assertEqual(page.read_bytes(), source.read_bytes())
        references = re.findall(r'(?:src|href)="([^"#:]+)"', page.read_text())
        self.assertTrue(references, "the page shows no images")
        for reference in references:
            with self.subTest(reference=reference):
                self.assertTrue((page.parent / reference).is_file(), f"{reference} not installed")

    def test_installed_program_opens_the_installed_page(self):
        program = self.usr / layout.PROGRAM
        app = Program(program, Path(ARGS.out) / "run", design.main_caption(ARGS.version))
        failed = True
        try:
            main = app.main_window()
            app.desktop.click(main, design.centre(design.MAIN["Label7"]))
            opened = wait_for("the equations page to be opened", app.opened_addresses, timeout=5.0)
            page = self.usr / layout.EQUATIONS_PAGE
            self.assertEqual(opened, [page.as_uri()])
            self.assertTrue(page.is_file())
            app.close_and_wait(main)
            failed = False
        finally:
            app.finish(failed)


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--cmake", "--build-dir", "--source-dir", "--out", "--version"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    Path(ARGS.out).mkdir(parents=True, exist_ok=True)
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
