// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The element kinds of the window, each shown by a real Qt widget so that
// Qt's own stacking, clipping and hit-testing apply. Stacking is the order
// in which the elements are created: each new element lies above the ones
// created before it in the same container.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>

#include "platform/element.h"

class QLabel;
class QPushButton;

namespace kalvex {

// Shows one picture at 1:1 and takes exactly its size. Receives pointer
// events over its whole rectangle, transparent pixels included.
class Picture : public Element {
public:
    Picture(QString name, QWidget* container);
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

private:
    QPixmap picture_;
};

struct LabelLook {
    bool opaque = false;
    QColor background = Qt::white;
    bool border = false;
    bool centred = false;
    bool autoSize = false;
};

// A text; receives pointer events over its whole rectangle even where
// nothing is drawn.
class Label : public CaptionElement {
public:
    Label(QString name, QWidget* container, const LabelLook& look, const QFont& font);
    QString caption() const override;
    void setCaption(const QString& text) override;

private:
    QLabel* label_;
    bool autoSize_;
};

enum class ShapeKind { Rectangle, RoundedRectangle, Circle };

struct ShapeLook {
    ShapeKind kind = ShapeKind::Rectangle;
    int outlineWidth = 1;  // pixels
    QColor outline = Qt::black;
    bool filled = false;
    QColor fill = Qt::white;
};

// Drawn only: pointer events pass through to whatever lies beneath.
class Shape : public Element {
public:
    Shape(QString name, QWidget* container, const ShapeLook& look);
};

// A straight line between two points, in twips; drawn only.
class Line : public Element {
public:
    Line(QString name, QWidget* container, float x1, float y1, float x2, float y2, int widthPixels,
         QColor colour);
};

// A standard push button with a caption; takes focus and reports clicks.
class PushButton : public CaptionElement {
public:
    PushButton(QString name, QWidget* container);
    QString caption() const override;
    void setCaption(const QString& text) override;

private:
    QPushButton* button_;
};

// A child surface with elements of its own; it draws its picture from the
// top-left corner, cut to its size, and handles no pointer events itself.
class PlayField : public Element {
public:
    PlayField(QString name, QWidget* container);
    void setPicture(const QPixmap& picture);
    QWidget* surface() const { return widget(); }
};

}  // namespace kalvex
