# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""The X display as a desktop sees it: top-level windows with their captions,
owners and geometry, close requests, screenshots, mouse input through
xdotool and keys through XTEST. A window's geometry is its client area;
without a window manager windows have no frame, under one the frame is the
client area grown by the window manager's _NET_FRAME_EXTENTS."""

import subprocess
import time
from dataclasses import dataclass

from PIL import Image
from Xlib import XK, X, display, error, protocol
from Xlib.ext import xtest

PARKED_POINTER = (2, 2)  # outside every window, so no tooltip pops up
MODIFIER_KEYS = {"alt": "Alt_L", "ctrl": "Control_L", "shift": "Shift_L"}


def wait_for(what, predicate, timeout=10.0, interval=0.05):
    """Polls predicate until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


@dataclass(frozen=True)
class Window:
    id: int
    caption: str
    pid: int
    viewable: bool
    override_redirect: bool
    x: int
    y: int
    width: int
    height: int

    @property
    def size(self):
        return self.width, self.height

    def client(self, shot):
        """This window's client area cut out of a screenshot of the root."""
        return shot.crop((self.x, self.y, self.x + self.width, self.y + self.height))


class Desktop:
    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root
        atom = self.display.intern_atom
        self._net_wm_name, self._utf8 = atom("_NET_WM_NAME"), atom("UTF8_STRING")
        self._net_wm_pid = atom("_NET_WM_PID")
        self._wm_protocols, self._wm_delete = atom("WM_PROTOCOLS"), atom("WM_DELETE_WINDOW")
        self._client_list, self._frame_extents = atom("_NET_CLIENT_LIST"), atom("_NET_FRAME_EXTENTS")
        self._wm_check, self._work_area = atom("_NET_SUPPORTING_WM_CHECK"), atom("_NET_WORKAREA")

    def _top_levels(self):
        """The clients a window manager lists (it reparents them into its
        frames), or else the root's children."""
        clients = self.root.get_full_property(self._client_list, X.AnyPropertyType)
        if clients is None:
            return self.root.query_tree().children
        return [self.display.create_resource_object("window", i) for i in clients.value]

    def windows(self):
        """Every top-level window that still exists."""
        found = []
        for w in self._top_levels():
            try:
                found.append(self._describe(w))
            except error.XError:
                pass  # destroyed while we looked
        return found

    def _describe(self, w):
        prop = w.get_full_property(self._net_wm_name, self._utf8)
        if prop is not None:
            caption = bytes(prop.value).decode("utf-8")
        else:
            caption = w.get_wm_name() or ""
            caption = caption.decode("latin-1") if isinstance(caption, bytes) else caption
        pid_prop = w.get_full_property(self._net_wm_pid, X.AnyPropertyType)
        attrs, geometry = w.get_attributes(), w.get_geometry()
        origin = self.root.translate_coords(w, 0, 0)
        return Window(w.id, caption, int(pid_prop.value[0]) if pid_prop else 0,
                      attrs.map_state == X.IsViewable, bool(attrs.override_redirect),
                      origin.x, origin.y, geometry.width, geometry.height)

    def shown_windows_of(self, pid):
        """The program's visible top-level windows (not tooltips or menus)."""
        return [w for w in self.windows() if w.pid == pid and w.viewable and not w.override_redirect]

    def has_window_manager(self):
        return self.root.get_full_property(self._wm_check, X.AnyPropertyType) is not None

    def frame(self, window):
        """(left, top, width, height) of the window's frame on the screen."""
        target = self.display.create_resource_object("window", window.id)
        prop = target.get_full_property(self._frame_extents, X.AnyPropertyType)
        left, right, top, bottom = prop.value if prop is not None else (0, 0, 0, 0)
        return (window.x - left, window.y - top,
                window.width + left + right, window.height + top + bottom)

    def settled(self, window, quiet=0.3):
        """The window afresh, once its frame has stopped moving for a while
        (a window manager frames a window after it is mapped)."""
        last, since = None, time.monotonic()
        def still():
            nonlocal last, since
            now = self._describe(self.display.create_resource_object("window", window.id))
            if now != last:
                last, since = now, time.monotonic()
            return now if time.monotonic() - since >= quiet else None
        return wait_for(f"{window.caption!r} to stop moving", still, timeout=5.0)

    def work_area(self):
        """(left, top, width, height) of the screen less the desktop's panels."""
        prop = self.root.get_full_property(self._work_area, X.AnyPropertyType)
        return tuple(prop.value[:4]) if prop is not None else (0, 0, *self.screen_size())

    def named(self, caption):
        return [w for w in self.windows() if w.caption == caption]

    def request_close(self, window):
        """What a desktop sends when the user closes a window by its frame."""
        target = self.display.create_resource_object("window", window.id)
        message = protocol.event.ClientMessage(
            window=target, client_type=self._wm_protocols,
            data=(32, [self._wm_delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(message, event_mask=X.NoEventMask)
        self.display.flush()

    def screen_size(self):
        geometry = self.root.get_geometry()
        return geometry.width, geometry.height

    def has_focus(self, window):
        """Whether keyboard input now goes to this window."""
        focus = self.display.get_input_focus().focus
        return not isinstance(focus, int) and focus.id == window.id

    def start_window_manager(self, command):
        """Starts a window manager on the display, once it has taken over."""
        manager = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_for(f"{command[0]} to manage the display", self.has_window_manager)
        return manager

    @staticmethod
    def screenshot(path):
        subprocess.run(["import", "-window", "root", str(path)], check=True)
        with Image.open(path) as image:
            return image.convert("RGB")

    @staticmethod
    def click(window, point):
        x, y = window.x + point[0], window.y + point[1]
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1",
                        "mousemove", "--sync", *map(str, PARKED_POINTER)], check=True)

    def park_pointer(self):
        # xdotool's --sync waits for the pointer to move, for long if it is there already.
        pointer = self.root.query_pointer()
        if (pointer.root_x, pointer.root_y) != PARKED_POINTER:
            subprocess.run(["xdotool", "mousemove", "--sync", *map(str, PARKED_POINTER)], check=True)

    @staticmethod
    def type_text(text):
        subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)

    def key(self, combination):
        """Presses the keys of a combination such as "alt+t" and lets them go
        in reverse order, as a keyboard does: each is the key whose first
        symbol it is. (xdotool may choose another level of the key and press
        the modifier that level needs: with xkb-data 2.48 it sends F1 as
        Alt+F1.)"""
        codes = [self._unshifted_keycode(MODIFIER_KEYS.get(name, name))
                 for name in combination.split("+")]
        for code in codes:
            xtest.fake_input(self.display, X.KeyPress, code)
        for code in reversed(codes):
            xtest.fake_input(self.display, X.KeyRelease, code)
        self.display.sync()

    def _unshifted_keycode(self, name):
        keysym = XK.string_to_keysym(name)
        codes = [code for code, index in self.display.keysym_to_keycodes(keysym) if index == 0]
        if not codes:
            raise ValueError(f"no key of this keyboard has {name!r} as its first symbol")
        return codes[0]
