// The main window's font commands, F1 and About, headless, with a scripted font
// dialog and a recording help engine: each command reaches its widgets once.
// The metrics' formulas are pinned in font_metrics_test, Help and About in theirs.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "shell/about_box.h"
#include "shell/grid_view.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using platform::FontSpec;
using shell::FontTarget;

class WindowFontsTest : public WindowFixture {
  public:  // the table's checks read the window through these
    using WindowFixture::child;
    int displayHeight() const { return child<QLabel>("display")->height(); }
    int outerHeight() const { return window->frameGeometry().height(); }
    int rowHeight() const { return child<shell::GridView>("grid")->gridGeometry().rowHeight(); }
    deskcalc::DeskCalculatorWidget* calculator() const {
        return child<deskcalc::DeskCalculatorWidget>("calculator");
    }
};

const FontSpec kLarge{"DejaVu Sans", 20, 0x0000FF, true, false, true, false};

// The sizes a font command may change, taken before it runs.
struct Sizes {
    int display;
    int outer;
    int row;
};

TEST_F(WindowFontsTest, OkReachesTheTargetAndItsFollowUp) {
    const struct {
        const char* name;
        const char* action;
        FontTarget target;
        const char* builtInFace;
        std::function<void(const WindowFontsTest&, const Sizes&)> check;
    } rows[] = {
        {"main display grows the panel and the collapsed window alike", "actionMainDisplayFont",
         FontTarget::MainDisplay, "Courier New",
         [](const WindowFontsTest& t, const Sizes& old) {
             EXPECT_TRUE(t.child<QLabel>("display")->font().underline());
             EXPECT_GT(t.displayHeight(), old.display);
             EXPECT_EQ(t.outerHeight() - old.outer, t.displayHeight() - old.display);
         }},
        {"grid takes taller rows and its probe the font", "actionGridFont", FontTarget::Grid,
         "Verdana",
         [](const WindowFontsTest& t, const Sizes& old) {
             EXPECT_EQ(t.child<shell::GridView>("grid")->font().pointSize(), 20);
             EXPECT_EQ(t.child<QLineEdit>("gridFontProbe")->font().pointSize(), 20);
             EXPECT_GT(t.rowHeight(), old.row);
             EXPECT_EQ(t.displayHeight(), old.display);
         }},
        {"calculator display in the font's colour", "actionCalculatorDisplayFont",
         FontTarget::CalculatorDisplay, "Courier New",
         [](const WindowFontsTest& t, const Sizes& old) {
             EXPECT_EQ(t.calculator()->tapeFont().pointSize(), 20);
             EXPECT_EQ(t.calculator()->displayPanel()->palette().color(QPalette::WindowText),
                       QColor(255, 0, 0));
             EXPECT_EQ(t.rowHeight(), old.row);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fonts.offered.clear();
        start();
        const Sizes old{displayHeight(), outerHeight(), rowHeight()};
        fonts.answer = kLarge;
        trigger(row.action);
        ASSERT_EQ(fonts.offered.size(), 1u);
        EXPECT_EQ(fonts.offered[0].name, row.builtInFace);
        EXPECT_EQ(window->targetFont(row.target), kLarge);
        row.check(*this, old);
    }
}

// Apply shows the font on its target; Cancel afterwards keeps it.
TEST_F(WindowFontsTest, ApplyThenCancelKeepsTheAppliedFont) {
    start();
    const int panel = displayHeight();
    fonts.apply = {kLarge};
    trigger("actionMainDisplayFont");
    EXPECT_EQ(child<QLabel>("display")->font().pointSize(), 20);
    EXPECT_EQ(displayHeight(), panel);
}

TEST_F(WindowFontsTest, HelpKeyOpensTheFileBesideTheProgram) {
    TempDir folder;
    writeFile(folder / "CORVALO.HLP", "<h1 id=\"Contents\">Contents</h1>");
    programFolder = folder.path().string();
    start();
    QTest::keyClick(window.get(), Qt::Key_F1);
    const std::string path = (folder / "CORVALO.HLP").string();
    EXPECT_EQ(help.calls,
              (std::vector<std::string>{"contents " + path, "topic Contents " + path}));
    EXPECT_EQ(window->helpFile(), path);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowFontsTest, AboutOpensModallyOverTheWindow) {
    start();
    QWidget* parent = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<shell::AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        box->btnOK->click();
    });
    trigger("actionAbout");
    EXPECT_EQ(parent, window.get());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace corvalo::testing
