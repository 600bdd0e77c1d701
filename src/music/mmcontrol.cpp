// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/mmcontrol.h"

#include <QFile>
#include <QObject>
#include <cstdio>

#include "music/fluidoutput.h"

namespace kalvex {
namespace {

// A shorter file would have the loop restart over and over for nothing.
constexpr double kShortestSongMs = 50;

std::shared_ptr<const MidiSong> loadSong(const QString& path, QString& reason) {
    QFile file(path);
    if (!file.exists()) {
        reason = path + QStringLiteral(" was not found");
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reason = path + QStringLiteral(" cannot be read");
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    std::string error;
    auto song = readMidiFile(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())},
        error);
    if (!song) {
        reason =
            path + QStringLiteral(" is not a playable MIDI file: ") + QString::fromStdString(error);
        return nullptr;
    }
    if (song->lengthMs < kShortestSongMs) {
        reason = path + QStringLiteral(" is too short to play");
        return nullptr;
    }
    return std::make_shared<const MidiSong>(std::move(*song));
}

}  // namespace

MMControl::MMControl() : MMControl(fluidOutput()) {}

MMControl::MMControl(SongOutputFactory openOutput)
    : openOutput_(std::move(openOutput)), guiThread_(std::make_unique<QObject>()) {}

MMControl::~MMControl() {
    if (starter_.joinable()) {
        starter_.join();
    }
    // The output before the queue: its audio thread posts to guiThread_.
    output_.reset();
    guiThread_.reset();
}

void MMControl::SetProperty(int id, const QString& value) {
    if (id == kFileName) {
        fileName_ = value;
    } else if (id == kCommand) {
        if (value.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0) {
            open();
        } else if (value.compare(QLatin1String("play"), Qt::CaseInsensitive) == 0) {
            play();
        } else if (value.compare(QLatin1String("close"), Qt::CaseInsensitive) == 0) {
            close();
        }
    }
}

// Reads the file anew each time, so a restart plays what is on disk now.
void MMControl::open() {
    close();
    QString reason;
    song_ = loadSong(fileName_, reason);
    if (!song_) {
        sayWhyNoMusic(reason);
        return;
    }
    if (outputState_ == Output::NotStarted) {
        startOutput();
    }
}

void MMControl::play() {
    if (!song_ || playing_) {
        return;
    }
    if (outputState_ == Output::Ready) {
        output_->play(song_, ++tag_);
        playing_ = true;
    } else if (outputState_ == Output::Starting) {
        playWanted_ = true;
    }
}

void MMControl::close() {
    if (playing_) {
        output_->stop();
    }
    playing_ = false;
    playWanted_ = false;
    song_.reset();
    ++tag_;
}

// Loading the sound bank and opening the device take tens of milliseconds
// or more; the window must not wait for them.
void MMControl::startOutput() {
    outputState_ = Output::Starting;
    QObject* gui = guiThread_.get();
    SongOutput::Ended ended = [this, gui](unsigned tag) {
        QMetaObject::invokeMethod(
            gui, [this, tag] { songEnded(tag); }, Qt::QueuedConnection);
    };
    starter_ = std::thread([this, gui, factory = openOutput_, ended = std::move(ended)] {
        std::string failure;
        std::shared_ptr<SongOutput> output = factory(ended, failure);
        const QString why = QString::fromStdString(failure);
        QMetaObject::invokeMethod(
            gui, [this, output, why] { outputStarted(output, why); }, Qt::QueuedConnection);
    });
}

void MMControl::outputStarted(std::shared_ptr<SongOutput> output, const QString& failure) {
    starter_.join();
    if (!output) {
        outputState_ = Output::Failed;
        sayWhyNoMusic(failure);
        return;
    }
    output_ = std::move(output);
    outputState_ = Output::Ready;
    if (playWanted_) {
        playWanted_ = false;
        play();
    }
}

void MMControl::songEnded(unsigned tag) {
    if (tag != tag_ || !playing_) {
        return;  // the end of a playback that was closed since
    }
    playing_ = false;
    if (Notify) {
        Notify(kNotifySuccessful);
    }
}

// A loop that keeps failing the same way says so once.
void MMControl::sayWhyNoMusic(const QString& reason) {
    if (reason == lastReason_) {
        return;
    }
    lastReason_ = reason;
    std::fprintf(stderr, "kalvex: playing without music: %s\n", qPrintable(reason));
    std::fflush(stderr);
}

}  // namespace kalvex
