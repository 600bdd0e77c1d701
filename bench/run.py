#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Prints the game's start-up time, idle CPU share and peak memory next to an
empty Qt window's, measured in the same run under a private Xvfb display; then
the cost of the music playing through a private PulseAudio server with a null
sink, next to paplay of the same song rendered to a WAV by the fluidsynth
program and to the game with its music off, in the same run; then, for each
General MIDI bank, the game's memory with its music playing, the time from
its first frame to its first note (idle and with both cores busy), and the
renderer program's own peak memory and CPU time; and the game's memory with a
song of system-exclusive messages just under the renderer's size limit, played
through the server.

Usage: bench/run.py [BUILD_DIR]   (default: build/release, built with benchmarks)
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import wave

build = sys.argv[1] if len(sys.argv) > 1 else "build/release"
bench = os.path.join(build, "bench", "kalvex_bench")
label_window = os.path.join(build, "bench", "label_window")
renderer = os.path.join(build, "bench", "kalvex-renderer")
song_file = os.path.join(build, "bench", "mid.mid")
if not all(map(os.path.exists, (bench, label_window, renderer))):
    sys.exit(f"{bench}, label_window or kalvex-renderer not found: "
             "configure with -DKALVEX_BENCHMARKS=ON and build first")

display = ":77"
xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
time.sleep(1.0)
os.makedirs("/tmp/kalvex-bench-runtime", mode=0o700, exist_ok=True)
env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
           XDG_RUNTIME_DIR="/tmp/kalvex-bench-runtime")


# A copy of the program in a folder without mid.mid (nor the renderer): the
# game with no music.
silent_dir = tempfile.mkdtemp(prefix="kalvex-silent-")
silent = shutil.copy(bench, silent_dir)


