#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "fakes.h"
#include "net/test_pump.h"
#include "shell/main_window.h"

namespace corvalo::testing {

// What a test may set of the window's outside before it is made.
struct StartWith {
    shell::SettingsStore* settings = nullptr;  // the fixture's fake unless given
    std::function<std::unique_ptr<platform::ClipboardWatch>()> clipboardWatch{};
    bool nativeWayland = false;
};

// The main window, shown headless, with every outside facility faked: the
// clipboard, the message boxes, the settings file, the event pump and the clock.
class WindowFixture : public ::testing::Test {
  protected:
    WindowFixture() {
        versionCheck.downloadHost = "dl.example";
        versionCheck.exeName = "corvalo";
    }
    void start(platform::LocaleSeparators separators = {'.', ','},
               const StartWith& with = StartWith{}) {
        window.reset();  // one tray icon per program: the old window goes first
        shell::TrayPartsFactory tray = [this](QWidget& w, const shell::TrayErrorReport&) {
            shell::TrayParts parts;
            parts.area = std::make_unique<ForwardingArea>(trayArea);
            parts.timer = std::make_unique<FakeTrayTimer>();
            parts.owner = std::make_unique<FakeTrayOwner>(w, loopEnds);
            return parts;
        };
        window = std::make_unique<shell::MainWindow>(
            shell::WindowServices{.clipboard = clipboard,
                                  .dialogs = dialogs,
                                  .settings = with.settings != nullptr ? *with.settings : settings,
                                  .separators = separators,
                                  .pump = pump,
                                  .clock = clock,
                                  .fonts = fonts,
                                  .help = help,
                                  .programFolder = programFolder,
                                  .trayParts = tray,
                                  .clipboardWatch = with.clipboardWatch,
                                  .versionCheck = versionCheck,
                                  .resolver = hostsFileOnly(),
                                  .nativeWayland = with.nativeWayland});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A control or action of the window by its object name; a missing one fails the test.
    template <class T = QAction>
    T* child(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) throw std::logic_error(std::string("no child named ") + name);
        return found;
    }
    void trigger(const char* action) const { child<QAction>(action)->trigger(); }

    FakeClipboard clipboard;
    RecordingDialogs dialogs;
    FakeSettingsStore settings;
    TestPump pump;
    FakeClock clock;
    net::VersionCheckConfig versionCheck;
    FakeFontChooser fonts;
    FakeHelpEngine help;
    std::string programFolder = "/nonexistent/corvalo";
    FakeNotificationArea trayArea;  // present unless a test says otherwise
    int loopEnds = 0;               // the tray's Close ending the message loop
    std::unique_ptr<shell::MainWindow> window;

  private:
    // The window owns its area; the test keeps looking at this one.
    class ForwardingArea final : public tray::NotificationArea {
      public:
        explicit ForwardingArea(tray::NotificationArea& to) : to_(to) {}
        bool available() const override { return to_.available(); }
        bool add(const tray::NotifyIconData& d) override { return to_.add(d); }
        bool modify(const tray::NotifyIconData& d) override { return to_.modify(d); }
        bool remove(const tray::NotifyIconData& d) override { return to_.remove(d); }
        void setMenu(const tray::TrayMenu* m) override { to_.setMenu(m); }
        tray::IconHandle applicationIcon() const override { return to_.applicationIcon(); }
        tray::IconHandle standardIcon() const override { return to_.standardIcon(); }
        void setListener(tray::NotificationListener* l) override { to_.setListener(l); }

      private:
        tray::NotificationArea& to_;
    };
};

}  // namespace corvalo::testing
