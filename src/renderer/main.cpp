// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// kalvex-renderer SOUNDFONT: turns the song on standard input into samples on
// standard output, for the game (see protocol.h). The song file and the bank
// are anyone's to replace, so they are parsed here, where a crash, a hang or a
// runaway allocation costs the game its music and nothing more.
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "renderer/confine.h"
#include "renderer/protocol.h"
#include "renderer/synth.h"

namespace {

using namespace kalvex;

// A render of the longest song kept takes about a second of CPU.
constexpr rlim_t kMostCpuSeconds = 30;
// FluidSynth with the largest General MIDI bank stays under 200 MiB.
constexpr rlim_t kMostAddressSpace = rlim_t(1) << 30;
void limit(int resource, rlim_t most) {
    const rlimit r{most, most};
    setrlimit(resource, &r);
}

bool writeAll(const void* data, std::size_t size) {
    for (auto* p = static_cast<const char*>(data); size > 0;) {
        const ssize_t n = ::write(STDOUT_FILENO, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= std::size_t(n);
    }
    return true;
}

int answer(const std::string& line) {
    writeAll(line.data(), line.size());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Dies with the game, even one killed outright. The game may already have
    // gone before that was said: then nobody reads what this would write.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    pollfd out{STDOUT_FILENO, 0, 0};
    if (argc != 2 || (poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0)) {
        return 2;
    }
    limit(RLIMIT_CPU, kMostCpuSeconds);
#if !defined(__SANITIZE_ADDRESS__)  // its shadow memory needs terabytes of address space
    limit(RLIMIT_AS, kMostAddressSpace);
#endif
    limit(RLIMIT_CORE, 0);
    // Held to rendering before a byte of the song or the bank is read.
    if (const std::string missing = renderer::confine(argv[1]); !missing.empty()) {
        answer("note runs without " + missing + "\n");
    }

    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 65536> piece;
    for (ssize_t n = 0; (n = ::read(STDIN_FILENO, piece.data(), piece.size())) != 0;) {
        if (n < 0 && errno != EINTR) {
            return answer("error the song could not be read\n");
        }
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + std::max<ssize_t>(n, 0));
        if (bytes.size() > renderer::kLargestSongBytes) {
            return answer("song is too large to be a song\n");
        }
    }
    Synthesiser synth;
    std::string failure;
    if (!synth.load(argv[1], failure)) {
        return answer("error " + failure + "\n");
    }
    if (!synth.open(bytes, failure)) {
        return answer("song is not a playable MIDI file" + (failure.empty() ? "" : ": " + failure) +
                      "\n");
    }
    if (!writeAll("samples\n", 8)) {
        return 1;
    }
    const Synthesiser::Ending ending =
        synth.render(renderer::kMostFrames, [](const std::int16_t* pcm, std::size_t count) {
            std::array<std::int16_t, renderer::kPieceFrames * renderer::kChannels> little;
            for (std::size_t i = 0; i < count * renderer::kChannels; ++i) {
                little[i] = std::int16_t(renderer::littleEndian(std::uint16_t(pcm[i])));
            }
            const std::uint32_t frames = renderer::littleEndian(std::uint32_t(count));
            if (!writeAll(&frames, sizeof frames) ||
                !writeAll(little.data(), count * renderer::kFrameBytes)) {
                std::_Exit(1);  // the game has gone, or given up on the song
            }
        });
    if (ending == Synthesiser::Ending::failed) {
        return 1;  // no end mark: the game says the renderer ended before the song was done
    }
    const std::uint32_t end = renderer::littleEndian(
        ending == Synthesiser::Ending::whole ? renderer::kWhole : renderer::kCut);
    return writeAll(&end, sizeof end) ? 0 : 1;
}
