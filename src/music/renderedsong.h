// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

#include "renderer/protocol.h"

namespace kalvex {

// One pass of a song as 16-bit stereo samples at 44.1 kHz, kept packed
// without loss as FLAC (about half the plain size): the music is heard from
// these on every pass. Filled once, front to back, by add(), then read only.
class RenderedSong {
public:
    static constexpr int kRate = renderer::kRate;
    static constexpr int kChannels = renderer::kChannels;
    // Songs are cut to a minute, but a minute of noise hardly packs at all:
    // this bounds what the kept samples cost whatever the song.
    static constexpr std::size_t kMostPackedBytes = 6 << 20;

    // Room for `frames` frames.
    explicit RenderedSong(std::size_t frames);
    ~RenderedSong();
    RenderedSong(const RenderedSong&) = delete;
    RenderedSong& operator=(const RenderedSong&) = delete;

    std::size_t frames() const { return frames_; }
    bool complete() const { return added_ == frames_ && encoder_ == nullptr; }
    std::size_t packedBytes() const { return packed_.size(); }

    // Packs the next `count` frames; false once more than frames() are given,
    // or when they would take more than kMostPackedBytes.
    bool add(const std::int16_t* frames, std::size_t count);

    // Reads a complete song; quickest front to back, as it is played.
    class Reader {
    public:
        explicit Reader(std::shared_ptr<const RenderedSong> song);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;

        // Copies `count` frames from frame `at` on into `out`.
        void read(std::size_t at, std::int16_t* out, std::size_t count);

    private:
        std::shared_ptr<const RenderedSong> song_;
        FLAC__StreamDecoder* decoder_;
        std::size_t next_ = 0;          // the byte of the song the decoder reads next
        std::vector<std::int16_t> at_;  // the frames it decoded last,
        std::size_t first_ = 0;         // from this one on
        friend struct Decoding;
    };

private:
    const std::size_t frames_;
    std::size_t added_ = 0;
    std::vector<std::uint8_t> packed_;
    FLAC__StreamEncoder* encoder_;
    friend struct Encoding;
    friend struct Decoding;
};

}  // namespace kalvex
