#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "deskcalc/engine.h"
#include "deskcalc/options.h"

namespace corvalo::deskcalc {

struct CalcRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
    bool operator==(const CalcRect&) const = default;
};

// What the panel's arithmetic needs of the window and its fonts.
struct CalcLayoutInput {
    int width = 200;  // client area
    int height = 140;
    CalculatorOptions options = kDefaultOptions;
    int tapeHeight = 60;
    int displayTextHeight = 16;  // text height of the display font
    int digitsTextWidth = -1;    // width of " 0123456789" in that font; -1: no display
    int borderHeight = 1;        // the system's border height
    bool ctl3D = true;
};

struct CalcLayout {
    int margin = 0;
    int gap = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int editButtonWidth = 0;  // Back, CE, C (and CT) in row 0
    CalcRect display;
    CalcRect tape;
    bool tapeVisible = false;
    int tapeChars = 0;                                 // characters per tape line
    std::array<CalcRect, kButtonCount + 1> buttons{};  // by identifier; [cbNone] unused
    std::array<bool, kButtonCount + 1> visible{};
};

// The display is as high as its text plus 8 border heights (6 without the 3-D look).
int displayHeight(int textHeight, int borderHeight, bool ctl3D);

// Display, tape and the 29 buttons for a client area. At 200 wide: gap 2, margin 4;
// from 201: gap 4, margin 6. Rows are aligned to the bottom edge.
CalcLayout layoutCalculator(const CalcLayoutInput& in);

// The caption of a button: "7", "Sqrt", "M+", the locale separator for cbDecimal.
std::string buttonCaption(Key button, char decimalSeparator);

// The first visible button, in identifier order, whose rectangle holds the point.
Key buttonAt(const CalcLayout& layout, int x, int y);

}  // namespace corvalo::deskcalc
