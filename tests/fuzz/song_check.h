// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "renderer/protocol.h"
#include "renderer/synth.h"

namespace kalvex::fuzz {

// Ordinary inputs play this much at most: long enough to sequence a few bars,
// short enough for the whole corpus to replay in seconds.
constexpr std::size_t kFuzzFrames = std::size_t(3) * renderer::kRate;

struct Playing {
    bool opened = false;
    bool ended = false;  // the song ended before the cap
    std::size_t frames = 0;
    std::string refusal;  // why FluidSynth would not play it, if it says
    std::string fault;    // what the renderer could not rely on; empty when all holds
};

// Plays `song` with a synthesiser that has no bank, as far as `mostFrames`.
inline Playing play(std::span<const std::uint8_t> song, std::size_t mostFrames) {
    Playing p;
    // A fresh synthesiser each time: open() starts a player of its own.
    Synthesiser synth;
    p.opened = synth.open(song, p.refusal);
    if (!p.opened) {
        return p;
    }
    std::size_t pieces = 0;
    const Synthesiser::Ending ending =
        synth.render(mostFrames, [&](const std::int16_t* frames, std::size_t count) {
            ++pieces;
            if (frames == nullptr || count == 0 || count > renderer::kPieceFrames) {
                p.fault =
                    "piece " + std::to_string(pieces) + " of " + std::to_string(count) + " frames";
                return;
            }
            p.frames += count;
        });
    p.ended = ending == Synthesiser::Ending::whole;
    if (ending == Synthesiser::Ending::failed && p.fault.empty()) {
        p.fault =
            "FluidSynth could not write a piece after " + std::to_string(p.frames) + " frames";
    }
    if (!p.fault.empty()) {
        return p;
    }
    if (p.frames > mostFrames) {
        p.fault = std::to_string(p.frames) + " frames past a cap of " + std::to_string(mostFrames);
    } else if (!p.ended && p.frames != mostFrames) {
        // Stopped short of the cap, yet says the song goes on: the renderer would cut it there.
        p.fault = "stopped at " + std::to_string(p.frames) + " of " + std::to_string(mostFrames) +
                  " frames without ending";
    }
    return p;
}

}  // namespace kalvex::fuzz
