#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""The real ravelle as a screen reader meets it: under openbox on an X
server with the AT-SPI bus of a D-Bus session of its own (run under
xvfb-run and dbus-run-session), driven by keys alone and read through the
accessibility tree, as Orca reads it.

  test_accessibility.py --exe BIN --out DIR --version 1.6 [--window-manager COMMAND]
"""

import argparse
import shlex
import sys
from pathlib import Path

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
import pyatspi  # noqa: E402

import design as d  # noqa: E402
from program import Program  # noqa: E402
from xsession import Desktop, wait_for  # noqa: E402

SAME = None
BORE = "0.5"  # typed over the small tube's inside diameter: too small a bore
# What a reader says for each control as it goes over a window: its role
# and its name, at the start and once the bore is too small (SAME: as at the
# start). The tube-maker's boxes and button stand in their Tab order.
SPEECH = (
    ("main", "text", "Small tube, inside diameter, mm", SAME),
    ("main", "text", "Small tube, wall size, mm", SAME),
    ("main", "text", "Medium tube, wall size, mm", SAME),
    ("main", "text", "Large tube, wall size, mm", SAME),
    ("main", "text", "Desired acoustic length, mm", SAME),
    ("main", "text", "Cap Thickness, mm", SAME),
    ("main", "label", "Inside diameter of tube 2: 124 mm", "Inside diameter of tube 2: n/a"),
    ("main", "label", "Inside diameter of tube 3: 158 mm", "Inside diameter of tube 3: n/a"),
    ("main", "label", "End gap of tube 1: 21 mm", "End gap of tube 1: n/a"),
    ("main", "label", "End gap of tube 2: 14 mm", "End gap of tube 2: n/a"),
    ("main", "label", "Outside diameter of largest tube: 166 mm",
     "Smallest tube must be larger than 1mm in diameter"),
    ("main", "label", "Volume required by port: 5.9 litres", SAME),
    ("main", "label", "Physical length of port: 277 mm", SAME),
    ("main", "label", "Minimum box depth with port clearance: 417 mm", SAME),
    ("main", "link", "Click here to use tubemaker calculator", SAME),
    ("main", "link", "Click here to visit website containing equations", SAME),
    ("tube-maker", "text", "Inside diameter of starting tube, mm", SAME),
    ("tube-maker", "text", "Required inside diameter, mm", SAME),
    ("tube-maker", "text", "Wall size, mm", SAME),
    ("tube-maker", "push button", "Done", SAME),
    ("tube-maker", "label", "Width of strip to be removed from inner tube: 17 mm", SAME),
    ("tube-maker", "label", "Width of strip to be inserted into outer tube: 10 mm", SAME),
)


def rows(window, roles=None):
    return [r for r in SPEECH if r[0] == window and (roles is None or r[1] in roles)]


def turn_accessibility_on():
    """What a desktop with a screen reader does: programs that start now
    join the AT-SPI bus (its launcher is started by D-Bus on this call)."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, -1, None)


def pump(predicate):
    """predicate, once the events that arrived have been handed out."""
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass
    return predicate()


