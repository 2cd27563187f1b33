// The window's Show Tape, Copy Tape, Save Tape and the clipboard watches, headless:
// each item reaches its part, and the settings' [Show] keys reach the items.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTest>
#include <memory>
#include <string>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "fake_clipboard_watch.h"
#include "platform/ansi_text.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using platform::WatchedText;

class ShowOptionsTest : public WindowFixture {
  protected:
    // The window goes before the watch it forwards to.
    ~ShowOptionsTest() override { window.reset(); }

    // The fixture's window, with the watch the test plays.
    void startWatched() {
        start({'.', ','},
              {.clipboardWatch = [this] { return std::make_unique<ForwardingWatch>(watch); }});
    }
    deskcalc::DeskCalculatorWidget* calculator() const {
        return child<deskcalc::DeskCalculatorWidget>("calculator");
    }
    void onLoad(void (*set)(shell::ShellSettings&)) {
        settings.onLoad = [set](const shell::SettingsTargets& t) { set(t.shell); };
    }

    FakeClipboardWatch watch;

  private:
    // The window owns its watch; the test keeps playing this one.
    class ForwardingWatch final : public platform::ClipboardWatch {
      public:
        explicit ForwardingWatch(FakeClipboardWatch& to) : to_(to) {}
        bool canWatch(WatchedText w) const override { return to_.canWatch(w); }
        void setWatching(WatchedText w, bool on) override { to_.setWatching(w, on); }
        void setChangeHandler(ChangeHandler h) override { to_.setChangeHandler(std::move(h)); }

      private:
        FakeClipboardWatch& to_;
    };
};

TEST_F(ShowOptionsTest, EveryNewOptionStartsOffAndChangesNothing) {
    startWatched();
    EXPECT_FALSE(calculator()->tapeVisible());
    EXPECT_FALSE(child("actionShowTape")->isChecked());
    EXPECT_FALSE(child("actionWatchClipboard")->isChecked());
    EXPECT_FALSE(child("actionWatchSelection")->isChecked());
    EXPECT_FALSE(watch.clipboardOn);
    EXPECT_FALSE(watch.selectionOn);
}

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
    const std::string tape = calculator()->tapeText();
    ASSERT_NE(tape.find("15"), std::string::npos);

    trigger("actionCopyTape");
    EXPECT_EQ(clipboard.contents, platform::ansiToUtf8(tape));

    TempDir dir;
    dialogs.saveAnswer = (dir / "tape.txt").string();
    trigger("actionSaveTape");
    EXPECT_EQ(readFile(dir / "tape.txt"), platform::ansiToUtf8(tape) + "\n");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ShowOptionsTest, AWatchTheDesktopCannotDoIsGreyedAndItsSettingKept) {
    onLoad([](shell::ShellSettings& s) { s.watchSelection = true; });
    watch.selectionPossible = false;
    startWatched();
    EXPECT_FALSE(child("actionWatchSelection")->isEnabled());
    EXPECT_TRUE(child("actionWatchClipboard")->isEnabled());
    EXPECT_FALSE(watch.selectionOn);
    window->close();
    EXPECT_TRUE(settings.saved.watchSelection);
}

TEST_F(ShowOptionsTest, AWatchedCopyShowsItsTotalAndASentenceKeepsIt) {
    onLoad([](shell::ShellSettings& s) { s.watchClipboard = true; });
    startWatched();
    ASSERT_TRUE(child("actionWatchClipboard")->isChecked());
    trigger("actionUsingColumns");
    watch.offer(WatchedText::Clipboard, "1,200.50\n2,037\n");
    EXPECT_EQ(window->displayCaption(), "3,237.50 ");
    EXPECT_EQ(window->trayIcon().hint(), "Corvalo: 3,237.50");
    EXPECT_EQ(window->cells().cell(1, 2), "2037");

    watch.offer(WatchedText::Clipboard, "Please send the invoice to Anna");
    EXPECT_EQ(window->displayCaption(), "3,237.50 ");
    EXPECT_EQ(window->cells().cell(1, 2), "2037");
    EXPECT_EQ(child<QLabel>("display")->toolTip().toStdString(),
              "The Windows Clipboard currently does not contain two or more numbers to "
              "calculate.\nPlease recopy the desired range of numbers from the other "
              "application and try again.");
    EXPECT_TRUE(dialogs.messages.empty());

    trigger("actionWatchClipboard");  // off
    EXPECT_FALSE(watch.clipboardOn);
    watch.offer(WatchedText::Clipboard, "1\n2\n");
    EXPECT_EQ(window->displayCaption(), "3,237.50 ");
}

}  // namespace
}  // namespace corvalo::testing
