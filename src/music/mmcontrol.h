// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <thread>

#include "music/midifile.h"
#include "music/songoutput.h"

class QObject;

namespace kalvex {

// The window's hidden music player. It is driven by numbered properties:
// 22 takes a file name, 23 a command word ("open", "play", "close") that is
// carried out when assigned. Notify is raised on the window's event thread
// when playback has finished.
//
// No command ever blocks or fails: the synthesiser starts on a thread of its
// own, and when the file or the sound cannot be had the game goes on in
// silence after one line on stderr.
class MMControl {
public:
    static constexpr int kFileName = 22;
    static constexpr int kCommand = 23;
    // Notify's argument: playback reached the end of the file.
    static constexpr int kNotifySuccessful = 1;

    // Plays through FluidSynth on the machine's audio output.
    MMControl();
    // Plays through the given output; the factory runs off the GUI thread.
    explicit MMControl(SongOutputFactory openOutput);
    ~MMControl();
    MMControl(const MMControl&) = delete;
    MMControl& operator=(const MMControl&) = delete;

    void SetProperty(int id, const QString& value);
    const QString& fileName() const { return fileName_; }

    std::function<void(int)> Notify;

private:
    enum class Output { NotStarted, Starting, Ready, Failed };

    void open();
    void play();
    void close();
    void startOutput();
    void outputStarted(std::shared_ptr<SongOutput> output, const QString& failure);
    void songEnded(unsigned tag);
    void sayWhyNoMusic(const QString& reason);

    QString fileName_;
    SongOutputFactory openOutput_;
    // Lives on the GUI thread; what other threads report is queued to it.
    std::unique_ptr<QObject> guiThread_;
    std::thread starter_;
    Output outputState_ = Output::NotStarted;
    std::shared_ptr<SongOutput> output_;
    std::shared_ptr<const MidiSong> song_;  // the open file
    bool playWanted_ = false;               // "play" came while the output was starting
    bool playing_ = false;
    unsigned tag_ = 0;  // tells this playback's end from an earlier one's
    QString lastReason_;
};

}  // namespace kalvex
