// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include <gtest/gtest.h>

#include <QWidget>

#include "platform/elements.h"

namespace kalvex {
namespace {

// The logic reads back exactly what it wrote, whatever the pixels become.
TEST(Element, KeepsTwipsExactlyAsWrittenAndMapsThemToPixels) {
    QWidget container;
    Picture picture("p", &container);
    for (float value : {-5000.0f, -1000.0f, -20.0f, 0.0f, 7.5f, 2520.0f, 32790.0f, 1e7f}) {
        picture.setLeft(value);
        picture.setTop(value);
        EXPECT_EQ(picture.left(), value);
        EXPECT_EQ(picture.top(), value);
    }
    picture.setLeft(-5000);
    picture.setTop(2520);
    picture.setWidth(600);
    picture.setHeight(600);
    EXPECT_EQ(picture.widget()->geometry(), QRect(-333, 168, 40, 40));
    picture.setLeft(-20);
    EXPECT_EQ(picture.widget()->x(), -1);
}

TEST(Element, PictureTakesItsPicturesSize) {
    QWidget container;
    Picture picture("p", &container);
    QPixmap pixmap(32, 48);
    pixmap.fill(Qt::red);
    picture.setPicture(pixmap);
    EXPECT_EQ(picture.width(), 480);
    EXPECT_EQ(picture.height(), 720);
}

TEST(Element, VisibleAndEnabledReachTheWidget) {
    QWidget container;
    Label label("l", &container, {}, QFont());
    label.setVisible(false);
    EXPECT_FALSE(label.isVisible());
    EXPECT_TRUE(label.widget()->isHidden());
    label.setEnabled(false);
    EXPECT_FALSE(label.widget()->isEnabled());
    label.setCaption(QStringLiteral("위로"));
    EXPECT_EQ(label.caption(), QStringLiteral("위로"));
}

TEST(Element, AutoSizedLabelTakesTheSizeOfANewText) {
    QWidget container;
    QFont font;
    font.setPixelSize(12);
    Label label("l", &container, {.autoSize = true}, font);
    label.setCaption(QStringLiteral("a much longer text than before"));
    const QFontMetrics metrics(font);
    EXPECT_EQ(label.width(), 15.0f * metrics.horizontalAdvance("a much longer text than before"));
    EXPECT_EQ(label.height(), 15.0f * metrics.height());
}

TEST(Element, ShapesAndLinesLetThePointerThrough) {
    QWidget container;
    Shape shape("s", &container, {});
    Line line("l", &container, 480, 4320, 3000, 4320, 10, Qt::black);
    EXPECT_TRUE(shape.widget()->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(line.widget()->testAttribute(Qt::WA_TransparentForMouseEvents));
    // A 10-pixel line spans its ends and half its width on each side.
    EXPECT_EQ(line.widget()->geometry(), QRect(27, 283, 178, 10));
}

}  // namespace
}  // namespace kalvex
