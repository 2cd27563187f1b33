// The main window, headless, through fakes of the clipboard, the message boxes
// and the settings file.
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>
#include <memory>

#include "clipcalc/pipeline.h"
#include "deskcalc/qt/desk_calculator_widget.h"
#include "shell/glyph_button.h"
#include "shell/grid_view.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using clipcalc::TabulationStyle;
using shell::MainWindow;

class MainWindowTest : public WindowFixture {
  protected:
    void paste(const std::string& utf8) {
        clipboard.contents = utf8;
        trigger("actionPaste");
    }
    void direction(TabulationStyle style) {
        (style == TabulationStyle::UsingColumns ? child("actionUsingColumns")
                                                : child("actionUsingRows"))
            ->trigger();
    }
    QColor colour(int col, int row) const {
        return child<shell::GridView>("grid")->cellColour(col, row);
    }
    void click(int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        const QRect cell = child<shell::GridView>("grid")->cellRect(col, row);
        ASSERT_FALSE(cell.isEmpty());
        QTest::mouseClick(child<shell::GridView>("grid")->viewport(), button, {}, cell.center());
    }
    int outerWidth() const { return window->frameGeometry().width(); }
    int outerHeight() const { return window->frameGeometry().height(); }
    int collapsedHeight() const {
        return window->frameExtra().height + window->pageHeights().minClientHeight();
    }
};

const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);

std::string onlyOne(std::string_view hint) {
    return std::string(clipcalc::kMsgOnlyOneNumber) + std::string(hint);
}

struct PasteRow {
    const char* name;
    std::optional<std::string> clipboard;
    TabulationStyle style;
    std::string display;
    std::string message;
    bool expanded;
};

TEST_F(MainWindowTest, CalculateClipboardCases) {
    using enum TabulationStyle;
    const PasteRow rows[] = {
        {"spreadsheet row by columns", "12\t30\t8", UsingColumns, "12.00 ",
         onlyOne(clipcalc::kMsgHintRowToColumn), true},
        {"spreadsheet row by rows", "12\t30\t8", UsingRows, "50.00 ", "", true},
        {"spreadsheet column by rows", "12\r\n30\r\n8", UsingRows, "12.00 ",
         onlyOne(clipcalc::kMsgHintColumnToRow), true},
        {"column with Linux line ends by columns", "12\n30\n8\n", UsingColumns, "50.00 ", "",
         true},
        {"one number", "5", UsingRows, "5.00 ", std::string(clipcalc::kMsgTooFewNumbers), false},
        {"letters only", "abc", UsingRows, "0.00 ", std::string(clipcalc::kMsgClipboardEmpty),
         false},
        {"number and tab", "5\t", UsingRows, "5.00 ", std::string(clipcalc::kMsgTooFewNumbers),
         false},
        {"no text at all", std::nullopt, UsingRows, "0.00 ",
         std::string(clipcalc::kMsgClipboardEmpty), false},
        {"2 x 2 block by columns", "1\t2\r\n3\t4", UsingColumns, "4.00 ", "", false},
    };
    for (const PasteRow& row : rows) {
        SCOPED_TRACE(row.name);
        start();
        direction(row.style);
        clipboard.contents = row.clipboard;
        trigger("actionPaste");
        EXPECT_EQ(window->displayCaption(), row.display);
        EXPECT_EQ(dialogs.messages.size(), row.message.empty() ? 0u : 1u);
        if (!row.message.empty() && !dialogs.messages.empty()) {
            EXPECT_EQ(dialogs.messages.back(), row.message);
        }
        EXPECT_EQ(window->expanded(), row.expanded);
        EXPECT_EQ(child<shell::GridView>("grid")->isVisible(), row.expanded);
        EXPECT_EQ(outerHeight() == collapsedHeight(), !row.expanded);
        EXPECT_TRUE(dialogs.errors.empty());
        window.reset();
        dialogs.messages.clear();
    }
}

