// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The renderer runs in a process of its own: whatever it does, or whatever
// the song and the bank do to it, the game is told why and goes on.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <thread>

#include "music/song_file.h"
#include "music/song_renderer.h"
#include "music_support.h"
#include "renderer/protocol.h"

extern char** environ;

namespace kalvex::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class RendererProgram : public ::testing::Test {
protected:
    // A stand-in renderer: a shell script.
    std::string script(const std::string& name, const std::string& body) {
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
        chmod(path.c_str(), 0755);
        return path;
    }

    std::shared_ptr<const RenderedSong> render(
        const std::string& program, const std::string& bank = kDefaultSoundFont,
        const std::function<bool()>& cancelled = [] { return false; }) {
        failure.clear();
        return rendererProgram(program, bank)(song, cancelled, failure);
    }

    QTemporaryDir dir;
    SongFile song = songFile(sourceDir() / "assets/mid.mid");
    std::string failure;
};

// A crash, a kill, silence, garbage, too little or too much: no song, and
// why, without waiting long.
TEST_F(RendererProgram, WhateverTheRendererDoesTheGameIsToldWhy) {
    // A minute of noise, which packs worse than any music.
    const std::string noise = dir.filePath(QStringLiteral("noise")).toStdString();
    {
        std::ofstream out(noise, std::ios::binary);
        out << "samples\n";
        std::uint32_t random = 1;
        std::vector<std::uint32_t> piece(1 + renderer::kPieceFrames);
        piece[0] = renderer::kPieceFrames;
        for (std::size_t frames = piece[0]; frames <= renderer::kMostFrames; frames += piece[0]) {
            for (std::size_t i = 1; i < piece.size(); ++i) {
                piece[i] = random = random * 1664525 + 1013904223;
            }
            out.write(reinterpret_cast<const char*>(piece.data()), long(piece.size() * 4));
        }
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"kill -SEGV $$", "was killed by signal 11"},
        {"kill -KILL $$", "was killed by signal 9"},
        {"exit 3", "ended with status 3 without a word"},
        {"printf 'samples\\n\\0\\20\\0\\0'; head -c 1000 /dev/zero",
         "ended with status 0 before the song was done"},
        {"printf 'samples\\n\\12\\0\\0\\0'; head -c 40 /dev/zero; printf '\\0\\0\\0\\0!'",
         "sent more than the song"},
        {"printf 'samples\\n\\1\\20\\0\\0'", "sent what is not a song"},
        {"head -c 5000 /dev/zero", "sent what is not a song"},
        {"printf 'hello\\n'", "sent what is not a song"},
        {"printf 'error bad\\033[2J\\a\\n'", "bad?[2J?"},  // no control characters on stderr
        {"cat '" + noise + "'; printf '\\0\\20\\0\\0'; head -c 16384 /dev/zero",
         "sent what is not a song"}};  // past the longest song
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto started = Clock::now();
        EXPECT_EQ(render(script(std::to_string(i), cases[i].first)), nullptr) << cases[i].first;
        EXPECT_NE(failure.find(cases[i].second), std::string::npos) << failure;
        EXPECT_LT(Clock::now() - started, 3s) << cases[i].first;
    }
    // The samples kept cost little, whatever they are.
    const auto kept = render(script("keeps-noise", "cat '" + noise + "'; printf '\\0\\0\\0\\0'"));
    ASSERT_NE(kept, nullptr) << failure;
    EXPECT_EQ(kept->frames(),
              renderer::kMostFrames / renderer::kPieceFrames * renderer::kPieceFrames);
    EXPECT_EQ(render(dir.filePath(QStringLiteral("missing")).toStdString()), nullptr);
    EXPECT_NE(failure.find("could not be started: No such file"), std::string::npos) << failure;
}

// What the renderer has to do without (a kernel's sandbox) is said with the
// song, once in the game's life.
TEST_F(RendererProgram, WhatItRunsWithoutIsSaidOnce) {
    const std::string unconfined =
        script("unconfined",
               "printf 'note runs without Landlock (x)\\nsamples\\n\\0\\20\\0\\0'; "
               "head -c 16384 /dev/zero; printf '\\0\\0\\0\\0'");
    ASSERT_NE(render(unconfined), nullptr) << failure;
    EXPECT_EQ(failure, "the music's renderer " + unconfined + " runs without Landlock (x)");
    ASSERT_NE(render(unconfined), nullptr) << failure;
    EXPECT_EQ(failure, "");
}

// A render given up, as on the exit or a new file, ends its renderer at
// once; one that hangs by itself is given up after ten silent seconds.
TEST_F(RendererProgram, AHungRendererIsKilledAndReaped) {
    const std::string pidFile = dir.filePath(QStringLiteral("pid")).toStdString();
    const std::string hung = script("hung", "echo $$ > " + pidFile + "; exec sleep 1000");
    const auto started = Clock::now();
    std::atomic<bool> cancel = false;
    std::thread canceller([&] {
        std::this_thread::sleep_for(300ms);
        cancel = true;
    });
    EXPECT_EQ(render(hung, kDefaultSoundFont, [&] { return bool(cancel); }), nullptr);
    canceller.join();
    EXPECT_LT(Clock::now() - started, 1s);
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    ASSERT_GT(pid, 0);
    EXPECT_NE(kill(pid, 0), 0) << "the renderer outlived its render";

    EXPECT_EQ(render(hung), nullptr);
    EXPECT_NE(failure.find("stopped answering"), std::string::npos) << failure;
    EXPECT_LT(Clock::now() - started, 13s);
}

