# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (c) Ravelle developers
"""The X display as a desktop sees it: top-level windows with their captions,
owners and geometry, close requests, screenshots, and mouse and keyboard
input through xdotool. Without a window manager windows have no frame, so a
window's geometry is its client area."""

import subprocess
import time
from dataclasses import dataclass

from PIL import Image
from Xlib import X, display, error, protocol

PARKED_POINTER = (2, 2)  # outside every window, so no tooltip pops up


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

    def windows(self):
        """Every top-level window that still exists."""
        found = []
        for w in self.root.query_tree().children:
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

    @staticmethod
    def park_pointer():
        subprocess.run(["xdotool", "mousemove", "--sync", *map(str, PARKED_POINTER)], check=True)

    @staticmethod
    def type_text(text):
        subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)

    @staticmethod
    def key(name):
        subprocess.run(["xdotool", "key", name], check=True)
