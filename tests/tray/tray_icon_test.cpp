#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace corvalo::tray {
namespace {

constexpr IconHandle kAppIcon = 100;
constexpr IconHandle kStandardIcon = 200;

// Everything that happens, in order, across the fakes and the icon's events.
using Log = std::vector<std::string>;

struct AreaCall {
    std::string op;
    NotifyIconData data;
};

class FakeArea final : public NotificationArea {
  public:
    explicit FakeArea(Log& log) : log_(log) {}

    bool isAvailable = true;
    bool refuseAdd = false;
    bool refuseModify = false;
    IconHandle appIcon = kAppIcon;
    std::vector<AreaCall> calls;
    const TrayMenu* menu = nullptr;
    NotificationListener* listener = nullptr;

    bool available() const override { return isAvailable; }
    bool add(const NotifyIconData& d) override { return record("add", d, !refuseAdd); }
    bool modify(const NotifyIconData& d) override { return record("modify", d, !refuseModify); }
    bool remove(const NotifyIconData& d) override { return record("delete", d, true); }
    void setMenu(const TrayMenu* m) override { menu = m; }
    IconHandle applicationIcon() const override { return appIcon; }
    IconHandle standardIcon() const override { return kStandardIcon; }
    void setListener(NotificationListener* l) override { listener = l; }

    std::vector<std::string> ops() const {
        std::vector<std::string> out;
        for (const auto& c : calls) out.push_back(c.op);
        return out;
    }
    void setAvailable(bool on) {
        isAvailable = on;
        listener->trayAvailabilityChanged(on);
    }
    void mouse(TrayMouseAction action, ShiftState mods = 0) {
        listener->trayMouseAction(action, mods);
    }

  private:
    bool record(const char* op, const NotifyIconData& d, bool ok) {
        calls.push_back({op, d});
        log_.push_back(std::string("area ") + op);
        return ok;
    }
    Log& log_;
};

class FakeTimer final : public TrayTimer {
  public:
    std::optional<std::int32_t> interval;
    std::function<void()> onTick;
    bool isRunning = false;

    void start(std::int32_t ms, std::function<void()> tick) override {
        interval = ms;
        onTick = std::move(tick);
        isRunning = true;
    }
    void stop() override { isRunning = false; }
    void setInterval(std::int32_t ms) override { interval = ms; }
    bool running() const override { return isRunning; }
    void fire() {
        ASSERT_TRUE(isRunning);
        onTick();
    }
};

class FakeOwner final : public TrayOwner {
  public:
    explicit FakeOwner(Log& log) : log_(log) {}

    bool minimized = false;
    bool visible = true;
    bool loopEnded = false;

    bool isMinimized() const override { return minimized; }
    bool isVisible() const override { return visible; }
    void setNormalState() override {
        minimized = false;
        log_.push_back("owner normal");
    }
    void hide() override {
        visible = false;
        log_.push_back("owner hide");
    }
    void showAndActivate() override {
        visible = true;
        log_.push_back("owner show");
    }
    void minimize() override {
        minimized = true;
        log_.push_back("owner minimize");
    }
    void endMessageLoop() override {
        loopEnded = true;
        log_.push_back("loop ended");
    }

  private:
    Log& log_;
};

class FakeImages final : public TrayImageList {
  public:
    std::vector<IconHandle> icons;
    int count() const override { return static_cast<int>(icons.size()); }
    IconHandle icon(int index) const override {
        if (index < 0 || index >= count()) return kNoIcon;
        return icons[static_cast<std::size_t>(index)];
    }
};

struct TrayFixture {
    Log log;
    FakeArea area{log};
    FakeTimer timer;
    FakeOwner owner{log};
    FakeImages images;
    std::optional<TrayIcon> tray;

