#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Opens the built game on a Wayland desktop: weston, headless, with XWayland.

Started as a player's desktop starts it (WAYLAND_DISPLAY and DISPLAY set,
XDG_SESSION_TYPE=wayland, no platform named), the game must open an X11 window
through XWayland and no Wayland window of its own, with the frame the X11
desktop gets: no title, a close box only, a fixed size, centred, and the class
the menu entry names. A player who names the Wayland platform (QT_QPA_PLATFORM
or -platform) gets a Wayland window, with the menu entry's id as its app id.
Usage (as CTest runs it):

    wayland_window.py path/to/kalvex path/to/org.kalvex.Kalvex.desktop.in
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

from x_support import wait_for

GAME, ENTRY = sys.argv[1], sys.argv[2]
SIZE = (224, 384)
APP_ID = "org.kalvex.Kalvex"
# Motif hints: functions and decorations that would give minimise and maximise.
MWM_HINTS_FUNCTIONS, MWM_HINTS_DECORATIONS = 1, 2
MWM_FUNC_ALL, MWM_FUNC_MINIMIZE, MWM_FUNC_MAXIMIZE, MWM_FUNC_CLOSE = 1, 8, 16, 32
MWM_DECOR_ALL, MWM_DECOR_MINIMIZE, MWM_DECOR_MAXIMIZE = 1, 32, 64
US_POSITION, P_POSITION, P_MIN_SIZE, P_MAX_SIZE = 1, 4, 16, 32


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        proc.kill()


