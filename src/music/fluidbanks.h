// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <memory>
#include <string>

#include "music/soundbank.h"

typedef struct _fluid_sfloader_t fluid_sfloader_t;
typedef struct _fluid_hashtable_t fluid_settings_t;

namespace kalvex {

// Bank images handed to FluidSynth under names no file has: a loader made by
// memoryBankLoader() reads them through FluidSynth's file callbacks, so a cut
// bank is never written out or held whole.
class MemoryBank {
public:
    // Registers `image` as long as this lives; the synthesiser that loads it
    // must be deleted first.
    explicit MemoryBank(std::shared_ptr<const BankImage> image);
    ~MemoryBank();
    MemoryBank(const MemoryBank&) = delete;
    MemoryBank& operator=(const MemoryBank&) = delete;

    // The name to give fluid_synth_sfload().
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

// A SoundFont loader that reads registered bank images by their names.
fluid_sfloader_t* memoryBankLoader(fluid_settings_t* settings);

}  // namespace kalvex
