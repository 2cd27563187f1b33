// The main window's grid page, headless: each command reaches its core and its
// result reaches the controls; the cores' own cases are pinned in their tests.
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "clipcalc/pipeline.h"
#include "shell/glyph_button.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using clipcalc::TabulationStyle;

const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);

class MainWindowTest : public WindowFixture {
  protected:
    int outerWidth() const { return window->frameGeometry().width(); }
    int outerHeight() const { return window->frameGeometry().height(); }
    // The page holds the display and the 48-pixel tool panel and no room for a grid.
    bool collapsed() const {
        return child<QStackedWidget>("pages")->height() == child<QLabel>("display")->height() + 48;
    }
};

TEST_F(MainWindowTest, PasteShowsTheResultTheMessageAndTheGridWhenNeeded) {
    const struct {
        const char* name;
        const char* clipboard;
        std::vector<std::string> messages;
        const char* display;
        bool expanded;
    } rows[] = {
        {"a column that needs the grid", "12\n30\n8\n", {}, "50.00 ", true},
        {"a message, no grid", "5", {std::string(clipcalc::kMsgTooFewNumbers)}, "5.00 ", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        start();
        trigger("actionUsingColumns");
        paste(row.clipboard);
        EXPECT_EQ(window->displayCaption(), row.display);
        EXPECT_EQ(dialogs.messages, row.messages);
        EXPECT_EQ(grid()->isVisible(), row.expanded);
        EXPECT_EQ(collapsed(), !row.expanded);
        EXPECT_EQ(outerHeight() == 456, row.expanded);  // the stored expanded height
    }
}

TEST_F(MainWindowTest, SizeButtonWaitsForACalculationThenSwitchesTheGrid) {
    start();
    auto* button = child<shell::GlyphButton>("sizeButton");
    EXPECT_EQ(button->shownImage(), 2);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(window->expanded());

    paste("1\t2\r\n3\t4");
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_TRUE(window->expanded());
    EXPECT_EQ(button->shownImage(), 2);  // disabled while held: its image is blank by now
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(button->shownImage(), 4);
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Hide the grid "));
    EXPECT_TRUE(grid()->isVisible());

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->shownImage(), 1);
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Display the grid "));
    EXPECT_TRUE(collapsed());
}

TEST_F(MainWindowTest, GridClicksChooseTheLineAndTheDirectionMenuFollows) {
    start();
    trigger("actionUsingColumns");
    paste("1\t2\t3\n4\t5\t6\n7\t8\t9\n");
    const struct {
        const char* name;
        QPoint cell;
        const char* display;
        bool byColumns;
        QPoint white;
        QPoint grey;
    } steps[] = {
        {"a cell of column 3", {3, 2}, "18.00 ", true, {3, 1}, {1, 1}},
        {"the header of row 2", {0, 2}, "15.00 ", false, {1, 2}, {3, 1}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        click(step.cell.x(), step.cell.y());
        EXPECT_EQ(window->displayCaption(), step.display);
        EXPECT_EQ(child("actionUsingColumns")->isChecked(), step.byColumns);
        EXPECT_EQ(child("actionUsingRows")->isChecked(), !step.byColumns);
        EXPECT_EQ(grid()->cellColour(step.white.x(), step.white.y()), kWhite);
        EXPECT_EQ(grid()->cellColour(step.grey.x(), step.grey.y()), kGrey);
    }
}

// Dark pixels of the grid's image in columns [x0, x1) of a cell.
int inkIn(const QImage& image, const QRect& cell, int x0, int x1) {
    int ink = 0;
    for (int x = x0; x < x1; ++x) {
        for (int y = cell.top(); y <= cell.bottom(); ++y) ink += qGray(image.pixel(x, y)) < 96;
    }
    return ink;
}

TEST_F(MainWindowTest, GridDrawsColoursAndRightAlignedClippedText) {
    start();
    trigger("actionUsingColumns");
    paste("123456789012345678\t5\n1\t2\n3\t4\n");  // the first wider than its column
    const QImage image = grid()->viewport()->grab().toImage();
    const QRect wide = grid()->cellRect(1, 1);
    const QRect header = grid()->cellRect(0, 1);
    EXPECT_EQ(image.pixelColor(header.topLeft()), grid()->palette().color(QPalette::Button));
    EXPECT_EQ(image.pixelColor(wide.topLeft()), kWhite);
    EXPECT_EQ(image.pixelColor(grid()->cellRect(2, 1).bottomRight()), kGrey);
    EXPECT_EQ(inkIn(image, wide, wide.right() - 2, wide.right() + 1), 0);   // 3 px clear
    EXPECT_GT(inkIn(image, wide, wide.right() - 12, wide.right() - 2), 0);  // last digits
    EXPECT_GT(inkIn(image, wide, wide.left(), wide.left() + 8), 0);         // cut, not elided
    EXPECT_EQ(inkIn(image, header, header.left(), header.right() + 1), 0);  // headers blank
}

TEST_F(MainWindowTest, ModeAndDecimalsRecalculateAndCopyTakesTheTrimmedDisplay) {
    start();
    trigger("actionUsingColumns");
    paste("1000\n4\n5\n");
    trigger("actionDivision");
    EXPECT_EQ(window->displayCaption(), "50.00 ");
    EXPECT_EQ(child<QPushButton>("mathModeButton")->text(), QStringLiteral("/"));
    trigger("actionAddition");
    trigger("actionDecimals0");
    EXPECT_EQ(window->displayCaption(), "1,009 ");
    trigger("actionCopy");
    EXPECT_EQ(clipboard.contents, "1,009");
}

TEST_F(MainWindowTest, LocaleWithCommaDecimals) {
    start({',', '.'});
    EXPECT_EQ(child<QPushButton>("decimalsButton")->text(), QStringLiteral(","));
    EXPECT_EQ(child("actionDecimals1")->text(), QStringLiteral("0,1"));
    trigger("actionUsingColumns");
    paste("1234,5\n0\n");
    EXPECT_EQ(window->displayCaption(), "1.234,50 ");
}

TEST_F(MainWindowTest, CtrlVAndCtrlCOnTheTextPageRunTheCommandsNotTheEdit) {
    start();
    QGuiApplication::clipboard()->setText(QStringLiteral("what a plain paste would insert"));
    trigger("actionUsingRows");
    clipboard.contents = "12\t30\t8";
    auto* text = child<QPlainTextEdit>("textPage");
    child<QStackedWidget>("pages")->setCurrentIndex(shell::indexOf(shell::Page::Text));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text->toPlainText(), QString());
    EXPECT_EQ(window->displayCaption(), "50.00 ");
    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "0");  // the calculator's entry, not the text's selection
}

