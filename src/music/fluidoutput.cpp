// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/fluidoutput.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "music/soundbank.h"

namespace kalvex {
namespace {

// FluidSynth and ALSA report every device that fails to open on stderr,
// several lines each; the music player says in one line why there is no music.
void ignoreFluid(int, const char*, void*) {}
void ignoreAlsa(const char*, int, const char*, int, const char*, ...) {}

void quietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
            fluid_set_log_function(level, ignoreFluid, nullptr);
        }
        snd_lib_error_set_handler(ignoreAlsa);
    });
}

// Setting up the synthesiser and reading samples cost tens of milliseconds
// of CPU; at the lowest priority they leave the cores to the window. On a
// thread of its own, so that the output thread started later does not
// inherit the priority.
template <class F>
void atLowPriority(F f) {
    std::thread([&] {
        setpriority(PRIO_PROCESS, gettid(), 19);
        f();
    }).join();
}

// Banks handed to FluidSynth under names no file has. With dynamic sample
// loading it reads a preset's samples when the preset is first selected, so
// a bank stays here as long as the synthesiser holds it.
class MemoryBanks {
public:
    using Bank = std::shared_ptr<const BankImage>;

    static std::string add(Bank bank) {
        std::lock_guard lock(mutex());
        const std::string name = "kalvex:song-bank/" + std::to_string(++counter());
        banks()[name] = std::move(bank);
        return name;
    }
    static void remove(const std::string& name) {
        std::lock_guard lock(mutex());
        banks().erase(name);
    }

    static void* open(const char* name) {
        std::lock_guard lock(mutex());
        const auto it = banks().find(name);
        return it == banks().end() ? nullptr : new Reader{it->second, 0};
    }
    static int read(void* buffer, fluid_long_long_t count, void* handle) {
        auto* r = static_cast<Reader*>(handle);
        if (count < 0 ||
            !r->bank->read(r->at, {static_cast<std::uint8_t*>(buffer), std::size_t(count)})) {
            return FLUID_FAILED;
        }
        r->at += std::size_t(count);
        return FLUID_OK;
    }
    static int seek(void* handle, fluid_long_long_t offset, int origin) {
        auto* r = static_cast<Reader*>(handle);
        const fluid_long_long_t base = origin == SEEK_SET   ? 0
                                       : origin == SEEK_CUR ? fluid_long_long_t(r->at)
                                                            : fluid_long_long_t(r->bank->size());
        if (base + offset < 0 || std::size_t(base + offset) > r->bank->size()) {
            return FLUID_FAILED;
        }
        r->at = std::size_t(base + offset);
        return FLUID_OK;
    }
    static fluid_long_long_t tell(void* handle) {
        return fluid_long_long_t(static_cast<Reader*>(handle)->at);
    }
    static int close(void* handle) {
        delete static_cast<Reader*>(handle);
        return FLUID_OK;
    }

private:
    struct Reader {
        Bank bank;
        std::size_t at;
    };
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static std::map<std::string, Bank>& banks() {
        static std::map<std::string, Bank> b;
        return b;
    }
    static unsigned& counter() {
        static unsigned c = 0;
        return c;
    }
};

// FluidSynth's drum channel: its program changes pick drum kits.
constexpr int kDrumChannel = 9;

// How long the output waits between attempts to find an audio output.
constexpr auto kRetry = std::chrono::seconds(1);

// A sequencer timer's data: the index of the first event of a group, or the
// end of the song.
constexpr std::uintptr_t kEndOfSong = std::numeric_limits<std::uintptr_t>::max();

class FluidOutput final : public SongOutput {
public:
    FluidOutput(Ended ended, Trouble trouble, FluidOutputSettings s)
        : ended_(std::move(ended)), trouble_(std::move(trouble)), s_(std::move(s)) {}

