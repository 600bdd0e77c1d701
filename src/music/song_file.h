// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <memory>

namespace kalvex {

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

}  // namespace kalvex
