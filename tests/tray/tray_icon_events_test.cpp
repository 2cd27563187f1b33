// What the tray icon does on mouse actions, through its menu, on the owner's
// commands, and when the tray comes and goes.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tray_fakes.h"

namespace corvalo::tray {
namespace {

TEST(TrayIconEvents, MouseActionsOnTheIcon) {
    const struct {
        const char* name;
        TrayMouseAction action;
        bool restores;
        std::optional<MouseButton> click;
    } rows[] = {
        {"left double-click", TrayMouseAction::LeftDoubleClick, true, std::nullopt},
        {"right double-click", TrayMouseAction::RightDoubleClick, true, std::nullopt},
        {"middle double-click", TrayMouseAction::MiddleDoubleClick, true, std::nullopt},
        {"left press", TrayMouseAction::LeftDown, false, MouseButton::Left},
        {"middle press", TrayMouseAction::MiddleDown, false, MouseButton::Middle},
        {"right press", TrayMouseAction::RightDown, false, std::nullopt},
        {"left release", TrayMouseAction::LeftUp, false, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        std::optional<MouseButton> clicked;
        ShiftState clickShift;
        f.tray->setOnClick([&](TrayIcon&, MouseButton b, ShiftState s) {
            clicked = b;
            clickShift = s;
        });
        f.loadAsMainWindow();
        f.owner.visible = false;
        f.clearLog();
        f.area.mouse(row.action, ShiftFlag::Ctrl);
        EXPECT_EQ(f.owner.visible, row.restores);
        EXPECT_EQ(clicked, row.click);
        if (row.click) {
            EXPECT_TRUE(clickShift.has(ShiftFlag::Ctrl));
        }
        if (row.restores) {
            EXPECT_EQ(f.log, (Log{"OnRestore", "owner show"}));
        }
    }
}

TEST(TrayIconEvents, DoubleClickHandlerClearingRestoreAppKeepsTheWindowHidden) {
    TrayFixture f;
    MouseButton seen = MouseButton::Left;
    f.tray->setOnDoubleClick([&](TrayIcon&, MouseButton b, ShiftState, bool& restoreApp) {
        EXPECT_TRUE(restoreApp);
        seen = b;
        restoreApp = false;
    });
    f.loadAsMainWindow();
    f.owner.visible = false;
    f.clearLog();
    f.area.mouse(TrayMouseAction::MiddleDoubleClick);
    EXPECT_EQ(seen, MouseButton::Middle);
    EXPECT_FALSE(f.owner.visible);
    EXPECT_TRUE(f.log.empty());
}

TEST(TrayIconEvents, OwnMenuCloseEndsTheLoopWithoutHidingOrRestoring) {
    TrayFixture f;
    f.loadAsMainWindow();
    ASSERT_EQ(f.area.menu, &f.tray->ownMenu());
    ASSERT_EQ(f.area.menu->items.size(), 2u);
    EXPECT_EQ(f.area.menu->items[0].caption, "&Close");
    EXPECT_EQ(f.area.menu->items[1].caption, "&Restore");
    f.clearLog();
    f.menuItem("&Close").onClick();
    EXPECT_EQ(f.log, Log{"loop ended"});
}

TEST(TrayIconEvents, OwnMenuRestoreFiresOnRestoreBeforeTheWindowShows) {
    TrayFixture f;
    f.loadAsMainWindow();
    f.tray->setHideOnRestore(true);
    f.owner.minimized = true;
    f.owner.visible = false;
    f.clearLog();
    f.menuItem("&Restore").onClick();
    EXPECT_EQ(f.log, (Log{"OnRestore", "owner normal", "owner show", "area delete"}));
    EXPECT_FALSE(f.tray->iconAdded());
}

TEST(TrayIconEvents, PopupMenuCanBeReplacedAndIsDroppedWhenItGoes) {
    TrayFixture f;
    TrayMenu other{{{"&Other", [] {}}}};
    f.tray->setPopupMenu(&other);
    EXPECT_EQ(f.area.menu, &other);
    f.tray->forget(&other);
    EXPECT_EQ(f.tray->popupMenu(), nullptr);
    EXPECT_EQ(f.area.menu, nullptr);
}

TEST(TrayIconEvents, SystemCommandsOfTheOwner) {
    const struct {
        const char* name;
        bool minimizeToTray;
        bool closeToTray;
        bool active;
        SysCommand command;
        bool swallowed;
    } rows[] = {
        {"close, not to tray (main window)", false, false, true, SysCommand::Close, false},
        {"close to tray", false, true, true, SysCommand::Close, true},
        {"close to tray, inactive", false, true, false, SysCommand::Close, false},
        {"minimize, not to tray", false, false, true, SysCommand::Minimize, false},
        {"minimize to tray", true, false, true, SysCommand::Minimize, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        int minimizes = 0;
        f.tray->setOnMinimize([&](TrayIcon&) { ++minimizes; });
        f.tray->setMinimizeToTray(row.minimizeToTray);
        f.tray->setCloseToTray(row.closeToTray);
        f.tray->loaded();
        if (!row.active) f.tray->setActive(false);
        EXPECT_EQ(f.tray->ownerSysCommand(row.command), row.swallowed);
        EXPECT_EQ(f.owner.visible, !row.swallowed);
        EXPECT_EQ(f.tray->hiddenInTray(), row.swallowed);
        EXPECT_EQ(minimizes, row.command == SysCommand::Minimize ? 1 : 0);
    }
}

TEST(TrayIconEvents, OwnerIsNotWatchedBeforeTheIconWasFirstAdded) {
    TrayFixture f;
    f.tray->setActive(false);
    f.tray->loaded();
    f.owner.minimized = true;
    f.tray->ownerPositionChanged();
    EXPECT_FALSE(f.tray->ownerSysCommand(SysCommand::Close));
    EXPECT_TRUE(f.owner.visible);
}

TEST(TrayIconEvents, WindowStartingMinimisedStartsInTheTrayAndComesBackNormal) {
    TrayFixture f;
    f.loadAsMainWindow();
    f.owner.minimized = true;
    f.tray->ownerPositionChanged();
    EXPECT_FALSE(f.owner.visible);
    f.area.mouse(TrayMouseAction::LeftDoubleClick);
    EXPECT_TRUE(f.owner.visible);
    EXPECT_FALSE(f.owner.minimized);
    // The showing's own position change must not send it back to the tray.
    f.tray->ownerPositionChanged();
    EXPECT_TRUE(f.owner.visible);
}

TEST(TrayIconEvents, ShrinkToTrayHidesTheWindowAndKeepsTheIcon) {
    TrayFixture f;
    f.loadAsMainWindow();
    f.clearLog();
    EXPECT_TRUE(f.tray->shrinkToTray());
    EXPECT_EQ(f.log, Log{"owner hide"});
    EXPECT_TRUE(f.tray->iconAdded());
    f.area.mouse(TrayMouseAction::LeftDoubleClick);
    EXPECT_EQ(f.log, (Log{"owner hide", "OnRestore", "owner show"}));
    EXPECT_TRUE(f.tray->iconAdded());
}

TEST(TrayIconEvents, WithoutANotificationAreaNothingHidesTheWindow) {
    TrayFixture f;
    f.area.isAvailable = false;
    f.tray->setCloseToTray(true);
    f.tray->setMinimizeToTray(true);
    EXPECT_NO_THROW(f.tray->loaded());
    EXPECT_TRUE(f.area.calls.empty());
    EXPECT_FALSE(f.tray->ownerSysCommand(SysCommand::Minimize));
    EXPECT_FALSE(f.tray->ownerSysCommand(SysCommand::Close));
    f.owner.minimized = true;
    f.tray->ownerPositionChanged();
    f.owner.minimized = false;
    EXPECT_FALSE(f.tray->shrinkToTray());
    EXPECT_EQ(f.log, Log{"owner minimize"});
    EXPECT_TRUE(f.owner.visible);
}

TEST(TrayIconEvents, AddsTheIconWhenATrayAppearsLater) {
    TrayFixture f;
    f.area.isAvailable = false;
    f.loadAsMainWindow();
    EXPECT_FALSE(f.tray->iconAdded());
    f.area.setAvailable(true);
    EXPECT_EQ(f.area.ops(), std::vector<std::string>{"add"});
    EXPECT_TRUE(f.tray->iconAdded());
    EXPECT_TRUE(f.tray->shrinkToTray());
}

TEST(TrayIconEvents, TrayGoingAwayBringsTheHiddenWindowBack) {
    TrayFixture f;
    f.loadAsMainWindow();
    f.tray->shrinkToTray();
    f.clearLog();
    f.area.setAvailable(false);
    EXPECT_EQ(f.log, (Log{"area delete", "OnRestore", "owner show"}));
    EXPECT_FALSE(f.tray->iconAdded());
    f.area.setAvailable(true);
    EXPECT_TRUE(f.tray->iconAdded());
}

}  // namespace
}  // namespace corvalo::tray
