// The calculator widget headless: mouse, keys, services, display and the tape view.
#include "deskcalc/qt/desk_calculator_widget.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "deskcalc/qt/tape_view.h"

namespace corvalo::deskcalc {
namespace {

// The calculator shown 440 x 400 and focused, its beep and clipboard recorded here.
class DeskCalculatorWidgetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calc = std::make_unique<DeskCalculatorWidget>(
            CalculatorServices{[this] { ++beeps; }, [this] { return clipboard; },
                               [this](const std::string& text) { clipboard = text; }},
            '.');
        calc->resize(440, 400);
        calc->show();
        calc->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(calc.get()));
        calc->setFocus();
    }
    QRect rectOf(Key b) const {
        const Rect& r = calc->buttonLayout().button(b);
        return {r.left, r.top, r.width, r.height};
    }
    void click(Key b) { QTest::mouseClick(calc.get(), Qt::LeftButton, {}, rectOf(b).center()); }
    std::string display() const { return calc->displayPanel()->text().toStdString(); }
    QImage buttonImage(Key b) { return calc->grab(rectOf(b)).toImage(); }

    int beeps = 0;
    std::optional<std::string> clipboard;
    std::unique_ptr<DeskCalculatorWidget> calc;
};

TEST_F(DeskCalculatorWidgetTest, PressSinksReleaseOutsideCancelsClickPresses) {
    const QImage raised = buttonImage(Key::Digit7);
    QTest::mousePress(calc.get(), Qt::LeftButton, {}, rectOf(Key::Digit7).center());
    EXPECT_NE(buttonImage(Key::Digit7), raised);
    QTest::mouseRelease(calc.get(), Qt::LeftButton, {}, rectOf(Key::Digit8).center());
    EXPECT_EQ(buttonImage(Key::Digit7), raised);
    EXPECT_EQ(display(), "0 ");
    click(Key::Digit7);
    EXPECT_EQ(display(), "7 ");
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
        {"KeypadEnterIsEquals", "1+2", Qt::Key_Enter, Qt::KeypadModifier, Key::Equals},
        {"DeleteIsClearEntry", "", Qt::Key_Delete, {}, Key::ClearEntry},
        {"F9ChangesSign", "", Qt::Key_F9, {}, Key::ChangeSign},
        {"CtrlRRecallsWhileMemoryIsZero", "", Qt::Key_R, Qt::ControlModifier, Key::MemRecall},
    };
    for (const auto& [name, typed, key, modifiers, button] : rows) {
        SCOPED_TRACE(name);
        QTest::keyClicks(calc.get(), QString::fromLatin1(typed));
        QTest::keyClick(calc.get(), key, modifiers);
        EXPECT_EQ(calc->logic().lastButton(), button);
    }
}

TEST_F(DeskCalculatorWidgetTest, PasteCopyAndBeepUseTheServicesSchemeColoursTheDisplay) {
    clipboard = "1/0=";
    QTest::keyClick(calc.get(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(display(), "******  ");
    EXPECT_EQ(beeps, 1);  // the error
    clipboard = "5+3=";
    QTest::keyClick(calc.get(), Qt::Key_V, Qt::ControlModifier);
    clipboard.reset();
    QTest::keyClick(calc.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard, "8 ");
    calc->colors().setColorScheme(ColorScheme::Dark);  // black, aqua text
    EXPECT_EQ(calc->displayPanel()->palette().color(QPalette::WindowText), QColor(0, 0xFF, 0xFF));
}

TEST_F(DeskCalculatorWidgetTest, TapeViewFollowsNewLinesRecallsADoubleClickedLineAndHides) {
    auto* view = calc->findChild<TapeView*>(QStringLiteral("tapeView"));
    ASSERT_NE(view, nullptr);
    calc->setTapeHeight(150);
    calc->setTapeVisible(true);
    QTest::keyClicks(calc.get(), "1.25+2.25=");
    view->verticalScrollBar()->setValue(0);       // scrolled back by hand
    QTest::keyClick(calc.get(), Qt::Key_Escape);  // C writes a separator: the newest line shows
    EXPECT_EQ(view->topLine(), view->verticalScrollBar()->maximum());
    EXPECT_GT(view->topLine(), 0);
    const auto& lines = calc->logic().tape().lines();
    const auto total = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& l) { return l.ends_with(" 3.50 *"); });
    const int y = static_cast<int>(total - lines.begin()) - view->topLine();  // in rows
    ASSERT_GE(y, 0);
    calc->clearFocus();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       QPoint(20, y * QFontMetrics(view->font()).height() + 2));
    EXPECT_EQ(calc->entryText(), "3.50");
    EXPECT_TRUE(calc->hasFocus());
    // Shown above the display; hidden again, the display takes its place back.
    EXPECT_EQ(view->geometry(), QRect(6, 6, 428, 150));
    const int displayHeight = calc->displayPanel()->height();
    EXPECT_EQ(calc->displayPanel()->geometry(), QRect(8, 162, 410, displayHeight));
    calc->setTapeVisible(false);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(calc->displayPanel()->geometry(), QRect(6, 6, 428, displayHeight));
}

}  // namespace
}  // namespace corvalo::deskcalc
