// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Writes the game's rabbit icon as PNG files for the desktop's icon theme,
// enlarged by whole factors so every pixel stays a sharp square.
//   kalvex_appicon OUTDIR   writes OUTDIR/<size>.png for 32, 64, 128 and 256
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "window/pictures.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kalvex_appicon OUTDIR\n");
        return 2;
    }
    const QImage rabbit = kalvex::loadPicture(QStringLiteral("rabbit")).toImage();
    QDir().mkpath(argv[1]);
    for (int factor : {1, 2, 4, 8}) {
        const QImage scaled =
            rabbit.scaled(rabbit.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        const QString file = QDir(argv[1]).filePath(QStringLiteral("%1.png").arg(scaled.width()));
        if (!scaled.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
