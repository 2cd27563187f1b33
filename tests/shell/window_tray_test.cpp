// The main window with its tray icon, headless, through a fake notification area:
// Shrink to tray, the icon's Restore and Close. The icon's own cases (mouse
// actions, a desktop without a tray) are pinned in the tray's tests.
#include <gtest/gtest.h>

#include <QAction>
#include <QStackedWidget>
#include <QTest>
#include <string>
#include <vector>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "net/loopback_server.h"
#include "window_fixture.h"

namespace corvalo::testing {
namespace {

class WindowTrayTest : public WindowFixture {
  protected:
    shell::Page page() const {
        return shell::pageAt(child<QStackedWidget>("pages")->currentIndex());
    }
};

TEST_F(WindowTrayTest, AnimatedIconIsInTheAreaFromTheStart) {
    start();
    EXPECT_EQ(trayArea.calls, (std::vector<std::string>{"add"}));
    EXPECT_TRUE(window->trayIcon().animate());
    EXPECT_FALSE(window->trayIcon().closeToTray());
}

TEST_F(WindowTrayTest, ShrinkHidesAndRestoreBringsTheSamePageBackUntouched) {
    start();
    trigger("actionCalculatorOn");
    QTest::keyClicks(child<deskcalc::DeskCalculatorWidget>("calculator"), QStringLiteral("12+3"));
    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->trayIcon().hiddenInTray());

    trayArea.choose("&Restore");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), shell::Page::Calculator);
    EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
    EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->displayText(), "3 ");
    EXPECT_EQ(settings.loads, 1);  // no second first showing
    EXPECT_EQ(settings.saves, 0);
}

TEST_F(WindowTrayTest, RestoreOfAShownWindowKeepsItsPage) {
    start();  // the page of the first showing is the grid page
    trigger("actionCalculatorOn");
    trayArea.choose("&Restore");
    EXPECT_EQ(page(), shell::Page::Calculator);
    EXPECT_TRUE(child("actionCalculatorOff")->isEnabled());
}

TEST_F(WindowTrayTest, TrayCloseEndsTheLoopWithoutClosingOrWriting) {
    start();
    QTest::keyClick(window.get(), Qt::Key_F12);
    trayArea.choose("&Close");
    EXPECT_EQ(loopEnds, 1);
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
        trayArea.choose("&Close");
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

TEST_F(WindowTrayTest, AnAreaRefusingTheIconIsReportedAndTheWindowStays) {
    trayArea.refuseAdd = true;
    start();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Error adding tray icon"}));
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_EQ(dialogs.errors.size(), 2u);  // Shrink to tray tries again and reports again
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace corvalo::testing
