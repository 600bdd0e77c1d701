// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "music_support.h"

#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "../../tools/midigen/score.h"
#include "../../tools/midigen/smf.h"
#include "music/song_file.h"
#include "music/song_renderer.h"

namespace kalvex::testing {

std::filesystem::path sourceDir() {
    return KALVEX_SOURCE_DIR;
}

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> midiFromScore(std::string_view score) {
    return midigen::writeSmf(midigen::parseScore(score));
}

std::string testSoundFont() {
    const char* chosen = std::getenv("KALVEX_TEST_SOUNDFONT");
    const std::string bank = chosen != nullptr && *chosen != 0 ? chosen : kDefaultSoundFont;
    std::error_code ignored;
    std::printf("sound bank: %s (%s)\n", bank.c_str(),
                std::filesystem::canonical(bank, ignored).c_str());
    return bank;
}

SongRenderer testRenderer() {
    return rendererProgram(KALVEX_RENDERER, testSoundFont());
}

SongFile songFile(const std::filesystem::path& path) {
    SongFile song = loadSongFile(qpath(path));
    if (!song.bytes) {
        throw std::runtime_error(song.failure.toStdString());
    }
    return song;
}

SongFile songFile(const QString& path, const std::vector<std::uint8_t>& bytes) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("song"));
    writeBytes(file.toStdString(), bytes);
    SongFile song = songFile(file.toStdString());
    song.path = path;
    return song;
}

}  // namespace kalvex::testing
