#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""Builds the Debian package with scripts/package.sh (dpkg-buildpackage and
lintian) and reads it back with dpkg-deb: the file name and control fields,
the dependencies (the libraries the program really links, under this
release's names, and the packages that hold the Qt plugins it loads at run
time), the file list, the compressed manual page and changelog, the time
stamps, lintian and hardening-check. It builds the package a second time
from another folder and compares the bytes.

  test_package.py --source-dir DIR --out DIR --version 1.6.0.0 --qt-plugins DIR
"""

import argparse
import datetime
import gzip
import io
import os
import re
import shutil
import subprocess
import sys
import tarfile
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

import install_layout as layout

ARGS = None
# Plugins Qt loads by name at run time: the X11 platform and the GIF reader.
RUNTIME_PLUGINS = ("platforms/libqxcb.so", "imageformats/libqgif.so")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def build_package(out, *options):
    """scripts/package.sh into out; the .deb files it leaves there."""
    subprocess.run([str(Path(ARGS.source_dir) / "scripts/package.sh"), "--out", str(out), *options],
                   check=True, stdout=subprocess.DEVNULL)
    return sorted(p for p in Path(out).glob("*.deb") if "-dbgsym_" not in p.name)


def archive_times(deb):
    """The time stamps of the .deb's ar members and of every file in its data."""
    times, data = set(), Path(deb).read_bytes()
    position = 8  # after "!<arch>\n"
    while position < len(data):
        header = data[position:position + 60]
        times.add(int(header[16:28]))
        position += 60 + int(header[48:58])
        position += position % 2
    stream = subprocess.run(["dpkg-deb", "--fsys-tarfile", str(deb)], check=True,
                            capture_output=True).stdout
    with tarfile.open(fileobj=io.BytesIO(stream)) as tar:
        times |= {member.mtime for member in tar}
    return times


def changelog_entry(path):
    return dict(re.findall(r"^(\w+): (.*)$", run("dpkg-parsechangelog", "-l", str(path)), re.MULTILINE))


def release_suffix():
    """+deb13 on Debian 13, +deb12 on 12, the code name on testing."""
    release = dict(re.findall(r'^(\w+)="?([^"\n]*)"?$', Path("/etc/os-release").read_text(), re.MULTILINE))
    return f"deb{release['VERSION_ID']}" if release.get("VERSION_ID") else release["VERSION_CODENAME"]


def linked_packages(program):
    """The packages that hold the libraries the program links directly."""
    needed = re.findall(r"\(NEEDED\)\s+Shared library: \[(.+?)\]", run("readelf", "-d", str(program)))
    paths = dict(re.findall(r"^\s*(\S+) => (/\S+)", run("ldd", str(program)), re.MULTILINE))
    return {name: owner(paths[name]) for name in needed}


