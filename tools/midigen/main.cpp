// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// midigen SCORE OUT.mid: turns a note list into a standard MIDI file.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "score.h"
#include "smf.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: midigen SCORE OUT.mid\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "midigen: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    try {
        const auto bytes = midigen::writeSmf(midigen::parseScore(text));
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::fprintf(stderr, "midigen: cannot write %s\n", argv[2]);
            return 1;
        }
    } catch (const midigen::ScoreError& e) {
        std::fprintf(stderr, "midigen: %s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}
