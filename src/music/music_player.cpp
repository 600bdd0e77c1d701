// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/music_player.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "music/audio_output.h"
#include "music/song_file.h"
#include "music/song_renderer.h"

namespace kalvex {
namespace {

const QString kNoMusic = QStringLiteral("playing without music: ");
// The longest start-up waits for a first frame before the music starts anyway.
constexpr int kLongestHoldMs = 1000;

// A read may hang for good on a stalled mount, and a render waits for the
// renderer: on threads nobody waits for.
void runOffGui(std::function<void()> f) {
    std::thread(std::move(f)).detach();
}

}  // namespace

// What the player shares with the threads that read and render: they reach
// the player only through post(), which does nothing once it has gone.
struct MusicPlayer::Link {
    std::mutex mutex;
    QObject* gui = nullptr;
    std::atomic<unsigned> render = 0;          // the render wanted; others give up
    std::vector<const RenderCancel*> renders;  // running, to end with the player

    template <class F>
    void post(F f) {
        std::lock_guard lock(mutex);
        if (gui != nullptr) {
            QMetaObject::invokeMethod(gui, std::move(f), Qt::QueuedConnection);
        }
    }
};

// Where replies are queued; it also calls `firstFrame` once the window it
// watches has drawn its first frame.
class MusicPlayer::ReplyTarget : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, firstFrame);  // after the painting is flushed
        }
        return false;
    }
    std::function<void()> firstFrame;
};

MusicPlayer::MusicPlayer()
    : MusicPlayer(rendererProgram(QCoreApplication::applicationDirPath().toStdString() + "/" +
                                  kRendererName),
                  audioOutput()) {}

MusicPlayer::MusicPlayer(SongRenderer render, SongOutputFactory openOutput)
    : render_(std::move(render)),
      openOutput_(std::move(openOutput)),
      replyTarget_(std::make_unique<ReplyTarget>()),
      link_(std::make_shared<Link>()) {
    link_->gui = replyTarget_.get();
}

MusicPlayer::~MusicPlayer() {
    {
        std::lock_guard lock(link_->mutex);
        link_->gui = nullptr;
        link_->render = 0;
        for (const RenderCancel* r : link_->renders) {
            r->end();
        }
    }
    output_.reset();
    // With the queue go the replies still in it.
    replyTarget_.reset();
}

void MusicPlayer::setFileName(const QString& path) {
    fileName_ = path;
}

void MusicPlayer::command(const QString& word) {
    if (word.compare(QLatin1String("open"), Qt::CaseInsensitive) == 0) {
        open();
    } else if (word.compare(QLatin1String("play"), Qt::CaseInsensitive) == 0) {
        play();
    } else if (word.compare(QLatin1String("close"), Qt::CaseInsensitive) == 0) {
        close();
    }
}

void MusicPlayer::startAfterFirstFrame(QObject* window) {
    held_ = true;
    const auto release = [this] {
        if (std::exchange(held_, false) && std::exchange(readHeld_, false)) {
            read();
        }
    };
    replyTarget_->firstFrame = release;
    window->installEventFilter(replyTarget_.get());
    QTimer::singleShot(kLongestHoldMs, replyTarget_.get(), release);
}

// Reads the file anew each time, so a restart plays what is on disk now.
void MusicPlayer::open() {
    close();
    reading_ = true;
    if (held_) {
        readHeld_ = true;
    } else {
        read();
    }
}

void MusicPlayer::read() {
    runOffGui([link = link_, player = this, opening = opening_, path = fileName_] {
        link->post(
            [player, opening, file = loadSongFile(path)] { player->fileRead(opening, file); });
    });
}

// A file that has not changed plays from the kept samples; another is
// rendered first.
void MusicPlayer::fileRead(unsigned opening, const SongFile& file) {
    if (opening != opening_) {
        return;  // closed, or opened again, since
    }
    if (!file.failure.isEmpty()) {
        cannotPlay(opening, file.failure);
    } else if (kept_.digest == file.bytes->digest() && (kept_.song || !kept_.failure.isEmpty())) {
        kept_.song ? songReady(kept_.song) : cannotPlay(opening, kept_.failure);
    } else {
        const unsigned render = ++renders_;
        link_->render = render;
        runOffGui([link = link_, player = this, opening, render, renderer = render_, file] {
            const RenderCancel cancel([&] { return link->render != render; });
            {
                std::lock_guard lock(link->mutex);
                if (link->gui == nullptr) {
                    return;  // the player has gone
                }
                link->renders.push_back(&cancel);
            }
            std::string failure;
            auto song = renderer(file, cancel, failure);
            {
                std::lock_guard lock(link->mutex);
                std::erase(link->renders, &cancel);
            }
            if (song || !failure.empty()) {  // not cancelled
                link->post([player, opening, render,
                            kept = Kept{file.bytes->digest(), std::move(song),
                                        QString::fromStdString(failure)}]() mutable {
                    player->rendered(opening, render, std::move(kept));
                });
            }
        });
    }
}

// A song may come with a remark; a failure says why.
void MusicPlayer::rendered(unsigned opening, unsigned render, Kept kept) {
    if (render != renders_) {
        return;  // a later file's render has begun since
    }
    kept_ = std::move(kept);
    if (!kept_.song) {
        cannotPlay(opening, kept_.failure);
        return;
    }
    if (!kept_.failure.isEmpty()) {
        say(kept_.failure);
        kept_.failure.clear();
    }
    if (opening == opening_ && reading_) {
        songReady(kept_.song);
    }
}

void MusicPlayer::cannotPlay(unsigned opening, const QString& why) {
    if (opening == opening_) {
        reading_ = false;
        playWanted_ = false;
    }
    say(kNoMusic + why);
}

void MusicPlayer::songReady(std::shared_ptr<const RenderedSong> song) {
    reading_ = false;
    song_ = std::move(song);
    if (std::exchange(playWanted_, false)) {
        play();
    }
}

void MusicPlayer::play() {
    if (playing_) {
        return;
    }
    if (song_) {
        if (!output_) {
            output_ = openOutput_(
                [link = link_, player = this](unsigned tag) {
                    link->post([player, tag] { player->songEnded(tag); });
                },
                [link = link_, player = this](const std::string& why) {
                    link->post([player, why = QString::fromStdString(why)] {
                        player->say(kNoMusic + why);
                    });
                });
        }
        output_->play(song_, ++tag_);
        playing_ = true;
    } else if (reading_) {
        playWanted_ = true;
    }
}

void MusicPlayer::close() {
    if (playing_) {
        output_->stop();
    }
    playing_ = false;
    playWanted_ = false;
    reading_ = false;
    readHeld_ = false;
    song_.reset();
    ++opening_;
    ++tag_;
}

void MusicPlayer::songEnded(unsigned tag) {
    if (tag != tag_ || !playing_) {
        return;  // the end of a playback that was closed since
    }
    playing_ = false;
    if (playbackEnded) {
        playbackEnded();
    }
}

// A loop that keeps failing the same way says so once.
void MusicPlayer::say(const QString& line) {
    if (line == lastReason_) {
        return;
    }
    lastReason_ = line;
    std::fprintf(stderr, "kalvex: %s\n", qPrintable(line));
    std::fflush(stderr);
}

}  // namespace kalvex
