// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// libFuzzer entry: any bytes through FluidSynth's song reading and a few
// seconds of playing. A crash, a sanitizer report or a render the renderer
// could not rely on stops the run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "song_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto p = kalvex::fuzz::play({data, size}, kalvex::fuzz::kFuzzFrames);
    if (!p.fault.empty()) {
        std::fprintf(stderr, "song_fuzzer: %s\n", p.fault.c_str());
        std::abort();
    }
    return 0;
}
