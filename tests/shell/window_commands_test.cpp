// The main window's calculator page, its Show options, the font commands and F1,
// headless: each command reaches its part, and the stored settings reach the
// controls. The parts' own cases are pinned in their tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>
#include <string>
#include <vector>

#include "fake_clipboard_watch.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using ::testing::HasSubstr;
const platform::FontSpec kLarge{"DejaVu Sans", 20, 0x0000FF, true, false, true, false};

class WindowCommandsTest : public WindowFixture {
  protected:
    void type(const char* keys) { QTest::keyClicks(calculator(), QString::fromLatin1(keys)); }
};

// Ctrl+V runs Calculate Clipboard, not the calculator's paste; Copy Plain takes the
// entry, never grouped, as Copy does; while the entry shows its error Copy only beeps.
TEST_F(WindowCommandsTest, OnTheCalculatorPageCtrlVAndCtrlCRunTheWindowsCommands) {
    start();
    trigger("actionCalculatorOn");
    clipboard.contents = "12\t30\t8";
    QTest::keyClick(calculator(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(window->displayCaption(), "50.00 ");
    EXPECT_EQ(calculator()->displayText(), "0 ");
    type("1234+1000=");
    QTest::keyClick(calculator(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard.contents, "2234");
    TempDir dir;
    dialogs.saveAnswer = (dir / "tape.txt").string();
    trigger("actionSaveTape");
    EXPECT_THAT(readFile(dir / "tape.txt"), HasSubstr("234 *"));

    type("1/0=");
    ASSERT_EQ(calculator()->displayText(), "******  ");
    const int beeps = dialogs.beeps;
    QTest::keyClick(calculator(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.writes, 1);
    EXPECT_EQ(dialogs.beeps, beeps + 1);
    EXPECT_TRUE(dialogs.errors.empty());
}

// A watch the desktop cannot do is greyed and its setting kept; the other's copies reach
// the display and the tray hint.
TEST_F(WindowCommandsTest, TheWatchesFollowTheDesktopTheSettingsAndTheMenu) {
    settings.onLoad = [](const shell::SettingsTargets& t) {
        t.shell.watchClipboard = t.shell.watchSelection = true;
    };
    FakeClipboardWatch* watch = nullptr;
    clipboardWatch = [&watch] {
        auto owned = std::make_unique<FakeClipboardWatch>();
        owned->selectionPossible = false;
        watch = owned.get();
        return owned;
    };
    start();
    EXPECT_FALSE(child("actionWatchSelection")->isEnabled());
    EXPECT_FALSE(watch->selectionOn);
    trigger("actionUsingColumns");
    watch->offer(platform::WatchedText::Clipboard, "1,200.50\n2,037\n");
    EXPECT_EQ(window->displayCaption(), "3,237.50 ");
    EXPECT_EQ(window->trayIcon().hint(), "Corvalo: 3,237.50");
    trigger("actionWatchClipboard");  // off
    EXPECT_FALSE(watch->clipboardOn);
    window->close();
    EXPECT_TRUE(settings.saved.watchSelection);
}

// OK gives each target its font; Apply shows it before, and a larger display font
// grows the panel and the collapsed window alike.
TEST_F(WindowCommandsTest, EachFontCommandReachesItsControl) {
    const struct {
        const char* action;
        const char* control;
    } rows[] = {{"actionMainDisplayFont", "display"},
                {"actionGridFont", "grid"},
                {"actionCalculatorDisplayFont", "tapeView"}};
    fonts.answer = kLarge;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.action);
        start();
        trigger(row.action);
        EXPECT_EQ(child<QWidget>(row.control)->font().pointSize(), 20);
    }
    start();
    auto* display = child<QLabel>("display");
    const int panel = display->height();
    const int outer = window->frameGeometry().height();
    fonts.answer.reset();
    fonts.apply = {kLarge};  // then Cancel
    trigger("actionMainDisplayFont");
    EXPECT_EQ(display->font().pointSize(), 20);
    EXPECT_EQ(display->height(), panel);
    fonts.answer = kLarge;
    trigger("actionMainDisplayFont");
    EXPECT_GT(display->height(), panel);
    EXPECT_EQ(window->frameGeometry().height() - outer, display->height() - panel);
}

TEST_F(WindowCommandsTest, HelpKeyOpensTheFileBesideTheProgram) {
    TempDir folder;
    writeFile(folder / "CORVALO.HLP", "<h1 id=\"Contents\">Contents</h1>");
    programFolder = folder.path().string();
    start();
    QTest::keyClick(window.get(), Qt::Key_F1);
    const std::string path = (folder / "CORVALO.HLP").string();
    EXPECT_EQ(help.calls,
              (std::vector<std::string>{"contents " + path, "topic Contents " + path}));
}

}  // namespace
}  // namespace corvalo::testing
