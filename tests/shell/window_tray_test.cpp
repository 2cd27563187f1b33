// The main window with its tray icon, headless, through a fake notification area:
// Shrink to tray, the icon's Restore and Close, and a desktop without a tray.
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
    int page() const { return child<QStackedWidget>("pages")->currentIndex(); }
};

TEST_F(WindowTrayTest, IconIsInTheAreaFromTheStart) {
    start();
    EXPECT_EQ(trayArea.calls, (std::vector<std::string>{"add"}));
    EXPECT_TRUE(window->trayIcon().iconAdded());
    EXPECT_TRUE(window->trayIcon().animate());
    EXPECT_FALSE(window->trayIcon().closeToTray());
}

TEST_F(WindowTrayTest, ShrinkHidesAndRestoreBringsTheSamePageBackUntouched) {
    const struct {
        const char* name;
        void (*restore)(FakeNotificationArea&);
    } rows[] = {
        {"menu Restore", [](FakeNotificationArea& a) { a.choose("&Restore"); }},
        {"left double-click",
         [](FakeNotificationArea& a) {
             a.listener->trayMouseAction(tray::TrayMouseAction::LeftDoubleClick, {});
         }},
        {"middle double-click",
         [](FakeNotificationArea& a) {
             a.listener->trayMouseAction(tray::TrayMouseAction::MiddleDoubleClick, {});
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        start();
        trigger("actionCalculatorOn");
        QTest::keyClicks(child<deskcalc::DeskCalculatorWidget>("calculator"),
                         QStringLiteral("12+3"));
        const std::string display =
            child<deskcalc::DeskCalculatorWidget>("calculator")->displayText();
        QTest::keyClick(window.get(), Qt::Key_F12);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(trayArea.shown);
        EXPECT_TRUE(window->trayIcon().hiddenInTray());

        row.restore(trayArea);
        EXPECT_TRUE(window->isVisible());
        EXPECT_FALSE(window->isMinimized());
        EXPECT_EQ(page(), shell::kCalculatorPage);
        EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
        EXPECT_EQ(child<deskcalc::DeskCalculatorWidget>("calculator")->displayText(), display);
        EXPECT_EQ(settings.loads, 1);  // no second first showing
        EXPECT_EQ(settings.saves, 0);
        EXPECT_TRUE(dialogs.errors.empty());
        window.reset();
        settings.loads = 0;
    }
}

TEST_F(WindowTrayTest, RestoreOfAShownWindowKeepsItsPage) {
    start();  // the page of the first showing is the grid page
    trigger("actionCalculatorOn");
    trayArea.choose("&Restore");
    EXPECT_EQ(page(), shell::kCalculatorPage);
    EXPECT_FALSE(child("actionCalculatorOn")->isEnabled());
    EXPECT_TRUE(child("actionCalculatorOff")->isEnabled());
}

TEST_F(WindowTrayTest, TrayCloseEndsTheLoopWithoutClosingOrWriting) {
    start();
    QTest::keyClick(window.get(), Qt::Key_F12);
    trayArea.choose("&Close");
    EXPECT_EQ(loopEnds, 1);
    EXPECT_EQ(settings.saves, 0);
    EXPECT_EQ(trayArea.calls.back(), "add");  // the icon stays until the window goes
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
    EXPECT_FALSE(window->versionChecker().running());
    EXPECT_EQ(settings.saves, 0);
}

TEST_F(WindowTrayTest, WithoutATrayShrinkMinimisesAndTheIconComesLater) {
    trayArea.present = false;
    start();
    EXPECT_TRUE(trayArea.calls.empty());
    trigger("actionCalculatorOn");
    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_FALSE(window->trayIcon().hiddenInTray());
    EXPECT_TRUE(dialogs.errors.empty());

    trayArea.trayAppears();
    EXPECT_EQ(trayArea.calls, (std::vector<std::string>{"add"}));
    window->showNormal();
    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_FALSE(window->isVisible());
    trayArea.choose("&Restore");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page(), shell::kCalculatorPage);
}

TEST_F(WindowTrayTest, AnAreaRefusingTheIconAtStartIsReportedAndTheWindowShows) {
    trayArea.refuseAdd = true;
    start();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Error adding tray icon"}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->trayIcon().iconAdded());
}

TEST_F(WindowTrayTest, RefusedAddIsReportedWithItsText) {
    start();
    trayArea.choose("&Restore");
    window->trayIcon().setActive(false);
    trayArea.present = true;
    trayArea.refuseAdd = true;
    QTest::keyClick(window.get(), Qt::Key_F12);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Error adding tray icon"}));
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace corvalo::testing
