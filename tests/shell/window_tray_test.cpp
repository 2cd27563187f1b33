// The main window with its tray icon, headless, through a fake notification area:
// Shrink to tray, the icon's Restore and Close. The icon's own cases (mouse
// actions, a desktop without a tray, the icon's errors) are pinned in the tray's tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/loopback_server.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

using WindowTrayTest = WindowFixture;

// The page of the first showing is the grid page; a Restore of a shown window keeps
// the page it shows, a Restore from the tray the page it was shrunk from.
TEST_F(WindowTrayTest, ShrinkHidesAndRestoreBringsTheSamePageBackUntouched) {
    start();
    EXPECT_TRUE(window->trayIcon().animate());
    EXPECT_FALSE(window->trayIcon().closeToTray());
    trigger("actionCalculatorOn");
    QTest::keyClicks(calculator(), QStringLiteral("12+3"));
    trayArea->choose("&Restore");
    EXPECT_EQ(page(), shell::Page::Calculator);

    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->trayIcon().hiddenInTray());
    trayArea->choose("&Restore");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), shell::Page::Calculator);
    EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
    EXPECT_EQ(calculator()->displayText(), "3 ");
    EXPECT_EQ(settings.loads, 1);  // no second first showing
    EXPECT_EQ(settings.saves, 0);
}

TEST_F(WindowTrayTest, TrayCloseDuringAVersionCheckCancelsItFirst) {
    LoopbackServer silent([](ServerConnection& c, int) { c.waitForClose(); });
    settings.onLoad = [&silent](const shell::SettingsTargets& t) {
        t.shell.proxy = "127.0.0.1";
        t.shell.proxyPort = std::to_string(silent.port());
    };
    start();
    int endsInside = -1;
    pump.onPass = [&] {
        if (pump.passes != 3) return;
        trayArea->choose("&Close");
        endsInside = loopEnds;
    };
    const std::int64_t before = clock.now;
    trigger("actionCheckVersion");
    EXPECT_EQ(endsInside, 0);  // not while the check still waits
    EXPECT_EQ(loopEnds, 1);
    EXPECT_EQ(clock.now, before);  // ended at once, not at a time-out
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(settings.saves, 0);
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
