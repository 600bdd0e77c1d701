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
import array
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

probe = sys.argv[1]
root = tempfile.mkdtemp(prefix="kalvex-pulse-")
runtime, home = os.path.join(root, "run"), os.path.join(root, "home")
os.makedirs(runtime, mode=0o700)
os.makedirs(home)
script = os.path.join(root, "server.pa")
with open(script, "w") as f:
    f.write("load-module module-null-sink sink_name=kalvex_test\n"
            "load-module module-native-protocol-unix auth-anonymous=1\n"
            "load-module module-stream-restore\n"
            "set-default-sink kalvex_test\n")
env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, PULSE_RUNTIME_PATH=runtime,
           XDG_CONFIG_HOME=os.path.join(home, ".config"),
           PULSE_SERVER="unix:" + os.path.join(runtime, "native"), QT_QPA_PLATFORM="offscreen")
env.pop("DISPLAY", None)
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def pactl(*args):
    return subprocess.run(["pactl", *args], env=env, capture_output=True, text=True, timeout=10)


def start_server():
    """Starts the server; returns when it answers."""
    server = subprocess.Popen(
        ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
         "-F", script], env=env,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while pactl("info").returncode != 0:
        if time.monotonic() > deadline or server.poll() is not None:
            sys.exit("the PulseAudio server did not start")
        time.sleep(0.05)
    return server


def streams():
    """The sink inputs: their index, mute and properties."""
    found, current = [], None
    for line in pactl("list", "sink-inputs").stdout.splitlines():
        line = line.strip()
        if line.startswith("Sink Input #"):
            current = {"index": line.split("#")[1], "props": {}}
            found.append(current)
        elif current and line.startswith("Mute:"):
            current["mute"] = line.split(":", 1)[1].strip() == "yes"
        elif current and " = " in line:
            key, value = line.split(" = ", 1)
            current["props"][key] = value.strip('"')
    return found


def wait_for_stream(seconds):
    """Seconds until the game's stream shows, or None."""
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if streams():
            return time.monotonic() - start
        time.sleep(0.05)
    return None


def level():
    """RMS of half a second of the sink's monitor, full scale 32768."""
    rec = subprocess.Popen(["parec", "-d", "kalvex_test.monitor", "--format=s16le", "--rate=44100",
                            "--channels=2", "--raw"], env=env, stdout=subprocess.PIPE)
    time.sleep(0.2)  # skip what was queued before
    rec.stdout.read(44100 * 4 // 5)
    samples = array.array("h", rec.stdout.read(44100 * 2))
    rec.kill()
    rec.wait()
    return math.sqrt(sum(s * s for s in samples) / max(1, len(samples)))


def start_game(stderr_path):
    err = open(stderr_path, "w")
    return subprocess.Popen([probe], env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=err, text=True)


def stop_game(game):
    """Ends the game; returns the largest tick gap and frame time (ms)."""
    out, _ = game.communicate("", timeout=30) if game.stdin else (None, None)
    gap, frame = (float(x) for x in out.split())
    return gap, frame


server = None
try:
    # 1. No server at start, then one appears.
    game = start_game(os.path.join(root, "game1.err"))
    time.sleep(2.5)
    server = start_server()
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
    loud = level()
    check(loud > 300, f"the sink's monitor is not silent (RMS {loud:.0f})")

    # 3. The server goes away and comes back; the GUI thread never waits.
    game.stdin.write("measure from here\n")
    game.stdin.flush()
    server.kill()
    server.wait()
    time.sleep(1.5)
    server = start_server()
    back = wait_for_stream(5)
    check(back is not None and back <= 2, f"music back {back} s after the server restarted")
    loud = level()
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
    pactl("set-sink-input-mute", index, "1")
    time.sleep(0.3)
    stop_game(game)
    game = start_game(os.path.join(root, "game3.err"))
    check(wait_for_stream(5) is not None, "the game's stream shows again")
    found = streams()
    check(bool(found) and found[0].get("mute"), "the mute set last time is applied again")
    stop_game(game)
finally:
    if server:
        server.kill()
        server.wait()
    shutil.rmtree(root, ignore_errors=True)

sys.exit(1 if failures else 0)
