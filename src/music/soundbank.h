// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <sys/types.h>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kalvex {

// A bank file put together from pieces: bytes of its own, and stretches of
// the file it was cut from, read only when asked for, so that the samples
// are never held twice. Valid while the SoundBank it came from lives.
class BankImage {
public:
    std::size_t size() const { return size_; }
    // Copies the bytes from `at` on into `out`; false when the file fails.
    bool read(std::size_t at, std::span<std::uint8_t> out) const;

private:
    friend class SoundBank;
    struct Piece {
        std::size_t at;  // in the image
        std::size_t size;
        std::vector<std::uint8_t> bytes;  // its own bytes, or
        off_t from;                       // where in the file it is read, when not negative
    };
    void add(std::vector<std::uint8_t> bytes);
    void add(std::uint32_t from, std::uint32_t size);

    int fd_ = -1;
    std::vector<Piece> pieces_;
    std::size_t size_ = 0;
};

// A SoundFont 2 bank on disk from which a smaller bank can be cut that holds
// only some presets, with the instruments and samples they use, unchanged.
// FluidSynth keeps a full generator table for every zone of a bank it loads,
// about 2 KiB each, whether or not the zone ever sounds: a General MIDI bank
// costs megabytes before one sample is read, its cut-down copy kilobytes.
class SoundBank {
public:
    struct Preset {
        int bank = 0;
        int program = 0;
        bool operator==(const Preset&) const = default;
    };

    // Reads the bank's list of presets and keeps the file open, so that a
    // bank replaced on disk later is not half read. Null, and why, when the
    // file is not a SoundFont 2 bank.
    static std::unique_ptr<SoundBank> open(const std::string& path, std::string& failure);
    ~SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    bool has(Preset p) const;
    // The preset a synthesiser sounds for `wanted` when the bank may lack it:
    // a drum kit falls back to the standard kit, an instrument to its
    // General MIDI bank, then to the first program there. Nothing when even
    // that is missing.
    std::optional<Preset> resolve(Preset wanted, bool drums) const;

    // A bank file with only the `keep` presets that exist, in the bank's own
    // order. Nothing, and why, when the file cannot be read or is damaged.
    std::optional<BankImage> cut(const std::vector<Preset>& keep, std::string& failure) const;

private:
    struct Chunk {
        std::uint32_t offset = 0;  // of the data, in the file
        std::uint32_t size = 0;
    };
    SoundBank() = default;
    bool read(Chunk c, std::vector<std::uint8_t>& out) const;

    int fd_ = -1;
    Chunk info_, smpl_, sm24_, pdta_;
    std::vector<Preset> presets_;
};

}  // namespace kalvex
