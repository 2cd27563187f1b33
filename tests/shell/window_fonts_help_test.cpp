// The main window's font commands, its grid metrics at the first showing, F1 and
// the About box, headless, with a scripted font dialog and a recording help engine.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "platform/qt/font_dialog.h"
#include "shell/about_box.h"
#include "shell/grid_view.h"
#include "shell/help.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using platform::FontSpec;
using shell::FontTarget;

int textHeight(const FontSpec& f) {
    return QFontMetrics(platform::toQFont(f)).height();
}

class WindowFontsTest : public WindowFixture {
  protected:
    int outerHeight() const { return window->frameGeometry().height(); }
    const shell::GridGeometry& grid() const {
        return child<shell::GridView>("grid")->gridGeometry();
    }
    std::vector<int> widths() const {
        std::vector<int> w;
        for (int c = 0; c < grid().colCount(); ++c) w.push_back(grid().colWidth(c));
        return w;
    }
};

const FontSpec kSmall{"DejaVu Sans", 8, 0, false, false, false, false};
const FontSpec kLarge{"DejaVu Sans", 20, 0x0000FF, true, false, true, false};

TEST_F(WindowFontsTest, FirstShowingTakesGridMetricsFromTheGridFont) {
    start();
    const int row = textHeight(window->targetFont(FontTarget::Grid)) + 8 - 4;
    EXPECT_EQ(grid().rowHeight(), row);
    EXPECT_EQ(grid().defaultColWidth(), row * 64 / 18);
    EXPECT_EQ(grid().colWidth(0), row);
    for (int c = 1; c < grid().colCount(); ++c) EXPECT_EQ(grid().colWidth(c), row * 64 / 18);
    EXPECT_EQ(child<QLineEdit>("gridFontProbe")->font(),
              platform::toQFont(window->targetFont(FontTarget::Grid)));
}

TEST_F(WindowFontsTest, EachDialogStartsFromItsTargetsFont) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.mainFont = {"Courier New", 12, 0x00FF00, false, true};
    };
    start();
    trigger("actionMainDisplayFont");
    trigger("actionGridFont");
    trigger("actionCalculatorDisplayFont");
    ASSERT_EQ(fonts.offered.size(), 3u);
    EXPECT_EQ(fonts.offered[0], (FontSpec{"Courier New", 12, 0x00FF00, false, true}));
    EXPECT_EQ(fonts.offered[1].name, "Verdana");
    EXPECT_EQ(fonts.offered[2].name, "Courier New");
    EXPECT_TRUE(fonts.offered[2].bold);
}

