#include "deskcalc/layout.h"

#include <gtest/gtest.h>

#include <ostream>

#include "row_name.h"

#include <string>

namespace corvalo::deskcalc {
namespace {

CalculatorLayoutInput input(int w, int h, CalculatorOptions options = kDefaultOptions) {
    CalculatorLayoutInput in;
    in.width = w;
    in.height = h;
    in.options = options;
    in.displayTextHeight = 22;  // display 22 + 8 = 30 high
    in.digitsTextWidth = 132;   // 12 pixels a character
    return in;
}

struct SizeRow {
    const char* name;
    int width;
    int gap, margin, buttonWidth;
};
void PrintTo(const SizeRow& row, std::ostream* os) {
    *os << row.name;
}

class LayoutSize : public ::testing::TestWithParam<SizeRow> {};

TEST_P(LayoutSize, GapMarginAndDisplaySpan) {
    const SizeRow& r = GetParam();
    const CalculatorLayout l = layoutCalculator(input(r.width, 220));
    EXPECT_EQ(l.gap, r.gap);
    EXPECT_EQ(l.margin, r.margin);
    EXPECT_EQ(l.buttonWidth, r.buttonWidth);
    EXPECT_EQ(l.display, (Rect{r.margin, r.margin, r.width - 2 * r.margin, 30}));
    // The "=" button ends where the display ends: the memory column takes the remainder.
    const Rect& eq = l.button(Key::Equals);
    EXPECT_EQ(eq.left + eq.width, r.width - r.margin);
}

INSTANTIATE_TEST_SUITE_P(Rows, LayoutSize,
                         ::testing::Values(SizeRow{"At200", 200, 2, 4, 30},
                                           SizeRow{"At201", 201, 4, 6, 27},
                                           SizeRow{"Minimum295", 295, 4, 6, 43},
                                           SizeRow{"Default440", 440, 4, 6, 67}),
                         testing::RowName());

TEST(Layout, ButtonGridOfThisProgram) {
    // 440 x 400: M 6, G 4, BW 67, X0 = 440 - 12 - 402 - 16 = 10, BH (400-42-6-16)/5 = 67.
    const CalculatorLayout l = layoutCalculator(input(440, 400));
    ASSERT_EQ(l.buttonHeight, 67);
    const int y0 = 400 - 6 - 5 * 67 - 16;
    const int x1 = 6 + 67 + 10;
    struct Row {
        Key b;
        int left, top;
    };
    const Row rows[] = {
        {Key::MemClear, 6, y0},
        {Key::MemRecall, 6, y0 + 71},
        {Key::MemSubtract, 6, y0 + 284},
        {Key::Digit7, x1, y0 + 71},
        {Key::Sqrt, x1 + 284, y0 + 71},
        {Key::Percent, x1 + 284, y0 + 142},
        {Key::Reciprocal, x1 + 284, y0 + 213},
        {Key::Digit0, x1, y0 + 284},
        {Key::ChangeSign, x1 + 71, y0 + 284},
        {Key::Decimal, x1 + 142, y0 + 284},
        {Key::Add, x1 + 213, y0 + 284},
        {Key::Equals, x1 + 284, y0 + 284},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(buttonCaption(r.b, '.'));
        EXPECT_EQ(l.button(r.b), (Rect{r.left, r.top, 67, 67}));
        EXPECT_TRUE(l.isVisible(r.b));
    }
    // Back, CE, C: (4 * 67 + 4) div 3 = 90 wide, over columns 1 to 4.
    EXPECT_EQ(l.button(Key::Back), (Rect{x1 + 71, y0, 90, 67}));
    EXPECT_EQ(l.button(Key::ClearEntry), (Rect{x1 + 71 + 94 + 1, y0, 90, 67}));
    EXPECT_EQ(l.button(Key::Clear), (Rect{x1 + 71 + 188 + 2, y0, 90, 67}));
    EXPECT_FALSE(l.isVisible(Key::ClearTape));
    EXPECT_EQ(l.tapeChars, (428 - 6) / 12);
    EXPECT_FALSE(l.tapeVisible);
}

TEST(Layout, EditButtonsSpreadRemainderToTheRight) {
    for (int w = 201; w <= 260; ++w) {
        SCOPED_TRACE(w);
        const CalculatorLayout l = layoutCalculator(input(w, 220));
        const Rect& back = l.button(Key::Back);
        const Rect& c = l.button(Key::Clear);
        const Rect& col4 = l.button(Key::Equals);
        EXPECT_EQ(back.left, l.button(Key::ChangeSign).left);  // starts at column 1
        EXPECT_EQ(c.left + c.width, col4.left + col4.width);   // ends with column 4
        const int gapBefore = l.button(Key::ClearEntry).left - (back.left + back.width);
        EXPECT_GE(gapBefore, l.gap);
        EXPECT_LE(gapBefore, l.gap + 1);
    }
}

TEST(Layout, ClearTapeButtonTakesColumnZero) {
    const auto options = kDefaultOptions.with(CalculatorOption::ShowClearTapeButton);
    for (int w = 201; w <= 240; ++w) {
        SCOPED_TRACE(w);
        const CalculatorLayout l = layoutCalculator(input(w, 220, options));
        ASSERT_TRUE(l.isVisible(Key::ClearTape));
        EXPECT_EQ(l.button(Key::ClearTape).left, l.button(Key::Digit7).left);
        const Rect& c = l.button(Key::Clear);
        EXPECT_EQ(c.left + c.width, l.button(Key::Sqrt).left + l.button(Key::Sqrt).width);
    }
}

TEST(Layout, WithoutMemoryColumn) {
    // 201: T = 201 - 12 - 16 = 173, BW 34, T div 6 = 28 >= 4 so M grows to 8.
    const CalculatorLayout l =
        layoutCalculator(input(201, 220, CalculatorOptions{CalculatorOption::ShowItemCount}));
    EXPECT_EQ(l.buttonWidth, 34);
    EXPECT_EQ(l.margin, 8);
    EXPECT_FALSE(l.isVisible(Key::MemClear));
    EXPECT_EQ(l.button(Key::Digit7).left, 8);
    EXPECT_EQ(l.display.width, 5 * 34 + 16);  // the remainder stays at the right
}

TEST(Layout, TapeAboveDisplay) {
    const auto options = kDefaultOptions.with(CalculatorOption::ShowTape);
    const CalculatorLayout l = layoutCalculator(input(440, 400, options));
    EXPECT_TRUE(l.tapeVisible);
    EXPECT_EQ(l.tape, (Rect{6, 6, 428, 60}));
    EXPECT_EQ(l.display, (Rect{8, 72, 410, 30}));
    EXPECT_EQ(l.tapeChars, (428 - 18 - 6) / 12);
    EXPECT_EQ(l.buttonHeight, (400 - (12 + 30 + 66) - 6 - 16) / 5);
}

TEST(Layout, NoDisplayFontMeansEightPixelCharacters) {
    CalculatorLayoutInput in = input(440, 400);
    in.digitsTextWidth = -1;
    EXPECT_EQ(layoutCalculator(in).tapeChars, (428 - 4) / 8);
    in.digitsTextWidth = 0;  // a font without width: one pixel, not a division by zero
    EXPECT_EQ(layoutCalculator(in).tapeChars, 428);
}

TEST(Layout, HitTestInIdentifierOrderAndMisses) {
    const CalculatorLayout l = layoutCalculator(input(440, 400));
    const Rect& seven = l.button(Key::Digit7);
    EXPECT_EQ(buttonAt(l, seven.left, seven.top), Key::Digit7);
    EXPECT_EQ(buttonAt(l, seven.left + seven.width - 1, seven.top + seven.height - 1),
              Key::Digit7);
    EXPECT_EQ(buttonAt(l, seven.left + seven.width, seven.top), Key::None);  // in the gap
    EXPECT_EQ(buttonAt(l, 20, 20), Key::None);                               // the display
    EXPECT_EQ(buttonAt(l, l.button(Key::Digit7).left + 2, l.button(Key::Back).top + 2), Key::None);
}

}  // namespace
}  // namespace corvalo::deskcalc
