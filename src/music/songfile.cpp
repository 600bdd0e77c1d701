// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/songoutput.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "renderer/protocol.h"

namespace kalvex {

SongFile loadSongFile(const QString& path) {
    constexpr off_t kLargest = renderer::kLargestSongBytes;
    SongFile f{path, {}, {}};
    const auto because = [&](const QString& why) {
        f.failure = path + why;
        f.bytes.clear();
        return f;
    };
    const auto error = [] { return QString::fromLocal8Bit(std::strerror(errno)); };
    // Opening never waits for a writer (a FIFO) or a modem line.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return because(errno == ENOENT ? QStringLiteral(" was not found")
                                       : QStringLiteral(" cannot be read: ") + error());
    }
    struct stat st {};
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    bool ok = regular && st.st_size <= kLargest;
    // To the end, in small pieces: a file that grew since is still held to
    // the cap, and no more memory is touched than the file needs.
    std::array<std::uint8_t, 16384> piece;
    for (ssize_t n = 1; ok && n != 0 && f.bytes.size() <= std::size_t(kLargest);) {
        n = ::read(fd, piece.data(), piece.size());
        ok = n >= 0 || errno == EINTR;
        f.bytes.insert(f.bytes.end(), piece.begin(), piece.begin() + std::max<ssize_t>(n, 0));
    }
    const QString failure = error();
    ::close(fd);
    if (!regular) {
        return because(QStringLiteral(" is not a regular file"));
    }
    if (st.st_size > kLargest) {
        return because(QStringLiteral(" is too large to be a song (%1 bytes)").arg(st.st_size));
    }
    if (f.bytes.size() > std::size_t(kLargest)) {
        return because(QStringLiteral(" is too large to be a song"));
    }
    return ok ? f : because(QStringLiteral(" cannot be read: ") + failure);
}

}  // namespace kalvex
