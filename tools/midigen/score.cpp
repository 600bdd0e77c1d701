// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "score.h"

#include <charconv>
#include <map>
#include <sstream>

namespace midigen {
namespace {

// General MIDI percussion keys, by the short names the scores use.
const std::map<std::string, int, std::less<>> kDrums = {
    {"kick", 36},  {"stick", 37}, {"snare", 38}, {"clap", 39},    {"tomlo", 45},
    {"chat", 42},  {"phat", 44},  {"ohat", 46},  {"tommid", 47},  {"tomhi", 50},
    {"crash", 49}, {"ride", 51},  {"tamb", 54},  {"cowbell", 56}, {"claves", 75},
};

// A phrase before it is placed in a part: velocity 0 means the part's own.
struct Phrase {
    std::vector<Note> notes;
    std::uint32_t length = 0;
};

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Score run() {
        std::size_t start = 0;
        while (start <= text_.size()) {
            std::size_t end = text_.find('\n', start);
            if (end == std::string_view::npos) {
                end = text_.size();
            }
            ++line_;
            statement(strip(text_.substr(start, end - start)));
            start = end + 1;
        }
        if (inDefine_) {
            fail("define " + defineName_ + " has no end");
        }
        finishPart();
        if (score_.parts.empty()) {
            fail("the score has no part");
        }
        return std::move(score_);
    }

private:
    [[noreturn]] void fail(const std::string& message) const { failAt(line_, message); }

    [[noreturn]] static void failAt(int line, const std::string& message) {
        throw ScoreError("line " + std::to_string(line) + ": " + message);
    }