    ~FluidOutput() override {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
            if (pulse_ != nullptr) {
                pulse_->wake();
            }
        }
        wakeUp_.notify_all();
        // Once the output thread is gone no sequencer callback can run.
        if (thread_.joinable()) {
            thread_.join();
        }
        if (sequencer_ != nullptr) {
            delete_fluid_sequencer(sequencer_);
        }
        if (synth_ != nullptr) {
            delete_fluid_synth(synth_);
        }
        if (settings_ != nullptr) {
            delete_fluid_settings(settings_);
        }
        MemoryBanks::remove(font_.name);
    }

    bool create(std::string& failure) {
        quietLibraries();
        bool created = false;
        atLowPriority([&] { created = createSynth(failure); });
        return created;
    }

    // Gives the synthesiser a bank cut down to the song's instruments, their
    // samples read now, so that no sample is read on the audio thread and no
    // other instrument takes memory.
    void prepare(const MidiSong& song) override {
        // The loop prepares the same song again and again: then there is
        // nothing to do, and no reason to wait for a low-priority thread.
        std::vector<MidiEvent> selections;
        std::array<bool, 16> sounded{};
        for (const MidiEvent& e : song.events) {
            const bool firstNote =
                e.kind() == 0x90 && e.data2 > 0 && !sounded[std::size_t(e.channel())];
            if (firstNote || e.kind() == 0xC0 ||
                (e.kind() == 0xB0 && (e.data1 == 0 || e.data1 == 32))) {
                selections.push_back({0, e.status, firstNote ? std::uint8_t(0) : e.data1, e.data2});
            }
            if (firstNote) {
                sounded[std::size_t(e.channel())] = true;
            }
        }
        if (thread_.joinable() && sameSelections(selections, prepared_)) {
            return;
        }
        prepared_ = std::move(selections);
        atLowPriority([&] { loadSongsBank(); });
        if (!thread_.joinable()) {
            thread_ = std::thread([this] { findOutputs(); });
        }
    }

    void play(std::shared_ptr<const MidiSong> song, unsigned tag) override {
        stop();
        song_ = std::move(song);
        tag_ = tag;
        // Events that share a millisecond go out in one timer callback, in
        // the file's order: the sequencer keeps no order among equal times.
        const unsigned now = fluid_sequencer_get_tick(sequencer_);
        fluid_event_t* timer = new_fluid_event();
        fluid_event_set_source(timer, -1);
        fluid_event_set_dest(timer, client_);
        const auto& events = song_->events;
        long long previous = -1;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const long long at = std::llround(events[i].ms);
            if (at != previous) {
                fluid_event_timer(timer, reinterpret_cast<void*>(std::uintptr_t(i)));
                fluid_sequencer_send_at(sequencer_, timer, now + unsigned(at), 1);
                previous = at;
            }
        }
        fluid_event_timer(timer, reinterpret_cast<void*>(kEndOfSong));
        fluid_sequencer_send_at(sequencer_, timer, now + unsigned(std::llround(song_->lengthMs)),
                                1);
        delete_fluid_event(timer);
    }

    void stop() override {
        // Removing takes the sequencer's lock, which it holds while it calls
        // back: afterwards no callback of ours runs or waits.
        fluid_sequencer_remove_events(sequencer_, -1, client_, -1);
        for (int channel = 0; channel < 16; ++channel) {
            fluid_synth_cc(synth_, channel, 121, 0);  // reset controllers, sustain pedal included
        }
        fluid_synth_all_notes_off(synth_, -1);
        song_.reset();
    }