TEST_F(MainWindowTest, DirectionKeysAndTheCalculateMenuOnlyOnTheGridPage) {
    start();
    QTest::keyClick(window.get(), Qt::Key_F4);
    EXPECT_EQ(window->calc().tabulationStyle, TabulationStyle::UsingColumns);
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(window->calc().tabulationStyle, TabulationStyle::UsingRows);
    EXPECT_TRUE(child<QMenu>("menuCalculate")->isEnabled());
    trigger("actionCalculatorOn");
    EXPECT_FALSE(child<QMenu>("menuCalculate")->isEnabled());
    EXPECT_FALSE(child("actionUsingColumns")->isEnabled());
    trigger("actionCalculatorOff");
    EXPECT_TRUE(child("actionUsingColumns")->isEnabled());
}

// The rules' cases are pinned in window_rules_test; here a resize reaches them,
// and the close saves what they stored.
TEST_F(MainWindowTest, ResizeRunsTheRulesAndCloseSavesTheSettingsOnce) {
    start();
    const int height = outerHeight();
    window->resize(window->width() + 60, window->height() + 120);
    EXPECT_EQ(outerHeight(), height);  // a collapsed window snaps back
    EXPECT_EQ(window->shell().collapsedWidth, outerWidth());
    EXPECT_EQ(child<shell::GlyphButton>("sizeButton")->x(), window->width() - 39);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(settings.saves, 1);
    EXPECT_EQ(settings.saved.collapsedWidth, outerWidth());
}

// The close after a refused write does not keep the user in the window.
TEST_F(MainWindowTest, ARefusedWriteKeepsTheWindowOnceThenItCloses) {
    start();
    settings.refuse = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Unable to write to /nowhere/corvalo.ini"}));
}

TEST_F(MainWindowTest, StayOnTopFromTheSettingsAndTheMenu) {
    settings.onLoad = [](const shell::SettingsTargets& t) { t.shell.stayOnTop = true; };
    start();
    EXPECT_TRUE(child("actionStayOnTop")->isChecked());
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }));
    QTest::keyClick(window.get(), Qt::Key_F11);
    EXPECT_FALSE(window->shell().stayOnTop);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ACalculationErrorGoesToTheStandardReport) {
    start();
    trigger("actionUsingColumns");
    const std::string huge = "1" + std::string(308, '0');  // 1E308
    paste(huge + "\n" + huge + "\n");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point overflow"}));
    EXPECT_EQ(window->displayCaption(), "0.00 ");
}

}  // namespace
}  // namespace corvalo::testing
