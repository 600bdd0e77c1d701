// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "music/song_file.h"
#include "renderer/protocol.h"

namespace kalvex {
namespace {

constexpr std::size_t kLargest = renderer::kLargestSongBytes;
// Copies and digests go through this much of the stack at a time: the song
// never passes through the game's heap.
constexpr std::size_t kPiece = 16384;

QString error(int e) {
    return QString::fromLocal8Bit(std::strerror(e));
}

// Copies up to `most` bytes of `from` into `to`; how many, or -1 with errno.
// The kernel copies straight between the files where it can.
ssize_t copyInto(int to, int from, std::size_t most) {
    std::size_t copied = 0;
    bool direct = true;
    while (copied < most) {
        ssize_t n = direct ? sendfile(to, from, nullptr, most - copied) : -1;
        if (n < 0 && direct && (errno == EINVAL || errno == ENOSYS) && copied == 0) {
            direct = false;  // a file system that cannot splice
            continue;
        }
        if (!direct) {
            std::array<char, kPiece> piece;
            n = ::read(from, piece.data(), std::min(piece.size(), most - copied));
            for (ssize_t put = 0, w = 0; n > 0 && put < n; put += w) {
                w = ::write(to, piece.data() + put, std::size_t(n - put));
                if (w < 0 && errno == EINTR) {
                    w = 0;
                } else if (w <= 0) {
                    return w < 0 ? -1 : (errno = EIO, -1);
                }
            }
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n < 0 ? -1 : ssize_t(copied);
        }
        copied += std::size_t(n);
    }
    return ssize_t(copied);
}

QByteArray digestOf(int fd, std::size_t size) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::array<char, kPiece> piece;
    for (std::size_t at = 0; at < size;) {
        const ssize_t n = ::pread(fd, piece.data(), std::min(piece.size(), size - at), off_t(at));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n == 0 ? EIO : errno;
            return {};
        }
        hash.addData(QByteArrayView(piece.data(), n));
        at += std::size_t(n);
    }
    return hash.result();
}

}  // namespace

SongBytes::~SongBytes() {
    ::close(fd_);
}

SongFile loadSongFile(const QString& path) {
    SongFile f{path, {}, {}};
    const auto because = [&](const QString& why) {
        f.failure = path + why;
        return f;
    };
    // Opening never waits for a writer (a FIFO) or a modem line.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return because(errno == ENOENT ? QStringLiteral(" was not found")
                                       : QStringLiteral(" cannot be read: ") + error(errno));
    }
    struct stat st {};
    const bool known = fstat(fd, &st) == 0;
    const int statError = errno;
    int mem = -1;
    if (known && S_ISREG(st.st_mode) && std::size_t(st.st_size) <= kLargest) {
        mem = memfd_create("kalvex-song", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    }
    const int memError = errno;
    // One byte past the cap tells a file that grew since it was looked at.
    const ssize_t size = mem >= 0 ? copyInto(mem, fd, kLargest + 1) : 0;
    const int readError = errno;
    ::close(fd);
    if (!known) {
        return because(QStringLiteral(" cannot be read: ") + error(statError));
    }
    if (!S_ISREG(st.st_mode)) {
        return because(QStringLiteral(" is not a regular file"));
    }
    if (std::size_t(st.st_size) > kLargest) {
        return because(QStringLiteral(" is too large to be a song (%1 bytes)").arg(st.st_size));
    }
    if (mem < 0) {
        return because(QStringLiteral(" cannot be held in memory: ") + error(memError));
    }
    // Sealed: what the renderer reads is what the digest was taken of.
    QByteArray digest;
    const bool read = size >= 0 && std::size_t(size) <= kLargest;
    const bool sealed =
        read &&
        fcntl(mem, F_ADD_SEALS, F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE) == 0;
    const int sealError = errno;
    if (sealed) {
        digest = digestOf(mem, std::size_t(size));
    }
    const int digestError = errno;
    if (!read || !sealed || digest.isEmpty()) {
        ::close(mem);
        if (size > 0 && std::size_t(size) > kLargest) {
            return because(QStringLiteral(" is too large to be a song"));
        }
        return because(QStringLiteral(" cannot be read: ") + error(!read     ? readError
                                                                   : !sealed ? sealError
                                                                             : digestError));
    }
    f.bytes = std::make_shared<const SongBytes>(mem, std::size_t(size), std::move(digest));
    return f;
}

}  // namespace kalvex
