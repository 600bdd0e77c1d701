// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "music/renderedsong.h"

namespace kalvex {

// The parts the music player is built from: the song file, a renderer that
// turns it into samples once, and an output that plays them as often as asked.

// A song file's bytes, held once: in a sealed file in memory, which the
// renderer reads as its standard input. Closed with its last holder.
class SongBytes {
public:
    SongBytes(int fd, std::size_t size, QByteArray digest)
        : fd_(fd), size_(size), digest_(std::move(digest)) {}
    ~SongBytes();
    SongBytes(const SongBytes&) = delete;
    SongBytes& operator=(const SongBytes&) = delete;

    int fd() const { return fd_; }
    std::size_t size() const { return size_; }
    // Tells an unchanged file from a changed one.
    const QByteArray& digest() const { return digest_; }

private:
    const int fd_;
    const std::size_t size_;
    const QByteArray digest_;
};

// The song file as read. The game never parses it: the renderer does.
struct SongFile {
    QString path;
    std::shared_ptr<const SongBytes> bytes;  // none when it cannot be read
    QString failure;                         // why it cannot be read, when it cannot
};

// Reads the file at `path`, refusing what is not a song-sized regular file
// before anything is read. It may still hang on a stalled mount: it is called
// off the GUI thread.
SongFile loadSongFile(const QString& path);

// Whether a render is still wanted, and how to end its renderer at once. The
// player gives up on a render when another file comes, and ends it when it
// goes itself: the game's process may end right after, so a renderer that
// runs a process hands over, while it runs, how to kill and reap it.
class RenderCancel {
public:
    // Gives up when `cancelled` says so.
    template <class F>
    requires std::is_invocable_r_v<bool, F&> RenderCancel(F cancelled)
        : cancelled_(std::move(cancelled)) {}
    RenderCancel(const RenderCancel&) = delete;
    RenderCancel& operator=(const RenderCancel&) = delete;

    // True once the render is not wanted.
    bool operator()() const { return ended_ || cancelled_(); }
    // Sets, or with nothing clears, what end() calls. Once it returns, an
    // end() under way has finished.
    void onEnd(std::function<void()> end) const {
        std::lock_guard lock(mutex_);
        end_ = std::move(end);
    }
    // From the player's thread: gives up, and has the renderer end now.
    void end() const {
        ended_ = true;
        std::lock_guard lock(mutex_);
        if (end_) {
            end_();
        }
    }

private:
    const std::function<bool()> cancelled_;
    mutable std::atomic<bool> ended_ = false;
    mutable std::mutex mutex_;
    mutable std::function<void()> end_;
};

// Renders `song` whole on the calling thread, which is never the GUI thread.
// Null when `cancelled` said to give up, or when it cannot render, then with
// why in `failure`; with a song, `failure` may hold a remark for the player.
using SongRenderer = std::function<std::shared_ptr<const RenderedSong>(
    const SongFile& song, const RenderCancel& cancelled, std::string& failure)>;

// Debian's General MIDI sound bank, whichever package provides it.
inline constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
// The renderer program, beside the game.
inline constexpr const char* kRendererName = "kalvex-renderer";

// Renders each song in a process of the renderer program at `program`, with the
// bank at `soundFont`: whatever it does (crash, hang, garbage, running out of
// memory) costs that song, saying why. It gets nothing of the game's session,
// no descriptor but its input, output and error, and is killed and reaped on a
// cancel, when it has not finished within `deadline`, and with the game.
inline constexpr std::chrono::milliseconds kRenderDeadline{20'000};
SongRenderer rendererProgram(std::string program, std::string soundFont = kDefaultSoundFont,
                             std::chrono::milliseconds deadline = kRenderDeadline);

// Plays rendered songs; made, driven and destroyed on the GUI thread, none of
// which ever waits for the audio.
class SongOutput {
public:
    // From the output's own thread: a played song's last sample has been
    // handed to the audio output, with the tag given to play().
    using Ended = std::function<void(unsigned tag)>;
    // From the output's own thread, at most once: why nothing can be heard
    // for now; the output keeps trying on its own.
    using Trouble = std::function<void(const std::string& why)>;

    // When it returns no thread of the output's calls Ended or Trouble.
    virtual ~SongOutput() = default;

    // Starts `song` from its beginning, dropping whatever was playing.
    virtual void play(std::shared_ptr<const RenderedSong> song, unsigned tag) = 0;
    // Stops at once: nothing more is heard and Ended is not called.
    virtual void stop() = 0;
};

using SongOutputFactory = std::function<std::unique_ptr<SongOutput>(SongOutput::Ended ended,
                                                                    SongOutput::Trouble trouble)>;

}  // namespace kalvex
