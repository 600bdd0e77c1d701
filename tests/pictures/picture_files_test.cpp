// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// Every committed picture file against its row of the picture tables, judged
// from the file's own headers and pixels.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <set>

#include "pictures/picture_bytes.h"

namespace kalvex::testing {
namespace {

std::string testName(const char* file) {
    std::string name(file);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
    return name;
}

int countPixels(const QImage& image, auto predicate) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += predicate(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// ---- the set of files --------------------------------------------------

TEST(PictureSet, HoldsExactlyTheGamesThirtyFourFiles) {
    // 37 pictures: the rabbit file also serves prizes 8 and 13, the squirrel 10 and 14.
    std::set<QString> expected = {"field.jpg",       "click-here.jpg",   "banner.gif",
                                  "blue-ball.gif",   "red-ball.gif",     "claw-open.gif",
                                  "claw-closed.gif", "claw-lowered.gif", "claw-bottom.gif",
                                  "rabbit.ico",      "squirrel.ico"};
    for (int k = 1; k <= 27; ++k) {
        if (k != 8 && k != 10 && k != 13 && k != 14) {
            expected.insert(QStringLiteral("prize-%1.ico").arg(k, 2, 10, QChar('0')));
        }
    }
    const QStringList embedded = QDir(QStringLiteral(":/pictures")).entryList(QDir::Files);
    EXPECT_EQ(std::set<QString>(embedded.begin(), embedded.end()), expected);
}

// ---- JPEG --------------------------------------------------------------

struct JpegRow {
    const char* file;
    int width, height;
};
void PrintTo(const JpegRow& row, std::ostream* os) {
    *os << row.file;
}
constexpr JpegRow kJpegs[] = {{"field.jpg", 210, 210}, {"click-here.jpg", 80, 20}};

class JpegFile : public ::testing::TestWithParam<JpegRow> {};

TEST_P(JpegFile, IsBaselineWithThreeComponentsAtItsSize) {
    const JpegRow row = GetParam();
    const JpegFacts f = readJpeg(pictureBytes(row.file));
    EXPECT_TRUE(f.startsWithSoi);
    EXPECT_TRUE(f.endsWithEoi);
    EXPECT_EQ(f.frameMarkers, std::vector<int>{0xC0}) << "one baseline (SOF0) frame only";
    EXPECT_EQ(f.precision, 8);
    EXPECT_EQ(f.components, 3);
    EXPECT_EQ(f.width, row.width);
    EXPECT_EQ(f.height, row.height);
    const QImage decoded(QStringLiteral(":/pictures/") + row.file);
    EXPECT_EQ(decoded.size(), QSize(row.width, row.height));
    EXPECT_FALSE(decoded.hasAlphaChannel());
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegFile, ::testing::ValuesIn(kJpegs),
                         [](const auto& info) { return testName(info.param.file); });

TEST(JpegContent, FieldIsPlainWhite) {
    const QImage field(QStringLiteral(":/pictures/field.jpg"));
    EXPECT_EQ(countPixels(field, [](QColor c) { return c != QColor(Qt::white); }), 0);
}

TEST(JpegContent, GaugeButtonHasBlackLettersOnYellow) {
    const QImage button(QStringLiteral(":/pictures/click-here.jpg"));
    const int yellow = countPixels(
        button, [](QColor c) { return c.red() > 220 && c.green() > 190 && c.blue() < 90; });
    const int black = countPixels(button, [](QColor c) { return c.lightness() < 50; });
    EXPECT_GT(yellow, 80 * 20 / 2);
    // The letters, without the one-pixel frame round the button.
    const int letters =
        countPixels(button.copy(3, 3, 74, 14), [](QColor c) { return c.lightness() < 50; });
    EXPECT_GT(letters, 150);
    EXPECT_GT(black, letters);
}

// ---- GIF ---------------------------------------------------------------

struct GifRow {
    const char* file;
    int width, height, tableSize;
};
void PrintTo(const GifRow& row, std::ostream* os) {
    *os << row.file;
}
constexpr GifRow kGifs[] = {
    {"claw-open.gif", 40, 40, 128},    {"claw-closed.gif", 40, 40, 128},
    {"claw-lowered.gif", 40, 40, 128}, {"claw-bottom.gif", 40, 40, 128},
    {"blue-ball.gif", 32, 32, 256},    {"red-ball.gif", 32, 32, 256},
    {"banner.gif", 180, 30, 128},
};

class GifFile : public ::testing::TestWithParam<GifRow> {};

TEST_P(GifFile, IsGif89aWithOneImageItsGlobalTableAndOneTransparentIndex) {
    const GifRow row = GetParam();
    const GifFacts f = readGif(pictureBytes(row.file));
    EXPECT_EQ(f.version, QByteArray("GIF89a"));
    EXPECT_EQ(f.width, row.width);
    EXPECT_EQ(f.height, row.height);
    EXPECT_TRUE(f.globalTable);
    EXPECT_EQ(f.globalTableSize, row.tableSize);
    EXPECT_EQ(f.images, 1);
    EXPECT_EQ(f.firstImage, QRect(0, 0, row.width, row.height));
    EXPECT_FALSE(f.localTable);
    EXPECT_EQ(f.controlExtensions, 1);
    EXPECT_TRUE(f.transparencyFlag);
    EXPECT_GE(f.transparentIndex, 0);
    EXPECT_LT(f.transparentIndex, row.tableSize);
    EXPECT_TRUE(f.endsWithTrailer);
}

TEST_P(GifFile, DecodesThroughQtWithTransparentPixelsAsAlphaZero) {
    const GifRow row = GetParam();
    const QImage image =
        QImage(QStringLiteral(":/pictures/") + row.file).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(row.width, row.height));
    const int clear = countPixels(image, [](QColor c) { return c.alpha() == 0; });
    const int solid = countPixels(image, [](QColor c) { return c.alpha() == 255; });
    EXPECT_EQ(clear + solid, row.width * row.height) << "no partial transparency";
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
    // A picture on a square canvas leaves its corners clear.
    EXPECT_EQ(image.pixelColor(0, row.height - 1).alpha(), 0);
    EXPECT_EQ(image.pixelColor(row.width - 1, row.height - 1).alpha(), 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifFile, ::testing::ValuesIn(kGifs),
                         [](const auto& info) { return testName(info.param.file); });

QImage gif(const char* file) {
    return QImage(QStringLiteral(":/pictures/") + file).convertToFormat(QImage::Format_ARGB32);
}

TEST(GifContent, ClawFramesShareTheCentreLineAndTheBallShrinksAsItGoesDown) {
    const char* frames[] = {"claw-open.gif", "claw-closed.gif", "claw-lowered.gif",
                            "claw-bottom.gif"};
    std::vector<int> ballPixels;
    for (const char* file : frames) {
        const QImage claw = gif(file);
        double sumX = 0;
        int n = 0, left = 40, right = -1, green = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const QColor c = claw.pixelColor(x, y);
                if (c.alpha() == 0) {
                    continue;
                }
                sumX += x + 0.5;
                ++n;
                left = std::min(left, x);
                right = std::max(right, x);
                green += c.green() > c.red() + 40 && c.green() > c.blue() + 40 ? 1 : 0;
            }
        }
        ASSERT_GT(n, 0) << file;
        EXPECT_NEAR(sumX / n, 20.0, 0.6) << file << ": centre of the drawn pixels";
        EXPECT_NEAR((left + right + 1) / 2.0, 20.0, 1.0) << file << ": symmetric extent";
        ballPixels.push_back(green);
    }
    // 16 pixels across: about 200 pixels of ball.
    EXPECT_NEAR(ballPixels[0], 200, 40);
    EXPECT_NEAR(ballPixels[1], ballPixels[0], 12) << "the closed claw keeps the full ball";
    EXPECT_LT(ballPixels[2], ballPixels[1] * 0.75);
    EXPECT_LT(ballPixels[3], ballPixels[2] * 0.75);
}

TEST(GifContent, OpenClawHangsFromTheTopEdgeWithArmsReachingFarOut) {
    const QImage claw = gif("claw-open.gif");
    EXPECT_LT(claw.pixelColor(19, 0).lightness(), 60);
    EXPECT_EQ(claw.pixelColor(19, 0).alpha(), 255);
    int left = 40, right = -1;
    for (int y = 30; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (claw.pixelColor(x, y).alpha()) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_LE(left, 6);
    EXPECT_GE(right, 33);
}

TEST(GifContent, BallButtonsAreBlueWithRedRimAndRedWithBlueRim) {
    auto reddish = [](QColor c) { return c.red() > c.blue() + 80; };
    auto bluish = [](QColor c) { return c.blue() > c.red() + 80; };
    const QImage blue = gif("blue-ball.gif"), red = gif("red-ball.gif");
    EXPECT_TRUE(bluish(blue.pixelColor(17, 18)));
    EXPECT_TRUE(reddish(red.pixelColor(17, 18)));
    for (QPoint rim : {QPoint(16, 3), QPoint(3, 16), QPoint(28, 16), QPoint(16, 28)}) {
        EXPECT_TRUE(reddish(blue.pixelColor(rim))) << rim.x() << "," << rim.y();
        EXPECT_TRUE(bluish(red.pixelColor(rim))) << rim.x() << "," << rim.y();
    }
}

TEST(GifContent, BannerIsOnlyWhiteLettersSoftenedTowardsTheBlueBar) {
    const QImage banner = gif("banner.gif");
    int white = 0;
    for (int y = 0; y < banner.height(); ++y) {
        for (int x = 0; x < banner.width(); ++x) {
            const QColor c = banner.pixelColor(x, y);
            if (c.alpha() == 0) {
                continue;
            }
            // White, or white blended with the bar's blue at a letter's edge.
            EXPECT_GE(c.blue(), 240) << x << "," << y;
            EXPECT_NEAR(c.red(), c.green(), 6) << x << "," << y;
            white += c.red() > 235 ? 1 : 0;
        }
    }
    EXPECT_GT(white, 400) << "large letters";
}

// ---- ICO ---------------------------------------------------------------

struct Layer {
    int size, bits;
    auto operator<=>(const Layer&) const = default;
};
struct IcoRow {
    const char* file;
    std::vector<Layer> layers;
};

void PrintTo(const IcoRow& row, std::ostream* os) {
    *os << row.file;
}

const std::vector<IcoRow>& icoRows() {
    static const std::vector<IcoRow> rows = [] {
        const std::vector<Layer> c16{{32, 4}}, c256{{32, 8}}, both{{32, 4}, {32, 8}},
            full{{32, 24}}, large{{48, 24}};
        return std::vector<IcoRow>{
            {"rabbit.ico", both},    {"squirrel.ico", c256},
            {"prize-01.ico", c256},  {"prize-02.ico", full},
            {"prize-03.ico", c256},  {"prize-04.ico", c16},
            {"prize-05.ico", full},  {"prize-06.ico", c256},
            {"prize-07.ico", c256},  {"prize-09.ico", c256},
            {"prize-11.ico", c256},  {"prize-12.ico", both},
            {"prize-15.ico", c16},   {"prize-16.ico", c16},
            {"prize-17.ico", c256},  {"prize-18.ico", {{32, 8}, {16, 8}}},
            {"prize-19.ico", c256},  {"prize-20.ico", c256},
            {"prize-21.ico", c256},  {"prize-22.ico", large},
            {"prize-23.ico", large}, {"prize-24.ico", large},
            {"prize-25.ico", large}, {"prize-26.ico", large},
            {"prize-27.ico", large},
        };
    }();
    return rows;
}

class IcoFile : public ::testing::TestWithParam<IcoRow> {};

TEST_P(IcoFile, HoldsItsImagesAtTheirSizesAndDepths) {
    const IcoRow& row = GetParam();
    const QByteArray bytes = pictureBytes(row.file);
    const IcoFacts f = readIco(bytes);
    EXPECT_EQ(f.reserved, 0);
    EXPECT_EQ(f.type, 1) << "an icon, not a cursor";
    std::vector<Layer> found;
    for (const IconFacts& img : f.images) {
        found.push_back({img.width, img.bits});
    }
    std::vector<Layer> expected = row.layers;
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);

    qint64 end = 6 + 16 * qint64(f.images.size());
    for (const IconFacts& img : f.images) {
        SCOPED_TRACE(::testing::Message() << img.width << "x" << img.height() << " " << img.bits);
        EXPECT_EQ(img.entryWidth, img.width);
        EXPECT_EQ(img.entryHeight, img.width);
        EXPECT_EQ(img.doubledHeight, 2 * img.width) << "colour bitmap and mask";
        EXPECT_EQ(img.headerSize, 40);
        EXPECT_EQ(img.entryPlanes, 1);
        EXPECT_EQ(img.planes, 1);
        EXPECT_EQ(img.entryBits, img.bits);
        EXPECT_EQ(img.entryColours, img.bits == 4 ? 16 : 0);
        EXPECT_EQ(img.compression, 0);
        // The size covers the header, palette, colour rows and the 1-bit AND mask.
        EXPECT_EQ(img.entrySize, img.expectedSize);
        EXPECT_EQ(img.entryOffset, end) << "images follow each other without gaps";
        end = img.entryOffset + img.entrySize;
    }
    EXPECT_EQ(end, bytes.size());
}

TEST_P(IcoFile, MaskMarksTransparencyAndMaskedPixelsAreBlack) {
    const IcoRow& row = GetParam();
    const IcoFacts f = readIco(pictureBytes(row.file));
    for (const IconFacts& img : f.images) {
        SCOPED_TRACE(::testing::Message() << img.width << "x" << img.height() << " " << img.bits);
        ASSERT_EQ(img.masked.size(), std::size_t(img.width * img.height()));
        const auto masked = std::count(img.masked.begin(), img.masked.end(), true);
        EXPECT_GT(masked, 0);
        EXPECT_LT(masked, img.width * img.height());
        // Black under the mask, so the picture blits onto any background unchanged.
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width; ++x) {
                if (img.maskedAt(x, y)) {
                    ASSERT_EQ(img.colourAt(x, y), qRgb(0, 0, 0)) << x << "," << y;
                }
            }
        }
    }
}

