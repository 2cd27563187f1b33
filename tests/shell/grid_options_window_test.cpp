// Edit > Copy Plain, Options > Read Statement Signs and Options > Statistics Line,
// headless: each item reaches its core and the core's answer reaches the widgets.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTest>
#include <functional>
#include <string>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "shell/grid_view.h"
#include "shell/statistics_strip.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

class GridOptionsTest : public WindowFixture {
  public:  // for the steps of the tables
    using WindowFixture::child;
    using WindowFixture::trigger;
    using WindowFixture::window;
    void paste(const std::string& utf8) {
        clipboard.contents = utf8;
        trigger("actionPaste");
    }
    shell::GridView* grid() const { return child<shell::GridView>("grid"); }
    shell::StatisticsStrip* strip() const { return child<shell::StatisticsStrip>("statistics"); }
    deskcalc::DeskCalculatorWidget* calculator() const {
        return child<deskcalc::DeskCalculatorWidget>("calculator");
    }
    void click(int col, int row) {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->cellRect(col, row).center());
    }
    void onLoad(bool signs, bool statistics) {
        settings.onLoad = [signs, statistics](const shell::SettingsTargets& t) {
            t.calc.statementSigns = signs;
            t.shell.statisticsLine = statistics;
        };
    }
    // The page's layout follows a shown or hidden strip.
    static void settleLayout() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
};

