// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/songoutput.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "renderer/protocol.h"

extern char** environ;

namespace kalvex {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// How soon a cancelled render lets its renderer go.
constexpr int kPollMs = 100;
// A shorter song would have the loop restart over and over for nothing.
constexpr std::size_t kShortestFrames = renderer::kRate / 20;
// A renderer silent this long has hung: it sends a second's samples every few ms.
constexpr auto kMostSilence = 10s;

// Talks to one renderer process, saying why in `failure` when it fails; kills
// and reaps it when this goes. Only the thread that renders waits for it.
class Render {
public:
    Render(const std::function<bool()>& cancelled, std::string& failure, std::string who)
        : cancelled_(cancelled), failure_(failure), who_(std::move(who)) {}

    ~Render() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
    }

    bool start(const std::string& program, const std::string& soundFont,
               const std::vector<std::uint8_t>& song) {
        // The song goes in as a file in memory: nothing is written to disk,
        // and nothing of the game's waits for the renderer to read it.
        const int in = memfd_create("kalvex-song", MFD_CLOEXEC);
        int ends[2] = {-1, -1};
        bool ok = in >= 0 && ::write(in, song.data(), song.size()) == ssize_t(song.size()) &&
                  ::lseek(in, 0, SEEK_SET) == 0 && pipe2(ends, O_CLOEXEC) == 0;
        int error = ok ? 0 : errno;
        if (ok) {
            out_ = ends[0];
            posix_spawn_file_actions_t files;
            posix_spawn_file_actions_init(&files);
            posix_spawn_file_actions_adddup2(&files, in, STDIN_FILENO);
            posix_spawn_file_actions_adddup2(&files, ends[1], STDOUT_FILENO);
            posix_spawn_file_actions_addopen(&files, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
            posix_spawnattr_t attributes;
            posix_spawnattr_init(&attributes);
            sigset_t none;
            sigemptyset(&none);
            posix_spawnattr_setsigmask(&attributes, &none);
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
            std::string arg0 = program, arg1 = soundFont;
            char* argv[] = {arg0.data(), arg1.data(), nullptr};
            error = posix_spawn(&pid_, program.c_str(), &files, &attributes, argv, environ);
            posix_spawn_file_actions_destroy(&files);
            posix_spawnattr_destroy(&attributes);
            pid_ = error == 0 ? pid_ : -1;
        }
        for (int fd : {in, ends[1]}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        return error == 0 || fail(who_ + " could not be started: " + std::strerror(error));
    }

    // The first line, without its end.
    std::optional<std::string> line() {
        std::string text;
        for (char c = 0; text.size() < renderer::kLongestLine;) {
            if (!readAll(&c, 1, " without a word")) {
                return std::nullopt;
            }
            if (c == '\n') {
                return text;
            }
            text += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
        }
        fail(who_ + " sent what is not a song");
        return std::nullopt;
    }

    // Packs the pieces of samples into `song`, up to the song's end and the
    // end of the output; true when the song was cut.
    std::optional<bool> samples(RenderedSong& song) {
        std::vector<std::int16_t> piece(renderer::kPieceFrames * renderer::kChannels);
        for (std::uint32_t count = 0;;) {
            const char* early = " before the song was done";
            if (!readAll(&count, sizeof count, early)) {
                return std::nullopt;
            }
            if (count == renderer::kWhole || count == renderer::kCut) {
                char more = 0;
                const ssize_t n = readSome(&more, 1);
                if (n > 0) {
                    fail(who_ + " sent more than the song");
                }
                return n == 0 ? std::optional(count == renderer::kCut) : std::nullopt;
            }
            if (count > renderer::kPieceFrames || song.frames() + count > renderer::kMostFrames) {
                fail(who_ + " sent what is not a song");
                return std::nullopt;
            }
            if (!readAll(piece.data(), count * renderer::kFrameBytes, early)) {
                return std::nullopt;
            }
            if (!song.add(piece.data(), count)) {
                fail("the song's samples could not be packed");
                return std::nullopt;
            }
        }
    }

    bool fail(std::string why) {
        failure_ = std::move(why);
        return false;
    }

private:
    // Reads up to `size` bytes; 0 at the end, -1 when cancelled or failed.
    ssize_t readSome(void* into, std::size_t size) {
        for (auto heard = Clock::now();;) {
            pollfd ready{out_, POLLIN, 0};
            const int r = ::poll(&ready, 1, kPollMs);
            if (cancelled_()) {
                return -1;
            }
            const ssize_t n = r > 0 ? ::read(out_, into, size) : r;
            if (n >= 0 && r > 0) {
                return n;
            }
            if (n < 0 && errno != EINTR && errno != EAGAIN) {
                fail(who_ + " could not be read: " + std::strerror(errno));
                return -1;
            }
            if (Clock::now() - heard > kMostSilence) {
                fail(who_ + " stopped answering");
                return -1;
            }
        }
    }

    // Reads exactly `size` bytes; at an early end, says how the renderer ended.
    bool readAll(void* into, std::size_t size, const char* early) {
        for (auto* p = static_cast<char*>(into); size > 0;) {
            const ssize_t n = readSome(p, size);
            if (n == 0) {
                fail(who_ + " " + ending() + early);
            }
            if (n <= 0) {
                return false;
            }
            p += n;
            size -= std::size_t(n);
        }
        return true;
    }

    // How the renderer ended, given a second to end on its own.
    std::string ending() {
        int status = 0;
        for (auto until = Clock::now() + 1s; Clock::now() < until;
             std::this_thread::sleep_for(10ms)) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFSIGNALED(status)
                           ? "was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
                                 strsignal(WTERMSIG(status)) + ")"
                           : "ended with status " + std::to_string(WEXITSTATUS(status));
            }
        }
        return "stopped answering";
    }

