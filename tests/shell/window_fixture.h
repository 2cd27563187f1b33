#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QStackedWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "fakes.h"
#include "net/test_pump.h"
#include "shell/grid_view.h"
#include "shell/main_window.h"

namespace corvalo::testing {

// The main window, shown headless, with every outside facility faked: the
// clipboard, the message boxes, the settings file, the event pump and the clock.
class WindowFixture : public ::testing::Test {
  protected:
    void start(platform::LocaleSeparators separators = {'.', ','}) {
        window.reset();  // one tray icon per program: the old window goes first
        shell::TrayPartsFactory tray = [this](QWidget& w, const shell::TrayErrorReport&) {
            shell::TrayParts parts;
            auto area = std::make_unique<FakeNotificationArea>();
            area->refuseAdd = trayRefusesIcon;
            trayArea = area.get();
            parts.area = std::move(area);
            parts.timer = std::make_unique<FakeTrayTimer>();
            parts.owner = std::make_unique<FakeTrayOwner>(w, loopEnds);
            return parts;
        };
        window = std::make_unique<shell::MainWindow>(
            shell::WindowServices{.clipboard = clipboard,
                                  .dialogs = dialogs,
                                  .settings = settings,
                                  .separators = separators,
                                  .pump = pump,
                                  .clock = clock,
                                  .fonts = fonts,
                                  .help = help,
                                  .programFolder = programFolder,
                                  .trayParts = tray,
                                  .clipboardWatch = clipboardWatch,
                                  .versionCheck = versionCheck,
                                  .resolver = hostsFileOnly(),
                                  .nativeWayland = nativeWayland});
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
    void paste(const std::string& utf8) {
        clipboard.contents = utf8;
        trigger("actionPaste");
    }
    shell::GridView* grid() const { return child<shell::GridView>("grid"); }
    void click(int col, int row) const {
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->cellRect(col, row).center());
    }
    deskcalc::DeskCalculatorWidget* calculator() const {
        return child<deskcalc::DeskCalculatorWidget>("calculator");
    }
    shell::Page page() const {
        return shell::pageAt(child<QStackedWidget>("pages")->currentIndex());
    }

    FakeClipboard clipboard;
    RecordingDialogs dialogs;
    FakeSettingsStore settings;
    TestPump pump;
    FakeClock clock;
    net::VersionCheckConfig versionCheck{.updateHost = "updates.example",
                                         .downloadHost = "dl.example"};
    FakeFontChooser fonts;
    FakeHelpEngine help;
    std::string programFolder = "/nonexistent/corvalo";
    std::function<std::unique_ptr<platform::ClipboardWatch>()> clipboardWatch;
    bool nativeWayland = false;
    bool trayRefusesIcon = false;
    FakeNotificationArea* trayArea = nullptr;  // the window's, once started
    int loopEnds = 0;                          // the tray's Close ending the message loop
    std::unique_ptr<shell::MainWindow> window;
};

}  // namespace corvalo::testing
