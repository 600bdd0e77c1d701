// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/rendered_song.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace kalvex {
namespace {

PackedBytes& of(void* data) {
    return *static_cast<PackedBytes*>(data);
}

SF_VIRTUAL_IO inMemory{
    [](void* d) { return sf_count_t(of(d).bytes->size()); },
    [](sf_count_t offset, int whence, void* d) {
        auto& m = of(d);
        const sf_count_t from = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? m.at
                                                     : sf_count_t(m.bytes->size());
        return m.at = std::clamp<sf_count_t>(from + offset, 0, sf_count_t(m.bytes->size()));
    },
    [](void* to, sf_count_t count, void* d) {
        auto& m = of(d);
        count = std::min(count, sf_count_t(m.bytes->size()) - m.at);
        std::memcpy(to, m.bytes->data() + m.at, std::size_t(count));
        m.at += count;
        return count;
    },
    [](const void* from, sf_count_t count, void* d) {
        auto& m = of(d);
        if (std::size_t(m.at + count) > RenderedSong::kMostPackedBytes) {
            return sf_count_t(0);
        }
        m.bytes->resize(std::max(m.bytes->size(), std::size_t(m.at + count)));
        std::memcpy(m.bytes->data() + m.at, from, std::size_t(count));
        m.at += count;
        return count;
    },
    [](void* d) { return of(d).at; },
};

// Vorbis at its quality 5 (about 160 kbit/s), commonly held to be transparent.
constexpr double kQuality = 0.5;

}  // namespace

RenderedSong::RenderedSong() {
    // Room for the most it may keep, so that it is never copied as it grows:
    // only the pages written are ever touched.
    packed_.reserve(kMostPackedBytes);
    SF_INFO format{};
    format.samplerate = renderer::kRate;
    format.channels = renderer::kChannels;
    format.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    writer_ = sf_open_virtual(&inMemory, SFM_WRITE, &format, &out_);
    double quality = kQuality;
    sf_command(writer_, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
}

RenderedSong::~RenderedSong() {
    sf_close(writer_);
}

bool RenderedSong::add(const std::int16_t* frames, std::size_t count) {
    if (writer_ == nullptr ||
        std::size_t(sf_writef_short(writer_, frames, sf_count_t(count))) != count ||
        sf_error(writer_) != SF_ERR_NO_ERROR) {
        return false;
    }
    frames_ += count;
    return true;
}

bool RenderedSong::finish() {
    // Closing writes the last pages, and gives the encoder's memory back.
    complete_ = writer_ != nullptr && sf_error(writer_) == SF_ERR_NO_ERROR &&
                sf_close(std::exchange(writer_, nullptr)) == 0 && frames_ > 0;
    return complete_;
}

RenderedSong::Reader::Reader(std::shared_ptr<const RenderedSong> song)
    // Only read: libsndfile writes nothing to a file it reads.
    : song_(std::move(song)), in_{const_cast<std::vector<std::uint8_t>*>(&song_->packed_)} {
    SF_INFO format{};
    file_ = song_->complete() ? sf_open_virtual(&inMemory, SFM_READ, &format, &in_) : nullptr;
}

RenderedSong::Reader::~Reader() {
    sf_close(file_);
}

void RenderedSong::Reader::read(std::size_t at, std::int16_t* out, std::size_t count) {
    if (file_ != nullptr && at != next_) {
        // Where a failed seek leaves the decoder is unknown: silence, and a
        // seek again on the next read.
        const sf_count_t to = sf_seek(file_, sf_count_t(at), SEEK_SET);
        next_ = to >= 0 ? std::size_t(to) : kNowhere;
    }
    // As floats: libsndfile's own 16-bit samples wrap where Vorbis overshoots
    // full scale, a loud click. Past the end: silence.
    decoded_.assign(count * renderer::kChannels, 0.0f);
    if (file_ != nullptr && at == next_) {
        next_ += std::size_t(
            std::max<sf_count_t>(sf_readf_float(file_, decoded_.data(), sf_count_t(count)), 0));
    }
    std::transform(decoded_.begin(), decoded_.end(), out, [](float v) {
        return std::int16_t(std::lrint(std::clamp(v * 32767.0f, -32768.0f, 32767.0f)));
    });
}

}  // namespace kalvex
