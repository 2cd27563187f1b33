// The tray icon through fakes of its seams that log, in order, what reaches them.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvalo::tray {
namespace {

constexpr IconHandle kAppIcon = 100;
constexpr IconHandle kStandardIcon = 200;

using Log = std::vector<std::string>;

// Everything the icon works through, in one fake that logs, in order, what reaches it:
// the notification area, the animation timer, the owner window and three images.
struct FakeDesk final : NotificationArea, TrayTimer, TrayOwner, TrayImageList {
    Log log;
    bool present = true, refuseAdd = false, refuseModify = false;
    bool ticking = false, minimized = false, visible = true;
    IconHandle appIcon = kAppIcon;
    std::vector<NotifyIconData> sent;  // what each add, modify and delete carried
    const TrayMenu* menu = nullptr;
    NotificationListener* listener = nullptr;
    std::int32_t interval = 0;
    std::function<void()> onTick;
    std::optional<TrayIcon> tray;

    FakeDesk() { create(); }
    void create() {
        tray.emplace(TrayIconServices{*this, *this, *this});
        tray->setOnRestore([this](TrayIcon&) { say("OnRestore"); });
        tray->setOnMinimize([this](TrayIcon&) { say("OnMinimize"); });
    }
    // As the main window sets it up: animated, not closing to the tray.
    void loadAsMainWindow() {
        tray->setAnimate(true);
        tray->setCloseToTray(false);
        tray->loaded();
    }
    void clearLog() {
        log.clear();
        sent.clear();
    }
    void choose(const std::string& caption) const {
        for (const auto& item : menu->items)
            if (item.caption == caption) return item.onClick();
        throw std::runtime_error("no menu item " + caption);
    }
    bool say(const std::string& what, bool value = true) {
        log.push_back(what);
        return value;
    }
    bool send(const char* op, const NotifyIconData& d) {
        sent.push_back(d);
        return say(op);
    }

    bool available() const override { return present; }
    bool add(const NotifyIconData& d) override { return send("add", d) && !refuseAdd; }
    bool modify(const NotifyIconData& d) override { return send("modify", d) && !refuseModify; }
    bool remove(const NotifyIconData& d) override { return send("delete", d); }
    void setMenu(const TrayMenu* m) override { menu = m; }
    IconHandle applicationIcon() const override { return appIcon; }
    IconHandle standardIcon() const override { return kStandardIcon; }
    void setListener(NotificationListener* l) override { listener = l; }

    void start(std::int32_t ms, std::function<void()> tick) override {
        interval = ms;
        onTick = std::move(tick);
        ticking = true;
    }
    void stop() override { ticking = false; }
    void setInterval(std::int32_t ms) override { interval = ms; }
    bool running() const override { return ticking; }

    bool isMinimized() const override { return minimized; }
    bool isVisible() const override { return visible; }
    void setNormalState() override { minimized = say("owner normal", false); }
    void hide() override { visible = say("owner hide", false); }
    void showAndActivate() override { visible = say("owner show"); }
    void minimize() override { minimized = say("owner minimize"); }
    void endMessageLoop() override { say("loop ended"); }

    int count() const override { return 3; }
    IconHandle icon(int index) const override {
        return index >= 0 && index < 3 ? 11 + static_cast<IconHandle>(index) : kNoIcon;
    }
};

std::string repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TEST(TrayIcon, LoadedAddsTheApplicationIconUnderItsIdAndCallback) {
    FakeDesk f;
    f.loadAsMainWindow();
    ASSERT_EQ(f.log, Log{"add"});
    const NotifyFlags all = NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip;
    EXPECT_EQ(f.sent[0], (NotifyIconData{2, all, 1791, kAppIcon, ""}));
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
        {"image at the image index", kNoIcon, true, 1, kAppIcon, 12},
        {"image index past the images", kNoIcon, true, 7, kAppIcon, kAppIcon},
        {"application icon", kNoIcon, false, 0, kAppIcon, kAppIcon},
        {"standard icon", kNoIcon, false, 0, kNoIcon, kStandardIcon},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDesk f;
        f.appIcon = row.appIcon;
        f.tray->setIcon(row.icon);
        if (row.images) f.tray->setImages(&f);
        f.tray->setImageIndex(row.imageIndex);
        f.tray->loaded();
        ASSERT_EQ(f.log, Log{"add"});
        EXPECT_EQ(f.sent[0].icon, row.shown);
    }
}

