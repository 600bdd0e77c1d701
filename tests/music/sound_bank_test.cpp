// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The bank cut down to a song's presets, against the General MIDI bank it was
// cut from, both played by FluidSynth as the game sets it up.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "music/fluidrender.h"
#include "music/midifile.h"
#include "music/soundbank.h"
#include "music_support.h"

namespace kalvex::testing {
namespace {

const std::string kBank = kDefaultSoundFont;

struct Synth {
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = nullptr;
    int font = FLUID_FAILED;

    explicit Synth(const std::string& bank) {
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);  // the fallbacks are expected
        fluid_settings_setnum(settings, "synth.gain", 0.4);
        fluid_settings_setint(settings, "synth.polyphony", 64);
        fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
        synth = new_fluid_synth(settings);
        font = fluid_synth_sfload(synth, bank.c_str(), 0);
    }
    ~Synth() {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    }

    // The preset a channel sounds after a bank select (unless negative) and
    // a program change.
    SoundBank::Preset select(int channel, int bankSelect, int program) {
        if (bankSelect >= 0) {
            fluid_synth_cc(synth, channel, 0, bankSelect);
        }
        fluid_synth_program_change(synth, channel, program);
        fluid_preset_t* p = fluid_synth_get_channel_preset(synth, channel);
        return p == nullptr
                   ? SoundBank::Preset{-1, -1}
                   : SoundBank::Preset{fluid_preset_get_banknum(p), fluid_preset_get_num(p)};
    }

    // The whole song and two seconds of its tail, each event at its own frame.
    std::vector<std::int16_t> render(const MidiSong& song) {
        std::vector<std::int16_t> out;
        auto renderTo = [&](std::size_t frame) {
            if (frame * 2 > out.size()) {
                const std::size_t from = out.size();
                out.resize(frame * 2);
                fluid_synth_write_s16(synth, int(frame - from / 2), out.data() + from, 0, 2,
                                      out.data() + from, 1, 2);
            }
        };
        for (const MidiEvent& e : song.events) {
            renderTo(std::size_t(std::llround(e.ms * 44.1)));
            const int ch = e.channel();
            if (e.kind() == 0x90 && e.data2 > 0) {
                fluid_synth_noteon(synth, ch, e.data1, e.data2);
            } else if (e.kind() == 0x80 || e.kind() == 0x90) {
                fluid_synth_noteoff(synth, ch, e.data1);
            } else if (e.kind() == 0xB0) {
                fluid_synth_cc(synth, ch, e.data1, e.data2);
            } else if (e.kind() == 0xC0) {
                fluid_synth_program_change(synth, ch, e.data1);
            }
        }
        renderTo(out.size() / 2 + 2 * 44100);
        return out;
    }
};

TEST(SoundBank, TheSongsCutBankSoundsSampleForSampleAsTheWholeBank) {
    std::string error;
    const auto song = readMidiFile(readBytes(sourceDir() / "assets/mid.mid"), error);
    ASSERT_TRUE(song) << error;
    std::vector<SoundBank::Preset> presets{{128, 0}};
    for (const MidiEvent& e : song->events) {
        if (e.kind() == 0xC0) {
            const SoundBank::Preset p{e.channel() == 9 ? 128 : 0, e.data1};
            if (std::find(presets.begin(), presets.end(), p) == presets.end()) {
                presets.push_back(p);
            }
        }
    }
    const auto bank = SoundBank::open(kBank, error);
    ASSERT_TRUE(bank) << error;
    const auto image = bank->cut(presets, error);
    ASSERT_TRUE(image) << error;
    std::vector<std::uint8_t> bytes(image->size());
    ASSERT_TRUE(image->read(0, bytes));
    QTemporaryDir dir;
    const std::string cutPath = dir.filePath(QStringLiteral("cut.sf2")).toStdString();
    writeBytes(cutPath, bytes);

    Synth whole(kBank), cut(cutPath);
    ASSERT_NE(cut.font, FLUID_FAILED) << "FluidSynth refuses the cut bank";
    int kept = 0;
    fluid_sfont_t* font = fluid_synth_get_sfont_by_id(cut.synth, cut.font);
    fluid_sfont_iteration_start(font);
    while (fluid_sfont_iteration_next(font) != nullptr) {
        ++kept;
    }
    EXPECT_EQ(kept, int(presets.size())) << "the cut bank holds other presets too";

    const auto a = whole.render(*song), b = cut.render(*song);
    ASSERT_EQ(a.size(), b.size());
    std::size_t differing = 0;
    double energy = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        differing += a[i] != b[i];
        energy += double(a[i]) * a[i];
    }
    EXPECT_EQ(differing, 0u) << "of " << a.size() << " samples";
    EXPECT_GT(std::sqrt(energy / double(a.size())), 300.0) << "the song hardly sounds";
}

