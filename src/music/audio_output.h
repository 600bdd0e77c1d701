// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "music/song_output.h"

namespace kalvex {

// Where the output thread writes 16-bit stereo frames at 44.1 kHz: a sound
// server's stream, an ALSA device, or a test's recorder. One thread uses it;
// only wake() comes from others. No call waits longer than it is told to.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    // Opens the output, waiting as long as it takes; false when it cannot now,
    // or when `quit` is set and wake() called.
    virtual bool open(const std::atomic<bool>& quit) = 0;
    // Frames that can be written without waiting; negative once lost.
    virtual long writable() = 0;
    // Takes up to `count` frames; returns how many, negative once lost.
    virtual long write(const std::int16_t* frames, long count) = 0;
    // Drops what was written and is not heard yet.
    virtual void discard() = 0;
    // Sleeps until wake(), until `ms` pass, or, when `forRoom`, until more
    // can be written (it may also return sooner); false once lost.
    virtual bool wait(bool forRoom, int ms) = 0;
    // From any thread: ends the running or the next open() or wait().
    virtual void wake() = 0;
    // Why open() failed, where the output can say more than that it did.
    virtual std::string failure() const { return {}; }
};

// One playback stream on the PulseAudio server (or PipeWire's stand-in),
// with a buffer of a second that it asks to be refilled every half second.
// It connects to the server named by the environment, or the user's, and
// never starts one; it waits for a server that accepted the connection
// however long it takes to answer.
std::unique_ptr<AudioSink> pulseStream();

// ALSA's default device, for a machine without a sound server: a one-second
// buffer, refilled when half of it has played, and never a blocking call.
std::unique_ptr<AudioSink> alsaDevice();

// Plays rendered songs on the machine's sound output from a thread of its
// own. Where a sound server exists (soundServerExists()), or has answered
// once, it plays only on its own named stream there, waiting for the server
// as long as it is away; otherwise it plays on ALSA's default device, and
// moves to a server that appears. It tries again once a second while it has
// no output, and wakes about twice a second while it plays.
SongOutputFactory audioOutput();
// Plays on a new sink from `makeSink` for each try, as above otherwise.
SongOutputFactory audioOutput(std::function<std::unique_ptr<AudioSink>()> makeSink);

// Whether the user has a sound server, running or not: PULSE_SERVER is set,
// or the user's runtime folder holds a PulseAudio or PipeWire socket.
bool soundServerExists();

}  // namespace kalvex
