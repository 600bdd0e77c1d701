// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "window/frmgame.h"

#include <QCoreApplication>

#include "platform/placement.h"
#include "platform/titlebar.h"
#include "platform/twips.h"
#include "round/texts.h"
#include "window/layout.h"
#include "window/pictures.h"

namespace kalvex {

const QString frmGame::kInformation =
    QStringLiteral("Kalvex 인형뽑기 게임입니다. 마우스로 즐겨 보세요!");

namespace {

// Gulim where present; otherwise a Korean font that draws Hangul at 12 pixels.
QFont gameFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Gulim"), QStringLiteral("NanumGothic")});
    font.setPixelSize(pixelSize);
    return font;
}

constexpr int kWindowFontPixels = 12;   // 9 pt
constexpr int kMoveoutFontPixels = 35;  // 26.25 pt

// What assistive technology reads for the elements that are not plain text.
const std::pair<const char*, const char*> kAccessibleNames[] = {
    {"Image1", "Kalvex 제목: 누르면 게임 정보를 보여 줍니다"},
    {"Go_up", "파란색 버튼: 마우스를 올리면 집게가 위로 움직입니다"},
    {"Go_left", "빨간색 버튼: 마우스를 올리면 집게가 옆으로 움직입니다"},
    {"Moveout", "멈춤 구역: 마우스를 올리면 움직임이 멈춥니다"},
    {"luckclick", "Click Here: 흰 공이 가운데 올 때 누르세요"},
    {"Picture1", "인형 상자"},
};

QString keyOf(const layout::Row& row) {
    return row.index < 0 ? QString::fromUtf8(row.name)
                         : QStringLiteral("%1(%2)").arg(QString::fromUtf8(row.name)).arg(row.index);
}

}  // namespace

frmGame::frmGame(Clock& clock, Dialogs& dialogs)
    : tmrHandUp("tmrHandUp", clock, 80, false),
      tmrHandLeft("tmrHandLeft", clock, 80, false),
      tmrhand("tmrhand", clock, 50, false),
      tmrLuck("tmrLuck", clock, 30, true),
      tmrBackleft("tmrBackleft", clock, 80, false),
      tmrBacktop("tmrBacktop", clock, 80, false),
      clock_(clock),
      dialogs_(dialogs) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString());
    setFixedSize(twipsToPixels(layout::kWindowWidth), twipsToPixels(layout::kWindowHeight));
    setFont(gameFont(kWindowFontPixels));
    setWindowIcon(QIcon(loadPicture(QStringLiteral("rabbit"))));
    build();
    // The window's first frame does not wait for the music.
    MMControl1.startAfterFirstFrame(this);
    Form_Load();
}

frmGame::~frmGame() {
    // The clock may outlive the window: a box's hold goes with the window.
    if (held_) {
        clock_.resume();
    }
}

void frmGame::build() {
    // Build each container from the bottom of its stacking order up: a new
    // child widget lies above its older siblings.
    auto make = [this](const layout::Row& row, QWidget* container) {
        const QString name = keyOf(row);
        std::unique_ptr<Element> element;
        switch (row.kind) {
            case layout::Kind::PushButton: {
                auto button = std::make_unique<PushButton>(name, container);
                button->setCaption(QString::fromUtf8(row.caption));
                element = std::move(button);
                break;
            }
            case layout::Kind::PlayField: {
                auto field = std::make_unique<PlayField>(name, container);
                field->setPicture(loadPicture(QString::fromUtf8(row.picture)));
                Picture1_ = field.get();
                element = std::move(field);
                break;
            }
            case layout::Kind::Label: {
                auto label = std::make_unique<Label>(
                    name, container, row.label,
                    row.bigFont ? gameFont(kMoveoutFontPixels) : gameFont(kWindowFontPixels));
                label->setCaption(QString::fromUtf8(row.caption));
                element = std::move(label);
                break;
            }
            case layout::Kind::Picture: {
                auto picture = std::make_unique<Picture>(name, container);
                if (row.picture) {
                    picture->setPicture(loadPicture(QString::fromUtf8(row.picture)));
                }
                element = std::move(picture);
                break;
            }
            case layout::Kind::Shape:
                element = std::make_unique<Shape>(name, container, row.shape);
                break;
            case layout::Kind::Line:
                element = std::make_unique<Line>(name, container, row.left, row.top, row.width,
                                                 row.height, row.lineWidth, Qt::black);
                break;
        }
        if (row.kind != layout::Kind::Line) {
            // The table's geometry is the designed one; an auto-sized label keeps it too.
            element->setLeft(row.left);
            element->setTop(row.top);
            element->setWidth(row.width);
            element->setHeight(row.height);
        }
        element->setVisible(row.visible);
        byName_.insert(name, element.get());
        elements_.push_back(std::move(element));
    };
    const auto windowRows = layout::windowRows();
    for (auto row = windowRows.rbegin(); row != windowRows.rend(); ++row) {
        make(*row, this);
    }
    const auto fieldRows = layout::fieldRows();
    for (auto row = fieldRows.rbegin(); row != fieldRows.rend(); ++row) {
        make(*row, Picture1_->surface());
    }

    Label1_ = static_cast<CaptionElement*>(byName_.value("Label1"));
    auto group = [this]<std::size_t N>(const char* name) {
        std::array<Element*, N> members{};
        for (std::size_t i = 0; i < N; ++i) {
            members[i] = &element(QStringLiteral("%1(%2)").arg(QString::fromUtf8(name)).arg(i));
        }
        return ElementGroup<N>(members);
    };
    round_ = std::make_unique<Round>(RoundControls{
        .Hand = element("Hand"),
        .handed = group.operator()<kClawFrames>("handed"),
        .icons = group.operator()<kPrizeCount>("icons"),
        .Go_up = element("Go_up"),
        .Go_left = element("Go_left"),
        .Moveout = element("Moveout"),
        .Label1 = *Label1_,
        .Label2 = element("Label2"),
        .Label3 = element("Label3"),
        .Luck_check1 = element("Luck_check1"),
        .Luck_check2 = element("Luck_check2"),
        .Luck_check3 = element("Luck_check3"),
        .luckclick = element("luckclick"),
        .tmrHandUp = tmrHandUp,
        .tmrHandLeft = tmrHandLeft,
        .tmrhand = tmrhand,
        .tmrLuck = tmrLuck,
        .tmrBackleft = tmrBackleft,
        .tmrBacktop = tmrBacktop,
    });

    Round& r = *round_;
    element("Command1").onClick = handler([&r] { r.Command1_Click(); });
    element("Command2").onClick = handler([this] { Command2_Click(); });
    element("Image1").onClick = handler([this] { Image1_Click(); });
    element("luckclick").onClick = handler([&r] { r.luckclick_Click(); });
    element("Go_up").onMouseMove = handler([&r] { r.Go_up_MouseMove(); });
    element("Go_left").onMouseMove = handler([&r] { r.Go_left_MouseMove(); });
    element("Moveout").onMouseMove = handler([&r] { r.Moveout_MouseMove(); });
    tmrHandUp.onTick = handler([&r] { r.tmrHandUp_Timer(); });
    tmrHandLeft.onTick = handler([&r] { r.tmrHandLeft_Timer(); });
    tmrhand.onTick = handler([&r] { r.tmrhand_Timer(); });
    tmrLuck.onTick = handler([&r] { r.tmrLuck_Timer(); });
    tmrBackleft.onTick = handler([&r] { r.tmrBackleft_Timer(); });
    tmrBacktop.onTick = handler([&r] { r.tmrBacktop_Timer(); });
    MMControl1.Notify = [this](int code) {
        if (!ended_) {
            MMControl1_Notify(code);
        }
    };

    for (const auto& [name, text] : kAccessibleNames) {
        element(QString::fromUtf8(name)).widget()->setAccessibleName(QString::fromUtf8(text));
    }
    Label1_->widget()->setAccessibleDescription(QStringLiteral("상태 표시줄"));

    // The tab order begins with the play field, which takes the focus at
    // start so that no key acts until the player tabs to a push button.
    QWidget* field = playField();
    field->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(field, element("Command1").widget());
    setTabOrder(element("Command1").widget(), element("Command2").widget());
    field->setFocus();
}