private:
    static bool sameSelections(const std::vector<MidiEvent>& a, const std::vector<MidiEvent>& b) {
        return std::equal(
            a.begin(), a.end(), b.begin(), b.end(), [](const MidiEvent& x, const MidiEvent& y) {
                return x.status == y.status && x.data1 == y.data1 && x.data2 == y.data2;
            });
    }

    bool createSynth(std::string& failure) {
        bank_ = SoundBank::open(s_.soundFont, failure);
        if (!bank_) {
            failure = "the sound bank " + s_.soundFont + " could not be loaded: " + failure;
            return false;
        }
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.gain", 0.4);
        fluid_settings_setint(settings_, "synth.lock-memory", 0);
        // FluidSynth renders samples loaded one by one slightly differently
        // from a bank read whole: this keeps the music as it always sounded.
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        // The loop never sounds more than a few dozen voices; 256 only cost memory.
        fluid_settings_setint(settings_, "synth.polyphony", 64);
        for (const auto& [name, value] : s_.extra) {
            fluid_settings_setstr(settings_, name.c_str(), value.c_str());
        }
        synth_ = new_fluid_synth(settings_);
        if (synth_ == nullptr) {
            failure = "the synthesiser could not be set up";
            return false;
        }
        fluid_sfloader_t* loader = new_fluid_defsfloader(settings_);
        if (loader == nullptr) {
            failure = "the synthesiser could not be set up";
            return false;
        }
        fluid_sfloader_set_callbacks(loader, MemoryBanks::open, MemoryBanks::read,
                                     MemoryBanks::seek, MemoryBanks::tell, MemoryBanks::close);
        fluid_synth_add_sfloader(synth_, loader);
        // Driven by the synthesiser's sample clock, so times are audio times.
        sequencer_ = new_fluid_sequencer2(0);
        fluid_sequencer_register_fluidsynth(sequencer_, synth_);
        client_ = fluid_sequencer_register_client(sequencer_, "kalvex", onEvent, this);
        return true;
    }

    // Asks the synthesiser which bank and program each of the song's
    // selections wants (its rules for bank select), cuts those presets, or
    // what it falls back to, out of the sound bank, and swaps that bank in.
    void loadSongsBank() {
        std::vector<SoundBank::Preset> keep;
        std::array<bool, 16> chosen{};
        for (const MidiEvent& e : prepared_) {
            const int ch = e.channel();
            if (e.kind() == 0xB0) {
                fluid_synth_cc(synth_, ch, e.data1, e.data2);
                continue;
            }
            if (e.kind() == 0x90 && chosen[std::size_t(ch)]) {
                continue;
            }
            fluid_synth_program_change(synth_, ch, e.data1);  // 0 for a first note: the default
            chosen[std::size_t(ch)] = true;
            int font = 0, bank = 0, program = 0;
            fluid_synth_get_program(synth_, ch, &font, &bank, &program);
            if (auto p = bank_->resolve({bank, program}, ch == kDrumChannel)) {
                keep.push_back(*p);
            }
        }
        if (keep.empty()) {
            return;  // a song of rests needs no instrument
        }
        std::string why;
        auto image = bank_->cut(keep, why);
        std::string name;
        int id = FLUID_FAILED;
        if (image) {
            name = MemoryBanks::add(std::make_shared<const BankImage>(std::move(*image)));
            id = fluid_synth_sfload(synth_, name.c_str(), 0);
            why = "FluidSynth refused it";
        }
        if (id == FLUID_FAILED) {
            MemoryBanks::remove(name);
            prepared_.clear();  // the next prepare tries again
            if (trouble_) {
                trouble_("the sound bank " + s_.soundFont + " could not be loaded: " + why);
            }
            return;
        }
        // The samples are read now, and pinned presets keep them.
        for (const SoundBank::Preset& p : keep) {
            fluid_synth_pin_preset(synth_, id, p.bank, p.program);
        }
        // Channels still on the last song's bank choose again from this one.
        if (font_.id != FLUID_FAILED) {
            for (const SoundBank::Preset& p : font_.presets) {
                fluid_synth_unpin_preset(synth_, font_.id, p.bank, p.program);
            }
            fluid_synth_sfunload(synth_, font_.id, 1);
            MemoryBanks::remove(font_.name);
        }
        font_ = {id, std::move(name), std::move(keep)};
    }

    // The output thread. While no output plays, the synthesiser is not run,
    // so the song waits where it stands and goes on when one is found.
    void findOutputs() {
        bool told = false;
        auto tell = [&](const std::string& why) {
            if (!told && trouble_) {
                trouble_(why);
            }
            told = true;
        };
        while (!quit_) {
            std::string tried;
            for (const std::string& driver : s_.drivers) {
                if (quit_) {
                    return;
                }
                if (driver == "pulseaudio") {
                    const Lost lost = playOnSoundServer();
                    if (lost == Lost::Quit) {
                        return;
                    }
                    if (lost == Lost::Dropped) {
                        tell("the sound server went away; the music comes back with it");
                        tried.clear();
                        break;
                    }
                } else if (playOnFluidDriver(driver)) {
                    return;
                }
                tried += (tried.empty() ? "" : ", ") + driver;
            }
            if (!tried.empty()) {
                tell("no audio output could be opened (tried " + tried + "); trying again");
            }
            std::unique_lock lock(mutex_);
            wakeUp_.wait_for(lock, kRetry, [this] { return bool(quit_); });
        }
    }

    enum class Lost { NeverOpened, Dropped, Quit };

    Lost playOnSoundServer() {
        PulseStream stream;
        {
            std::lock_guard lock(mutex_);
            if (quit_) {
                return Lost::Quit;
            }
            pulse_ = &stream;
        }
        Lost result = Lost::NeverOpened;
        if (stream.open(s_.names, quit_)) {
            const bool quit = stream.feed(
                [this](float* samples, int frames) {
                    fluid_synth_write_float(synth_, frames, samples, 0, 2, samples, 1, 2);
                },
                quit_);
            result = quit ? Lost::Quit : Lost::Dropped;
        }
        std::lock_guard lock(mutex_);
        pulse_ = nullptr;
        return quit_ ? Lost::Quit : result;
    }

    // FluidSynth's own drivers run on a thread of theirs and do not say when
    // their device goes away: once one opens, it is kept until the end.
    bool playOnFluidDriver(const std::string& name) {
        fluid_settings_setstr(settings_, "audio.driver", name.c_str());
        fluid_audio_driver_t* driver = new_fluid_audio_driver(settings_, synth_);
        if (driver == nullptr) {
            return false;
        }
        {
            std::unique_lock lock(mutex_);
            wakeUp_.wait(lock, [this] { return bool(quit_); });
        }
        delete_fluid_audio_driver(driver);
        return true;
    }

    // On the audio thread, from inside the sequencer.
    static void onEvent(unsigned int, fluid_event_t* event, fluid_sequencer_t*, void* data) {
        if (fluid_event_get_type(event) != FLUID_SEQ_TIMER) {
            return;
        }
        auto* self = static_cast<FluidOutput*>(data);
        const auto index = reinterpret_cast<std::uintptr_t>(fluid_event_get_data(event));
        if (index == kEndOfSong) {
            self->ended_(self->tag_);
        } else {
            self->sendGroup(std::size_t(index));
        }
    }

    void sendGroup(std::size_t first) {
        const auto& events = song_->events;
        const long long at = std::llround(events[first].ms);
        for (std::size_t i = first; i < events.size() && std::llround(events[i].ms) == at; ++i) {
            send(events[i]);
        }
    }

    void send(const MidiEvent& e) {
        const int ch = e.channel();
        switch (e.kind()) {
            case 0x80:
                fluid_synth_noteoff(synth_, ch, e.data1);
                break;
            case 0x90:
                if (e.data2 == 0) {
                    fluid_synth_noteoff(synth_, ch, e.data1);
                } else {
                    fluid_synth_noteon(synth_, ch, e.data1, e.data2);
                }
                break;
            case 0xA0:
                fluid_synth_key_pressure(synth_, ch, e.data1, e.data2);
                break;
            case 0xB0:
                fluid_synth_cc(synth_, ch, e.data1, e.data2);
                break;
            case 0xC0:
                fluid_synth_program_change(synth_, ch, e.data1);
                break;
            case 0xD0:
                fluid_synth_channel_pressure(synth_, ch, e.data1);
                break;
            case 0xE0:
                fluid_synth_pitch_bend(synth_, ch, e.data1 | (e.data2 << 7));
                break;
            default:
                break;
        }
    }

    Ended ended_;
    Trouble trouble_;
    const FluidOutputSettings s_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_sequencer_t* sequencer_ = nullptr;
    fluid_seq_id_t client_ = -1;
    // Written on the GUI thread only while nothing of ours is queued in the
    // sequencer; its lock orders the writes before the callbacks' reads.
    std::shared_ptr<const MidiSong> song_;
    unsigned tag_ = 0;

    std::unique_ptr<SoundBank> bank_;
    struct {
        int id = FLUID_FAILED;
        std::string name;  // under which FluidSynth reads it again
        std::vector<SoundBank::Preset> presets;
    } font_;                           // the song's bank in the synthesiser
    std::vector<MidiEvent> prepared_;  // what the last song prepared selects, in order
    std::thread thread_;               // finds and feeds the audio output
    std::mutex mutex_;
    std::condition_variable wakeUp_;
    std::atomic<bool> quit_ = false;
    PulseStream* pulse_ = nullptr;  // the stream being opened or fed, to wake it
};

}  // namespace

SongOutputFactory fluidOutput(FluidOutputSettings settings) {
    return [settings = std::move(settings)](SongOutput::Ended ended, SongOutput::Trouble trouble,
                                            std::string& failure) -> std::unique_ptr<SongOutput> {
        auto output = std::make_unique<FluidOutput>(std::move(ended), std::move(trouble), settings);
        if (!output->create(failure)) {
            return nullptr;
        }
        return output;
    };
}

}  // namespace kalvex
