// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

#include "music/audiosink.h"

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace kalvex {

// How the music shows up in the desktop's mixer, which remembers the
// player's volume and mute for it. No media role: the mixer would then
// remember them for every program of that role.
struct StreamNames {
    std::string application = "Kalvex";
    std::string id = "org.kalvex.Kalvex";  // also the icon's name, as in the desktop entry
    std::string stream = "배경 음악";
};

// One playback stream on the PulseAudio server (or PipeWire's stand-in),
// with a buffer of a second that it asks to be refilled every half second.
class PulseStream final : public AudioSink {
public:
    explicit PulseStream(StreamNames names);
    ~PulseStream() override;
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects to the server named by the environment, or the user's; never
    // starts one. Waits for a server that accepted the connection however
    // long it takes to answer.
    bool open(const std::atomic<bool>& quit) override;
    long writable() override;
    long write(const std::int16_t* frames, long count) override;
    void discard() override;
    bool wait(bool forRoom, int ms) override;
    void wake() override;

private:
    bool iterate(int ms);  // runs the loop once; false on a dead connection
    bool ready() const;

    const StreamNames names_;
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};

}  // namespace kalvex