    static std::string_view strip(std::string_view s) {
        // A comment starts with a word that starts with '#'; F#4 is a note.
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] == '#' && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t')) {
                s = s.substr(0, i);
                break;
            }
        }
        const auto first = s.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) {
            return {};
        }
        const auto last = s.find_last_not_of(" \t\r");
        return s.substr(first, last - first + 1);
    }

    static std::vector<std::string> words(std::string_view s) {
        std::istringstream in{std::string(s)};
        std::vector<std::string> out;
        for (std::string w; in >> w;) {
            out.push_back(w);
        }
        return out;
    }

    int number(std::string_view s, int low, int high, const char* what) const {
        int value = 0;
        const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
        if (error != std::errc() || end != s.data() + s.size() || value < low || value > high) {
            fail(std::string(what) + " must be a number from " + std::to_string(low) + " to " +
                 std::to_string(high) + ", not '" + std::string(s) + "'");
        }
        return value;
    }

    void statement(std::string_view s) {
        if (s.empty()) {
            return;
        }
        if (s.front() == '|') {
            bars(s, inDefine_ ? define_ : current());
            return;
        }
        const auto w = words(s);
        const std::string& keyword = w[0];
        if (keyword == "title") {
            score_.title = std::string(strip(s.substr(5)));
        } else if (keyword == "tempo" && w.size() == 2) {
            score_.tempo = number(w[1], 20, 960, "tempo");
        } else if (keyword == "define" && w.size() == 2 && !inDefine_) {
            inDefine_ = true;
            defineName_ = w[1];
            define_ = {};
            defineState_ = {};
        } else if (keyword == "end" && w.size() == 1 && inDefine_) {
            inDefine_ = false;
            if (!defines_.emplace(defineName_, define_).second) {
                fail("define " + defineName_ + " is given twice");
            }
        } else if (keyword == "part" && w.size() >= 2 && !inDefine_) {
            finishPart();
            part(w);
        } else if (keyword == "use" && (w.size() == 2 || w.size() == 3)) {
            use(w);
        } else {
            fail("cannot read '" + std::string(s) + "'");
        }
    }

    void part(const std::vector<std::string>& w) {
        Part p;
        p.name = w[1];
        bool hasChannel = false;
        bool hasProgram = false;
        for (std::size_t i = 2; i < w.size(); ++i) {
            const auto eq = w[i].find('=');
            if (eq == std::string::npos) {
                fail("part attribute '" + w[i] + "' needs a value");
            }
            const std::string key = w[i].substr(0, eq);
            const std::string_view value = std::string_view(w[i]).substr(eq + 1);
            if (key == "channel") {
                p.channel = number(value, 1, 16, "channel") - 1;
                hasChannel = true;
            } else if (key == "program") {
                p.program = number(value, 1, 128, "program") - 1;
                hasProgram = true;
            } else if (key == "volume") {
                p.volume = number(value, 0, 127, "volume");
            } else if (key == "pan") {
                p.pan = number(value, 0, 127, "pan");
            } else if (key == "reverb") {
                p.reverb = number(value, 0, 127, "reverb");
            } else if (key == "gate") {
                p.gate = number(value, 1, 100, "gate");
            } else if (key == "velocity") {
                partVelocity_ = number(value, 1, 127, "velocity");
            } else {
                fail("unknown part attribute '" + key + "'");
            }
        }
        if (!hasChannel || !hasProgram) {
            fail("part " + p.name + " needs a channel and a program");
        }
        score_.parts.push_back(std::move(p));
        phrase_ = {};
        partState_ = {};
        inPart_ = true;
        partLine_ = line_;
    }

    Phrase& current() {
        if (!inPart_) {
            fail("notes outside a part or a define");
        }
        return phrase_;
    }

    void use(const std::vector<std::string>& w) {
        const auto found = defines_.find(w[1]);
        if (found == defines_.end()) {
            fail("no define named " + w[1]);
        }
        int times = 1;
        if (w.size() == 3) {
            if (w[2].size() < 2 || w[2][0] != 'x') {
                fail("repeat count must look like x2");
            }
            times = number(std::string_view(w[2]).substr(1), 1, 64, "repeat count");
        }
        Phrase& target = inDefine_ ? define_ : current();
        for (int i = 0; i < times; ++i) {
            for (Note n : found->second.notes) {
                n.tick += target.length;
                target.notes.push_back(n);
            }
            target.length += found->second.length;
        }
    }

    // The note length carries over from one token to the next, as in most
    // note-list languages; it starts as a quarter note.
    struct LengthState {
        std::uint32_t length = Score::kDivision;
    };

    void bars(std::string_view s, Phrase& target) {
        LengthState& state = inDefine_ ? defineState_ : partState_;
        std::size_t pos = 0;
        while (pos < s.size()) {
            std::size_t bar = s.find('|', pos);
            if (bar == std::string_view::npos) {
                bar = s.size();
            }
            const auto tokens = words(s.substr(pos, bar - pos));
            if (!tokens.empty()) {
                std::uint32_t at = 0;
                for (const auto& token : tokens) {
                    at += note(token, target, target.length + at, state);
                }
                if (at != Score::kBar) {
                    fail("a bar holds " + std::to_string(at) + " ticks instead of " +
                         std::to_string(Score::kBar));
                }
                target.length += Score::kBar;
            }
            pos = bar + 1;
        }
    }

    // Reads "C5", "F#3@90", "kick+chat@70/8.", "r/2" and adds its notes at
    // `tick`. Returns the token's length in ticks.
    std::uint32_t note(const std::string& token, Phrase& target, std::uint32_t tick,
                       LengthState& state) {
        std::string_view pitches = token;
        if (const auto slash = token.find('/'); slash != std::string::npos) {
            pitches = std::string_view(token).substr(0, slash);
            std::string_view len = std::string_view(token).substr(slash + 1);
            bool dotted = false;
            if (!len.empty() && len.back() == '.') {
                dotted = true;
                len.remove_suffix(1);
            }
            const int denominator = number(len, 1, 32, "note length");
            if ((Score::kBar % denominator) != 0 || (denominator & (denominator - 1)) != 0) {
                fail("note length must be 1, 2, 4, 8, 16 or 32");
            }
            state.length = Score::kBar / denominator;
            if (dotted) {
                state.length += state.length / 2;
            }
        }
        if (pitches == "r") {
            return state.length;
        }
        std::size_t start = 0;
        while (start <= pitches.size()) {
            std::size_t plus = pitches.find('+', start);
            if (plus == std::string_view::npos) {
                plus = pitches.size();
            }
            std::string_view one = pitches.substr(start, plus - start);
            int velocity = 0;
            if (const auto at = one.find('@'); at != std::string_view::npos) {
                velocity = number(one.substr(at + 1), 1, 127, "velocity");
                one = one.substr(0, at);
            }
            target.notes.push_back({tick, state.length, key(one), std::uint8_t(velocity)});
            start = plus + 1;
        }
        return state.length;
    }

    std::uint8_t key(std::string_view name) const {
        if (const auto drum = kDrums.find(name); drum != kDrums.end()) {
            return std::uint8_t(drum->second);
        }
        static constexpr int kSteps[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
        if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
            // Built by appending: GCC 12 at -O3 warns falsely on "'" + std::string(...).
            std::string message = "'";
            message.append(name).append("' is neither a note nor a drum");
            fail(message);
        }
        int semitone = kSteps[name[0] - 'A'];
        std::size_t i = 1;
        if (name[i] == '#') {
            ++semitone;
            ++i;
        } else if (name[i] == 'b') {
            --semitone;
            ++i;
        }
        const int octave = number(name.substr(i), -1, 9, "octave");
        const int value = (octave + 1) * 12 + semitone;
        if (value < 0 || value > 127) {
            fail("note " + std::string(name) + " is outside MIDI's range");
        }
        return std::uint8_t(value);
    }

    void finishPart() {
        if (!inPart_) {
            return;
        }
        Part& p = score_.parts.back();
        for (Note n : phrase_.notes) {
            if (n.velocity == 0) {
                n.velocity = std::uint8_t(partVelocity_);
            }
            p.notes.push_back(n);
        }
        if (score_.parts.size() == 1) {
            score_.length = phrase_.length;
        } else if (phrase_.length != score_.length) {
            failAt(partLine_,
                   "part " + p.name + " lasts " + std::to_string(phrase_.length / Score::kBar) +
                       " bars, the first part " + std::to_string(score_.length / Score::kBar));
        }
        if (phrase_.length == 0) {
            failAt(partLine_, "part " + p.name + " has no bars");
        }
        inPart_ = false;
        partVelocity_ = kDefaultVelocity;
    }

    static constexpr int kDefaultVelocity = 96;

    std::string_view text_;
    int line_ = 0;
    Score score_;
    std::map<std::string, Phrase, std::less<>> defines_;
    bool inDefine_ = false;
    std::string defineName_;
    Phrase define_;
    LengthState defineState_;
    bool inPart_ = false;
    int partLine_ = 0;
    Phrase phrase_;
    LengthState partState_;
    int partVelocity_ = kDefaultVelocity;
};

}  // namespace

Score parseScore(std::string_view text) {
    return Parser(text).run();
}

}  // namespace midigen
