// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "window/game_window.h"

#include <QCoreApplication>

#include "platform/placement.h"
#include "platform/titlebar.h"
#include "platform/twips.h"
#include "round/texts.h"
#include "window/layout.h"
#include "window/pictures.h"

namespace kalvex {

namespace {

// The one-line notice of the information box.
const QString kInformation = QStringLiteral("Kalvex 인형뽑기 게임입니다. 마우스로 즐겨 보세요!");

// Gulim where present; otherwise a Korean font that draws Hangul at 12 pixels.
QFont gameFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Gulim"), QStringLiteral("NanumGothic")});
    font.setPixelSize(pixelSize);
    return font;
}

constexpr int kWindowFontPixels = 12;     // 9 pt
constexpr int kHoverZoneFontPixels = 35;  // 26.25 pt

// What assistive technology reads for the elements that are not plain text.
const std::pair<const char*, const char*> kAccessibleNames[] = {
    {"banner", "Kalvex 제목: 누르면 게임 정보를 보여 줍니다"},
    {"upButton", "파란색 버튼: 마우스를 올리면 집게가 위로 움직입니다"},
    {"rightButton", "빨간색 버튼: 마우스를 올리면 집게가 옆으로 움직입니다"},
    {"hoverZone", "멈춤 구역: 마우스를 올리면 움직임이 멈춥니다"},
    {"gaugeButton", "Click Here: 흰 공이 가운데 올 때 누르세요"},
    {"playField", "인형 상자"},
};

QString keyOf(const layout::Row& row) {
    return row.index < 0 ? QString::fromUtf8(row.name)
                         : QStringLiteral("%1(%2)").arg(QString::fromUtf8(row.name)).arg(row.index);
}

}  // namespace

GameWindow::GameWindow(Clock& clock, Dialogs& dialogs)
    : clawUpTimer(clock, 80, false),
      clawRightTimer(clock, 80, false),
      dropTimer(clock, 50, false),
      gaugeTimer(clock, 30, true),
      returnLeftTimer(clock, 80, false),
      returnDownTimer(clock, 80, false),
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
    musicPlayer.startAfterFirstFrame(this);
    startUp();
}

GameWindow::~GameWindow() {
    // The clock may outlive the window: a box's hold goes with the window.
    if (held_) {
        clock_.resume();
    }
}

void GameWindow::build() {
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
                playField_ = field.get();
                element = std::move(field);
                break;
            }
            case layout::Kind::Label: {
                auto label = std::make_unique<Label>(
                    name, container, row.label,
                    row.bigFont ? gameFont(kHoverZoneFontPixels) : gameFont(kWindowFontPixels));
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
        make(*row, playField_->surface());
    }

    statusLine_ = static_cast<CaptionElement*>(byName_.value("statusLine"));
    auto group = [this]<std::size_t N>(const char* name) {
        std::array<Element*, N> members{};
        for (std::size_t i = 0; i < N; ++i) {
            members[i] = &element(QStringLiteral("%1(%2)").arg(QString::fromUtf8(name)).arg(i));
        }
        return ElementGroup<N>(members);
    };
    round_ = std::make_unique<Round>(RoundControls{
        .claw = element("claw"),
        .clawFrames = group.operator()<kClawFrames>("clawFrame"),
        .prizes = group.operator()<kPrizeCount>("prize"),
        .upButton = element("upButton"),
        .rightButton = element("rightButton"),
        .hoverZone = element("hoverZone"),
        .statusLine = *statusLine_,
        .upHint = element("upHint"),
        .rightHint = element("rightHint"),
        .gaugeTrack = element("gaugeTrack"),
        .gaugeBall = element("gaugeBall"),
        .gaugeMark = element("gaugeMark"),
        .gaugeButton = element("gaugeButton"),
        .clawUpTimer = clawUpTimer,
        .clawRightTimer = clawRightTimer,
        .dropTimer = dropTimer,
        .gaugeTimer = gaugeTimer,
        .returnLeftTimer = returnLeftTimer,
        .returnDownTimer = returnDownTimer,
    });

    Round& r = *round_;
    element("newGameButton").onClick = handler([&r] { r.newGame(); });
    element("exitButton").onClick = handler([this] { exitGame(); });
    element("banner").onClick = handler([this] { showInformation(); });
    element("gaugeButton").onClick = handler([&r] { r.stopGaugeBall(); });
    element("upButton").onMouseMove = handler([&r] { r.pointerOverUpButton(); });
    element("rightButton").onMouseMove = handler([&r] { r.pointerOverRightButton(); });
    element("hoverZone").onMouseMove = handler([&r] { r.pointerOverHoverZone(); });
    clawUpTimer.onTick = handler([&r] { r.moveClawUp(); });
    clawRightTimer.onTick = handler([&r] { r.moveClawRight(); });
    dropTimer.onTick = handler([&r] { r.showNextDropFrame(); });
    gaugeTimer.onTick = handler([&r] { r.moveGaugeBall(); });
    returnLeftTimer.onTick = handler([&r] { r.returnClawLeft(); });
    returnDownTimer.onTick = handler([&r] { r.returnClawDown(); });
    musicPlayer.playbackEnded = [this] {
        if (!ended_) {
            restartMusic();
        }
    };

    for (const auto& [name, text] : kAccessibleNames) {
        element(QString::fromUtf8(name)).widget()->setAccessibleName(QString::fromUtf8(text));
    }
    statusLine_->widget()->setAccessibleDescription(QStringLiteral("상태 표시줄"));

    // The tab order begins with the play field, which takes the focus at
    // start so that no key acts until the player tabs to a push button.
    QWidget* field = playField();
    field->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(field, element("newGameButton").widget());
    setTabOrder(element("newGameButton").widget(), element("exitButton").widget());
    field->setFocus();
}

