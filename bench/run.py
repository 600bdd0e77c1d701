#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Prints the game's start-up time, idle CPU share and peak memory next to an
empty Qt window's, measured in the same run under a private Xvfb display.

Usage: bench/run.py [BUILD_DIR]   (default: build/release, built with benchmarks)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build/release"
bench = os.path.join(build, "bench", "kalvex_bench")
if not os.path.exists(bench):
    sys.exit(f"{bench} not found: configure with -DKALVEX_BENCHMARKS=ON and build first")

display = ":77"
xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1.0)
os.makedirs("/tmp/kalvex-bench-runtime", mode=0o700, exist_ok=True)
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
           XDG_RUNTIME_DIR="/tmp/kalvex-bench-runtime")


# A copy of the program in a folder without mid.mid: the game with no music.
silent_dir = tempfile.mkdtemp(prefix="kalvex-silent-")
silent = shutil.copy(bench, silent_dir)


def first_frame_ms(kind, program=bench):
    start = time.time_ns()
    out = subprocess.run([program, "first-frame", kind], env=env, capture_output=True,
                         text=True, timeout=30, check=True).stdout
    return (int(out.strip().splitlines()[-1]) - start) / 1e6


def timer_accuracy(kind, seconds):
    """Mean period and 99th-percentile deviation (ms) of 30, 50 and 80 ms timers."""
    out = subprocess.run([bench, "timers", kind, str(seconds)], env=env, capture_output=True,
                         text=True, timeout=seconds + 30, check=True).stdout
    rows = [line.split() for line in out.splitlines() if line.strip()]
    return {int(r[0]): (float(r[1]), float(r[2])) for r in rows}


def idle(kind, seconds, mode="idle", program=bench):
    """CPU share of one core over the window's run, and its peak RSS in MiB."""
    proc = subprocess.Popen([program, mode, kind, str(seconds + 6)], env=env)
    time.sleep(2)  # let start-up settle
    def cpu():
        """Nanoseconds on a CPU, summed over the process's threads."""
        total = 0
        for task in os.listdir(f"/proc/{proc.pid}/task"):
            with open(f"/proc/{proc.pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        return total
    before, t0 = cpu(), time.monotonic()
    time.sleep(seconds)
    after, t1 = cpu(), time.monotonic()
    with open(f"/proc/{proc.pid}/status") as f:
        hwm = next(int(l.split()[1]) for l in f if l.startswith("VmHWM")) / 1024
    proc.wait(timeout=60)
    return 100.0 * (after - before) / 1e9 / (t1 - t0), hwm


try:
    runs = 11
    game, silent_game, empty, text = [], [], [], []
    for _ in range(runs):  # interleaved, so a busy moment hits them all alike
        game.append(first_frame_ms("game"))
        silent_game.append(first_frame_ms("game", silent))
        empty.append(first_frame_ms("empty"))
        text.append(first_frame_ms("text"))
    game, silent_game, empty, text = map(statistics.median, (game, silent_game, empty, text))
    game_cpu, game_rss = idle("game", 10)
    silent_cpu, silent_rss = idle("game", 10, program=silent)
    empty_cpu, empty_rss = idle("empty", 10)
    _, text_rss = idle("text", 10)
    round_cpu, _ = idle("game", 10, mode="round")
    game_timers = timer_accuracy("game", 10)
    empty_timers = timer_accuracy("empty", 10)
finally:
    xvfb.terminate()
    shutil.rmtree(silent_dir, ignore_errors=True)

print(f"{'figure':34} {'game':>10} {'empty window':>13} {'ratio':>7}")
print(f"{'start-up to first frame (ms)':34} {game:10.1f} {empty:13.1f} {game / empty:7.2f}")
print(f"{'  the same without music (ms)':34} {silent_game:10.1f} {empty:13.1f} "
      f"{silent_game / empty:7.2f}")
print(f"{'  empty window with one label (ms)':34} {text:10.1f} {empty:13.1f} {text / empty:7.2f}")
print(f"{'idle CPU over 10 s (% of a core)':34} {game_cpu:10.2f} {empty_cpu:13.2f} "
      f"{(game_cpu / empty_cpu if empty_cpu else float('nan')):7.2f}")
print(f"{'  the same without music':34} {silent_cpu:10.2f} {empty_cpu:13.2f} "
      f"{(silent_cpu / empty_cpu if empty_cpu else float('nan')):7.2f}")
print(f"{'peak RSS (MiB)':34} {game_rss:10.1f} {empty_rss:13.1f} {game_rss / empty_rss:7.2f}")
print(f"{'  the same without music':34} {silent_rss:10.1f} {empty_rss:13.1f} "
      f"{silent_rss / empty_rss:7.2f}")
print(f"{'  empty window with one label':34} {text_rss:10.1f} {empty_rss:13.1f} "
      f"{text_rss / empty_rss:7.2f}")
print(f"{'  music on, above that window':34} {game_rss - text_rss:+10.1f}")
print(f"{'CPU during rounds (% of a core)':34} {round_cpu:10.2f} {'':>13} {'':>7}")
print()
print(f"{'timer over 10 s':16} {'game mean':>10} {'game p99 dev':>13} {'empty mean':>11} "
      f"{'empty p99 dev':>14}")
for interval in (30, 50, 80):
    gm, gd = game_timers[interval]
    em, ed = empty_timers[interval]
    print(f"{str(interval) + ' ms':16} {gm:10.3f} {gd:13.3f} {em:11.3f} {ed:14.3f}")
