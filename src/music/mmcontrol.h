// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "music/midifile.h"
#include "music/songoutput.h"

class QObject;

namespace kalvex {

// The window's hidden music player. It is driven by numbered properties:
// 22 takes a file name, 23 a command word ("open", "play", "close") that is
// carried out when assigned. Notify is raised on the window's event thread
// when playback has finished.
//
// No command ever blocks or fails: the file is read and the synthesiser set
// up on threads of their own, a "play" given meanwhile plays once the song is
// ready, and when the file or the sound cannot be had the game goes on in
// silence after one line on stderr.
class MMControl {
public:
    static constexpr int kFileName = 22;
    static constexpr int kCommand = 23;
    // Notify's argument: playback reached the end of the file.
    static constexpr int kPlaybackEnded = 1;

    // Plays through FluidSynth on the machine's audio output.
    MMControl();
    // Plays through the given output; the factory runs off the GUI thread.
    explicit MMControl(SongOutputFactory openOutput);
    // Returns at once even while a read of the file hangs (a FIFO, a stalled
    // network mount): that thread is left to end on its own.
    ~MMControl();
    MMControl(const MMControl&) = delete;
    MMControl& operator=(const MMControl&) = delete;

    void SetProperty(int id, const QString& value);
    const QString& fileName() const { return fileName_; }

    std::function<void(int)> Notify;

private:
    struct Shared;

    void open();
    void play();
    void close();
    void songReady(unsigned opening, std::shared_ptr<const MidiSong> song,
                   std::shared_ptr<SongOutput> output, const QString& failure);
    void songEnded(unsigned tag);
    void sayWhyNoMusic(const QString& reason);

    QString fileName_;
    // Lives on the GUI thread; what other threads report is queued to it.
    std::unique_ptr<QObject> guiThread_;
    std::shared_ptr<Shared> shared_;  // with the threads that read and prepare
    std::shared_ptr<SongOutput> output_;
    std::shared_ptr<const MidiSong> song_;  // the open file, once read
    unsigned opening_ = 0;                  // tells the latest open's read from earlier ones
    bool reading_ = false;                  // the open file is still being read
    bool playWanted_ = false;               // "play" came while it was
    bool playing_ = false;
    unsigned tag_ = 0;  // tells this playback's end from an earlier one's
    QString lastReason_;
};

}  // namespace kalvex
