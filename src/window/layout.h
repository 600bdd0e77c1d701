// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#pragma once

// The window's layout as data: every element with its kind, place, geometry,
// first state and look. Rows run from the top of the stacking order down.

#include <span>

#include "platform/elements.h"
#include "round/round.h"

namespace kalvex::layout {

enum class Kind { PushButton, PlayField, Label, Picture, Shape, Line };

struct Row {
    const char* name;
    int index;  // within its group (clawFrame, prize), or -1
    Kind kind;
    float left, top, width, height;  // for lines: x1, y1, x2, y2
    bool visible;
    const char* picture = nullptr;  // picture key, see pictures.h
    const char* caption = nullptr;
    LabelLook label{};
    bool bigFont = false;  // hoverZone's own font
    ShapeLook shape{};
    int lineWidth = 1;
};

// The window's drawing area in twips (224 x 384 pixels).
inline constexpr float kWindowWidth = 3360;
inline constexpr float kWindowHeight = 5760;

// Elements on the window. The hidden music player, topmost of all, has no
// widget and is not listed.
std::span<const Row> windowRows();

// Elements inside the play field, in its coordinates.
std::span<const Row> fieldRows();

struct Prize {
    float left, top;
    int place;  // rank in the play field's stacking order, 1 = top
};

// prize(0) to prize(27), top-left corners in the play field.
inline constexpr Prize kPrizes[kPrizeCount] = {
    {2880, 2880, 33}, {2520, 2280, 27}, {1800, 960, 12},  {1800, 1800, 22}, {2400, 120, 5},
    {1440, 1920, 23}, {0, 720, 15},     {720, 1920, 25},  {1320, 600, 13},  {1080, 1680, 24},
    {2040, 600, 11},  {2520, 960, 10},  {1680, 2520, 29}, {2040, 2160, 28}, {720, 1320, 19},
    {2040, 1320, 16}, {1320, 2280, 30}, {1200, 1080, 18}, {840, 2400, 31},  {1560, 1440, 17},
    {240, 1200, 20},  {2520, 360, 6},   {0, 1680, 26},    {480, 600, 14},   {1680, 0, 7},
    {960, 120, 8},    {240, 0, 9},      {2280, 1560, 21},
};

}  // namespace kalvex::layout
