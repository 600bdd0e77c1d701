// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <array>
#include <cassert>
#include <functional>

class QWidget;

namespace kalvex {

// An item of the window, placed in twips in its container's coordinates.
// The round logic reads back exactly the single-precision values it wrote;
// only drawing maps them to pixels. Positions may lie outside the container.
class Element {
public:
    explicit Element(QString name);
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    float left() const { return left_; }
    float top() const { return top_; }
    float width() const { return width_; }
    float height() const { return height_; }
    bool isVisible() const { return visible_; }
    bool isEnabled() const { return enabled_; }

    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void setVisible(bool visible);
    void setEnabled(bool enabled);

    // The widget that shows this element.
    QWidget* widget() const { return widget_; }

    // Pointer events delivered to this element by the window's hit test.
    std::function<void()> onMouseMove;
    std::function<void()> onClick;

protected:
    // Called once by each element kind with the widget it draws with.
    void attach(QWidget* widget);
    void placeWidget();

private:
    QString name_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    QWidget* widget_ = nullptr;
};

// An element with a text of its own: labels and push buttons.
class CaptionElement : public Element {
public:
    using Element::Element;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& text) = 0;
};

// A named group of elements addressed by index, written prize(5).
template <std::size_t N>
class ElementGroup {
public:
    explicit ElementGroup(const std::array<Element*, N>& members) : members_(members) {}
    Element& operator()(int index) const {
        assert(index >= 0 && static_cast<std::size_t>(index) < N);
        return *members_[static_cast<std::size_t>(index)];
    }

private:
    std::array<Element*, N> members_;
};

}  // namespace kalvex
