// The window's Show Tape, Copy Tape, Save Tape and the clipboard watches, headless:
// each item reaches its part, and the settings' [Show] keys reach the items.
#include <gtest/gtest.h>

#include <QLabel>
#include <memory>
#include <string>

#include "fake_clipboard_watch.h"
#include "platform/ansi_text.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using platform::WatchedText;

class ShowOptionsTest : public WindowFixture {
  protected:
    // The fixture's window, with a watch the test plays; the window owns it.
    void startWatched(bool selectionPossible = true) {
        start({'.', ','}, {.clipboardWatch = [this, selectionPossible] {
                  auto owned = std::make_unique<FakeClipboardWatch>();
                  owned->selectionPossible = selectionPossible;
                  watch = owned.get();
                  return owned;
              }});
    }
    void onLoad(void (*set)(shell::ShellSettings&)) {
        settings.onLoad = [set](const shell::SettingsTargets& t) { set(t.shell); };
    }

    FakeClipboardWatch* watch = nullptr;
};

TEST_F(ShowOptionsTest, ShowTapeFollowsTheSettingAndTheMenu) {
    onLoad([](shell::ShellSettings& s) { s.showTape = true; });
    startWatched();
    EXPECT_TRUE(calculator()->tapeVisible());
    EXPECT_TRUE(child("actionShowTape")->isChecked());
    trigger("actionShowTape");
    EXPECT_FALSE(calculator()->tapeVisible());
    window->close();
    EXPECT_FALSE(settings.saved.showTape);
}

TEST_F(ShowOptionsTest, CopyTapeAndSaveTapeTakeTheCalculatorsTape) {
    startWatched();
    QTest::keyClick(window.get(), Qt::Key_F9);
    QTest::keyClicks(calculator(), QStringLiteral("12+3="));
    const std::string tape = platform::ansiToUtf8(calculator()->tapeText());
    ASSERT_NE(tape.find("15"), std::string::npos);

    trigger("actionCopyTape");
    EXPECT_EQ(clipboard.contents, tape);
    TempDir dir;
    dialogs.saveAnswer = (dir / "tape.txt").string();
    trigger("actionSaveTape");
    EXPECT_EQ(readFile(dir / "tape.txt"), tape + "\n");
}

TEST_F(ShowOptionsTest, AWatchTheDesktopCannotDoIsGreyedAndItsSettingKept) {
    onLoad([](shell::ShellSettings& s) { s.watchSelection = true; });
    startWatched(false);
    EXPECT_FALSE(child("actionWatchSelection")->isEnabled());
    EXPECT_TRUE(child("actionWatchClipboard")->isEnabled());
    EXPECT_FALSE(watch->selectionOn);
    window->close();
    EXPECT_TRUE(settings.saved.watchSelection);
}

// What the watcher shows for each text is pinned in its own tests.
TEST_F(ShowOptionsTest, AWatchedCopyReachesTheDisplayTheGridAndTheTrayHint) {
    onLoad([](shell::ShellSettings& s) { s.watchClipboard = true; });
    startWatched();
    ASSERT_TRUE(child("actionWatchClipboard")->isChecked());
    trigger("actionUsingColumns");
    watch->offer(WatchedText::Clipboard, "1,200.50\n2,037\n");
    EXPECT_EQ(window->displayCaption(), "3,237.50 ");
    EXPECT_EQ(window->trayIcon().hint(), "Corvalo: 3,237.50");
    EXPECT_EQ(window->cells().cell(1, 2), "2037");

    watch->offer(WatchedText::Clipboard, "Please send the invoice to Anna");
    EXPECT_EQ(window->displayCaption(), "3,237.50 ");
    EXPECT_EQ(child<QLabel>("display")->toolTip().toStdString(),
              "The Windows Clipboard currently does not contain two or more numbers to "
              "calculate.\nPlease recopy the desired range of numbers from the other "
              "application and try again.");
    EXPECT_TRUE(dialogs.messages.empty());

    trigger("actionWatchClipboard");  // off
    EXPECT_FALSE(watch->clipboardOn);
}

}  // namespace
}  // namespace corvalo::testing
