// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/renderedsong.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>
#include <vector>

namespace kalvex {
namespace {

// A block is a mode byte, then either its plain samples or, packed, the mid
// (L+R)/2 and side L-R channels, each as the errors of a straight-line
// prediction from the two samples before, Rice-coded with the parameter
// byte that leads the channel's codes. Errors of 2^kEscape times the
// parameter and more are written whole after kEscape zero bits.
constexpr std::uint8_t kPlain = 0;
constexpr std::uint8_t kPacked = 1;
constexpr int kEscape = 24;
constexpr std::size_t kPlainBlockBytes = RenderedSong::kBlockFrames * RenderedSong::kChannels * 2;
// A block packed at its worst: escapes all through.
constexpr std::size_t kWorstBlockBytes = 3 + kPlainBlockBytes * (kEscape + 32) / 16 + 8;

class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}
    void put(std::uint32_t value, int n) {  // n <= 32
        acc_ = (acc_ << n) | (value & ((std::uint64_t(1) << n) - 1));
        for (bits_ += n; bits_ >= 8;) {
            bits_ -= 8;
            out_[at_++] = std::uint8_t(acc_ >> bits_);
        }
    }
    void rice(std::uint32_t u, int k) {
        const std::uint32_t q = u >> k;
        if (q < kEscape) {
            put(1, int(q) + 1);
            put(u, k);
        } else {
            put(0, kEscape);
            put(u, 32);
        }
    }
    std::size_t finish() {
        put(0, (8 - bits_) % 8);
        return at_;
    }

private:
    std::uint8_t* out_;
    std::size_t at_ = 0;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
};

class BitReader {
public:
    explicit BitReader(const std::uint8_t* in) : in_(in) {}
    std::uint32_t get(int n) {  // n <= 32
        fill();
        const std::uint32_t v = n == 0 ? 0 : std::uint32_t(window_ >> (64 - n));
        window_ <<= n;
        bits_ -= n;
        return v;
    }
    std::uint32_t rice(int k) {
        fill();
        const int q = std::min(std::countl_zero(window_), kEscape);
        window_ <<= q;
        bits_ -= q;
        return q == kEscape ? get(32) : std::uint32_t(q) << k | (get(k + 1) & ((1u << k) - 1));
    }

private:
    // At least 57 bits in the window, read up to 7 bytes ahead of them.
    void fill() {
        for (; bits_ <= 56; bits_ += 8) {
            window_ |= std::uint64_t(*in_++) << (56 - bits_);
        }
    }

    const std::uint8_t* in_;
    std::uint64_t window_ = 0;  // the next bits, from the top
    int bits_ = 0;
};

std::uint32_t zigzag(std::int32_t v) {
    return std::uint32_t(v) << 1 ^ std::uint32_t(v >> 31);
}
std::int32_t unzigzag(std::uint32_t u) {
    return std::int32_t(u >> 1) ^ -std::int32_t(u & 1);
}
std::int32_t predict(const std::int32_t* x, std::size_t i) {
    return i >= 2 ? 2 * x[i - 1] - x[i - 2] : i == 1 ? x[0] : 0;
}

// Packs `frames` frames into `out`; returns the bytes used.
std::size_t pack(const std::int16_t* in, std::size_t frames, std::uint8_t* out) {
    std::array<std::vector<std::int32_t>, 2> ch{std::vector<std::int32_t>(frames),
                                                std::vector<std::int32_t>(frames)};
    for (std::size_t i = 0; i < frames; ++i) {
        const std::int32_t left = in[2 * i], right = in[2 * i + 1];
        ch[0][i] = (left + right) >> 1;
        ch[1][i] = left - right;
    }
    std::array<std::vector<std::uint32_t>, 2> errors;
    std::array<int, 2> k{};
    for (int c = 0; c < 2; ++c) {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < frames; ++i) {
            errors[c].push_back(zigzag(ch[c][i] - predict(ch[c].data(), i)));
            sum += errors[c].back();
        }
        k[c] = std::max(0, int(std::bit_width(sum / std::max<std::size_t>(frames, 1))) - 1);
    }
    out[0] = kPacked;
    out[1] = std::uint8_t(k[0]);
    out[2] = std::uint8_t(k[1]);
    BitWriter w(out + 3);
    for (int c = 0; c < 2; ++c) {
        for (std::uint32_t u : errors[c]) {
            w.rice(u, k[c]);
        }
    }
    return 3 + w.finish();
}

