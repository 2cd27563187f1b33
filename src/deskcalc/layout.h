#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "deskcalc/keys.h"
#include "deskcalc/options.h"

namespace corvalo::deskcalc {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
    bool operator==(const Rect&) const = default;
};

// What the panel's arithmetic needs of the window and its fonts.
struct CalculatorLayoutInput {
    int width = 200;  // client area
    int height = 140;
    CalculatorOptions options = kDefaultOptions;
    int tapeHeight = 60;
    int displayTextHeight = 16;  // text height of the display font
    int digitsTextWidth = -1;    // width of " 0123456789" in that font; -1: no display
    int borderHeight = 1;        // the system's border height
    bool ctl3D = true;
};

struct CalculatorLayout {
    int margin = 0;
    int gap = 0;
    int buttonWidth = 0;
    int buttonHeight = 0;
    int editButtonWidth = 0;  // Back, CE, C (and CT) in row 0
    Rect display;
    Rect tape;
    bool tapeVisible = false;
    int tapeChars = 0;                             // characters per tape line
    std::array<Rect, kButtonCount + 1> buttons{};  // by identifier; [Key::None] unused
    std::array<bool, kButtonCount + 1> visible{};

    const Rect& button(Key key) const { return buttons[indexOf(key)]; }
    bool isVisible(Key key) const { return visible[indexOf(key)]; }
};

// The display is as high as its text plus 8 border heights (6 without the 3-D look).
int displayHeight(int textHeight, int borderHeight, bool ctl3D);

// Display, tape and the 29 buttons for a client area. At 200 wide: gap 2, margin 4;
// from 201: gap 4, margin 6. Rows are aligned to the bottom edge.
CalculatorLayout layoutCalculator(const CalculatorLayoutInput& in);

// The caption of a button: "7", "Sqrt", "M+", the locale separator for Key::Decimal.
std::string buttonCaption(Key button, char decimalSeparator);

// The first visible button, in identifier order, whose rectangle holds the point.
Key buttonAt(const CalculatorLayout& layout, int x, int y);

}  // namespace corvalo::deskcalc
