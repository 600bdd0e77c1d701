// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cmath>
#include <optional>
#include <string>

#include "renderer/midifile.h"

namespace kalvex::fuzz {

// What the player relies on in whatever the reader hands it: messages it can
// send as they stand, times in order within the song, a length its
// millisecond clock can hold. Empty when all holds.
inline std::string readingFault(const std::optional<MidiSong>& song, const std::string& error) {
    if (!song) {
        return error.empty() ? "refused without a reason" : "";
    }
    if (!error.empty()) {
        return "read, yet with an error: " + error;
    }
    if (song->format < 0 || song->format > 1 || song->tracks < 1) {
        return "format " + std::to_string(song->format) + " with " + std::to_string(song->tracks) +
               " tracks";
    }
    if (!std::isfinite(song->lengthMs) || song->lengthMs < 0 || song->lengthMs > kLongestSongMs) {
        return "a length of " + std::to_string(song->lengthMs) + " ms";
    }
    if (song->events.size() > kMostMidiEvents) {
        return std::to_string(song->events.size()) + " events kept";
    }
    double previous = 0;
    for (std::size_t i = 0; i < song->events.size(); ++i) {
        const MidiEvent& e = song->events[i];
        const std::string at = "event " + std::to_string(i) + ": ";
        if (e.status < 0x80 || e.status >= 0xF0) {
            return at + "status " + std::to_string(e.status);
        }
        if (e.data1 > 0x7F || e.data2 > 0x7F) {
            return at + "a data byte with its top bit set";
        }
        if ((e.kind() == 0xC0 || e.kind() == 0xD0) && e.data2 != 0) {
            return at + "a second data byte on a one-byte message";
        }
        if (!std::isfinite(e.ms) || e.ms < previous || e.ms > song->lengthMs) {
            return at + "at " + std::to_string(e.ms) + " ms after " + std::to_string(previous) +
                   " ms in a song of " + std::to_string(song->lengthMs) + " ms";
        }
        previous = e.ms;
    }
    return "";
}

}  // namespace kalvex::fuzz
