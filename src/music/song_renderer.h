// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

#include "music/rendered_song.h"
#include "music/song_file.h"

namespace kalvex {

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

}  // namespace kalvex
