// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/fluidsettings.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fluidsynth.h>

#include <cerrno>
#include <mutex>

namespace {

// Set while this thread makes FluidSynth settings.
thread_local bool hideSoundCards = false;

void ignoreFluid(int, const char*, void*) {}

}  // namespace

// ALSA's card list, as the program sees it: none while FluidSynth makes its
// settings, the real one otherwise. Defined here, it stands in for ALSA's
// own for every library of the program.
extern "C" int snd_card_next(int* card) {
    using Next = int (*)(int*);
    static const auto real = reinterpret_cast<Next>(dlsym(RTLD_NEXT, "snd_card_next"));
    if (!hideSoundCards && real != nullptr) {
        return real(card);
    }
    if (card == nullptr) {
        return -EINVAL;
    }
    *card = -1;
    return 0;
}

namespace kalvex {

fluid_settings_t* newRenderSettings(int sampleRate) {
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
            fluid_set_log_function(level, ignoreFluid, nullptr);
        }
    });
    hideSoundCards = true;
    fluid_settings_t* settings = new_fluid_settings();
    hideSoundCards = false;
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(settings, "synth.gain", 0.4);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // FluidSynth renders samples loaded one by one slightly differently from
    // a bank read whole: this keeps the music as it always sounded.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // The loop never sounds more than a few dozen voices; 256 only cost memory.
    fluid_settings_setint(settings, "synth.polyphony", 64);
    return settings;
}

}  // namespace kalvex
