// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <functional>
#include <string>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace kalvex {

// How the music shows up in the desktop's mixer, which remembers the
// player's volume and mute for it.
struct StreamNames {
    std::string application = "Kalvex";
    std::string id = "org.kalvex.Kalvex";  // also the icon's name, as in the desktop entry
    std::string role = "game";
    std::string stream = "배경 음악";
};

// One playback stream on the PulseAudio server (or PipeWire's stand-in),
// float stereo at 44.1 kHz, fed by the thread that calls feed().
class PulseStream {
public:
    // Fills `frames` interleaved stereo frames.
    using Render = std::function<void(float* samples, int frames)>;

    PulseStream();
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects to the server named by the environment, or the user's. Never
    // starts one. False when none answers within a few seconds or `quit` is
    // set.
    bool open(const StreamNames& names, const std::atomic<bool>& quit);
    // Feeds the stream until the server goes away (false) or `quit` is set
    // and wake() called (true).
    bool feed(const Render& render, const std::atomic<bool>& quit);
    // From any thread, while the stream exists: makes open() and feed() look
    // at `quit`.
    void wake();

private:
    bool wait(int ms);  // runs the loop once; false on a dead connection
    bool ready() const;

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};

}  // namespace kalvex