    TrayFixture() {
        images.icons = {11, 12, 13};
        tray.emplace(TrayIconServices{area, timer, owner});
    }
    // As the main window stores it: animated, not closing to the tray.
    void loadAsMainWindow() {
        tray->setAnimate(true);
        tray->setCloseToTray(false);
        tray->setOnRestore([this](TrayIconBase&) { log.push_back("OnRestore"); });
        tray->loaded();
    }
    void clearLog() {
        log.clear();
        area.calls.clear();
    }
    const TrayMenuItem& menuItem(const std::string& caption) const {
        for (const auto& item : area.menu->items)
            if (item.caption == caption) return item;
        throw std::runtime_error("no menu item " + caption);
    }
};

TEST(TrayIcon, LoadedAddsTheIconWithTheMessageIconAndTipFlags) {
    TrayFixture f;
    f.loadAsMainWindow();
    ASSERT_EQ(f.area.ops(), std::vector<std::string>{"add"});
    const NotifyIconData& d = f.area.calls[0].data;
    EXPECT_EQ(d.iconId, 2u);
    EXPECT_EQ(d.flags, 7u);
    EXPECT_EQ(d.callbackMessage, 1791u);
    EXPECT_EQ(d.icon, kAppIcon);
    EXPECT_EQ(d.tip, "");
    EXPECT_TRUE(f.tray->iconAdded());
    EXPECT_TRUE(f.tray->active());
    EXPECT_FALSE(f.tray->minimizeToTray());
    EXPECT_EQ(f.tray->interval(), 250);
}

TEST(TrayIcon, ShowsTheIconThenTheImageThenTheApplicationsThenTheStandardIcon) {
    const struct {
        const char* name;
        IconHandle icon;
        bool images;
        std::int32_t imageIndex;
        IconHandle appIcon;
        IconHandle shown;
    } rows[] = {
        {"own icon over images", 42, true, 1, kAppIcon, 42},
        {"image at ImageIndex", kNoIcon, true, 1, kAppIcon, 12},
        {"ImageIndex past the images", kNoIcon, true, 7, kAppIcon, kAppIcon},
        {"application icon", kNoIcon, false, 0, kAppIcon, kAppIcon},
        {"standard icon", kNoIcon, false, 0, kNoIcon, kStandardIcon},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        f.area.appIcon = row.appIcon;
        f.tray->setIcon(row.icon);
        if (row.images) f.tray->setImages(&f.images);
        f.tray->setImageIndex(row.imageIndex);
        f.tray->loaded();
        ASSERT_EQ(f.area.ops(), std::vector<std::string>{"add"});
        EXPECT_EQ(f.area.calls[0].data.icon, row.shown);
    }
}

TEST(TrayIcon, TipIsTheFirst63CharactersOfTheHint) {
    const struct {
        const char* name;
        std::string hint;
        std::string tip;
    } rows[] = {
        {"100 ASCII", std::string(100, 'x'), std::string(63, 'x')},
        {"exactly 63", std::string(63, 'y'), std::string(63, 'y')},
        {"short", "Corvalo", "Corvalo"},
        // 100 two-byte characters keep 63 whole ones (126 bytes).
        {"100 accented",
         [] {
             std::string s;
             for (int i = 0; i < 100; ++i) s += "\xC3\xA9";
             return s;
         }(),
         [] {
             std::string s;
             for (int i = 0; i < 63; ++i) s += "\xC3\xA9";
             return s;
         }()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        f.tray->loaded();
        f.clearLog();
        f.tray->setHint(row.hint);
        ASSERT_EQ(f.area.ops(), std::vector<std::string>{"modify"});
        EXPECT_EQ(f.area.calls[0].data.tip, row.tip);
        EXPECT_EQ(f.tray->hint(), row.hint);
    }
}

TEST(TrayIcon, ShowHintOffSendsFlags3AndHintChangesNoLongerModify) {
    TrayFixture f;
    f.tray->loaded();
    f.clearLog();
    f.tray->setShowHint(false);
    ASSERT_EQ(f.area.ops(), std::vector<std::string>{"modify"});
    EXPECT_EQ(f.area.calls[0].data.flags, 3u);
    f.tray->setHint("ignored while hidden");
    EXPECT_EQ(f.area.calls.size(), 1u);
}

TEST(TrayIcon, ActiveOffDeletesTheIconAndOnAddsItAgain) {
    TrayFixture f;
    f.tray->loaded();
    f.clearLog();
    f.tray->setActive(false);
    EXPECT_EQ(f.area.ops(), std::vector<std::string>{"delete"});
    EXPECT_FALSE(f.tray->iconAdded());
    f.tray->setActive(true);
    EXPECT_EQ(f.area.ops(), (std::vector<std::string>{"delete", "add"}));
    EXPECT_TRUE(f.tray->iconAdded());
}

TEST(TrayIcon, AnimationCyclesThroughTheImagesAndStopsOnTheIcon) {
    TrayFixture f;
    f.tray->setImages(&f.images);
    f.tray->setIcon(42);
    f.tray->setInterval(0);
    f.tray->loaded();
    EXPECT_FALSE(f.timer.isRunning);
    f.tray->setAnimate(true);
    ASSERT_TRUE(f.timer.isRunning);
    EXPECT_EQ(f.timer.interval, 200);  // an Interval of 0 steps at 200 ms
    f.clearLog();
    std::vector<IconHandle> shown;
    for (int i = 0; i < 4; ++i) {
        f.timer.fire();
        shown.push_back(f.area.calls.back().data.icon);
    }
    EXPECT_EQ(shown, (std::vector<IconHandle>{11, 12, 13, 11}));
    f.tray->setInterval(500);
    EXPECT_EQ(f.timer.interval, 500);
    f.tray->setAnimate(false);
    EXPECT_FALSE(f.timer.isRunning);
    EXPECT_EQ(f.area.calls.back().op, "modify");
    EXPECT_EQ(f.area.calls.back().data.icon, 42);
}

TEST(TrayIcon, ActiveOffAndOnResumesTheAnimation) {
    TrayFixture f;
    f.tray->setImages(&f.images);
    f.tray->setAnimate(true);
    f.tray->loaded();
    ASSERT_TRUE(f.timer.isRunning);
    f.tray->setActive(false);
    EXPECT_FALSE(f.tray->animate());
    EXPECT_FALSE(f.timer.isRunning);
    EXPECT_EQ(f.area.calls.back().op, "delete");
    f.tray->setActive(true);
    EXPECT_TRUE(f.tray->animate());
    EXPECT_TRUE(f.timer.isRunning);
    EXPECT_EQ(f.area.calls.back().op, "add");
}

TEST(TrayIcon, AnimationWithoutImagesLeavesTheTimerIdle) {
    TrayFixture f;
    f.loadAsMainWindow();
    EXPECT_TRUE(f.tray->animate());
    EXPECT_FALSE(f.timer.isRunning);
    f.tray->setImages(&f.images);
    EXPECT_TRUE(f.timer.isRunning);
    f.tray->notification(&f.images);
    EXPECT_EQ(f.tray->images(), nullptr);
    EXPECT_FALSE(f.timer.isRunning);
}

TEST(TrayIcon, MouseActionsOnTheIcon) {
    const struct {
        const char* name;
        TrayMouseAction action;
        bool restores;
        std::optional<MouseButton> click;
    } rows[] = {
        {"left double-click", TrayMouseAction::LeftDoubleClick, true, std::nullopt},
        {"right double-click", TrayMouseAction::RightDoubleClick, true, std::nullopt},
        {"middle double-click", TrayMouseAction::MiddleDoubleClick, true, std::nullopt},
        {"left press", TrayMouseAction::LeftDown, false, MouseButton::mbLeft},
        {"middle press", TrayMouseAction::MiddleDown, false, MouseButton::mbMiddle},
        {"right press", TrayMouseAction::RightDown, false, std::nullopt},
        {"left release", TrayMouseAction::LeftUp, false, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        std::optional<MouseButton> clicked;
        ShiftState clickShift = 0;
        f.tray->setOnClick([&](TrayIconBase&, MouseButton b, ShiftState s) {
            clicked = b;
            clickShift = s;
        });
        f.loadAsMainWindow();
        f.owner.visible = false;
        f.clearLog();
        f.area.mouse(row.action, ssCtrl);
        EXPECT_EQ(f.owner.visible, row.restores);
        EXPECT_EQ(clicked, row.click);
        if (row.click) {
            EXPECT_TRUE(clickShift & ssCtrl);
        }
        if (row.restores) {
            EXPECT_EQ(f.log, (Log{"OnRestore", "owner show"}));
        }
    }
}

TEST(TrayIcon, DoubleClickWithRestoreAppClearedDoesNothing) {
    TrayFixture f;
    MouseButton seen = MouseButton::mbLeft;
    f.tray->setOnDblClick([&](TrayIconBase&, MouseButton b, ShiftState, bool& restoreApp) {
        EXPECT_TRUE(restoreApp);
        seen = b;
        restoreApp = false;
    });
    f.loadAsMainWindow();
    f.owner.visible = false;
    f.clearLog();
    f.area.mouse(TrayMouseAction::MiddleDoubleClick);
    EXPECT_EQ(seen, MouseButton::mbMiddle);
    EXPECT_FALSE(f.owner.visible);
    EXPECT_TRUE(f.log.empty());
}

TEST(TrayIcon, ErrorTextsAndNumbers) {
    const struct {
        const char* name;
        std::function<void(TrayFixture&)> act;
        int number;
        const char* text;
    } rows[] = {
        {"refused add",
         [](TrayFixture& f) {
             f.area.refuseAdd = true;
             f.tray->loaded();
         },
         119, "Error adding tray icon"},
        {"refused modify",
         [](TrayFixture& f) {
             f.tray->loaded();
             f.area.refuseModify = true;
             f.tray->setHint("x");
         },
         121, "Tray icon error"},
        {"second icon",
         [](TrayFixture& f) {
             TrayIcon second(TrayIconServices{f.area, f.timer, f.owner});
         },
         133, "Cannot have more than one TrayIcon per application"},
        {"ImageIndex without Images",
         [](TrayFixture& f) {
             f.tray->loaded();
             f.tray->setImageIndex(1);
         },
         135, "ImageList is not assigned"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TrayFixture f;
        try {
            row.act(f);
            ADD_FAILURE() << "no error";
        } catch (const TrayIconError& e) {
            EXPECT_EQ(e.number(), row.number);
            EXPECT_STREQ(e.what(), row.text);
        }
    }
}

TEST(TrayIcon, ARefusedAddIsTriedAgainByTheNextAdd) {
    TrayFixture f;
    f.area.refuseAdd = true;
    EXPECT_THROW(f.tray->loaded(), TrayIconError);
    EXPECT_FALSE(f.tray->iconAdded());
    f.area.refuseAdd = false;
    f.tray->setActive(true);
    EXPECT_TRUE(f.tray->iconAdded());
    EXPECT_EQ(f.area.ops(), (std::vector<std::string>{"add", "add"}));
}

TEST(TrayIcon, TheIconCanBeMadeAgainOnceTheFirstIsGone) {
    TrayFixture f;
    f.tray.reset();
    EXPECT_NO_THROW(f.tray.emplace(TrayIconServices{f.area, f.timer, f.owner}));
}

TEST(TrayIcon, OwnMenuCloseEndsTheLoopWithoutHidingOrRestoring) {
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

TEST(TrayIcon, OwnMenuRestoreFiresOnRestoreBeforeTheWindowShows) {
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

TEST(TrayIcon, PopupMenuCanBeReplacedAndIsDroppedWhenItGoes) {
    TrayFixture f;
    TrayMenu other{{{"&Other", [] {}}}};
    f.tray->setPopupMenu(&other);
    EXPECT_EQ(f.area.menu, &other);
    f.tray->notification(&other);
    EXPECT_EQ(f.tray->popupMenu(), nullptr);
    EXPECT_EQ(f.area.menu, nullptr);
}

TEST(TrayIcon, SystemCommandsOfTheOwner) {
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
        f.tray->setOnMinimize([&](TrayIconBase&) { ++minimizes; });
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

TEST(TrayIcon, OwnerIsNotWatchedBeforeTheIconWasFirstAdded) {
    TrayFixture f;
    f.tray->setActive(false);
    f.tray->loaded();
    f.owner.minimized = true;
    f.tray->ownerPositionChanged();
    EXPECT_FALSE(f.tray->ownerSysCommand(SysCommand::Close));
    EXPECT_TRUE(f.owner.visible);
}

TEST(TrayIcon, WindowStartingMinimisedStartsInTheTrayAndComesBackNormal) {
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

TEST(TrayIcon, ShrinkToTrayHidesTheWindowAndKeepsTheIcon) {
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

TEST(TrayIcon, WithoutANotificationAreaNothingHidesTheWindow) {
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

TEST(TrayIcon, AddsTheIconWhenATrayAppearsLater) {
    TrayFixture f;
    f.area.isAvailable = false;
    f.loadAsMainWindow();
    EXPECT_FALSE(f.tray->iconAdded());
    f.area.setAvailable(true);
    EXPECT_EQ(f.area.ops(), std::vector<std::string>{"add"});
    EXPECT_TRUE(f.tray->iconAdded());
    EXPECT_TRUE(f.tray->shrinkToTray());
}

TEST(TrayIcon, TrayGoingAwayBringsTheHiddenWindowBack) {
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

TEST(TrayIcon, DestructionDeletesTheIconAndLetsGoOfTheArea) {
    TrayFixture f;
    f.tray->loaded();
    f.clearLog();
    f.tray.reset();
    EXPECT_EQ(f.area.ops(), std::vector<std::string>{"delete"});
    EXPECT_EQ(f.area.listener, nullptr);
    EXPECT_EQ(f.area.menu, nullptr);
}

}  // namespace
}  // namespace corvalo::tray
