// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/fluidrender.h"

#include <fluidsynth.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "music/fluidbanks.h"
#include "music/fluidsettings.h"
#include "music/soundbank.h"

namespace kalvex {
namespace {

// FluidSynth's drum channel; its bank is the drum kits' bank 128.
constexpr int kDrumChannel = 9;
constexpr int kDrumBank = 128;

// The presets the song sounds, chosen by FluidSynth's rules: bank select in
// the GS style (controller 0 on a melodic channel, the drum channel always on
// the drum bank), a missing preset replaced as SoundBank::resolve says, and a
// channel that sounds before any program change on its reset preset.
std::vector<SoundBank::Preset> presetsOf(const MidiSong& song, const SoundBank& bank) {
    std::array<int, 16> bankOf{};
    bankOf[kDrumChannel] = kDrumBank;
    std::array<bool, 16> chosen{};
    std::vector<SoundBank::Preset> keep;
    auto add = [&](int channel, SoundBank::Preset wanted) {
        const bool drums = channel == kDrumChannel || wanted.bank == kDrumBank;
        const auto p = bank.resolve(wanted, drums);
        if (p && std::find(keep.begin(), keep.end(), *p) == keep.end()) {
            keep.push_back(*p);
        }
        chosen[std::size_t(channel)] = true;
    };
    for (const MidiEvent& e : song.events) {
        const int ch = e.channel();
        if (e.kind() == 0xB0 && e.data1 == 0 && ch != kDrumChannel) {
            bankOf[std::size_t(ch)] = e.data2;
        } else if (e.kind() == 0xC0) {
            add(ch, {bankOf[std::size_t(ch)], e.data1});
        } else if (e.kind() == 0x90 && e.data2 > 0 && !chosen[std::size_t(ch)]) {
            add(ch, {ch == kDrumChannel ? kDrumBank : 0, 0});
        }
    }
    return keep;
}

void send(fluid_synth_t* synth, const MidiEvent& e) {
    const int ch = e.channel();
    switch (e.kind()) {
        case 0x80:
            fluid_synth_noteoff(synth, ch, e.data1);
            break;
        case 0x90:
            if (e.data2 == 0) {
                fluid_synth_noteoff(synth, ch, e.data1);
            } else {
                fluid_synth_noteon(synth, ch, e.data1, e.data2);
            }
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth, ch, e.data1, e.data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth, ch, e.data1, e.data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth, ch, e.data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth, ch, e.data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth, ch, e.data1 | (e.data2 << 7));
            break;
        default:
            break;
    }
}

std::size_t frameAt(double ms) {
    return std::size_t(std::llround(std::max(0.0, ms) * RenderedSong::kRate / 1000.0));
}

struct Synthesiser {
    fluid_settings_t* settings = newRenderSettings(RenderedSong::kRate);
    fluid_synth_t* synth = new_fluid_synth(settings);

    ~Synthesiser() {
        if (synth != nullptr) {
            delete_fluid_synth(synth);
        }
        delete_fluid_settings(settings);
    }
};

// Renders `song` into `pcm`; false when told to give up or unable, then
// with why in `failure` for the latter.
bool fill(const std::string& soundFont, const MidiSong& song, RenderedSong& pcm,
          const std::function<bool()>& cancelled, std::string& failure) {
    const std::string bankFailure = "the sound bank " + soundFont + " could not be loaded: ";
    // Declared in this order so that the synthesiser goes first, then the
    // image it reads, then the file the image reads.
    const std::unique_ptr<SoundBank> bank = SoundBank::open(soundFont, failure);
    if (!bank) {
        failure = bankFailure + failure;
        return false;
    }
    const std::vector<SoundBank::Preset> keep = presetsOf(song, *bank);
    std::optional<MemoryBank> image;
    Synthesiser s;
    fluid_sfloader_t* loader = s.synth ? memoryBankLoader(s.settings) : nullptr;
    if (loader == nullptr) {
        failure = "the synthesiser could not be set up";
        return false;
    }
    fluid_synth_add_sfloader(s.synth, loader);
    if (!keep.empty()) {  // a song of rests needs no instrument
        auto cut = bank->cut(keep, failure);
        if (!cut) {
            failure = bankFailure + failure;
            return false;
        }
        image.emplace(std::make_shared<const BankImage>(std::move(*cut)));
        const int id = fluid_synth_sfload(s.synth, image->name().c_str(), 1);
        if (id == FLUID_FAILED) {
            failure = bankFailure + "FluidSynth refused it";
            return false;
        }
        // The samples are read now, and pinned presets keep them.
        for (const SoundBank::Preset& p : keep) {
            fluid_synth_pin_preset(s.synth, id, p.bank, p.program);
        }
    }
    // Every channel on its General MIDI default, now that there is a bank.
    fluid_synth_system_reset(s.synth);

    std::size_t done = 0;
    const auto renderTo = [&](std::size_t frame) {
        for (frame = std::min(frame, pcm.frames()); done < frame;) {
            if (cancelled()) {
                return false;
            }
            const std::span<std::int16_t> room = pcm.next();
            const std::size_t n = std::min(frame - done, room.size() / RenderedSong::kChannels);
            fluid_synth_write_s16(s.synth, int(n), room.data(), 0, 2, room.data(), 1, 2);
            pcm.added(n);
            done += n;
        }
        return true;
    };
    for (const MidiEvent& e : song.events) {
        if (!renderTo(frameAt(e.ms))) {
            return false;
        }
        send(s.synth, e);
    }
    return renderTo(pcm.frames());
}

std::shared_ptr<const RenderedSong> render(const std::string& soundFont, const MidiSong& song,
                                           const std::function<bool()>& cancelled,
                                           std::string& failure) {
    auto pcm = std::make_shared<RenderedSong>(frameAt(song.lengthMs));
    const bool filled = fill(soundFont, song, *pcm, cancelled, failure);
    // The synthesiser's memory goes back to the system before the song is
    // played, and before the output takes memory of its own.
    malloc_trim(0);
    return filled ? pcm : nullptr;
}

}  // namespace

SongRenderer fluidRenderer(std::string soundFont) {
    return [soundFont = std::move(soundFont)](
               const MidiSong& song, const std::function<bool()>& cancelled, std::string& failure) {
        return render(soundFont, song, cancelled, failure);
    };
}

}  // namespace kalvex
