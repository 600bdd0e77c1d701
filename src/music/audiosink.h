// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <cstdint>

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
};

}  // namespace kalvex
