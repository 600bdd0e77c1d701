// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <string>

#include "music/audiosink.h"

typedef struct _snd_pcm snd_pcm_t;

namespace kalvex {

// ALSA's default device, for a machine without a sound server: a one-second
// buffer, refilled when half of it has played, and never a blocking call.
class AlsaDevice final : public AudioSink {
public:
    AlsaDevice();
    ~AlsaDevice() override;
    AlsaDevice(const AlsaDevice&) = delete;
    AlsaDevice& operator=(const AlsaDevice&) = delete;

    bool open(const std::atomic<bool>& quit) override;
    long writable() override;
    long write(const std::int16_t* frames, long count) override;
    void discard() override;
    bool wait(bool forRoom, int ms) override;
    void wake() override;

    // Why open() failed.
    const std::string& failure() const { return failure_; }

private:
    snd_pcm_t* pcm_ = nullptr;
    int wake_ = -1;  // an eventfd
    std::string failure_;
};

}  // namespace kalvex