// The song and the bank are the renderer's to survive or die of.
TEST_F(RendererProgram, AHostileSongOrBankCostsOnlyTheMusic) {
    const auto good = midiFromScore("part p channel=1 program=1\n| C4/1 | C4 |\n");
    for (const auto& bytes :
         {std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a', 0, 0},
          std::vector<std::uint8_t>{},
          std::vector<std::uint8_t>(good.begin(), good.begin() + long(good.size() / 2))}) {
        song = songFile(QStringLiteral("/x/mid.mid"), bytes);
        EXPECT_EQ(render(KALVEX_RENDERER), nullptr);
        EXPECT_EQ(failure.rfind("/x/mid.mid is not a playable MIDI file", 0), 0u) << failure;
    }
    song =
        songFile(QStringLiteral("/x/mid.mid"), {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0,    0,    1,
                                                0,   96,  // a track that only ends
                                                'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0});
    EXPECT_EQ(render(KALVEX_RENDERER), nullptr);
    EXPECT_EQ(failure, "/x/mid.mid is too short to play");

    // A bank cut off a third of the way through its samples.
    const std::string bank = testSoundFont();
    std::vector<std::uint8_t> cut = readBytes(bank);
    cut.resize(cut.size() / 3);
    const std::string truncated = dir.filePath(QStringLiteral("cut.sf2")).toStdString();
    writeBytes(truncated, cut);
    song = songFile(sourceDir() / "assets/mid.mid");
    EXPECT_EQ(render(KALVEX_RENDERER, truncated), nullptr);
    EXPECT_NE(failure.find("the sound bank " + truncated + " could not be loaded"),
              std::string::npos)
        << failure;
}

// A song of twenty hours is rendered and kept for its first minute only,
// and the player is told.
TEST_F(RendererProgram, ALongSongIsCutToItsFirstMinute) {
    // One note, then the end of the track 20 hours on: 96 ticks a beat at 120.
    const std::uint32_t ticks = 20 * 3600 * 2 * 96;
    std::vector<std::uint8_t> bytes = {'M', 'T', 'h', 'd',  0,   0,   0,    6,    0,  0,
                                       0,   1,   0,   96,   'M', 'T', 'r',  'k',  0,  0,
                                       0,   0,   0,   0x90, 60,  100, 0x60, 0x80, 60, 0};
    for (int shift = 21; shift > 0; shift -= 7) {
        bytes.push_back(std::uint8_t(0x80 | (ticks >> shift & 0x7F)));
    }
    bytes.insert(bytes.end(), {std::uint8_t(ticks & 0x7F), 0xFF, 0x2F, 0});
    bytes[21] = std::uint8_t(bytes.size() - 22);
    song = songFile(QStringLiteral("/x/long.mid"), bytes);
    const auto rendered = render(KALVEX_RENDERER);
    ASSERT_NE(rendered, nullptr) << failure;
    EXPECT_EQ(rendered->frames(), 60u * 44100);
    EXPECT_EQ(failure, "/x/long.mid is longer than 60 s: its first 60 s are played");
}

// The renderer dies with the program that started it, even one killed
// outright, rather than render for no one.
TEST_F(RendererProgram, DiesWithItsParent) {
    // A bank that is a FIFO nobody writes holds the renderer in its load.
    const QString fifo = dir.filePath(QStringLiteral("bank.sf2"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::string command = std::string(KALVEX_RENDERER) + " '" + fifo.toStdString() + "' < '" +
                                (sourceDir() / "assets/mid.mid").string() + "' > /dev/null & wait";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t parent = 0;
    ASSERT_EQ(posix_spawn(&parent, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ),
              0);
    pid_t renderer = 0;
    const auto path =
        "/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) + "/children";
    for (auto until = Clock::now() + 5s; renderer == 0 && Clock::now() < until;) {
        std::this_thread::sleep_for(20ms);
        std::ifstream(path) >> renderer;
    }
    ASSERT_GT(renderer, 0);
    std::this_thread::sleep_for(200ms);  // into its load
    const auto state = [&] {
        std::string stat;
        std::getline(std::ifstream("/proc/" + std::to_string(renderer) + "/stat"), stat);
        const auto close = stat.rfind(')');
        return close == std::string::npos ? 'X' : stat[close + 2];
    };
    ASSERT_NE(state(), 'X');
    kill(parent, SIGKILL);
    waitpid(parent, nullptr, 0);
    bool gone = false;
    for (auto until = Clock::now() + 2s; !gone && Clock::now() < until;) {
        std::this_thread::sleep_for(20ms);
        gone = state() == 'X' || state() == 'Z';
    }
    EXPECT_TRUE(gone) << "the renderer outlived its parent";
}

// One that trickles, never silent for long, is given up at its deadline.
TEST_F(RendererProgram, ARendererThatTricklesIsKilledAtItsDeadline) {
    const std::string pidFile = dir.filePath(QStringLiteral("pid")).toStdString();
    const std::string trickle =
        script("trickle", "echo $$ > " + pidFile + "; while :; do printf s; sleep 0.2; done");
    std::atomic<bool> giveUp = false;
    auto rendered = std::async(std::launch::async, [&] {
        std::string why;
        auto song = rendererProgram(trickle, kDefaultSoundFont, 1s)(
            this->song, [&] { return bool(giveUp); }, why);
        return std::pair(song, why);
    });
    const bool ended = rendered.wait_for(5s) == std::future_status::ready;
    giveUp = true;  // it would trickle on for 100 s
    const auto [song, why] = rendered.get();
    EXPECT_TRUE(ended) << "the render went on past its deadline";
    EXPECT_EQ(song, nullptr);
    EXPECT_NE(why.find("did not finish the song within 1 s"), std::string::npos) << why;
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    ASSERT_GT(pid, 0);
    EXPECT_NE(kill(pid, 0), 0) << "the renderer outlived its render";
}

// The renderer gets nothing of the player's session, and no descriptor of
// the game's but its input, output and error, whatever the game left open.
TEST_F(RendererProgram, GetsNothingOfTheSessionAndNoOtherDescriptor) {
    const std::vector<std::string> session = {"DISPLAY",
                                              "WAYLAND_DISPLAY",
                                              "DBUS_SESSION_BUS_ADDRESS",
                                              "XDG_RUNTIME_DIR",
                                              "PULSE_SERVER",
                                              "XAUTHORITY",
                                              "HOME"};
    std::vector<std::pair<std::string, std::string>> saved;
    for (const std::string& name : session) {
        if (const char* value = std::getenv(name.c_str())) {
            saved.emplace_back(name, value);
        }
        setenv(name.c_str(), "/x", 1);
    }
    const int leaked = fcntl(::open("/dev/null", O_RDONLY), F_DUPFD, 100);  // no close-on-exec
    ASSERT_GE(leaked, 100);
    const std::string seen = dir.filePath(QStringLiteral("seen")).toStdString();
    render(script("nosy", "{ env; echo fds; ls /proc/$$/fd; } > " + seen));
    ::close(leaked);
    for (const std::string& name : session) {
        unsetenv(name.c_str());
    }
    for (const auto& [name, value] : saved) {
        setenv(name.c_str(), value.c_str(), 1);
    }
    std::ifstream in(seen);
    bool fds = false;
    std::vector<std::string> open;
    for (std::string line; std::getline(in, line);) {
        if (line == "fds") {
            fds = true;
        } else if (fds) {
            open.push_back(line);
        } else {
            for (const std::string& name : session) {
                EXPECT_NE(line.rfind(name + "=", 0), 0u) << line;
            }
        }
    }
    ASSERT_TRUE(fds) << "the renderer did not run";
    EXPECT_EQ(std::count(open.begin(), open.end(), std::to_string(leaked)), 0)
        << "a descriptor of the game's reached the renderer";
    // Nor does the song's file reach any other program the game starts.
    EXPECT_NE(fcntl(song.bytes->fd(), F_GETFD) & FD_CLOEXEC, 0);
}

// A game that dies just as it starts its renderer leaves nothing behind,
// even a renderer that never asks to die with it: the game asks for it.
TEST_F(RendererProgram, DiesWithTheGameWithoutAskingToItself) {
    const std::string pidFile = dir.filePath(QStringLiteral("pid")).toStdString();
    const std::string deaf =
        script("deaf", "trap '' TERM HUP INT; echo $$ > " + pidFile + "; exec sleep 60");
    EXPECT_EXIT(
        {
            std::thread([&] { render(deaf); }).detach();
            for (auto until = Clock::now() + 5s; Clock::now() < until;) {
                pid_t pid = 0;
                std::ifstream(pidFile) >> pid;
                if (pid > 0) {
                    break;
                }
                std::this_thread::sleep_for(10ms);
            }
            raise(SIGKILL);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    pid_t renderer = 0;
    std::ifstream(pidFile) >> renderer;
    ASSERT_GT(renderer, 0);
    bool gone = false;
    for (auto until = Clock::now() + 2s; !gone && Clock::now() < until;) {
        std::this_thread::sleep_for(20ms);
        std::string stat;
        std::getline(std::ifstream("/proc/" + std::to_string(renderer) + "/stat"), stat);
        const auto close = stat.rfind(')');
        gone = close == std::string::npos || stat[close + 2] == 'Z';
    }
    EXPECT_TRUE(gone) << "the renderer outlived the game";
    if (!gone) {
        kill(renderer, SIGKILL);
    }
}

}  // namespace
}  // namespace kalvex::testing
