#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""The music on a real PipeWire desktop stack: pipewire, WirePlumber and
pipewire-pulse, started here in a private folder with a private session bus
and a null sink; ALSA's default device goes to the sound server for the game
alone (~/.asoundrc), as pipewire-alsa does for a whole desktop.

Usage: pipewire.py PROBE [RESTARTS] [--sanitized]   (the game's window with
its music, see sound_server_probe.cpp; RESTARTS server restarts for the last
check, 12 if not given; --sanitized for a build under AddressSanitizer)

1. Named and heard: the mixer lists the stream as the game's, and the sink's
   monitor is not silent.
2. Remembered for this game alone: with the game muted, a program that says
   it is a game (media.role=game) starts unmuted, and muting and unmuting it
   does not change the game's next start, which is muted again.
3. One stream, ours: after pipewire-pulse alone is restarted, is stopped
   (SIGSTOP) while the music plays, after the whole stack is gone and started
   again, and after pipewire-pulse is restarted and hangs as it starts, the
   game's own named stream is back within 2 s of the server answering, still
   muted, and sounding once unmuted; no other stream ever shows, and the game
   opens nothing under /dev/snd and no /dev/dsp (strace).
4. Bounded: while the server hangs or is gone, the game uses at most 1 % of
   a core and its memory stays within 2 MiB of what it used while playing;
   over RESTARTS more restarts its threads, files and memory are flat.
"""
import os
import re
import signal
import subprocess
import sys
import time
from collections import Counter

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sound_support import (Lab, answers, check, cpu_seconds, end, fds, finish, level, name_of,
                           pactl, rss_mib, sink_inputs, threads, wait_until, write_tone)

args = [a for a in sys.argv[1:] if a and a != "--sanitized"]
probe = args[0]
restarts = int(args[1]) if len(args) > 1 else 12
# AddressSanitizer holds freed memory back for a while: there the memory is
# shown, not checked.
sanitized = "--sanitized" in sys.argv
STACK = ("pipewire", "wireplumber", "pipewire-pulse")
NULL_SINK = """context.objects = [
    { factory = adapter
      args = { factory.name = support.null-audio-sink node.name = kalvex_test
               node.description = "Kalvex test sink" media.class = Audio/Sink
               audio.position = [ FL FR ] } }
]
"""
HOLD = 5  # seconds a server hangs or is gone
GUARD_MIB = 1024  # a game that grows this much while silent is ended


class Stack:
    def __init__(self, lab):
        self.lab = lab
        conf = os.path.join(lab.home, ".config", "pipewire", "pipewire.conf.d")
        os.makedirs(conf)
        with open(os.path.join(conf, "kalvex-null-sink.conf"), "w") as f:
            f.write(NULL_SINK)
        self.procs = {}
        self.answered = None  # when the server last began to answer

    def start(self, *names, hung=False):
        """Starts the programs in order; returns once the server answers and
        the sink is there, or, `hung`, as soon as pipewire-pulse listens, stopped."""
        for name in names or STACK:
            if name == "pipewire-pulse" and os.path.exists(self.lab.socket):
                os.unlink(self.lab.socket)  # left by a killed one
            self.procs[name] = self.lab.spawn([name], log=name + ".log")
            if name == "pipewire":
                wait_until(lambda: os.path.exists(os.path.join(self.lab.runtime, "pipewire-0")),
                           10, "pipewire did not start")
            if name == "wireplumber":
                # Ready once it has chosen the default sink; it may give up
                # when pipewire has only just begun to listen.
                for _ in range(3):
                    if wait_until(self.session_managed, 10, step=0.1) is not None:
                        break
                    end(self.procs[name])
                    self.procs[name] = self.lab.spawn([name], log=name + ".log")
                else:
                    sys.exit("WirePlumber did not start")
        if hung:
            wait_until(lambda: os.path.exists(self.lab.socket), 10,
                       "pipewire-pulse did not start", step=0.001)
            self.signal("pipewire-pulse", signal.SIGSTOP)
            return
        self.wait_answer()

    def session_managed(self):
        if self.procs["wireplumber"].poll() is not None:
            return False
        try:
            return "kalvex_test" in subprocess.run(
                ["pw-metadata", "-n", "default", "0", "default.audio.sink"], env=self.lab.env,
                capture_output=True, text=True, timeout=5).stdout
        except subprocess.TimeoutExpired:
            return False

    def wait_answer(self):
        wait_until(lambda: answers(self.lab), 10, "the sound server did not answer")
        self.answered = time.monotonic()
        wait_until(lambda: "kalvex_test" in pactl(self.lab, "list", "short", "sinks").stdout, 10,
                   "the null sink did not show")

    def kill(self, *names):
        for name in names or STACK:
            end(self.procs.pop(name))

    def signal(self, name, sig):
        os.kill(self.procs[name].pid, sig)


class Game:
    """The probe under strace, which logs every file it opens."""

    def __init__(self, lab, tag):
        self.trace, self.err = lab.path(tag + ".trace"), lab.path(tag + ".err")
        # With glibc's threshold for mapping large blocks fixed, the memory
        # follows what the game holds: otherwise the first large block freed
        # raises the threshold, and the next one of its size stays resident.
        self.tracer = subprocess.Popen(
            ["strace", "-f", "-q", "--seccomp-bpf", "-e", "trace=open,openat", "-o", self.trace,
             probe], env=dict(lab.env, MALLOC_MMAP_THRESHOLD_="131072"),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=open(self.err, "w"), text=True)
        # strace may first start a child of its own, to try its filter.
        children = f"/proc/{self.tracer.pid}/task/{self.tracer.pid}/children"
        wait_until(lambda: self.game(children), 10, "strace did not start the game")
        self.pid = self.game(children)

    @staticmethod
    def game(children):
        for pid in open(children).read().split():
            try:
                if os.readlink(f"/proc/{pid}/exe") == os.path.realpath(probe):
                    return int(pid)
            except OSError:
                pass
        return None

    def stop(self):
        if self.tracer.poll() is None:
            try:
                self.tracer.communicate("", timeout=30)
            except subprocess.TimeoutExpired:
                self.kill()

    def kill(self):
        try:
            os.kill(self.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        end(self.tracer)

    def device_opens(self):
        """Sound devices the game opened itself, and how often."""
        with open(self.trace) as f:
            return dict(Counter(re.findall(r'"(/dev/snd/[^"]*|/dev/dsp[^"]*)"', f.read())))

    def ended(self):
        """None while the game runs, else how it ended."""
        if self.tracer.poll() is None and os.path.exists(f"/proc/{self.pid}"):
            return None
        try:
            self.tracer.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
        with open(self.trace) as f:
            last = [l.strip() for l in f if "+++" in l][-1:]
        said = self.tracer.stdout.read() if self.tracer.poll() is not None else ""
        with open(self.err) as f:
            return " ".join(last + [said.strip(), f.read().strip()[-3000:]])


lab = Lab("kalvex-pipewire-")
others = set()  # streams that are not the game's, seen while only the game plays


def ours(watch=True):
    found = sink_inputs(lab)
    if watch:
        others.update(name_of(s) for s in found if name_of(s) != "Kalvex")
    mine = [s for s in found if name_of(s) == "Kalvex"]
    return mine[0] if mine else None


def wait_ours(seconds, since=None):
    """Seconds from `since` (default: now) until the game's stream shows."""
    since = since or time.monotonic()
    if wait_until(lambda: ours() is not None, seconds) is None:
        return None
    return time.monotonic() - since


