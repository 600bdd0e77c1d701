// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "platform/elements.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWidget>

#include "platform/twips.h"

namespace kalvex {

namespace {

// Turns Qt's press and release into the element's click: a click is a
// left-button release over the element that was pressed on it.
template <class Base>
class PointerWidget : public Base {
public:
    PointerWidget(Element& element, QWidget* parent) : Base(parent), element_(element) {
        this->setMouseTracking(true);
    }

protected:
    void mouseMoveEvent(QMouseEvent* event) override {
        event->accept();
        if (element_.onMouseMove) {
            element_.onMouseMove();
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton) {
            pressed_ = true;
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() != Qt::LeftButton || !pressed_) {
            return;
        }
        pressed_ = false;
        if (this->rect().contains(event->position().toPoint()) && element_.onClick) {
            element_.onClick();
        }
    }

    Element& element_;

private:
    bool pressed_ = false;
};

class PictureWidget : public PointerWidget<QWidget> {
public:
    PictureWidget(Picture& picture, QWidget* parent)
        : PointerWidget<QWidget>(picture, parent), picture_(picture) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (picture_.picture().isNull()) {
            return;
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture_.picture());
    }

private:
    Picture& picture_;
};

class LabelWidget : public PointerWidget<QLabel> {
public:
    using PointerWidget<QLabel>::PointerWidget;
};

class ShapeWidget : public QWidget {
public:
    ShapeWidget(const ShapeLook& look, QWidget* parent) : QWidget(parent), look_(look) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const qreal w = look_.outlineWidth;
        // The outline lies inside the shape's rectangle.
        QRectF box = QRectF(rect()).adjusted(w / 2, w / 2, -w / 2, -w / 2);
        painter.setPen(w > 0 ? QPen(look_.outline, w) : QPen(Qt::NoPen));
        painter.setBrush(look_.filled ? QBrush(look_.fill) : QBrush(Qt::NoBrush));
        switch (look_.kind) {
            case ShapeKind::Rectangle:
                painter.drawRect(box);
                break;
            case ShapeKind::RoundedRectangle: {
                painter.setRenderHint(QPainter::Antialiasing);
                const qreal radius = std::min(box.width(), box.height()) / 8;
                painter.drawRoundedRect(box, radius, radius);
                break;
            }
            case ShapeKind::Circle: {
                painter.setRenderHint(QPainter::Antialiasing);
                const qreal d = std::min(box.width(), box.height());
                painter.drawEllipse(
                    QRectF(box.center().x() - d / 2, box.center().y() - d / 2, d, d));
                break;
            }
        }
    }

private:
    ShapeLook look_;
};

class LineWidget : public QWidget {
public:
    LineWidget(QPointF from, QPointF to, int width, QColor colour, QWidget* parent)
        : QWidget(parent), from_(from), to_(to), width_(width), colour_(colour) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(colour_, width_, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(from_ - pos(), to_ - pos());
    }

private:
    QPointF from_, to_;
    int width_;
    QColor colour_;
};

class PlayFieldWidget : public QWidget {
public:
    explicit PlayFieldWidget(QWidget* parent) : QWidget(parent) {
        setMouseTracking(true);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    }
    QPixmap picture;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!picture.isNull()) {
            QPainter(this).drawPixmap(0, 0, picture);
        }
    }
    // The field is a surface of its own: a pointer over it reaches nothing beneath.
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
};

QPointF twipsPoint(float x, float y) {
    return {x / kTwipsPerPixel, y / kTwipsPerPixel};
}

}  // namespace

Picture::Picture(QString name, QWidget* container) : Element(std::move(name)) {
    attach(new PictureWidget(*this, container));
}

void Picture::setPicture(const QPixmap& picture) {
    picture_ = picture;
    const QSizeF size = picture.deviceIndependentSize();
    setWidth(static_cast<float>(size.width()) * kTwipsPerPixel);
    setHeight(static_cast<float>(size.height()) * kTwipsPerPixel);
    widget()->update();
}

Label::Label(QString name, QWidget* container, const LabelLook& look, const QFont& font)
    : CaptionElement(std::move(name)), autoSize_(look.autoSize) {
    label_ = new LabelWidget(*this, container);
    label_->setFont(font);
    label_->setAlignment(look.centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
    label_->setTextFormat(Qt::PlainText);
    if (look.opaque) {
        label_->setAutoFillBackground(true);
        QPalette pal = label_->palette();
        pal.setColor(QPalette::Window, look.background);
        label_->setPalette(pal);
    }
    if (look.border) {
        label_->setFrameStyle(QFrame::Box | QFrame::Plain);
        label_->setLineWidth(1);
    }
    attach(label_);
}

QString Label::caption() const {
    return label_->text();
}

void Label::setCaption(const QString& text) {
    // A label's text is its accessible name; Qt announces each change.
    label_->setText(text);
    if (autoSize_) {
        const QFontMetrics metrics(label_->font());
        setWidth(pixelsToTwips(metrics.horizontalAdvance(text)));
        setHeight(pixelsToTwips(metrics.height()));
    }
}

Shape::Shape(QString name, QWidget* container, const ShapeLook& look) : Element(std::move(name)) {
    attach(new ShapeWidget(look, container));
}

Line::Line(QString name, QWidget* container, float x1, float y1, float x2, float y2,
           int widthPixels, QColor colour)
    : Element(std::move(name)) {
    // The widget spans the line's bounding box, widened by half the pen on each side.
    const float half = std::max(1, widthPixels) * kTwipsPerPixel / 2;
    setLeft(std::min(x1, x2) - half);
    setTop(std::min(y1, y2) - half);
    setWidth(std::abs(x2 - x1) + 2 * half);
    setHeight(std::abs(y2 - y1) + 2 * half);
    attach(new LineWidget(twipsPoint(x1, y1), twipsPoint(x2, y2), widthPixels, colour, container));
}

PushButton::PushButton(QString name, QWidget* container) : CaptionElement(std::move(name)) {
    button_ = new QPushButton(container);
    QObject::connect(button_, &QPushButton::clicked, button_, [this] {
        if (onClick) {
            onClick();
        }
    });
    attach(button_);
}

QString PushButton::caption() const {
    return button_->text();
}

void PushButton::setCaption(const QString& text) {
    button_->setText(text);
}

PlayField::PlayField(QString name, QWidget* container) : Element(std::move(name)) {
    attach(new PlayFieldWidget(container));
}

void PlayField::setPicture(const QPixmap& picture) {
    static_cast<PlayFieldWidget*>(widget())->picture = picture;
    widget()->update();
}

}  // namespace kalvex
