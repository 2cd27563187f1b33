// The main window, headless: each command reaches its core and its result reaches
// the controls; the cores' own cases are pinned in their tests.
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <map>
#include <string>
#include <vector>

#include "clipcalc/pipeline.h"
#include "shell/glyph_button.h"
#include "shell/statistics_strip.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using Strings = std::vector<std::string>;

std::string yes(bool on) {
    return on ? "yes" : "no";
}

class MainWindowTest : public WindowFixture {
  protected:
    // The page holds the display and the 48-pixel tool panel and no room for a grid.
    bool collapsed() const {
        return child<QStackedWidget>("pages")->height() == child<QLabel>("display")->height() + 48;
    }
    shell::StatisticsStrip* strip() const { return child<shell::StatisticsStrip>("statistics"); }
};

// One window, one command after another; a command with no name only looks again.
TEST_F(MainWindowTest, EachCommandReachesItsCoreAndItsResultAControl) {
    const std::map<std::string, std::function<std::string()>> shown = {
        {"display", [this] { return window->displayCaption(); }},
        {"clipboard", [this] { return clipboard.contents.value_or(""); }},
        {"mode", [this] { return child<QPushButton>("mathModeButton")->text().toStdString(); }},
        {"by rows", [this] { return yes(child("actionUsingRows")->isChecked()); }},
        {"calculate menu", [this] { return yes(child<QMenu>("menuCalculate")->isEnabled()); }},
        {"statistics", [this] { return yes(strip()->isVisible()); }},
        {"on top", [this] { return yes(window->windowFlags() & Qt::WindowStaysOnTopHint); }},
        {"calculator", [this] { return yes(page() == shell::Page::Calculator); }},
        {"tape", [this] { return yes(calculator()->tapeVisible()); }},
        {"visible", [this] { return yes(window->isVisible()); }},
    };
    const struct {
        const char* command;  // an action's name or a key sequence
        const char* what;
        const char* shows;
    } steps[] = {
        {"F5", "by rows", "yes"},
        {"F4", "by rows", "no"},
        {"Ctrl+V", "display", "1,009.00 "},
        {"actionDivision", "display", "50.00 "},
        {"", "mode", "/"},
        {"actionAddition", "display", "1,009.00 "},
        {"actionDecimals0", "display", "1,009 "},
        {"Ctrl+C", "clipboard", "1,009"},
        {"Ctrl+Shift+C", "clipboard", "1009"},
        {"actionStatisticsLine", "statistics", "yes"},
        {"F11", "on top", "yes"},
        {"F9", "calculator", "yes"},
        {"", "calculate menu", "no"},
        {"actionShowTape", "tape", "yes"},
        {"F10", "calculator", "no"},
        {"", "calculate menu", "yes"},
        {"F12", "visible", "no"},
    };
    start();
    clipboard.contents = "1000\n4\n5\n";
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.command) + " " + step.what);
        const QString command = QString::fromLatin1(step.command);
        if (command.startsWith(QLatin1String("action"))) {
            trigger(step.command);
        } else if (!command.isEmpty()) {
            QWidget* focus = QApplication::focusWidget();
            QTest::keySequence(focus != nullptr ? focus : window.get(), QKeySequence(command));
        }
        EXPECT_EQ(shown.at(step.what)(), step.shows);
    }
}

TEST_F(MainWindowTest, PasteShowsTheResultAMessageOrTheErrorAndTheGridWhenNeeded) {
    const std::string huge = "1" + std::string(308, '0') + "\n";  // 1E308
    const std::string tooFew(clipcalc::kMsgTooFewNumbers);
    const struct {
        const char* name;
        std::string clipboard;
        Strings messages;
        Strings errors;
        const char* display;
    } rows[] = {
        {"a column that needs the grid", "12\n30\n8\n", {}, {}, "50.00 "},
        {"too few numbers: a message", "5", {tooFew}, {}, "5.00 "},
        {"an overflow: the error report", huge + huge, {}, {"Floating point overflow"}, "0.00 "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        dialogs.errors.clear();
        start();
        trigger("actionUsingColumns");
        paste(row.clipboard);
        EXPECT_EQ(window->displayCaption(), row.display);
        EXPECT_EQ(dialogs.messages, row.messages);
        EXPECT_EQ(dialogs.errors, row.errors);
        const bool expanded = row.messages.empty() && row.errors.empty();
        EXPECT_EQ(grid()->isVisible(), expanded);
        EXPECT_EQ(collapsed(), !expanded);
        EXPECT_EQ(window->frameGeometry().height() == 456, expanded);  // the stored height
    }
}

TEST_F(MainWindowTest, SizeButtonWaitsForACalculationThenSwitchesTheGrid) {
    start();
    auto* button = child<shell::GlyphButton>("sizeButton");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(window->expanded());
    paste("1\t2\r\n3\t4");
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_EQ(button->shownImage(), 2);  // disabled while held: its image is blank by now
    QTest::mouseRelease(button, Qt::LeftButton);
    EXPECT_TRUE(grid()->isVisible());
    EXPECT_EQ(button->shownImage(), 4);
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Hide the grid "));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->shownImage(), 1);
    EXPECT_EQ(button->toolTip(), QStringLiteral(" Display the grid "));
    EXPECT_TRUE(collapsed());
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

// The rules' cases are pinned in window_rules_test; here a resize reaches them,
// and the close saves what they stored.
TEST_F(MainWindowTest, ResizeRunsTheRulesAndCloseSavesTheSettingsOnce) {
    start();
    const int height = window->frameGeometry().height();
    window->resize(window->width() + 60, window->height() + 120);
    EXPECT_EQ(window->frameGeometry().height(), height);  // a collapsed window snaps back
    EXPECT_EQ(child<shell::GlyphButton>("sizeButton")->x(), window->width() - 39);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(settings.saves, 1);
    EXPECT_EQ(settings.saved.collapsedWidth, window->frameGeometry().width());
}

// The close after a refused write does not keep the user in the window.
TEST_F(MainWindowTest, ARefusedWriteKeepsTheWindowOnceThenItCloses) {
    start();
    settings.refuse = true;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->close());
    EXPECT_EQ(dialogs.errors, Strings{"Unable to write to /nowhere/corvalo.ini"});
}

// A native Wayland window cannot stay on top nor read its own place: the stored place
// is neither applied nor overwritten, nor is the stored stay-on-top.
TEST_F(MainWindowTest, OnNativeWaylandNoStayOnTopAndTheStoredPlaceKept) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.left = 5000;  // beyond every screen
        t.top = 4000;
        t.shell.stayOnTop = true;
    };
    nativeWayland = true;
    start();
    EXPECT_FALSE(child("actionStayOnTop")->isEnabled());
    EXPECT_FALSE(child("actionStayOnTop")->isChecked());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(window->frameGeometry()));
    window->move(40, 60);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == QPoint(40, 60); }));
    window->close();
    EXPECT_EQ(settings.savedPlace, QPoint(5000, 4000));
    EXPECT_TRUE(settings.saved.stayOnTop);
}

// The strip's figures follow every calculation and click; an overflowing sum of a
// click's figures is its text.
TEST_F(MainWindowTest, TheStatisticsLineFollowsEveryCalculationAndClick) {
    settings.onLoad = [](const shell::SettingsTargets& t) { t.shell.statisticsLine = true; };
    start();
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

    clipcalc::LineStatistics figures;
    figures.count = 2;
    figures.sumOverflow = true;
    EXPECT_EQ(shell::statisticsCaption(clipcalc::CalcState{}, figures), "Floating point overflow");
}

}  // namespace
}  // namespace corvalo::testing
