// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace midigen {

// One note of a part, in ticks of the song's division.
struct Note {
    std::uint32_t tick = 0;
    std::uint32_t length = 0;
    std::uint8_t key = 0;
    std::uint8_t velocity = 0;
};

// One instrument on its own MIDI channel (0-based here; the score says 1 to 16).
struct Part {
    std::string name;
    int channel = 0;
    int program = 0;  // 0-based General MIDI program
    int volume = 100;
    int pan = 64;
    int reverb = 40;
    int gate = 90;  // percent of each note's length that sounds
    std::vector<Note> notes;
};

struct Score {
    static constexpr int kDivision = 480;  // ticks per quarter note
    static constexpr int kBar = 4 * kDivision;

    std::string title;
    int tempo = 120;  // quarter notes per minute
    std::vector<Part> parts;
    std::uint32_t length = 0;  // ticks; every part lasts exactly this long
};

// A mistake in the score text, with its line number in the message.
class ScoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the note-list language described at the top of the score files.
Score parseScore(std::string_view text);

}  // namespace midigen
