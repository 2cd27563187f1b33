// The desk calculator on the main window's calculator page, headless: the
// On and Off commands, its size and the minimum, Copy of its entry, its font.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <string>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

class CalculatorPageTest : public WindowFixture {
  protected:
    void storedSize(int width, int height) {
        settings.onLoad = [width, height](const shell::SettingsTargets& t) {
            t.shell.calculatorWidth = width;
            t.shell.calculatorHeight = height;
        };
    }
    void type(const char* keys) {
        QTest::keyClicks(child<deskcalc::DeskCalculatorWidget>("calculator"),
                         QString::fromLatin1(keys));
    }
    QSize calculatorSize() const {
        return child<deskcalc::DeskCalculatorWidget>("calculator")->size();
    }
    QSize storedSize() const {
        return {window->shell().calculatorWidth, window->shell().calculatorHeight};
    }
};

TEST_F(CalculatorPageTest, F9ShowsTheCalculatorWithTheKeyboardAndF10GoesBack) {
    start();
    const QSize gridPage = window->frameGeometry().size();
    QTest::keyClick(window.get(), Qt::Key_F9);
    ASSERT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kCalculatorPage);
    EXPECT_EQ(calculatorSize(), QSize(440, 400));
    EXPECT_TRUE(child<deskcalc::DeskCalculatorWidget>("calculator")->hasFocus());
    type("12+3=");
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->displayText(), "15 ");

    // Off: the grid page comes back in the size it had; On again finds the entry kept.
    QTest::keyClick(window.get(), Qt::Key_F10);
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kGridPage);
    EXPECT_EQ(window->frameGeometry().size(), gridPage);
    QTest::keyClick(window.get(), Qt::Key_F9);
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->displayText(), "15 ");
}

// "On" is disabled on its own page, so F9 is the calculator's +/- key there.
TEST_F(CalculatorPageTest, F9OnTheCalculatorPageChangesTheSign) {
    start();
    QTest::keyClick(window.get(), Qt::Key_F9);
    type("7");
    QTest::keyClick(child<deskcalc::DeskCalculatorWidget>("calculator"), Qt::Key_F9);
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->displayText(), "-7.00 ");
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kCalculatorPage);
}

struct SizeRow {
    const char* name;
    int storedWidth;
    int storedHeight;
    QSize shown;
};

TEST_F(CalculatorPageTest, OnSizesThePageFromTheSettingsButNotBelowTheMinimum) {
    const SizeRow rows[] = {
        {"the default size", 440, 400, {440, 400}},
        {"both below the minimum", 100, 100, {295, 220}},
        {"only too low", 500, 219, {500, 220}},
        {"only too narrow", 294, 300, {295, 300}},
        {"exactly the minimum", 295, 220, {295, 220}},
    };
    for (const SizeRow& row : rows) {
        SCOPED_TRACE(row.name);
        storedSize(row.storedWidth, row.storedHeight);
        start();
        trigger("actionCalculatorOn");
        EXPECT_EQ(calculatorSize(), row.shown);
        EXPECT_EQ(storedSize(), row.shown);
        window.reset();
    }
}

TEST_F(CalculatorPageTest, ResizingThePageStoresTheSizeAndCloseSavesIt) {
    start();
    trigger("actionCalculatorOn");
    const QSize frame = window->frameGeometry().size() -
                        child<deskcalc::DeskCalculatorWidget>("calculator")->size();
    window->resize(window->width() + 37, window->height() + 21);
    EXPECT_EQ(calculatorSize(), QSize(477, 421));
    EXPECT_EQ(storedSize(), QSize(477, 421));
    ASSERT_TRUE(window->close());
    EXPECT_EQ(settings.saved.calculatorWidth, 477);
    EXPECT_EQ(settings.saved.calculatorHeight, 421);
    EXPECT_EQ(window->frameGeometry().size() -
                  child<deskcalc::DeskCalculatorWidget>("calculator")->size(),
              frame);
}

TEST_F(CalculatorPageTest, AWindowMadeTooSmallGrowsAtTheNextResize) {
    start();
    trigger("actionCalculatorOn");
    window->resize(window->width() - 200, window->height() - 250);
    EXPECT_EQ(storedSize(), QSize(240, 150));  // taken as it came
    window->resize(window->width() + 1, window->height());
    EXPECT_EQ(calculatorSize(), QSize(295, 220));
    EXPECT_EQ(storedSize(), QSize(295, 220));
}