TEST_F(WindowFontsTest, LargerDisplayFontGrowsThePanelAndTheCollapsedWindowAlike) {
    settings.onLoad = [](const shell::SettingsTargets& t) { t.mainFont = {"DejaVu Sans", 8}; };
    start();
    const int panel = child<QLabel>("display")->height();
    const int outer = outerHeight();
    ASSERT_EQ(panel, textHeight(kSmall) + 8);

    fonts.answer = kLarge;
    trigger("actionMainDisplayFont");
    EXPECT_EQ(child<QLabel>("display")->height(), textHeight(kLarge) + 8);
    EXPECT_GT(child<QLabel>("display")->height(), panel);
    EXPECT_EQ(outerHeight() - outer, child<QLabel>("display")->height() - panel);
    EXPECT_EQ(window->targetFont(FontTarget::MainDisplay), kLarge);
    EXPECT_TRUE(child<QLabel>("display")->font().underline());
    EXPECT_EQ(child<QLabel>("display")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

TEST_F(WindowFontsTest, ApplyThenCancelKeepsTheAppliedFontWithTheOldSizes) {
    const struct {
        const char* name;
        FontTarget target;
    } rows[] = {{"main display", FontTarget::MainDisplay},
                {"grid", FontTarget::Grid},
                {"calculator display", FontTarget::CalculatorDisplay}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        start();
        const int panel = child<QLabel>("display")->height();
        const int outer = outerHeight();
        const int rowHeight = grid().rowHeight();
        const std::vector<int> oldWidths = widths();
        fonts.apply = {kSmall, kLarge};
        fonts.answer.reset();
        QAction* item = row.target == FontTarget::MainDisplay ? child("actionMainDisplayFont")
                        : row.target == FontTarget::Grid      ? child("actionGridFont")
                                                         : child("actionCalculatorDisplayFont");
        item->trigger();
        EXPECT_EQ(window->targetFont(row.target), kLarge);
        EXPECT_EQ(child<QLabel>("display")->height(), panel);
        EXPECT_EQ(outerHeight(), outer);
        EXPECT_EQ(grid().rowHeight(), rowHeight);
        EXPECT_EQ(widths(), oldWidths);
        const QFont shown = row.target == FontTarget::MainDisplay
                                ? child<QLabel>("display")->font()
                            : row.target == FontTarget::Grid
                                ? child<shell::GridView>("grid")->font()
                                : child<deskcalc::DeskCalculatorWidget>("calculator")->tapeFont();
        EXPECT_EQ(shown.pointSize(), 20);
        window.reset();
    }
}

TEST_F(WindowFontsTest, GridFontOkScalesRowsAndEveryColumn) {
    start();
    clipboard.contents = "1\t2\t3\t4\t5\t6\n7\t8\t9\t10\t11\t12\n";
    trigger("actionPaste");
    ASSERT_EQ(grid().colCount(), 7);
    const int oldRow = grid().rowHeight();
    const std::vector<int> oldWidths = widths();

    fonts.answer = kLarge;
    trigger("actionGridFont");
    const int newRow = textHeight(kLarge) + 8 - 4;
    ASSERT_GT(newRow, oldRow);
    EXPECT_EQ(grid().rowHeight(), newRow);
    for (int c = 0; c < grid().colCount(); ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(grid().colWidth(c), oldWidths[static_cast<std::size_t>(c)] * newRow / oldRow);
    }
    EXPECT_EQ(child<QLineEdit>("gridFontProbe")->font().pointSize(), 20);
    EXPECT_EQ(child<shell::GridView>("grid")->font().pointSize(), 20);
    EXPECT_EQ(child<QLabel>("display")->height(),
              textHeight(window->targetFont(FontTarget::MainDisplay)) + 8);
}

TEST_F(WindowFontsTest, CalculatorDisplayTakesFontAndColour) {
    start();
    fonts.answer = FontSpec{"DejaVu Sans Mono", 16, 0x008000, false, true, false, false};
    trigger("actionCalculatorDisplayFont");
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->tapeFont().pointSize(), 16);
    EXPECT_TRUE(child<deskcalc::DeskCalculatorWidget>("calculator")->tapeFont().italic());
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->tapeFontColor(),
              QColor(0, 0x80, 0));
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")
                  ->displayPanel()
                  ->palette()
                  .color(QPalette::WindowText),
              QColor(0, 0x80, 0));
}

TEST_F(WindowFontsTest, MissingFaceFallsBackButKeepsItsNameForTheSettings) {
    start();
    fonts.answer = FontSpec{"No Such Face Anywhere", 14};
    trigger("actionMainDisplayFont");
    EXPECT_EQ(window->targetFont(FontTarget::MainDisplay).name, "No Such Face Anywhere");
    const QFontInfo drawn(child<QLabel>("display")->font());
    EXPECT_NE(drawn.family(), QStringLiteral("No Such Face Anywhere"));
    EXPECT_FALSE(drawn.family().isEmpty());
}

TEST_F(WindowFontsTest, HelpKeyOpensContentsOrSaysTheFileIsMissing) {
    TempDir folder;
    const struct {
        const char* name;
        bool present;
    } rows[] = {{"missing", false}, {"beside the program", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        help.calls.clear();
        if (row.present) writeFile(folder / "CORVALO.HLP", "<h1>Contents</h1>");
        programFolder = folder.path().string();
        start();
        QTest::keyClick(window.get(), Qt::Key_F1);
        const std::string path = (folder / "CORVALO.HLP").string();
        if (row.present) {
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(help.calls,
                      (std::vector<std::string>{"contents " + path, "topic Contents " + path}));
            EXPECT_EQ(window->helpFile(), path);
        } else {
            EXPECT_EQ(dialogs.messages,
                      (std::vector<std::string>{"  Unable to locate file:   \r\n   CORVALO.HLP"}));
            EXPECT_TRUE(help.calls.empty());
            EXPECT_EQ(window->helpFile(), "");
        }
    }
}

TEST_F(WindowFontsTest, AboutOpensModallyOverTheWindowAndOkClosesIt) {
    start();
    QSize client;
    QRect ok;
    bool pictured = false;
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<shell::AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        client = box->size();
        ok = box->btnOK->geometry();
        pictured = box->hasPicture();
        parent = box->parentWidget();
        QTest::mouseClick(box->btnOK, Qt::LeftButton);
    });
    trigger("actionAbout");
    EXPECT_EQ(client, QSize(438, 343));
    EXPECT_EQ(ok.top(), 277);
    EXPECT_TRUE(pictured);
    EXPECT_EQ(parent, window.get());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(dialogs.errors.empty());
}

}  // namespace
}  // namespace corvalo::testing
