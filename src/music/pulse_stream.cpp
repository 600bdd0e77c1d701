// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <pulse/pulseaudio.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

#include "music/audio_output.h"
#include "renderer/protocol.h"

namespace kalvex {
namespace {

// How the music shows up in the desktop's mixer, which remembers the
// player's volume and mute for it. No media role: the mixer would then
// remember them for every program of that role.
constexpr const char* kApplication = "Kalvex";
constexpr const char* kApplicationId =
    "org.kalvex.Kalvex";  // also the icon's name, as in the desktop entry
constexpr const char* kStream = "배경 음악";

using renderer::kFrameBytes;
// Background music needs no low latency: a long buffer lets both sides sleep.
constexpr std::uint32_t kBufferBytes = renderer::kRate * kFrameBytes;
constexpr std::uint32_t kRefillBytes = kBufferBytes / 2;

pa_proplist* properties(std::initializer_list<std::pair<const char*, std::string>> list) {
    pa_proplist* p = pa_proplist_new();
    for (const auto& [key, value] : list) {
        pa_proplist_sets(p, key, value.c_str());
    }
    return p;
}

class PulseStream final : public AudioSink {
public:
    // Woken through a descriptor of the loop's own, drained only when the loop
    // has seen it: the loop's own wake-up is emptied by every prepare, so one
    // that came after the last look at the state would be lost.
    PulseStream() {
        if (wake_ >= 0) {
            woken_ = pa_mainloop_get_api(loop_)->io_new(pa_mainloop_get_api(loop_), wake_,
                                                        PA_IO_EVENT_INPUT, drain, nullptr);
        }
    }
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    ~PulseStream() override {
        if (stream_ != nullptr) {
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        if (context_ != nullptr) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        if (woken_ != nullptr) {
            pa_mainloop_get_api(loop_)->io_free(woken_);
        }
        pa_mainloop_free(loop_);
        if (wake_ >= 0) {
            ::close(wake_);
        }
    }

    bool open(const std::atomic<bool>& quit) override {
        pa_proplist* client = properties({{PA_PROP_APPLICATION_NAME, kApplication},
                                          {PA_PROP_APPLICATION_ID, kApplicationId},
                                          {PA_PROP_APPLICATION_ICON_NAME, kApplicationId}});
        context_ = pa_context_new_with_proplist(pa_mainloop_get_api(loop_), kApplication, client);
        pa_proplist_free(client);
        if (woken_ == nullptr || context_ == nullptr ||
            pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            return false;
        }
        // A server that has stopped answering holds us here, asleep, until it
        // answers again, its connection breaks, or we are told to quit.
        auto until = [&](auto done) {
            while (!done()) {
                if (quit || !iterate(-1)) {
                    return false;
                }
            }
            return true;
        };
        const auto contextSettled = [this] {
            const pa_context_state_t s = pa_context_get_state(context_);
            return !PA_CONTEXT_IS_GOOD(s) || s == PA_CONTEXT_READY;
        };
        if (!until(contextSettled) || pa_context_get_state(context_) != PA_CONTEXT_READY) {
            return false;
        }

        const pa_sample_spec format{PA_SAMPLE_S16NE, renderer::kRate, renderer::kChannels};
        // The mixer keys what it remembers by the game's id: WirePlumber takes
        // the first of the stream's role, application id, application name and
        // media name; PulseAudio's stream-restore takes its own key.
        pa_proplist* media =
            properties({{PA_PROP_MEDIA_NAME, kStream},
                        {PA_PROP_MEDIA_ICON_NAME, kApplicationId},
                        {PA_PROP_APPLICATION_NAME, kApplication},
                        {PA_PROP_APPLICATION_ID, kApplicationId},
                        {PA_PROP_APPLICATION_ICON_NAME, kApplicationId},
                        {"module-stream-restore.id",
                         std::string("sink-input-by-application-id:") + kApplicationId}});
        stream_ = pa_stream_new_with_proplist(context_, kStream, &format, nullptr, media);
        pa_proplist_free(media);
        const std::uint32_t any = std::uint32_t(-1);
        const pa_buffer_attr buffer{any, kBufferBytes, any, kRefillBytes, any};
        if (stream_ == nullptr ||
            pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr,
                                       nullptr) < 0) {
            return false;
        }
        const auto streamSettled = [this] {
            const pa_stream_state_t s = pa_stream_get_state(stream_);
            return !PA_STREAM_IS_GOOD(s) || s == PA_STREAM_READY;
        };
        return until(streamSettled) && pa_stream_get_state(stream_) == PA_STREAM_READY;
    }

    long writable() override {
        if (pa_context_get_state(context_) != PA_CONTEXT_READY ||
            pa_stream_get_state(stream_) != PA_STREAM_READY) {
            return -1;
        }
        const std::size_t bytes = pa_stream_writable_size(stream_);
        return bytes == std::size_t(-1) ? -1 : long(bytes / kFrameBytes);
    }

    long write(const std::int16_t* frames, long count) override {
        return pa_stream_write(stream_, frames, std::size_t(count) * kFrameBytes, nullptr, 0,
                               PA_SEEK_RELATIVE) < 0
                   ? -1
                   : count;
    }

    void discard() override {
        if (pa_operation* o = pa_stream_flush(stream_, nullptr, nullptr)) {
            pa_operation_unref(o);
        }
    }

    bool wait(bool, int ms) override { return iterate(ms); }
    void wake() override { eventfd_write(wake_, 1); }

private:
    // Runs the loop once; false on a dead connection.
    bool iterate(int ms) {
        if (pa_mainloop_prepare(loop_, ms < 0 ? -1 : ms * 1000) < 0 ||
            pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0) {
            return false;
        }
        return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) &&
               (stream_ == nullptr || PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)));
    }

    static void drain(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void*) {
        eventfd_t value;
        eventfd_read(fd, &value);
    }

    pa_mainloop* loop_ = pa_mainloop_new();
    int wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    pa_io_event* woken_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};

}  // namespace

std::unique_ptr<AudioSink> pulseStream() {
    return std::make_unique<PulseStream>();
}

}  // namespace kalvex
