// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Replays the committed fuzzing corpus through FluidSynth's song reading and
// playing, so every input that once broke it is tried again by the normal
// test run; and plays the game's own song to its end.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "song_check.h"

namespace fs = std::filesystem;

namespace {

// assets/mid.mid: 24 bars at 150 quarter notes a minute, 38.4 s.
constexpr std::size_t kGameSongFrames = 1693440;

std::vector<std::uint8_t> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER GAME_SONG\n", argv[0]);
        return 2;
    }
    int faults = 0;

    // The cap is the renderer's own, well past the song, so that the song must end by itself.
    const auto game = kalvex::fuzz::play(readAll(argv[2]), kalvex::renderer::kMostFrames);
    if (!game.opened || !game.fault.empty() || !game.ended || game.frames != kGameSongFrames) {
        std::printf("FAULT %s: %s, %s after %zu frames, not %zu: %s%s\n", argv[2],
                    game.opened ? "opened" : "refused", game.ended ? "ended" : "went on",
                    game.frames, kGameSongFrames, game.refusal.c_str(), game.fault.c_str());
        ++faults;
    } else {
        std::printf("game song %s: %zu frames\n", argv[2], game.frames);
    }

    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(argv[1])) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    int played = 0;
    int refused = 0;
    for (const fs::path& path : files) {
        const auto p = kalvex::fuzz::play(readAll(path), kalvex::fuzz::kFuzzFrames);
        const std::string name = path.filename().string();
        if (!p.fault.empty()) {
            std::printf("FAULT %s: %s\n", name.c_str(), p.fault.c_str());
            ++faults;
        } else if (p.opened) {
            std::printf("played  %s: %zu frames, %s\n", name.c_str(), p.frames,
                        p.ended ? "ended" : "cut");
            ++played;
        } else {
            ++refused;
            std::printf("refused %s: %s\n", name.c_str(),
                        p.refusal.empty() ? "(no reason given)" : p.refusal.c_str());
        }
    }
    std::printf("%zu files: %d played, %d refused, %d faults\n", files.size(), played, refused,
                faults);
    // A folder that plays nothing would pass for nothing.
    return played == 0 || faults > 0 ? 1 : 0;
}