TEST(TrayTipText, TheFirst63CharactersOfTheHint) {
    EXPECT_EQ(trayTipText(std::string(100, 'x')), std::string(63, 'x'));
    EXPECT_EQ(trayTipText(std::string(63, 'y')), std::string(63, 'y'));
    EXPECT_EQ(trayTipText(repeat("\u00E9", 100)), repeat("\u00E9", 63));  // two bytes each
}

TEST(TrayIcon, TheHintGoesOutAsTheTipUnlessHidden) {
    FakeDesk f;
    f.tray->loaded();
    f.clearLog();
    f.tray->setHint(std::string(70, 'x'));
    f.tray->setShowHint(false);
    f.tray->setHint("ignored while hidden");
    ASSERT_EQ(f.log, (Log{"modify", "modify"}));
    EXPECT_EQ(f.sent[0].tip, std::string(63, 'x'));
    EXPECT_EQ(f.sent[0].flags, NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip);
    EXPECT_EQ(f.sent[1].flags, NotifyFlag::Message | NotifyFlag::Icon);
}

TEST(TrayIcon, AnimationCyclesThroughTheImagesAndStopsOnTheIcon) {
    FakeDesk f;
    f.loadAsMainWindow();
    EXPECT_FALSE(f.ticking);  // animated, but without images nothing to show
    f.tray->setIcon(42);
    f.tray->setImages(&f);
    ASSERT_TRUE(f.ticking);
    EXPECT_EQ(f.interval, 250);
    f.clearLog();
    for (int i = 0; i < 4; ++i) f.onTick();
    std::vector<IconHandle> shown;
    for (const auto& d : f.sent) shown.push_back(d.icon);
    EXPECT_EQ(shown, (std::vector<IconHandle>{11, 12, 13, 11}));
    f.tray->setInterval(0);
    EXPECT_EQ(f.interval, 200);  // an interval of 0 steps at 200 ms
    f.tray->setAnimate(false);
    EXPECT_FALSE(f.ticking);
    EXPECT_EQ(f.sent.back().icon, 42);
    f.tray->setAnimate(true);
    f.tray->forget(static_cast<TrayImageList*>(&f));
    EXPECT_FALSE(f.ticking);
}

TEST(TrayIcon, DeactivatingPausesTheAnimationUntilActivated) {
    FakeDesk f;
    f.tray->setImages(&f);
    f.loadAsMainWindow();
    f.tray->setActive(false);
    EXPECT_FALSE(f.ticking);
    f.tray->setActive(true);
    EXPECT_TRUE(f.tray->animate());
    EXPECT_TRUE(f.ticking);
}