TEST_F(MainWindowTest, SizeButtonDisabledUntilTheFirstCalculation) {
    start();
    auto* button = child<shell::GlyphButton>("sizeButton");
    EXPECT_FALSE(button->glyphEnabled());
    EXPECT_EQ(button->shownImage(), 2);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(window->expanded());  // cannot be pressed yet

    paste("1\t2\r\n3\t4");  // needs no grid: stays collapsed, button now usable
    EXPECT_TRUE(button->glyphEnabled());
    EXPECT_FALSE(window->expanded());

    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_TRUE(window->expanded());
    EXPECT_EQ(button->shownImage(), 2);  // disabled while held, and that image is now blank
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Hide the grid "));
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_EQ(button->shownImage(), 4);
    EXPECT_TRUE(child<shell::GridView>("grid")->isVisible());
    EXPECT_EQ(outerHeight(), window->shell().expandedHeight);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(window->expanded());
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Display the grid "));
    EXPECT_EQ(button->shownImage(), 1);
    EXPECT_FALSE(child<shell::GridView>("grid")->isVisible());
    EXPECT_EQ(outerHeight(), collapsedHeight());
}

TEST_F(MainWindowTest, GridClicksChooseTheLineAndDirection) {
    start();
    direction(TabulationStyle::UsingColumns);
    paste("1\t2\t3\n4\t5\t6\n7\t8\t9\n");
    ASSERT_TRUE(window->expanded());
    EXPECT_EQ(colour(1, 2), kWhite);
    EXPECT_EQ(colour(2, 1), kGrey);
    EXPECT_EQ(colour(0, 1), child<shell::GridView>("grid")->palette().color(QPalette::Button));

    const struct {
        const char* name;
        int col;
        int row;
        const char* display;
        bool byColumns;
        QPoint whiteCell;
        QPoint greyCell;
    } steps[] = {
        {"cell in column 3", 3, 2, "18.00 ", true, {3, 1}, {1, 1}},
        {"header of row 2", 0, 2, "15.00 ", false, {1, 2}, {3, 1}},
        {"cell in row 3 keeps rows", 2, 3, "24.00 ", false, {3, 3}, {1, 2}},
        {"corner keeps column 3", 0, 0, "18.00 ", true, {3, 3}, {1, 3}},
        {"header of column 2", 2, 0, "15.00 ", true, {2, 1}, {3, 1}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        click(step.col, step.row);
        EXPECT_EQ(window->displayCaption(), step.display);
        EXPECT_EQ(child("actionUsingColumns")->isChecked(), step.byColumns);
        EXPECT_EQ(child("actionUsingRows")->isChecked(), !step.byColumns);
        EXPECT_EQ(colour(step.whiteCell.x(), step.whiteCell.y()), kWhite);
        EXPECT_EQ(colour(step.greyCell.x(), step.greyCell.y()), kGrey);
    }
    click(1, 1, Qt::RightButton);  // any mouse button chooses
    EXPECT_EQ(window->displayCaption(), "12.00 ");
}

// Dark pixels of the grid's image in columns [x0, x1) of a cell.
int inkIn(const QImage& image, const QRect& cell, int x0, int x1) {
    int ink = 0;
    for (int x = x0; x < x1; ++x) {
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            ink += qGray(image.pixel(x, y)) < 96 ? 1 : 0;
        }
    }
    return ink;
}

TEST_F(MainWindowTest, GridDrawsColoursAndRightAlignedClippedText) {
    start();
    direction(TabulationStyle::UsingColumns);
    paste("123456789012345678\t5\n1\t2\n3\t4\n");  // the first wider than its column
    ASSERT_TRUE(window->expanded());
    shell::GridView* grid = child<shell::GridView>("grid");
    const QImage image = grid->viewport()->grab().toImage();
    const QRect wide = grid->cellRect(1, 1);
    const QRect header = grid->cellRect(0, 1);
    const QRect grey = grid->cellRect(2, 1);
    EXPECT_EQ(image.pixelColor(header.topLeft()), grid->palette().color(QPalette::Button));
    EXPECT_EQ(image.pixelColor(wide.topLeft()), kWhite);
    EXPECT_EQ(image.pixelColor(grey.bottomRight()), kGrey);
    EXPECT_EQ(inkIn(image, wide, wide.right() - 2, wide.right() + 1), 0);   // 3 px clear
    EXPECT_GT(inkIn(image, wide, wide.right() - 12, wide.right() - 2), 0);  // last digits
    EXPECT_GT(inkIn(image, wide, wide.left(), wide.left() + 8), 0);         // cut, not elided
    EXPECT_EQ(inkIn(image, header, header.left(), header.right() + 1), 0);  // headers blank
}