def descendants(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


class Reader:
    """The program's windows in the accessibility tree."""

    def __init__(self, pid):
        def application():
            found = [a for a in pyatspi.Registry.getDesktop(0)
                     if a is not None and a.get_process_id() == pid]
            return found[0] if found else None
        self.app = wait_for("the program on the AT-SPI bus", application, timeout=15.0)

    def window(self, caption):
        def shown():
            found = [w for w in self.app if w is not None and w.name == caption and showing(w)]
            return found[0] if found else None
        return wait_for(f"{caption!r} in the accessibility tree", shown)

    @staticmethod
    def role(accessible):
        """The role's name as the table spells it: AT-SPI 2.56 (Debian 13)
        calls a push button just "button"."""
        name = accessible.getRoleName()
        return "push button" if name == "button" else name

    @staticmethod
    def control(window, role, name):
        """The one control on show with this role and name."""
        found = [a for a in descendants(window)
                 if showing(a) and Reader.role(a) == role and a.name == name]
        assert len(found) == 1, f"{len(found)} {role}s say {name!r}; the window says " \
            f"{[(Reader.role(a), a.name) for a in descendants(window) if showing(a)]}"
        return found[0]

    @staticmethod
    def focused(window):
        found = [a for a in descendants(window) if a.getState().contains(pyatspi.STATE_FOCUSED)]
        return (Reader.role(found[0]), found[0].name) if found else None

    def wait_focus(self, window, role, name, what):
        wait_for(f"the focus on the {role} {name!r} {what}",
                 lambda: pump(lambda: self.focused(window) == (role, name)), timeout=5.0)


def press(accessible):
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    assert "Press" in names, f"{accessible.name!r} offers {names}"
    action.doAction(names.index("Press"))


def check(args):
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    turn_accessibility_on()
    desktop, manager = Desktop(), None
    if args.window_manager:
        manager = desktop.start_window_manager(shlex.split(args.window_manager))
    app, failed = Program(args.exe, out, d.main_caption(args.version)), True
    try:
        main = app.main_window()
        reader = Reader(app.pid)
        main_tree = reader.window(app.main_caption)
        reader.wait_focus(main_tree, "text", "Small tube, inside diameter, mm", "at the start")

        # Every result, box and link at the start, then after a too-small
        # bore typed into the focused box; the labels that change tell the
        # reader so.
        controls = {r: reader.control(main_tree, r[1], r[2]) for r in rows("main")}
        desktop.screenshot(out / "01-start.png")
        renamed = set()
        def heard(event):
            renamed.add(event.source.path)
        pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
        wait_for("the keyboard in the main window", lambda: desktop.has_focus(main), timeout=5.0)
        desktop.key("ctrl+a")
        desktop.type_text(BORE)
        def says_after(row):
            return row[2] if row[3] is SAME else row[3]
        def all_said():
            return all(controls[r].name == says_after(r) for r in controls)
        try:
            wait_for("the results to be said anew", lambda: pump(all_said), timeout=5.0)
        finally:
            pyatspi.Registry.deregisterEventListener(heard, "object:property-change:accessible-name")
            desktop.screenshot(out / "02-small-bore.png")
        unsaid = [says_after(r) for r in controls if r[3] is not SAME
                  and controls[r].path not in renamed]
        assert not unsaid, f"no name-change event for {unsaid}"

        # The tube-maker by Alt+T; Tab through it; "Done" by space, and
        # the keyboard back in the main window's box.
        desktop.key("alt+t")
        tube = app.wait_shown(d.TUBE_CAPTION)
        tube_tree = reader.window(d.TUBE_CAPTION)
        for row in rows("tube-maker"):
            reader.control(tube_tree, row[1], row[2])
        stops = rows("tube-maker", ("text", "push button"))
        reader.wait_focus(tube_tree, *stops[0][1:3], "as the tube-maker opens")
        desktop.screenshot(out / "03-tube-maker.png")
        for row in stops[1:]:
            desktop.key("Tab")
            reader.wait_focus(tube_tree, *row[1:3], "after Tab")
        desktop.key("space")
        wait_for("Done to hide the tube-maker",
                 lambda: tube.id not in [w.id for w in desktop.shown_windows_of(app.pid)])
        wait_for("the keyboard back in the main window", lambda: desktop.has_focus(main))
        reader.wait_focus(main_tree, "text", "Small tube, inside diameter, mm", "after Done")

        # F1, then each link's action, as a screen reader presses it.
        page = Path(args.exe).resolve().parent.parent / "share" / "ravelle" / "vent-proof-adv.htm"
        def opened(times):
            return lambda: app.opened_addresses() == [page.as_uri()] * times
        desktop.key("F1")
        wait_for("F1 to open the equations page", opened(1), timeout=5.0)
        press(controls[rows("main", ("link",))[0]])
        again = app.wait_shown(d.TUBE_CAPTION)
        assert again.id == tube.id, "the tube-maker was built anew instead of shown again"
        press(controls[rows("main", ("link",))[1]])
        wait_for("the link's action to open the equations page", opened(2), timeout=5.0)
        app.close_and_wait(main)
        failed = False
    finally:
        app.finish(failed)
        if manager:
            manager.terminate()
            manager.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--exe", "--out", "--version"):
        parser.add_argument(option, required=True)
    parser.add_argument("--window-manager", help="command that starts one before the program")
    args = parser.parse_args()
    check(args)
    print(f"accessibility: passed; screenshots in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