template <class F>
std::function<void()> GameWindow::handler(F f) {
    return [this, f] {
        if (!ended_ && !held_) {
            f();
        }
    };
}

void GameWindow::setVisible(bool visible) {
    if (visible && !shown_) {
        shown_ = true;
        showCentred(*this, nullptr, [this] { QWidget::setVisible(true); });
        return;
    }
    QWidget::setVisible(visible);
}

void GameWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    clearTitleBar(windowHandle());
}

void GameWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A window manager may fill the screen with the window on a shortcut or a
    // script's request although its size is fixed; the window takes its
    // state back, and the window manager its size and place before.
    constexpr Qt::WindowStates kFilling = Qt::WindowFullScreen | Qt::WindowMaximized;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kFilling)) {
        setWindowState(windowState() & ~kFilling);
    }
}

Element& GameWindow::element(const QString& name) const {
    Element* found = byName_.value(name);
    Q_ASSERT_X(found, "GameWindow::element", qPrintable(name));
    return *found;
}

void GameWindow::startUp() {
    // The program's folder and the file, joined with this platform's separator.
    musicPlayer.setFileName(QCoreApplication::applicationDirPath() + QStringLiteral("/mid.mid"));
    musicPlayer.command(QStringLiteral("open"));
    musicPlayer.command(QStringLiteral("play"));
    round_->setStartUpState();
    statusLine_->setCaption(texts::kAskBlue);
}

void GameWindow::holdRound() {
    held_ = true;
    clock_.hold();
}

void GameWindow::releaseRound() {
    clock_.resume();
    held_ = false;
}

void GameWindow::exitGame() {
    holdRound();
    dialogs_.showMessage(texts::kThanks, kOkButtonOnly, QStringLiteral("종료"));
    // However the box was closed, the program ends, and the round stays held
    // until it has: no handler runs after this.
    ended_ = true;
    dialogs_.quit();
}

void GameWindow::showInformation() {
    holdRound();
    dialogs_.showMessage(kInformation, kOkButtonOnly | kInformationIcon, QStringLiteral("정보"));
    releaseRound();
}

void GameWindow::restartMusic() {
    musicPlayer.command(QStringLiteral("close"));
    musicPlayer.command(QStringLiteral("open"));
    musicPlayer.command(QStringLiteral("play"));
}

}  // namespace kalvex
