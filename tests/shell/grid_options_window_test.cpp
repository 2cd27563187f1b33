// Edit > Copy Plain, Options > Read Statement Signs and Options > Statistics Line,
// headless: each item reaches its core and the core's answer reaches the widgets.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <string>

#include "shell/statistics_strip.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

class GridOptionsTest : public WindowFixture {
  protected:
    shell::StatisticsStrip* strip() const { return child<shell::StatisticsStrip>("statistics"); }
    // The page's layout follows a shown or hidden strip.
    static void settleLayout() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
};

// The calculator's entry is never grouped: there Copy Plain takes it as Copy does.
TEST_F(GridOptionsTest, CtrlShiftCCopiesTheResultWithoutGroupingOrTheCalculatorsEntry) {
    start();
    trigger("actionUsingColumns");
    paste("1234567.5\n1\n");
    QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard.contents, "1234568.50");

    trigger("actionCalculatorOn");
    QTest::keyClicks(calculator(), QStringLiteral("1234+1000="));
    QTest::keyClick(calculator(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard.contents, "2234");
}

TEST_F(GridOptionsTest, StatementSignsReachTheCleaningAndTheClipboardsDashes) {
    const struct {
        const char* name;
        bool signs;
        const char* clipboard;
        const char* display;
    } rows[] = {
        {"a trailing minus, on", true, "1,234.50-\n100\n", "-1,134.50 "},
        {"an en dash, off", false,
         "\xE2\x80\x93"
         "12\n5\n",
         "17.00 "},
        {"an en dash, on", true,
         "\xE2\x80\x93"
         "12\n5\n",
         "-7.00 "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        start();
        trigger("actionUsingColumns");
        if (row.signs) trigger("actionStatementSigns");
        EXPECT_EQ(window->calc().statementSigns, row.signs);
        paste(row.clipboard);
        EXPECT_EQ(window->displayCaption(), row.display);
    }
}

TEST_F(GridOptionsTest, TheStatisticsLineTakesItsHeightFromTheGridNotTheWindow) {
    start();
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

    trigger("actionStatisticsLine");
    settleLayout();
    EXPECT_FALSE(strip()->isVisible());
    EXPECT_EQ(grid()->height(), gridHeight);
    EXPECT_EQ(window->frameGeometry(), frame);
}

// The captions' wording is pinned in the statistics' own tests.
TEST_F(GridOptionsTest, TheStatisticsLineFromTheSettingsFollowsEveryCalculationAndClick) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.calc.statementSigns = true;
        t.shell.statisticsLine = true;
    };
    start();
    EXPECT_TRUE(child("actionStatementSigns")->isChecked());
    EXPECT_TRUE(child("actionStatisticsLine")->isChecked());
    EXPECT_FALSE(strip()->isVisible());  // the window starts collapsed
    trigger("actionUsingColumns");
    paste("Name\tAmount\nA\t1,234.50\nB\tn/a\nC\t100\nD\t7\n");  // expands the window
    EXPECT_TRUE(strip()->isVisible());
    EXPECT_EQ(strip()->caption(), "count 0   sum 0.00   4 text cells ignored");
    click(2, 1);
    EXPECT_EQ(
        strip()->caption(),
        "count 3   sum 1,341.50   mean 447.17   min 7.00   max 1,234.50   1 text cell ignored");
    strip()->resize(120, strip()->height());  // too narrow: cut, and whole in the tooltip
    EXPECT_TRUE(strip()->text().endsWith(QChar(0x2026))) << strip()->text().toStdString();
    EXPECT_EQ(strip()->toolTip().toStdString(), strip()->caption());
    trigger("actionUsingRows");
    EXPECT_EQ(strip()->caption(),
              "count 1   sum 1,234.50   mean 1,234.50   min 1,234.50   max 1,234.50   "
              "1 text cell ignored");
}

// A click's figures come from the result's own walk: their overflow is the strip's text.
TEST(StatisticsCaption, AnOverflowingSumShowsTheAdditionsError) {
    clipcalc::LineStatistics figures;
    figures.count = 2;
    figures.sumOverflow = true;
    EXPECT_EQ(shell::statisticsCaption(clipcalc::CalcState{}, figures), "Floating point overflow");
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