TEST_P(IcoFile, DecodesThroughQtInTheBitmapsColours) {
    const IcoRow& row = GetParam();
    const QByteArray bytes = pictureBytes(row.file);
    const IcoFacts f = readIco(bytes);
    for (int i = 0; i < int(f.images.size()); ++i) {
        const IconFacts& img = f.images[std::size_t(i)];
        SCOPED_TRACE(::testing::Message() << img.width << "x" << img.height() << " " << img.bits);
        const QImage decoded = iconImageWithMask(bytes, i);
        ASSERT_EQ(decoded.size(), QSize(img.width, img.height()));
        int mismatches = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width; ++x) {
                const QRgb c = decoded.pixel(x, y);
                if (img.maskedAt(x, y)) {
                    mismatches += qAlpha(c) == 0 ? 0 : 1;
                } else {
                    mismatches += c == (img.colourAt(x, y) | 0xff000000u) ? 0 : 1;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        if (img.bits <= 8) {
            // Qt applies the mask of palettised images by itself.
            QBuffer buffer;
            buffer.setData(bytes);
            QImageReader reader(&buffer, "ico");
            reader.jumpToImage(i);
            const QImage own = reader.read().convertToFormat(QImage::Format_ARGB32);
            int differences = 0;
            for (int y = 0; y < img.height(); ++y) {
                for (int x = 0; x < img.width; ++x) {
                    differences += (qAlpha(own.pixel(x, y)) == 0) != img.maskedAt(x, y);
                }
            }
            EXPECT_EQ(differences, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, IcoFile, ::testing::ValuesIn(icoRows()),
                         [](const auto& info) { return testName(info.param.file); });

TEST(IcoContent, TinyBirdSitsSmallInTheMiddleOfAClearSquare) {
    const IcoFacts f = readIco(pictureBytes("prize-21.ico"));
    ASSERT_EQ(f.images.size(), 1u);
    const IconFacts& bird = f.images[0];
    QRect drawn;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!bird.maskedAt(x, y)) {
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    EXPECT_TRUE(QRect(6, 6, 20, 20).contains(drawn))
        << drawn.x() << "," << drawn.y() << " " << drawn.width() << "x" << drawn.height();
    EXPECT_LE(drawn.width() * drawn.height(), 16 * 12);
}

TEST(IcoContent, TwoDepthIconsDifferOnlyInColourNotInShape) {
    for (const char* file : {"rabbit.ico", "prize-12.ico"}) {
        const IcoFacts f = readIco(pictureBytes(file));
        ASSERT_EQ(f.images.size(), 2u) << file;
        EXPECT_EQ(f.images[0].masked, f.images[1].masked) << file;
        EXPECT_NE(f.images[0].colours, f.images[1].colours) << file;
    }
}

}  // namespace
}  // namespace kalvex::testing
