// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "music/song_output.h"
#include "music/song_renderer.h"

class QObject;

namespace kalvex {

// The window's hidden music player: it is given a file name, then command
// words ("open", "play", "close") carried out when given. playbackEnded is
// called on the window's event thread when a playback reaches its end.
//
// No command ever blocks or fails: the file is read on a thread of its own
// and the song rendered by the renderer program, a "play" given meanwhile
// plays once the song is ready, and when the file or the sound cannot be had
// the game goes on in silence after one line on stderr. A file that has not
// changed plays again from the kept samples.
class MusicPlayer {
public:
    // Renders with the renderer program beside the game, plays on the
    // machine's sound output; or with the given parts.
    MusicPlayer();
    MusicPlayer(SongRenderer render, SongOutputFactory openOutput);
    // Returns at once, whatever the file, the renderer or the audio are doing,
    // once a renderer still running is killed and reaped: the game's process
    // may end right after. No thread of the player's holds its output or can
    // reach it afterwards.
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // The file "open" reads.
    void setFileName(const QString& path);
    // "open", "play" or "close", in any case; other words do nothing.
    void command(const QString& word);

    // Holds all music work until `window` has drawn its first frame, or a
    // second has passed, so that the window does not wait for the music.
    void startAfterFirstFrame(QObject* window);

    std::function<void()> playbackEnded;

private:
    struct Link;
    class ReplyTarget;
    // The last file rendered, and its song, or why it has none: it is not
    // rendered again while it stays the same.
    struct Kept {
        QByteArray digest;
        std::shared_ptr<const RenderedSong> song;
        QString failure;
    };

    void open();
    void play();
    void close();
    void read();
    void fileRead(unsigned opening, const SongFile& file);
    void rendered(unsigned opening, unsigned render, Kept kept);
    void cannotPlay(unsigned opening, const QString& why);
    void songReady(std::shared_ptr<const RenderedSong> song);
    void songEnded(unsigned tag);
    void say(const QString& line);

    QString fileName_;
    SongRenderer render_;
    SongOutputFactory openOutput_;
    // Lives on the GUI thread; what other threads report is queued to it.
    std::unique_ptr<ReplyTarget> replyTarget_;
    std::shared_ptr<Link> link_;  // with the threads that read and render
    std::unique_ptr<SongOutput> output_;
    Kept kept_;
    std::shared_ptr<const RenderedSong> song_;  // the open file's, once ready
    unsigned opening_ = 0;                      // tells the latest open's replies from earlier ones
    unsigned renders_ = 0;
    bool held_ = false;        // music work waits for the first frame
    bool readHeld_ = false;    // and the open file's read with it
    bool reading_ = false;     // the open file is still being read or rendered
    bool playWanted_ = false;  // "play" came while it was
    bool playing_ = false;
    unsigned tag_ = 0;  // tells this playback's end from an earlier one's
    QString lastReason_;
};

}  // namespace kalvex
