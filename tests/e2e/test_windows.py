#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""The real ravelle on a real X server (run under xvfb-run with Qt's xcb
platform): what a user sees and does, from start-up to closing the main
window. Each scenario is one CTest test and one run of the program.

  test_windows.py --scenario NAME --exe BIN --out DIR --resources DIR --version 1.6
                  [--window-manager COMMAND]
"""

import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path, PurePosixPath, PureWindowsPath
from urllib.parse import urlsplit

import install_layout as layout
from urllib.request import url2pathname

from PIL import Image

import design as d
from program import Program
from xsession import Desktop, wait_for


class Run:
    """One scenario: the program, the screenshots it leaves in the build tree.
    launcher: how the program is started (Wine for the Windows build)."""

    def __init__(self, args, exe=None, launcher=()):
        self.out, self.resources = Path(args.out), Path(args.resources)
        self.out.mkdir(parents=True, exist_ok=True)
        self.exe, self.caption = Path(exe or args.exe), d.main_caption(args.version)
        self.launcher = tuple(launcher)
        self.manager = None
        if args.window_manager:
            self.manager = Desktop().start_window_manager(shlex.split(args.window_manager))
        self.app = Program(self.exe, self.out, self.caption, launcher=self.launcher)
        self.desktop = self.app.desktop

    def restart(self, name, desktop_env):
        """The program once more, on another desktop; the last run must be over."""
        assert self.app.proc.poll() is not None, "the last run is still going"
        self.app.finish(False)
        self.out = self.out / name
        self.app = Program(self.exe, self.out, self.caption, desktop_env, self.launcher)

    def finish(self, failed):
        self.app.finish(failed)
        if self.manager:
            self.manager.terminate()
            self.manager.wait()

    def shot(self, name):
        return self.desktop.screenshot(self.out / f"{name}.png")

    def drawn(self, window, name):
        """The window's client area once the program has drawn it: a window
        is on screen before its first paint, so wait for two shots alike
        that are not one blank colour."""
        last = None
        def still():
            nonlocal last
            client, previous = window.client(self.shot(name)), last
            last = client
            painted = client.getcolors(1) is None
            return client if painted and previous and client.tobytes() == previous.tobytes() else None
        return wait_for(f"{window.caption!r} to be drawn", still, timeout=10.0)

    def gif(self, name):
        with Image.open(self.resources / name) as image:
            return image.convert("RGB")

    def open_tube_maker(self, main):
        self.desktop.click(main, d.centre(d.MAIN["Label25"]))
        return self.app.wait_shown(d.TUBE_CAPTION)

    def type_into(self, window, text):
        wait_for(f"the keyboard focus on {window.caption!r}",
                 lambda: self.desktop.has_focus(window), timeout=5.0)
        self.desktop.type_text(text)

    def press_done(self, tube):
        self.desktop.click(tube, d.centre(d.TUBE["Command1"]))
        wait_for("Done to hide the tube-maker", lambda: tube.id not in
                 [w.id for w in self.desktop.shown_windows_of(self.app.pid)], timeout=5.0)

    def wait_changed(self, window, rects, before, what):
        """A screenshot in which at least one of the regions differs from before."""
        def changed():
            client = window.client(self.shot("changing"))
            return client if any(not same(client, before, r) for r in rects) else None
        return wait_for(what, changed, timeout=5.0)


def region(image, rect):
    x, y, w, h = rect
    return image.crop((x, y, x + w, y + h))


def same(a, b, rect):
    return region(a, rect).tobytes() == region(b, rect).tobytes()


def colour_counts(image, rect):
    """(number of pixels, colour) of every colour in the region."""
    part = region(image, rect)
    return part.getcolors(max(1, part.width * part.height))


def count(image, rect, colour):
    return sum(n for n, p in colour_counts(image, rect) if p == colour)


def assert_diagram(client, expected, name):
    w, h = expected.size
    x, y = d.DIAGRAM_ORIGIN
    shown = region(client, (x, y, w, h))
    assert shown.tobytes() == expected.tobytes(), f"the diagram shown is not {name}"


def assert_alone(run, *windows):
    shown = sorted(w.caption for w in run.desktop.shown_windows_of(run.app.pid))
    assert shown == sorted(w.caption for w in windows), f"windows on screen: {shown}"


def assert_size(window, size):
    assert window.size == size, f"{window.caption!r} is {window.size}, designed {size}"


# Link labels: enough pixels in their own colour (the underline alone is a
# solid run), none in the other link's.
LINKS = (("Label25", d.DARK_BLUE, d.MID_GREY), ("Label7", d.MID_GREY, d.DARK_BLUE))


def main_window(run):
    """Start-up, the first look, typing, focus, the equations link, closing
    with the tube-maker never opened."""
    main = run.app.main_window()
    assert_alone(run, main)
    assert not run.desktop.named(d.TUBE_CAPTION), "the tube-maker was loaded at start"
    assert_size(main, d.MAIN_SIZE)
    start = run.drawn(main, "01-start")
    start.save(run.out / "main-window.png")
    assert_diagram(start, run.gif("port_3tube.gif"), "the 3-tube diagram")
    for name, colour, other in LINKS:
        rect = d.MAIN[name]
        assert count(start, rect, colour) >= 50, f"{name} is not drawn in {colour}"
        assert count(start, rect, other) == 0, f"{name} has pixels of {other}"

    run.type_into(main, "1")  # Text1 has the focus: 86 becomes 861
    typed = run.wait_changed(main, d.MAIN_RESULTS.values(), start, "the results to follow typing")
    unchanged = [n for n, r in d.MAIN_RESULTS.items() if same(typed, start, r)]
    assert not unchanged, f"results not recomputed after typing: {unchanged}"
    run.shot("02-typed")

    run.desktop.click(main, d.centre(d.MAIN["Label7"]))
    opened = wait_for("the equations page to be opened", run.app.opened_addresses, timeout=5.0)
    page = run.exe.resolve().parent.parent / "share" / "ravelle" / "vent-proof-adv.htm"
    assert opened == [page.as_uri()], f"opened {opened}, expected {page.as_uri()}"
    assert Path(url2pathname(urlsplit(opened[0]).path)).is_file(), "the equations page is missing"
    assert_alone(run, main)
    run.app.close_and_wait(main)


def tube_maker(run):
    """The link opens the tube-maker; typing recomputes it; Done takes it off
    the screen and the link brings it back; closing it by its frame leaves
    the program running; closing the main window with the tube-maker on
    screen ends the program."""
    main = run.app.main_window()
    tube = run.open_tube_maker(main)
    assert_alone(run, main, tube)
    assert_size(tube, d.TUBE_SIZE)
    first = run.drawn(tube, "01-tube-maker")
    first.save(run.out / "tube-maker.png")
    # 100 to 95: a strip out of the inner layer, one into the outer layer.
    assert_diagram(first, run.gif("ring_outer_strip.gif"), "the ring with an outer strip")

    run.type_into(tube, "5")  # 100 becomes 1005: strips out of both layers
    typed = run.wait_changed(tube, d.TUBE_RESULTS.values(), first, "the strips to follow typing")
    assert_diagram(typed, run.gif("ring_plain.gif"), "the plain ring")

    run.press_done(tube)
    assert_alone(run, main)
    tube = run.open_tube_maker(main)
    assert_alone(run, main, tube)
    run.desktop.request_close(tube)
    wait_for("the tube-maker to be unloaded", lambda: not run.desktop.named(d.TUBE_CAPTION),
             timeout=5.0)
    assert run.app.proc.poll() is None, "closing the tube-maker ended the program"
    assert_alone(run, main, run.open_tube_maker(main))
    run.app.close_and_wait(main)


def gtk_desktop(folder, theme, font):
    """The environment of a GTK desktop with this theme and font, as Qt's GTK
    platform theme reads them."""
    settings = Path(folder) / "config" / "gtk-3.0" / "settings.ini"
    settings.parent.mkdir(parents=True, exist_ok=True)
    settings.write_text(f"[Settings]\ngtk-font-name={font}\n")
    return {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": theme,
            "XDG_CONFIG_HOME": str(settings.parent.parent)}


def both_windows(run, shot):
    """The two client areas as first shown, and the program closed."""
    main = run.app.main_window()
    first = run.drawn(main, f"{shot}-main")
    tube = run.open_tube_maker(main)
    second = run.drawn(tube, f"{shot}-tube-maker")
    run.app.close_and_wait(main)
    return first, second


def dark_desktop(run):
    """A dark GTK theme with a 14-pt desktop font reaches neither window: both
    look exactly as on the plain desktop, but for the caret blinking in the
    focused box (the window tests check the plain look is legible)."""
    plain = both_windows(run, "01-plain")
    run.restart("dark", gtk_desktop(run.out / "dark", "Adwaita:dark", "Sans 14"))
    dark = both_windows(run, "02-dark")
    for window, layout, before, after in (("main window", d.MAIN, plain[0], dark[0]),
                                          ("tube-maker", d.TUBE, plain[1], dark[1])):
        x, y, w, h = layout["Text1"]
        before, after = before.copy(), after.copy()
        for image in (before, after):
            image.paste((0, 0, 0), (x, y, x + w, y + h))  # where the caret blinks
        assert before.tobytes() == after.tobytes(), \
            f"the {window} looks different on the dark desktop (see {run.out})"


def assert_frames_placed(run, main, tube, slack=0, counted=None):
    """The main window's frame centred in the work area, the tube-maker's
    with a quarter of the free screen space left of and above it, three
    quarters right of and below it (to the nearest pixel), within slack.
    counted: the frame (left, top, right, bottom) the program counts, where
    that is not the window manager's."""
    def near(got, want):
        return all(abs(g - w) <= slack for g, w in zip(got, want))

    def frame(window):
        if counted is None:
            return run.desktop.frame(window)
        left, top, right, bottom = counted
        return (window.x - left, window.y - top,
                window.width + left + right, window.height + top + bottom)

    x, y, w, h = run.desktop.frame(main)
    assert (w, h) != main.size, "the window manager gave the main window no frame"
    x, y, w, h = frame(main)
    ax, ay, aw, ah = run.desktop.work_area()
    # QRect's centre and moveCenter, in whole pixels.
    cx, cy = ax + (aw - 1) // 2, ay + (ah - 1) // 2
    expected = (cx - (w - 1) // 2, cy - (h - 1) // 2)
    assert near((x, y), expected), f"main window frame at {(x, y)}, {w} x {h}: expected {expected}"
    x, y, w, h = frame(tube)
    sw, sh = run.desktop.screen_size()
    gaps = ((x, sw - w - x), (y, sh - h - y))
    assert all(abs(3 * before - after) <= 2 + 4 * slack for before, after in gaps), \
        f"tube-maker frame at {(x, y)}, {w} x {h}: free space {gaps} is not split 1 to 3"


def window_manager(run):
    """Under a window manager both windows are placed by their frames."""
    assert run.desktop.has_window_manager(), "no window manager runs"
    main = run.desktop.settled(run.app.main_window())
    tube = run.desktop.settled(run.open_tube_maker(main))
    run.shot("01-framed")
    assert_frames_placed(run, main, tube)
    run.app.close_and_wait(main)


# The Windows build under Wine: the real ravelle.exe from the portable zip
# and from the installer, on Qt's windows platform, under a window manager
# as on any desktop.

# The frame (left, top, right, bottom) a program counts under Wine 10.
WINE_FRAME = (0, 30, 0, 0)


def assert_numbers_drawn(client, layout, names):
    """The boxes' text really drawn: dark pixels where their digits stand."""
    for name in names:
        dark = sum(n for n, p in colour_counts(client, d.box_text(layout[name])) if sum(p) < 384)
        assert dark >= 6, f"no digits drawn in {name} ({dark} dark pixels)"


def windows_program(run, folder):
    """One run of an unpacked or installed ravelle.exe: start-up, what is
    drawn, typing, both links, placement, and closing."""
    main = run.desktop.settled(run.app.main_window())
    assert_alone(run, main)
    start = run.drawn(main, "01-start")
    start.save(run.out / "main-window.png")
    assert_diagram(start, run.gif("port_3tube.gif"), "the 3-tube diagram")
    assert_numbers_drawn(start, d.MAIN, ("Text1", "Text2", "Text3", "Text4", "Text5", "Text6"))

    run.type_into(main, "1")  # Text1 has the focus: 86 becomes 861
    typed = run.wait_changed(main, d.MAIN_RESULTS.values(), start, "the results to follow typing")
    unchanged = [n for n, r in d.MAIN_RESULTS.items() if same(typed, start, r)]
    assert not unchanged, f"results not recomputed after typing: {unchanged}"
    assert_numbers_drawn(typed, d.MAIN, ("Text1",))

    run.desktop.click(main, d.centre(d.MAIN["Label7"]))
    opened = wait_for("the equations page to be opened", run.app.opened_addresses, timeout=10.0)
    page = (folder / "doc" / "vent-proof-adv.htm").resolve()
    assert [Path(url2pathname(urlsplit(a).path)).resolve() for a in opened] == [page], \
        f"opened {opened}, expected {page}"

    tube_window = run.desktop.settled(run.open_tube_maker(main))
    assert_alone(run, main, tube_window)
    # A program on Windows counts the frame Windows reports, less the
    # invisible sizing borders (Qt 6.8). Under Wine 10 that is Wine's own
    # 30-pixel title and no border, not the window manager's (here a title
    # of 20, 5 below, 1 at the sides).
    assert_frames_placed(run, main, tube_window, slack=1, counted=WINE_FRAME)
    tube = run.drawn(tube_window, "02-tube-maker")
    tube.save(run.out / "tube-maker.png")
    assert_diagram(tube, run.gif("ring_outer_strip.gif"), "the ring with an outer strip")
    assert_numbers_drawn(tube, d.TUBE, ("Text1", "Text2", "Text3"))
    run.app.close_and_wait(main)


def run_windows_program(args, folder):
    """windows_program on the ravelle.exe in folder; the finished run."""
    run, failed = Run(args, exe=folder / "ravelle.exe", launcher=args.launcher), True
    try:
        windows_program(run, folder)
        failed = False
    finally:
        run.finish(failed)
    return run


def loaded_dlls(log):
    """The DLLs Wine loaded from files of their own (not its built-ins)."""
    found = set()
    for line in log.splitlines():
        m = re.search(r'Loaded L"([^"]+)" at \w+: native', line)
        if m and m.group(1).lower().endswith(".dll"):  # each backslash is written twice
            found.add(PureWindowsPath(m.group(1).replace("\\\\", "\\")))
    return found


def windows_zip(args):
    """The portable folder: unpacked anywhere, it runs with what it holds, and
    holds exactly the DLLs and plugins the program loads, stripped."""
    out = Path(args.out)
    unpacked = out / "unpacked"
    shutil.rmtree(unpacked, ignore_errors=True)
    with zipfile.ZipFile(args.zip) as archive:
        archive.extractall(unpacked)
    folder = unpacked / Path(args.zip).stem
    subprocess.run([*args.launcher, "cmd", "/c", "exit"], check=True)  # the prefix exists
    os.environ["WINEDEBUG"] = "+loaddll"
    run = run_windows_program(args, folder)
    shipped = {p.relative_to(folder).as_posix().lower() for p in folder.rglob("*.dll")}
    loaded = set()
    for dll in loaded_dlls(run.app.log_path.read_text(errors="replace")):
        # Z: is the Unix root, so a shipped DLL's Windows path ends in its
        # path inside the folder.
        unix = Path("/", *dll.parts[1:]) if dll.drive.upper() == "Z:" else None
        if unix and folder.resolve() in unix.resolve().parents:
            loaded.add(unix.resolve().relative_to(folder.resolve()).as_posix().lower())
        else:
            assert dll.drive.upper() == "C:", f"a DLL loaded from outside the folder: {dll}"
    assert shipped == loaded, (f"shipped but never loaded: {sorted(shipped - loaded)}; "
                               f"loaded from elsewhere: {sorted(loaded - shipped)}")
    import pefile  # only the Windows build's tests have it

    unstripped = [dll.name for dll in sorted(folder.rglob("*.dll"))
                  if pefile.PE(dll, fast_load=True).FILE_HEADER.NumberOfSymbols]
    assert not unstripped, f"DLLs that carry a symbol table: {unstripped}"
    print(f"windows_zip: {len(shipped)} DLLs shipped, every one loaded and stripped")


UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravelle"


def files_under(root):
    return {p.relative_to(root).as_posix() for p in root.rglob("*")}


def windows_installer(args):
    """Silent install for all users, the installed program, silent uninstall
    that leaves no file and no registry entry behind."""
    wine = [*args.launcher]
    drive = Path(args.wine_prefix) / "drive_c"

    def settle():  # every process of the prefix has ended
        subprocess.run(["/usr/lib/wine/wineserver", "-w"], check=True,
                       env={**os.environ, "WINEPREFIX": str(args.wine_prefix)})

    def registry(value):
        result = subprocess.run([*wine, "reg", "query", UNINSTALL_KEY, "/v", value],
                                capture_output=True, text=True)
        return result.stdout if result.returncode == 0 else None

    def software_keys():  # the keys of programs for all users
        result = subprocess.run([*wine, "reg", "query", r"HKLM\Software"],
                                capture_output=True, text=True, check=True)
        return {line.strip() for line in result.stdout.splitlines() if line.startswith("HKEY_")}

    subprocess.run([*wine, "cmd", "/c", "exit"], check=True)  # the prefix exists
    settle()
    before, keys_before = files_under(drive), software_keys()
    subprocess.run([*wine, str(Path(args.setup).resolve()), "/S"], check=True, timeout=180)
    settle()
    folder = drive / "Program Files" / "Ravelle"
    page = [f"doc/{Path(name).name}" for name in (layout.EQUATIONS_PAGE, *layout.EQUATIONS_SCRIPTS)]
    for name in ("ravelle.exe", "uninstall.exe", *page, "platforms/qwindows.dll"):
        assert (folder / name).is_file(), f"not installed: {name}"
    with zipfile.ZipFile(args.zip) as archive:  # the same program as the portable folder
        portable = {PurePosixPath(n).relative_to(Path(args.zip).stem).as_posix()
                    for n in archive.namelist() if not n.endswith("/")}
    installed = {p for p in files_under(folder) if (folder / p).is_file()}
    assert installed == portable | {"uninstall.exe"}, \
        f"installed, not in the zip: {sorted(installed - portable)}; " \
        f"in the zip, not installed: {sorted(portable - installed)}"
    menu = drive / "ProgramData/Microsoft/Windows/Start Menu/Programs/Ravelle"
    for link in ("Ravelle.lnk", "Design a box.lnk"):
        assert (menu / link).is_file(), f"no Start-menu entry {link} for all users"
    page_link = (menu / "Design a box.lnk").read_bytes().decode("utf-16-le", "replace") + \
        (menu / "Design a box.lnk").read_bytes().decode("latin-1")
    assert "vent-proof-adv.htm" in page_link, "the Design a box entry does not open the equations page"
    for value, text in (("DisplayName", "Ravelle"), ("DisplayVersion", args.package_version),
                        ("Publisher", "Ravelle developers"), ("UninstallString", "uninstall.exe")):
        shown = registry(value)
        assert shown and text in shown, f"Add/Remove Programs {value}: {shown!r}"

    run = run_windows_program(args, folder)

    subprocess.run([*wine, str(folder / "uninstall.exe"), "/S"], check=True, timeout=120)
    settle()
    # The uninstaller runs from a copy in the temporary folder, which it
    # leaves to Windows to delete at the next start; so start Wine's anew.
    subprocess.run([*wine, "wineboot", "-r"], check=True, timeout=120)
    settle()
    # Of that copy Windows deletes only the file; its empty folder stays in
    # the user's temporary folder, as after every such uninstaller.
    left = sorted(p for p in files_under(drive) - before
                  if not (re.fullmatch(r"users/[^/]+/AppData/Local/Temp/~nsu\w*\.tmp", p)
                          and not any((drive / p).iterdir())))
    assert not left, f"left behind by the uninstaller: {left[:10]}"
    assert registry("DisplayName") is None, "the Add/Remove Programs entry is still there"
    added = sorted(software_keys() - keys_before)
    assert not added, f"registry keys left behind by the uninstaller: {added}"
    print("windows_installer: installed, ran and uninstalled without a trace")


WINDOWS_SCENARIOS = {f.__name__: f for f in (windows_zip, windows_installer)}
SCENARIOS = {f.__name__: f for f in (main_window, tube_maker, dark_desktop, window_manager)}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scenario", required=True, choices=[*SCENARIOS, *WINDOWS_SCENARIOS])
    for option in ("--out", "--resources", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--exe")
    # The Windows build: how to start a Windows program, and what to start.
    parser.add_argument("--wine", help="scripts/wine.sh")
    for option in ("--zip", "--setup", "--wine-prefix", "--package-version"):
        parser.add_argument(option)
    parser.add_argument("--window-manager", help="command that starts one before the program")
    args = parser.parse_args()
    args.launcher = [args.wine, "--bare"] if args.wine else []
    if args.scenario in WINDOWS_SCENARIOS:
        WINDOWS_SCENARIOS[args.scenario](args)
        return 0
    run, failed = Run(args), True
    try:
        SCENARIOS[args.scenario](run)
        failed = False
    finally:
        run.finish(failed)
    print(f"{args.scenario}: passed; screenshots in {run.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
