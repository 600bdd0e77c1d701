// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The game's music file and the generator that writes it from a note list.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "../../tools/midigen/score.h"
#include "music_support.h"
#include "renderer/midifile.h"

namespace kalvex::testing {
namespace {

std::string scoreText() {
    const auto bytes = readBytes(sourceDir() / "tools/midigen/arcade_loop.score");
    return {bytes.begin(), bytes.end()};
}

TEST(MusicFile, RegeneratingTheScoreGivesTheCommittedBytes) {
    const auto committed = readBytes(sourceDir() / "assets/mid.mid");
    const auto generated = midiFromScore(scoreText());
    ASSERT_EQ(generated.size(), committed.size());
    EXPECT_TRUE(generated == committed) << "assets/mid.mid differs from its score: regenerate it";
}

// A song that cannot be read fails every test of the suite; GoogleTest would
// report a failed SetUpTestSuite as skipped tests.
class CommittedSong : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            auto read = readMidiFile(readBytes(sourceDir() / "assets/mid.mid"), setupError);
            if (read) {
                song = *read;
            } else if (setupError.empty()) {
                setupError = "assets/mid.mid was not read";
            }
        } catch (const std::exception& e) {
            setupError = e.what();
        }
    }
    void SetUp() override {
        if (!setupError.empty()) {
            GTEST_FAIL() << setupError;
        }
    }
    static MidiSong song;
    static inline std::string setupError;
};
MidiSong CommittedSong::song;

TEST_F(CommittedSong, IsAStandardFileOfAtLeastThirtySeconds) {
    EXPECT_EQ(song.format, 1);
    EXPECT_GE(song.lengthMs, 30'000);
}

TEST_F(CommittedSong, PlaysDrumsOnChannelTenAndSeveralInstruments) {
    std::set<int> soundingChannels;
    std::map<int, int> programs;  // channel -> program
    for (const MidiEvent& e : song.events) {
        if (e.kind() == 0x90 && e.data2 > 0) {
            soundingChannels.insert(e.channel());
        } else if (e.kind() == 0xC0) {
            programs[e.channel()] = e.data1;
        }
    }
    EXPECT_TRUE(soundingChannels.count(9)) << "no drums on channel 10";
    std::set<int> instruments;
    for (int channel : soundingChannels) {
        if (channel != 9) {
            ASSERT_TRUE(programs.count(channel)) << "channel " << channel + 1 << " has no program";
            instruments.insert(programs[channel]);
        }
    }
    EXPECT_GE(instruments.size(), 3u);
}

// A loop is seamless only if it starts sounding at once and no note is
// still held when the file ends.
TEST_F(CommittedSong, StartsAtOnceAndReleasesEveryNoteBeforeTheEnd) {
    std::map<std::pair<int, int>, int> held;  // (channel, key) -> count
    double firstNote = -1;
    for (const MidiEvent& e : song.events) {
        const std::pair<int, int> key{e.channel(), e.data1};
        if (e.kind() == 0x90 && e.data2 > 0) {
            ++held[key];
            if (firstNote < 0) {
                firstNote = e.ms;
            }
        } else if (e.kind() == 0x80 || e.kind() == 0x90) {
            --held[key];
        }
        EXPECT_LE(e.ms, song.lengthMs);
    }
    EXPECT_EQ(firstNote, 0.0);
    for (const auto& [key, count] : held) {
        EXPECT_EQ(count, 0) << "channel " << key.first + 1 << " key " << key.second;
    }
}

// The note-list language.
TEST(Score, LengthsCarryOverAndADotAddsHalf) {
    const auto score =
        midigen::parseScore("tempo 120\npart p channel=1 program=1\n| C4/8 D4 E4/4. F4/8 G4/4 |\n");
    ASSERT_EQ(score.parts.size(), 1u);
    const auto& notes = score.parts[0].notes;
    ASSERT_EQ(notes.size(), 5u);
    const std::uint32_t ticks[] = {0, 240, 480, 1200, 1440};
    const std::uint32_t lengths[] = {240, 240, 720, 240, 480};
    const int keys[] = {60, 62, 64, 65, 67};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(notes[i].tick, ticks[i]);
        EXPECT_EQ(notes[i].length, lengths[i]);
        EXPECT_EQ(notes[i].key, keys[i]);
    }
    EXPECT_EQ(score.length, 1920u);
}

TEST(Score, NamesPitchesAndDrumsAsGeneralMidiKeys) {
    const auto score = midigen::parseScore(
        "part p channel=10 program=1\n| C-1/8 G9 A4 F#3 Bb2 kick chat@50 C4+E4/8 |\n");
    const auto& notes = score.parts[0].notes;
    const int keys[] = {0, 127, 69, 54, 46, 36, 42, 60, 64};
    ASSERT_EQ(notes.size(), 9u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(notes[i].key, keys[i]) << i;
    }
    EXPECT_EQ(notes[6].velocity, 50);
    EXPECT_EQ(notes[7].tick, notes[8].tick);
    EXPECT_EQ(score.parts[0].channel, 9);
}

TEST(Score, UseRepeatsAPhraseAfterWhatCameBefore) {
    const auto score = midigen::parseScore(
        "define two\n| C4/2 D4 |\nend\npart p channel=1 program=1\n| r/1 |\nuse two x2\n");
    const auto& notes = score.parts[0].notes;
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].tick, 1920u);
    EXPECT_EQ(notes[2].tick, 3840u);
    EXPECT_EQ(score.length, 3u * 1920);
}

struct BadScore {
    const char* what;
    const char* text;
    const char* line;
};
void PrintTo(const BadScore& s, std::ostream* os) {
    *os << s.what;
}

class ScoreRejects : public ::testing::TestWithParam<BadScore> {};

TEST_P(ScoreRejects, NamingTheLine) {
    try {
        midigen::parseScore(GetParam().text);
        ADD_FAILURE() << "accepted";
    } catch (const midigen::ScoreError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().line), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    BadScores, ScoreRejects,
    ::testing::Values(
        BadScore{"shortBar", "part p channel=1 program=1\n| C4 D4 E4 |\n", "line 2"},
        BadScore{"longBar", "part p channel=1 program=1\n| C4/2 D4 E4 |\n", "line 2"},
        BadScore{"unequalParts",
                 "part a channel=1 program=1\n| C4/1 |\npart b channel=2 program=1\n| C4/1 | D4 "
                 "|\n",
                 "line 3"},
        BadScore{"unknownNote", "part p channel=1 program=1\n| H4/1 |\n", "line 2"},
        BadScore{"noProgram", "part p channel=1\n| C4/1 |\n", "line 1"},
        BadScore{"badLength", "part p channel=1 program=1\n| C4/3 C4 C4 |\n", "line 2"},
        BadScore{"unknownDefine", "part p channel=1 program=1\nuse nothing\n", "line 2"}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace kalvex::testing
