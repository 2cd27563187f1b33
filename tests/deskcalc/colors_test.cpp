#include "deskcalc/colors.h"

#include <gtest/gtest.h>

#include <string>

namespace corvalo::deskcalc {
namespace {

TEST(Colors, CreatedWithWindowsColoursAsCustom) {
    CalculatorColors c;
    EXPECT_EQ(c.colorScheme(), ColorScheme::Custom);
    EXPECT_EQ(c.display(), kSystemWindow);
    EXPECT_EQ(c.operatorButtons(), kRed);
}

TEST(Colors, DarkThenOneColourByHandTurnsCustomAndKeepsTheRest) {
    CalculatorColors c;
    int notified = 0;
    c.onColorChange = [&] { ++notified; };
    c.setColorScheme(ColorScheme::Dark);
    EXPECT_EQ(c.colorScheme(), ColorScheme::Dark);
    EXPECT_EQ(c.display(), kBlack);
    EXPECT_EQ(c.displayTextColor(), kAqua);
    EXPECT_EQ(notified, 1);
    c.setOperatorButtons(kRed);
    EXPECT_EQ(c.colorScheme(), ColorScheme::Custom);
    EXPECT_EQ(c.operatorButtons(), kRed);
    EXPECT_EQ(c.display(), kBlack);
    EXPECT_EQ(c.numberButtons(), kMaroon);
}

TEST(Colors, ChoosingCustomKeepsCurrentColours) {
    CalculatorColors c;
    c.setColorScheme(ColorScheme::Ocean);
    c.setColorScheme(ColorScheme::Custom);
    EXPECT_EQ(c.colorScheme(), ColorScheme::Custom);
    EXPECT_EQ(c.display(), kAqua);
    EXPECT_EQ(c.editButtons(), kPurple);
}

TEST(Colors, CaptionColourGroups) {
    CalculatorColors c;
    c.setColorScheme(ColorScheme::Dark);
    struct Row {
        Key b;
        bool memoryZero;
        Color color;
    };
    const Row rows[] = {
        {Key::MemClear, true, kGray},    {Key::MemRecall, true, kGray},
        {Key::MemClear, false, kNavy},   {Key::MemRecall, false, kNavy},
        {Key::MemStore, true, kNavy},    {Key::MemAdd, true, kNavy},
        {Key::MemSubtract, true, kNavy}, {Key::Back, false, kBlack},
        {Key::ClearTape, false, kBlack}, {Key::Clear, false, kBlack},
        {Key::Add, false, kBlue},        {Key::Equals, false, kBlue},
        {Key::Digit5, false, kMaroon},   {Key::Decimal, false, kMaroon},
        {Key::Sqrt, false, kTeal},       {Key::ChangeSign, false, kTeal},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(indexOf(row.b)) + (row.memoryZero ? " memory 0" : ""));
        EXPECT_EQ(buttonCaptionColor(c, row.b, row.memoryZero), row.color);
    }
}

}  // namespace
}  // namespace corvalo::deskcalc
