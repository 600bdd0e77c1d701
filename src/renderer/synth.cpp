// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "renderer/synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <utility>

#include "renderer/protocol.h"

// ALSA's card list, as this program sees it: none. FluidSynth lists the cards
// whenever settings are made, opening /dev/snd/controlC*, which nothing of the
// game's may do while it plays through a sound server; the renderer never
// plays. Defined here, it stands in for ALSA's own for every library.
extern "C" int snd_card_next(int* card) {
    if (card == nullptr) {
        return -EINVAL;
    }
    *card = -1;
    return 0;
}

namespace kalvex {
namespace {

// FluidSynth works in blocks of this many frames; the player acts between them.
constexpr int kBlock = 64;

// FluidSynth's last error says why a file is not a song; nothing goes to stderr.
std::string lastError;
void keepError(int level, const char* message, void*) {
    if (level <= FLUID_ERR) {
        lastError = message;
    }
}

fluid_settings_t* newRenderSettings() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, keepError, nullptr);
    }
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", renderer::kRate);
    fluid_settings_setnum(settings, "synth.gain", 0.4);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // Samples loaded as the song plays them: of a large bank, only those are read.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // The loop never sounds more than a few dozen voices; 256 only cost memory.
    fluid_settings_setint(settings, "synth.polyphony", 64);
    // Timed by the samples rendered, not the clock: fast, and the same every time.
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    // Every channel starts on its General MIDI default, program or not.
    fluid_settings_setint(settings, "player.reset-synth", 1);
    return settings;
}

}  // namespace

Synthesiser::Synthesiser() : settings_(newRenderSettings()), synth_(new_fluid_synth(settings_)) {}

// FluidSynth's deletes take null.
Synthesiser::~Synthesiser() {
    delete_fluid_player(player_);
    delete_fluid_synth(synth_);
    delete_fluid_settings(settings_);
}

bool Synthesiser::load(const std::string& soundFont, std::string& failure) {
    if (synth_ == nullptr) {
        failure = "the synthesiser could not be set up";
        return false;
    }
    if (fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED) {
        failure = "the sound bank " + soundFont + " could not be loaded";
        return false;
    }
    return true;
}

bool Synthesiser::open(std::span<const std::uint8_t> song, std::string& failure) {
    lastError.clear();
    player_ = synth_ != nullptr ? new_fluid_player(synth_) : nullptr;
    // The player reads the file in its first block and starts the song with the
    // next; that block goes without the 16-bit dither, whose run starts with the song.
    std::array<float, kBlock * renderer::kChannels> first;
    if (player_ == nullptr || fluid_player_add_mem(player_, song.data(), song.size()) != FLUID_OK ||
        fluid_player_play(player_) != FLUID_OK ||
        fluid_synth_write_float(synth_, kBlock, first.data(), 0, 2, first.data(), 1, 2) !=
            FLUID_OK ||
        fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) {
        failure = lastError;
        return false;
    }
    return true;
}

Synthesiser::Ending Synthesiser::render(std::size_t mostFrames, const Out& out) {
    // The song ends at its longest track's last tick (a hostile song's run negative).
    // Calls cost time: whole pieces while the end is over four pieces off, blocks near it.
    const long long last = fluid_player_get_total_ticks(player_);
    const auto tick = [p = player_]() -> long long {
        return fluid_player_get_status(p) == FLUID_PLAYER_PLAYING ? fluid_player_get_current_tick(p)
                                                                  : INT_MAX;
    };
    std::array<std::int16_t, renderer::kPieceFrames * renderer::kChannels> piece;
    std::size_t done = 0, have = 0;
    for (long long now = tick(), started = now, perPiece = -1;
         now < last && done + have < mostFrames; now = tick()) {
        const std::size_t room = std::min(renderer::kPieceFrames - have, mostFrames - done - have);
        const std::size_t n = perPiece >= 0 && last - now > 4 * perPiece + 1
                                  ? room
                                  : std::min<std::size_t>(kBlock, room);
        std::int16_t* at = &piece[have * renderer::kChannels];
        // An unwritten piece holds whatever was there: it must never be heard.
        if (fluid_synth_write_s16(synth_, int(n), at, 0, 2, at, 1, 2) != FLUID_OK) {
            return Ending::failed;
        }
        if ((have += n) == renderer::kPieceFrames) {
            out(piece.data(), have);
            done += std::exchange(have, 0);
            perPiece = tick() - std::exchange(started, tick());
        }
    }
    if (have > 0) {
        out(piece.data(), have);
    }
    return tick() >= last ? Ending::whole : Ending::cut;
}

}  // namespace kalvex
