// The desk calculator on the main window's calculator page, headless: On and
// Off, its stored size, the window's Copy and Paste over the calculator's own.
#include <gtest/gtest.h>

#include <QLabel>
#include <string>

#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using shell::Page;

class CalculatorPageTest : public WindowFixture {
  protected:
    void type(const char* keys) { QTest::keyClicks(calculator(), QString::fromLatin1(keys)); }
    QSize storedSize() const {
        return {window->shell().calculatorWidth, window->shell().calculatorHeight};
    }
};

// "On" is disabled on its own page, so F9 is the calculator's +/- key there.
TEST_F(CalculatorPageTest, F9ShowsTheCalculatorWithTheKeyboardAndF10GoesBack) {
    start();
    const QSize gridPage = window->frameGeometry().size();
    QTest::keyClick(window.get(), Qt::Key_F9);
    ASSERT_EQ(page(), Page::Calculator);
    EXPECT_EQ(calculator()->size(), QSize(440, 400));
    EXPECT_TRUE(calculator()->hasFocus());
    type("7");
    QTest::keyClick(calculator(), Qt::Key_F9);
    EXPECT_EQ(calculator()->displayText(), "-7.00 ");
    EXPECT_EQ(page(), Page::Calculator);

    QTest::keyClick(window.get(), Qt::Key_F10);
    EXPECT_EQ(page(), Page::Grid);
    EXPECT_EQ(window->frameGeometry().size(), gridPage);
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_EQ(calculator()->displayText(), "-7.00 ");
}

// The first showing ends with the resize rules, so an unusable stored size is
// not shown even once.
TEST_F(CalculatorPageTest, StartsOnThePageWithTheStoredSettings) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.shell.calculatorWidth = 100;
        t.shell.calculatorHeight = 100;
        t.shell.calculatorDefaultStartup = true;
        t.calc.tabulationStyle = clipcalc::TabulationStyle::UsingColumns;
        t.calc.setResultDecimals(3);
        t.calculatorFont = {"DejaVu Sans Mono", 16, 0x0000FF, false, true};
    };
    start();
    EXPECT_EQ(settings.loads, 1);
    EXPECT_EQ(page(), Page::Calculator);
    EXPECT_TRUE(calculator()->hasFocus());
    EXPECT_EQ(calculator()->size(), QSize(295, 220));
    EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
    EXPECT_TRUE(child("actionUsingColumns")->isChecked());
    EXPECT_EQ(window->displayCaption(), "0.000 ");
    EXPECT_EQ(calculator()->tapeFont().pointSize(), 16);
    EXPECT_EQ(calculator()->displayPanel()->palette().color(QPalette::WindowText),
              QColor(255, 0, 0));
}

TEST_F(CalculatorPageTest, ResizingThePageStoresTheSizeAndCloseSavesIt) {
    start();
    trigger("actionCalculatorOn");
    window->resize(window->width() + 37, window->height() + 21);
    EXPECT_EQ(calculator()->size(), QSize(477, 421));
    EXPECT_EQ(storedSize(), QSize(477, 421));
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settings.saved.calculatorWidth, 477);
    EXPECT_EQ(settings.saved.calculatorHeight, 421);
}

// Edit > Paste runs Calculate Clipboard, not the calculator's paste; Edit > Copy takes
// the calculator's entry, but while it shows its error it beeps and copies nothing.
TEST_F(CalculatorPageTest, CtrlVAndCtrlCRunTheWindowsCommands) {
    start();
    trigger("actionCalculatorOn");
    clipboard.contents = "12\t30\t8";
    QTest::keyClick(calculator(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->displayCaption(), "50.00 ");
    EXPECT_EQ(calculator()->displayText(), "0 ");
    type("12+3=");
    QTest::keyClick(calculator(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "15");

    type("1/0=");
    ASSERT_EQ(calculator()->displayText(), "******  ");
    const int beeps = dialogs.beeps;
    QTest::keyClick(calculator(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.writes, 1);
    EXPECT_EQ(dialogs.beeps, beeps + 1);
    EXPECT_TRUE(dialogs.errors.empty());
}

}  // namespace
}  // namespace corvalo::testing