template <class F>
std::function<void()> frmGame::handler(F f) {
    return [this, f] {
        if (!ended_ && !held_) {
            f();
        }
    };
}

void frmGame::setVisible(bool visible) {
    if (visible && !shown_) {
        shown_ = true;
        showCentred(*this, nullptr, [this] { QWidget::setVisible(true); });
        return;
    }
    QWidget::setVisible(visible);
}

void frmGame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    clearTitleBar(windowHandle());
}

void frmGame::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A window manager may fill the screen with the window on a shortcut or a
    // script's request although its size is fixed; the window takes its
    // state back, and the window manager its size and place before.
    constexpr Qt::WindowStates kFilling = Qt::WindowFullScreen | Qt::WindowMaximized;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kFilling)) {
        setWindowState(windowState() & ~kFilling);
    }
}

Element& frmGame::element(const QString& name) const {
    Element* found = byName_.value(name);
    Q_ASSERT_X(found, "frmGame::element", qPrintable(name));
    return *found;
}

std::vector<Element*> frmGame::stackingOrder(const QWidget* container) const {
    std::vector<Element*> order;
    const QObjectList& children = container->children();
    // Qt keeps siblings bottom first.
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        if (auto* widget = qobject_cast<QWidget*>(*child)) {
            if (Element* e = byName_.value(widget->objectName()); e && e->widget() == widget) {
                order.push_back(e);
            }
        }
    }
    return order;
}

void frmGame::Form_Load() {
    // The program's folder and the file, joined with this platform's separator.
    MMControl1.SetProperty(MMControl::kFileName,
                           QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid"));
    MMControl1.SetProperty(MMControl::kCommand, QStringLiteral("open"));
    MMControl1.SetProperty(MMControl::kCommand, QStringLiteral("play"));
    round_->LoadRoundState();
    Label1_->setCaption(texts::kAskBlue);
}

void frmGame::holdRound() {
    held_ = true;
    clock_.hold();
}

void frmGame::releaseRound() {
    clock_.resume();
    held_ = false;
}

void frmGame::Command2_Click() {
    holdRound();
    dialogs_.MsgBox(texts::kThanks, kOkButtonOnly, QStringLiteral("종료"));
    // However the box was closed, the program ends, and the round stays held
    // until it has: no handler runs after this.
    ended_ = true;
    dialogs_.End();
}

void frmGame::Image1_Click() {
    holdRound();
    dialogs_.MsgBox(kInformation, kOkButtonOnly | kInformationIcon, QStringLiteral("정보"));
    releaseRound();
}

void frmGame::MMControl1_Notify(int) {
    MMControl1.SetProperty(MMControl::kCommand, QStringLiteral("close"));
    MMControl1.SetProperty(MMControl::kCommand, QStringLiteral("open"));
    MMControl1.SetProperty(MMControl::kCommand, QStringLiteral("play"));
}

}  // namespace kalvex
