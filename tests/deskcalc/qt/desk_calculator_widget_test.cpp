#include "deskcalc/qt/desk_calculator_widget.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <optional>
#include <string>
#include <tuple>

#include "widget_fixture.h"

namespace corvalo::deskcalc {
namespace {

class DeskCalculatorWidgetTest : public testing::WidgetTest {
  protected:
    QRect rectOf(Key b) const {
        const Rect& r = calc->buttonLayout().button(b);
        return {r.left, r.top, r.width, r.height};
    }
    QPoint centre(Key b) const { return rectOf(b).center(); }
    void click(Key b) { QTest::mouseClick(calc.get(), Qt::LeftButton, {}, centre(b)); }
    std::string display() const { return calc->displayPanel()->text().toStdString(); }
    QImage buttonImage(Key b) { return calc->grab(rectOf(b)).toImage(); }
};

TEST_F(DeskCalculatorWidgetTest, PressSinksReleaseOutsideCancelsClickPressesFocusMarksEquals) {
    const QImage raised = buttonImage(Key::Digit7);
    QTest::mousePress(calc.get(), Qt::LeftButton, {}, centre(Key::Digit7));
    EXPECT_NE(buttonImage(Key::Digit7), raised);
    QTest::mouseRelease(calc.get(), Qt::LeftButton, {}, centre(Key::Digit8));
    EXPECT_EQ(buttonImage(Key::Digit7), raised);
    EXPECT_EQ(display(), "0 ");
    click(Key::Digit7);
    EXPECT_EQ(display(), "7 ");
    const QImage focused = buttonImage(Key::Equals);
    calc->clearFocus();
    EXPECT_NE(buttonImage(Key::Equals), focused);
}

TEST_F(DeskCalculatorWidgetTest, MemoryRecallIsGreyAndIgnoresClicksWhileMemoryIsZero) {
    QTest::keyClick(calc.get(), Qt::Key_5);
    click(Key::MemRecall);
    EXPECT_EQ(calc->logic().lastButton(), Key::Digit5);
    EXPECT_EQ(calc->captionColor(Key::MemRecall), QColor(0x80, 0x80, 0x80));
    QTest::keyClick(calc.get(), Qt::Key_M, Qt::ControlModifier);  // MS
    EXPECT_EQ(calc->captionColor(Key::MemRecall), QColor(0xFF, 0, 0));
    click(Key::MemRecall);
    EXPECT_EQ(calc->logic().lastButton(), Key::MemRecall);
}

TEST_F(DeskCalculatorWidgetTest, KeysGiveTheirButtons) {
    // Name, characters typed before the key, the key with its modifiers, the button it gives.
    const std::tuple<const char*, const char*, Qt::Key, Qt::KeyboardModifiers, Key> rows[] = {
        {"EnterIsEquals", "1+2", Qt::Key_Return, {}, Key::Equals},
        {"KeypadEnterIsEquals", "1+2", Qt::Key_Enter, Qt::KeypadModifier, Key::Equals},
        {"DeleteIsClearEntry", "", Qt::Key_Delete, {}, Key::ClearEntry},
        {"ShiftDeleteIsNothing", "1", Qt::Key_Delete, Qt::ShiftModifier, Key::Digit1},
        {"F9ChangesSign", "", Qt::Key_F9, {}, Key::ChangeSign},
        {"BackspaceIsBack", "12", Qt::Key_Backspace, {}, Key::Back},
        {"EscapeClears", "", Qt::Key_Escape, {}, Key::Clear},
        {"CtrlRRecallsWhileMemoryIsZero", "", Qt::Key_R, Qt::ControlModifier, Key::MemRecall},
    };
    for (const auto& [name, typed, key, modifiers, button] : rows) {
        SCOPED_TRACE(name);
        QTest::keyClicks(calc.get(), QString::fromLatin1(typed));
        QTest::keyClick(calc.get(), key, modifiers);
        EXPECT_EQ(calc->logic().lastButton(), button);
    }
}

TEST_F(DeskCalculatorWidgetTest, PasteCopyAndBeepUseTheServicesTapeTakesTheDisplayWidth) {
    clipboard = "1/0=";
    QTest::keyClick(calc.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(display(), "******  ");
    EXPECT_EQ(calc->entryTextToCopy(), std::nullopt);  // Edit > Copy while the error shows
    EXPECT_EQ(beeps, 2);
    clipboard = "5+3=";
    QTest::keyClick(calc.get(), Qt::Key_V, Qt::ControlModifier);
    clipboard.reset();
    QTest::keyClick(calc.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard, "8 ");
    const auto& lines = calc->logic().tape().lines();  // the hidden tape, filled at first layout
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_GT(lines[28].size(), 20u);  // as many characters as fit the display
    EXPECT_EQ(lines[28], std::string(lines[28].size() - 3, ' ') + "8 *");
    EXPECT_EQ(lines.back(), std::string(lines[28].size(), '_'));
}

TEST_F(DeskCalculatorWidgetTest, DisplayTakesLayoutTapeFontAndColours) {
    EXPECT_EQ(calc->displayPanel()->geometry(),
              QRect(6, 6, 428, QFontMetrics(calc->tapeFont()).height() + 8));
    QFont big(QStringLiteral("DejaVu Sans Mono"));
    big.setPixelSize(40);
    calc->setTapeFont(big, QColor(0x80, 0, 0));
    calc->setTapeFont(big);  // a font without a colour keeps the one chosen before
    EXPECT_EQ(calc->displayPanel()->font().pixelSize(), 40);
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    calc->resize(441, 400);  // the height follows at the next layout
    EXPECT_EQ(calc->displayPanel()->height(), QFontMetrics(big).height() + 8);
    calc->colors().setColorScheme(ColorScheme::Dark);
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0xFF));
    EXPECT_EQ(calc->captionColor(Key::Add), QColor(0, 0, 0xFF));
}

}  // namespace
}  // namespace corvalo::deskcalc
