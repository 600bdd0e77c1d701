// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "window/layout.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kalvex::layout {

namespace {

const QColor kYellow(255, 255, 0);
const QColor kBlue(0, 0, 255);
const QColor kBannerBarOutline(128, 128, 255);

// clang-format off
const Row kWindowRows[] = {
    // name           idx kind              left              top   width height shown  picture       caption
    {"exitButton",    -1, Kind::PushButton, 1920,             5280, 1095, 375,  true,  nullptr,      "종료"},
    {"newGameButton", -1, Kind::PushButton, 360,              5280, 1095, 375,  true,  nullptr,      "새로하기"},
    {"playField",     -1, Kind::PlayField,  120,              600,  3135, 3135, true,  "field"},
    {"statusLine",    -1, Kind::Label,      0,                4920, 3375, 255,  true,  nullptr,      "",
     {.opaque = true, .background = Qt::white, .border = true, .centred = true}},
    {"gaugeButton",   -1, Kind::Picture,    1140,             3840, 1200, 300,  false, "click-here"},
    {"banner",        -1, Kind::Picture,    360,              0,    2700, 450,  true,  "banner"},
    {"upButton",      -1, Kind::Picture,    kUpButtonLeft,    3840, 480,  480,  true,  "blue-ball"},
    {"rightButton",   -1, Kind::Picture,    kRightButtonLeft, 3840, 480,  480,  true,  "red-ball"},
    // The hover zone: 28 blanks in its own large font, nothing visible.
    {"hoverZone",     -1, Kind::Label,      120,              3360, 3135, 1455, true,  nullptr,      "                            ",
     {}, true},
    // Each hint stands under its button.
    {"rightHint",     -1, Kind::Label,      kRightButtonLeft, 4440, 540,  180,  true,  nullptr,      "옆으로",
     {.autoSize = true}},
    {"upHint",        -1, Kind::Label,      kUpButtonLeft,    4440, 360,  180,  true,  nullptr,      "위로",
     {.autoSize = true}},
    // Lines give their two end points instead of a rectangle.
    {"gaugeMark",     -1, Kind::Line,       1740,             4080, 1740, 4560, false},
    {"gaugeBall",     -1, Kind::Shape,      1680,             4260, 135,  135,  false, nullptr,      nullptr,
     {}, false, {.kind = ShapeKind::Circle, .filled = true, .fill = Qt::white}},
    {"gaugeTrack",    -1, Kind::Line,       480,              4320, 3000, 4320, false, nullptr,      nullptr,
     {}, false, {}, 10},
    {"bannerBar",     -1, Kind::Shape,      240,              40,   2895, 375,  true,  nullptr,      nullptr,
     {}, false, {.kind = ShapeKind::RoundedRectangle, .outline = kBannerBarOutline, .filled = true, .fill = kBlue}},
    {"cabinet",       -1, Kind::Shape,      0,                0,    3375, 4815, true,  nullptr,      nullptr,
     {}, false, {.kind = ShapeKind::RoundedRectangle, .filled = true, .fill = kYellow}},
};
// clang-format on

const char* const kPrizePictures[kPrizeCount] = {
    nullptr,    "prize-01", "prize-02", "prize-03", "prize-04", "prize-05", "prize-06",
    "prize-07", "rabbit",   "prize-09", "squirrel", "prize-11", "prize-12", "rabbit",
    "squirrel", "prize-15", "prize-16", "prize-17", "prize-18", "prize-19", "prize-20",
    "prize-21", "prize-22", "prize-23", "prize-24", "prize-25", "prize-26", "prize-27",
};

std::vector<Row> buildFieldRows() {
    std::vector<Row> rows = {
        {"clawFrame", 0, Kind::Picture, kClawHomeLeft, kClawHomeTop, 600, 600, false,
         "claw-closed"},
        {"claw", -1, Kind::Picture, kClawHomeLeft, kClawHomeTop, 600, 600, true, "claw-open"},
        {"clawFrame", 1, Kind::Picture, 600, 2400, 600, 600, false, "claw-lowered"},
        {"clawFrame", 2, Kind::Picture, 840, 2400, 600, 600, false, "claw-bottom"},
    };
    // Prizes 1 to 27 sit between places 5 and 31 in the order of the prize table.
    std::array<int, 27> byPlace{};
    for (int k = 1; k < kPrizeCount; ++k) {
        byPlace[static_cast<std::size_t>(k - 1)] = k;
    }
    std::sort(byPlace.begin(), byPlace.end(),
              [](int a, int b) { return kPrizes[a].place < kPrizes[b].place; });
    for (int k : byPlace) {
        const float size = k >= kFirstLargePrize ? 720 : 480;
        rows.push_back({"prize", k, Kind::Picture, kPrizes[k].left, kPrizes[k].top, size, size,
                        true, kPrizePictures[k]});
    }
    // The chute frame, then the empty slot 0 at the very bottom.
    const ShapeLook chute{.kind = ShapeKind::Rectangle, .outlineWidth = 2};
    rows.push_back(
        {"chute", -1, Kind::Shape, -20, 2400, 735, 735, true, nullptr, nullptr, {}, false, chute});
    rows.push_back({"prize", 0, Kind::Picture, kPrizes[0].left, kPrizes[0].top, 135, 135, true});
    return rows;
}

}  // namespace

std::span<const Row> windowRows() {
    return kWindowRows;
}

std::span<const Row> fieldRows() {
    static const std::vector<Row> rows = buildFieldRows();
    return rows;
}

}  // namespace kalvex::layout
