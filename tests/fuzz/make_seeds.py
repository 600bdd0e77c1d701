#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 Kalvex developers
#
# SPDX-License-Identifier: MIT

"""Writes the fuzzing corpus's seeds: the game's song, cut and damaged, and
small files that try the limits of a MIDI file reader, here FluidSynth's
player as the renderer runs it. Inputs the fuzzer found are kept beside them
under their own names."""
import random
import struct
import sys
from pathlib import Path

root = Path(__file__).resolve().parents[2]
out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent / "corpus"
song = (root / "assets" / "mid.mid").read_bytes()


def chunk(kind, body):
    return kind + struct.pack(">I", len(body)) + body


def smf(tracks, fmt=0, division=96, count=None):
    header = struct.pack(">HHH", fmt, len(tracks) if count is None else count, division)
    return chunk(b"MThd", header) + b"".join(chunk(b"MTrk", t) for t in tracks)


def var(n):
    out = [n & 0x7F]
    while n > 0x7F:
        n >>= 7
        out.insert(0, 0x80 | (n & 0x7F))
    return bytes(out)


END = b"\x00\xff\x2f\x00"
NOTE = b"\x00\x90\x3c\x64\x60\x80\x3c\x00"


def patched(data, at, new):
    return data[:at] + new + data[at + len(new):]


first_track = 14  # the song's first MTrk chunk
seeds = {
    "song.mid": song,
    "cut-in-header.mid": song[:10],
    "cut-after-header.mid": song[:14],
    "cut-in-first-track.mid": song[:first_track + 8 + 20],
    "cut-in-last-track.mid": song[:-700],
    "cut-last-byte.mid": song[:-1],
    "track-length-huge.mid": patched(song, first_track + 4, b"\xff\xff\xff\xf0"),
    "header-length-huge.mid": patched(song, 4, b"\xff\xff\xff\xff"),
    "header-length-8.mid": song[:4] + b"\x00\x00\x00\x08" + song[8:14] + b"\x00\x00" + song[14:],
    "track-count-65535.mid": patched(song, 10, b"\xff\xff"),
    "format-2.mid": patched(song, 8, b"\x00\x02"),
    "division-zero.mid": patched(song, 12, b"\x00\x00"),
    "division-smpte.mid": patched(song, 12, b"\xe7\x28"),
    "division-smpte-128fps.mid": patched(song, 12, b"\x80\x00"),
    "delta-huge.mid": smf([(var(0x0FFFFFFF) + b"\x90\x3c\x64") * 4 + END]),
    "delta-five-bytes.mid": smf([b"\x80\x80\x80\x80\x00\x90\x3c\x64" + END]),
    "longer-than-a-day.mid": smf([(var(0x0FFFFFFF) + b"\xff\x01\x00") * 8 + END], division=1),
    "tempo-zero.mid": smf([b"\x00\xff\x51\x03\x00\x00\x00" + NOTE * 3 + END]),
    "tempo-huge.mid": smf([b"\x00\xff\x51\x03\xff\xff\xff" + NOTE * 3 + END], division=1),
    "tempo-wrong-length.mid": smf([b"\x00\xff\x51\x02\x07\xa1" + NOTE + END]),
    "meta-length-huge.mid": smf([b"\x00\xff\x01" + var(0x0FFFFFFF) + b"abc" + END]),
    "sysex-length-huge.mid": smf([b"\x00\xf0" + var(0x0FFFFFFF) + b"\x7e" + END]),
    "sysex-in-packets.mid": smf([b"\x00\xf0\x03\x7e\x7f\x09\x10\xf7\x02\x01\xf7" + NOTE + END]),
    "running-status-first.mid": smf([b"\x00\x3c\x64" + END]),
    "running-status-after-meta.mid": smf([NOTE + b"\x00\xff\x01\x00\x00\x3e\x64" + END]),
    "running-status-across-tracks.mid": smf([NOTE + END, b"\x00\x3c\x64" + END], fmt=1),
    "system-message.mid": smf([b"\x00\xf8" + NOTE + END]),
    "status-as-data.mid": smf([b"\x00\x90\x90\x90" + NOTE + END]),
    "no-end-of-track.mid": smf([NOTE * 2]),
    "end-of-track-first.mid": smf([END + NOTE]),
    "unknown-chunk.mid": chunk(b"MThd", struct.pack(">HHH", 0, 1, 96))
    + chunk(b"XFIH", b"\x00" * 10) + chunk(b"MTrk", NOTE + END),
}

# The song with bytes overwritten here and there, the same every time.
rng = random.Random(11)
for n in range(4):
    data = bytearray(song)
    for _ in range(8):
        data[rng.randrange(14, len(data))] = rng.randrange(256)
    seeds[f"song-damaged-{n + 1}.mid"] = bytes(data)

out.mkdir(parents=True, exist_ok=True)
for name, data in seeds.items():
    (out / name).write_bytes(data)
print(f"{len(seeds)} seeds in {out}")
