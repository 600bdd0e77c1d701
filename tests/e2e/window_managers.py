#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""The game's window under the window managers of the two big desktops.

Starts a private 1920 x 1080 Xvfb and on it KWin (with Plasma's Breeze frame)
or Mutter, or Mutter as a headless Wayland compositor with XWayland, each with
a session bus of its own, then the game with no session bus at all. Reads what the window manager made of the window, asks it to fill
the screen, opens both message boxes and closes the game through the
thank-you box. Usage (as CTest runs it):

    window_managers.py kwin|mutter|mutter-xwayland path/to/kalvex
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import Xlib.error
from Xlib import X, Xatom, display as xdisplay, protocol

from x_support import start_display, wait_for

WM, GAME = sys.argv[1], sys.argv[2]
SCREEN = (1920, 1080)
SIZE = (224, 384)
# Window pixels: the title picture (the information box), the end button,
# the blue and red buttons, a point of the yellow panel between them, the
# play field and the status line.
TITLE_PICTURE = (112, 15)
END_BUTTON = (164, 364)
BLUE, RED, PANEL = (72, 272), (152, 272), (110, 312)
FIELD, STATUS = (8, 40, 209, 209), (0, 328, 224, 17)
MIN_BOX_WIDTH = 140
WM_COMMANDS = {
    # Breeze needs the Plasma desktop named; no GL under Xvfb.
    "kwin": (["kwin_x11", "--replace"], {"XDG_CURRENT_DESKTOP": "KDE", "KWIN_COMPOSE": "N"}),
    "mutter": (["mutter", "--x11", "--replace"], {}),
    # GNOME's Wayland session: Mutter as a headless compositor with XWayland,
    # which tells its X display to the program it starts.
    "mutter-xwayland": (["mutter", "--wayland", "--headless", "--virtual-monitor",
                         "%dx%d" % SCREEN, "--", "sh", "-c",
                         'echo "$DISPLAY $XAUTHORITY" > "$KALVEX_X_DISPLAY"; exec sleep 600'],
                        {}),
}


def processes_with_home(home):
    """The processes whose environment names this home folder, by process id."""
    found = set()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"HOME={home}".encode() in f.read().split(b"\0"):
                    found.add(pid)
        except OSError:
            pass
    return found


class Session:
    def __init__(self):
        self.tmp = tempfile.mkdtemp(prefix="kalvex-wm-")
        command, extra = WM_COMMANDS[WM]
        env = dict(os.environ, **extra)
        if WM.endswith("xwayland"):
            self.xvfb = None
            runtime = os.path.join(self.tmp, "compositor")
            os.makedirs(runtime, mode=0o700)
            told = os.path.join(self.tmp, "x-display")
            env.update(XDG_RUNTIME_DIR=runtime, KALVEX_X_DISPLAY=told)
            for name in ("DISPLAY", "WAYLAND_DISPLAY"):
                env.pop(name, None)
        else:
            self.xvfb, self.display = start_display(SCREEN)
            env["DISPLAY"] = self.display
        # The window manager's bus starts helpers that keep its output open:
        # a file, not a pipe, or the test waits for them.
        self.wm_log = open(os.path.join(self.tmp, "wm.log"), "wb")
        self.wm = subprocess.Popen(["dbus-run-session", "--", *command], env=env,
                                   stdout=self.wm_log, stderr=self.wm_log, start_new_session=True)
        if not self.xvfb:
            def x_display():
                if self.wm.poll() is not None:
                    raise AssertionError(f"{WM} ended with {self.wm.returncode}")
                if os.path.exists(told):
                    with open(told) as f:
                        return f.read().split()
                return None

            self.display, *auth = wait_for("XWayland", x_display)
            if auth:
                os.environ["XAUTHORITY"] = auth[0]
        self.x11 = xdisplay.Display(self.display)
        self.root = self.x11.screen().root
        wait_for(f"{WM} to manage the screen", self.wm_running)

    def atom(self, name):
        return self.x11.intern_atom(name)

    def prop(self, window, name):
        value = window.get_full_property(self.atom(name), X.AnyPropertyType)
        return None if value is None else list(value.value)

    def wm_running(self):
        if self.wm.poll() is not None:
            raise AssertionError(f"{WM} ended with {self.wm.returncode}")
        check = self.prop(self.root, "_NET_SUPPORTING_WM_CHECK")
        return bool(check) and self.prop(self.root, "_NET_SUPPORTED") is not None

    def start_game(self):
        # No session bus: none in the environment, none in the runtime folder.
        home, runtime = os.path.join(self.tmp, "home"), os.path.join(self.tmp, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        env = dict(os.environ, DISPLAY=self.display, QT_QPA_PLATFORM="xcb", HOME=home,
                   XDG_RUNTIME_DIR=runtime)
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        self.home = home
        self.game = subprocess.Popen([GAME], env=env, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)

    def kalvex_windows(self, window=None, depth=0):
        """The game's shown windows, wherever the window manager's frames put them."""
        found = []
        try:
            for child in (window or self.root).query_tree().children:
                wm_class = child.get_wm_class()
                if wm_class and "kalvex" in wm_class:
                    if child.get_attributes().map_state == X.IsViewable and \
                            self.prop(child, "_NET_FRAME_EXTENTS") is not None:
                        found.append(child)
                elif depth < 3:
                    found += self.kalvex_windows(child, depth + 1)
        except (Xlib.error.BadWindow, Xlib.error.BadDrawable):
            pass  # closed while looked at
        return found

    def geometry(self, window):
        """The window's place on the screen, its size and its frame (left, right, top, bottom)."""
        place = window.translate_coords(self.root, 0, 0)
        size = window.get_geometry()
        frame = self.prop(window, "_NET_FRAME_EXTENTS") or [0, 0, 0, 0]
        return (-place.x, -place.y), (size.width, size.height), frame

    def frame_centre(self, window):
        (x, y), (w, h), (left, right, top, bottom) = self.geometry(window)
        return x - left + (left + w + right) / 2, y - top + (top + h + bottom) / 2

    def state(self, window):
        return {self.x11.get_atom_name(a) for a in self.prop(window, "_NET_WM_STATE") or []}

    def client_message(self, window, name, data):
        event = protocol.event.ClientMessage(window=window, client_type=self.atom(name),
                                             data=(32, (data + [0] * 5)[:5]))
        self.root.send_event(event, event_mask=X.SubstructureRedirectMask |
                             X.SubstructureNotifyMask)
        self.x11.flush()

    def pointer(self, window, point, *click):
        (x, y), _, _ = self.geometry(window)
        subprocess.run(["xdotool", "mousemove", str(x + point[0]), str(y + point[1]), *click],
                       env=dict(os.environ, DISPLAY=self.display), check=True)

    def click(self, window, point):
        self.pointer(window, point, "click", "1")

    def hover(self, window, point, seconds):
        """Rests on a point, nudging the pointer as a hand does."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            self.pointer(window, point)
            self.pointer(window, (point[0] + 1, point[1]))

    def picture(self, window, area=(0, 0, *SIZE)):
        return window.get_image(*area, X.ZPixmap, 0xFFFFFFFF).data

    def drawn(self, window):
        """Whether the game has drawn its window: blank until its first picture."""
        data = self.picture(window)
        return len({data[i:i + 4] for i in range(0, len(data), 4)}) > 16

    def wm_caught_up(self):
        """Returns once the window manager has handled every event the server
        sent it so far: the owner of WM_Sn answers a selection request
        (ICCCM 2.2) in turn with them."""
        selection = self.atom("WM_S%d" % self.x11.get_default_screen())
        requestor = self.root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        requestor.convert_selection(selection, self.atom("TARGETS"),
                                    self.atom("KALVEX_CAUGHT_UP"), X.CurrentTime)
        self.x11.flush()

        def answered():
            while self.x11.pending_events():
                event = self.x11.next_event()
                if event.type == X.SelectionNotify and event.requestor == requestor:
                    return True
            return False

        wait_for("the window manager to answer", answered, timeout=10)
        requestor.destroy()

    def close(self):
        for proc in (getattr(self, "game", None),):
            if proc and proc.poll() is None:
                proc.kill()
                proc.wait()
        try:
            os.killpg(self.wm.pid, 15)
        except ProcessLookupError:
            pass
        self.wm.wait(timeout=10)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)
        self.wm_log.close()
        shutil.rmtree(self.tmp, ignore_errors=True)


def open_box(session, game_window, point, title):
    before = {w.id for w in session.kalvex_windows()}
    session.click(game_window, point)
    box = wait_for(f"the box {title}", lambda: next(
        (w for w in session.kalvex_windows() if w.id not in before), None))
    (x, y), (w, h), (left, right, top, bottom) = session.geometry(box)
    name = bytes(box.get_full_property(session.atom("_NET_WM_NAME"), X.AnyPropertyType).value)
    transient = box.get_full_property(Xatom.WM_TRANSIENT_FOR, Xatom.WINDOW)
    print(f"box {name.decode()!r}: {w}x{h} at {x},{y}, frame {left},{right},{top},{bottom}, "
          f"state {sorted(session.state(box))}")
    assert name == title.encode(), f"title {name}"
    assert left + w + right >= MIN_BOX_WIDTH, "too narrow for its title"
    assert transient and transient.value[0] == game_window.id, "not over the game"
    centre, over = session.frame_centre(box), session.frame_centre(game_window)
    print(f"box frame centre {centre}, the game's {over}")
    assert abs(centre[0] - over[0]) <= 1 and abs(centre[1] - over[1]) <= 1, "not centred on the game"
    assert "_NET_WM_STATE_MODAL" in session.state(box)
    return box


def main():
    session = Session()
    try:
        session.start_game()
        window = wait_for("the game's window", lambda: next(iter(session.kalvex_windows()),
                                                              None))
        # Where it first shows it stays: it is not moved once seen. A player
        # sees it from its first picture on, which the game draws after it
        # asked for its place; a compositing window manager shows it once it
        # has handled that request, however late a busy machine lets it.
        wait_for("the game's first picture", lambda: session.drawn(window))
        session.wm_caught_up()
        places = set()
        end = time.monotonic() + 1.0
        while time.monotonic() < end:
            places.add(session.geometry(window)[0])
        place, size, frame = session.geometry(window)
        centre = session.frame_centre(window)
        hints = session.prop(window, "WM_NORMAL_HINTS")
        print(f"{WM}: window {size[0]}x{size[1]} at {place}, frame extents {frame}, "
              f"frame centre {centre}, gravity {hints[17]}, places seen {sorted(places)}")
        assert size == SIZE
        assert len(places) == 1, f"the window moved after it showed: {places}"
        assert abs(centre[0] - SCREEN[0] / 2) <= 1 and abs(centre[1] - SCREEN[1] / 2) <= 1, \
            "the frame is not centred on the screen"

        actions = {session.x11.get_atom_name(a)
                   for a in session.prop(window, "_NET_WM_ALLOWED_ACTIONS")}
        print(f"allowed actions {sorted(actions)}")
        assert "_NET_WM_ACTION_CLOSE" in actions
        assert not actions & {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_FULLSCREEN",
                              "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"}

        # A shortcut or a script asks the window manager to fill the screen.
        drawn = session.picture(window)
        for states in (["_NET_WM_STATE_FULLSCREEN"],
                       ["_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"]):
            session.client_message(window, "_NET_WM_STATE",
                                   [1, *(session.atom(s) for s in states), 1])
            time.sleep(1.5)
            after = session.geometry(window)
            print(f"after {states}: {after}, state {sorted(session.state(window))}")
            assert after == (place, size, frame), f"{states} changed the window"
            assert not session.state(window) & set(states)
            assert session.picture(window) == drawn, "the game is drawn differently"

        # A round missed with the real pointer through the frame: the claw
        # rises and moves right, drops, comes home empty, and the status line
        # has moved on.
        field, status = session.picture(window, FIELD), session.picture(window, STATUS)
        session.hover(window, BLUE, 0.3)
        session.pointer(window, PANEL)
        rose = session.picture(window, FIELD) != field
        time.sleep(0.3)
        session.hover(window, RED, 0.3)
        session.pointer(window, PANEL)
        wait_for("the claw to come home", lambda: session.picture(window, FIELD) == field)
        assert rose, "the claw did not rise"
        assert session.picture(window, STATUS) != status, "the status line stayed"
        print("a round with the pointer: ok")

        info = open_box(session, window, TITLE_PICTURE, "정보")
        session.client_message(info, "_NET_CLOSE_WINDOW", [0, 2])
        wait_for("the information box to close", lambda: len(session.kalvex_windows()) == 1)
        assert session.game.poll() is None, "the information box ended the game"

        # However the thank-you box is closed, the game ends: here by its close box.
        thanks = open_box(session, window, END_BUTTON, "종료")
        session.client_message(thanks, "_NET_CLOSE_WINDOW", [0, 2])
        assert session.game.wait(timeout=10) == 0
        print("closing the thank-you box ended the game: ok")

        # With no session bus the game started none, and it left no process
        # and no file of its own behind.
        left = processes_with_home(session.home)
        print(f"processes left {sorted(left)}, home {os.listdir(session.home)}")
        for pid in left:
            os.kill(int(pid), 15)
        assert not left, "the game left processes behind"
        assert not os.path.exists(os.path.join(session.home, ".dbus"))
    finally:
        session.close()


if __name__ == "__main__":
    main()
