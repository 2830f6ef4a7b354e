# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""One run of a ravelle executable on the X display, with a stand-in for
xdg-open (what Qt calls to open a file: address when no desktop is running)
that only records the address it was given."""

import os
import subprocess
import sys
from pathlib import Path

from design import TUBE_CAPTION
from xsession import Desktop, wait_for

EXIT_TIMEOUT = 5.0

XDG_OPEN_STAND_IN = """#!/bin/sh
printf '%s\\n' "$1" >> "$(dirname "$0")/opened.txt"
"""


class Program:
    """desktop_env: the desktop's own variables; launcher: the command that
    starts the executable (the Windows build's is scripts/wine.sh --bare),
    or nothing for a native program."""

    def __init__(self, exe, work_dir, main_caption, desktop_env=None, launcher=()):
        self.exe, self.work = Path(exe), Path(work_dir)
        self.main_caption = main_caption
        self.work.mkdir(parents=True, exist_ok=True)
        stand_ins = self.work / "stand-ins"
        stand_ins.mkdir(exist_ok=True)
        opener = stand_ins / "xdg-open"
        opener.write_text(XDG_OPEN_STAND_IN)
        opener.chmod(0o755)
        self.opened_file = stand_ins / "opened.txt"
        self.opened_file.unlink(missing_ok=True)
        runtime = self.work / "runtime"
        runtime.mkdir(mode=0o700, exist_ok=True)

        env = dict(os.environ)
        env.update(QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=str(runtime),
                   PATH=f"{stand_ins}{os.pathsep}{env.get('PATH', '')}")
        env.pop("XDG_CURRENT_DESKTOP", None)
        env.update(desktop_env or {})
        self.desktop = Desktop()
        self.desktop.park_pointer()
        self.log_path = self.work / "ravelle.log"
        self._log = open(self.log_path, "wb")
        self.proc = subprocess.Popen([*launcher, str(self.exe)], env=env, stdout=self._log,
                                     stderr=subprocess.STDOUT, cwd=self.work)

    @property
    def pid(self):
        return self.proc.pid

    def _running(self):
        return self.proc.poll() is None

    def wait_shown(self, caption, timeout=15.0):
        """The program's window with exactly this caption, once it is on screen."""
        def shown():
            assert self._running(), f"ravelle ended early with code {self.proc.returncode}"
            found = [w for w in self.desktop.shown_windows_of(self.pid) if w.caption == caption]
            return found[0] if found else None
        return wait_for(f"a window {caption!r}", shown, timeout)

    def main_window(self):
        return self.wait_shown(self.main_caption)

    def opened_addresses(self):
        return self.opened_file.read_text().split() if self.opened_file.exists() else []

    def close_and_wait(self, window):
        """Closes the window as a desktop does; the program must then end by
        itself with exit code 0, leaving no window behind."""
        self.desktop.request_close(window)
        try:
            code = self.proc.wait(timeout=EXIT_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"ravelle still running {EXIT_TIMEOUT:g} s after its "
                                 f"window {window.caption!r} was closed") from None
        assert code == 0, f"ravelle exited with code {code}"
        captions = (self.main_caption, TUBE_CAPTION)
        wait_for("the program's windows to go",
                 lambda: not [w for w in self.desktop.windows()
                              if w.pid == self.pid or w.caption in captions],
                 timeout=2.0)

    def finish(self, failed):
        """Ends a run that a failed check left behind, and shows its output."""
        if self._running():
            self.proc.kill()
            self.proc.wait()
        self._log.close()
        if failed:
            sys.stderr.write(f"--- output of {self.exe}:\n{self.log_path.read_text(errors='replace')}")
