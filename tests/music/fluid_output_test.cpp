// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Real FluidSynth, heard through its file driver, which writes in real time
// what a sound card would play.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>

#include "music/fluidoutput.h"
#include "music/mmcontrol.h"
#include "music_support.h"

namespace kalvex::testing {
namespace {

constexpr int kRate = 44100;  // FluidSynth's default

FluidOutputSettings toFile(const QString& path) {
    FluidOutputSettings s;
    s.drivers = {"file"};
    s.extra = {{"audio.file.name", path.toStdString()},
               {"audio.file.type", "raw"},
               {"audio.file.format", "s16"},
               {"audio.file.endian", "little"}};
    return s;
}

// The louder channel of each stereo frame, full scale 1.
std::vector<float> readFrames(const QString& path) {
    const auto bytes = readBytes(path.toStdString());
    std::vector<float> frames(bytes.size() / 4);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto* p = &bytes[i * 4];
        const auto left = std::int16_t(p[0] | p[1] << 8);
        const auto right = std::int16_t(p[2] | p[3] << 8);
        frames[i] = std::max(std::abs(left / 32768.0f), std::abs(right / 32768.0f));
    }
    return frames;
}

// Plays `file` through MMControl, restarting it as the window does, until it
// has ended `loops` times; returns whether every notification came on the
// GUI thread.
bool playLoops(const QString& file, const QString& rendered, int loops) {
    MMControl player(fluidOutput(toFile(rendered)));
    int ended = 0;
    bool onGuiThread = true;
    player.Notify = [&](int) {
        onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
        if (++ended < loops) {
            player.SetProperty(MMControl::kCommand, QStringLiteral("close"));
            player.SetProperty(MMControl::kCommand, QStringLiteral("open"));
            player.SetProperty(MMControl::kCommand, QStringLiteral("play"));
        }
    };
    player.SetProperty(MMControl::kFileName, file);
    player.SetProperty(MMControl::kCommand, QStringLiteral("open"));
    player.SetProperty(MMControl::kCommand, QStringLiteral("play"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended == loops; }, 10'000)) << ended << " ends";
    return onGuiThread;
}

// One loud click at the top of a 300 ms file, played four times over.
class SeamlessLoop : public ::testing::Test {
protected:
    static constexpr double kLoopMs = 300;
    static constexpr int kLoops = 4;

    // Played once, in the first test's set-up, so that a failure there fails
    // the test (GoogleTest reports a failed SetUpTestSuite as skipped tests).
    void SetUp() override {
        if (played) {
            return;
        }
        played = true;
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("click.mid"));
        writeBytes(file.toStdString(),
                   midiFromScore("tempo 800\npart c channel=10 program=1\n| claves/4 r r r |\n"));
        const QString rendered = dir.filePath(QStringLiteral("out.raw"));
        notifiedOnGuiThread = playLoops(file, rendered, kLoops);
        onsetsMs = onsets(readFrames(rendered));
    }

    // The milliseconds at which the sound turns loud after at least 30 ms
    // without a loud one.
    static std::vector<double> onsets(const std::vector<float>& frames) {
        const int block = kRate / 1000;
        std::vector<float> envelope(frames.size() / block);
        for (std::size_t b = 0; b < envelope.size(); ++b) {
            envelope[b] =
                *std::max_element(frames.begin() + b * block, frames.begin() + (b + 1) * block);
        }
        const float loud = 0.25f * *std::max_element(envelope.begin(), envelope.end());
        std::vector<double> found;
        long lastLoud = -1000;
        for (std::size_t b = 0; b < envelope.size(); ++b) {
            if (envelope[b] >= loud) {
                if (long(b) - lastLoud > 30) {
                    found.push_back(double(b));
                }
                lastLoud = long(b);
            }
        }
        return found;
    }

    static inline bool played = false;
    static inline bool notifiedOnGuiThread = false;
    static inline std::vector<double> onsetsMs;
};

TEST_F(SeamlessLoop, EveryEndRestartsTheFileFromItsFirstNote) {
    EXPECT_EQ(onsetsMs.size(), std::size_t(kLoops)) << ::testing::PrintToString(onsetsMs);
    EXPECT_TRUE(notifiedOnGuiThread);
}

TEST_F(SeamlessLoop, TheNextLoopSoundsWithinAHundredMillisecondsOfTheEnd) {
    ASSERT_GE(onsetsMs.size(), 2u);
    for (std::size_t i = 1; i < onsetsMs.size(); ++i) {
        const double gap = onsetsMs[i] - onsetsMs[i - 1] - kLoopMs;
        std::printf("gap after loop %zu: %.0f ms\n", i, gap);
        EXPECT_GE(gap, -2.0) << "a loop was cut short";
        EXPECT_LT(gap, 100.0);
    }
}

TEST(FluidOutput, TheGamesMusicSoundsAndDoesNotClip) {
    QTemporaryDir dir;
    const QString rendered = dir.filePath(QStringLiteral("out.raw"));
    {
        MMControl player(fluidOutput(toFile(rendered)));
        player.SetProperty(MMControl::kFileName, qpath(sourceDir() / "assets/mid.mid"));
        player.SetProperty(MMControl::kCommand, QStringLiteral("open"));
        player.SetProperty(MMControl::kCommand, QStringLiteral("play"));
        // Rendering starts once the sound bank is loaded: wait for 1.5 s of it.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return QFileInfo(rendered).size() >= 6 * kRate; }, 10'000));
    }
    const auto frames = readFrames(rendered);
    const auto first = std::find_if(frames.begin(), frames.end(), [](float f) { return f > 0; });
    ASSERT_GE(frames.end() - first, kRate) << "less than a second was rendered";
    double sum = 0;
    float peak = 0;
    for (auto it = first; it != first + kRate; ++it) {
        sum += double(*it) * *it;
        peak = std::max(peak, *it);
    }
    const double rms = std::sqrt(sum / kRate);
    EXPECT_GT(rms, 0.02) << "the first second is (nearly) silent";
    EXPECT_LT(peak, 0.99f) << "clipped";
}

// The synthesiser holds only the instruments of the song it was prepared for:
// a file that changes between loops to other instruments must still sound.
TEST(FluidOutput, ASongWithOtherInstrumentsSoundsAfterTheFirst) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("song.mid"));
    const QString rendered = dir.filePath(QStringLiteral("out.raw"));
    writeBytes(file.toStdString(),
               midiFromScore("tempo 800\npart c channel=10 program=1\n| claves/4 r r r |\n"));
    {
        MMControl player(fluidOutput(toFile(rendered)));
        int ended = 0;
        player.Notify = [&](int) {
            ++ended;
            writeBytes(file.toStdString(),
                       midiFromScore("tempo 120\npart m channel=2 program=81\n| C5/1 |\n"));
            player.SetProperty(MMControl::kCommand, QStringLiteral("close"));
            player.SetProperty(MMControl::kCommand, QStringLiteral("open"));
            player.SetProperty(MMControl::kCommand, QStringLiteral("play"));
        };
        player.SetProperty(MMControl::kFileName, file);
        player.SetProperty(MMControl::kCommand, QStringLiteral("open"));
        player.SetProperty(MMControl::kCommand, QStringLiteral("play"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended == 2; }, 10'000)) << ended << " ends";
    }
    // The click lasts a few dozen milliseconds, the held note two seconds.
    const auto frames = readFrames(rendered);
    const auto sounding =
        std::count_if(frames.begin(), frames.end(), [](float f) { return f > 0.01f; });
    EXPECT_GT(sounding, kRate) << "the second song's instrument is silent";
}

