// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kalvex {

// One channel message of a MIDI file, placed in time.
struct MidiEvent {
    double ms = 0;            // from the start of the song
    std::uint8_t status = 0;  // kind in the high nibble, channel (0-15) in the low
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    int kind() const { return status & 0xF0; }
    int channel() const { return status & 0x0F; }
};

// A standard MIDI file flattened into one timeline: every track merged, the
// tempo map applied, system-exclusive and meta events other than the tempo
// left out.
struct MidiSong {
    int format = 0;
    int tracks = 0;
    std::vector<MidiEvent> events;  // in the order they are to be played
    double lengthMs = 0;            // where the longest track ends (its End of Track)
};

// A file is anyone's to replace, so the reader bounds what it keeps: a song
// is a few thousand events and minutes long, and the player schedules all of
// it at once on a 32-bit millisecond clock.
constexpr std::size_t kMostMidiEvents = 100'000;  // channel messages and tempo changes
constexpr double kLongestSongMs = 24 * 3600 * 1000.0;

// Reads a standard MIDI file (format 0 or 1). On failure returns nothing and
// says why in `error`. Takes time in proportion to the file's size and memory
// in proportion to its events.
std::optional<MidiSong> readMidiFile(std::span<const std::uint8_t> bytes, std::string& error);

}  // namespace kalvex