TEST_F(MainWindowTest, DivisionThenAddition) {
    start();
    direction(TabulationStyle::UsingColumns);
    paste("100\n4\n5\n");
    trigger("actionDivision");
    EXPECT_EQ(window->displayCaption(), "5.00 ");
    EXPECT_EQ(child<QPushButton>("mathModeButton")->text(), QStringLiteral("/"));
    trigger("actionAddition");
    EXPECT_EQ(window->displayCaption(), "109.00 ");
    EXPECT_EQ(child<QPushButton>("mathModeButton")->text(), QStringLiteral("+"));
}

TEST_F(MainWindowTest, CopyPutsTheTrimmedDisplayOnTheClipboard) {
    start();
    trigger("actionCopy");
    EXPECT_EQ(clipboard.contents, "0.00");  // the start result before any calculation

    direction(TabulationStyle::UsingColumns);
    paste("1000\n234.5\n");
    trigger("actionCopy");
    EXPECT_EQ(clipboard.contents, "1,234.50");

    child("actionDecimals0")->trigger();
    EXPECT_EQ(window->displayCaption(), "1,235 ");
    trigger("actionCopy");
    EXPECT_EQ(clipboard.contents, "1,235");
}

TEST_F(MainWindowTest, LocaleWithCommaDecimals) {
    start({',', '.'});
    EXPECT_EQ(child<QPushButton>("decimalsButton")->text(), QStringLiteral(","));
    EXPECT_EQ(child("actionDecimals0")->text(), QStringLiteral("0"));
    EXPECT_EQ(child("actionDecimals1")->text(), QStringLiteral("0,1"));
    EXPECT_EQ(child("actionDecimals9")->text(), QStringLiteral("0,123456789"));
    direction(TabulationStyle::UsingColumns);
    paste("1234,5\n0\n");
    EXPECT_EQ(window->displayCaption(), "1.234,50 ");
}

TEST_F(MainWindowTest, CtrlVOnTheTextPageRunsTheCommandNotThePaste) {
    start();
    QGuiApplication::clipboard()->setText(QStringLiteral("what a plain paste would insert"));
    clipboard.contents = "12\t30\t8";
    direction(TabulationStyle::UsingRows);
    child<QStackedWidget>("pages")->setCurrentIndex(shell::kTextPage);
    child<QPlainTextEdit>("textPage")->setFocus();
    QTest::keyClick(child<QPlainTextEdit>("textPage"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(child<QPlainTextEdit>("textPage")->toPlainText().toStdString(), "");
    EXPECT_EQ(window->displayCaption(), "50.00 ");

    clipboard.contents = "sentinel";
    QTest::keyClick(child<QPlainTextEdit>("textPage"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.contents, "0");  // the calculator's entry, not the text's selection
}

TEST_F(MainWindowTest, CtrlCOnTheCalculatorPageCopiesItsEntry) {
    start();
    trigger("actionCalculatorOn");
    QTest::keyClicks(child<deskcalc::DeskCalculatorWidget>("calculator"), QStringLiteral("12+3="));
    clipboard.contents = "sentinel";
    QTest::keyClick(child<deskcalc::DeskCalculatorWidget>("calculator"), Qt::Key_C,
                    Qt::ControlModifier);
    EXPECT_EQ(clipboard.writes, 1);
    EXPECT_EQ(clipboard.contents, "15");
}

TEST_F(MainWindowTest, FunctionKeysReachTheMenu) {
    start();
    QTest::keyClick(window.get(), Qt::Key_F4);
    EXPECT_EQ(window->calc().tabulationStyle, TabulationStyle::UsingColumns);
    EXPECT_TRUE(child("actionUsingColumns")->isChecked());
    QTest::keyClick(window.get(), Qt::Key_F5);
    EXPECT_EQ(window->calc().tabulationStyle, TabulationStyle::UsingRows);
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kCalculatorPage);
    QTest::keyClick(window.get(), Qt::Key_F10);
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kGridPage);
}

TEST_F(MainWindowTest, CalculateSubmenuOnlyOnTheGridPage) {
    start();
    EXPECT_TRUE(child<QMenu>("menuCalculate")->isEnabled());
    trigger("actionCalculatorOn");
    EXPECT_FALSE(child<QMenu>("menuCalculate")->isEnabled());
    EXPECT_FALSE(child("actionUsingColumns")->isEnabled());
    EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
    EXPECT_TRUE(child("actionCalculatorOff")->isEnabled());
    trigger("actionCalculatorOff");
    EXPECT_TRUE(child<QMenu>("menuCalculate")->isEnabled());
    EXPECT_TRUE(child("actionUsingRows")->isEnabled());
}

TEST_F(MainWindowTest, CollapsedWindowSnapsBackAndKeepsTheNewWidth) {
    start();
    const int height = outerHeight();
    ASSERT_EQ(height, collapsedHeight());
    window->resize(window->width() + 60, window->height() + 120);
    EXPECT_EQ(outerHeight(), height);
    EXPECT_EQ(window->shell().collapsedWidth, outerWidth());
    EXPECT_EQ(window->shell().expandedWidth, outerWidth());
}

TEST_F(MainWindowTest, ExpandedResizeIsStored) {
    start();
    paste("1\t2\t3\n4\t5\t6\n7\t8\t9\n");
    ASSERT_TRUE(window->expanded());
    window->resize(640, 420);
    EXPECT_EQ(window->shell().expandedHeight, outerHeight());
    EXPECT_EQ(window->shell().expandedWidth, outerWidth());
    EXPECT_EQ(window->shell().collapsedWidth, outerWidth());
    QTest::mouseClick(child<shell::GlyphButton>("sizeButton"), Qt::LeftButton);
    EXPECT_EQ(outerWidth(), 640 + window->frameExtra().width);  // the collapse keeps the width
}

TEST_F(MainWindowTest, TooNarrowForTheToolsBecomes300Wide) {
    start();
    window->resize(220, window->height());
    EXPECT_EQ(outerWidth(), 300);
    EXPECT_EQ(child<shell::GlyphButton>("sizeButton")->x(), window->width() - 39);
}

TEST_F(MainWindowTest, SmallStoredCalculatorGrowsWhenSwitchedOn) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.shell.calculatorWidth = 100;
        t.shell.calculatorHeight = 100;
    };
    start();
    trigger("actionCalculatorOn");
    EXPECT_EQ(window->shell().calculatorWidth, 295);
    EXPECT_EQ(window->shell().calculatorHeight, 220);
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->size(), QSize(295, 220));
}

