#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "fakes.h"
#include "net/test_pump.h"
#include "shell/main_window.h"

namespace corvalo::testing {

// The main window, shown headless, with every outside facility faked: the
// clipboard, the message boxes, the settings file, the event pump and the clock.
class WindowFixture : public ::testing::Test {
  protected:
    WindowFixture() {
        versionCheck.DownloadHost = "dl.example";
        versionCheck.ExeName = "corvalo";
    }
    void start(platform::LocaleSeparators separators = {'.', ','}) {
        window = std::make_unique<shell::TformMain>(shell::WindowServices{
            clipboard, dialogs, settings, separators, pump, clock, versionCheck, HostsFileOnly()});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    FakeClipboard clipboard;
    RecordingDialogs dialogs;
    FakeSettingsStore settings;
    TestPump pump;
    FakeClock clock;
    net::VersionCheckConfig versionCheck;
    std::unique_ptr<shell::TformMain> window;
};

}  // namespace corvalo::testing
