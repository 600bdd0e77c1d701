#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""The music against a real PulseAudio server with a null sink, started and
stopped here in a private folder; no sound card is needed.

Usage: sound_server.py PROBE   (the game's window with its music, see
sound_server_probe.cpp)

1. The game starts while no server runs: one line on stderr, and the music
   starts within a few seconds of the server appearing.
2. The mixer sees the stream under the game's names, and it is audible on the
   sink's monitor.
3. The server is killed and started again: the music is back within 2 s of
   the server answering, and meanwhile the GUI thread's ticks and frames stay
   on time.
4. A mute set on the stream is applied again when the game next starts.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sound_support import (Lab, PulseServer, check, finish, level, sink_inputs,  # noqa: E402
                           wait_until)

probe = sys.argv[1]
lab = Lab("kalvex-pulse-", alsa_to_server=False)
root, env = lab.root, lab.env


def streams():
    return sink_inputs(lab)


def wait_for_stream(seconds):
    """Seconds until the game's stream shows, or None."""
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if streams():
            return time.monotonic() - start
        time.sleep(0.05)
    return None


def start_game(stderr_path):
    err = open(stderr_path, "w")
    return subprocess.Popen([probe], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=err, text=True)


def stop_game(game):
    """Ends the game; returns the largest tick gap and frame time (ms)."""
    out, _ = game.communicate("", timeout=30) if game.stdin else (None, None)
    gap, frame = (float(x) for x in out.split())
    return gap, frame


server = PulseServer(lab)
try:
    # 1. No server at start, then one appears.
    game = start_game(os.path.join(root, "game1.err"))
    said = lambda: "kalvex:" in open(os.path.join(root, "game1.err")).read()
    check(wait_until(said, 10) is not None, "the game says why there is no music")
    time.sleep(0.5)
    server.start()
    late = wait_for_stream(6)
    check(late is not None and late <= 4, f"music starts {late} s after a late server")

    # 2. Names in the mixer, and sound on the sink.
    found = streams()
    props = found[0]["props"] if found else {}
    check(props.get("application.name") == "Kalvex", f"application.name {props.get('application.name')}")
    check(props.get("application.icon_name") == "org.kalvex.Kalvex",
          f"application.icon_name {props.get('application.icon_name')}")
    check("media.role" not in props and props.get("application.id") == "org.kalvex.Kalvex",
          f"no media.role ({props.get('media.role')}), application.id {props.get('application.id')}")
    loud = level(lab)
    check(loud > 300, f"the sink's monitor is not silent (RMS {loud:.0f})")

    # 3. The server goes away and comes back; the GUI thread never waits.
    game.stdin.write("measure from here\n")
    game.stdin.flush()
    server.kill()
    time.sleep(1.5)
    server.start()
    back = wait_for_stream(5)
    check(back is not None and back <= 2, f"music back {back} s after the server restarted")
    loud = level(lab)
    check(loud > 300, f"audible again (RMS {loud:.0f})")
    gap, frame = stop_game(game)
    check(gap < 250 and frame < 250,
          f"GUI thread on time meanwhile: ticks at most {gap} ms apart, frames {frame} ms")
    with open(os.path.join(root, "game1.err")) as f:
        lines = [l for l in f.read().splitlines() if l.startswith("kalvex:")]
    check(len(lines) == 1 and "no audio output" in lines[0], f"one line on stderr: {lines}")

    # 4. The mixer remembers a mute for the game's next start.
    game = start_game(os.path.join(root, "game2.err"))
    check(wait_for_stream(5) is not None, "the game's stream shows")
    index = streams()[0]["index"]
    subprocess.run(["pactl", "set-sink-input-mute", index, "1"], env=env, timeout=10)
    time.sleep(0.3)
    stop_game(game)
    game = start_game(os.path.join(root, "game3.err"))
    check(wait_for_stream(5) is not None, "the game's stream shows again")
    found = streams()
    check(bool(found) and found[0].get("mute"), "the mute set last time is applied again")
    stop_game(game)
finally:
    lab.close()
finish()
