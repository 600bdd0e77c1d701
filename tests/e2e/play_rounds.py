#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Plays whole rounds of the built game with the real X pointer.

Runs the game under a private Xvfb display inside its own D-Bus session, moves
the pointer with xdotool as a player would, and reads the status line through
AT-SPI, the way a screen reader does. Usage (as CTest runs it):

    dbus-run-session -- /usr/bin/python3 play_rounds.py path/to/kalvex [KEEP_DIR]

With KEEP_DIR, the game's stderr is kept there in `stderr`, and every text
read from the window through AT-SPI in `texts`, one a line, for the installed
package's test to check.
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib
from Xlib import X, display as xdisplay

from x_support import start_display

GAME = sys.argv[1]
KEEP = sys.argv[2] if len(sys.argv) > 2 else None
START = "파란색 버튼 위로 마우스를 가져가세요."
MOVING = "이동중 입니다."
ASK_RED = "빨간색 버튼위로 마우스를 가져가세요."
FAILED = "실패 하셨습니다. 다시 도전하세요."
ASK_CLICK = "흰공이 가운데 오면 Click을 클릭하세요."
CONGRATULATIONS = "축하드립니다."
THANKS = "감사합니다."

# Window pixels (15 twips each): button centres, a point of the hover zone that
# lies inside it before and after a new game, the gauge button, the new-game button.
BLUE = (72, 272)
RED = (152, 272)
ZONE = (110, 312)
GAUGE_BUTTON = (112, 266)
NEW_GAME = (60, 364)
TRACK_Y = 288


class Game:
    def __init__(self):
        self.xvfb, self.display = start_display((800, 800))
        os.environ["DISPLAY"] = self.display
        self.bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                    stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        self.texts = set()
        self.stderr = open(os.path.join(KEEP, "stderr"), "wb") if KEEP else subprocess.DEVNULL
        self.proc = subprocess.Popen([GAME], env=env, stderr=self.stderr)
        wid = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--class", "kalvex"],
                             capture_output=True, text=True, timeout=30).stdout.split()[0]
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid],
                                  capture_output=True, text=True).stdout
        self.wid = int(wid)
        values = dict(line.split("=") for line in geometry.split())
        self.x, self.y = int(values["X"]), int(values["Y"])
        self.status = self.find_status()
        self.x11 = xdisplay.Display(self.display)

    def find_status(self, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            desktop = pyatspi.Registry.getDesktop(0)
            for app in desktop:
                if app is not None and app.name == "kalvex":
                    found = pyatspi.findDescendant(
                        app, lambda a: a.getRoleName() == "label" and a.name == START)
                    if found is not None:
                        self.texts.update(a.name for a in pyatspi.findAllDescendants(
                            app, lambda a: bool(a.name)))
                        return found
            time.sleep(0.2)
        raise AssertionError("the status line was not found through AT-SPI")

    def move(self, point):
        subprocess.run(["xdotool", "mousemove", str(self.x + point[0]), str(self.y + point[1])],
                       check=True)

    def hover(self, point, seconds):
        """Rests on a point, nudging the pointer as a hand does."""
        end = time.monotonic() + seconds
        self.move(point)
        while time.monotonic() < end - 0.05:
            time.sleep(0.05)
            self.move((point[0] + 1, point[1]))
            self.move(point)
        time.sleep(max(0.0, end - time.monotonic()))

    def click(self, point):
        self.move(point)
        subprocess.run(["xdotool", "click", "1"], check=True)

    def wait_status(self, wanted, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            name = self.status.name
            if name in wanted:
                self.texts.add(name)
                return name
            time.sleep(0.02)
        raise AssertionError(f"status stayed {self.status.name!r}, wanted one of {wanted}")

    def announced_names(self, action, seconds=1.0):
        """The accessible-name changes announced on the status line while `action` runs."""
        names = []

        def heard(event):
            if event.source == self.status:
                names.append(event.source.name)

        pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name")
        action()
        GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
        pyatspi.Registry.start()
        pyatspi.Registry.deregisterEventListener(heard, "object:property-change:accessible-name")
        return names

    def ball_left(self):
        """The gauge ball's left edge in window pixels, read off the screen."""
        row = self.x11.screen().root.get_image(self.x + 20, self.y + TRACK_Y, 190, 1,
                                               X.ZPixmap, 0xFFFFFFFF)
        data = row.data
        white = [i for i in range(190) if data[4 * i] > 200 and data[4 * i + 1] > 200]
        return 20 + white[0] if white else None

    def steer(self, up_seconds, side_seconds):
        self.hover(BLUE, up_seconds)
        self.move(ZONE)
        self.wait_status([ASK_RED], 2)
        self.hover(RED, side_seconds)
        self.move(ZONE)

    def title_properties(self):
        """The window's titles as the window manager reads them, and its class."""
        window = self.x11.create_resource_object("window", self.wid)
        titles = {}
        for name in ("_NET_WM_NAME", "WM_NAME"):
            prop = window.get_full_property(self.x11.intern_atom(name), X.AnyPropertyType)
            titles[name] = None if prop is None else bytes(prop.value)
        return titles, window.get_wm_class()

    def close(self):
        for p in (self.proc, self.bus, self.xvfb):
            p.terminate()
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                p.kill()
        if KEEP:
            self.stderr.close()
            with open(os.path.join(KEEP, "texts"), "w", encoding="utf-8") as out:
                out.writelines(text + "\n" for text in sorted(self.texts))


def main():
    game = Game()
    try:
        # The title bar shows nothing; task bars still find the game by its class.
        titles, wm_class = game.title_properties()
        assert titles == {"_NET_WM_NAME": b"", "WM_NAME": b""}, f"titles on the wire: {titles}"
        assert wm_class and "kalvex" in wm_class, f"WM_CLASS is {wm_class}"
        print("empty title: ok")

        # A miss: a short path that lies under no prize.
        assert game.status.name == START
        heard = game.announced_names(lambda: game.move(BLUE))
        assert heard and heard[-1] == MOVING, f"no announcement of the moving text: {heard}"
        game.wait_status([MOVING], 2)
        game.steer(0.2, 0.2)
        game.wait_status([FAILED], 2)
        game.wait_status([THANKS], 10)
        print("miss round: ok")

        # A catch: the claw goes up 3 to 9 steps and right 23 to 29 steps,
        # over the kitten prize at (840, 2400); then the gauge, clicked while
        # the ball stands in the middle band.
        game.click(NEW_GAME)
        game.wait_status([START], 2)
        game.steer(0.52, 2.12)
        game.wait_status([ASK_CLICK], 2)
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            left = game.ball_left()
            if left is not None and 107 <= left <= 113:
                game.click(GAUGE_BUTTON)
                break
        outcome = game.wait_status([CONGRATULATIONS, THANKS], 10)
        assert outcome == CONGRATULATIONS, f"the gauge click missed the band: {outcome}"
        print("catch round: ok")

        # The next round starts from the status line's first text again.
        game.click(NEW_GAME)
        game.wait_status([START], 2)
        print("new game: ok")
    finally:
        game.close()


if __name__ == "__main__":
    main()