// Failing to start says why in the failure text only: the libraries' own
// messages are kept off stderr.
TEST(FluidOutput, AMissingSoundBankFailsQuietly) {
    FluidOutputSettings settings;
    settings.soundFont = "/nonexistent/gm.sf2";
    ::testing::internal::CaptureStderr();
    std::string failure;
    EXPECT_EQ(fluidOutput(settings)([](unsigned) {}, nullptr, failure), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(failure.find("/nonexistent/gm.sf2"), std::string::npos) << failure;
}

// No device: the output says so once, however often it tries again.
TEST(FluidOutput, AnAudioDeviceThatWillNotOpenIsToldOnceAndQuietly) {
    FluidOutputSettings settings;
    settings.drivers = {"alsa", "oss"};
    settings.extra = {{"audio.alsa.device", "kalvex_no_such_device"},
                      {"audio.oss.device", "/nonexistent/dsp"}};
    std::mutex mutex;
    std::vector<std::string> told;
    ::testing::internal::CaptureStderr();
    std::string failure;
    {
        auto output = fluidOutput(settings)([](unsigned) {},
                                            [&](const std::string& why) {
                                                std::lock_guard lock(mutex);
                                                told.push_back(why);
                                            },
                                            failure);
        ASSERT_NE(output, nullptr) << failure;
        std::string error;
        const auto song = readMidiFile(readBytes(sourceDir() / "assets/mid.mid"), error);
        ASSERT_TRUE(song) << error;
        output->prepare(*song);
        QTest::qWait(2500);  // two more tries
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("no audio output"), std::string::npos) << told[0];
}

}  // namespace
}  // namespace kalvex::testing
