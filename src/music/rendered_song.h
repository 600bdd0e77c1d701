// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <sndfile.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/protocol.h"

namespace kalvex {

// The packed bytes of a song, as libsndfile reads and writes them.
struct PackedBytes {
    std::vector<std::uint8_t>* bytes;
    sf_count_t at = 0;
};

// One pass of a song as 16-bit stereo samples at 44.1 kHz, kept packed as
// Ogg Vorbis: the music is heard from these on every pass. Filled once,
// front to back, by add() and finish(), then read only.
class RenderedSong {
public:
    // Music packs to about 20 KiB a second, noise hardly more (1.3 MiB a
    // minute): whatever the song, the kept samples cost no more than this.
    static constexpr std::size_t kMostPackedBytes = 2 << 20;

    RenderedSong();
    ~RenderedSong();
    RenderedSong(const RenderedSong&) = delete;
    RenderedSong& operator=(const RenderedSong&) = delete;

    std::size_t frames() const { return frames_; }
    bool complete() const { return complete_; }

    // Packs the next `count` frames; false when they cannot be, or would take
    // more than kMostPackedBytes.
    bool add(const std::int16_t* frames, std::size_t count);
    // Packs what is left; false when the song cannot be kept.
    bool finish();

    // Reads a complete song; quickest front to back, as it is played.
    class Reader {
    public:
        explicit Reader(std::shared_ptr<const RenderedSong> song);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

        // Copies `count` frames from frame `at` on into `out`; silence past the end.
        void read(std::size_t at, std::int16_t* out, std::size_t count);

    private:
        std::shared_ptr<const RenderedSong> song_;
        PackedBytes in_;
        SNDFILE* file_;
        static constexpr std::size_t kNowhere = std::size_t(-1);
        std::size_t next_ = 0;  // the frame the file gives next, or kNowhere
        std::vector<float> decoded_;
    };

private:
    std::vector<std::uint8_t> packed_;
    PackedBytes out_{&packed_};
    SNDFILE* writer_;
    std::size_t frames_ = 0;
    bool complete_ = false;
};

}  // namespace kalvex
