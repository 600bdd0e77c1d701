// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Replays the committed fuzzing corpus through the MIDI reader, so every
// input that once broke it is tried again by the normal test run.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "song_check.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(argv[1])) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    int played = 0;
    int faults = 0;
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::string error;
        const auto song = kalvex::readMidiFile(bytes, error);
        const std::string fault = kalvex::fuzz::readingFault(song, error);
        const std::string name = path.filename().string();
        if (!fault.empty()) {
            std::printf("FAULT %s: %s\n", name.c_str(), fault.c_str());
            ++faults;
        } else if (song) {
            std::printf("played  %s: %zu events, %.0f ms\n", name.c_str(), song->events.size(),
                        song->lengthMs);
            ++played;
        } else {
            std::printf("refused %s: %s\n", name.c_str(), error.c_str());
        }
    }
    std::printf("%zu files: %d played, %zu refused, %d faults\n", files.size(), played,
                files.size() - std::size_t(played + faults), faults);
    // A folder that plays nothing would pass for nothing; the game's own song is in it.
    return played == 0 || faults > 0 ? 1 : 0;
}
