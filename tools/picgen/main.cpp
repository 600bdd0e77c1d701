// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// picgen: draws every picture of the game and writes it in its exact format.
//   picgen OUTDIR                    writes all picture files into OUTDIR
//   picgen --sheet SHEET.png PICDIR  renders the files in PICDIR 4x into one PNG

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

#include "catalogue.h"
#include "contact_sheet.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: picgen OUTDIR\n"
                 "       picgen --sheet SHEET.png PICDIR\n");
    return 2;
}

int writeAll(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const picgen::PictureFile& file : picgen::catalogue()) {
        QFile out(QDir(folder).filePath(file.name));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(picgen::encode(file)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    // The sheet's captions need fonts, which need a GUI application; no screen is used.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 2 && !args[1].startsWith('-')) {
        return writeAll(args[1]);
    }
    if (args.size() == 4 && args[1] == QLatin1String("--sheet")) {
        return picgen::writeContactSheet(args[3], args[2]) ? 0 : 1;
    }
    return usage();
}
