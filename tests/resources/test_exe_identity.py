#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""The identity of the built ravelle.exe: the same checks as for the compiled
resource script, made on the resources the executable really carries.

  test_exe_identity.py PATH/TO/ravelle.exe
"""

import sys
import unittest
from pathlib import Path

import pefile

sys.path.insert(0, str(Path(__file__).resolve().parent))
import test_images  # noqa: E402

EXE = None


def pe_resources(pe):
    """{(type, name): (language, bytes)} of a PE file's resources."""
    out = {}
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in rtype.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                out[(rtype.id, name.id)] = (language.id,
                                            pe.get_data(entry.OffsetToData, entry.Size))
    return out


class BuiltExecutable(test_images.ResourceScript):
    __unittest_skip__ = False  # needs no resource script, only the executable

    @classmethod
    def setUpClass(cls):
        pe = pefile.PE(str(EXE))
        cls.res, cls.coff = pe_resources(pe), EXE.read_bytes()
        cls.machine, cls.subsystem = pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Subsystem

    @classmethod
    def tearDownClass(cls):
        pass

    def test_64_bit_windows_program(self):
        self.assertEqual(self.machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"])
        self.assertEqual(self.subsystem, pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"])

    def test_no_other_icons_or_versions(self):
        self.assertEqual(sorted(k for k in self.res if k[0] in (3, 14, 16)),
                         [(3, 30001), (14, 1), (16, 1)])


if __name__ == "__main__":
    EXE = Path(sys.argv.pop(1))
    unittest.main(verbosity=2)
