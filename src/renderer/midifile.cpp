// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "renderer/midifile.h"

#include <algorithm>

namespace kalvex {
namespace {

constexpr std::uint32_t kDefaultMicrosPerQuarter = 500'000;  // 120 beats a minute

struct TimedEvent {
    std::uint64_t tick;
    MidiEvent event;
};

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t microsPerQuarter;
};

// Reads big-endian numbers and variable-length quantities, and remembers the
// first fault instead of throwing.
class Bytes {
public:
    Bytes(std::span<const std::uint8_t> data, std::string& error) : data_(data), error_(error) {}

    bool ok() const { return error_.empty(); }
    bool atEnd() const { return pos_ >= data_.size(); }
    std::size_t left() const { return data_.size() - pos_; }

    std::uint32_t big(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 8) | byte();
        }
        return v;
    }

    std::uint8_t byte() {
        if (pos_ >= data_.size()) {
            fail("it ends in the middle of a track");
            return 0;
        }
        return data_[pos_++];
    }

    // A status byte where data belongs means the bytes have been damaged.
    std::uint8_t data() {
        const std::uint8_t b = byte();
        if (b & 0x80) {
            fail("a message is broken off by a status byte");
        }
        return b & 0x7F;
    }

    std::uint8_t peek() const { return pos_ < data_.size() ? data_[pos_] : 0; }

    // At most four bytes, as the format allows.
    std::uint32_t number() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = byte();
            v = (v << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return v;
            }
        }
        fail("a length or delta time runs over four bytes");
        return 0;
    }

    void skip(std::size_t n) {
        if (n > left()) {
            fail("it ends in the middle of a track");
            pos_ = data_.size();
            return;
        }
        pos_ += n;
    }

    Bytes sub(std::size_t n) {
        Bytes part(data_.subspan(pos_, std::min(n, left())), error_);
        skip(n);
        return part;
    }

    void fail(const char* why) {
        if (error_.empty()) {
            error_ = why;
        }
    }

private:
    std::span<const std::uint8_t> data_;
    std::string& error_;
    std::size_t pos_ = 0;
};

int dataBytes(std::uint8_t status) {
    const int kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Reads one MTrk chunk's events; returns the tick of its end.
std::uint64_t readTrack(Bytes track, std::vector<TimedEvent>& events,
                        std::vector<TempoChange>& tempi) {
    const auto full = [&] {
        if (events.size() + tempi.size() < kMostMidiEvents) {
            return false;
        }
        track.fail("it holds more events than a song needs");
        return true;
    };
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (track.ok() && !track.atEnd()) {
        tick += track.number();
        std::uint8_t status = track.peek();
        if (status < 0x80) {
            // Running status: the previous channel message's status repeats.
            if (running == 0) {
                track.fail("a message has no status byte");
                break;
            }
            status = running;
        } else {
            track.byte();
        }
        if (status == 0xFF) {
            const std::uint8_t type = track.byte();
            const std::uint32_t length = track.number();
            if (type == 0x2F) {
                return tick;  // End of Track; anything after it is not played
            }
            if (type == 0x51 && length == 3) {
                if (full()) {
                    break;
                }
                tempi.push_back({tick, track.big(3)});
            } else {
                track.skip(length);
            }
        } else if (status == 0xF0 || status == 0xF7) {
            track.skip(track.number());
        } else if (status >= 0xF0) {
            track.fail("it holds a system message that files may not carry");
        } else {
            if (full()) {
                break;
            }
            running = status;
            MidiEvent e;
            e.status = status;
            e.data1 = track.data();
            if (dataBytes(status) == 2) {
                e.data2 = track.data();
            }
            events.push_back({tick, e});
        }
    }
    return tick;  // a track without End of Track ends at its last event
}

}  // namespace

std::optional<MidiSong> readMidiFile(std::span<const std::uint8_t> bytes, std::string& error) {
    error.clear();
    Bytes file(bytes, error);
    if (bytes.size() < 14 || file.big(4) != 0x4D546864 /* MThd */) {
        error = "it does not start with a MIDI header";
        return std::nullopt;
    }
    const std::uint32_t headerLength = file.big(4);
    if (headerLength < 6) {
        error = "its header is too short";
        return std::nullopt;
    }
    if (headerLength > file.left()) {
        error = "its header is cut short";
        return std::nullopt;
    }
    Bytes header = file.sub(headerLength);
    MidiSong song;
    song.format = int(header.big(2));
    const int declaredTracks = int(header.big(2));
    const std::uint16_t division = std::uint16_t(header.big(2));
    if (song.format > 1) {
        error = "format " + std::to_string(song.format) + " files are not played";
        return std::nullopt;
    }
    if (division == 0 || declaredTracks == 0) {
        error = "its header is invalid";
        return std::nullopt;
    }

    std::vector<TimedEvent> events;
    std::vector<TempoChange> tempi;
    std::uint64_t endTick = 0;
    while (file.ok() && song.tracks < declaredTracks && file.left() >= 8) {
        const std::uint32_t type = file.big(4);
        const std::uint32_t length = file.big(4);
        if (length > file.left()) {
            error = "it is cut short";
            return std::nullopt;
        }
        Bytes chunk = file.sub(length);
        if (type != 0x4D54726B /* MTrk */) {
            continue;  // unknown chunks are skipped, as the format asks
        }
        endTick = std::max(endTick, readTrack(chunk, events, tempi));
        ++song.tracks;
    }
    if (!error.empty()) {
        return std::nullopt;
    }
    if (song.tracks < declaredTracks) {
        error = "it has " + std::to_string(song.tracks) + " of its " +
                std::to_string(declaredTracks) + " tracks";
        return std::nullopt;
    }

    // Merge the tracks: by tick, then track, then place in the track.
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
    std::stable_sort(tempi.begin(), tempi.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });

    // Ticks to milliseconds: a fixed rate for SMPTE time, else the tempo map.
    double msPerTickFixed = 0;
    if (division & 0x8000) {
        const int fps = -static_cast<std::int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        const double frames = fps == 29 ? 29.97 : fps;
        msPerTickFixed = 1000.0 / (frames * std::max(1, ticksPerFrame));
    }
    std::size_t nextTempo = 0;
    std::uint64_t segmentTick = 0;
    double segmentMs = 0;
    double microsPerQuarter = kDefaultMicrosPerQuarter;
    // Whole microseconds are multiplied out before dividing, so that even
    // tempos give exact milliseconds.
    const auto msAt = [&](std::uint64_t tick) {
        if (msPerTickFixed > 0) {
            return double(tick) * msPerTickFixed;
        }
        while (nextTempo < tempi.size() && tempi[nextTempo].tick <= tick) {
            segmentMs += double(tempi[nextTempo].tick - segmentTick) * microsPerQuarter /
                         (1000.0 * division);
            segmentTick = tempi[nextTempo].tick;
            microsPerQuarter = tempi[nextTempo].microsPerQuarter;
            ++nextTempo;
        }
        return segmentMs + double(tick - segmentTick) * microsPerQuarter / (1000.0 * division);
    };
    song.events.reserve(events.size());
    for (TimedEvent& t : events) {
        t.event.ms = msAt(t.tick);
        song.events.push_back(t.event);
    }
    song.lengthMs = msAt(endTick);
    if (song.lengthMs > kLongestSongMs) {
        error = "it lasts longer than a day";
        return std::nullopt;
    }
    return song;
}

}  // namespace kalvex
