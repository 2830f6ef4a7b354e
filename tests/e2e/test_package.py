#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""Builds the Debian package from the build tree with CPack and reads it back
with dpkg-deb: the control fields, the dependencies (including the packages
that hold the Qt plugins the program loads at run time) and the file list;
lintian, hardening-check, the compressed manual page and changelog. With
--shipped-flags (a build tree with the package's compile flags) it also
builds the package again from a copy of the source in another folder and
compares the bytes: most of the test's 75 to 110 s on two cores.

  test_package.py --cpack CPACK --cmake CMAKE --build-dir DIR --source-dir DIR --out DIR
                  --version 1.6.0.0 --qt-plugins DIR [--shipped-flags]
"""

import argparse
import datetime
import gzip
import io
import json
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
# Libraries the program links; dpkg-shlibdeps must have found them all.
LINKED = ("libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def cpack(config, out, **env):
    subprocess.run([ARGS.cpack, "-G", "DEB", "--config", str(config), "-B", str(out)],
                   check=True, stdout=subprocess.DEVNULL, env={**os.environ, **env})
    return sorted(Path(out).glob("*.deb"))


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


def expected_epoch():
    """SOURCE_DATE_EPOCH as packing works it out: the caller's, the last commit's
    if the source is a git checkout of its own, else the newest changelog entry's."""
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    source = Path(ARGS.source_dir).resolve()
    top = subprocess.run(["git", "-C", str(source), "rev-parse", "--show-toplevel"],
                         capture_output=True, text=True)
    if top.returncode == 0 and Path(top.stdout.strip()).resolve() == source:
        return int(run("git", "-C", str(source), "log", "-1", "--format=%ct"))
    return int(run("dpkg-parsechangelog", "-l", str(source / "docs/changelog"), "-S", "Timestamp"))


def copy_source(source, copy):
    """The source tree without its history and build trees."""
    top = Path(source)

    def skipped(folder, names):
        return [n for n in names if n == "__pycache__"
                or (Path(folder) == top and (n == ".git" or n.startswith("build")))]
    # New modification times, as a fresh checkout has.
    shutil.copytree(top, copy, ignore=skipped, copy_function=shutil.copy)


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
        cls.debs = cpack(Path(ARGS.build_dir) / "CPackConfig.cmake", out / "first")
        cls.arch = run("dpkg", "--print-architecture").strip()
        cls.deb = cls.debs[0] if cls.debs else None
        cls.tree = out / "tree"
        if cls.deb:
            run("dpkg-deb", "--extract", str(cls.deb), str(cls.tree))

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

    def test_docs_are_the_sources_compressed_reproducibly(self):
        for installed, source in layout.COMPRESSED_DOCS.items():
            with self.subTest(installed=installed):
                packed = (self.tree / "usr" / installed).read_bytes()
                # gzip -9n: no file name (flag 0x08), no time stamp, maximum compression.
                self.assertEqual(packed[:3], b"\x1f\x8b\x08")
                self.assertFalse(packed[3] & 0x08, "file name stored")
                self.assertEqual((packed[4:8], packed[8]), (b"\0\0\0\0", 2))
                self.assertEqual(gzip.decompress(packed),
                                 (Path(ARGS.source_dir) / source).read_bytes())

    def test_changelog_and_metainfo_name_the_packaged_release(self):
        changelog = self.out / "changelog"
        changelog.write_bytes(gzip.decompress(
            (self.tree / "usr/share/doc/ravelle/changelog.gz").read_bytes()))
        entry = dict(re.findall(r"^(\w+): (.*)$", run("dpkg-parsechangelog", "-l", str(changelog)),
                                re.MULTILINE))
        release = ET.parse(self.tree / "usr" / layout.METAINFO).getroot().find("releases/release")
        day = datetime.datetime.fromtimestamp(int(entry["Timestamp"]), datetime.timezone.utc)
        self.assertEqual(entry["Version"], self.field("Version"))
        self.assertEqual((release.get("version"), release.get("date")),
                         (entry["Version"], day.date().isoformat()))

    def needs_shipped_flags(self):
        if not ARGS.shipped_flags:
            self.skipTest("build tree without the package's compile flags")

    def test_time_stamps_are_the_sources_not_the_packing(self):
        self.assertEqual(archive_times(self.deb), {expected_epoch()})

    @unittest.skipUnless(shutil.which("lintian"), "lintian missing")
    def test_lintian_finds_nothing_but_what_is_overridden(self):
        self.needs_shipped_flags()  # a sanitizer build, for one, is not bound at load time
        result = subprocess.run(["lintian", "--pedantic", "--display-info", "--display-experimental",
                                 "--tag-display-limit", "0", str(self.deb)],
                                capture_output=True, text=True)
        tags = [line for line in result.stdout.splitlines() if re.match(r"[EWIPX]: ", line)]
        self.assertEqual(tags, [], result.stdout)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    @unittest.skipUnless(shutil.which("hardening-check"), "devscripts missing")
    def test_program_is_hardened(self):
        self.needs_shipped_flags()
        # Skipped, each for a reason: the program's memcpy and strlen calls are
        # all on buffers whose size the compiler cannot know, which leaves no
        # __*_chk call to find (hardening-check's documented false alarm); and
        # Debian 12's C start files carry no IBT/SHSTK mark, so no program
        # linked against them gets one.
        result = subprocess.run(["hardening-check", "--nofortify", "--nocfprotection",
                                 str(self.tree / "usr" / layout.PROGRAM)], capture_output=True, text=True)
        self.assertEqual(result.returncode, 0, result.stdout)
        for check in ("Position Independent Executable", "Stack protected",
                      "Read-only relocations", "Immediate binding"):
            with self.subTest(check=check):
                self.assertRegex(result.stdout, rf"{check}: yes")
        # So fortification is checked where it is decided: every file
        # compiled with it and with the optimiser on.
        commands = json.loads((Path(ARGS.build_dir) / "compile_commands.json").read_text())
        self.assertTrue(commands)
        for command in (c["command"] for c in commands):
            with self.subTest(command=command[-70:]):
                self.assertRegex(command, r" -D_FORTIFY_SOURCE=2\b")
                self.assertRegex(command, r" -O[123s]\b")

    def test_same_bytes_from_another_folder(self):
        self.needs_shipped_flags()
        # A copy of the source at another depth, with no git history and new
        # file times: it gets the first package's time stamp, as a rebuilder would.
        source = self.out / "elsewhere" / "ravelle-source"
        build = source / "build" / "other"
        copy_source(ARGS.source_dir, source)
        cache = (Path(ARGS.build_dir) / "CMakeCache.txt").read_text()
        settings = [f"-D{name}={value}" for name, value in re.findall(
            r"^((?:RAVELLE_\w+|CMAKE_BUILD_TYPE|CMAKE_CXX_COMPILER|CMAKE_CXX_FLAGS)):(?:STRING|BOOL|FILEPATH)=(.*)$",
            cache, re.MULTILINE) if name != "RAVELLE_GZIP"]
        generator = re.search(r"^CMAKE_GENERATOR:INTERNAL=(.*)$", cache, re.MULTILINE).group(1)
        subprocess.run([ARGS.cmake, "-S", str(source), "-B", str(build), "-G", generator, *settings,
                        "-DBUILD_TESTING=OFF", "-DRAVELLE_BUILD_BENCH=OFF"],
                       check=True, stdout=subprocess.DEVNULL)
        subprocess.run([ARGS.cmake, "--build", str(build)], check=True, stdout=subprocess.DEVNULL)
        (epoch,) = archive_times(self.deb)
        (again,) = cpack(build / "CPackConfig.cmake", self.out / "again", SOURCE_DATE_EPOCH=str(epoch))
        if again.read_bytes() != self.deb.read_bytes():
            first, second = (self.out / "tree", self.out / "tree-again")
            run("dpkg-deb", "--extract", str(again), str(second))
            differ = [str(p.relative_to(first)) for p in sorted(first.rglob("*"))
                      if p.is_file() and p.read_bytes() != (second / p.relative_to(first)).read_bytes()]
            self.fail(f"{again} differs from {self.deb}; files that differ: {differ or 'none (metadata)'}")


def main():
    global ARGS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--cpack", "--cmake", "--build-dir", "--source-dir", "--out", "--version",
                   "--qt-plugins"):
        parser.add_argument(option, required=True)
    parser.add_argument("--shipped-flags", action="store_true")
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
