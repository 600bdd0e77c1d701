// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// What a crafted song or bank could make the renderer do once it runs code
// of the attacker's: the real renderer, with code preloaded into it that acts
// after the renderer has confined itself, may reach nothing beyond its work.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/landlock.h>
#include <netinet/in.h>
#include <poll.h>
#include <seccomp.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kSong = std::string(KALVEX_SOURCE_DIR) + "/assets/mid.mid";
const std::string kBank = "/usr/share/sounds/sf2/default-GM.sf2";

// A renderer started with the song on its standard input.
struct Renderer {
    pid_t pid = -1;
    int out = -1;  // its standard output, or its standard error when that is read
    int status = 0;

    // Reads what it writes to `out` until it ends (killed after 20 s), and reaps it.
    std::string finish() {
        std::string text;
        char buffer[65536];
        bool ended = false;
        for (auto until = Clock::now() + 20s; !ended && Clock::now() < until;) {
            pollfd ready{out, POLLIN, 0};
            if (::poll(&ready, 1, 100) > 0) {
                const ssize_t n = ::read(out, buffer, sizeof buffer);
                text.append(buffer, std::size_t(std::max<ssize_t>(n, 0)));
                ended = n <= 0;
            }
        }
        ::close(std::exchange(out, -1));
        if (!ended) {
            ::kill(pid, SIGKILL);
        }
        ::waitpid(pid, &status, 0);
        return text;
    }
};

// Starts the renderer with `environment` added to this process's own, its
// standard output or its standard error (`readErrors`) on a pipe.
Renderer start(const std::vector<std::string>& environment, bool readErrors) {
    std::vector<std::string> strings = environment;
    for (char** e = environ; *e != nullptr; ++e) {
        strings.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (auto& s : strings) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);
    int ends[2];
    EXPECT_EQ(pipe2(ends, O_CLOEXEC), 0);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, kSong.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&files, ends[1], readErrors ? STDERR_FILENO : STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&files, readErrors ? STDOUT_FILENO : STDERR_FILENO,
                                     "/dev/null", O_WRONLY, 0);
    std::string program = KALVEX_RENDERER, bank = kBank;
    char* argv[] = {program.data(), bank.data(), nullptr};
    Renderer r;
    EXPECT_EQ(posix_spawn(&r.pid, KALVEX_RENDERER, &files, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    ::close(ends[1]);
    r.out = ends[0];
    return r;
}

bool kernelHasLandlock() {
    return syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION) > 0;
}

class RendererConfinement : public ::testing::Test {
protected:
    void SetUp() override {
        char path[] = "/tmp/kalvex-home-XXXXXX";
        ASSERT_NE(mkdtemp(path), nullptr);
        home = path;
        std::ofstream(home / "secret") << "the player's own";
    }
    void TearDown() override { fs::remove_all(home); }

    fs::path home;
};