// The steps of the scenarios below, by name.
const std::map<std::string, std::function<void(FakeDesk&)>> kSteps = {
    {"load", [](FakeDesk& f) { f.tray->loaded(); }},
    {"loadAsMain", [](FakeDesk& f) { f.loadAsMainWindow(); }},
    {"activate", [](FakeDesk& f) { f.tray->setActive(true); }},
    {"deactivate", [](FakeDesk& f) { f.tray->setActive(false); }},
    {"refuseAdd", [](FakeDesk& f) { f.refuseAdd = true; }},
    {"acceptAdd", [](FakeDesk& f) { f.refuseAdd = false; }},
    {"refuseModify", [](FakeDesk& f) { f.refuseModify = true; }},
    {"setIcon", [](FakeDesk& f) { f.tray->setIcon(7); }},
    {"setImageIndex", [](FakeDesk& f) { f.tray->setImageIndex(1); }},
    {"secondIcon",
     [](FakeDesk& f) {
         TrayIcon second({f, f, f});
     }},
    {"destroy",
     [](FakeDesk& f) {
         f.tray.reset();
         if (f.listener != nullptr || f.menu != nullptr) f.say("area still bound");
     }},
    {"create", [](FakeDesk& f) { f.create(); }},
    {"noTray", [](FakeDesk& f) { f.present = false; }},
    {"trayGone", [](FakeDesk& f) { f.listener->trayAvailabilityChanged(f.present = false); }},
    {"trayBack", [](FakeDesk& f) { f.listener->trayAvailabilityChanged(f.present = true); }},
    {"shrink", [](FakeDesk& f) { f.tray->shrinkToTray(); }},
    {"minimized", [](FakeDesk& f) { f.minimized = true; }},
    {"positionChanged", [](FakeDesk& f) { f.tray->ownerPositionChanged(); }},
    {"leftDoubleClick",
     [](FakeDesk& f) { f.listener->trayMouseAction(TrayMouseAction::LeftDoubleClick, {}); }},
    {"middleDoubleClick",
     [](FakeDesk& f) { f.listener->trayMouseAction(TrayMouseAction::MiddleDoubleClick, {}); }},
    {"vetoDoubleClick",
     [](FakeDesk& f) {
         f.tray->setOnDoubleClick(
             [](TrayIcon&, MouseButton, ShiftState, bool& restoreApp) { restoreApp = false; });
     }},
    {"menuClose", [](FakeDesk& f) { f.choose("&Close"); }},
    {"menuRestore", [](FakeDesk& f) { f.choose("&Restore"); }},
    {"hideOnRestore", [](FakeDesk& f) { f.tray->setHideOnRestore(true); }},
    {"minimizeToTray", [](FakeDesk& f) { f.tray->setMinimizeToTray(true); }},
    {"sysClose",
     [](FakeDesk& f) { f.say(f.tray->ownerSysCommand(SysCommand::Close) ? "taken" : "goes on"); }},
    {"sysMinimize",
     [](FakeDesk& f) {
         f.say(f.tray->ownerSysCommand(SysCommand::Minimize) ? "taken" : "goes on");
     }},
};

