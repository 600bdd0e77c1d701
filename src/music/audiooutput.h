// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <functional>
#include <memory>

#include "music/audiosink.h"
#include "music/songoutput.h"

namespace kalvex {

struct AudioOutputSettings {
    StreamNames names;
    // For tests: the sink to play on instead of the machine's.
    std::function<std::unique_ptr<AudioSink>()> sink;
};

// Plays rendered songs on the machine's sound output from a thread of its
// own. Where a sound server exists (soundServerExists()), or has answered
// once, it plays only on its own named stream there, waiting for the server
// as long as it is away; otherwise it plays on ALSA's default device, and
// moves to a server that appears. It tries again once a second while it has
// no output, and wakes about twice a second while it plays.
SongOutputFactory audioOutput(AudioOutputSettings settings = {});

// Whether the user has a sound server, running or not: PULSE_SERVER is set,
// or the user's runtime folder holds a PulseAudio or PipeWire socket.
bool soundServerExists();

}  // namespace kalvex
