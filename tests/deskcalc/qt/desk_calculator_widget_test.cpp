#include "deskcalc/qt/desk_calculator_widget.h"

#include <gtest/gtest.h>

#include <ostream>

#include "../row_name.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <optional>
#include <string>

namespace corvalo::deskcalc {
namespace {

// Beep and clipboard of the calculator, recorded.
struct FakeServices {
    int beeps = 0;
    std::optional<std::string> clipboard;

    CalculatorServices services() {
        return {[this] { ++beeps; }, [this] { return clipboard; },
                [this](const std::string& text) { clipboard = text; }};
    }
};

class DeskCalculatorWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calc = std::make_unique<DeskCalculatorWidget>(fake.services(), '.');
        calc->resize(440, 400);
        calc->show();
        calc->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(calc.get()));
        calc->setFocus();
    }

    QPoint centre(Key b) const {
        const Rect& r = calc->buttonLayout().button(b);
        return {r.left + r.width / 2, r.top + r.height / 2};
    }
    void click(Key b) { QTest::mouseClick(calc.get(), Qt::LeftButton, {}, centre(b)); }
    std::string display() const { return calc->displayPanel()->text().toStdString(); }
    QImage buttonImage(Key b) {
        const Rect& r = calc->buttonLayout().button(b);
        return calc->grab(QRect(r.left, r.top, r.width, r.height)).toImage();
    }

    FakeServices fake;
    std::unique_ptr<DeskCalculatorWidget> calc;
};

TEST_F(DeskCalculatorWidgetTest, ClicksCalculate) {
    click(Key::Digit1);
    click(Key::Digit2);
    click(Key::Add);
    click(Key::Digit3);
    click(Key::Equals);
    EXPECT_EQ(display(), "15 ");
    EXPECT_EQ(calc->entryText(), "15");
}

TEST_F(DeskCalculatorWidgetTest, ReleaseOutsideCancelsThePress) {
    QTest::mousePress(calc.get(), Qt::LeftButton, {}, centre(Key::Digit7));
    EXPECT_EQ(calc->logic().pressedButton(), Key::Digit7);
    QTest::mouseRelease(calc.get(), Qt::LeftButton, {}, centre(Key::Digit8));
    EXPECT_EQ(calc->logic().pressedButton(), Key::None);
    EXPECT_EQ(display(), "0 ");
}

TEST_F(DeskCalculatorWidgetTest, PressedButtonIsDrawnSunken) {
    const QImage raised = buttonImage(Key::Digit7);
    QTest::mousePress(calc.get(), Qt::LeftButton, {}, centre(Key::Digit7));
    const QImage sunken = buttonImage(Key::Digit7);
    QTest::mouseRelease(calc.get(), Qt::LeftButton, {}, centre(Key::Digit7));
    EXPECT_NE(raised, sunken);
    EXPECT_EQ(buttonImage(Key::Digit7), raised);
}

TEST_F(DeskCalculatorWidgetTest, FocusMarksEquals) {
    ASSERT_TRUE(calc->hasFocus());
    const QImage focused = buttonImage(Key::Equals);
    calc->clearFocus();
    ASSERT_FALSE(calc->hasFocus());
    EXPECT_NE(buttonImage(Key::Equals), focused);
}

TEST_F(DeskCalculatorWidgetTest, MemoryRecallIgnoresClicksWhileMemoryIsZero) {
    QTest::keyClick(calc.get(), Qt::Key_5);
    click(Key::MemRecall);
    EXPECT_EQ(calc->logic().lastButton(), Key::Digit5);
    EXPECT_EQ(calc->captionColor(Key::MemRecall), QColor(0x80, 0x80, 0x80));
    QTest::keyClick(calc.get(), Qt::Key_M, Qt::ControlModifier);  // MS
    EXPECT_EQ(static_cast<double>(calc->memory()), 5.0);
    EXPECT_EQ(calc->captionColor(Key::MemRecall), QColor(0xFF, 0, 0));
    QTest::keyClick(calc.get(), Qt::Key_Escape);
    click(Key::MemRecall);
    EXPECT_EQ(display(), "5 ");
}

