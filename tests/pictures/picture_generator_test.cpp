// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The committed pictures are exactly what the generator draws today.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "pictures/picture_bytes.h"

namespace kalvex::testing {
namespace {

// The build puts the tests in BUILD/tests and the generator in BUILD/tools/picgen.
QString generatorPath() {
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../tools/picgen/picgen"));
}

TEST(PictureGenerator, RedrawsTheCommittedFilesByteForByte) {
    const QString picgen = generatorPath();
    ASSERT_TRUE(QFileInfo(picgen).isExecutable()) << qPrintable(picgen);
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());

    QProcess run;
    run.start(picgen, {out.path()});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    const QStringList drawn = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    const QStringList committed =
        QDir(QStringLiteral(":/pictures")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(drawn, committed);
    for (const QString& name : committed) {
        QFile file(QDir(out.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        EXPECT_TRUE(file.readAll() == pictureBytes(name))
            << qPrintable(name) << " differs: run `ninja regenerate-pictures` and commit";
    }
}

}  // namespace
}  // namespace kalvex::testing
