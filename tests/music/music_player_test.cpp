// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The music player's property and command protocol, over a recording output.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <future>
#include <mutex>
#include <optional>
#include <set>

#include "music/music_player.h"
#include "music_support.h"

namespace kalvex::testing {
namespace {

using namespace std::chrono_literals;

// What the player did to its renderer and output, shared between the test
// and the fakes.
struct Record {
    std::mutex mutex;
    std::vector<std::string> calls;  // "play", "stop"
    std::vector<std::shared_ptr<const RenderedSong>> songs;
    std::vector<unsigned> tags;
    std::thread::id renderedOn;
    std::atomic<bool> rendering = false;
    int renders = 0;  // begun
    int outputs = 0;
    int outputsDestroyed = 0;
    std::weak_ptr<const RenderedSong> lastRendered;
    SongOutput::Ended ended;
    SongOutput::Trouble trouble;

    std::vector<std::string> callsSoFar() {
        std::lock_guard lock(mutex);
        return calls;
    }
};

class RecordingOutput : public SongOutput {
public:
    explicit RecordingOutput(std::shared_ptr<Record> r) : r_(std::move(r)) {}
    ~RecordingOutput() override {
        std::lock_guard lock(r_->mutex);
        ++r_->outputsDestroyed;
    }
    void play(std::shared_ptr<const RenderedSong> song, unsigned tag) override {
        std::lock_guard lock(r_->mutex);
        r_->calls.push_back(song && song->complete() ? "play" : "play unrendered");
        r_->songs.push_back(std::move(song));
        r_->tags.push_back(tag);
    }
    void stop() override {
        std::lock_guard lock(r_->mutex);
        r_->calls.push_back("stop");
    }

private:
    std::shared_ptr<Record> r_;
};

// The frames the fake renderer makes of a file: they tell which bytes it read.
std::size_t framesFor(std::size_t bytes) {
    return 100 * bytes;
}
std::size_t framesFor(const std::vector<std::uint8_t>& bytes) {
    return framesFor(bytes.size());
}

// Silence as long as the frames for the file.
std::shared_ptr<RenderedSong> silence(const SongFile& file) {
    auto pcm = std::make_shared<RenderedSong>();
    const std::vector<std::int16_t> zero(framesFor(file.bytes->size()) * renderer::kChannels);
    pcm->add(zero.data(), framesFor(file.bytes->size()));
    pcm->finish();
    return pcm;
}

class MusicPlayer : public ::testing::Test {
protected:
    // A renderer that renders once `release` is set, or fails with `failure`.
    SongRenderer renderer(std::string failure = {}) {
        return [r = record, gate = release.get_future().share(), failure](
                   const SongFile& song, const RenderCancel& cancelled,
                   std::string& why) -> std::shared_ptr<const RenderedSong> {
            {
                std::lock_guard lock(r->mutex);
                ++r->renders;
                r->renderedOn = std::this_thread::get_id();
            }
            r->rendering = true;
            gate.wait();
            r->rendering = false;
            if (!failure.empty()) {
                why = failure;
                return nullptr;
            }
            if (cancelled()) {
                return nullptr;
            }
            auto pcm = silence(song);
            std::lock_guard lock(r->mutex);
            r->lastRendered = pcm;
            return pcm;
        };
    }

    SongOutputFactory output() {
        return [r = record](SongOutput::Ended ended, SongOutput::Trouble trouble) {
            std::lock_guard lock(r->mutex);
            ++r->outputs;
            r->ended = std::move(ended);
            r->trouble = std::move(trouble);
            return std::make_unique<RecordingOutput>(r);
        };
    }

    QString songFile(const char* name, int bars) {
        std::string score = "tempo 240\npart p channel=1 program=1\n";
        for (int i = 0; i < bars; ++i) {
            score += "| C4/1 |\n";
        }
        const QString path = dir.filePath(QString::fromLatin1(name));
        writeBytes(path.toStdString(), midiFromScore(score));
        return path;
    }

    void start(kalvex::MusicPlayer& player, const QString& file) {
        player.setFileName(file);
        player.command(QStringLiteral("open"));
        player.command(QStringLiteral("play"));
    }

    // What the window does on every notification.
    static void restart(kalvex::MusicPlayer& player) {
        player.command(QStringLiteral("close"));
        player.command(QStringLiteral("open"));
        player.command(QStringLiteral("play"));
    }

    bool waitForCalls(std::size_t n) {
        return QTest::qWaitFor([&] { return record->callsSoFar().size() >= n; }, 10000);
    }