TEST_F(DeskCalculatorWidgetTest, MemoryKeysWorkWhileMemoryIsZero) {
    QTest::keyClick(calc.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(calc->logic().lastButton(), Key::MemRecall);
    QTest::keyClick(calc.get(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(calc->logic().lastButton(), Key::MemClear);
}

struct KeyRow {
    const char* name;
    const char* typed;  // characters typed before the key
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* display;
};
void PrintTo(const KeyRow& row, std::ostream* os) {
    *os << row.name;
}

class DeskCalculatorWidgetKeys : public DeskCalculatorWidgetTest,
                                 public ::testing::WithParamInterface<KeyRow> {};

TEST_P(DeskCalculatorWidgetKeys, KeyGivesButton) {
    const KeyRow& row = GetParam();
    QTest::keyClicks(calc.get(), QString::fromLatin1(row.typed));
    QTest::keyClick(calc.get(), row.key, row.mods);
    EXPECT_EQ(display(), row.display);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeskCalculatorWidgetKeys,
    ::testing::Values(
        KeyRow{"EnterIsEquals", "12+3", Qt::Key_Return, {}, "15 "},
        KeyRow{"KeypadEnterIsEquals", "12+3", Qt::Key_Enter, Qt::KeypadModifier, "15 "},
        KeyRow{"DeleteIsClearEntry", "12+3", Qt::Key_Delete, {}, "0 "},
        KeyRow{"F9ChangesSign", "12", Qt::Key_F9, {}, "-12.00 "},
        KeyRow{"BackspaceIsBack", "123", Qt::Key_Backspace, {}, "12 "},
        KeyRow{"EscapeClears", "123", Qt::Key_Escape, {}, "0 "},
        KeyRow{"AtIsSquareRoot", "81", Qt::Key_At, {}, "9 "},
        KeyRow{"RIsReciprocal", "4", Qt::Key_R, {}, "0.25 "},
        KeyRow{"PercentKey", "200+10", Qt::Key_Percent, {}, "220 "},
        KeyRow{"ShiftDeleteIsNotClearEntry", "12", Qt::Key_Delete, Qt::ShiftModifier, "12 "}),
    deskcalc::testing::RowName());

TEST_F(DeskCalculatorWidgetTest, CopyPutsDisplayOnClipboard) {
    QTest::keyClicks(calc.get(), "5+3=");
    QTest::keyClick(calc.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(fake.clipboard, "8 ");
}

TEST_F(DeskCalculatorWidgetTest, EditCopyGetsNothingAndABeepWhileTheErrorShows) {
    QTest::keyClicks(calc.get(), "1/0=");
    ASSERT_EQ(fake.beeps, 1);
    EXPECT_EQ(calc->entryTextToCopy(), std::nullopt);
    EXPECT_EQ(fake.beeps, 2);
}

TEST_F(DeskCalculatorWidgetTest, PasteTypesAcceptedCharacters) {
    fake.clipboard = "12+3=";
    QTest::keyClick(calc.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(display(), "15 ");
    EXPECT_EQ(calc->entryText(), "15");
}

TEST_F(DeskCalculatorWidgetTest, ErrorBeepsThroughService) {
    QTest::keyClicks(calc.get(), "1/0=");
    EXPECT_EQ(display(), "******  ");
    EXPECT_EQ(fake.beeps, 1);
}

TEST_F(DeskCalculatorWidgetTest, DisplaySpansWidthLessMargins) {
    for (const QSize size : {QSize(440, 400), QSize(295, 220), QSize(200, 140)}) {
        SCOPED_TRACE(size.width());
        calc->resize(size);
        const int m = calc->buttonLayout().margin;
        EXPECT_EQ(calc->displayPanel()->geometry(),
                  QRect(m, m, size.width() - 2 * m, calc->displayPanel()->height()));
    }
}

TEST_F(DeskCalculatorWidgetTest, TapeFontIsDisplayFontAndSetsHeightAtNextLayout) {
    QFont big(QStringLiteral("DejaVu Sans Mono"));
    big.setPixelSize(40);
    calc->setTapeFont(big);
    EXPECT_EQ(calc->displayPanel()->font().pixelSize(), 40);
    calc->resize(441, 400);
    EXPECT_EQ(calc->displayPanel()->height(), QFontMetrics(big).height() + 8);
}

TEST_F(DeskCalculatorWidgetTest, TapeFontColourShowsOnTheDisplayAndStaysWithLaterFonts) {
    const QColor background = calc->displayPanel()->palette().color(QPalette::Window);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(20);
    calc->setTapeFont(font, QColor(0x80, 0, 0));
    EXPECT_EQ(calc->tapeFontColor(), QColor(0x80, 0, 0));
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::Window), background);

    font.setPixelSize(24);  // a font without a colour keeps the one chosen before
    calc->setTapeFont(font);
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
}

TEST_F(DeskCalculatorWidgetTest, DarkSchemePaintsDisplayBlackWithAquaText) {
    calc->colors().setColorScheme(ColorScheme::Dark);
    const QPalette pal = calc->displayPanel()->palette();
    EXPECT_EQ(pal.color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(pal.color(QPalette::WindowText), QColor(0, 0xFF, 0xFF));
    calc->colors().setOperatorButtons(kRed);
    EXPECT_EQ(calc->colors().colorScheme(), ColorScheme::Custom);
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(calc->captionColor(Key::Add), QColor(0xFF, 0, 0));
}

TEST_F(DeskCalculatorWidgetTest, TapeRecordsWhileHidden) {
    QTest::keyClicks(calc.get(), "5+3=");
    const auto& lines = calc->logic().tape().lines();
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_FALSE(calc->logic().tape().shown());
    const int w = calc->buttonLayout().tapeChars;
    ASSERT_GT(w, 4);
    EXPECT_EQ(lines.back(), std::string(static_cast<std::size_t>(w), '_'));
    EXPECT_EQ(lines[lines.size() - 2], std::string(static_cast<std::size_t>(w - 3), ' ') + "8 *");
}

}  // namespace
}  // namespace corvalo::deskcalc