def set_mute(stream, on):
    pactl(lab, "set-sink-input-mute", stream["index"], "1" if on else "0")


def heard_unmuted():
    """The game's level on the monitor with its stream unmuted for a moment;
    muted again afterwards, and long enough for WirePlumber to store it."""
    stream = ours()
    if stream is None:
        return 0.0
    set_mute(stream, False)
    time.sleep(0.3)
    loud = level(lab)
    set_mute(stream, True)
    time.sleep(1.2)  # WirePlumber writes its state a second after a change
    return loud


def silent_for(game, seconds, playing_rss):
    """CPU share and the largest memory while the music cannot be heard; ends
    a game that runs away."""
    cpu0, t0, top = cpu_seconds(game.pid), time.monotonic(), rss_mib(game.pid)
    while time.monotonic() - t0 < seconds:
        time.sleep(0.2)
        top = max(top, rss_mib(game.pid))
        if top > playing_rss + GUARD_MIB:
            cpu = 100 * (cpu_seconds(game.pid) - cpu0) / (time.monotonic() - t0)
            game.kill()
            return cpu, top, True
    return 100 * (cpu_seconds(game.pid) - cpu0) / (time.monotonic() - t0), top, False


def bounded(what, cpu, top, ran_away, playing_rss):
    check(not ran_away and cpu <= 1.0,
          f"{what}: silent, {cpu:.2f} % of a core" + (" (ran away; ended)" if ran_away else ""))
    check(sanitized or top - playing_rss <= 2.0,
          f"{what}: silent, memory {top:.1f} MiB, {top - playing_rss:+.1f} MiB from playing")


