// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The game's music file and the generator that writes it from a note list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../../tools/midigen/score.h"
#include "music_support.h"

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

// The committed file is the score's, byte for byte (above), so its music is
// judged on the score. A score that cannot be read fails every test of the
// suite; GoogleTest would report a failed SetUpTestSuite as skipped tests.
class CommittedSong : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        try {
            file = readBytes(sourceDir() / "assets/mid.mid");
            score = midigen::parseScore(scoreText());
        } catch (const std::exception& e) {
            setupError = e.what();
        }
    }
    void SetUp() override {
        if (!setupError.empty()) {
            GTEST_FAIL() << setupError;
        }
    }
    static double seconds(std::uint32_t ticks) {
        return double(ticks) / midigen::Score::kDivision * 60 / score.tempo;
    }
    static inline std::vector<std::uint8_t> file;
    static inline midigen::Score score;
    static inline std::string setupError;
};

TEST_F(CommittedSong, IsAStandardFileOfAtLeastThirtySeconds) {
    ASSERT_GE(file.size(), 14u);
    const auto big16 = [](const std::uint8_t* at) { return at[0] << 8 | at[1]; };
    EXPECT_EQ(std::string(file.begin(), file.begin() + 8), std::string("MThd\0\0\0\6", 8));
    EXPECT_EQ(big16(&file[8]), 1) << "format";
    // A conductor track, then one per part.
    EXPECT_EQ(big16(&file[10]), int(score.parts.size() + 1)) << "tracks";
    EXPECT_EQ(big16(&file[12]), midigen::Score::kDivision) << "ticks per quarter note";
    EXPECT_GT(score.tempo, 0);
    EXPECT_GE(seconds(score.length), 30.0);
}

TEST_F(CommittedSong, PlaysDrumsOnChannelTenAndSeveralInstruments) {
    std::set<int> soundingChannels;
    std::map<int, int> programs;  // channel -> program
    for (const midigen::Part& part : score.parts) {
        if (part.notes.empty()) {
            continue;
        }
        soundingChannels.insert(part.channel);
        // Parts sharing a channel share its program: the last one set would win.
        const auto [at, added] = programs.emplace(part.channel, part.program);
        EXPECT_TRUE(added || at->second == part.program)
            << "channel " << part.channel + 1 << " has programs " << at->second + 1 << " and "
            << part.program + 1;
    }
    EXPECT_TRUE(soundingChannels.count(9)) << "no drums on channel 10";
    std::set<int> instruments;
    for (const auto& [channel, program] : programs) {
        if (channel != 9) {
            instruments.insert(program);
        }
    }
    EXPECT_GE(instruments.size(), 3u);
}

// A loop is seamless only if it starts sounding at once and no note is
// still held when the file ends.
TEST_F(CommittedSong, StartsAtOnceAndReleasesEveryNoteBeforeTheEnd) {
    std::uint32_t firstNote = score.length;
    for (const midigen::Part& part : score.parts) {
        for (const midigen::Note& n : part.notes) {
            if (n.velocity > 0) {
                firstNote = std::min(firstNote, n.tick);
            }
            // As the writer sounds it: the part's gate of the note, at least a tick.
            const std::uint32_t sounding = std::max<std::uint32_t>(1, n.length * part.gate / 100);
            EXPECT_LE(n.tick + sounding, score.length)
                << part.name << " key " << int(n.key) << " at tick " << n.tick;
        }
    }
    EXPECT_EQ(firstNote, 0u);
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
