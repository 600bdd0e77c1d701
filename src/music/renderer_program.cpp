// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music/song_renderer.h"

#include <fcntl.h>
#include <linux/close_range.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <utility>
#include <vector>

#include "renderer/protocol.h"

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
// How long the player's end waits for a killed renderer to be reaped.
constexpr auto kLongestEnd = 250ms;

std::string seconds(std::chrono::milliseconds span) {
    const auto s = std::chrono::duration<double>(span).count();
    char text[32];
    std::snprintf(text, sizeof text, "%g s", s);
    return text;
}

// What the renderer is given of the game's environment: nothing of the
// session (display, bus, sound server, home). Built with the sanitizers, it
// needs their options, as the tests set them, to run as the game does.
std::vector<std::string> rendererEnvironment() {
    std::vector<std::string> kept;
#if defined(__SANITIZE_ADDRESS__)
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        if (const char* value = std::getenv(name)) {
            kept.push_back(std::string(name) + "=" + value);
        }
    }
#endif
    return kept;
}

// A descriptor moved clear of 0, 1 and 2, where the renderer's own go.
int aboveStandard(int fd) {
    if (fd < 0 || fd > STDERR_FILENO) {
        return fd;
    }
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(fd);
    return moved;
}

// What the child does between the fork and the program: system calls only,
// as another thread of the game may have held any lock at the fork. It dies
// with the game from here on; a game that died before that is seen as a new
// parent. Only `in`, `out` and `err` reach the program, as 0, 1 and 2; an
// errno goes to `report` when the program cannot be started.
[[noreturn]] void becomeRenderer(pid_t game, int in, int out, int err, int report,
                                 const char* program, char* const* argv, char* const* envp) {
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != game) {
        _exit(127);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigaction(SIGPIPE, &byDefault, nullptr);
    int error = 0;
    if (dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 ||
        dup2(err, STDERR_FILENO) < 0) {
        error = errno;
    } else if (close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        // An older kernel: closed outright, all but the report.
        for (int fd = STDERR_FILENO + 1; fd < 65536; ++fd) {
            if (fd != report) {
                ::close(fd);
            }
        }
    }
    if (error == 0) {
        execve(program, argv, envp);
        error = errno;
    }
    [[maybe_unused]] const ssize_t told = ::write(report, &error, sizeof error);
    _exit(127);
}

// Talks to one renderer process, saying why in `failure` when it fails; kills
// and reaps it when this goes, or at once when the player ends the render.
// Only the thread that renders starts and waits for it: the renderer dies of
// that thread's end.
class Render {
public:
    Render(const RenderCancel& cancelled, std::string& failure, std::string who,
           std::chrono::milliseconds deadline)
        : cancelled_(cancelled),
          failure_(failure),
          who_(std::move(who)),
          deadline_(deadline),
          started_(Clock::now()) {
        cancelled_.onEnd([this] { end(); });
    }

    ~Render() {
        cancelled_.onEnd(nullptr);
        std::lock_guard lock(mutex_);
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
    }

