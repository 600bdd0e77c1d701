// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "support/game_fixture.h"

#include <QTest>
#include <array>

#include "platform/twips.h"

namespace kalvex::testing {

void GameTest::SetUp() {
    window_ = std::make_unique<GameWindow>(clock, dialogs);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    // The offscreen pointer keeps its place between tests, and a move to the
    // place it already has is dropped: start every test from the same corner.
    QTest::mouseMove(window_->windowHandle(), QPoint(1, 1));
    QTest::mouseMove(window_->windowHandle(), QPoint(0, 0));
}

void GameTest::TearDown() {
    window_.reset();
}

QPoint GameTest::toPixels(float x, float y) const {
    return {twipsToPixels(x), twipsToPixels(y)};
}

void GameTest::pointerTo(float x, float y) {
    QTest::mouseMove(window_->windowHandle(), toPixels(x, y));
}

void GameTest::hover(const QString& name) {
    const Element& element = e(name);
    pointerTo(element.left() + element.width() / 2, element.top() + element.height() / 2);
}

void GameTest::clickAt(float x, float y) {
    // Through the window, so Qt's own hit test picks the receiving element.
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier, toPixels(x, y));
}

void GameTest::click(const QString& name) {
    const Element& element = e(name);
    clickAt(element.left() + element.width() / 2, element.top() + element.height() / 2);
}

void GameTest::steer(int upTicks, int sideTicks) {
    hover("upButton");
    advance(80LL * upTicks);
    pointerTo(e("hoverZone").left() + 60, 4700);
    hover("rightButton");
    advance(80LL * sideTicks);
    pointerTo(e("hoverZone").left() + 60, 4700);
}

void GameTest::dropAt(float left, float top) {
    e("claw").setLeft(left);
    e("claw").setTop(top);
    steer(0, 0);
}

void GameTest::clickGaugeWithBallAt(float at) {
    e("gaugeBall").setLeft(at);
    click("gaugeButton");
}

int GameTest::carriedPrize() {
    std::array<float, kPrizeCount> lefts{};
    for (int k = 0; k < kPrizeCount; ++k) {
        lefts[k] = e(QStringLiteral("prize(%1)").arg(k)).left();
    }
    advance(80);
    int carried = -1;
    for (int k = 0; k < kPrizeCount; ++k) {
        if (e(QStringLiteral("prize(%1)").arg(k)).left() == lefts[k] - 30) {
            carried = carried < 0 ? k : -2;
        }
    }
    return carried < 0 ? -1 : carried;
}

std::vector<Element*> stackingOrder(const GameWindow& window, const QWidget* container) {
    std::vector<Element*> order;
    const QObjectList& children = container->children();
    // Qt keeps siblings bottom first.
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        auto* widget = qobject_cast<QWidget*>(*child);
        if (widget && !widget->objectName().isEmpty()) {
            Element& element = window.element(widget->objectName());
            EXPECT_EQ(element.widget(), widget) << widget->objectName().toStdString();
            order.push_back(&element);
        }
    }
    return order;
}

}  // namespace kalvex::testing
