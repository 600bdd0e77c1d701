// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/fluidoutput.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <mutex>
#include <thread>

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

// A sequencer timer's data: the index of the first event of a group, or the
// end of the song.
constexpr std::uintptr_t kEndOfSong = std::numeric_limits<std::uintptr_t>::max();

class FluidOutput final : public SongOutput {
public:
    explicit FluidOutput(Ended ended) : ended_(std::move(ended)) {}

    ~FluidOutput() override {
        // The driver first: once it is gone the audio thread has stopped and
        // no sequencer callback can run.
        if (driver_ != nullptr) {
            delete_fluid_audio_driver(driver_);
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

    // Setting up the synthesiser and reading the sound bank cost about a
    // tenth of a second of CPU; at the lowest priority they leave the cores
    // to the window's first frames. That runs on a thread of its own because
    // the audio thread, started afterwards, must not inherit the priority.
    bool open(const FluidOutputSettings& s, std::string& failure) {
        quietLibraries();
        bool ready = false;
        std::thread([&] {
            setpriority(PRIO_PROCESS, gettid(), 19);
            ready = createSynth(s, failure);
        }).join();
        return ready && openDriver(s, failure);
    }

private:
    bool createSynth(const FluidOutputSettings& s, std::string& failure) {
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.gain", 0.4);
        fluid_settings_setint(settings_, "synth.lock-memory", 0);
        // The loop never sounds more than a few dozen voices; 256 only cost memory.
        fluid_settings_setint(settings_, "synth.polyphony", 64);
        for (const auto& [name, value] : s.extra) {
            fluid_settings_setstr(settings_, name.c_str(), value.c_str());
        }
        synth_ = new_fluid_synth(settings_);
        if (synth_ == nullptr) {
            failure = "the synthesiser could not be set up";
            return false;
        }
        if (fluid_synth_sfload(synth_, s.soundFont.c_str(), 1) == FLUID_FAILED) {
            failure = "the sound bank " + s.soundFont + " could not be loaded";
            return false;
        }
        // Driven by the synthesiser's sample clock, so times are audio times.
        sequencer_ = new_fluid_sequencer2(0);
        fluid_sequencer_register_fluidsynth(sequencer_, synth_);
        client_ = fluid_sequencer_register_client(sequencer_, "kalvex", onEvent, this);
        return true;
    }

    bool openDriver(const FluidOutputSettings& s, std::string& failure) {
        std::string tried;
        for (const std::string& driver : s.drivers) {
            fluid_settings_setstr(settings_, "audio.driver", driver.c_str());
            driver_ = new_fluid_audio_driver(settings_, synth_);
            if (driver_ != nullptr) {
                return true;
            }
            tried += (tried.empty() ? "" : ", ") + driver;
        }
        failure = "no audio output could be opened (tried " + tried + ")";
        return false;
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
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_sequencer_t* sequencer_ = nullptr;
    fluid_seq_id_t client_ = -1;
    fluid_audio_driver_t* driver_ = nullptr;
    // Written on the GUI thread only while nothing of ours is queued in the
    // sequencer; its lock orders the writes before the callbacks' reads.
    std::shared_ptr<const MidiSong> song_;
    unsigned tag_ = 0;
};

}  // namespace

SongOutputFactory fluidOutput(FluidOutputSettings settings) {
    return [settings = std::move(settings)](SongOutput::Ended ended,
                                            std::string& failure) -> std::unique_ptr<SongOutput> {
        auto output = std::make_unique<FluidOutput>(std::move(ended));
        if (!output->open(settings, failure)) {
            return nullptr;
        }
        return output;
    };
}

}  // namespace kalvex