void unpackInto(const std::uint8_t* in, std::size_t frames, std::int16_t* out) {
    if (in[0] == kPlain) {
        std::memcpy(out, in + 1, frames * RenderedSong::kChannels * sizeof(std::int16_t));
        return;
    }
    std::array<std::vector<std::int32_t>, 2> ch{std::vector<std::int32_t>(frames),
                                                std::vector<std::int32_t>(frames)};
    BitReader r(in + 3);
    for (int c = 0; c < 2; ++c) {
        for (std::size_t i = 0; i < frames; ++i) {
            ch[c][i] = unzigzag(r.rice(in[1 + c])) + predict(ch[c].data(), i);
        }
    }
    for (std::size_t i = 0; i < frames; ++i) {
        const std::int32_t side = ch[1][i], sum = ch[0][i] * 2 | (side & 1);
        out[2 * i] = std::int16_t((sum + side) >> 1);
        out[2 * i + 1] = std::int16_t((sum - side) >> 1);
    }
}

}  // namespace

RenderedSong::RenderedSong(std::size_t frames)
    : frames_(frames),
      blocks_((frames + kBlockFrames - 1) / kBlockFrames),
      packed_(std::make_unique_for_overwrite<std::uint8_t[]>(blocks_ * (1 + kPlainBlockBytes) + 8)),
      starts_(std::make_unique<std::uint32_t[]>(blocks_ + 1)),
      filling_(std::make_unique_for_overwrite<std::int16_t[]>(kBlockFrames * kChannels)),
      trial_(std::make_unique_for_overwrite<std::uint8_t[]>(kWorstBlockBytes)) {}

RenderedSong::~RenderedSong() = default;

void RenderedSong::read(std::size_t at, std::int16_t* out, std::size_t count) const {
    thread_local std::vector<std::int16_t> block(kBlockFrames * kChannels);
    while (count > 0) {
        const std::size_t index = at / kBlockFrames, first = index * kBlockFrames;
        const std::size_t frames = std::min(kBlockFrames, frames_ - first);
        unpackInto(&packed_[starts_[index]], frames, block.data());
        const std::size_t n = std::min(count, first + frames - at);
        std::copy_n(&block[(at - first) * kChannels], n * kChannels, out);
        at += n;
        out += n * kChannels;
        count -= n;
    }
}

std::span<std::int16_t> RenderedSong::next() {
    const std::size_t room = std::min(kBlockFrames, frames_ - ready_) - filled_;
    return {&filling_[filled_ * kChannels], room * kChannels};
}

void RenderedSong::added(std::size_t count) {
    filled_ += count;
    if (filled_ < std::min(kBlockFrames, frames_ - ready_)) {
        return;
    }
    const std::size_t block = ready_ / kBlockFrames;
    std::uint8_t* out = &packed_[starts_[block]];
    // Packed where that is smaller, as it is but for noise.
    std::size_t size = pack(filling_.get(), filled_, trial_.get());
    if (size <= 1 + filled_ * kChannels * sizeof(std::int16_t)) {
        std::memcpy(out, trial_.get(), size);
    } else {
        out[0] = kPlain;
        size = 1 + filled_ * kChannels * sizeof(std::int16_t);
        std::memcpy(out + 1, filling_.get(), size - 1);
    }
    starts_[block + 1] = std::uint32_t(starts_[block] + size);
    ready_ += std::exchange(filled_, 0);
    if (complete()) {
        filling_.reset();
        trial_.reset();
    }
}

}  // namespace kalvex
