// The main window's font commands, F1 and About, headless, with a scripted font
// dialog and a recording help engine: each command reaches its widgets once.
// The metrics' formulas are pinned in font_metrics_test, Help and About in theirs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "shell/about_box.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using platform::FontSpec;
using shell::FontTarget;

const FontSpec kLarge{"DejaVu Sans", 20, 0x0000FF, true, false, true, false};

class WindowFontsTest : public WindowFixture {
  public:  // for the table's lambdas
    using WindowFixture::calculator;
    using WindowFixture::grid;
    QLabel* display() const { return child<QLabel>("display"); }
    int outerHeight() const { return window->frameGeometry().height(); }
    int rowHeight() const { return grid()->gridGeometry().rowHeight(); }
};

TEST_F(WindowFontsTest, OkReachesTheTargetsControl) {
    const struct {
        const char* action;
        FontTarget target;
        const char* builtInFace;
        QFont (*shown)(const WindowFontsTest&);
    } rows[] = {
        {"actionMainDisplayFont", FontTarget::MainDisplay, "Courier New",
         [](const WindowFontsTest& t) { return t.display()->font(); }},
        {"actionGridFont", FontTarget::Grid, "Verdana",
         [](const WindowFontsTest& t) { return t.grid()->font(); }},
        {"actionCalculatorDisplayFont", FontTarget::CalculatorDisplay, "Courier New",
         [](const WindowFontsTest& t) { return t.calculator()->tapeFont(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.action);
        fonts.offered.clear();
        start();
        fonts.answer = kLarge;
        trigger(row.action);
        ASSERT_EQ(fonts.offered.size(), 1u);
        EXPECT_EQ(fonts.offered[0].name, row.builtInFace);
        EXPECT_EQ(window->targetFont(row.target), kLarge);
        EXPECT_EQ(row.shown(*this).pointSize(), 20);
    }
}

// A larger display font grows the panel and the collapsed window alike; a larger
// grid font the rows, and nothing else.
TEST_F(WindowFontsTest, OkGrowsWhatTheFontNeeds) {
    start();
    const int panel = display()->height();
    const int outer = outerHeight();
    const int row = rowHeight();
    fonts.answer = kLarge;
    trigger("actionGridFont");
    EXPECT_GT(rowHeight(), row);
    EXPECT_EQ(display()->height(), panel);
    trigger("actionMainDisplayFont");
    EXPECT_GT(display()->height(), panel);
    EXPECT_EQ(outerHeight() - outer, display()->height() - panel);
}

// Apply shows the font on its target; Cancel afterwards keeps it.
TEST_F(WindowFontsTest, ApplyThenCancelKeepsTheAppliedFont) {
    start();
    const int panel = display()->height();
    fonts.apply = {kLarge};
    trigger("actionMainDisplayFont");
    EXPECT_EQ(display()->font().pointSize(), 20);
    EXPECT_EQ(display()->height(), panel);
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