    const std::function<bool()>& cancelled_;
    std::string& failure_;
    const std::string who_;
    pid_t pid_ = -1;
    int out_ = -1;
};

std::shared_ptr<const RenderedSong> render(const std::string& program, const std::string& soundFont,
                                           const SongFile& file,
                                           const std::function<bool()>& cancelled,
                                           std::string& failure) {
    const std::string who = "the music's renderer " + program;
    Render r(cancelled, failure, who);
    std::optional<std::string> line =
        r.start(program, soundFont, file.bytes) ? r.line() : std::nullopt;
    // What it runs without, such as the kernel's sandbox, is said once in the
    // game's life, with the first song or the first reason for none.
    static std::atomic<bool> noted = false;
    std::string note;
    if (line && line->starts_with("note ")) {
        note = who + line->substr(4);
        line = r.line();
    }
    const std::string name = file.path.toStdString();
    auto song = std::make_shared<RenderedSong>();
    std::optional<bool> cut;
    const auto withNote = [&](std::shared_ptr<const RenderedSong> kept) {
        if (!note.empty() && (kept || !failure.empty()) && !noted.exchange(true)) {
            failure += (failure.empty() ? "" : "; ") + note;
        }
        return kept;
    };
    if (!line) {
        return withNote(nullptr);
    } else if (line->starts_with("song ")) {
        r.fail(name + line->substr(4));
    } else if (line->starts_with("error ")) {
        r.fail(line->substr(6));
    } else if (*line != "samples") {
        r.fail("the music's renderer sent what is not a song");
    } else if (!(cut = r.samples(*song))) {
        return withNote(nullptr);
    } else if (song->frames() < kShortestFrames) {
        r.fail(name + " is too short to play");
    } else if (!song->finish()) {
        r.fail("the song's samples could not be packed");
    } else {
        const std::string most = std::to_string(renderer::kLongestSeconds) + " s";
        failure =
            *cut ? name + " is longer than " + most + ": its first " + most + " are played" : "";
        return withNote(song);
    }
    return withNote(nullptr);
}

}  // namespace

SongRenderer rendererProgram(std::string program, std::string soundFont) {
    return [program = std::move(program), soundFont = std::move(soundFont)](
               const SongFile& file, const std::function<bool()>& cancelled, std::string& failure) {
        return render(program, soundFont, file, cancelled, failure);
    };
}

}  // namespace kalvex