    bool start(const std::string& program, const std::string& soundFont, const SongBytes& song) {
        // The song goes in as the file in memory it was read into: nothing
        // is written to disk, and nothing of the game's waits for the
        // renderer to read it.
        const int in = aboveStandard(fcntl(song.fd(), F_DUPFD_CLOEXEC, 0));
        int ends[2] = {-1, -1};
        int reports[2] = {-1, -1};
        const int err = aboveStandard(::open("/dev/null", O_WRONLY | O_CLOEXEC));
        bool ok = in >= 0 && err >= 0 && ::lseek(in, 0, SEEK_SET) == 0 &&
                  pipe2(ends, O_CLOEXEC) == 0 && pipe2(reports, O_CLOEXEC) == 0;
        for (int* fd : {&ends[0], &ends[1], &reports[0], &reports[1]}) {
            *fd = aboveStandard(*fd);
            ok = ok && *fd >= 0;
        }
        int error = ok ? 0 : errno;
        if (ok) {
            out_ = std::exchange(ends[0], -1);
            std::string arg0 = program, arg1 = soundFont;
            char* argv[] = {arg0.data(), arg1.data(), nullptr};
            std::vector<std::string> environment = rendererEnvironment();
            std::vector<char*> envp;
            for (std::string& e : environment) {
                envp.push_back(e.data());
            }
            envp.push_back(nullptr);
            const pid_t game = getpid();
            std::lock_guard lock(mutex_);
            if (cancelled_()) {
                error = ECANCELED;
            } else if ((pid_ = _Fork()) == 0) {
                becomeRenderer(game, in, ends[1], err, reports[1], program.c_str(), argv,
                               envp.data());
            } else if (pid_ < 0) {
                error = errno;
            }
        }
        for (int fd : {in, err, ends[0], ends[1], reports[1]}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        if (error == 0) {
            // Nothing comes before the program starts; its errno when it cannot.
            ssize_t n = 0;
            while ((n = ::read(reports[0], &error, sizeof error)) < 0 && errno == EINTR) {
            }
            error = n == sizeof error ? error : 0;
        }
        if (reports[0] >= 0) {
            ::close(reports[0]);
        }
        if (error == ECANCELED) {
            return false;
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
            count = renderer::littleEndian(count);
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
            for (std::int16_t& sample : std::span(piece).first(count * renderer::kChannels)) {
                sample = std::int16_t(renderer::littleEndian(std::uint16_t(sample)));
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
            if (n >= 0 && r > 0 && Clock::now() - started_ <= deadline_) {
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
            if (Clock::now() - started_ > deadline_) {
                fail(who_ + " did not finish the song within " + seconds(deadline_));
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
        for (auto until = Clock::now() + 1s; Clock::now() < until;
             std::this_thread::sleep_for(10ms)) {
            int status = 0;
            std::lock_guard lock(mutex_);
            if (pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFSIGNALED(status)
                           ? "was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
                                 strsignal(WTERMSIG(status)) + ")"
                           : "ended with status " + std::to_string(WEXITSTATUS(status));
            }
        }
        return "stopped answering";
    }

    // From the player's thread, which may be about to end the game's process:
    // kills the renderer and reaps it, waiting a moment at most. A renderer
    // stuck in the kernel dies when it leaves it, and is reaped by whoever
    // then is its parent.
    void end() {
        std::lock_guard lock(mutex_);
        if (pid_ <= 0) {
            return;
        }
        ::kill(pid_, SIGKILL);
        for (auto until = Clock::now() + kLongestEnd; Clock::now() < until;
             std::this_thread::sleep_for(1ms)) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
        }
    }

    const RenderCancel& cancelled_;
    std::string& failure_;
    const std::string who_;
    const std::chrono::milliseconds deadline_;
    const Clock::time_point started_;
    std::mutex mutex_;  // the renderer's pid, with the player's thread
    pid_t pid_ = -1;
    int out_ = -1;
};

std::shared_ptr<const RenderedSong> render(const std::string& program, const std::string& soundFont,
                                           std::chrono::milliseconds deadline, const SongFile& file,
                                           const RenderCancel& cancelled, std::string& failure) {
    const std::string who = "the music's renderer " + program;
    Render r(cancelled, failure, who, deadline);
    std::optional<std::string> line =
        file.bytes && r.start(program, soundFont, *file.bytes) ? r.line() : std::nullopt;
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

SongRenderer rendererProgram(std::string program, std::string soundFont,
                             std::chrono::milliseconds deadline) {
    return [program = std::move(program), soundFont = std::move(soundFont), deadline](
               const SongFile& file, const RenderCancel& cancelled, std::string& failure) {
        return render(program, soundFont, deadline, file, cancelled, failure);
    };
}

}  // namespace kalvex
