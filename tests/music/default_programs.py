#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Every song plays: a channel that never gets a Program Change plays the
General MIDI default, piano on channel 1 and the standard drum kit on channel
10, on the song's first pass and on every loop.

The song, written here as mid.mid beside a copy of the probe, has one note on
channel 1 panned hard left and one drum hit on channel 10 panned hard right
(no reverb or chorus, so neither reaches the other side), then a rest; it
loops every 1.5 s. The sink's monitor of a private PulseAudio server is
recorded from before the game starts, and each side must sound once per pass
for at least the first two passes.

Usage: default_programs.py PROBE
"""
import os
import shutil
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sound_support import Lab, PulseServer, check, end, finish, record, recorder, rms  # noqa: E402

LOOP_S = 1.5
RECORD_S = 10.0
WINDOW = 441  # 10 ms at 44.1 kHz
LOUD = 300  # RMS of a window that sounds
QUIET_S = 0.3  # silence that separates two passes' sounds


def song():
    """A format-0 file, 1 ms a tick: pan, sends off and a note on channels 1
    and 10 at 0 ms, the notes off at 500 ms, the end at 1500 ms."""
    def var(n):
        out = [n & 0x7F]
        while n > 0x7F:
            n >>= 7
            out.insert(0, 0x80 | (n & 0x7F))
        return bytes(out)
    events = [(0, bytes([0xFF, 0x51, 3]) + (480000).to_bytes(3, "big"))]  # 480 ms a quarter
    for channel, pan, note in ((0, 0, 69), (9, 127, 38)):
        for controller, value in ((10, pan), (91, 0), (93, 0)):
            events.append((0, bytes([0xB0 | channel, controller, value])))
    events += [(0, bytes([0x90, 69, 100])), (0, bytes([0x99, 38, 110])),
               (500, bytes([0x80, 69, 0])), (0, bytes([0x89, 38, 0])),
               (1000, bytes([0xFF, 0x2F, 0]))]
    track = b"".join(var(delta) + data for delta, data in events)
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480) +
            b"MTrk" + struct.pack(">I", len(track)) + track)


def sounds(samples):
    """Start times (s) and peaks of the separate sounds in one channel."""
    found, quiet = [], QUIET_S
    for i in range(0, len(samples) - WINDOW, WINDOW):
        window = samples[i:i + WINDOW]
        if rms(window) > LOUD:
            if quiet >= QUIET_S:
                found.append([i / 44100, 0])
            found[-1][1] = max(found[-1][1], max(abs(s) for s in window))
            quiet = 0.0
        else:
            quiet += WINDOW / 44100
    return found


lab = Lab("kalvex-programs-")
server = PulseServer(lab)
game = None
try:
    folder = lab.path("game")
    os.makedirs(folder)
    probe = shutil.copy(sys.argv[1], folder)
    shutil.copy(os.path.join(os.path.dirname(sys.argv[1]), "kalvex-renderer"), folder)
    with open(os.path.join(folder, "mid.mid"), "wb") as f:
        f.write(song())
    server.start()
    rec = recorder(lab)
    time.sleep(0.3)
    game = subprocess.Popen([probe], env=lab.env, stdin=subprocess.PIPE,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    recorded = record(lab, RECORD_S, skip=0, rec=rec)
    for side, channel in ((0, "channel 1, piano (left)"), (1, "channel 10, drums (right)")):
        heard = sounds(recorded[side])
        print(f"   {channel}: " + ", ".join(f"{t:.2f} s peak {p}" for t, p in heard), flush=True)
        apart = [b[0] - a[0] for a, b in zip(heard, heard[1:])]
        check(len(heard) >= 2 and all(abs(d - LOOP_S) < 0.5 for d in apart[:1]),
              f"{channel}: sounds on the first pass and on the second "
              f"({len(heard)} sounds in {len(recorded[side]) / 44100:.1f} s recorded)")
finally:
    if game:
        end(game)
    lab.close()
finish()