TEST_F(GridOptionsTest, CtrlShiftCCopiesTheResultWithoutGroupingOrTheCalculatorsEntry) {
    const struct {
        const char* name;
        platform::LocaleSeparators separators;
        std::function<QWidget*(GridOptionsTest&)> setUp;  // the widget that gets the keys
        const char* copied;
    } rows[] = {
        {"the grid page",
         {'.', ','},
         [](GridOptionsTest& t) {
             t.paste("1234567.5\n1\n");
             return t.window.get();
         },
         "1234568.50"},
        {"the grid page with comma decimals",
         {',', '.'},
         [](GridOptionsTest& t) {
             t.paste("1234567,5\n1\n");
             return t.window.get();
         },
         "1234568,50"},
        {"the calculator page",
         {'.', ','},
         [](GridOptionsTest& t) -> QWidget* {
             t.trigger("actionCalculatorOn");
             QTest::keyClicks(t.calculator(), QStringLiteral("1234+1000="));
             return t.calculator();
         },
         "2234"},
        {"the text page",
         {'.', ','},
         [](GridOptionsTest& t) -> QWidget* {
             auto* text = t.child<QPlainTextEdit>("textPage");
             t.child<QStackedWidget>("pages")->setCurrentIndex(shell::indexOf(shell::Page::Text));
             text->setFocus();
             return text;
         },
         "0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        start(row.separators);
        trigger("actionUsingColumns");
        QWidget* target = row.setUp(*this);
        clipboard.contents.reset();
        QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(clipboard.contents, row.copied);
    }
}

TEST_F(GridOptionsTest, CopyPlainCopiesNothingWhileTheCalculatorShowsItsError) {
    start();
    trigger("actionCalculatorOn");
    QTest::keyClicks(calculator(), QStringLiteral("1/0="));
    ASSERT_EQ(calculator()->displayText(), "******  ");
    const int beeps = dialogs.beeps;
    trigger("actionCopyPlain");
    EXPECT_EQ(clipboard.writes, 0);
    EXPECT_EQ(dialogs.beeps, beeps + 1);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(GridOptionsTest, StatementSignsReachTheCleaningAndTheClipboardsDashes) {
    const struct {
        const char* name;
        bool signs;
        const char* clipboard;
        const char* display;
    } rows[] = {
        {"a trailing minus, off", false, "1,234.50-\n100\n", "1,334.50 "},
        {"a trailing minus, on", true, "1,234.50-\n100\n", "-1,134.50 "},
        {"an en dash, off", false,
         "\xE2\x80\x93"
         "12\n5\n",
         "17.00 "},
        {"an en dash, on", true,
         "\xE2\x80\x93"
         "12\n5\n",
         "-7.00 "},
        {"a figure dash, on", true,
         "5\n\xE2\x80\x92"
         "12\n",
         "-7.00 "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        start();
        trigger("actionUsingColumns");
        if (row.signs) trigger("actionStatementSigns");
        EXPECT_EQ(child("actionStatementSigns")->isChecked(), row.signs);
        EXPECT_EQ(window->calc().statementSigns, row.signs);
        paste(row.clipboard);
        EXPECT_EQ(window->displayCaption(), row.display);
    }
}

TEST_F(GridOptionsTest, OptionsFromTheSettingsCheckTheirItemsAndTheItemsTurnThemOff) {
    onLoad(true, true);
    start();
    EXPECT_TRUE(child("actionStatementSigns")->isChecked());
    EXPECT_TRUE(child("actionStatisticsLine")->isChecked());
    EXPECT_FALSE(strip()->isVisible());  // the window starts collapsed

    trigger("actionStatementSigns");
    trigger("actionStatisticsLine");
    EXPECT_FALSE(window->calc().statementSigns);
    EXPECT_FALSE(window->shell().statisticsLine);
}

TEST_F(GridOptionsTest, TheStatisticsLineTakesItsHeightFromTheGridNotTheWindow) {
    start();
    EXPECT_FALSE(child("actionStatementSigns")->isChecked());
    EXPECT_FALSE(child("actionStatisticsLine")->isChecked());
    trigger("actionUsingColumns");
    paste("12\n30\n8\n");  // expands the window
    settleLayout();
    ASSERT_TRUE(grid()->isVisible());
    EXPECT_FALSE(strip()->isVisible());
    const QRect frame = window->frameGeometry();
    const int gridHeight = grid()->height();
    EXPECT_EQ(grid()->geometry().bottom(), child<QWidget>("gridPage")->height() - 1);

    trigger("actionStatisticsLine");
    settleLayout();
    EXPECT_TRUE(strip()->isVisible());
    EXPECT_GT(strip()->height(), 0);
    EXPECT_EQ(grid()->height(), gridHeight - strip()->height());
    EXPECT_EQ(window->frameGeometry(), frame);
    EXPECT_EQ(strip()->caption(), "count 3   sum 50.00   mean 16.67   min 8.00   max 30.00");

    trigger("actionStatisticsLine");
    settleLayout();
    EXPECT_FALSE(strip()->isVisible());
    EXPECT_EQ(grid()->height(), gridHeight);
    EXPECT_EQ(window->frameGeometry(), frame);
}

TEST_F(GridOptionsTest, TheStatisticsLineFollowsEveryCalculationAndClick) {
    onLoad(false, true);
    start();
    trigger("actionUsingColumns");
    paste("Name\tAmount\nA\t1,234.50\nB\tn/a\nC\t100\nD\t7\n");  // expands the window
    EXPECT_TRUE(strip()->isVisible());
    const struct {
        const char* name;
        std::function<void(GridOptionsTest&)> step;
        const char* caption;
    } steps[] = {
        {"the paste, column 1", [](GridOptionsTest&) {},
         "count 0   sum 0.00   4 text cells ignored"},
        {"a click into column 2", [](GridOptionsTest& t) { t.click(2, 1); },
         "count 3   sum 1,341.50   mean 447.17   min 7.00   max 1,234.50   1 text cell ignored"},
        {"no decimals", [](GridOptionsTest& t) { t.trigger("actionDecimals0"); },
         "count 3   sum 1,342   mean 447   min 7   max 1,235   1 text cell ignored"},
        {"using rows, row 1", [](GridOptionsTest& t) { t.trigger("actionUsingRows"); },
         "count 1   sum 1,235   mean 1,235   min 1,235   max 1,235   1 text cell ignored"},
        {"a paste of one number", [](GridOptionsTest& t) { t.paste("5"); },
         "count 1   sum 5   mean 5   min 5   max 5"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        s.step(*this);
        EXPECT_EQ(strip()->caption(), s.caption);
    }
}

// Pixels of a cell that are not its background.
int marked(const QImage& image, const QRect& cell, const QColor& background) {
    int n = 0;
    for (int x = cell.left(); x <= cell.right(); ++x) {
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            n += image.pixelColor(x, y) != background;
    }
    return n;
}

TEST_F(GridOptionsTest, WithTheLineOnTextCellsAreMarkedAndEmptyCellsStayEmpty) {
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    start();
    trigger("actionUsingColumns");
    paste("Total\t1\nn/a\t2\n\t3\n");  // expands the window; (1, 3) is empty
    ASSERT_TRUE(grid()->isVisible());
    const auto image = [this] { return grid()->viewport()->grab().toImage(); };
    EXPECT_EQ(marked(image(), grid()->cellRect(1, 1), white), 0);

    trigger("actionStatisticsLine");
    EXPECT_GT(marked(image(), grid()->cellRect(1, 1), white), 0);
    EXPECT_GT(marked(image(), grid()->cellRect(1, 2), white), 0);
    EXPECT_EQ(marked(image(), grid()->cellRect(1, 3), white), 0);
    click(2, 1);
    EXPECT_GT(marked(image(), grid()->cellRect(1, 1), grey), 0);  // seen on grey too

    trigger("actionStatisticsLine");
    EXPECT_EQ(marked(image(), grid()->cellRect(1, 1), grey), 0);
}

}  // namespace
}  // namespace corvalo::testing
