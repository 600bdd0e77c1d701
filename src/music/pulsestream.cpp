// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/pulsestream.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstdint>

namespace kalvex {
namespace {

constexpr int kRate = 44100;  // the synthesiser's own rate
constexpr int kConnectMs = 3000;
// Enough to ride out a busy moment; a music loop needs no low latency.
constexpr pa_usec_t kBufferUs = 100'000;

pa_proplist* properties(std::initializer_list<std::pair<const char*, std::string>> list) {
    pa_proplist* p = pa_proplist_new();
    for (const auto& [key, value] : list) {
        pa_proplist_sets(p, key, value.c_str());
    }
    return p;
}

}  // namespace

PulseStream::PulseStream() : loop_(pa_mainloop_new()) {}

PulseStream::~PulseStream() {
    if (stream_ != nullptr) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_ != nullptr) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_mainloop_free(loop_);
}

bool PulseStream::open(const StreamNames& names, const std::atomic<bool>& quit) {
    pa_proplist* client = properties({{PA_PROP_APPLICATION_NAME, names.application},
                                      {PA_PROP_APPLICATION_ID, names.id},
                                      {PA_PROP_APPLICATION_ICON_NAME, names.id}});
    context_ =
        pa_context_new_with_proplist(pa_mainloop_get_api(loop_), names.application.c_str(), client);
    pa_proplist_free(client);
    if (context_ == nullptr ||
        pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectMs);
    auto until = [&](auto done) {
        while (!done()) {
            if (quit || std::chrono::steady_clock::now() > deadline || !wait(100)) {
                return false;
            }
        }
        return true;
    };
    auto contextSettled = [this] {
        return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) ||
               pa_context_get_state(context_) == PA_CONTEXT_READY;
    };
    if (!until(contextSettled) || pa_context_get_state(context_) != PA_CONTEXT_READY) {
        return false;
    }

    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, kRate, 2};
    // Without a role of its own the mixer would remember the volume for every
    // program of the role; keyed by the game's id it is the game's alone.
    pa_proplist* media =
        properties({{PA_PROP_MEDIA_NAME, names.stream},
                    {PA_PROP_MEDIA_ROLE, names.role},
                    {PA_PROP_MEDIA_ICON_NAME, names.id},
                    {"module-stream-restore.id", "sink-input-by-application-id:" + names.id}});
    stream_ = pa_stream_new_with_proplist(context_, names.stream.c_str(), &format, nullptr, media);
    pa_proplist_free(media);
    if (stream_ == nullptr) {
        return false;
    }
    pa_buffer_attr buffer{};
    buffer.maxlength = std::uint32_t(-1);
    buffer.tlength = std::uint32_t(pa_usec_to_bytes(kBufferUs, &format));
    buffer.prebuf = std::uint32_t(-1);
    buffer.minreq = std::uint32_t(-1);
    buffer.fragsize = std::uint32_t(-1);
    if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0) {
        return false;
    }
    auto streamSettled = [this] {
        return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)) ||
               pa_stream_get_state(stream_) == PA_STREAM_READY;
    };
    if (!until(streamSettled) || pa_stream_get_state(stream_) != PA_STREAM_READY) {
        return false;
    }
    return true;
}

bool PulseStream::ready() const {
    return pa_context_get_state(context_) == PA_CONTEXT_READY &&
           pa_stream_get_state(stream_) == PA_STREAM_READY;
}

bool PulseStream::wait(int ms) {
    if (pa_mainloop_prepare(loop_, ms * 1000) < 0 || pa_mainloop_poll(loop_) < 0 ||
        pa_mainloop_dispatch(loop_) < 0) {
        return false;
    }
    return PA_CONTEXT_IS_GOOD(pa_context_get_state(context_));
}

bool PulseStream::feed(const Render& render, const std::atomic<bool>& quit) {
    while (!quit) {
        if (!ready()) {
            return false;
        }
        std::size_t writable = pa_stream_writable_size(stream_);
        if (writable == std::size_t(-1)) {
            return false;
        }
        if (writable < 2 * sizeof(float)) {
            // Sleeps until the server asks for more, or wake().
            if (!wait(1000)) {
                return false;
            }
            continue;
        }
        void* data = nullptr;
        if (pa_stream_begin_write(stream_, &data, &writable) < 0 || data == nullptr) {
            return false;
        }
        const int frames = int(writable / (2 * sizeof(float)));
        render(static_cast<float*>(data), frames);
        if (pa_stream_write(stream_, data, std::size_t(frames) * 2 * sizeof(float), nullptr, 0,
                            PA_SEEK_RELATIVE) < 0) {
            return false;
        }
    }
    return true;
}

void PulseStream::wake() {
    pa_mainloop_wakeup(loop_);
}

}  // namespace kalvex
