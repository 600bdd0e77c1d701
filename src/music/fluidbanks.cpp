// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/fluidbanks.h"

#include <fluidsynth.h>

#include <cstdio>
#include <map>
#include <mutex>

namespace kalvex {
namespace {

// Registered images by name. Never destroyed: a renderer still running while
// the program exits may yet read through it.
struct Registry {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<const BankImage>> images;
    unsigned counter = 0;
};
Registry& registry() {
    static auto* r = new Registry;
    return *r;
}

struct Reader {
    std::shared_ptr<const BankImage> image;
    std::size_t at;
};

void* openBank(const char* name) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.images.find(name);
    return it == r.images.end() ? nullptr : new Reader{it->second, 0};
}

int readBank(void* buffer, fluid_long_long_t count, void* handle) {
    auto* r = static_cast<Reader*>(handle);
    if (count < 0 ||
        !r->image->read(r->at, {static_cast<std::uint8_t*>(buffer), std::size_t(count)})) {
        return FLUID_FAILED;
    }
    r->at += std::size_t(count);
    return FLUID_OK;
}

int seekBank(void* handle, fluid_long_long_t offset, int origin) {
    auto* r = static_cast<Reader*>(handle);
    const fluid_long_long_t base = origin == SEEK_SET   ? 0
                                   : origin == SEEK_CUR ? fluid_long_long_t(r->at)
                                                        : fluid_long_long_t(r->image->size());
    if (base + offset < 0 || std::size_t(base + offset) > r->image->size()) {
        return FLUID_FAILED;
    }
    r->at = std::size_t(base + offset);
    return FLUID_OK;
}

fluid_long_long_t tellBank(void* handle) {
    return fluid_long_long_t(static_cast<Reader*>(handle)->at);
}

int closeBank(void* handle) {
    delete static_cast<Reader*>(handle);
    return FLUID_OK;
}

}  // namespace

MemoryBank::MemoryBank(std::shared_ptr<const BankImage> image) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    name_ = "kalvex:song-bank/" + std::to_string(++r.counter);
    r.images[name_] = std::move(image);
}

MemoryBank::~MemoryBank() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.images.erase(name_);
}

fluid_sfloader_t* memoryBankLoader(fluid_settings_t* settings) {
    fluid_sfloader_t* loader = new_fluid_defsfloader(settings);
    if (loader != nullptr) {
        fluid_sfloader_set_callbacks(loader, openBank, readBank, seekBank, tellBank, closeBank);
    }
    return loader;
}

}  // namespace kalvex