def owner(path):
    """The package that holds a file, whichever of its names (merged /usr) dpkg knows."""
    real = os.path.realpath(path)
    for name in dict.fromkeys((path, real, real.removeprefix("/usr"))):
        found = subprocess.run(["dpkg-query", "--search", name], capture_output=True, text=True)
        if found.returncode == 0:
            return found.stdout.split(":")[0]
    raise LookupError(f"no package holds {path}")


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
        cls.out = out
        cls.source = Path(ARGS.source_dir)
        # package.sh fails on any lintian error or warning.
        cls.debs = build_package(out / "first")
        cls.arch = run("dpkg", "--print-architecture").strip()
        cls.version = f"{changelog_entry(cls.source / 'debian/changelog')['Version']}+{release_suffix()}"
        cls.deb = cls.debs[0] if cls.debs else None
        cls.tree = out / "tree"
        if cls.deb:
            run("dpkg-deb", "--extract", str(cls.deb), str(cls.tree))

    def setUp(self):
        self.assertEqual([d.name for d in self.debs], [f"ravelle_{self.version}_{self.arch}.deb"])

    def field(self, name):
        return run("dpkg-deb", "--field", str(self.deb), name).strip()

    def test_control_fields(self):
        for name, expected in (("Package", r"ravelle"),
                               ("Version", rf"{re.escape(ARGS.version)}-\d+\+(deb\d+|[a-z]+)"),
                               ("Architecture", re.escape(self.arch)), ("Section", r"science"),
                               ("Priority", r"optional"), ("Homepage", r"https://\S+"),
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
        linked = linked_packages(self.tree / "usr" / layout.PROGRAM)
        self.assertTrue({"libQt6Widgets.so.6", "libstdc++.so.6", "libc.so.6"} <= linked.keys(), linked)
        for library, package in linked.items():
            with self.subTest(library=library, package=package):
                self.assertIn(package, names)
                self.assertRegex(depends, rf"{re.escape(package)} \(>= [^)]+\)")
        for plugin in RUNTIME_PLUGINS:
            path = Path(ARGS.qt_plugins) / plugin
            holder = owner(str(path))
            with self.subTest(plugin=plugin, owner=holder):
                self.assertIn(holder, names)

    def test_files_are_the_installed_tree(self):
        listing = run("dpkg-deb", "--contents", str(self.deb)).splitlines()
        entries = {}
        for line in listing:
            mode, owner, _size, _date, _time, path = line.split(None, 5)
            if not mode.startswith("d"):
                entries[path.removeprefix("./")] = (mode, owner)
        self.assertEqual(sorted(entries), sorted(f"usr/{f}" for f in layout.packaged_files()))
        self.assertEqual(entries[f"usr/{layout.PROGRAM}"], ("-rwxr-xr-x", "root/root"))
        for path, (mode, owner) in entries.items():
            with self.subTest(path=path):
                self.assertEqual(owner, "root/root")
                self.assertNotRegex(mode, r"w.$", "writable by others")

    def test_docs_are_the_sources_compressed_reproducibly(self):
        for installed, source in layout.PACKAGE_DOCS.items():
            with self.subTest(installed=installed):
                packed = (self.tree / "usr" / installed).read_bytes()
                # gzip -9n: no file name (flag 0x08), no time stamp, maximum compression.
                self.assertEqual(packed[:3], b"\x1f\x8b\x08")
                self.assertFalse(packed[3] & 0x08, "file name stored")
                self.assertEqual((packed[4:8], packed[8]), (b"\0\0\0\0", 2))
                self.assertEqual(gzip.decompress(packed), (self.source / source).read_bytes())

    def test_changelog_and_metainfo_name_the_packaged_release(self):
        entry = changelog_entry(self.source / "debian/changelog")
        release = ET.parse(self.tree / "usr" / layout.METAINFO).getroot().find("releases/release")
        day = datetime.datetime.fromtimestamp(int(entry["Timestamp"]), datetime.timezone.utc)
        self.assertEqual(self.field("Version").split("-")[0], ARGS.version)
        self.assertEqual((release.get("version"), release.get("date")),
                         (ARGS.version, day.date().isoformat()))

    def test_time_stamps_are_the_changelogs(self):
        entry = changelog_entry(self.source / "debian/changelog")
        self.assertEqual(archive_times(self.deb), {int(entry["Timestamp"])})

    @unittest.skipUnless(shutil.which("lintian"), "lintian missing")
    def test_lintian_finds_nothing_but_what_is_overridden(self):
        result = subprocess.run(["lintian", "--pedantic", "--display-info", "--display-experimental",
                                 "--tag-display-limit", "0", str(self.deb)],
                                capture_output=True, text=True)
        tags = [line for line in result.stdout.splitlines() if re.match(r"[EWIPX]: ", line)]
        self.assertEqual(tags, [], result.stdout)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        overrides = (self.source / "debian/ravelle.lintian-overrides").read_text().splitlines()
        for number, line in enumerate(overrides):
            if line.startswith("ravelle:"):
                with self.subTest(override=line):
                    self.assertTrue(overrides[number - 1].startswith("#"), "an override without a reason")

    @unittest.skipUnless(shutil.which("hardening-check"), "devscripts missing")
    def test_program_is_hardened(self):
        offered = subprocess.run(["hardening-check", "--help"], capture_output=True, text=True).stdout
        # Skipped, each for a reason: the program's memcpy and strlen calls are
        # all on buffers whose size the compiler cannot know, which leaves no
        # __*_chk call to find (hardening-check's documented false alarm); and
        # Debian's C start files carry no IBT/SHSTK mark, so no program linked
        # against them gets the control-flow or branch protection note.
        skipped = [o for o in ("--nofortify", "--nocfprotection", "--nobranchprotection") if o in offered]
        result = subprocess.run(["hardening-check", *skipped, str(self.tree / "usr" / layout.PROGRAM)],
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout)
        for check in ("Position Independent Executable", "Stack protected",
                      "Read-only relocations", "Immediate binding"):
            with self.subTest(check=check):
                self.assertRegex(result.stdout, rf"{check}: yes")
        # So fortification is checked where it is decided: every file
        # compiled with it and with the optimiser on.
        log = (self.out / "first/build.log").read_text()
        compiles = [line for line in log.splitlines() if re.search(r"\s-c\s+\S+\.cpp\s*$", line)]
        self.assertTrue(compiles, "no compile command in the build log:\n"
                        + "\n".join(line for line in log.splitlines() if ".cpp" in line)[-3000:])
        for command in compiles:
            with self.subTest(command=command[-70:]):
                self.assertRegex(command, r" -D_FORTIFY_SOURCE=[23]\b")
                self.assertRegex(command, r" -O[123s]\b")

    def test_same_bytes_from_another_folder(self):
        # Another copy of the source at another depth, with new file times.
        (again,) = build_package(self.out / "elsewhere" / "at" / "another" / "depth", "--no-lintian")
        if again.read_bytes() != self.deb.read_bytes():
            first, second = (self.out / "tree", self.out / "tree-again")
            run("dpkg-deb", "--extract", str(again), str(second))
            differ = [str(p.relative_to(first)) for p in sorted(first.rglob("*"))
                      if p.is_file() and p.read_bytes() != (second / p.relative_to(first)).read_bytes()]
            self.fail(f"{again} differs from {self.deb}; files that differ: {differ or 'none (metadata)'}")


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--source-dir", "--out", "--version", "--qt-plugins"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
