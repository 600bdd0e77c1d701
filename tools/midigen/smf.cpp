// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "smf.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace midigen {
namespace {

struct Event {
    std::uint32_t tick;
    int order;  // at one tick: note-offs, then set-up, then note-ons
    std::vector<std::uint8_t> bytes;
};

class Track {
public:
    void add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes) {
        events_.push_back({tick, order, std::move(bytes)});
    }

    void meta(std::uint32_t tick, std::uint8_t type, const std::vector<std::uint8_t>& data) {
        std::vector<std::uint8_t> bytes{0xFF, type};
        appendNumber(bytes, std::uint32_t(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        add(tick, 1, std::move(bytes));
    }

    void name(const std::string& text) { meta(0, 0x03, {text.begin(), text.end()}); }

    // The chunk, ending with End of Track at `length`.
    std::vector<std::uint8_t> chunk(std::uint32_t length) {
        std::stable_sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
            return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
        });
        std::vector<std::uint8_t> body;
        std::uint32_t now = 0;
        for (const Event& e : events_) {
            appendNumber(body, e.tick - now);
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
            now = e.tick;
        }
        appendNumber(body, length - now);
        body.insert(body.end(), {0xFF, 0x2F, 0x00});

        std::vector<std::uint8_t> out{'M', 'T', 'r', 'k'};
        appendBig(out, std::uint32_t(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }

    // MIDI's variable-length quantity: seven bits a byte, high bit = more.
    static void appendNumber(std::vector<std::uint8_t>& out, std::uint32_t value) {
        std::uint8_t groups[5];
        int n = 0;
        do {
            groups[n++] = value & 0x7F;
            value >>= 7;
        } while (value != 0);
        while (n > 1) {
            out.push_back(groups[--n] | 0x80);
        }
        out.push_back(groups[0]);
    }

    static void appendBig(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) {
            out.push_back(std::uint8_t(value >> (8 * i)));
        }
    }

private:
    std::vector<Event> events_;
};

std::vector<std::uint8_t> partTrack(const Part& part, std::uint32_t length) {
    Track t;
    t.name(part.name);
    const std::uint8_t ch = std::uint8_t(part.channel);
    t.add(0, 1, {std::uint8_t(0xC0 | ch), std::uint8_t(part.program)});
    t.add(0, 1, {std::uint8_t(0xB0 | ch), 7, std::uint8_t(part.volume)});
    t.add(0, 1, {std::uint8_t(0xB0 | ch), 10, std::uint8_t(part.pan)});
    t.add(0, 1, {std::uint8_t(0xB0 | ch), 91, std::uint8_t(part.reverb)});
    for (const Note& n : part.notes) {
        const std::uint32_t sounding = std::max<std::uint32_t>(1, n.length * part.gate / 100);
        t.add(n.tick, 2, {std::uint8_t(0x90 | ch), n.key, n.velocity});
        t.add(n.tick + sounding, 0, {std::uint8_t(0x80 | ch), n.key, 64});
    }
    return t.chunk(length);
}

}  // namespace

std::vector<std::uint8_t> writeSmf(const Score& score) {
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    Track::appendBig(out, std::uint32_t(score.parts.size() + 1), 2);
    Track::appendBig(out, Score::kDivision, 2);

    Track conductor;
    conductor.name(score.title);
    conductor.meta(0, 0x58, {4, 2, 24, 8});  // 4/4, a click per quarter
    const auto microsPerQuarter = std::uint32_t(std::lround(60'000'000.0 / score.tempo));
    conductor.meta(0, 0x51,
                   {std::uint8_t(microsPerQuarter >> 16), std::uint8_t(microsPerQuarter >> 8),
                    std::uint8_t(microsPerQuarter)});
    const auto first = conductor.chunk(score.length);
    out.insert(out.end(), first.begin(), first.end());

    for (const Part& part : score.parts) {
        const auto track = partTrack(part, score.length);
        out.insert(out.end(), track.begin(), track.end());
    }
    return out;
}

}  // namespace midigen
