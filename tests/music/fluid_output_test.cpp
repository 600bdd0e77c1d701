// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Real rendering by the renderer program, and the output thread heard through
// a sound card of the test's own that plays in real time, or through ALSA.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pulse/mainloop.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <future>
#include <mutex>

#include "music/audio_output.h"
#include "music/music_player.h"
#include "music/song_file.h"
#include "music/song_output.h"
#include "music/song_renderer.h"
#include "music_support.h"

// The sound server's loop, entered where a thread that drives it has made
// its last check and is about to sleep: a test may act there, once.
namespace {
std::mutex atPrepareMutex;
std::function<void()> atPrepare;
}  // namespace

extern "C" int pa_mainloop_prepare(pa_mainloop* loop, int timeout) {
    static const auto real =
        reinterpret_cast<int (*)(pa_mainloop*, int)>(dlsym(RTLD_NEXT, "pa_mainloop_prepare"));
    std::function<void()> act;
    {
        std::lock_guard lock(atPrepareMutex);
        act = std::exchange(atPrepare, nullptr);
    }
    if (act) {
        act();
    }
    return real(loop, timeout);
}

namespace kalvex::testing {
namespace {

using namespace std::chrono_literals;
constexpr int kRate = renderer::kRate;

// The louder channel of a frame, full scale 1.
float level(const std::int16_t* frame) {
    return std::max(std::abs(frame[0] / 32768.0f), std::abs(frame[1] / 32768.0f));
}

// What a sound card played, frame by frame.
struct Played {
    std::mutex mutex;
    std::vector<float> frames;

    std::vector<float> copy() {
        std::lock_guard lock(mutex);
        return frames;
    }
};

// A sound card at 44.1 kHz: it plays in real time from when it is opened,
// takes up to 100 ms ahead of that, and plays silence when not fed in time.
class RecordingDevice : public AudioSink {
public:
    explicit RecordingDevice(std::shared_ptr<Played> played) : played_(std::move(played)) {}
    bool open(const std::atomic<bool>&) override {
        start_ = std::chrono::steady_clock::now();
        return true;
    }
    long writable() override {
        std::lock_guard lock(mutex_);
        advance();
        return std::max(0L, kAhead - long(queue_.size() / 2));
    }
    long write(const std::int16_t* frames, long count) override {
        std::lock_guard lock(mutex_);
        queue_.insert(queue_.end(), frames, frames + 2 * count);
        return count;
    }
    void discard() override {
        std::lock_guard lock(mutex_);
        queue_.clear();
    }
    bool wait(bool, int ms) override {
        std::unique_lock lock(mutex_);
        woken_.wait_for(lock, std::chrono::milliseconds(std::min(ms, 5)), [this] { return wake_; });
        wake_ = false;
        return true;
    }
    void wake() override {
        std::lock_guard lock(mutex_);
        wake_ = true;
        woken_.notify_all();
    }

private:
    static constexpr long kAhead = kRate / 10;

    void advance() {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        std::lock_guard lock(played_->mutex);
        for (const auto due = std::size_t(seconds * kRate); played_->frames.size() < due;) {
            float l = 0;
            if (!queue_.empty()) {
                const std::int16_t frame[2] = {queue_[0], queue_[1]};
                l = level(frame);
                queue_.erase(queue_.begin(), queue_.begin() + 2);
            }
            played_->frames.push_back(l);
        }
    }

