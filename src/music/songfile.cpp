// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/songfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>

#include "renderer/protocol.h"

namespace kalvex {
namespace {

constexpr off_t kLargestSong = renderer::kLargestSongBytes;

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
        // To the end, in small pieces: a file that grew since fstat is still
        // held to the cap, and no more memory is touched than the file needs.
        bytes.reserve(std::size_t(st.st_size));
        std::array<std::uint8_t, 16384> piece;
        while (bytes.size() <= std::size_t(kLargestSong)) {
            const ssize_t n = ::read(fd, piece.data(), piece.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            bytes.insert(bytes.end(), piece.begin(), piece.begin() + n);
        }
        if (!ok) {
            why =
                QStringLiteral(" cannot be read: ") + QString::fromLocal8Bit(std::strerror(errno));
        } else if (bytes.size() > std::size_t(kLargestSong)) {
            why = QStringLiteral(" is too large to be a song");
            ok = false;
        }
    }
    ::close(fd);
    return ok;
}

}  // namespace

SongFile loadSongFile(const QString& path) {
    SongFile f{path, {}, {}};
    QString why;
    if (!readSongFile(path, f.bytes, why)) {
        f.failure = path + why;
        f.bytes.clear();
    }
    return f;
}

}  // namespace kalvex
