// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/element.h"

#include <QWidget>

#include "platform/twips.h"

namespace kalvex {

Element::Element(QString name) : name_(std::move(name)) {}

Element::~Element() = default;

void Element::attach(QWidget* widget) {
    widget_ = widget;
    widget_->setObjectName(name_);
    placeWidget();
    widget_->setVisible(visible_);
    widget_->setEnabled(enabled_);
}

// Both edges are rounded, so neighbouring elements meet without gaps.
void Element::placeWidget() {
    if (!widget_) {
        return;
    }
    const int x1 = twipsToPixels(left_);
    const int y1 = twipsToPixels(top_);
    const int x2 = twipsToPixels(static_cast<double>(left_) + width_);
    const int y2 = twipsToPixels(static_cast<double>(top_) + height_);
    widget_->setGeometry(x1, y1, x2 - x1, y2 - y1);
}

void Element::setLeft(float twips) {
    left_ = twips;
    placeWidget();
}

void Element::setTop(float twips) {
    top_ = twips;
    placeWidget();
}

void Element::setWidth(float twips) {
    width_ = twips;
    placeWidget();
}

void Element::setHeight(float twips) {
    height_ = twips;
    placeWidget();
}

void Element::setVisible(bool visible) {
    visible_ = visible;
    if (widget_) {
        widget_->setVisible(visible);
    }
}

void Element::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (widget_) {
        widget_->setEnabled(enabled);
    }
}

}  // namespace kalvex