    std::shared_ptr<Played> played_;
    std::chrono::steady_clock::time_point start_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool wake_ = false;
    std::deque<std::int16_t> queue_;
};

SongOutputFactory onDevice(std::shared_ptr<Played> played) {
    return audioOutput([played] { return std::make_unique<RecordingDevice>(played); });
}

// Plays `file` through the music player, restarting it as the window does, until it
// has ended `loops` times; returns whether every notification came on the
// GUI thread.
bool playLoops(const QString& file, std::shared_ptr<Played> played, int loops) {
    kalvex::MusicPlayer player(testRenderer(), onDevice(played));
    int ended = 0;
    bool onEventThread = true;
    player.playbackEnded = [&] {
        onEventThread = onEventThread && QThread::currentThread() == qApp->thread();
        if (++ended < loops) {
            player.command(QStringLiteral("close"));
            player.command(QStringLiteral("open"));
            player.command(QStringLiteral("play"));
        }
    };
    player.setFileName(file);
    player.command(QStringLiteral("open"));
    player.command(QStringLiteral("play"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ended == loops; }, 10'000)) << ended << " ends";
    QTest::qWait(150);  // what is queued on the card is heard
    return onEventThread;
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
        auto played = std::make_shared<Played>();
        endedOnEventThread = playLoops(file, played, kLoops);
        onsetsMs = onsets(played->copy());
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
    static inline bool endedOnEventThread = false;
    static inline std::vector<double> onsetsMs;
};

TEST_F(SeamlessLoop, EveryEndRestartsTheFileFromItsFirstNote) {
    EXPECT_EQ(onsetsMs.size(), std::size_t(kLoops)) << ::testing::PrintToString(onsetsMs);
    EXPECT_TRUE(endedOnEventThread);
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

// All of a song's samples, unpacked.
std::vector<std::int16_t> samples(std::shared_ptr<const RenderedSong> song) {
    std::vector<std::int16_t> out(song->frames() * 2);
    RenderedSong::Reader(song).read(0, out.data(), song->frames());
    return out;
}

// The power of a signal over that of its difference from `heard`, in dB.
double signalToNoise(const std::vector<std::int16_t>& signal,
                     const std::vector<std::int16_t>& heard) {
    double power = 0, noise = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        power += double(signal[i]) * signal[i];
        noise += (double(heard[i]) - signal[i]) * (double(heard[i]) - signal[i]);
    }
    return 10 * std::log10(power / std::max(noise, 1.0));
}

// The kept samples are packed as Vorbis: close to what was rendered, full
// scale included, the same whichever way they are read, and silent past the end.
TEST(RenderedSong, GivesBackTheSamplesAsRenderedOnEveryRead) {
    const std::size_t frames = 3 * 4096 + 1234;
    std::vector<std::int16_t> in(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate;
        in[2 * i] = std::int16_t(9000 * std::sin(2 * M_PI * 440 * t));
        in[2 * i + 1] = i < 4096 ? 0 : std::int16_t(32767 * std::sin(2 * M_PI * 660 * t));
    }
    auto song = std::make_shared<RenderedSong>();
    for (std::size_t at = 0; at < frames;) {
        const std::size_t n = std::min<std::size_t>(frames - at, 1000);
        ASSERT_TRUE(song->add(&in[2 * at], n));
        at += n;
    }
    EXPECT_FALSE(song->complete());
    ASSERT_TRUE(song->finish());
    ASSERT_TRUE(song->complete());
    EXPECT_EQ(song->frames(), frames);
    EXPECT_FALSE(song->add(in.data(), 1)) << "took frames after its end";
    RenderedSong::Reader reader(song);
    std::vector<std::int16_t> whole(frames * 2), again(frames * 2);
    reader.read(0, whole.data(), frames);
    EXPECT_GT(signalToNoise(in, whole), 30) << "not the samples rendered";
    reader.read(700, &again[1400], frames - 700);  // a read that starts inside a block
    reader.read(0, again.data(), 700);             // and the start again
    EXPECT_TRUE(whole == again) << "a pass differs from the one before";
    std::int16_t past[4] = {1, 1, 1, 1};
    reader.read(frames - 1, past, 2);
    EXPECT_EQ(past[2], 0) << "past the end is silence";
    // A seek that fails leaves the next read to seek again.
    reader.read(frames + 100, past, 2);
    EXPECT_EQ(past[0], 0);
    reader.read(0, again.data(), frames);
    EXPECT_TRUE(whole == again) << "read from where a failed seek left off";
}

// The memory this process holds, as the system counts it: pages touched.
std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0;
    std::size_t resident = 0;
    statm >> size >> resident;
    return resident * std::size_t(sysconf(_SC_PAGESIZE));
}

// Whatever comes, the samples kept stay within their cap: white noise, which
// packs worst, fills it in well under the longest song's five minutes here.
TEST(RenderedSong, KeepsNoMoreThanItsCap) {
    const std::size_t before = residentBytes();
    RenderedSong song;
    std::vector<std::int16_t> noise(4096 * 2);
    std::uint32_t random = 1;
    bool refused = false;
    for (std::size_t frames = 0; !refused && frames < 300u * kRate; frames += 4096) {
        for (std::int16_t& v : noise) {
            v = std::int16_t((random = random * 1664525 + 1013904223) >> 16);
        }
        refused = !song.add(noise.data(), 4096);
    }
    EXPECT_TRUE(refused) << "five minutes of noise were all kept";
    const std::size_t grown = residentBytes() - before;
    std::printf("the full song holds %zu KiB\n", grown >> 10);
#ifndef __SANITIZE_ADDRESS__  // which keeps what is freed, and shadows all
    // The encoder's own state, about 1.5 MiB, comes on top of the kept samples.
    constexpr std::size_t kEncoderBytes = 2 << 20;
    EXPECT_LE(grown, RenderedSong::kMostPackedBytes + kEncoderBytes);
#endif
}

TEST(FluidRender, TheGamesMusicSoundsAndDoesNotClip) {
    std::string error;
    const auto rendered = testRenderer()(
        songFile(sourceDir() / "assets/mid.mid"), [] { return false; }, error);
    ASSERT_TRUE(rendered) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(rendered->frames(), 1693440u) << "the song's 38.4 s, to the frame";
    const auto pcm = samples(rendered);
    double sum = 0;
    float peak = 0;
    for (std::size_t i = 0; i < std::size_t(kRate); ++i) {
        const float l = level(&pcm[2 * i]);
        sum += double(l) * l;
        peak = std::max(peak, l);
    }
    EXPECT_GT(std::sqrt(sum / kRate), 0.02) << "the first second is (nearly) silent";
    EXPECT_LT(peak, 0.99f) << "clipped";
}

// Each song's instruments are loaded for it: a file that changes between
// loops to other instruments must still sound.
TEST(FluidRender, ASongWithOtherInstrumentsSoundsAfterTheFirst) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("song.mid"));
    writeBytes(file.toStdString(),
               midiFromScore("tempo 800\npart c channel=10 program=1\n| claves/4 r r r |\n"));
    auto played = std::make_shared<Played>();
    {
        kalvex::MusicPlayer player(testRenderer(), onDevice(played));
        int ended = 0;
        player.playbackEnded = [&] {
            ++ended;
            writeBytes(file.toStdString(),
                       midiFromScore("tempo 120\npart m channel=2 program=81\n| C5/1 |\n"));
            player.command(QStringLiteral("close"));
            player.command(QStringLiteral("open"));
            player.command(QStringLiteral("play"));
        };
        player.setFileName(file);
        player.command(QStringLiteral("open"));
        player.command(QStringLiteral("play"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended == 2; }, 10'000)) << ended << " ends";
    }
    // The click lasts a few dozen milliseconds, the held note two seconds.
    const auto frames = played->copy();
    const auto sounding =
        std::count_if(frames.begin(), frames.end(), [](float f) { return f > 0.01f; });
    EXPECT_GT(sounding, kRate) << "the second song's instrument is silent";
}

// Failing to start says why in the failure text only: the libraries' own
// messages are kept off stderr.
TEST(FluidRender, AMissingSoundBankFailsQuietly) {
    ::testing::internal::CaptureStderr();
    std::string failure;
    EXPECT_EQ(rendererProgram(KALVEX_RENDERER, "/nonexistent/gm.sf2")(
                  songFile(sourceDir() / "assets/mid.mid"), [] { return false; }, failure),
              nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(failure.find("/nonexistent/gm.sf2"), std::string::npos) << failure;
}

// A machine without a sound server: no PULSE_SERVER, no server socket in the
// runtime folder, and ALSA configured by the test alone.
class WithoutSoundServer : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"PULSE_SERVER", "XDG_RUNTIME_DIR", "ALSA_CONFIG_PATH"}) {
            if (const char* v = std::getenv(name)) {
                saved_.emplace_back(name, v);
            }
        }
        unsetenv("PULSE_SERVER");
        setenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()).constData(), 1);
        ASSERT_FALSE(soundServerExists());
    }
    void TearDown() override {
        for (const char* name : {"PULSE_SERVER", "XDG_RUNTIME_DIR", "ALSA_CONFIG_PATH"}) {
            unsetenv(name);
        }
        for (const auto& [name, value] : saved_) {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    // ALSA's whole configuration: only its default device, as given.
    void alsaDefault(const QString& definition) {
        const QString conf = dir.filePath(QStringLiteral("alsa.conf"));
        QFile f(conf);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("pcm.!default " + definition + "\n").toUtf8());
        f.close();
        setenv("ALSA_CONFIG_PATH", QFile::encodeName(conf).constData(), 1);
    }

    QTemporaryDir dir;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(WithoutSoundServer, TheMusicPlaysOnAlsasDefaultDevice) {
    const QString raw = dir.filePath(QStringLiteral("alsa.raw"));
    alsaDefault(
        QStringLiteral("{ type file slave.pcm { type null } file \"%1\" format raw }").arg(raw));
    const QString file = dir.filePath(QStringLiteral("song.mid"));
    writeBytes(file.toStdString(),
               midiFromScore("tempo 120\npart m channel=1 program=1\n| C5/1 |\n"));
    ::testing::internal::CaptureStderr();
    {
        kalvex::MusicPlayer player(testRenderer(), audioOutput());
        int ended = 0;
        player.playbackEnded = [&] { ++ended; };
        player.setFileName(file);
        player.command(QStringLiteral("open"));
        player.command(QStringLiteral("play"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended == 1; }, 10'000));
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    const auto bytes = readBytes(raw.toStdString());
    ASSERT_GE(bytes.size(), std::size_t(2 * kRate * 4)) << "less than the song reached ALSA";
    double sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto v = std::int16_t(bytes[i] | bytes[i + 1] << 8);
        sum += double(v) * v;
    }
    EXPECT_GT(std::sqrt(sum / double(bytes.size() / 2)), 100.0) << "ALSA got silence";
}

// No device: the output says so once, however often it tries again.
TEST_F(WithoutSoundServer, ADeviceThatWillNotOpenIsToldOnceAndQuietly) {
    alsaDefault(QStringLiteral("{ type kalvex_no_such_plugin }"));
    std::mutex mutex;
    std::vector<std::string> told;
    ::testing::internal::CaptureStderr();
    {
        auto output = audioOutput()([](unsigned) {},
                                    [&](const std::string& why) {
                                        std::lock_guard lock(mutex);
                                        told.push_back(why);
                                    });
        QTest::qWait(2500);  // two more tries
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("no audio output"), std::string::npos) << told[0];
}

// A device whose every call hangs, deaf to wake().
class HungDevice : public AudioSink {
public:
    HungDevice(std::shared_future<void> gate, std::shared_ptr<std::promise<void>> gone)
        : gate_(std::move(gate)), gone_(std::move(gone)) {}
    ~HungDevice() override { gone_->set_value(); }
    bool open(const std::atomic<bool>&) override {
        gate_.wait();
        return false;
    }
    long writable() override { return -1; }
    long write(const std::int16_t*, long) override { return -1; }
    void discard() override {}
    bool wait(bool, int) override { return false; }
    void wake() override {}

private:
    std::shared_future<void> gate_;
    std::shared_ptr<std::promise<void>> gone_;
};

// The exit never waits on the audio: the output lets its thread go, and
// that thread calls nothing of the player's afterwards.
TEST(AudioOutput, LetsGoOfAHungDeviceAtOnce) {
    std::promise<void> release;
    auto gone = std::make_shared<std::promise<void>>();
    auto threadEnded = gone->get_future();
    auto told = std::make_shared<std::atomic<int>>(0);
    auto output = audioOutput([gate = release.get_future().share(), gone] {
        return std::make_unique<HungDevice>(gate, gone);
    })([](unsigned) {}, [told](const std::string&) { ++*told; });
    std::this_thread::sleep_for(50ms);  // the thread is in open()
    const auto started = std::chrono::steady_clock::now();
    output.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 200ms);
    release.set_value();
    EXPECT_EQ(threadEnded.wait_for(2s), std::future_status::ready);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(*told, 0);
}

// A server that took the connection and never answers holds the stream in
// open(); a quit ends that at once, even one that comes just as its loop is
// about to sleep: after its last look at `quit`, before the loop's prepare.
TEST(PulseStream, AQuitThatComesAsTheLoopGoesToSleepIsHeard) {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("native")).toStdString();
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server, 4), 0);  // never accepted: nothing answers
    const char* before = std::getenv("PULSE_SERVER");
    const std::string saved = before != nullptr ? before : "";
    setenv("PULSE_SERVER", ("unix:" + path).c_str(), 1);

    auto sink = pulseStream();
    std::atomic<bool> quit = false;
    auto opened = std::async(std::launch::async, [&] { return sink->open(quit); });
    EXPECT_EQ(opened.wait_for(200ms), std::future_status::timeout) << "the server answered";
    {
        std::lock_guard lock(atPrepareMutex);
        atPrepare = [&] {
            quit = true;
            sink->wake();
        };
    }
    sink->wake();  // the loop turns, looks at `quit`, and prepares to sleep
    const bool heard = opened.wait_for(1s) == std::future_status::ready;
    EXPECT_TRUE(heard) << "the quit was lost";
    while (opened.wait_for(10ms) != std::future_status::ready) {
        sink->wake();  // rescued, to end the test
    }
    EXPECT_FALSE(opened.get());
    before != nullptr ? setenv("PULSE_SERVER", saved.c_str(), 1) : unsetenv("PULSE_SERVER");
    ::close(server);
}

}  // namespace
}  // namespace kalvex::testing
