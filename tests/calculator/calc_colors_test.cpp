#include "calculator/calc_colors.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::calculator {
namespace {

TEST(Colors, CreatedWithWindowsColoursAsCustom) {
    TOvcCalcColors c;
    EXPECT_EQ(c.ColorScheme(), cscalcCustom);
    EXPECT_EQ(c.Display(), clWindow);
    EXPECT_EQ(c.OperatorButtons(), clRed);
}

TEST(Colors, DarkThenOneColourByHandTurnsCustomAndKeepsTheRest) {
    TOvcCalcColors c;
    int notified = 0;
    c.OnColorChange = [&] { ++notified; };
    c.SetColorScheme(cscalcDark);
    EXPECT_EQ(c.ColorScheme(), cscalcDark);
    EXPECT_EQ(c.Display(), clBlack);
    EXPECT_EQ(c.DisplayTextColor(), clAqua);
    EXPECT_EQ(notified, 1);
    c.SetOperatorButtons(clRed);
    EXPECT_EQ(c.ColorScheme(), cscalcCustom);
    EXPECT_EQ(c.OperatorButtons(), clRed);
    EXPECT_EQ(c.Display(), clBlack);
    EXPECT_EQ(c.NumberButtons(), clMaroon);
}

TEST(Colors, ChoosingCustomKeepsCurrentColours) {
    TOvcCalcColors c;
    c.SetColorScheme(cscalcOcean);
    c.SetColorScheme(cscalcCustom);
    EXPECT_EQ(c.ColorScheme(), cscalcCustom);
    EXPECT_EQ(c.Display(), clAqua);
    EXPECT_EQ(c.EditButtons(), clPurple);
}

TEST(Colors, CaptionColourGroups) {
    TOvcCalcColors c;
    c.SetColorScheme(cscalcDark);
    struct Row {
        TOvcCalculatorButton b;
        bool memoryZero;
        TColor color;
    };
    const Row rows[] = {
        {cbMemClear, true, clGray},    {cbMemRecall, true, clGray},  {cbMemClear, false, clNavy},
        {cbMemRecall, false, clNavy},  {cbMemStore, true, clNavy},   {cbMemAdd, true, clNavy},
        {cbMemSubtract, true, clNavy}, {cbBack, false, clBlack},     {cbClearTape, false, clBlack},
        {cbClear, false, clBlack},     {cbAdd, false, clBlue},       {cbEquals, false, clBlue},
        {cbDigit5, false, clMaroon},   {cbDecimal, false, clMaroon}, {cbSqrt, false, clTeal},
        {cbChangeSign, false, clTeal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.b) + (row.memoryZero ? " memory 0" : ""));
        EXPECT_EQ(ButtonCaptionColor(c, row.b, row.memoryZero), row.color);
    }
}

}  // namespace
}  // namespace corvalo::calculator
