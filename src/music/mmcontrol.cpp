// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/mmcontrol.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QObject>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "music/fluidoutput.h"

namespace kalvex {
namespace {

// A shorter file would have the loop restart over and over for nothing.
constexpr double kShortestSongMs = 50;
// A song is a few KiB; anything near this is not one.
constexpr off_t kLargestSong = 4 << 20;

// Reads a regular file of at most kLargestSong bytes. Opening never waits
// for a writer (a FIFO) or a modem line; what is not a regular file, or is
// too large, is refused before anything is read.
bool readSongFile(const QString& path, std::vector<std::uint8_t>& bytes, QString& why) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ENOENT ? QStringLiteral(" was not found")
                              : QStringLiteral(" cannot be read: ") +
                                    QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    bool ok = fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        why = QStringLiteral(" is not a regular file");
        ok = false;
    } else if (ok && st.st_size > kLargestSong) {
        why = QStringLiteral(" is too large to be a song (%1 bytes)").arg(st.st_size);
        ok = false;
    } else if (ok) {
        // One byte more than the cap tells a file that grew since fstat.
        bytes.resize(std::size_t(kLargestSong) + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += std::size_t(n);
        }
        bytes.resize(got);
        if (!ok) {
            why =
                QStringLiteral(" cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno));
        } else if (got > std::size_t(kLargestSong)) {
            why = QStringLiteral(" is too large to be a song");
            ok = false;
        }
    }
    ::close(fd);
    return ok;
}

std::shared_ptr<const MidiSong> loadSong(const QString& path, QString& reason) {
    std::vector<std::uint8_t> bytes;
    QString why;
    if (!readSongFile(path, bytes, why)) {
        reason = path + why;
        return nullptr;
    }
    std::string error;
    auto song = readMidiFile(bytes, error);
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

// What the player shares with the threads that read the file and prepare the
// output. A read may hang for good; such a thread only ever touches this.
struct MMControl::Shared {
    std::mutex mutex;
    std::condition_variable settled;
    bool closing = false;  // the player is going away: report nothing more
    int preparing = 0;     // threads past their read; the player waits for these

    // One thread at a time creates or prepares the output.
    std::mutex outputMutex;
    SongOutputFactory factory;
    SongOutput::Ended ended;
    SongOutput::Trouble trouble;
    std::shared_ptr<SongOutput> output;
    QString outputFailure;  // set when the output can never be had
};

MMControl::MMControl() : MMControl(fluidOutput()) {}

MMControl::MMControl(SongOutputFactory openOutput)
    : guiThread_(std::make_unique<QObject>()), shared_(std::make_shared<Shared>()) {
    QObject* gui = guiThread_.get();
    shared_->factory = std::move(openOutput);
    shared_->ended = [this, gui](unsigned tag) {
        QMetaObject::invokeMethod(
            gui, [this, tag] { songEnded(tag); }, Qt::QueuedConnection);
    };
    shared_->trouble = [this, gui](const std::string& why) {
        QMetaObject::invokeMethod(
            gui, [this, why = QString::fromStdString(why)] { sayWhyNoMusic(why); },
            Qt::QueuedConnection);
    };
}

MMControl::~MMControl() {
    {
        std::unique_lock lock(shared_->mutex);
        shared_->closing = true;
        shared_->settled.wait(lock, [this] { return shared_->preparing == 0; });
    }
    // The output before the queue: its audio thread posts to guiThread_.
    {
        std::lock_guard lock(shared_->outputMutex);
        shared_->output.reset();
    }
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

// Reads the file anew each time, so a restart plays what is on disk now. The
// output is set up for the first song read, its instruments loaded for each.
void MMControl::open() {
    close();
    reading_ = true;
    std::thread([shared = shared_, gui = guiThread_.get(), player = this, opening = opening_,
                 path = fileName_] {
        QString failure;
        std::shared_ptr<const MidiSong> song = loadSong(path, failure);
        {
            std::lock_guard lock(shared->mutex);
            if (shared->closing) {
                return;
            }
            ++shared->preparing;
        }
        std::shared_ptr<SongOutput> output;
        if (song) {
            std::lock_guard lock(shared->outputMutex);
            if (!shared->output && shared->outputFailure.isEmpty()) {
                std::string why;
                shared->output = shared->factory(shared->ended, shared->trouble, why);
                if (!shared->output) {
                    shared->outputFailure = QString::fromStdString(why);
                }
            }
            output = shared->output;
            if (output) {
                output->prepare(*song);
            } else {
                failure = shared->outputFailure;
                song.reset();
            }
        }
        std::lock_guard lock(shared->mutex);
        --shared->preparing;
        if (!shared->closing) {
            QMetaObject::invokeMethod(
                gui,
                [player, opening, song, output, failure] {
                    player->songReady(opening, song, output, failure);
                },
                Qt::QueuedConnection);
        }
        shared->settled.notify_all();
    }).detach();
}

void MMControl::songReady(unsigned opening, std::shared_ptr<const MidiSong> song,
                          std::shared_ptr<SongOutput> output, const QString& failure) {
    if (opening != opening_) {
        return;  // closed, or opened again, since
    }
    reading_ = false;
    if (!song) {
        playWanted_ = false;
        sayWhyNoMusic(failure);
        return;
    }
    song_ = std::move(song);
    output_ = std::move(output);
    if (playWanted_) {
        playWanted_ = false;
        play();
    }
}

void MMControl::play() {
    if (playing_) {
        return;
    }
    if (song_) {
        output_->play(song_, ++tag_);
        playing_ = true;
    } else if (reading_) {
        playWanted_ = true;
    }
}

void MMControl::close() {
    if (playing_) {
        output_->stop();
    }
    playing_ = false;
    playWanted_ = false;
    reading_ = false;
    song_.reset();
    ++opening_;
    ++tag_;
}

void MMControl::songEnded(unsigned tag) {
    if (tag != tag_ || !playing_) {
        return;  // the end of a playback that was closed since
    }
    playing_ = false;
    if (Notify) {
        Notify(kPlaybackEnded);
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
