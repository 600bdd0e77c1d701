#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Prints the game's start-up time, idle CPU share and peak memory next to an
empty Qt window's, measured in the same run under a private Xvfb display; then
the cost of the music playing through a private PulseAudio server with a null
sink, next to paplay of the same song rendered to a WAV by the fluidsynth
program and to the game with its music off, in the same run.

Usage: bench/run.py [BUILD_DIR]   (default: build/release, built with benchmarks)
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import wave

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


SOUND_FONT = "/usr/share/sounds/sf2/TimGM6mb.sf2"
MEASURE_S = 60  # the music's cost is averaged over this, after the song's first pass


def task_totals(pid):
    """CPU seconds and voluntary context switches, summed over the process's threads."""
    cpu = switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                cpu += int(f.read().split()[0]) / 1e9
            with open(f"/proc/{pid}/task/{task}/status") as f:
                switches += next(int(l.split()[1]) for l in f
                                 if l.startswith("voluntary_ctxt_switches"))
        except FileNotFoundError:
            pass  # a thread that just ended
    return cpu, switches


def music_through_server():
    """% of a core and voluntary context switches a second, over MEASURE_S after
    the song's first pass, of the game with its music playing through a
    PulseAudio server and of the game with its music off beside it, then of
    paplay of the same song as a WAV alone; and the music game's peak RSS (MiB)."""
    root = tempfile.mkdtemp(prefix="kalvex-bench-pulse-")
    runtime, home = os.path.join(root, "run"), os.path.join(root, "home")
    os.makedirs(runtime, mode=0o700)
    os.makedirs(os.path.join(home, ".config", "pulse"))
    with open(os.path.join(home, ".config", "pulse", "client.conf"), "w") as f:
        f.write("autospawn = no\n")
    script = os.path.join(root, "server.pa")
    with open(script, "w") as f:
        f.write("load-module module-null-sink sink_name=bench\n"
                "load-module module-native-protocol-unix auth-anonymous=1\n"
                "set-default-sink bench\n")
    senv = dict(env, HOME=home, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"))
    procs = []
    try:
        procs.append(subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
             "-F", script],
            env=senv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        pactl = lambda *a: subprocess.run(["pactl", *a], env=senv, capture_output=True,
                                          text=True, timeout=10)
        deadline = time.monotonic() + 10
        while pactl("info").returncode != 0:
            if time.monotonic() > deadline:
                raise RuntimeError("the PulseAudio server did not start")
            time.sleep(0.05)

        # The song as the fluidsynth program renders it, looped long enough.
        once = os.path.join(root, "once.wav")
        subprocess.run(["fluidsynth", "-ni", "-g", "0.4", "-r", "44100", "-F", once, SOUND_FONT,
                        os.path.join(os.path.dirname(bench), "mid.mid")],
                       capture_output=True, check=True, timeout=120)
        with wave.open(once) as w:
            params, frames = w.getparams(), w.readframes(w.getnframes())
        song_s = params.nframes / params.framerate
        passes = int((5 + MEASURE_S + 10) // song_s) + 1
        looped = os.path.join(root, "looped.wav")
        with wave.open(looped, "wb") as w:
            w.setparams(params)
            w.writeframes(frames * passes)

        def measure(programs, settle_s):
            """Starts the programs together; their figures over MEASURE_S after settle_s."""
            started = [subprocess.Popen(p, env=senv) for p in programs]
            procs.extend(started)
            time.sleep(settle_s)
            before, t0 = [task_totals(p.pid) for p in started], time.monotonic()
            time.sleep(MEASURE_S)
            after, t1 = [task_totals(p.pid) for p in started], time.monotonic()
            if any(p.poll() is not None for p in started):
                raise RuntimeError(f"{programs[0][0]} ended before it was measured")
            with open(f"/proc/{started[0].pid}/status") as f:
                hwm = next(int(l.split()[1]) for l in f if l.startswith("VmHWM")) / 1024
            for p in started:
                p.kill()
                p.wait()
            return [(100 * (a[0] - b[0]) / (t1 - t0), (a[1] - b[1]) / (t1 - t0))
                    for b, a in zip(before, after)], hwm

        # The game with its music and without; paplay alone afterwards, as
        # the sink's latency follows the most demanding stream on it.
        run_s = str(int(song_s + 10 + MEASURE_S + 30))
        games, hwm = measure([[bench, "idle", "game", run_s], [silent, "idle", "game", run_s]],
                             song_s + 10)  # past the first pass, start-up included
        if procs[0].poll() is not None:
            raise RuntimeError(f"the PulseAudio server ended ({procs[0].returncode})")
        played, _ = measure([["paplay", looped]], 5)
        return games + played, hwm, song_s
    finally:
        for p in reversed(procs):
            p.kill()
            p.wait()
        shutil.rmtree(root, ignore_errors=True)


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
    if shutil.which("fluidsynth") and shutil.which("pulseaudio") and shutil.which("paplay"):
        served, served_rss, song_s = music_through_server()
    else:
        served = None
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
print()
if served is None:
    print("music through a sound server: skipped (needs pulseaudio, paplay and the fluidsynth program)")
else:
    (game_cpu, game_wake), (off_cpu, off_wake), (play_cpu, play_wake) = served
    print(f"music through a PulseAudio null sink, over {MEASURE_S} s after the first pass "
          f"(song {song_s:.0f} s), all threads:")
    print(f"{'':34} {'% of a core':>12} {'wakeups/s':>10}")
    print(f"{'  game, music playing':34} {game_cpu:12.2f} {game_wake:10.1f}")
    print(f"{'  game, music off':34} {off_cpu:12.2f} {off_wake:10.1f}")
    print(f"{'  the music alone (the difference)':34} {game_cpu - off_cpu:12.2f} {game_wake - off_wake:10.1f}")
    print(f"{'  paplay of the song as a WAV':34} {play_cpu:12.2f} {play_wake:10.1f}")
    print(f"{'peak RSS, music playing (MiB)':34} {served_rss:12.1f}   "
          f"{served_rss - text_rss:+.1f} above the label window")