    void end(unsigned tag) {
        std::thread([e = record->ended, tag] { e(tag); }).join();
    }

    std::shared_ptr<Record> record = std::make_shared<Record>();
    std::promise<void> release;
    QTemporaryDir dir;
};

// Rendering takes a while; the window must not wait for it.
TEST_F(MusicPlayer, CommandsReturnAtOnceAndPlayWaitsForTheRenderedSong) {
    kalvex::MusicPlayer player(renderer(), output());
    const QString file = songFile("a.mid", 2);
    std::thread opening([this] {
        std::this_thread::sleep_for(300ms);
        release.set_value();
    });
    const auto started = std::chrono::steady_clock::now();
    start(player, file);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 150ms);
    EXPECT_TRUE(record->callsSoFar().empty());  // the song is still rendering
    opening.join();
    ASSERT_TRUE(waitForCalls(1));
    EXPECT_EQ(record->calls, std::vector<std::string>{"play"});
    EXPECT_TRUE(record->renderedOn != std::this_thread::get_id());
    EXPECT_EQ(record->songs[0]->frames(), framesFor(readBytes(file.toStdString())));
}

// The notification handler never names the file again: open reads the kept
// name, and reads the file afresh.
TEST_F(MusicPlayer, EveryRestartReopensTheKeptFileFromItsStart) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    const QString file = songFile("loop.mid", 1);
    int notifications = 0;
    player.playbackEnded = [&] {
        ++notifications;
        restart(player);
    };
    start(player, file);
    ASSERT_TRUE(waitForCalls(1));
    for (int loop = 1; loop <= 3; ++loop) {
        songFile("loop.mid", loop + 1);  // the file changes on disk under the same name
        end(record->tags.back());
        ASSERT_TRUE(waitForCalls(1 + loop)) << "loop " << loop;
        EXPECT_EQ(notifications, loop);
        EXPECT_EQ(record->songs.back()->frames(), framesFor(readBytes(file.toStdString())));
    }
    // Each song had ended, so "close" has nothing to stop.
    EXPECT_EQ(record->calls, std::vector<std::string>(4, "play"));
    EXPECT_EQ(std::set<unsigned>(record->tags.begin(), record->tags.end()).size(), 4u);
    EXPECT_EQ(record->outputs, 1);  // the output is made once, not per loop
}

// The loop plays the same file again and again: it is rendered once, and
// every later pass plays the kept samples.
TEST_F(MusicPlayer, AnUnchangedFileIsNotRenderedAgain) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    player.playbackEnded = [&] { restart(player); };
    start(player, songFile("loop.mid", 1));
    ASSERT_TRUE(waitForCalls(1));
    for (int loop = 1; loop <= 3; ++loop) {
        end(record->tags.back());
        ASSERT_TRUE(waitForCalls(1 + loop)) << "loop " << loop;
    }
    EXPECT_EQ(record->renders, 1);
    EXPECT_EQ(
        std::set<std::shared_ptr<const RenderedSong>>(record->songs.begin(), record->songs.end())
            .size(),
        1u);
}

TEST_F(MusicPlayer, PlaybackEndedComesLaterOnTheEventThreadNotFromTheAudioThread) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    std::atomic<int> notified = 0;
    std::atomic<bool> onEventThread = false;
    player.playbackEnded = [&] {
        onEventThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        ++notified;
    };
    start(player, songFile("a.mid", 1));
    ASSERT_TRUE(waitForCalls(1));
    end(record->tags.back());
    EXPECT_EQ(notified, 0);  // queued, not called from the ending thread
    ASSERT_TRUE(QTest::qWaitFor([&] { return notified == 1; }, 2000));
    EXPECT_TRUE(onEventThread);
}

TEST_F(MusicPlayer, TheEndOfAClosedPlaybackIsIgnored) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    int notified = 0;
    player.playbackEnded = [&] { ++notified; };
    start(player, songFile("a.mid", 1));
    ASSERT_TRUE(waitForCalls(1));
    const unsigned first = record->tags.back();
    restart(player);
    ASSERT_TRUE(waitForCalls(3));
    end(first);
    QTest::qWait(50);
    EXPECT_EQ(notified, 0);
    end(record->tags.back());
    EXPECT_TRUE(QTest::qWaitFor([&] { return notified == 1; }, 2000));
}