def back(event, stack):
    """The game's stream after a server event: back in time, muted, sounding."""
    took = wait_ours(5, since=stack.answered)
    check(took is not None and took <= 2.0, f"{event}: back {took} s after the server answered")
    stream = ours()
    check(stream is not None and stream.get("mute"), f"{event}: still muted")
    loud = heard_unmuted()
    check(loud > 300, f"{event}: heard once unmuted (RMS {loud:.0f})")
    check(not others, f"{event}: no other stream: {sorted(others)}")


stack = game = tone = None
try:
    lab.session_bus()
    stack = Stack(lab)
    stack.start()

    # 1. Named and heard.
    game = Game(lab, "game1")
    took = wait_ours(10)
    check(took is not None, f"the game's stream shows {took} s after start")
    stream = ours() or {"props": {}}
    print("   stream properties:",
          {k: v for k, v in stream["props"].items() if k.startswith(("application.", "media."))})
    check(stream["props"].get("application.icon_name") == "org.kalvex.Kalvex",
          f"application.icon_name {stream['props'].get('application.icon_name')}")
    loud = level(lab)
    check(loud > 300, f"the sink's monitor is not silent (RMS {loud:.0f})")

    # 2. Remembered for this game alone.
    if stream.get("index"):
        set_mute(stream, True)
    time.sleep(1.5)
    game.stop()
    opened = game.device_opens()
    write_tone(lab.path("tone.wav"), 20)
    tone = lab.spawn(["paplay", lab.path("tone.wav")],
                     env=dict(lab.env, PULSE_PROP="media.role=game"))
    wait_until(lambda: any(name_of(s) == "paplay" for s in sink_inputs(lab)), 5)
    tones = [s for s in sink_inputs(lab) if name_of(s) == "paplay"]
    check(bool(tones) and not tones[0]["mute"],
          "a program with media.role=game starts unmuted while the game is muted")
    loud = level(lab)
    check(loud > 300, f"and is heard (RMS {loud:.0f})")
    if tones:
        set_mute(tones[0], True)
        time.sleep(0.5)
        set_mute(tones[0], False)
        time.sleep(1.5)
    end(tone)
    tone = None
    game = Game(lab, "game2")
    took = wait_ours(10)
    stream = ours() or {}
    check(took is not None and stream.get("mute"),
          "the game starts muted again after that program was muted and unmuted")

    # 3 and 4. Server events while the game runs on: each may leave it
    # silent for a while (hung or gone), and ends with the server answering.
    def restart_pulse():
        stack.kill("pipewire-pulse")
        stack.start("pipewire-pulse")

    def stop_pulse():
        stack.signal("pipewire-pulse", signal.SIGSTOP)

    def cont_pulse():
        stack.signal("pipewire-pulse", signal.SIGCONT)
        stack.wait_answer()

    def restart_pulse_hung():
        stack.kill("pipewire-pulse")
        stack.start("pipewire-pulse", hung=True)

    events = [("pipewire-pulse restarted", None, restart_pulse),
              (f"pipewire-pulse stopped {HOLD} s, then continued", stop_pulse, cont_pulse),
              (f"the whole stack gone {HOLD} s, then started", stack.kill, stack.start),
              (f"pipewire-pulse restarted, hung {HOLD} s, then continued", restart_pulse_hung,
               cont_pulse)]
    for name, silence, resume in events:
        if game.ended() is not None:
            break
        playing_rss = rss_mib(game.pid)
        if silence:
            silence()
            cpu, top, ran_away = silent_for(game, HOLD, playing_rss)
            bounded(name, cpu, top, ran_away, playing_rss)
        resume()
        back(name, stack)

    if game.ended() is None:
        counts = [(threads(game.pid), fds(game.pid), rss_mib(game.pid))]
        for i in range(restarts):
            restart_pulse()
            if wait_ours(5) is None:
                break
            time.sleep(0.3)
        else:
            counts.append((threads(game.pid), fds(game.pid), rss_mib(game.pid)))
        check(len(counts) == 2, f"back after each of {restarts} more restarts")
        if len(counts) == 2:
            (t0, f0, r0), (t1, f1, r1) = counts
            check(t1 == t0 and f1 == f0 and (sanitized or r1 - r0 <= 1.0),
                  f"over {restarts} more restarts: threads {t0} -> {t1}, files {f0} -> {f1}, "
                  f"memory {r0:.1f} -> {r1:.1f} MiB")
    check(not others, f"no other stream ever: {sorted(others)}")
    check(game.ended() is None, f"the game ran to the end {game.ended() or ''}")
    game.stop()
    for tag, raw in (("first start", opened), ("second start", game.device_opens())):
        check(not raw, f"{tag}: no sound device opened directly: {raw}")
finally:
    if game:
        game.kill()
    if tone:
        end(tone)
    lab.close()
finish()