// The window's first showing ends with the resize rules, so an unusable stored
// size is not shown even once.
TEST_F(CalculatorPageTest, StartingOnThePageGrowsATooSmallSizeAtOnce) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.shell.calculatorWidth = 100;
        t.shell.calculatorHeight = 100;
        t.shell.calculatorDefaultStartup = true;
    };
    start();
    EXPECT_EQ(child<QStackedWidget>("pages")->currentIndex(), shell::kCalculatorPage);
    EXPECT_TRUE(child<deskcalc::DeskCalculatorWidget>("calculator")->hasFocus());
    EXPECT_EQ(calculatorSize(), QSize(295, 220));
    EXPECT_EQ(storedSize(), QSize(295, 220));
}

struct CopyRow {
    const char* name;
    const char* keys;
    std::string copied;
};

TEST_F(CalculatorPageTest, CtrlCCopiesTheTrimmedEntry) {
    const CopyRow rows[] = {
        {"a result", "12+3=", "15"},
        {"a number being typed", "7.25", "7.25"},
        {"a fraction of a result", "1/8=", "0.125"},
        {"a negative result", "3-5=", "-2"},
        {"nothing typed yet", "", "0"},
    };
    start();
    trigger("actionCalculatorOn");
    for (const CopyRow& row : rows) {
        SCOPED_TRACE(row.name);
        QTest::keyClick(child<deskcalc::DeskCalculatorWidget>("calculator"),
                        Qt::Key_Escape);  // clear all
        clipboard.contents = "sentinel";
        type(row.keys);
        QTest::keyClick(child<deskcalc::DeskCalculatorWidget>("calculator"), Qt::Key_C,
                        Qt::ControlModifier);
        EXPECT_EQ(clipboard.contents, row.copied);
    }
    EXPECT_EQ(clipboard.writes, 5);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(CalculatorPageTest, CtrlVRunsCalculateClipboardNotTheCalculatorsPaste) {
    start();
    trigger("actionCalculatorOn");
    clipboard.contents = "12\t30\t8";
    QTest::keyClick(child<deskcalc::DeskCalculatorWidget>("calculator"), Qt::Key_V,
                    Qt::ControlModifier);
    EXPECT_EQ(window->displayCaption(), "50.00 ");
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->displayText(), "0 ");
}

struct FontRow {
    const char* name;
    platform::FontSpec stored;
    bool systemColour;
    QColor colour;
};

TEST_F(CalculatorPageTest, TheCalculatorDisplayFontFromTheSettingsIsTheTapeFont) {
    const FontRow rows[] = {
        {"red italic",
         {"DejaVu Sans Mono", 16, 0x000000FF, false, true},
         false,
         QColor(255, 0, 0)},
        {"blue bold", {"DejaVu Serif", 12, 0x00FF0000, true, false}, false, QColor(0, 0, 255)},
        {"a system colour", {"DejaVu Sans", 10, -2147483640, true, false}, true, {}},
    };
    for (const FontRow& row : rows) {
        SCOPED_TRACE(row.name);
        settings.onLoad = [&row](const shell::SettingsTargets& t) {
            t.calculatorFont = row.stored;
        };
        start();
        const QFont& tape = child<deskcalc::DeskCalculatorWidget>("calculator")->tapeFont();
        EXPECT_EQ(tape.family().toStdString(), row.stored.name);
        EXPECT_EQ(tape.pointSize(), row.stored.size);
        EXPECT_EQ(tape.bold(), row.stored.bold);
        EXPECT_EQ(tape.italic(), row.stored.italic);
        const QLabel* display =
            child<deskcalc::DeskCalculatorWidget>("calculator")->displayPanel();
        EXPECT_EQ(display->font(), tape);
        const QColor expected =
            row.systemColour ? window->palette().color(QPalette::WindowText) : row.colour;
        EXPECT_EQ(display->palette().color(QPalette::WindowText), expected);
        window.reset();
    }
}

}  // namespace
}  // namespace corvalo::testing
