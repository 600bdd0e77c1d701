// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// libFuzzer entry: any bytes through the MIDI reader. A crash, a sanitizer
// report or a song the player could not rely on stops the run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "song_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto song = kalvex::readMidiFile({data, size}, error);
    const std::string fault = kalvex::fuzz::readingFault(song, error);
    if (!fault.empty()) {
        std::fprintf(stderr, "midifile_fuzzer: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
