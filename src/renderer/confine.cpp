// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "renderer/confine.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/landlock.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace kalvex::renderer {
namespace {

std::string because(const char* what, int error) {
    return std::string(what) + " (" + std::strerror(error) + ")";
}

// Whatever was opened before this program began, the game's or a shell's,
// is not the renderer's to use.
void closeInherited() {
    if (close_range(3, ~0U, 0) == 0) {
        return;
    }
    std::vector<int> open;
    if (DIR* dir = opendir("/proc/self/fd")) {
        for (const dirent* entry; (entry = readdir(dir)) != nullptr;) {
            const int fd = std::atoi(entry->d_name);
            if (fd > 2 && fd != dirfd(dir)) {
                open.push_back(fd);
            }
        }
        closedir(dir);
    }
    for (int fd : open) {
        ::close(fd);
    }
}

// The kernel's Landlock ruleset, as its newest ABI has it; an older kernel is
// given the part it knows.
struct Ruleset {
    std::uint64_t fs = 0;
    std::uint64_t net = 0;
    std::uint64_t scoped = 0;
};
constexpr std::uint64_t kTcpBindAndConnect = 3;          // ABI 4
constexpr std::uint64_t kAbstractSocketsAndSignals = 3;  // ABI 6
constexpr std::uint64_t kReadFile = LANDLOCK_ACCESS_FS_READ_FILE;
constexpr std::uint64_t kRead = kReadFile | LANDLOCK_ACCESS_FS_READ_DIR;

// Without it (a path that is not there), less is allowed: what it held fails.
void allowBeneath(int ruleset, const char* path, std::uint64_t access) {
    const int fd = ::open(path, O_PATH | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    struct stat st {};
    landlock_path_beneath_attr rule{};
    rule.allowed_access = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) ? access : kReadFile;
    rule.parent_fd = fd;
    syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &rule, 0);
    ::close(fd);
}

// Of the file system, only reading the bank (through whatever links lead to
// it) and /usr, where the libraries and their data live; no writing anywhere,
// and, where the kernel knows them, no TCP, no abstract sockets and no
// signals to anyone outside.
std::string restrictFiles(const char* bank) {
    const long abi =
        syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    if (abi < 1) {
        return because("Landlock", errno);
    }
    Ruleset wanted;
    std::size_t size = sizeof wanted.fs;
    // Each ABI handles one more right: refer (2), truncate (3), device ioctl (5).
    wanted.fs = (std::uint64_t(1) << (abi >= 5 ? 16 : abi >= 3 ? 15 : abi >= 2 ? 14 : 13)) - 1;
    if (abi >= 4) {
        wanted.net = kTcpBindAndConnect;
        size = offsetof(Ruleset, scoped);
    }
    if (abi >= 6) {
        wanted.scoped = kAbstractSocketsAndSignals;
        size = sizeof wanted;
    }
    const int ruleset = int(syscall(SYS_landlock_create_ruleset, &wanted, size, 0));
    if (ruleset < 0) {
        return because("Landlock", errno);
    }
    allowBeneath(ruleset, "/usr", kRead);
    allowBeneath(ruleset, bank, kRead);
    const bool ok = syscall(SYS_landlock_restrict_self, ruleset, 0) == 0;
    const int error = errno;
    ::close(ruleset);
    return ok ? "" : because("Landlock", error);
}

// What no rendering does: a call to one of these means the process has been
// taken over, and it ends there. The sanitizers' own tools fork a symbolizer
// and trace the threads for leaks, so under them these only fail.
#if defined(__SANITIZE_ADDRESS__)
const std::uint32_t kHostile = SCMP_ACT_ERRNO(EPERM);
#else
const std::uint32_t kHostile = SCMP_ACT_KILL_PROCESS;
#endif