// Each act the game's player would not want from it fails, or ends it.
TEST_F(RendererConfinement, ActsFromInsideFail) {
    // Something listens for each socket, so that only the renderer's
    // confinement can refuse it.
    const int tcp = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(tcp, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(tcp, 8), 0);
    ASSERT_EQ(::getsockname(tcp, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const int local = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un name{};
    name.sun_family = AF_UNIX;
    const std::string socketPath = (home / "socket").string();
    socketPath.copy(name.sun_path, sizeof name.sun_path - 1);
    ASSERT_EQ(::bind(local, reinterpret_cast<sockaddr*>(&name), sizeof name), 0);
    ASSERT_EQ(::listen(local, 8), 0);
    // Standing in for the game, which is what the renderer would trace.
    prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY);

    const auto intrude = [&](const std::string& act) {
        Renderer r = start(
            {
                "LD_PRELOAD=" KALVEX_INTRUDER, "INTRUDER_ACT=" + act, "HOME=" + home.string(),
                    "INTRUDER_PORT=" + std::to_string(ntohs(address.sin_port)),
                    "INTRUDER_SOCKET=" + socketPath, "INTRUDER_GAME=" + std::to_string(getpid()),
#if defined(__SANITIZE_ADDRESS__)
                    // The preloaded code comes before the sanitizers' runtime.
                    "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0",
#endif
            },
            true);
        const std::string said = r.finish();
        EXPECT_NE(said.find(act + " tried"), std::string::npos) << act << ": the code did not run";
        return std::pair(said, r.status);
    };

    EXPECT_NE(intrude("bank").first.find("bank done"), std::string::npos);
    for (const std::string act : {"tcp", "unix", "read-home", "create", "trace", "fork", "exec"}) {
        if (act == "read-home" && !kernelHasLandlock()) {
            continue;  // only Landlock tells one file to read from another
        }
        const auto [said, status] = intrude(act);
        const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGSYS;
        const bool refused = said.find(act + " refused") != std::string::npos;
        EXPECT_TRUE(killed || refused)
            << act << " was let through: " << said << " status " << status;
    }
    EXPECT_FALSE(fs::exists(home / "created"));
    ::close(tcp);
    ::close(local);
}

// Confined while it renders, with nothing of its starter's open.
TEST_F(RendererConfinement, RendersConfinedWithItsThreeDescriptors) {
    // Opened as a careless game would leave it: inherited.
    const int leaked = ::open((home / "secret").c_str(), O_RDONLY);
    ASSERT_GE(leaked, 0);
    Renderer r = start({}, false);
    ::close(leaked);
    char line[8];
    ASSERT_EQ(::read(r.out, line, sizeof line), ssize_t(sizeof line));
    ASSERT_EQ(std::string(line, sizeof line), "samples\n");
    // Its pipe full, it waits for this.
    const fs::path proc = "/proc/" + std::to_string(r.pid);
    std::ifstream status(proc / "status");
    std::string text((std::istreambuf_iterator<char>(status)), {});
    EXPECT_NE(text.find("NoNewPrivs:\t1"), std::string::npos) << text;
    EXPECT_NE(text.find("Seccomp:\t2"), std::string::npos) << text;
    for (const auto& fd : fs::directory_iterator(proc / "fd")) {
        std::error_code error;
        EXPECT_NE(fs::read_symlink(fd.path(), error), home / "secret") << fd.path();
    }
    ::kill(r.pid, SIGKILL);
    r.finish();
}

// Without the kernel's sandboxes it renders all the same, and says what it
// runs without.
TEST_F(RendererConfinement, WithoutLandlockOrSeccompItRendersAndSaysSo) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        // A kernel that has neither, as far as the renderer can tell.
        scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ALLOW);
        for (int call : {SCMP_SYS(landlock_create_ruleset), SCMP_SYS(landlock_add_rule),
                         SCMP_SYS(landlock_restrict_self), SCMP_SYS(seccomp)}) {
            seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), call, 0);
        }
        seccomp_rule_add(filter, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(prctl), 1,
                         SCMP_A0(SCMP_CMP_EQ, PR_SET_SECCOMP));
        const int in = ::open(kSong.c_str(), O_RDONLY);
        if (seccomp_load(filter) != 0 || in < 0 || dup2(in, STDIN_FILENO) < 0 ||
            dup2(ends[1], STDOUT_FILENO) < 0) {
            _exit(127);
        }
        execl(KALVEX_RENDERER, KALVEX_RENDERER, kBank.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(ends[1]);
    Renderer r{pid, ends[0]};
    const std::string said = r.finish();
    const std::string first = said.substr(0, said.find('\n'));
    EXPECT_EQ(first.rfind("note runs without ", 0), 0u) << first;
    EXPECT_NE(first.find("Landlock"), std::string::npos) << first;
    EXPECT_NE(first.find("seccomp"), std::string::npos) << first;
    EXPECT_EQ(said.compare(first.size() + 1, 8, "samples\n"), 0) << said.substr(0, 200);
    // The whole song, to its end.
    EXPECT_GT(said.size(), std::size_t(44100 * 4 * 10));
    EXPECT_EQ(said.substr(said.size() - 4), std::string(4, '\0'));
    EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.status;
}

}  // namespace
