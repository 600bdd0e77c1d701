// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

// The pictures as the window shows them: each element its own file at 1:1,
// transparency showing what lies beneath, and crisp enlargement on high-DPI.

#include <QIcon>
#include <QImage>
#include <QWidget>

#include "pictures/picture_bytes.h"
#include "platform/elements.h"
#include "support/game_fixture.h"
#include "window/pictures.h"

namespace kalvex::testing {
namespace {

using PictureRenderTest = GameTest;

// Which picture each element shows, from the window's element tables.
struct Binding {
    QString element;
    QString file;
    int size = 0, bits = 0;  // .ico files: which image of the file
};

std::vector<Binding> bindings() {
    std::vector<Binding> rows = {
        {"banner", "banner.gif"},
        {"upButton", "blue-ball.gif"},
        {"rightButton", "red-ball.gif"},
        {"gaugeButton", "click-here.jpg"},
        {"claw", "claw-open.gif"},
        {"clawFrame(0)", "claw-closed.gif"},
        {"clawFrame(1)", "claw-lowered.gif"},
        {"clawFrame(2)", "claw-bottom.gif"},
    };
    for (int k = 1; k <= 27; ++k) {
        Binding b{QStringLiteral("prize(%1)").arg(k),
                  QStringLiteral("prize-%1.ico").arg(k, 2, 10, QChar('0')), 32, 8};
        if (k == 8 || k == 13) {
            b.file = "rabbit.ico";  // its best image: 256 colours, not 16
        } else if (k == 10 || k == 14) {
            b.file = "squirrel.ico";
        }
        if (k == 2 || k == 5) {
            b.bits = 24;
        } else if (k == 4 || k == 15 || k == 16) {
            b.bits = 4;
        } else if (k >= 22) {
            b = {b.element, b.file, 48, 24};
        }
        rows.push_back(b);
    }
    return rows;
}

QImage expectedImage(const Binding& b) {
    if (!b.file.endsWith(".ico")) {
        return QImage(":/pictures/" + b.file).convertToFormat(QImage::Format_ARGB32);
    }
    const QByteArray bytes = pictureBytes(b.file);
    const IcoFacts facts = readIco(bytes);
    for (int i = 0; i < int(facts.images.size()); ++i) {
        if (facts.images[std::size_t(i)].width == b.size &&
            facts.images[std::size_t(i)].bits == b.bits) {
            return iconImageWithMask(bytes, i);
        }
    }
    return {};
}

class Shots {
public:
    explicit Shots(QWidget& window) : window_(window) {}
    QImage take() const { return window_.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QPoint origin(const Element& e) const { return e.widget()->mapTo(&window_, QPoint(0, 0)); }

private:
    QWidget& window_;
};

// Where the picture is opaque the window shows its pixel; where it is clear
// the window shows what it shows without the element.
struct Comparison {
    int wrongOpaque = 0, wrongClear = 0, opaque = 0, clear = 0;
};
Comparison compare(const QImage& picture, const QImage& with, const QImage& without, QPoint at) {
    Comparison c;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            const QPoint w = at + QPoint(x, y);
            if (qAlpha(p) == 0) {
                ++c.clear;
                c.wrongClear += with.pixel(w) != without.pixel(w);
            } else {
                ++c.opaque;
                c.wrongOpaque += with.pixel(w) != (p | 0xff000000u);
            }
        }
    }
    return c;
}

TEST_F(PictureRenderTest, EveryPictureElementShowsItsOwnFileAtOneToOne) {
    const std::vector<Binding> rows = bindings();
    for (const Binding& b : rows) {
        e(b.element).setVisible(false);
    }
    Shots shots(window());
    for (const Binding& b : rows) {
        SCOPED_TRACE(qPrintable(b.element + " " + b.file));
        const QImage picture = expectedImage(b);
        ASSERT_FALSE(picture.isNull());
        Element& element = e(b.element);
        EXPECT_EQ(element.width(), picture.width() * 15.0f);
        EXPECT_EQ(element.height(), picture.height() * 15.0f);
        const QImage without = shots.take();
        element.setVisible(true);
        const QImage with = shots.take();
        element.setVisible(false);
        const Comparison c = compare(picture, with, without, shots.origin(element));
        EXPECT_EQ(c.wrongOpaque, 0) << "of " << c.opaque << " opaque pixels";
        EXPECT_EQ(c.wrongClear, 0) << "of " << c.clear << " clear pixels";
    }
}

TEST_F(PictureRenderTest, APrizeShowsThroughTheClawsClearPixelsAndItsOwnPixelsCoverIt) {
    // The claw hangs over the bear, prize 16, which lies under it in the stacking order.
    Element& hand = e("claw");
    hand.setLeft(e("prize(16)").left() - 60);
    hand.setTop(e("prize(16)").top() - 60);
    Shots shots(window());
    const QImage with = shots.take();
    hand.setVisible(false);
    const QImage without = shots.take();
    const QImage claw = expectedImage({"claw", "claw-open.gif"});
    const QPoint at = shots.origin(hand);

    const Comparison c = compare(claw, with, without, at);
    EXPECT_EQ(c.wrongOpaque, 0);
    EXPECT_EQ(c.wrongClear, 0);
    int prizeSeenThrough = 0, prizeCovered = 0;
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const QPoint w = at + QPoint(x, y);
            if (without.pixel(w) == white) {
                continue;  // the field, not the prize
            }
            if (qAlpha(claw.pixel(x, y)) == 0) {
                prizeSeenThrough += with.pixel(w) == without.pixel(w);
            } else {
                prizeCovered += with.pixel(w) != without.pixel(w);
            }
        }
    }
    EXPECT_GT(prizeSeenThrough, 300);
    EXPECT_GT(prizeCovered, 100);
}

