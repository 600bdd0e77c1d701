// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <mutex>

#include "music/audio_output.h"
#include "renderer/protocol.h"

namespace kalvex {
namespace {

constexpr unsigned kBufferUs = 1'000'000;

// ALSA reports every device that fails to open on stderr, several lines each;
// the player says in one line why there is no music.
void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

class AlsaDevice final : public AudioSink {
public:
    AlsaDevice() = default;
    AlsaDevice(const AlsaDevice&) = delete;
    AlsaDevice& operator=(const AlsaDevice&) = delete;

    ~AlsaDevice() override {
        if (pcm_ != nullptr) {
            snd_pcm_close(pcm_);
        }
        if (wake_ >= 0) {
            ::close(wake_);
        }
    }

    bool open(const std::atomic<bool>&) override {
        static std::once_flag quiet;
        std::call_once(quiet, [] { snd_lib_error_set_handler(ignoreAlsa); });
        int err = wake_ < 0
                      ? -errno
                      : snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
        if (err >= 0) {
            err = snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                                     renderer::kChannels, renderer::kRate, 1, kBufferUs);
        }
        snd_pcm_uframes_t buffer = 0, period = 0;
        snd_pcm_sw_params_t* sw = nullptr;
        if (err >= 0 && (err = snd_pcm_get_params(pcm_, &buffer, &period)) >= 0 &&
            (err = snd_pcm_sw_params_malloc(&sw)) >= 0) {
            // Woken when half the buffer is free, not every period.
            if ((err = snd_pcm_sw_params_current(pcm_, sw)) >= 0 &&
                (err = snd_pcm_sw_params_set_avail_min(pcm_, sw, buffer / 2)) >= 0) {
                err = snd_pcm_sw_params(pcm_, sw);
            }
            snd_pcm_sw_params_free(sw);
        }
        failure_ = err < 0 ? snd_strerror(err) : "";
        return err >= 0;
    }

    long writable() override {
        snd_pcm_sframes_t n = snd_pcm_avail_update(pcm_);
        if (n < 0 && snd_pcm_recover(pcm_, int(n), 1) >= 0) {
            n = snd_pcm_avail_update(pcm_);  // after an underrun, which a pause between songs is
        }
        return n < 0 ? -1 : long(n);
    }

    long write(const std::int16_t* frames, long count) override {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm_, frames, snd_pcm_uframes_t(count));
        if (n == -EAGAIN || (n < 0 && snd_pcm_recover(pcm_, int(n), 1) >= 0)) {
            return 0;
        }
        return n < 0 ? -1 : long(n);
    }

    void discard() override {
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
    }

    bool wait(bool forRoom, int ms) override {
        std::array<pollfd, 8> fds{};
        fds[0] = {wake_, POLLIN, 0};
        int count = 1;
        if (forRoom) {
            const int n = snd_pcm_poll_descriptors(pcm_, &fds[1], unsigned(fds.size() - 1));
            if (n < 0) {
                return false;
            }
            count += n;
        }
        if (poll(fds.data(), nfds_t(count), ms) < 0 && errno != EINTR) {
            return false;
        }
        if (fds[0].revents != 0) {
            eventfd_t value;
            eventfd_read(wake_, &value);
        }
        return true;
    }

    void wake() override { eventfd_write(wake_, 1); }
    std::string failure() const override { return failure_; }

private:
    snd_pcm_t* pcm_ = nullptr;
    int wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    std::string failure_;
};

}  // namespace

std::unique_ptr<AudioSink> alsaDevice() {
    return std::make_unique<AlsaDevice>();
}

}  // namespace kalvex
