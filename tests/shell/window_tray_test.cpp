// The main window with its tray icon, headless, through a fake notification area:
// Shrink to tray, the icon's Restore and Close, and a close while the version check
// waits. The icon's and the check's own cases are pinned in their tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/loopback_server.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using WindowTrayTest = WindowFixture;

// The close cancels the check and happens once the check has unwound, not inside it
// and not at a time-out: the window's close saves, the tray's Close ends the program.
TEST_F(WindowTrayTest, ACloseDuringTheVersionCheckWaitsUntilItHasUnwound) {
    const struct {
        const char* name;
        bool fromTray;
        int saves;
        int loopEnds;
    } rows[] = {{"the window's close", false, 1, 0}, {"the tray's Close", true, 0, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackServer silent([](ServerConnection& c, int) { c.waitForClose(); });
        settings.onLoad = [port = std::to_string(silent.port())](const shell::SettingsTargets& t) {
            t.shell.proxy = "127.0.0.1";
            t.shell.proxyPort = port;
        };
        settings.saves = loopEnds = pump.passes = 0;
        start();
        bool closedInside = false;
        int endsInside = -1;
        pump.onPass = [&] {
            if (pump.passes != 3) return;
            if (row.fromTray) trayArea->choose("&Close");
            if (!row.fromTray) closedInside = window->close();
            endsInside = loopEnds;
        };
        const std::int64_t before = clock.now;
        trigger("actionCheckVersion");
        pump.onPass = nullptr;
        EXPECT_FALSE(closedInside);
        EXPECT_EQ(endsInside, 0);
        EXPECT_EQ(loopEnds, row.loopEnds);
        EXPECT_EQ(settings.saves, row.saves);
        EXPECT_FALSE(window->versionChecker().running());
        EXPECT_EQ(clock.now, before);
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

// The program starts all the same.
TEST_F(WindowTrayTest, AnAreaRefusingTheIconIsReportedAndTheWindowStays) {
    trayRefusesIcon = true;
    start();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Error adding tray icon"}));
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace corvalo::testing
