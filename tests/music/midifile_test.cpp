// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Reading standard MIDI files into one timeline.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "renderer/midifile.h"

namespace kalvex::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

void big(Bytes& out, std::uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
        out.push_back(std::uint8_t(v >> (8 * i)));
    }
}

// A file with the given track bodies, each written as it stands.
Bytes smf(int format, std::uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
    big(out, format, 2);
    big(out, std::uint32_t(tracks.size()), 2);
    big(out, division, 2);
    for (const Bytes& body : tracks) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        big(out, std::uint32_t(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

MidiSong read(const Bytes& bytes) {
    std::string error;
    auto song = readMidiFile(bytes, error);
    EXPECT_TRUE(song.has_value()) << error;
    return song.value_or(MidiSong{});
}

TEST(MidiFile, RunningStatusRepeatsTheLastChannelStatus) {
    // Note on C4, then E4 and a note-off (velocity 0) with the status left out.
    const auto song = read(
        smf(0, 96, {{0x00, 0x91, 60, 100, 0x00, 64, 90, 0x60, 60, 0, 0x00, 0xFF, 0x2F, 0x00}}));
    ASSERT_EQ(song.events.size(), 3u);
    for (const MidiEvent& e : song.events) {
        EXPECT_EQ(e.status, 0x91);
    }
    EXPECT_EQ(song.events[1].data1, 64);
    EXPECT_EQ(song.events[2].data2, 0);
    EXPECT_DOUBLE_EQ(song.events[2].ms, 500.0);  // 96 ticks at the default 120 a minute
}

TEST(MidiFile, TempoChangesStretchOnlyWhatFollowsThem) {
    // 480 ticks a quarter: a quarter at 500 ms a beat, then 250 ms a beat.
    const Bytes conductor{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,        // 500000 us
                          0x83, 0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // at 480: 250000 us
                          0x83, 0x60, 0xFF, 0x2F, 0x00};                   // ends at 960
    const Bytes notes{0x83, 0x60, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
    const auto song = read(smf(1, 480, {conductor, notes}));
    ASSERT_EQ(song.events.size(), 2u);
    EXPECT_DOUBLE_EQ(song.events[0].ms, 500.0);
    EXPECT_DOUBLE_EQ(song.events[1].ms, 750.0);
    EXPECT_DOUBLE_EQ(song.lengthMs, 750.0);
}

TEST(MidiFile, TracksAreMergedInTimeAndTheLongestSetsTheLength) {
    const Bytes a{0x00, 0xC0, 5, 0x81, 0x00, 0x90, 60, 90, 0x00, 0xFF, 0x2F, 0x00};  // ends at 128
    const Bytes b{0x40, 0xC9, 0, 0x83, 0x00, 0xFF, 0x2F, 0x00};  // at 64, ends at 448
    const auto song = read(smf(1, 128, {a, b}));
    ASSERT_EQ(song.events.size(), 3u);
    EXPECT_EQ(song.events[0].status, 0xC0);
    EXPECT_EQ(song.events[1].status, 0xC9);
    EXPECT_EQ(song.events[2].status, 0x90);
    EXPECT_DOUBLE_EQ(song.events[1].ms, 250.0);
    EXPECT_DOUBLE_EQ(song.lengthMs, 1750.0);  // 448 ticks of 128 a half second
}

TEST(MidiFile, SystemExclusiveAndOtherMetaEventsAreSkipped) {
    const Bytes body{0x00, 0xF0, 0x03, 0x7E, 0x7F, 0xF7,  // sysex
                     0x00, 0xFF, 0x03, 0x02, 'h',  'i',   // track name
                     0x00, 0xB3, 7,    100,  0x00, 0xFF, 0x2F, 0x00};
    const auto song = read(smf(0, 96, {body}));
    ASSERT_EQ(song.events.size(), 1u);
    EXPECT_EQ(song.events[0].kind(), 0xB0);
    EXPECT_EQ(song.events[0].channel(), 3);
}

TEST(MidiFile, SmpteDivisionCountsFramesNotBeats) {
    // 25 frames a second, 40 ticks a frame: one tick is a millisecond.
    const Bytes body{0x87, 0x68, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00};  // at 1000 ticks
    const auto song = read(smf(0, std::uint16_t((0x100 - 25) << 8 | 40), {body}));
    ASSERT_EQ(song.events.size(), 1u);
    EXPECT_DOUBLE_EQ(song.events[0].ms, 1000.0);
}

struct BadFile {
    const char* what;
    Bytes bytes;
};
void PrintTo(const BadFile& f, std::ostream* os) {
    *os << f.what;
}

class MidiFileRejects : public ::testing::TestWithParam<BadFile> {};

TEST_P(MidiFileRejects, WithAReason) {
    std::string error;
    EXPECT_FALSE(readMidiFile(GetParam().bytes, error).has_value());
    EXPECT_FALSE(error.empty());
}

const Bytes kEnd{0x00, 0xFF, 0x2F, 0x00};

INSTANTIATE_TEST_SUITE_P(
    BadFiles, MidiFileRejects,
    ::testing::Values(
        BadFile{"text", {'h', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd', '!', '\n'}},
        BadFile{"empty", {}}, BadFile{"format2", smf(2, 96, {kEnd})},
        BadFile{"missingTrack",
                [] {
                    Bytes b = smf(1, 96, {kEnd, kEnd});
                    b.resize(b.size() - 12);
                    return b;
                }()},
        BadFile{"cutInATrack",
                [] {
                    Bytes b = smf(0, 96, {{0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF}});
                    b[21] += 10;  // the chunk claims more than the file holds
                    return b;
                }()},
        BadFile{"noStatus", smf(0, 96, {{0x00, 60, 100, 0x00, 0xFF, 0x2F, 0x00}})},
        BadFile{"statusWhereDataBelongs",
                smf(0, 96, {{0x00, 0x90, 0x90, 100, 0x00, 0xFF, 0x2F, 0x00}})},
        BadFile{"zeroDivision", smf(0, 0, {kEnd})},
        // Bounds that keep a hostile file from costing memory or overflowing the
        // player's clock: one event too many, and a day and a tick.
        BadFile{"tooManyEvents",
                [] {
                    Bytes body{0x00, 0xC0, 0x00};
                    for (std::size_t i = 0; i < kMostMidiEvents; ++i) {
                        body.insert(body.end(), {0x00, 0x00});  // running status
                    }
                    body.insert(body.end(), kEnd.begin(), kEnd.end());
                    return smf(0, 96, {body});
                }()},
        BadFile{"longerThanADay",
                // 1000 ticks a second (25 frames of 40): 86400001 ticks.
                smf(0, std::uint16_t((0x100 - 25) << 8 | 40),
                    {{0xA9, 0x99, 0xB8, 0x01, 0xFF, 0x2F, 0x00}})}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace kalvex::testing