TEST_F(PictureRenderTest, BannerLettersStandWhiteOnTheBlueBarWithCabinetAboveAndBelow) {
    Shots shots(window());
    const QImage with = shots.take();
    e("banner").setVisible(false);
    const QImage without = shots.take();
    const QImage banner = expectedImage({"banner", "banner.gif"});
    const QPoint at = shots.origin(e("banner"));
    const QRgb blue = qRgb(0, 0, 255), yellow = qRgb(255, 255, 0);
    int letters = 0, offBar = 0, notWhite = 0, overhang = 0, overhangNotYellow = 0;
    for (int y = 0; y < banner.height(); ++y) {
        for (int x = 0; x < banner.width(); ++x) {
            const QPoint w = at + QPoint(x, y);
            const QColor b = banner.pixelColor(x, y);
            if (b.alpha() && b.red() > 235) {
                ++letters;
                offBar += without.pixel(w) != blue;
                notWhite += QColor(with.pixel(w)).lightness() < 235;
            }
            // The bar spans rows 3 to 27; rows 2, 28 and 29 lie on the plain cabinet
            // (rows 0 and 1 meet its outline and rounded corners).
            if (b.alpha() == 0 && (y == 2 || y == 28 || y == 29)) {
                ++overhang;
                overhangNotYellow += with.pixel(w) != yellow;
            }
        }
    }
    EXPECT_GT(letters, 400);
    EXPECT_EQ(offBar, 0) << "every letter stands on the bar";
    EXPECT_EQ(notWhite, 0);
    EXPECT_EQ(overhang, 3 * banner.width());
    EXPECT_EQ(overhangNotYellow, 0);
}

TEST_F(PictureRenderTest, FieldIsWhiteToItsLastPixel) {
    const std::vector<Element*> children = stackingOrder(window().playField());
    for (Element* child : children) {
        child->setVisible(false);
    }
    Shots shots(window());
    const QImage shot = shots.take();
    const QPoint at = shots.origin(e("playField"));
    ASSERT_EQ(window().playField()->size(), QSize(209, 209));
    int notWhite = 0;
    for (int y = 0; y < 209; ++y) {
        for (int x = 0; x < 209; ++x) {
            notWhite += shot.pixel(at + QPoint(x, y)) != qRgb(255, 255, 255);
        }
    }
    EXPECT_EQ(notWhite, 0);
    // The frame round the field begins right after its last column and row.
    EXPECT_NE(shot.pixel(at + QPoint(209, 100)), qRgb(255, 255, 255));
}

TEST_F(PictureRenderTest, EmptyPrizeSlotShowsNothing) {
    auto& slot = static_cast<Picture&>(e("prize(0)"));
    EXPECT_TRUE(slot.picture().isNull());
    EXPECT_EQ(slot.width(), 135);
    EXPECT_EQ(slot.height(), 135);
    Shots shots(window());
    const QImage shot = shots.take();
    const QPoint at = shots.origin(slot);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(shot.pixel(at + QPoint(x, y)), qRgb(255, 255, 255)) << x << "," << y;
        }
    }
}

TEST_F(PictureRenderTest, TwoDepthIconShowsItsRicherImage) {
    const QImage rich = expectedImage({"", "rabbit.ico", 32, 8});
    const QImage poor = expectedImage({"", "rabbit.ico", 32, 4});
    ASSERT_NE(rich, poor) << "the two images must differ for this check to mean anything";
    const QImage shown = static_cast<Picture&>(e("prize(8)"))
                             .picture()
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(shown, rich);
}

TEST_F(PictureRenderTest, WindowIconIsTheRabbit) {
    const QImage icon = window()
                            .windowIcon()
                            .pixmap(QSize(32, 32))
                            .toImage()
                            .convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(icon, expectedImage({"", "rabbit.ico", 32, 8}));
}

TEST(PictureScaling, HighDpiEnlargesByWholeFactorsPixelForPixel) {
    const QImage plain = decodePicture("claw-open").convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(plain.size(), QSize(40, 40));
    for (qreal ratio : {2.0, 3.0}) {
        const QPixmap pixmap = loadPicture("claw-open", ratio);
        EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        EXPECT_EQ(pixmap.deviceIndependentSize(), QSizeF(40, 40));
        const QImage big = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
        const int f = int(ratio);
        int blurred = 0;
        for (int y = 0; y < big.height(); ++y) {
            for (int x = 0; x < big.width(); ++x) {
                blurred += big.pixel(x, y) != plain.pixel(x / f, y / f);
            }
        }
        EXPECT_EQ(blurred, 0) << "ratio " << ratio;
    }
    EXPECT_EQ(loadPicture("claw-open", 1.0).size(), QSize(40, 40));
    // A fractional ratio rounds to a whole factor.
    EXPECT_EQ(loadPicture("claw-open", 1.75).size(), QSize(80, 80));
}

TEST(PictureScaling, PictureElementKeepsItsLogicalSizeOnHighDpi) {
    QWidget container;
    Picture picture("claw", &container);
    picture.setPicture(loadPicture("claw-open", 2.0));
    EXPECT_EQ(picture.width(), 600);
    EXPECT_EQ(picture.height(), 600);
}

}  // namespace
}  // namespace kalvex::testing