def first_frame_ms(kind, program=bench):
    start = time.time_ns()
    args = ["first-frame"] if program == label_window else ["first-frame", kind]
    out = subprocess.run([program, *args], env=env, capture_output=True,
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
    args = [mode, str(seconds + 6)] if program == label_window else [mode, kind, str(seconds + 6)]
    proc = subprocess.Popen([program, *args], env=env)
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


def varlen(n):
    """A MIDI variable-length number."""
    out = [n & 0x7F]
    while n > 0x7F:
        n >>= 7
        out.insert(0, 0x80 | (n & 0x7F))
    return bytes(out)


def sysex_song(size):
    """A valid song of about `size` bytes, nearly all system-exclusive
    messages: a General MIDI reset, then messages of 1,000 bytes, then one note."""
    track = bytearray(b"\x00\xF0\x05\x7E\x7F\x09\x01\xF7")
    data = bytes(range(0x7F)) * 8
    while len(track) < size - 1100:
        message = data[:998] + b"\xF7"
        track += b"\x00\xF0" + varlen(len(message)) + message
    track += b"\x00\x90\x3C\x64\x60\x80\x3C\x00\x00\xFF\x2F\x00"
    return (b"MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk"
            + len(track).to_bytes(4, "big") + bytes(track))


LARGE_SONG_BYTES = 3_900_000  # below the renderer's 4 MiB limit


def large_song(seconds, senv):
    """Steady and peak RSS (MiB) of the idle game after `seconds` with a
    LARGE_SONG_BYTES mid.mid beside it, playing through the server of `senv`:
    a song of under a second, so it is read and looked at again each second."""
    folder = tempfile.mkdtemp(prefix="kalvex-large-song-")
    try:
        game = shutil.copy(bench, folder)
        shutil.copy(renderer, folder)
        with open(os.path.join(folder, "mid.mid"), "wb") as f:
            f.write(sysex_song(LARGE_SONG_BYTES))
        proc = subprocess.Popen([game, "idle", "game", str(seconds + 10)], env=senv)
        time.sleep(seconds)
        steady, peak = status_kib(proc.pid, "VmRSS") / 1024, status_kib(proc.pid, "VmHWM") / 1024
        proc.kill()
        proc.wait()
        return steady, peak
    finally:
        shutil.rmtree(folder, ignore_errors=True)


SF2 = "/usr/share/sounds/sf2"
SOUND_FONT = f"{SF2}/TimGM6mb.sf2"
DEFAULT_BANK = f"{SF2}/default-GM.sf2"
# The banks Debian can make the default one: the game's memory must not depend on it.
BANKS = ["TimGM6mb", "FluidR3_GM"]
MEASURE_S = 60  # the music's cost is averaged over this, after the song's first pass
FIRST_NOTE_RUNS = 3  # launches per bank and load, for the median time to the first note


def status_kib(pid, field):
    with open(f"/proc/{pid}/status") as f:
        return next(int(l.split()[1]) for l in f if l.startswith(field + ":"))


def children(pid):
    """The processes whose parent is pid (the game's renderer, while it lives)."""
    found = []
    for entry in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{entry}/stat") as f:
                # The name in parentheses may hold spaces: state and parent follow its end.
                state, parent = f.read().rsplit(")", 1)[1].split()[:2]
            if int(parent) == pid and state != "Z":  # a zombie holds no memory
                found.append(int(entry))
        except (FileNotFoundError, ProcessLookupError):  # ended meanwhile
            pass
    return found


PIECE_FRAMES = 4096  # the most frames in one piece of the renderer's answer
WHOLE, CUT = 0, 0xFFFFFFFF  # the counts that end it: the song ended, or was cut
MOST_FRAMES = 60 * 44100  # where the renderer cuts a longer song


def read_exactly(stream, size, what):
    data = stream.read(size)
    if len(data) != size:
        raise ValueError(f"it ended {what}")
    return data


def song_frames(stream):
    """Reads the pieces that follow the renderer's "samples" line as the game
    does, dropping their frames; the frames in all, and whether the song was
    cut. ValueError says how the answer is not a song's."""
    total = 0
    while True:
        count = int.from_bytes(read_exactly(stream, 4, f"after {total} frames, "
                                            "without an end mark"), "little")
        if count in (WHOLE, CUT):
            break
        if count > PIECE_FRAMES:
            raise ValueError(f"a piece of {count} frames after {total} frames")
        read_exactly(stream, count * 4, f"in a piece of {count} frames after {total} frames")
        total += count
        if total > MOST_FRAMES:
            raise ValueError(f"{total} frames, past the {MOST_FRAMES} of the longest song")
    if stream.read(1):
        raise ValueError(f"bytes after the end mark, after {total} frames")
    if total == 0:
        raise ValueError("no frames before the end mark")
    # The renderer cuts a song exactly at the longest length; a whole one may end there too.
    if count == CUT and total != MOST_FRAMES:
        raise ValueError(f"{total} frames, ended by the mark of a song cut at {MOST_FRAMES}")
    return total, count == CUT


def renderer_alone(bank):
    """Peak RSS (MiB), CPU seconds (median of 3), the song's length (s) and
    whether it was cut, of kalvex-renderer rendering the song with the bank,
    as the game starts it; and the peak RSS (MiB) of this program then. The
    kernel starts a child's peak from its parent's memory when it is spawned,
    so a figure not above this program's peak may be this program's own."""
    rss, cpu, lengths = [], [], set()
    for _ in range(3):
        with open(song_file, "rb") as song:
            proc = subprocess.Popen([renderer, f"{SF2}/{bank}.sf2"], stdin=song,
                                    stdout=subprocess.PIPE)
        head = proc.stdout.readline(512).decode(errors="replace")
        why = None
        if head == "samples\n":
            try:
                lengths.add(song_frames(proc.stdout))
            except ValueError as e:
                why = f"sent what is not a song: {e}"
        else:
            why = f"answered {head!r}"
            while proc.stdout.read(1 << 16):  # let it end
                pass
        proc.stdout.close()
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        if why is None and proc.returncode != 0:
            why = f"ended with {proc.returncode}"
        if why is not None:
            raise RuntimeError(f"kalvex-renderer with {bank} {why}")
        rss.append(usage.ru_maxrss / 1024)
        cpu.append(usage.ru_utime + usage.ru_stime)
    # Its player keeps time by the samples it renders: every run is the same.
    if len(lengths) != 1:
        raise RuntimeError(f"kalvex-renderer with {bank} rendered the song differently: "
                           f"{sorted(lengths)} (frames, cut)")
    frames, cut = lengths.pop()
    own = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
    return max(rss), statistics.median(cpu), frames / 44100, cut, own


def can_swap_banks():
    """The bank is swapped in a mount namespace of the game's own, leaving the
    system's alternatives alone: that needs root and unshare."""
    if os.geteuid() != 0 or not shutil.which("unshare"):
        return False
    return subprocess.run(["unshare", "-m", "true"], capture_output=True).returncode == 0


def in_bank(bank, command):
    """The command run with the bank as default-GM.sf2, in its own mount
    namespace (private, so the system never sees it). The bind mount follows
    the symlink to whichever file the alternative names; unshare and sh exec
    the command, so it keeps the pid returned by Popen."""
    return ["unshare", "-m", "sh", "-c", f'mount --bind "$0" {DEFAULT_BANK} && exec "$@"',
            f"{SF2}/{bank}.sf2", *command]


class Listener:
    """Records the sink's monitor with parec and stamps (CLOCK_REALTIME, ns)
    the first sample that is not silence after each arm(). It runs at a higher
    priority than the game and the busy loops, so that it stamps the sound
    when it is played, not when the loops let it read."""

    RATE, FRAME = 44100, 4

    def __init__(self, senv):
        self.proc = subprocess.Popen(
            ["parec", "-d", "bench.monitor", "--raw", "--format=s16le", "--rate=44100",
             "--channels=2", "--latency-msec=10"],
            env=senv, stdout=subprocess.PIPE, bufsize=0, preexec_fn=lambda: os.nice(-10))
        self.lock = threading.Lock()
        self.armed, self.heard, self.bytes = False, None, 0
        threading.Thread(target=self._read, daemon=True).start()
        deadline = time.monotonic() + 10
        while self.bytes == 0:  # recording
            if time.monotonic() > deadline:
                raise RuntimeError("parec recorded nothing")
            time.sleep(0.05)

    def _read(self):
        if os.geteuid() == 0:
            os.setpriority(os.PRIO_PROCESS, threading.get_native_id(), -10)
        while chunk := os.read(self.proc.stdout.fileno(), 4096):
            now = time.time_ns()
            with self.lock:
                self.bytes += len(chunk)
                if self.armed and self.heard is None and chunk.strip(b"\0"):
                    # The chunk's last byte was played about now; the first
                    # loud one, so much earlier.
                    first_loud = len(chunk) - len(chunk.lstrip(b"\0"))
                    self.heard = now - ((len(chunk) - first_loud) * 10**9
                                        // (self.RATE * self.FRAME))

    def arm(self):
        with self.lock:
            self.armed, self.heard = True, None

    def first_sound(self, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with self.lock:
                if self.heard is not None:
                    return self.heard
            time.sleep(0.01)
        return None

    def close(self):
        self.proc.kill()
        self.proc.wait()


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


def private_server(root):
    """A PulseAudio server with a null sink "bench", in a private folder under
    root, and the environment of a session that uses it."""
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
    server = subprocess.Popen(
        ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
         "-F", script],
        env=senv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while subprocess.run(["pactl", "info"], env=senv, capture_output=True,
                         timeout=10).returncode != 0:
        if time.monotonic() > deadline:
            server.kill()
            server.wait()
            raise RuntimeError("the PulseAudio server did not start")
        time.sleep(0.05)
    return server, senv


def large_song_through_server(seconds):
    """large_song() with a private server of its own."""
    root = tempfile.mkdtemp(prefix="kalvex-bench-pulse-")
    server = None
    try:
        server, senv = private_server(root)
        return large_song(seconds, senv)
    finally:
        if server is not None:
            server.kill()
            server.wait()
        shutil.rmtree(root, ignore_errors=True)


def music_through_server(song_s):
    """% of a core and voluntary context switches a second, over MEASURE_S after
    the song's first pass, of the game with its music playing through a
    PulseAudio server and of the game with its music off beside it, then of
    paplay of the same song as a WAV alone; then, for each bank when it can be
    swapped, the game's memory with its music playing and its times to the
    first note, idle and busy (see by_bank)."""
    root = tempfile.mkdtemp(prefix="kalvex-bench-pulse-")
    procs = []
    listener = None
    try:
        server, senv = private_server(root)
        procs.append(server)

        # The song as the fluidsynth program renders it, looped long enough.
        once = os.path.join(root, "once.wav")
        subprocess.run(["fluidsynth", "-ni", "-g", "0.4", "-r", "44100", "-F", once, SOUND_FONT,
                        song_file],
                       capture_output=True, check=True, timeout=120)
        with wave.open(once) as w:
            params, frames = w.getparams(), w.readframes(w.getnframes())
        passes = int((5 + MEASURE_S + 10) // (params.nframes / params.framerate)) + 1
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
            for p in started:
                p.kill()
                p.wait()
            return [(100 * (a[0] - b[0]) / (t1 - t0), (a[1] - b[1]) / (t1 - t0))
                    for b, a in zip(before, after)]

        # The game with its music and without; paplay alone afterwards, as
        # the sink's latency follows the most demanding stream on it.
        run_s = str(int(song_s + 10 + MEASURE_S + 30))
        games = measure([[bench, "idle", "game", run_s], [silent, "idle", "game", run_s]],
                        song_s + 10)  # past the first pass, start-up included
        if procs[0].poll() is not None:
            raise RuntimeError(f"the PulseAudio server ended ({procs[0].returncode})")
        played = measure([["paplay", looped]], 5)
        if not can_swap_banks():
            return games + played, None

        listener = Listener(senv)

        def start_game(bank, seconds):
            """The game with the bank; the realtime (ns) of its first frame."""
            listener.arm()
            game = subprocess.Popen(in_bank(bank, [bench, "music", "game", str(seconds)]),
                                    env=senv, stdout=subprocess.PIPE, text=True)
            procs.append(game)
            line = game.stdout.readline()
            if not line.strip():
                raise RuntimeError(f"the game with {bank} ended before its first frame")
            return game, int(line)

        def stop(game):
            game.kill()
            game.wait()
            time.sleep(0.5)  # the sink plays out what it holds before the next arm()

        def memory(bank):
            """Peak and steady RSS (MiB) after the first pass, each with every
            process of the game's own still alive then (the renderer normally
            exits after its render); how many there were; the first note (s)."""
            game, frame = start_game(bank, int(song_s + 60))
            heard = listener.first_sound(30)
            if heard is None:
                raise RuntimeError(f"the game with {bank} played nothing in 30 s")
            time.sleep(max(0, (frame - time.time_ns()) / 1e9 + song_s + 10))
            if game.poll() is not None:
                raise RuntimeError(f"the game with {bank} ended before it was measured")
            own = [game.pid] + children(game.pid)
            peak = sum(status_kib(pid, "VmHWM") for pid in own) / 1024
            steady = sum(status_kib(pid, "VmRSS") for pid in own) / 1024
            stop(game)
            return peak, steady, len(own) - 1, (heard - frame) / 1e9

        def first_note(bank, busy):
            """Seconds from the game's first frame to its first note heard; None
            when nothing is heard in 30 s. Busy: two endless loops at run.py's
            nice (0) on the two cores, started a second before the game."""
            loops = [subprocess.Popen([sys.executable, "-c", "while True: pass"])
                     for _ in range(2 if busy else 0)]
            try:
                time.sleep(1 if busy else 0)
                game, frame = start_game(bank, 60)
                heard = listener.first_sound(30)
                stop(game)
            finally:
                for loop in loops:
                    loop.kill()
                    loop.wait()
            return None if heard is None else (heard - frame) / 1e9

        by_bank = {}
        for bank in BANKS:
            peak, steady, alive, note = memory(bank)
            idle_notes = [note] + [first_note(bank, False) for _ in range(FIRST_NOTE_RUNS - 1)]
            busy_notes = [first_note(bank, True) for _ in range(FIRST_NOTE_RUNS)]
            by_bank[bank] = (peak, steady, alive, idle_notes, busy_notes)
        if procs[0].poll() is not None:
            raise RuntimeError(f"the PulseAudio server ended ({procs[0].returncode})")
        return games + played, by_bank
    finally:
        if listener is not None:
            listener.close()
        for p in reversed(procs):
            p.kill()
            p.wait()
        shutil.rmtree(root, ignore_errors=True)


try:
    runs = 21  # the first frames of music on and off must be told apart within 3 %
    game, silent_game, empty, text = [], [], [], []
    for _ in range(runs):  # interleaved, so a busy moment hits them all alike
        game.append(first_frame_ms("game"))
        silent_game.append(first_frame_ms("game", silent))
        empty.append(first_frame_ms("empty"))
        text.append(first_frame_ms("label", label_window))
    game, silent_game, empty, text = map(statistics.median, (game, silent_game, empty, text))
    game_cpu, game_rss = idle("game", 10)
    silent_cpu, silent_rss = idle("game", 10, program=silent)
    empty_cpu, empty_rss = idle("empty", 10)
    _, text_rss = idle("label", 10, program=label_window)
    round_cpu, _ = idle("game", 10, mode="round")
    game_timers = timer_accuracy("game", 10)
    empty_timers = timer_accuracy("empty", 10)
    renderer_figures = {bank: renderer_alone(bank) for bank in BANKS}
    song_s = renderer_figures[BANKS[0]][2]
    song_cut = renderer_figures[BANKS[0]][3]
    large = (large_song_through_server(30) if shutil.which("pulseaudio") and shutil.which("pactl")
             else None)
    if shutil.which("fluidsynth") and shutil.which("pulseaudio") and shutil.which("paplay") \
            and shutil.which("parec"):
        served, by_bank = music_through_server(song_s)
    else:
        served = None
finally:
    xvfb.terminate()
    shutil.rmtree(silent_dir, ignore_errors=True)


def verdict(ok):
    return "met" if ok else "NOT met"


def seconds(notes):
    """Median and range of the times to the first note; a miss counts as never."""
    heard = sorted(n if n is not None else float("inf") for n in notes)
    return statistics.median(heard), heard[0], heard[-1]


print(f"{'figure':34} {'game':>10} {'empty window':>13} {'ratio':>7}")
print(f"{'start-up to first frame (ms)':34} {game:10.1f} {empty:13.1f} {game / empty:7.2f}")
print(f"{'  the same without music (ms)':34} {silent_game:10.1f} {empty:13.1f} "
      f"{silent_game / empty:7.2f}")
print(f"{'  music on / music off':34} {'':>10} {'':>13} {game / silent_game:7.3f}   "
      f"(goal ≤ 1.03: {verdict(game / silent_game <= 1.03)})")
print(f"{'  label window, Qt alone (ms)':34} {text:10.1f} {empty:13.1f} {text / empty:7.2f}")
print(f"{'idle CPU over 10 s (% of a core)':34} {game_cpu:10.2f} {empty_cpu:13.2f} "
      f"{(game_cpu / empty_cpu if empty_cpu else float('nan')):7.2f}")
print(f"{'  the same without music':34} {silent_cpu:10.2f} {empty_cpu:13.2f} "
      f"{(silent_cpu / empty_cpu if empty_cpu else float('nan')):7.2f}")
print(f"{'peak RSS (MiB)':34} {game_rss:10.1f} {empty_rss:13.1f} {game_rss / empty_rss:7.2f}")
print(f"{'  the same without music':34} {silent_rss:10.1f} {empty_rss:13.1f} "
      f"{silent_rss / empty_rss:7.2f}")
print(f"{'  label window, Qt alone':34} {text_rss:10.1f} {empty_rss:13.1f} "
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
print(f"the renderer alone, kalvex-renderer BANK < mid.mid, its pieces read and dropped "
      f"(song {song_s:.1f} s{', cut there' if song_cut else ''}):")
print(f"{'  bank':34} {'peak RSS (MiB)':>15} {'CPU (s)':>8} {'song (s)':>9}")
for bank, (rss, cpu, length, cut, own) in renderer_figures.items():
    print(f"{'  ' + bank:34} {rss:15.1f} {cpu:8.2f} {length:9.2f}{' cut' if cut else ''}"
          f"{f'  (at most: run.py itself peaked at {own:.1f})' if rss <= own else ''}")
print()
if large is None:
    print("a large song through a sound server: skipped (needs pulseaudio and pactl)")
else:
    large_steady, large_peak = large
    print(f"a {LARGE_SONG_BYTES / 1e6:.1f} MB song of system-exclusive messages, played through "
          f"a PulseAudio null sink for 30 s: steady RSS {large_steady:.1f} MiB "
          f"({large_steady - text_rss:+.1f} above the label window), peak {large_peak:.1f} "
          f"({large_peak - text_rss:+.1f}); goal ≤ +8: "
          f"{verdict(max(large_steady, large_peak) <= text_rss + 8)}")
print()
if served is None:
    print("music through a sound server: skipped "
          "(needs pulseaudio, paplay, parec and the fluidsynth program)")
else:
    (game_cpu, game_wake), (off_cpu, off_wake), (play_cpu, play_wake) = served
    print(f"music through a PulseAudio null sink, over {MEASURE_S} s after the first pass "
          f"(song {song_s:.0f} s, default-GM.sf2 → "
          f"{os.path.basename(os.path.realpath(DEFAULT_BANK))}), all threads:")
    print(f"{'':34} {'% of a core':>12} {'wakeups/s':>10}")
    print(f"{'  game, music playing':34} {game_cpu:12.2f} {game_wake:10.1f}")
    print(f"{'  game, music off':34} {off_cpu:12.2f} {off_wake:10.1f}")
    print(f"{'  the music alone (the difference)':34} {game_cpu - off_cpu:12.2f} {game_wake - off_wake:10.1f}")
    print(f"{'  paplay of the song as a WAV':34} {play_cpu:12.2f} {play_wake:10.1f}")
    print()
    if by_bank is None:
        print("each bank as default-GM.sf2: skipped (needs root and unshare -m)")
    else:
        limit = text_rss + 8
        print(f"the game with each bank as default-GM.sf2, music playing, after the first pass; "
              f"RSS in MiB with its own processes still alive; goal ≤ {limit:.1f} "
              f"(the label window + 8):")
        print(f"{'  bank':16} {'peak':>7} {'above':>7} {'steady':>7} {'above':>7} "
              f"{'alive':>6}  goal")
        for bank, (peak, steady, alive, _, _) in by_bank.items():
            print(f"{'  ' + bank:16} {peak:7.1f} {peak - text_rss:+7.1f} {steady:7.1f} "
                  f"{steady - text_rss:+7.1f} {alive:6d}  {verdict(max(peak, steady) <= limit)}")
        print(f"  (alive: processes of the game's own besides it, counted in)")
        print()
        print(f"first frame to first note heard on the sink's monitor (s), median (min–max) "
              f"of {FIRST_NOTE_RUNS}; goal ≤ 1 idle, ≤ 3 with both cores busy:")
        for bank, (_, _, _, idle_notes, busy_notes) in by_bank.items():
            (i, imin, imax), (b, bmin, bmax) = seconds(idle_notes), seconds(busy_notes)
            print(f"  {bank:14} idle {i:6.2f} ({imin:.2f}–{imax:.2f}) {verdict(i <= 1):7}  "
                  f"busy {b:6.2f} ({bmin:.2f}–{bmax:.2f}) {verdict(b <= 3)}")
