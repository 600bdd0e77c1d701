// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/audio_output.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "music/rendered_song.h"
#include "renderer/protocol.h"

namespace kalvex {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRetry = std::chrono::seconds(1);
// How long the destructor lets the thread take to notice that it must end.
constexpr auto kLetGo = std::chrono::milliseconds(100);
// Waits for room that end at once without any, in a row, beyond which the
// output is taken as broken and opened again after a second, not spun on.
constexpr auto kFruitless = std::chrono::milliseconds(1);
constexpr int kMostFruitlessWaits = 100;
// Frames handed over at once at most: a PulseAudio memory block's worth.
// The server says when it is done with each block, and that wakes us.
constexpr std::size_t kChunkFrames = 16384;

// What the output thread shares with the GUI thread.
struct State {
    explicit State(std::function<std::unique_ptr<AudioSink>()> m) : makeSink(std::move(m)) {}

    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> quit = false;
    bool finished = false;
    std::shared_ptr<const RenderedSong> song;  // playing, or played to its end
    unsigned tag = 0;
    std::size_t at = 0;   // the next frame of the song to hand to the sink
    unsigned serial = 0;  // changes with every play() and stop()
    bool discard = false;
    AudioSink* sink = nullptr;  // to wake while one is open

    SongOutput::Ended ended;
    SongOutput::Trouble trouble;
    // Empty for the machine's own output.
    const std::function<std::unique_ptr<AudioSink>()> makeSink;

    void wake() {  // under the lock
        if (sink != nullptr) {
            sink->wake();
        }
        changed.notify_all();
    }
    void setSink(AudioSink* s) {
        std::lock_guard lock(mutex);
        sink = s;
    }
};

enum class Fed { Quit, Lost, ServerAppeared };

// Hands the song to the sink as it has room, until the sink is lost or the
// output ends. In ALSA's case it also looks once a second for a server.
Fed feed(State& st, AudioSink& sink, bool alsa) {
    int fruitless = 0;
    auto looked = Clock::now();
    std::vector<std::int16_t> chunk(kChunkFrames * renderer::kChannels);
    std::unique_ptr<RenderedSong::Reader> reader;
    const RenderedSong* readerOf = nullptr;
    for (;;) {
        std::shared_ptr<const RenderedSong> song;
        std::size_t at = 0;
        unsigned serial = 0;
        bool discard = false;
        {
            std::lock_guard lock(st.mutex);
            if (st.quit) {
                return Fed::Quit;
            }
            song = st.song;
            at = st.at;
            serial = st.serial;
            discard = std::exchange(st.discard, false);
        }
        if (discard) {
            sink.discard();
        }
        if (alsa && Clock::now() - looked >= kRetry) {
            looked = Clock::now();
            if (soundServerExists()) {
                return Fed::ServerAppeared;
            }
        }
        // With nothing to play it sleeps until told; else until there is room.
        const bool playing = song && at < song->frames();
        const long room = playing ? sink.writable() : 0;
        if (room < 0) {
            return Fed::Lost;
        }
        if (room == 0) {
            const auto asleep = Clock::now();
            if (!sink.wait(playing, 1000) || (playing && Clock::now() - asleep < kFruitless &&
                                              ++fruitless > kMostFruitlessWaits)) {
                return Fed::Lost;
            }
            continue;
        }
        const std::size_t count = std::min({song->frames() - at, kChunkFrames, std::size_t(room)});
        if (readerOf != song.get()) {
            reader = std::make_unique<RenderedSong::Reader>(song);
            readerOf = song.get();
        }
        reader->read(at, chunk.data(), count);
        const long put = sink.write(chunk.data(), long(count));
        if (put < 0) {
            return Fed::Lost;
        }
        fruitless = put > 0 ? 0 : fruitless + 1;
        std::lock_guard lock(st.mutex);
        if (st.serial == serial) {
            st.at = at + std::size_t(put);
            if (st.at == song->frames() && !st.quit) {
                st.ended(st.tag);
            }
        }
    }
}

void run(State& st) {
    bool told = false;
    auto tell = [&](const std::string& why) {
        std::lock_guard lock(st.mutex);
        if (!told && !st.quit && st.trouble) {
            st.trouble(why);
        }
        told = true;
    };
    bool serverFound = false;
    while (!st.quit) {
        const bool server = serverFound || soundServerExists();
        const bool alsa = !st.makeSink && !server;
        std::unique_ptr<AudioSink> sink = st.makeSink ? st.makeSink()
                                          : server    ? pulseStream()
                                                      : alsaDevice();
        st.setSink(sink.get());
        const bool opened = sink->open(st.quit);
        serverFound = serverFound || (opened && server && !st.makeSink);
        const Fed fed = opened ? feed(st, *sink, alsa) : Fed::Quit;
        st.setSink(nullptr);
        const std::string alsaFailure = alsa ? sink->failure() : "";
        sink.reset();
        if (st.quit) {
            break;
        }
        if (!opened) {
            tell(alsaFailure.empty()
                     ? "no audio output: waiting for the sound server"
                     : "no audio output: no sound server, and ALSA's default device cannot be "
                       "opened (" +
                           alsaFailure + "); trying again");
        } else if (fed == Fed::Lost) {
            tell(alsa ? "the audio device went away; trying again"
                      : "the sound server went away; the music comes back with it");
        } else {
            continue;  // to the server that appeared
        }
        std::unique_lock lock(st.mutex);
        st.changed.wait_for(lock, kRetry, [&] { return bool(st.quit); });
    }
    std::lock_guard lock(st.mutex);
    st.finished = true;
    st.changed.notify_all();
}

class AudioOutput final : public SongOutput {
public:
    AudioOutput(Ended ended, Trouble trouble, std::function<std::unique_ptr<AudioSink>()> makeSink)
        : state_(std::make_shared<State>(std::move(makeSink))) {
        state_->ended = std::move(ended);
        state_->trouble = std::move(trouble);
        thread_ = std::thread([st = state_] { run(*st); });
    }

    ~AudioOutput() override {
        std::unique_lock lock(state_->mutex);
        state_->quit = true;
        state_->wake();
        // Whatever the audio does, the thread is let go after a moment; it
        // owns what it still uses, and calls nothing of ours any more.
        if (state_->changed.wait_for(lock, kLetGo, [this] { return state_->finished; })) {
            lock.unlock();
            thread_.join();
        } else {
            thread_.detach();
        }
    }

    void play(std::shared_ptr<const RenderedSong> song, unsigned tag) override {
        std::lock_guard lock(state_->mutex);
        state_->song = std::move(song);
        state_->tag = tag;
        state_->at = 0;
        ++state_->serial;
        state_->wake();
    }

    void stop() override {
        std::lock_guard lock(state_->mutex);
        state_->song.reset();
        ++state_->serial;
        state_->discard = true;
        state_->wake();
    }

private:
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace

bool soundServerExists() {
    if (const char* server = std::getenv("PULSE_SERVER"); server != nullptr && *server != 0) {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == 0) {
        return false;
    }
    for (const char* socket : {"/pulse/native", "/pipewire-0"}) {
        struct stat st {};
        if (stat((std::string(runtime) + socket).c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
            return true;
        }
    }
    return false;
}

SongOutputFactory audioOutput() {
    return audioOutput(nullptr);
}

SongOutputFactory audioOutput(std::function<std::unique_ptr<AudioSink>()> makeSink) {
    return [makeSink = std::move(makeSink)](SongOutput::Ended ended, SongOutput::Trouble trouble) {
        return std::make_unique<AudioOutput>(std::move(ended), std::move(trouble), makeSink);
    };
}

}  // namespace kalvex