// Only the system calls rendering makes; any other fails with EPERM, so
// that a library doing something new costs the music and nothing more.
std::string filterSystemCalls() {
    scmp_filter_ctx filter = seccomp_init(SCMP_ACT_ERRNO(EPERM));
    if (filter == nullptr) {
        return because("seccomp", ENOMEM);
    }
    seccomp_attr_set(filter, SCMP_FLTATR_ACT_BADARCH, SCMP_ACT_KILL_PROCESS);
    // A rule the machine cannot take (a call it does not have) is left out:
    // what it would have allowed then fails.
    const auto rule = [&](std::uint32_t action, int call,
                          std::initializer_list<scmp_arg_cmp> args = {}) {
        seccomp_rule_add_array(filter, action, call, unsigned(args.size()), args.begin());
    };
    const auto allow = [&](int call, std::initializer_list<scmp_arg_cmp> args = {}) {
        rule(SCMP_ACT_ALLOW, call, args);
    };
    // Reading its input and the bank.
    for (int call : {SCMP_SYS(read), SCMP_SYS(readv), SCMP_SYS(pread64), SCMP_SYS(preadv),
                     SCMP_SYS(lseek), SCMP_SYS(close)}) {
        allow(call);
    }
    for (int call :
         {SCMP_SYS(fstat), SCMP_SYS(newfstatat), SCMP_SYS(statx), SCMP_SYS(stat), SCMP_SYS(lstat),
          SCMP_SYS(access), SCMP_SYS(faccessat), SCMP_SYS(faccessat2)}) {
        allow(call);
    }
    // Memory, threads, signals and time.
    for (int call : {SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise), SCMP_SYS(brk),
                     SCMP_SYS(futex), SCMP_SYS(set_robust_list), SCMP_SYS(rseq)}) {
        allow(call);
    }
    for (int call : {SCMP_SYS(rt_sigaction), SCMP_SYS(rt_sigprocmask), SCMP_SYS(rt_sigreturn),
                     SCMP_SYS(sigaltstack), SCMP_SYS(exit), SCMP_SYS(exit_group), SCMP_SYS(getpid),
                     SCMP_SYS(gettid)}) {
        allow(call);
    }
    for (int call : {SCMP_SYS(clock_gettime), SCMP_SYS(clock_nanosleep), SCMP_SYS(nanosleep),
                     SCMP_SYS(getrandom), SCMP_SYS(poll), SCMP_SYS(ppoll), SCMP_SYS(sched_yield),
                     SCMP_SYS(sched_getaffinity)}) {
        allow(call);
    }
    // Its pipes to the game, and nothing else, are written.
    for (int call : {SCMP_SYS(write), SCMP_SYS(writev)}) {
        for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
            allow(call, {SCMP_A0(SCMP_CMP_EQ, scmp_datum_t(fd))});
        }
    }
    // Files open for reading only; Landlock says which.
    constexpr scmp_datum_t kWriting =
        O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND | (O_TMPFILE & ~O_DIRECTORY);
    allow(SCMP_SYS(openat), {SCMP_A2(SCMP_CMP_MASKED_EQ, kWriting, 0)});
    allow(SCMP_SYS(open), {SCMP_A1(SCMP_CMP_MASKED_EQ, kWriting, 0)});
    // Memory, never executable: every library was loaded before this.
    for (int call : {SCMP_SYS(mmap), SCMP_SYS(mprotect)}) {
        allow(call, {SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0)});
    }
    // Limits read, never changed.
    allow(SCMP_SYS(prlimit64), {SCMP_A2(SCMP_CMP_EQ, 0)});
    // Signals to itself alone, as abort() sends them.
    const auto self = scmp_datum_t(getpid());
    allow(SCMP_SYS(kill), {SCMP_A0(SCMP_CMP_EQ, self)});
    allow(SCMP_SYS(tgkill), {SCMP_A0(SCMP_CMP_EQ, self)});
    // Threads of its own, and no other process. Without clone3, whose flags a
    // filter cannot read, the C library falls back to clone.
    allow(SCMP_SYS(clone), {SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD)});
    rule(kHostile, SCMP_SYS(clone), {SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0)});
    rule(SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3));
    for (int call : {SCMP_SYS(fork), SCMP_SYS(vfork), SCMP_SYS(execve), SCMP_SYS(execveat),
                     SCMP_SYS(ptrace), SCMP_SYS(process_vm_readv), SCMP_SYS(process_vm_writev),
                     SCMP_SYS(socket), SCMP_SYS(socketpair), SCMP_SYS(connect)}) {
        rule(kHostile, call);
    }
    const int loaded = seccomp_load(filter);
    seccomp_release(filter);
    return loaded == 0 ? "" : because("seccomp", -loaded);
}

}  // namespace

std::string confine(const char* bank) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers read the memory map and their own file now, while they can.
    __sanitizer_sandbox_on_notify(nullptr);
#endif
    std::string missing;
    const auto lacks = [&](const std::string& what) {
        if (!what.empty()) {
            missing += (missing.empty() ? "" : ", ") + what;
        }
    };
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        lacks(because("no new privileges", errno));
    }
    closeInherited();
    lacks(restrictFiles(bank));
    lacks(filterSystemCalls());
    return missing;
}

}  // namespace kalvex::renderer
