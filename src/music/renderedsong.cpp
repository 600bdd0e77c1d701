// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/renderedsong.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace kalvex {

struct Encoding {
    static FLAC__StreamEncoderWriteStatus write(const FLAC__StreamEncoder*, const FLAC__byte* bytes,
                                                std::size_t size, std::uint32_t, std::uint32_t,
                                                void* song) {
        auto& packed = static_cast<RenderedSong*>(song)->packed_;
        if (packed.size() + size > RenderedSong::kMostPackedBytes) {
            return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
        }
        packed.insert(packed.end(), bytes, bytes + size);
        return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    }
};

RenderedSong::RenderedSong(std::size_t frames)
    : frames_(frames), encoder_(FLAC__stream_encoder_new()) {
    // Room for the worst case, of which only the pages written are touched.
    packed_.reserve(std::min(frames * renderer::kFrameBytes + 4096, kMostPackedBytes));
    FLAC__stream_encoder_set_channels(encoder_, kChannels);
    FLAC__stream_encoder_set_bits_per_sample(encoder_, 16);
    FLAC__stream_encoder_set_sample_rate(encoder_, kRate);
    FLAC__stream_encoder_set_compression_level(encoder_, 5);
    FLAC__stream_encoder_set_total_samples_estimate(encoder_, frames);
    if (FLAC__stream_encoder_init_stream(encoder_, Encoding::write, nullptr, nullptr, nullptr,
                                         this) != FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        FLAC__stream_encoder_delete(std::exchange(encoder_, nullptr));
    } else if (frames == 0) {
        add(nullptr, 0);
    }
}

RenderedSong::~RenderedSong() {
    if (encoder_ != nullptr) {
        FLAC__stream_encoder_delete(encoder_);
    }
}

bool RenderedSong::add(const std::int16_t* frames, std::size_t count) {
    if (encoder_ == nullptr || count > frames_ - added_) {
        return false;
    }
    std::vector<FLAC__int32> wide(frames, frames + count * kChannels);
    if (!FLAC__stream_encoder_process_interleaved(encoder_, wide.data(), unsigned(count))) {
        FLAC__stream_encoder_delete(std::exchange(encoder_, nullptr));
        return false;
    }
    added_ += count;
    if (added_ == frames_) {  // the last block out, and the encoder's memory back
        FLAC__stream_encoder_finish(encoder_);
        FLAC__stream_encoder_delete(std::exchange(encoder_, nullptr));
    }
    return true;
}

struct Decoding {
    using Reader = RenderedSong::Reader;
    static FLAC__StreamDecoderReadStatus read(const FLAC__StreamDecoder*, FLAC__byte* out,
                                              std::size_t* size, void* reader) {
        auto& r = *static_cast<Reader*>(reader);
        const auto& packed = r.song_->packed_;
        *size = std::min(*size, packed.size() - r.next_);
        std::memcpy(out, packed.data() + r.next_, *size);
        r.next_ += *size;
        return *size == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                          : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
    }
    static FLAC__StreamDecoderWriteStatus write(const FLAC__StreamDecoder*,
                                                const FLAC__Frame* frame,
                                                const FLAC__int32* const channels[], void* reader) {
        auto& r = *static_cast<Reader*>(reader);
        r.first_ += r.at_.size() / RenderedSong::kChannels;
        r.at_.resize(frame->header.blocksize * RenderedSong::kChannels);
        for (std::size_t i = 0; i < frame->header.blocksize; ++i) {
            r.at_[2 * i] = std::int16_t(channels[0][i]);
            r.at_[2 * i + 1] = std::int16_t(channels[1][i]);
        }
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }
    static void error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}
};

RenderedSong::Reader::Reader(std::shared_ptr<const RenderedSong> song)
    : song_(std::move(song)), decoder_(FLAC__stream_decoder_new()) {
    FLAC__stream_decoder_init_stream(decoder_, Decoding::read, nullptr, nullptr, nullptr, nullptr,
                                     Decoding::write, nullptr, Decoding::error, this);
}

RenderedSong::Reader::~Reader() {
    FLAC__stream_decoder_delete(decoder_);
}

void RenderedSong::Reader::read(std::size_t at, std::int16_t* out, std::size_t count) {
    if (at < first_) {  // back to the start
        FLAC__stream_decoder_reset(decoder_);
        next_ = first_ = 0;
        at_.clear();
    }
    while (count > 0) {
        const std::size_t have = first_ + at_.size() / kChannels;
        if (at >= have) {
            if (have >= song_->frames() || !FLAC__stream_decoder_process_single(decoder_) ||
                FLAC__stream_decoder_get_state(decoder_) == FLAC__STREAM_DECODER_END_OF_STREAM) {
                std::fill_n(out, count * kChannels, 0);  // past the end: silence
                return;
            }
            continue;
        }
        const std::size_t n = std::min(count, have - at);
        std::copy_n(&at_[(at - first_) * kChannels], n * kChannels, out);
        at += n;
        out += n * kChannels;
        count -= n;
    }
}

}  // namespace kalvex