// The presets a channel falls back to when the bank lacks what it asks for
// must be in the cut bank, or the channel would be silent.
TEST(SoundBank, ResolvesAMissingPresetAsFluidSynthDoes) {
    std::string error;
    const auto bank = SoundBank::open(kBank, error);
    ASSERT_TRUE(bank) << error;
    Synth synth(kBank);
    struct Case {
        int channel, bankSelect, program;
    };
    for (const Case& c : {Case{0, -1, 80}, Case{1, 5, 7}, Case{2, 127, 0}, Case{9, -1, 25},
                          Case{9, -1, 3}, Case{9, 3, 0}}) {
        const SoundBank::Preset sounded = synth.select(c.channel, c.bankSelect, c.program);
        int font = 0, wantedBank = 0, wantedProgram = 0;
        fluid_synth_get_program(synth.synth, c.channel, &font, &wantedBank, &wantedProgram);
        const auto resolved = bank->resolve({wantedBank, wantedProgram}, c.channel == 9);
        ASSERT_TRUE(resolved) << c.channel << " " << c.program;
        EXPECT_EQ(*resolved, sounded)
            << "channel " << c.channel << " bank select " << c.bankSelect << " program "
            << c.program << ": resolved " << resolved->bank << ":" << resolved->program
            << ", FluidSynth sounds " << sounded.bank << ":" << sounded.program;
    }
}

// A bank whose description points outside itself is refused, not read
// out of bounds.
TEST(SoundBank, ADamagedBankIsRefusedWithAReason) {
    std::string error;
    const auto bank = SoundBank::open(kBank, error);
    ASSERT_TRUE(bank) << error;
    auto image = bank->cut({{0, 0}}, error);
    ASSERT_TRUE(image) << error;
    std::vector<std::uint8_t> bytes(image->size());
    ASSERT_TRUE(image->read(0, bytes));
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("bad.sf2")).toStdString();

    // Every instrument link of the preset points past the instrument list.
    std::vector<std::uint8_t> badLink = bytes;
    const std::string pgen = "pgen";
    auto at = std::search(badLink.begin(), badLink.end(), pgen.begin(), pgen.end());
    ASSERT_NE(at, badLink.end());
    const std::size_t count = (at[4] | at[5] << 8) / 4;
    for (std::size_t g = 0; g < count; ++g) {
        std::uint8_t* gen = &at[8 + 4 * g];
        if (gen[0] == 41 && gen[1] == 0) {
            gen[2] = 0xFF;
            gen[3] = 0x7F;
        }
    }
    writeBytes(path, badLink);
    auto bad = SoundBank::open(path, error);
    ASSERT_TRUE(bad) << error;
    error.clear();
    EXPECT_FALSE(bad->cut({{0, 0}}, error));
    EXPECT_FALSE(error.empty());

    // Cut off inside its description.
    writeBytes(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end() - 100));
    error.clear();
    EXPECT_FALSE(SoundBank::open(path, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace kalvex::testing