TEST_F(MainWindowTest, StartsOnTheCalculatorPageWhenAsked) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.shell.calculatorDefaultStartup = true;
        t.calc.tabulationStyle = TabulationStyle::UsingColumns;
        t.calc.setResultDecimals(3);
    };
    start();
    EXPECT_EQ(settings.loads, 1);
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kCalculatorPage);
    EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
    EXPECT_TRUE(child("actionUsingColumns")->isChecked());
    EXPECT_EQ(window->displayCaption(), "0.000 ");
}

TEST_F(MainWindowTest, StoredPositionOffEveryScreenComesBack) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.left = 5000;
        t.top = 4000;
    };
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(window->frameGeometry()));
    EXPECT_LE(window->frameGeometry().right(), screen.right());
}

TEST_F(MainWindowTest, ClosingSavesOnceAndARefusedWriteKeepsTheWindow) {
    start();
    settings.refuse = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Unable to write to /nowhere/corvalo.ini"}));
    settings.refuse = false;
    window->resize(400, window->height());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(settings.saves, 1);
    EXPECT_EQ(settings.saved.collapsedWidth, 400 + window->frameExtra().width);
}

// The close after a refused write does not keep the user in the window.
TEST_F(MainWindowTest, ASecondCloseAfterARefusedWriteClosesWithoutWriting) {
    start();
    settings.refuse = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(settings.saves, 0);
    EXPECT_EQ(dialogs.errors,
              (std::vector<std::string>{"Unable to write to /nowhere/corvalo.ini"}));
}

TEST_F(MainWindowTest, StayOnTopFromTheSettingsAndTheMenu) {
    settings.onLoad = [](const shell::SettingsTargets& t) { t.shell.stayOnTop = true; };
    start();
    EXPECT_TRUE(child("actionStayOnTop")->isChecked());
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }));
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F11);
    EXPECT_FALSE(window->shell().stayOnTop);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ErrorsGoToTheStandardReport) {
    start();
    direction(TabulationStyle::UsingColumns);
    const std::string huge = "1" + std::string(308, '0');  // 1E308
    paste(huge + "\n" + huge + "\n");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point overflow"}));
    EXPECT_EQ(window->displayCaption(), "0.00 ");
    EXPECT_EQ(window->cells().rowCount(), 3);  // the grid shows what was pasted

    clipboard.held = true;
    trigger("actionCopy");
    EXPECT_EQ(dialogs.errors.back(), "Cannot open clipboard");
}

}  // namespace
}  // namespace corvalo::testing
