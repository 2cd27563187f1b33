#include "deskcalc/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace corvalo::deskcalc {
namespace {

// A display 22 + 8 = 30 high; " 0123456789" 132 wide, 12 pixels a character.
CalculatorLayout layoutAt(int w, int h, CalculatorOptions options = kDefaultOptions,
                          int digitsTextWidth = 132) {
    return layoutCalculator({.width = w,
                             .height = h,
                             .options = options,
                             .displayTextHeight = 22,
                             .digitsTextWidth = digitsTextWidth});
}

TEST(Layout, GapMarginButtonWidthAndDisplaySpanByWidth) {
    // Width, gap, margin, button width and the left of "=", which ends where the display ends.
    const std::tuple<int, int, int, int, int> rows[] = {
        {200, 2, 4, 30, 166}, {201, 4, 6, 27, 168}, {440, 4, 6, 67, 367}};
    for (const auto& [width, gap, margin, buttonWidth, equalsLeft] : rows) {
        SCOPED_TRACE(width);
        const CalculatorLayout l = layoutAt(width, 220);
        EXPECT_EQ(l.gap, gap);
        EXPECT_EQ(l.margin, margin);
        EXPECT_EQ(l.buttonWidth, buttonWidth);
        EXPECT_EQ(l.display, (Rect{margin, margin, width - 2 * margin, 30}));
        EXPECT_EQ(l.button(Key::Equals).left, equalsLeft);
    }
}

TEST(Layout, ButtonGridAndHitTestOfThisProgram) {
    // 440 x 400: M 6, G 4, BW 67, X0 10, BH 67; rows from y 43, columns from x 83, 71 apart.
    const CalculatorLayout l = layoutAt(440, 400);
    const std::tuple<Key, int, int> rows[] = {
        {Key::MemClear, 6, 43},   {Key::MemSubtract, 6, 327},  {Key::Digit7, 83, 114},
        {Key::Sqrt, 367, 114},    {Key::Reciprocal, 367, 256}, {Key::Digit0, 83, 327},
        {Key::Decimal, 225, 327}, {Key::Equals, 367, 327}};
    for (const auto& [b, left, top] : rows) {
        SCOPED_TRACE(buttonCaption(b, '.'));
        EXPECT_EQ(l.button(b), (Rect{left, top, 67, 67}));
        EXPECT_EQ(buttonAt(l, left + 66, top + 66), b);
    }
    const std::pair<int, int> misses[] = {{150, 114}, {20, 20}, {85, 45}};  // gap, display, empty
    for (const auto& [x, y] : misses) EXPECT_EQ(buttonAt(l, x, y), Key::None) << x << "," << y;
    EXPECT_EQ(l.tapeChars, 35);                                        // (428 - 6) div 12
    EXPECT_EQ(layoutAt(440, 400, kDefaultOptions, -1).tapeChars, 53);  // no font: 8 pixels
    EXPECT_EQ(layoutAt(440, 400, kDefaultOptions, 0).tapeChars, 428);  // zero width: 1 pixel
}

TEST(Layout, EditButtonsSpreadTheRemainderToTheRight) {
    // 440 wide with CT: five edit buttons 84 wide in the space of four, a remainder of 3.
    const auto l = layoutAt(440, 400, kDefaultOptions.with(CalculatorOption::ShowClearTapeButton));
    EXPECT_EQ(l.button(Key::ClearTape).left, 83);
    EXPECT_EQ(l.button(Key::Back).left, 172);
    EXPECT_EQ(l.button(Key::ClearEntry).left, 261);
    EXPECT_EQ(l.button(Key::Clear), (Rect{350, 43, 84, 67}));
}

TEST(Layout, WithoutMemoryColumn) {
    // 201 without memory: T = 201 - 12 - 16 = 173, BW 34, T div 6 = 28 >= 4 so M grows to 8.
    const CalculatorLayout bare = layoutAt(201, 220, CalculatorOptions{});
    EXPECT_FALSE(bare.isVisible(Key::MemClear));
    EXPECT_EQ(bare.button(Key::Digit7), (Rect{8, 80, 34, 30}));  // BH (220 - 46 - 8 - 16) div 5
    EXPECT_EQ(bare.display, (Rect{8, 8, 186, 30}));  // 5 * 34 + 16: the remainder stays right
}

}  // namespace
}  // namespace corvalo::deskcalc
