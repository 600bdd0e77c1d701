// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "renderer/synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <memory>

#include "renderer/protocol.h"

// ALSA's card list, as this program sees it: none. FluidSynth lists the
// cards for its ALSA driver whenever settings are made, opening
// /dev/snd/controlC*, which nothing of the game's may do while it plays
// through a sound server; the renderer never plays. Defined here, it stands
// in for ALSA's own for every library of the program.
extern "C" int snd_card_next(int* card) {
    if (card == nullptr) {
        return -EINVAL;
    }
    *card = -1;
    return 0;
}

namespace kalvex {
namespace {

void ignoreFluid(int, const char*, void*) {}

// FluidSynth's settings for rendering into memory, without log lines on stderr.
fluid_settings_t* newRenderSettings() {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, ignoreFluid, nullptr);
    }
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", renderer::kRate);
    fluid_settings_setnum(settings, "synth.gain", 0.4);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // FluidSynth renders samples loaded one by one slightly differently from
    // a bank read whole: this keeps the music as it always sounded. It also
    // reads only the samples the song plays from a large bank.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // The loop never sounds more than a few dozen voices; 256 only cost memory.
    fluid_settings_setint(settings, "synth.polyphony", 64);
    return settings;
}

void send(fluid_synth_t* synth, fluid_midi_event_t* event, const MidiEvent& e) {
    fluid_midi_event_set_type(event, e.kind());
    fluid_midi_event_set_channel(event, e.channel());
    fluid_midi_event_set_key(event, e.data1);       // or controller, program, pressure
    fluid_midi_event_set_velocity(event, e.data2);  // or value
    if (e.kind() == 0xE0) {
        fluid_midi_event_set_pitch(event, e.data1 | e.data2 << 7);
    }
    fluid_synth_handle_midi_event(synth, event);
}

std::size_t frameAt(double ms) {
    return std::size_t(std::llround(std::max(0.0, ms) * renderer::kRate / 1000.0));
}

}  // namespace

Synthesiser::Synthesiser() : settings_(newRenderSettings()), synth_(new_fluid_synth(settings_)) {}

Synthesiser::~Synthesiser() {
    if (synth_ != nullptr) {
        delete_fluid_synth(synth_);
    }
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

void Synthesiser::render(const MidiSong& song, std::size_t frames, const Out& out) {
    // Every channel on its General MIDI default, now that there is a bank.
    fluid_synth_system_reset(synth_);
    std::array<std::int16_t, 4096 * renderer::kChannels> piece;
    std::unique_ptr<fluid_midi_event_t, decltype(&delete_fluid_midi_event)> event(
        new_fluid_midi_event(), delete_fluid_midi_event);
    std::size_t done = 0;
    const auto renderTo = [&](std::size_t frame) {
        for (frame = std::min(frame, frames); done < frame;) {
            const std::size_t n = std::min(frame - done, piece.size() / renderer::kChannels);
            fluid_synth_write_s16(synth_, int(n), piece.data(), 0, 2, piece.data(), 1, 2);
            out(piece.data(), n);
            done += n;
        }
    };
    for (const MidiEvent& e : song.events) {
        if (frameAt(e.ms) >= frames) {
            break;
        }
        renderTo(frameAt(e.ms));
        send(synth_, event.get(), e);
    }
    renderTo(frames);
}

std::size_t songFrames(const MidiSong& song) {
    return frameAt(song.lengthMs);
}

}  // namespace kalvex
