// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// What the renderer program and the game say to each other. The game hands
// the song file's bytes to the renderer's standard input; the renderer
// answers on its standard output with one line:
//
//   samples\n         the samples follow, in pieces
//   song WHY\n        the song cannot be played; WHY reads after its name
//   error WHY\n       nothing can be played
//
// That line may come after one other, "note WHY\n": what the renderer has to
// do without (such as a kernel's sandbox), for the game to say once; WHY
// reads after the renderer's name.
//
// After "samples", each piece is a 32-bit little-endian count of frames (1 to
// kPieceFrames) and those frames; the count kWhole or kCut ends the song.
// A frame is a left and a right 16-bit little-endian sample at 44.1 kHz.
namespace kalvex::renderer {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr std::size_t kFrameBytes = kChannels * 2;
constexpr std::uint32_t kPieceFrames = 4096;
constexpr std::uint32_t kWhole = 0;         // the song ended
constexpr std::uint32_t kCut = 0xFFFFFFFF;  // the song goes on past kLongestSeconds
// A longer song is cut here and its first part looped: the game keeps every
// pass's samples, packed, and this bounds what that costs.
constexpr int kLongestSeconds = 60;
constexpr std::size_t kMostFrames = std::size_t(kLongestSeconds) * kRate;
// A song is a few KiB; anything near this is not one.
constexpr std::size_t kLargestSongBytes = 4 << 20;
constexpr std::size_t kLongestLine = 512;

// Between the machine's byte order and the protocol's; the same call both ways.
template <class T>
constexpr T littleEndian(T value) {
    if constexpr (std::endian::native == std::endian::little) {
        return value;
    } else {
        T swapped = 0;
        for (std::size_t i = 0; i < sizeof value; ++i, value >>= 8) {
            swapped = T(swapped << 8 | (value & 0xFF));
        }
        return swapped;
    }
}

}  // namespace kalvex::renderer