class Weston:
    """A headless weston with XWayland in a private runtime folder."""

    def __init__(self):
        self.runtime = tempfile.mkdtemp(prefix="kalvex-wayland-")
        os.chmod(self.runtime, 0o700)
        # XWayland listens in the shared X socket folder, which a machine
        # that never ran an X server may not have yet.
        if not os.path.isdir("/tmp/.X11-unix"):
            os.makedirs("/tmp/.X11-unix", exist_ok=True)
            os.chmod("/tmp/.X11-unix", 0o1777)
        self.socket = "kalvex-test"
        self.log = os.path.join(self.runtime, "weston.log")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        self.proc = subprocess.Popen(
            ["weston", "--backend=headless-backend.so", f"--socket={self.socket}", "--xwayland",
             "--idle-time=0", "--no-config", f"--log={self.log}"],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def x_display():
            if self.proc.poll() is not None:
                raise AssertionError(f"weston ended:\n{self.read_log()}")
            match = re.search(r"xserver listening on display (:\d+)", self.read_log())
            return match and match.group(1)

        self.display = wait_for("weston's X server", x_display)

    def read_log(self):
        try:
            with open(self.log, errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def env(self, **extra):
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.socket,
                   DISPLAY=self.display, XDG_SESSION_TYPE="wayland", WAYLAND_DEBUG="client")
        env.pop("QT_QPA_PLATFORM", None)
        env.update(extra)
        return env

    def close(self):
        stop(self.proc)
        shutil.rmtree(self.runtime, ignore_errors=True)


class Game:
    """The game with its Wayland requests (WAYLAND_DEBUG) written to a file."""

    def __init__(self, weston, args=(), **env):
        self.requests = os.path.join(weston.runtime, f"game-{time.monotonic_ns()}.log")
        with open(self.requests, "w") as out:
            self.proc = subprocess.Popen([GAME, *args], env=weston.env(**env),
                                         stdout=subprocess.DEVNULL, stderr=out)

    def wayland_requests(self):
        with open(self.requests, errors="replace") as f:
            return [line.split("-> ", 1)[1].strip() for line in f if "-> " in line]

    def sent(self, request):
        """The arguments of each xdg_toplevel request of this name, as sent."""
        pattern = re.compile(rf"xdg_toplevel@\d+\.{request}\((.*)\)$")
        return [m.group(1) for m in map(pattern.search, self.wayland_requests()) if m]

    def close(self):
        stop(self.proc)


def x11_windows(x11, window):
    for child in window.query_tree().children:
        yield child
        yield from x11_windows(x11, child)


def game_window(x11, game):
    def found():
        if game.proc.poll() is not None:
            raise AssertionError(f"the game ended with {game.proc.returncode}")
        for window in x11_windows(x11, x11.screen().root):
            wm_class = window.get_wm_class()
            if wm_class and "kalvex" in wm_class:
                attrs = window.get_attributes()
                if attrs.map_state == X.IsViewable:
                    return window
        titles = game.sent("set_title")
        if titles:
            raise AssertionError(f"the game opened a Wayland window: title {titles}, "
                                 f"app id {game.sent('set_app_id')}")
        return None

    return wait_for("the game's X11 window", found)


def startup_wm_class():
    with open(ENTRY, encoding="utf-8") as f:
        return re.search(r"^StartupWMClass=(.*)$", f.read(), re.M).group(1)


def check_xwayland(weston):
    """No platform named: an X11 window through XWayland, as on an X11 desktop."""
    game = Game(weston)
    try:
        x11 = xdisplay.Display(weston.display)
        window = game_window(x11, game)

        def read_titles():
            props = (window.get_full_property(x11.intern_atom(name), X.AnyPropertyType)
                     for name in ("_NET_WM_NAME", "WM_NAME"))
            return [None if prop is None else bytes(prop.value) for prop in props]

        # The title is cleared just after the window is shown.
        deadline = time.monotonic() + 5
        while (titles := read_titles()) != [b"", b""] and time.monotonic() < deadline:
            time.sleep(0.1)
        wm_class = window.get_wm_class()
        print(f"X11 window 0x{window.id:x} on {weston.display}: _NET_WM_NAME, WM_NAME {titles}, "
              f"WM_CLASS {wm_class}")
        assert titles == [b"", b""], f"_NET_WM_NAME and WM_NAME on the wire: {titles}"
        wanted = startup_wm_class()
        assert wm_class == (wanted, wanted), f"WM_CLASS {wm_class}, StartupWMClass={wanted}"

        # WM_NORMAL_HINTS: flags, x, y, width, height, min and max size, ...
        hints = list(window.get_full_property(x11.intern_atom("WM_NORMAL_HINTS"),
                                              X.AnyPropertyType).value)
        size_flags, position, minimum, maximum = hints[0], hints[1:3], hints[5:7], hints[7:9]
        geometry = window.get_geometry()
        print(f"size {geometry.width}x{geometry.height}, min {minimum}, max {maximum}")
        assert (geometry.width, geometry.height) == SIZE
        assert size_flags & P_MIN_SIZE and size_flags & P_MAX_SIZE
        assert minimum == maximum == list(SIZE)

        motif = window.get_full_property(x11.intern_atom("_MOTIF_WM_HINTS"), X.AnyPropertyType)
        flags, functions, decorations = list(motif.value)[:3]
        print(f"_MOTIF_WM_HINTS flags {flags} functions {functions} decorations {decorations}")
        assert flags & MWM_HINTS_FUNCTIONS and not functions & MWM_FUNC_ALL
        assert functions & MWM_FUNC_CLOSE
        assert not functions & (MWM_FUNC_MINIMIZE | MWM_FUNC_MAXIMIZE)
        assert flags & MWM_HINTS_DECORATIONS and not decorations & MWM_DECOR_ALL
        assert not decorations & (MWM_DECOR_MINIMIZE | MWM_DECOR_MAXIMIZE)

        # Centred: the game asks for the place where its frame's middle is the
        # screen's middle (weston's own frame around it lies outside X11's view).
        screen = x11.screen()
        extents = window.get_full_property(x11.intern_atom("_NET_FRAME_EXTENTS"),
                                           X.AnyPropertyType)
        fl, fr, ft, fb = list(extents.value) if extents else (0, 0, 0, 0)
        centre = (position[0] - fl + (fl + SIZE[0] + fr) / 2,
                  position[1] - ft + (ft + SIZE[1] + fb) / 2)
        print(f"asks for {position} (flags {size_flags:#x}), frame extents {fl},{fr},{ft},{fb}, "
              f"frame centre {centre} on a {screen.width_in_pixels}x{screen.height_in_pixels} "
              "screen")
        assert size_flags & (US_POSITION | P_POSITION), "no position asked for"
        assert abs(centre[0] - screen.width_in_pixels / 2) <= 1, "not centred across"
        assert abs(centre[1] - screen.height_in_pixels / 2) <= 1, "not centred down"

        requests = game.wayland_requests()
        assert not requests, f"the game spoke Wayland itself: {requests[:5]}"
        print("no Wayland requests from the game: ok")
    finally:
        game.close()


def check_wayland(weston, args, env, how):
    """The player named the Wayland platform: a Wayland window with the entry's app id."""
    game = Game(weston, args, **env)
    try:
        app_ids = wait_for(f"set_app_id with {how}", lambda: game.sent("set_app_id"))
        wait_for(f"set_max_size with {how}", lambda: game.sent("set_max_size"))
        print(f"{how}: set_title {game.sent('set_title')}, set_app_id {app_ids}, "
              f"set_min_size {game.sent('set_min_size')}, "
              f"set_max_size {game.sent('set_max_size')}")
        assert app_ids[-1] == f'"{APP_ID}"', f"app id {app_ids}"
        assert game.sent("set_min_size")[-1] == game.sent("set_max_size")[-1] == "%d, %d" % SIZE
    finally:
        game.close()


def main():
    weston = Weston()
    try:
        check_xwayland(weston)
        check_wayland(weston, (), {"QT_QPA_PLATFORM": "wayland"}, "QT_QPA_PLATFORM=wayland")
        check_wayland(weston, ("-platform", "wayland"), {}, "-platform wayland")
    finally:
        weston.close()


if __name__ == "__main__":
    main()