// What reaches the area and the owner, in order, from start to end of each scenario.
TEST(TrayIcon, LifeOfTheIconAndItsWindow) {
    const struct {
        const char* name;
        const char* steps;
        const char* expected;
    } rows[] = {
        {"deactivated and activated", "load deactivate activate", "add, delete, add"},
        {"refused add, tried again", "refuseAdd load acceptAdd activate",
         "add, error 119 Error adding tray icon, add"},
        {"refused modify", "load refuseModify setIcon", "add, modify, error 121 Tray icon error"},
        {"second icon", "secondIcon",
         "error 133 Cannot have more than one TrayIcon per application"},
        {"image index without images", "load setImageIndex",
         "add, error 135 ImageList is not assigned"},
        {"destroyed and made again", "load destroy create load", "add, delete, add"},
        {"shrunk, the tray goes and comes back", "loadAsMain shrink trayGone trayBack",
         "add, owner hide, delete, OnRestore, owner show, add"},
        {"no tray: shrink minimises until a tray appears",
         "noTray loadAsMain shrink trayBack shrink", "owner minimize, add, owner hide"},
        {"no tray: nothing goes to the tray",
         "noTray minimizeToTray load sysMinimize sysClose minimized positionChanged",
         "OnMinimize, goes on, goes on"},
        {"the window is not watched before the first add",
         "deactivate load sysClose minimized positionChanged", "goes on"},
        {"a minimised start goes to the tray and comes back normal",
         "loadAsMain minimized positionChanged leftDoubleClick positionChanged",
         "add, owner hide, OnRestore, owner normal, owner show"},
        {"menu Close", "loadAsMain menuClose", "add, loop ended"},
        {"menu Restore of a minimised window, hiding on restore",
         "loadAsMain hideOnRestore minimized menuRestore",
         "add, OnRestore, owner normal, owner show, delete"},
        {"double-click handler clearing RestoreApp",
         "vetoDoubleClick loadAsMain middleDoubleClick", "add"},
        {"close of the main window", "loadAsMain sysClose", "add, goes on"},
        {"close to the tray", "load sysClose", "add, owner hide, taken"},
        {"close to the tray, inactive", "load deactivate sysClose", "add, delete, goes on"},
        {"minimise", "load sysMinimize", "add, OnMinimize, goes on"},
        {"minimise to the tray", "minimizeToTray load sysMinimize",
         "add, OnMinimize, owner hide, taken"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDesk f;
        std::istringstream steps(row.steps);
        for (std::string step; steps >> step;) {
            try {
                kSteps.at(step)(f);
            } catch (const TrayIconError& e) {
                f.say("error " + std::to_string(e.number()) + " " + e.what());
            }
        }
        std::string log;
        for (const auto& entry : f.log) log += (log.empty() ? "" : ", ") + entry;
        EXPECT_EQ(log, row.expected);
    }
}

TEST(TrayIcon, OwnMenuIsCloseThenRestoreUntilReplacedOrGone) {
    FakeDesk f;
    ASSERT_EQ(f.menu, &f.tray->ownMenu());
    ASSERT_EQ(f.menu->items.size(), 2u);
    EXPECT_EQ(f.menu->items[0].caption, "&Close");
    EXPECT_EQ(f.menu->items[1].caption, "&Restore");
    TrayMenu other{{{"&Other", [] {}}}};
    f.tray->setPopupMenu(&other);
    EXPECT_EQ(f.menu, &other);
    f.tray->forget(&other);
    EXPECT_EQ(f.menu, nullptr);
}

TEST(TrayIcon, MouseActionsOnTheIcon) {
    using A = TrayMouseAction;
    using B = MouseButton;
    using S = ShiftFlag;
    const struct {
        const char* name;
        TrayMouseAction action;
        bool restores;  // a double-click; else a press or a release
        std::optional<MouseButton> button;
        ShiftFlag held;
    } rows[] = {
        {"left double-click", A::LeftDoubleClick, true, B::Left, S::Left},
        {"right double-click", A::RightDoubleClick, true, B::Right, S::Right},
        {"middle double-click", A::MiddleDoubleClick, true, B::Middle, S::Middle},
        {"left press", A::LeftDown, false, B::Left, S::Left},
        {"middle press", A::MiddleDown, false, B::Middle, S::Middle},
        {"right press", A::RightDown, false, {}, S::Right},
        {"left release", A::LeftUp, false, {}, S::Left},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDesk f;
        std::optional<MouseButton> clicked;
        std::optional<MouseButton> doubleClicked;
        ShiftState shift;
        f.tray->setOnClick([&](TrayIcon&, MouseButton b, ShiftState s) {
            clicked = b;
            shift = s;
        });
        f.tray->setOnDoubleClick([&](TrayIcon&, MouseButton b, ShiftState s, bool& restoreApp) {
            EXPECT_TRUE(restoreApp);
            doubleClicked = b;
            shift = s;
        });
        f.loadAsMainWindow();
        f.visible = false;
        f.clearLog();
        f.listener->trayMouseAction(row.action, ShiftFlag::Ctrl);
        EXPECT_EQ(row.restores ? doubleClicked : clicked, row.button);
        EXPECT_EQ(row.restores ? clicked : doubleClicked, std::nullopt);
        EXPECT_EQ(f.log, (row.restores ? Log{"OnRestore", "owner show"} : Log{}));
        if (row.button) {
            EXPECT_EQ(shift, ShiftFlag::Ctrl | row.held);
        }
    }
}

}  // namespace
}  // namespace corvalo::tray