TEST_F(MusicPlayer, PlayWithoutOpenAndUnknownCommandsDoNothing) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    player.setFileName(songFile("a.mid", 1));
    player.command(QStringLiteral("play"));
    player.command(QStringLiteral("close"));
    player.command(QStringLiteral("rewind"));
    QTest::qWait(50);
    EXPECT_EQ(record->renders, 0);
    EXPECT_TRUE(record->callsSoFar().empty());
}

TEST_F(MusicPlayer, ADoubledSeparatorStillNamesTheFile) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    songFile("mid.mid", 1);
    start(player, dir.path() + QStringLiteral("//mid.mid"));
    EXPECT_TRUE(waitForCalls(1));
}

TEST_F(MusicPlayer, ClosingBeforeTheSongIsRenderedCancelsThePlay) {
    kalvex::MusicPlayer player(renderer(), output());
    start(player, songFile("a.mid", 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(record->rendering); }, 2000));
    player.command(QStringLiteral("close"));
    release.set_value();
    QTest::qWait(100);
    EXPECT_TRUE(record->callsSoFar().empty());
}

// The exit does not wait for a render (a starved thread, a hung bank file),
// and once the player is gone, nothing of its own is held by another thread
// or reached from one: the output is gone with it, and the render, when it
// ends, finds no one to hand its song to and frees it.
TEST_F(MusicPlayer, DestroyingWhileASongRendersReturnsAtOnceAndLeavesItNothing) {
    std::shared_future<void> gate = release.get_future().share();
    SongRenderer held = [r = record, gate](const SongFile& song, const RenderCancel&,
                                           std::string&) -> std::shared_ptr<const RenderedSong> {
        bool first = false;
        {
            std::lock_guard lock(r->mutex);
            first = r->renders++ == 0;
        }
        if (!first) {  // the changed file is held
            r->rendering = true;
            gate.wait();
        }
        auto pcm = silence(song);
        std::lock_guard lock(r->mutex);
        r->lastRendered = pcm;
        r->rendering = false;
        return pcm;
    };
    std::optional<kalvex::MusicPlayer> player;
    player.emplace(held, output());
    start(*player, songFile("a.mid", 1));
    ASSERT_TRUE(waitForCalls(1));
    songFile("a.mid", 2);
    restart(*player);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(record->rendering); }, 2000));

    const auto started = std::chrono::steady_clock::now();
    player.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 50ms);
    {
        std::lock_guard lock(record->mutex);
        EXPECT_EQ(record->outputs, 1);
        EXPECT_EQ(record->outputsDestroyed, 1) << "a thread still holds the output";
    }
    // The held render ends; its song is refused and dropped.
    release.set_value();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            std::lock_guard lock(record->mutex);
            return !record->rendering && record->lastRendered.expired();
        },
        2000));
    QTest::qWait(50);  // a reply queued to the dead player would run now
}

// The game's process may end as soon as the player has gone: by then its
// renderer is dead and reaped, even one that ignores every signal it can
// and never asks to die with the game.
TEST_F(MusicPlayer, DestroyingThePlayerKillsAndReapsItsRenderer) {
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    const QString program = dir.filePath(QStringLiteral("renderer"));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\ntrap '' TERM HUP INT QUIT\necho $$ > '" + pidFile.toUtf8() +
                 "'\nexec sleep 60\n"));
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    std::optional<kalvex::MusicPlayer> player;
    player.emplace(rendererProgram(program.toStdString()), output());
    start(*player, songFile("a.mid", 1));
    pid_t pid = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            std::ifstream(pidFile.toStdString()) >> pid;
            return pid > 0;
        },
        5000));
    const auto started = std::chrono::steady_clock::now();
    player.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
    errno = 0;
    EXPECT_EQ(kill(pid, 0), -1) << "the renderer is alive, or not reaped";
    EXPECT_EQ(errno, ESRCH);
    if (errno != ESRCH) {
        kill(pid, SIGKILL);
    }
}

