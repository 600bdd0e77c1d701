#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Exit never waits on audio: the built game under Xvfb, with a PulseAudio
server (null sink, private folder) that stops answering (SIGSTOP), and ALSA's
default device routed to that server for the game alone, as on a desktop.

For each way the server hangs — stopped before the game starts, stopped
after the music played, and, after the music played, killed and replaced by
one that hangs as it starts — the game is left 4.5 s to notice and is then
ended once with 종료 and the box's OK button (the real pointer, found
through AT-SPI) and once with the window's close box (WM_DELETE_WINDOW, as a
window manager sends it). The process must have ended within 1 s.

Usage (as CTest runs it): dbus-run-session -- hung_server_exit.py path/to/kalvex
"""
import os
import subprocess
import sys
import time

import pyatspi
from Xlib import X, display as xdisplay
from Xlib.protocol import event

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [here, os.path.join(here, "..", "e2e")]
from x_support import start_display  # noqa: E402
from sound_support import (Lab, PulseServer, check, end, finish, name_of, sink_inputs,  # noqa: E402
                           wait_until)

GAME = sys.argv[1]
GRACE = 4.5  # seconds the game has to notice the server hangs
LIMIT = 1.0  # seconds from the exit to the end of the process
PATIENCE = 5.0  # seconds waited before a game that did not end is killed


# Each way of hanging returns when the server began to hang.
def hung_at_start(server, game_starts, lab):
    server.start(hung=True)
    game_starts()
    return time.monotonic()


def hung_after_play(server, game_starts, lab):
    server.start()
    game_starts()
    if check(wait_until(lambda: any(name_of(s) == "Kalvex" for s in sink_inputs(lab)), 10)
             is not None, "   the music played first"):
        time.sleep(1)
    server.stop()
    return time.monotonic()


def replaced_by_hung(server, game_starts, lab):
    hung_after_play(server, game_starts, lab)
    server.kill()
    server.start(hung=True)
    return time.monotonic()


class Game:
    """The game on the shared display, its window and its process."""

    def __init__(self, lab):
        self.proc = subprocess.Popen([GAME], stderr=subprocess.DEVNULL, env=dict(
            lab.env, DISPLAY=display, QT_QPA_PLATFORM="xcb",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"]))
        self.wid = int(subprocess.run(
            ["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(self.proc.pid),
             "--class", "kalvex"], env=dict(os.environ, DISPLAY=display), capture_output=True,
            text=True, timeout=30).stdout.split()[0])


def widget(role, name, timeout=10):
    """An accessible of the game's, found through AT-SPI, and its centre on screen."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "kalvex":
                found = pyatspi.findDescendant(
                    app, lambda a: a.getRoleName() == role and a.name == name)
                if found is not None:
                    box = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    if box.width > 0:
                        return box.x + box.width // 2, box.y + box.height // 2
        time.sleep(0.1)
    raise AssertionError(f"no {role} {name!r} through AT-SPI")


def click(point):
    subprocess.run(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", "1"],
                   env=dict(os.environ, DISPLAY=display), check=True)


def exit_button(game):
    click(widget("push button", "종료"))
    click(widget("push button", "OK"))


def close_box(game):
    window = x11.create_resource_object("window", game.wid)
    window.send_event(event.ClientMessage(
        window=window, client_type=x11.intern_atom("WM_PROTOCOLS"),
        data=(32, [x11.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])),
        event_mask=X.NoEventMask)
    x11.flush()


def run(hang, name, ending, ending_name):
    lab = Lab("kalvex-hung-")
    server = PulseServer(lab)
    game = None

    def game_starts():
        nonlocal game
        game = Game(lab)
        widget("push button", "종료")  # the window is up and readable

    try:
        time.sleep(max(0.0, hang(server, game_starts, lab) + GRACE - time.monotonic()))
        ending(game)
        since = time.monotonic()
        try:
            game.proc.wait(timeout=PATIENCE)
            took = time.monotonic() - since
        except subprocess.TimeoutExpired:
            took = None
        check(took is not None and took <= LIMIT,
              f"server {name}: ended " +
              (f"{took:.2f} s" if took is not None else f"not within {PATIENCE:.0f} s") +
              f" after {ending_name}")
    finally:
        if game:
            end(game.proc)
        lab.close()


xvfb, display = start_display((800, 800))
x11 = xdisplay.Display(display)
bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                       env=dict(os.environ, DISPLAY=display), stderr=subprocess.DEVNULL)
try:
    for hang, name in ((hung_at_start, "stopped at start"),
                       (hung_after_play, "stopped after the music played"),
                       (replaced_by_hung, "killed after the music played, its successor stopped")):
        for ending, ending_name in ((exit_button, "the exit box was closed"),
                                    (close_box, "the close box")):
            run(hang, name, ending, ending_name)
finally:
    for p in (bus, xvfb):
        p.terminate()
        p.wait()
finish()
