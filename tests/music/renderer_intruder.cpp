// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Code a crafted song or bank would get to run inside the renderer, for the
// confinement test. Preloaded into the real renderer, it takes the place of
// FluidSynth's bank loading, which comes after the renderer has confined
// itself, tries the one act INTRUDER_ACT names and says on standard error
// "ACT tried", then "ACT done" or "ACT refused: WHY" (unless the act ended it).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ptrace.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void say(const std::string& line) {
    const std::string text = line + "\n";
    (void)!::write(STDERR_FILENO, text.data(), text.size());
}

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool connected(int family, const sockaddr* to, socklen_t size) {
    const int s = ::socket(family, SOCK_STREAM, 0);
    return s >= 0 && ::connect(s, to, size) == 0;
}

bool readsFrom(const std::string& path) {
    char byte = 0;
    const int fd = ::open(path.c_str(), O_RDONLY);
    return fd >= 0 && ::read(fd, &byte, 1) == 1;
}

bool act(const std::string& what, const char* bank) {
    if (what == "bank") {  // allowed: shows that a "done" can be said
        return readsFrom(bank);
    } else if (what == "tcp") {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(std::uint16_t(std::atoi(env("INTRUDER_PORT").c_str())));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return connected(AF_INET, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } else if (what == "unix") {
        sockaddr_un to{};
        to.sun_family = AF_UNIX;
        std::strncpy(to.sun_path, env("INTRUDER_SOCKET").c_str(), sizeof to.sun_path - 1);
        return connected(AF_UNIX, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } else if (what == "read-home") {
        return readsFrom(env("HOME") + "/secret");
    } else if (what == "create") {
        return ::open((env("HOME") + "/created").c_str(), O_WRONLY | O_CREAT, 0600) >= 0;
    } else if (what == "trace") {  // seized, not stopped: the game goes on
        return ::ptrace(PTRACE_SEIZE, std::atoi(env("INTRUDER_GAME").c_str()), nullptr, nullptr) ==
               0;
    } else if (what == "fork") {
        const pid_t child = ::fork();
        if (child == 0) {
            ::_exit(0);
        }
        return child > 0;
    } else if (what == "exec") {
        ::execl("/bin/true", "true", static_cast<char*>(nullptr));
        return false;
    }
    errno = EINVAL;
    return false;
}

}  // namespace

extern "C" int fluid_synth_sfload(void*, const char* bank, int) {
    const std::string what = env("INTRUDER_ACT");
    say(what + " tried");
    errno = 0;
    say(what + (act(what, bank) ? " done" : std::string(" refused: ") + std::strerror(errno)));
    return -1;
}