// A song that cannot be held whole in memory says why, with the cause the
// system gave: here, the process may write no file that large.
TEST(SongFileRead, ASongThatCannotBeHeldSaysTheTrueCause) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mid.mid"));
    writeBytes(path.toStdString(), std::vector<std::uint8_t>(100'000, 0x55));
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const rlimit small{30'000, before.rlim_max};
    struct sigaction ignore {
    }, saved{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &saved);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const SongFile song = loadSongFile(path);
    setrlimit(RLIMIT_FSIZE, &before);
    sigaction(SIGXFSZ, &saved, nullptr);
    EXPECT_EQ(song.bytes, nullptr);
    EXPECT_EQ(song.failure, path + " cannot be read: " + QString::fromLocal8Bit(strerror(EFBIG)));
}

// Without music the game goes on: nothing blocks, nothing notifies, and one
// line on stderr says why, however often the loop would retry.
class NoMusic : public MusicPlayer {
protected:
    std::string runTwice(kalvex::MusicPlayer& player, const QString& file) {
        ::testing::internal::CaptureStderr();
        start(player, file);
        QTest::qWait(200);  // the file is read on another thread
        restart(player);
        QTest::qWait(200);
        return ::testing::internal::GetCapturedStderr();
    }
    static int lines(const std::string& s) { return int(std::count(s.begin(), s.end(), '\n')); }
    static long peakMemoryKiB() {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                return line.mid(6).trimmed().split(' ').first().toLong();
            }
        }
        return 0;
    }

    int notified = 0;
};

TEST_F(NoMusic, MissingFile) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    player.playbackEnded = [&] { ++notified; };
    const QString file = dir.filePath(QStringLiteral("mid.mid"));
    const std::string err = runTwice(player, file);
    EXPECT_EQ(lines(err), 1) << err;
    EXPECT_NE(err.find(file.toStdString() + " was not found"), std::string::npos) << err;
    EXPECT_EQ(record->renders, 0);  // no synthesiser is started for nothing
    EXPECT_EQ(notified, 0);
}

TEST_F(NoMusic, NoSoundBank) {
    release.set_value();
    kalvex::MusicPlayer player(renderer("the sound bank could not be loaded"), output());
    player.playbackEnded = [&] { ++notified; };
    const std::string err = runTwice(player, songFile("a.mid", 1));
    EXPECT_EQ(lines(err), 1) << err;
    EXPECT_NE(err.find("the sound bank could not be loaded"), std::string::npos) << err;
    EXPECT_EQ(record->renders, 1);  // and not tried again on the restart
    EXPECT_EQ(notified, 0);
}

// Nothing but a FIFO, a device or a song-sized regular file is ever waited
// for or read whole: the window would hang, or the memory fill.
TEST_F(NoMusic, FilesThatAreNotSongs) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    const QString fifo = dir.filePath(QStringLiteral("fifo.mid"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString loop = dir.filePath(QStringLiteral("loop.mid"));
    ASSERT_TRUE(QFile::link(loop, loop));
    const QString dangling = dir.filePath(QStringLiteral("dangling.mid"));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone.mid")), dangling));
    // 300 MB that would read as a song: a real header, then nothing on disk.
    const QString huge = dir.filePath(QStringLiteral("huge.mid"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const auto song = midiFromScore("part p channel=1 program=1\n| C4/1 |\n");
        f.write(reinterpret_cast<const char*>(song.data()), qint64(song.size()));
        ASSERT_TRUE(f.resize(300'000'000));
    }
    const std::vector<std::pair<QString, std::string>> cases = {
        {fifo, "is not a regular file"},
        {dir.path(), "is not a regular file"},
        {QStringLiteral("/dev/zero"), "is not a regular file"},
        {loop, "cannot be read"},
        {dangling, "was not found"},
        {huge, "is too large to be a song (300000000 bytes)"}};
    const long peakBefore = peakMemoryKiB();
    for (const auto& [file, why] : cases) {
        const auto started = std::chrono::steady_clock::now();
        const std::string err = runTwice(player, file);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 2s) << file.toStdString();
        EXPECT_EQ(lines(err), 1) << err;
        EXPECT_NE(err.find(file.toStdString() + " " + why), std::string::npos) << err;
    }
    EXPECT_LT(peakMemoryKiB() - peakBefore, 64 * 1024) << "a refused file was read whole";
    EXPECT_EQ(record->renders, 0);
}

// The output keeps looking for a sound output on its own; the player only says so.
TEST_F(NoMusic, NoAudioOutputYet) {
    release.set_value();
    kalvex::MusicPlayer player(renderer(), output());
    start(player, songFile("a.mid", 1));
    ASSERT_TRUE(waitForCalls(1));
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 2; ++i) {
        std::thread([t = record->trouble] { t("no audio output could be opened"); }).join();
    }
    QTest::qWait(100);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines(err), 1) << err;
    EXPECT_NE(err.find("no audio output could be opened"), std::string::npos) << err;
}

}  // namespace
}  // namespace kalvex::testing
