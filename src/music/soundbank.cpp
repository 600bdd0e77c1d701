// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/soundbank.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <map>
#include <span>

namespace kalvex {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint16_t get16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
void set16(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void set32(std::uint8_t* p, std::uint32_t v) {
    set16(p, v);
    set16(p + 2, v >> 16);
}
void put32(Bytes& out, std::uint32_t v) {
    out.resize(out.size() + 4);
    set32(out.data() + out.size() - 4, v);
}
void putId(Bytes& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}
// A chunk: id, size, data, a pad byte to an even length.
void putChunk(Bytes& out, const char* id, std::span<const std::uint8_t> data) {
    putId(out, id);
    put32(out, std::uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2 != 0) {
        out.push_back(0);
    }
}

// Generators that point into the next level: a preset zone's instrument, an
// instrument zone's sample.
constexpr std::uint16_t kInstrument = 41;
constexpr std::uint16_t kSampleId = 53;
constexpr std::uint16_t kRomSample = 0x8000;
constexpr std::uint16_t kLinkedTypes = 2 | 4 | 8;  // right, left, linked
// Zero points a sample is followed by, which interpolation may read.
constexpr std::uint32_t kGuardPoints = 46;

// The records of the bank's description, as SoundFont 2.04 lays them out
// (section 7): each one's size and the offsets of the fields used here.
namespace phdr {  // a preset header
constexpr std::size_t kSize = 38, wPreset = 20, wBank = 22, wPresetBagNdx = 24;
}
namespace bag {  // a preset or instrument zone: pbag, ibag
constexpr std::size_t kSize = 4, wGenNdx = 0, wModNdx = 2;
}
namespace mod {  // a modulator: pmod, imod
constexpr std::size_t kSize = 10;
}
namespace gen {  // a generator: pgen, igen
constexpr std::size_t kSize = 4, sfGenOper = 0, genAmount = 2;
}
namespace inst {  // an instrument header
constexpr std::size_t kSize = 22, wInstBagNdx = 20;
}
namespace shdr {  // a sample header
constexpr std::size_t kSize = 46, dwStart = 20, dwEnd = 24, dwStartloop = 28, dwEndloop = 32,
                      wSampleLink = 42, sfSampleType = 44;
}

// One record list of the bank's description; the last record only ends it.
struct Records {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;  // of one record
    std::size_t count = 0;

    const std::uint8_t* at(std::size_t i) const { return data + i * size; }
};

// The nine record lists, in the order the file holds them.
constexpr std::array<std::pair<const char*, std::size_t>, 9> kLists = {{{"phdr", phdr::kSize},
                                                                        {"pbag", bag::kSize},
                                                                        {"pmod", mod::kSize},
                                                                        {"pgen", gen::kSize},
                                                                        {"inst", inst::kSize},
                                                                        {"ibag", bag::kSize},
                                                                        {"imod", mod::kSize},
                                                                        {"igen", gen::kSize},
                                                                        {"shdr", shdr::kSize}}};
enum { kPhdr, kPbag, kPmod, kPgen, kInst, kIbag, kImod, kIgen, kShdr };

bool parseLists(const Bytes& pdta, std::array<Records, 9>& lists, std::string& failure) {
    std::size_t at = 0;
    std::array<bool, 9> seen{};
    while (at + 8 <= pdta.size()) {
        const std::uint32_t size = get32(&pdta[at + 4]);
        if (size > pdta.size() - at - 8) {
            failure = "a record list runs past its end";
            return false;
        }
        for (std::size_t i = 0; i < kLists.size(); ++i) {
            if (std::memcmp(&pdta[at], kLists[i].first, 4) == 0) {
                if (size % kLists[i].second != 0 || size == 0) {
                    failure = std::string("the ") + kLists[i].first + " list is damaged";
                    return false;
                }
                lists[i] = {&pdta[at + 8], kLists[i].second, size / kLists[i].second};
                seen[i] = true;
            }
        }
        at += 8 + size + (size % 2);
    }
    for (std::size_t i = 0; i < kLists.size(); ++i) {
        if (!seen[i]) {
            failure = std::string("the ") + kLists[i].first + " list is missing";
            return false;
        }
    }
    return true;
}

// A zone record pointing at the next generator and modulator to be added.
void addBag(Bytes& bagOut, const Bytes& genOut, const Bytes& modOut) {
    bagOut.resize(bagOut.size() + bag::kSize);
    std::uint8_t* b = &bagOut[bagOut.size() - bag::kSize];
    set16(b + bag::wGenNdx, std::uint32_t(genOut.size() / gen::kSize));
    set16(b + bag::wModNdx, std::uint32_t(modOut.size() / mod::kSize));
}

// Copies zones [first, last) of one level: their bag records, generators and
// modulators, with each link to the next level renumbered by `link`.
// Returns false when an index points outside its list.
template <class Link>
bool copyZones(std::size_t first, std::size_t last, const Records& bags, const Records& gens,
               const Records& mods, std::uint16_t linkOper, Bytes& bagOut, Bytes& genOut,
               Bytes& modOut, Link link) {
    if (first > last || last >= bags.count) {
        return false;
    }
    for (std::size_t b = first; b < last; ++b) {
        const std::size_t g0 = get16(bags.at(b) + bag::wGenNdx),
                          g1 = get16(bags.at(b + 1) + bag::wGenNdx);
        const std::size_t m0 = get16(bags.at(b) + bag::wModNdx),
                          m1 = get16(bags.at(b + 1) + bag::wModNdx);
        if (g0 > g1 || g1 >= gens.count || m0 > m1 || m1 >= mods.count) {
            return false;
        }
        addBag(bagOut, genOut, modOut);
        for (std::size_t g = g0; g < g1; ++g) {
            genOut.insert(genOut.end(), gens.at(g), gens.at(g) + gen::kSize);
            if (get16(gens.at(g) + gen::sfGenOper) == linkOper) {
                const long renumbered = link(get16(gens.at(g) + gen::genAmount));
                if (renumbered < 0) {
                    return false;
                }
                set16(&genOut[genOut.size() - gen::kSize + gen::genAmount],
                      std::uint32_t(renumbered));
            }
        }
        modOut.insert(modOut.end(), mods.at(m0), mods.at(m1));
    }
    return true;
}

// The closing records: the terminal bag points past the last generator and
// modulator, the terminal header past the last bag.
void closeLevel(const Records& headers, std::size_t bagField, const Records& gens,
                const Records& mods, Bytes& headOut, Bytes& bagOut, Bytes& genOut, Bytes& modOut) {
    const std::uint8_t* end = headers.at(headers.count - 1);
    headOut.insert(headOut.end(), end, end + headers.size);
    set16(&headOut[headOut.size() - headers.size + bagField],
          std::uint32_t(bagOut.size() / bag::kSize));
    addBag(bagOut, genOut, modOut);
    genOut.insert(genOut.end(), gens.at(gens.count - 1), gens.at(gens.count - 1) + gens.size);
    modOut.insert(modOut.end(), mods.at(mods.count - 1), mods.at(mods.count - 1) + mods.size);
}

bool readAll(int fd, off_t from, std::span<std::uint8_t> out) {
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + got, out.size() - got, from + off_t(got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        got += std::size_t(n);
    }
    return true;
}

}  // namespace

SoundBank::~SoundBank() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool SoundBank::read(Chunk c, Bytes& out) const {
    out.resize(c.size);
    return readAll(fd_, off_t(c.offset), out);
}

std::unique_ptr<SoundBank> SoundBank::open(const std::string& path, std::string& failure) {
    std::unique_ptr<SoundBank> bank(new SoundBank);
    bank->fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st {};
    if (bank->fd_ < 0 || fstat(bank->fd_, &st) != 0) {
        failure = std::strerror(errno);
        return nullptr;
    }
    if (!S_ISREG(st.st_mode) || st.st_size < 12 || st.st_size > 0x7FFFFFFF) {
        failure = "not a sound bank";
        return nullptr;
    }
    const auto fileSize = std::uint32_t(st.st_size);
    Bytes head;
    if (!bank->read({0, 12}, head) || std::memcmp(&head[0], "RIFF", 4) != 0 ||
        std::memcmp(&head[8], "sfbk", 4) != 0) {
        failure = "not a SoundFont 2 bank";
        return nullptr;
    }
    // The top level holds three lists; the sample list holds the samples'
    // 16-bit words and, in 24-bit banks, their low bytes.
    const std::uint32_t end = std::min(fileSize, get32(&head[4]) + 8);
    for (std::uint32_t at = 12; at + 12 <= end;) {
        Bytes h;
        if (!bank->read({at, 12}, h)) {
            break;
        }
        const std::uint32_t size = get32(&h[4]);
        if (size < 4 || size > end - at - 8) {
            break;
        }
        const Chunk list{at + 12, size - 4};
        if (std::memcmp(&h[0], "LIST", 4) == 0 && std::memcmp(&h[8], "INFO", 4) == 0) {
            bank->info_ = list;
        } else if (std::memcmp(&h[0], "LIST", 4) == 0 && std::memcmp(&h[8], "pdta", 4) == 0) {
            bank->pdta_ = list;
        } else if (std::memcmp(&h[0], "LIST", 4) == 0 && std::memcmp(&h[8], "sdta", 4) == 0) {
            for (std::uint32_t s = list.offset; s + 8 <= list.offset + list.size;) {
                Bytes sh;
                if (!bank->read({s, 8}, sh)) {
                    break;
                }
                const std::uint32_t ssize = get32(&sh[4]);
                if (ssize > list.offset + list.size - s - 8) {
                    break;
                }
                if (std::memcmp(&sh[0], "smpl", 4) == 0) {
                    bank->smpl_ = {s + 8, ssize};
                } else if (std::memcmp(&sh[0], "sm24", 4) == 0) {
                    bank->sm24_ = {s + 8, ssize};
                }
                s += 8 + ssize + (ssize % 2);
            }
        }
        at += 8 + size + (size % 2);
    }
    Bytes pdta;
    std::array<Records, 9> lists;
    if (bank->pdta_.size == 0 || !bank->read(bank->pdta_, pdta) ||
        !parseLists(pdta, lists, failure)) {
        failure = "not a SoundFont 2 bank" + (failure.empty() ? "" : ": " + failure);
        return nullptr;
    }
    for (std::size_t i = 0; i + 1 < lists[kPhdr].count; ++i) {
        const std::uint8_t* p = lists[kPhdr].at(i);
        bank->presets_.push_back({get16(p + phdr::wBank), get16(p + phdr::wPreset)});
    }
    return bank;
}

bool SoundBank::has(Preset p) const {
    return std::find(presets_.begin(), presets_.end(), p) != presets_.end();
}

std::optional<SoundBank::Preset> SoundBank::resolve(Preset wanted, bool drums) const {
    const std::vector<Preset> tries =
        drums ? std::vector<Preset>{wanted, {128, 0}}
              : std::vector<Preset>{wanted, {0, wanted.program}, {0, 0}};
    for (const Preset& p : tries) {
        if (has(p)) {
            return p;
        }
    }
    return std::nullopt;
}

std::optional<BankImage> SoundBank::cut(const std::vector<Preset>& keep,
                                        std::string& failure) const {
    Bytes pdta;
    std::array<Records, 9> lists;
    if (!read(pdta_, pdta) || !parseLists(pdta, lists, failure)) {
        failure = failure.empty() ? "the bank cannot be read" : failure;
        return std::nullopt;
    }
    std::array<Bytes, 9> out;
    std::map<std::size_t, std::size_t> instruments, samples;  // old index to new
    std::vector<std::size_t> instrumentOrder, sampleOrder;
    auto number = [](std::map<std::size_t, std::size_t>& map, std::vector<std::size_t>& order,
                     std::size_t old, std::size_t count) -> long {
        if (old + 1 >= count) {
            return -1;  // past the last real record
        }
        const auto [it, added] = map.try_emplace(old, order.size());
        if (added) {
            order.push_back(old);
        }
        return long(it->second);
    };
    bool sound = true;
    const Records& headers = lists[kPhdr];
    for (std::size_t i = 0; sound && i + 1 < headers.count; ++i) {
        const std::uint8_t* p = headers.at(i);
        if (std::find(keep.begin(), keep.end(),
                      Preset{get16(p + phdr::wBank), get16(p + phdr::wPreset)}) == keep.end()) {
            continue;
        }
        out[kPhdr].insert(out[kPhdr].end(), p, p + headers.size);
        set16(&out[kPhdr][out[kPhdr].size() - phdr::kSize + phdr::wPresetBagNdx],
              std::uint32_t(out[kPbag].size() / bag::kSize));
        sound = copyZones(get16(p + phdr::wPresetBagNdx),
                          get16(headers.at(i + 1) + phdr::wPresetBagNdx), lists[kPbag],
                          lists[kPgen], lists[kPmod], kInstrument, out[kPbag], out[kPgen],
                          out[kPmod], [&](std::size_t old) {
                              return number(instruments, instrumentOrder, old, lists[kInst].count);
                          });
    }
    const Records& instrumentHeaders = lists[kInst];
    for (std::size_t n = 0; sound && n < instrumentOrder.size(); ++n) {
        const std::size_t i = instrumentOrder[n];
        out[kInst].insert(out[kInst].end(), instrumentHeaders.at(i),
                          instrumentHeaders.at(i) + instrumentHeaders.size);
        set16(&out[kInst][out[kInst].size() - inst::kSize + inst::wInstBagNdx],
              std::uint32_t(out[kIbag].size() / bag::kSize));
        sound = copyZones(
            get16(instrumentHeaders.at(i) + inst::wInstBagNdx),
            get16(instrumentHeaders.at(i + 1) + inst::wInstBagNdx), lists[kIbag], lists[kIgen],
            lists[kImod], kSampleId, out[kIbag], out[kIgen], out[kImod],
            [&](std::size_t old) { return number(samples, sampleOrder, old, lists[kShdr].count); });
    }
    // A stereo sample brings its other half along.
    const Records& sampleHeaders = lists[kShdr];
    for (std::size_t n = 0; sound && n < sampleOrder.size(); ++n) {
        const std::uint8_t* s = sampleHeaders.at(sampleOrder[n]);
        const std::uint16_t type = get16(s + shdr::sfSampleType);
        const std::uint16_t linked = get16(s + shdr::wSampleLink);
        if ((type & kRomSample) == 0 && (type & kLinkedTypes) != 0 &&
            linked + 1u < sampleHeaders.count) {
            number(samples, sampleOrder, linked, sampleHeaders.count);
        }
    }
    if (!sound) {
        failure = "the bank's description is damaged";
        return std::nullopt;
    }
    closeLevel(headers, phdr::wPresetBagNdx, lists[kPgen], lists[kPmod], out[kPhdr], out[kPbag],
               out[kPgen], out[kPmod]);
    closeLevel(instrumentHeaders, inst::wInstBagNdx, lists[kIgen], lists[kImod], out[kInst],
               out[kIbag], out[kIgen], out[kImod]);

    // Each sample's points, and the guard points after them, moved together;
    // the points themselves are read from this file when the image is read.
    struct Stretch {
        std::uint32_t start, copied, zeros;
    };
    std::vector<Stretch> stretches;
    const std::uint32_t points = smpl_.size / 2;
    const bool lowBytes = sm24_.size >= points;
    std::uint32_t to = 0;
    for (std::size_t old : sampleOrder) {
        const std::uint8_t* s = sampleHeaders.at(old);
        out[kShdr].insert(out[kShdr].end(), s, s + sampleHeaders.size);
        std::uint8_t* r = &out[kShdr][out[kShdr].size() - shdr::kSize];
        const auto link = samples.find(get16(s + shdr::wSampleLink));
        set16(r + shdr::wSampleLink, link != samples.end() ? std::uint32_t(link->second) : 0);
        if ((get16(s + shdr::sfSampleType) & kRomSample) != 0) {
            continue;  // lives in a sound card's memory, not in the file
        }
        const std::uint32_t start = get32(s + shdr::dwStart), end = get32(s + shdr::dwEnd);
        if (start > end || end > points) {
            failure = "a sample lies outside the bank's sample data";
            return std::nullopt;
        }
        const std::uint32_t copied = std::min(end + kGuardPoints, points) - start;
        stretches.push_back({start, copied, end + kGuardPoints - start - copied});
        for (std::size_t field : {shdr::dwStart, shdr::dwEnd, shdr::dwStartloop, shdr::dwEndloop}) {
            const std::int64_t moved = std::int64_t(get32(s + field)) - start + to;
            set32(r + field, std::uint32_t(std::clamp<std::int64_t>(moved, 0, 0xFFFFFFFF)));
        }
        to += end + kGuardPoints - start;
    }
    out[kShdr].insert(out[kShdr].end(), sampleHeaders.at(sampleHeaders.count - 1),
                      sampleHeaders.at(sampleHeaders.count - 1) + sampleHeaders.size);

    Bytes hydra;
    putId(hydra, "LIST");
    put32(hydra, 0);
    putId(hydra, "pdta");
    for (std::size_t i = 0; i < kLists.size(); ++i) {
        putChunk(hydra, kLists[i].first, out[i]);
    }
    set32(&hydra[4], std::uint32_t(hydra.size() - 8));
    const std::uint32_t infoSize = info_.size + info_.size % 2;
    const std::uint32_t smplSize = 2 * to;
    const std::uint32_t sm24Size = lowBytes ? to + to % 2 : 0;
    const std::uint32_t sdtaSize = 4 + 8 + smplSize + (lowBytes ? 8 + sm24Size : 0);

    BankImage image;
    image.fd_ = fd_;
    Bytes head;
    putId(head, "RIFF");
    put32(head, 4 + 12 + infoSize + 8 + sdtaSize + std::uint32_t(hydra.size()));
    putId(head, "sfbk");
    putId(head, "LIST");
    put32(head, 4 + infoSize);
    putId(head, "INFO");
    image.add(std::move(head));
    image.add(info_.offset, info_.size);
    image.add(Bytes(info_.size % 2));
    head.clear();
    putId(head, "LIST");
    put32(head, sdtaSize);
    putId(head, "sdta");
    putId(head, "smpl");
    put32(head, smplSize);
    image.add(std::move(head));
    for (const Stretch& st : stretches) {
        image.add(smpl_.offset + 2 * st.start, 2 * st.copied);
        image.add(Bytes(2 * st.zeros));
    }
    if (lowBytes) {
        head.clear();
        putId(head, "sm24");
        put32(head, to);
        image.add(std::move(head));
        for (const Stretch& st : stretches) {
            image.add(sm24_.offset + st.start, st.copied);
            image.add(Bytes(st.zeros));
        }
        image.add(Bytes(to % 2));
    }
    image.add(std::move(hydra));
    return image;
}

void BankImage::add(Bytes bytes) {
    if (!bytes.empty()) {
        const std::size_t size = bytes.size();
        pieces_.push_back({size_, size, std::move(bytes), -1});
        size_ += size;
    }
}

void BankImage::add(std::uint32_t from, std::uint32_t size) {
    if (size > 0) {
        pieces_.push_back({size_, size, {}, off_t(from)});
        size_ += size;
    }
}

bool BankImage::read(std::size_t at, std::span<std::uint8_t> out) const {
    if (at > size_ || out.size() > size_ - at) {
        return false;
    }
    if (out.empty()) {
        return true;
    }
    // The last piece that starts at or before `at`.
    auto piece =
        std::prev(std::upper_bound(pieces_.begin(), pieces_.end(), at,
                                   [](std::size_t a, const Piece& p) { return a < p.at; }));
    for (; !out.empty(); ++piece) {
        const std::size_t skip = at - piece->at;
        const std::size_t n = std::min(out.size(), piece->size - skip);
        if (piece->from < 0) {
            std::copy_n(piece->bytes.begin() + long(skip), n, out.begin());
        } else if (!readAll(fd_, off_t(piece->from + off_t(skip)), out.first(n))) {
            return false;
        }
        out = out.subspan(n);
        at += n;
    }
    return true;
}

}  // namespace kalvex
