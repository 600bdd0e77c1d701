// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace kalvex {

// One pass of a song as 16-bit stereo samples at 44.1 kHz, filled once, front
// to back, by the thread that renders it, and read only once it is complete,
// by the output, which plays every pass from it. The samples are kept packed
// without loss, in blocks that unpack on their own: a song takes about half
// the memory of its plain samples.
class RenderedSong {
public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr std::size_t kBlockFrames = 4096;

    explicit RenderedSong(std::size_t frames);
    ~RenderedSong();
    RenderedSong(const RenderedSong&) = delete;
    RenderedSong& operator=(const RenderedSong&) = delete;

    std::size_t frames() const { return frames_; }
    bool complete() const { return ready_ == frames_; }
    // The memory the packed samples take.
    std::size_t packedBytes() const { return starts_[(ready_ + kBlockFrames - 1) / kBlockFrames]; }

    // Copies `count` frames from frame `at` on into `out`.
    void read(std::size_t at, std::int16_t* out, std::size_t count) const;

    // For the renderer: room for the next frames, up to the end of a block.
    std::span<std::int16_t> next();
    // Says that `count` frames of next() are filled.
    void added(std::size_t count);

private:
    const std::size_t frames_;
    const std::size_t blocks_;
    std::unique_ptr<std::uint8_t[]> packed_;   // pages are touched only as filled
    std::unique_ptr<std::uint32_t[]> starts_;  // of each block in packed_, and the end
    std::unique_ptr<std::int16_t[]> filling_;  // the block being rendered
    std::unique_ptr<std::uint8_t[]> trial_;    // and packed
    std::size_t filled_ = 0;                   // frames in it
    std::size_t ready_ = 0;                    // frames before it
};

}  // namespace kalvex
