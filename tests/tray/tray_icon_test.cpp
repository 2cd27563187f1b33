// The tray icon through fakes of its seams that log, in order, what reaches them.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
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
    bool present = true;
    bool refuseAdd = false;
    bool refuseModify = false;
    IconHandle appIcon = kAppIcon;
    std::vector<NotifyIconData> sent;  // what each add, modify and delete carried
    const TrayMenu* menu = nullptr;
    NotificationListener* listener = nullptr;
    std::optional<std::int32_t> interval;
    std::function<void()> onTick;
    bool ticking = false;
    bool minimized = false;
    bool visible = true;
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
    void setPresent(bool on) {
        present = on;
        listener->trayAvailabilityChanged(on);
    }
    void mouse(TrayMouseAction action, ShiftState mods = {}) {
        listener->trayMouseAction(action, mods);
    }
    void choose(const std::string& caption) const {
        for (const auto& item : menu->items)
            if (item.caption == caption) return item.onClick();
        throw std::runtime_error("no menu item " + caption);
    }
    bool say(const char* what, bool value = true) {
        log.emplace_back(what);
        return value;
    }

    bool available() const override { return present; }
    bool add(const NotifyIconData& d) override { return send("add", d) && !refuseAdd; }
    bool modify(const NotifyIconData& d) override { return send("modify", d) && !refuseModify; }
    bool remove(const NotifyIconData& d) override { return send("delete", d); }
    void setMenu(const TrayMenu* m) override { menu = m; }
    IconHandle applicationIcon() const override { return appIcon; }
    IconHandle standardIcon() const override { return kStandardIcon; }
    void setListener(NotificationListener* l) override { listener = l; }
    bool send(const char* op, const NotifyIconData& d) {
        sent.push_back(d);
        return say(op);
    }

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
    const NotifyIconData& d = f.sent[0];
    EXPECT_EQ(d.iconId, 2u);
    EXPECT_EQ(d.flags, NotifyFlag::Message | NotifyFlag::Icon | NotifyFlag::Tip);
    EXPECT_EQ(d.callbackMessage, 1791u);
    EXPECT_EQ(d.icon, kAppIcon);
    EXPECT_EQ(d.tip, "");
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

TEST(TrayIcon, TipIsTheFirst63CharactersOfTheHint) {
    const struct {
        const char* name;
        std::string hint;
        std::string tip;
    } rows[] = {
        {"100 ASCII", std::string(100, 'x'), std::string(63, 'x')},
        {"exactly 63", std::string(63, 'y'), std::string(63, 'y')},
        {"short", "Corvalo", "Corvalo"},
        {"100 two-byte characters", repeat("\xC3\xA9", 100), repeat("\xC3\xA9", 63)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDesk f;
        f.tray->loaded();
        f.clearLog();
        f.tray->setHint(row.hint);
        ASSERT_EQ(f.log, Log{"modify"});
        EXPECT_EQ(f.sent[0].tip, row.tip);
    }
}

TEST(TrayIcon, WithoutShowHintTheTipIsNotSentAndHintChangesDoNotModify) {
    FakeDesk f;
    f.tray->loaded();
    f.clearLog();
    f.tray->setShowHint(false);
    f.tray->setHint("ignored while hidden");
    ASSERT_EQ(f.log, Log{"modify"});
    EXPECT_EQ(f.sent[0].flags, NotifyFlag::Message | NotifyFlag::Icon);
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

// The steps of the scenarios below.
struct Step {
    static void load(FakeDesk& f) { f.tray->loaded(); }
    static void loadAsMain(FakeDesk& f) { f.loadAsMainWindow(); }
    static void activate(FakeDesk& f) { f.tray->setActive(true); }
    static void deactivate(FakeDesk& f) { f.tray->setActive(false); }
    static void refuseAdd(FakeDesk& f) { f.refuseAdd = true; }
    static void acceptAdd(FakeDesk& f) { f.refuseAdd = false; }
    static void refuseModify(FakeDesk& f) { f.refuseModify = true; }
    static void setIcon(FakeDesk& f) { f.tray->setIcon(7); }
    static void setImageIndex(FakeDesk& f) { f.tray->setImageIndex(1); }
    static void secondIcon(FakeDesk& f) { TrayIcon second({f, f, f}); }
    static void destroy(FakeDesk& f) {
        f.tray.reset();
        if (f.listener != nullptr || f.menu != nullptr) f.say("area still bound");
    }
    static void create(FakeDesk& f) { f.create(); }
    static void noTray(FakeDesk& f) { f.present = false; }
    static void trayGone(FakeDesk& f) { f.setPresent(false); }
    static void trayBack(FakeDesk& f) { f.setPresent(true); }
    static void shrink(FakeDesk& f) { f.tray->shrinkToTray(); }
    static void minimized(FakeDesk& f) { f.minimized = true; }
    static void positionChanged(FakeDesk& f) { f.tray->ownerPositionChanged(); }
    static void leftDoubleClick(FakeDesk& f) { f.mouse(TrayMouseAction::LeftDoubleClick); }
    static void middleDoubleClick(FakeDesk& f) { f.mouse(TrayMouseAction::MiddleDoubleClick); }
    static void vetoDoubleClick(FakeDesk& f) {
        f.tray->setOnDoubleClick(
            [](TrayIcon&, MouseButton, ShiftState, bool& restoreApp) { restoreApp = false; });
    }
    static void menuClose(FakeDesk& f) { f.choose("&Close"); }
    static void menuRestore(FakeDesk& f) { f.choose("&Restore"); }
    static void hideOnRestore(FakeDesk& f) { f.tray->setHideOnRestore(true); }
    static void minimizeToTray(FakeDesk& f) { f.tray->setMinimizeToTray(true); }
    static void sysClose(FakeDesk& f) {
        f.say(f.tray->ownerSysCommand(SysCommand::Close) ? "taken" : "goes on");
    }
    static void sysMinimize(FakeDesk& f) {
        f.say(f.tray->ownerSysCommand(SysCommand::Minimize) ? "taken" : "goes on");
    }
};

// What reaches the area and the owner, in order, from start to end of each scenario.
TEST(TrayIcon, LifeOfTheIconAndItsWindow) {
    const struct {
        const char* name;
        std::vector<void (*)(FakeDesk&)> steps;
        Log expected;
    } rows[] = {
        {"deactivated and activated",
         {Step::load, Step::deactivate, Step::activate},
         {"add", "delete", "add"}},
        {"refused add, tried again",
         {Step::refuseAdd, Step::load, Step::acceptAdd, Step::activate},
         {"add", "error 119 Error adding tray icon", "add"}},
        {"refused modify",
         {Step::load, Step::refuseModify, Step::setIcon},
         {"add", "modify", "error 121 Tray icon error"}},
        {"second icon",
         {Step::secondIcon},
         {"error 133 Cannot have more than one TrayIcon per application"}},
        {"image index without images",
         {Step::load, Step::setImageIndex},
         {"add", "error 135 ImageList is not assigned"}},
        {"destroyed and made again",
         {Step::load, Step::destroy, Step::create, Step::load},
         {"add", "delete", "add"}},
        {"shrunk, the tray goes and comes back",
         {Step::loadAsMain, Step::shrink, Step::trayGone, Step::trayBack},
         {"add", "owner hide", "delete", "OnRestore", "owner show", "add"}},
        {"no tray: shrink minimises until a tray appears",
         {Step::noTray, Step::loadAsMain, Step::shrink, Step::trayBack, Step::shrink},
         {"owner minimize", "add", "owner hide"}},
        {"no tray: nothing goes to the tray",
         {Step::noTray, Step::minimizeToTray, Step::load, Step::sysMinimize, Step::sysClose,
          Step::minimized, Step::positionChanged},
         {"OnMinimize", "goes on", "goes on"}},
        {"the window is not watched before the first add",
         {Step::deactivate, Step::load, Step::sysClose, Step::minimized, Step::positionChanged},
         {"goes on"}},
        {"a minimised start goes to the tray and comes back normal",
         {Step::loadAsMain, Step::minimized, Step::positionChanged, Step::leftDoubleClick,
          Step::positionChanged},
         {"add", "owner hide", "OnRestore", "owner normal", "owner show"}},
        {"menu Close", {Step::loadAsMain, Step::menuClose}, {"add", "loop ended"}},
        {"menu Restore of a minimised window, hiding on restore",
         {Step::loadAsMain, Step::hideOnRestore, Step::minimized, Step::menuRestore},
         {"add", "OnRestore", "owner normal", "owner show", "delete"}},
        {"double-click handler clearing RestoreApp",
         {Step::vetoDoubleClick, Step::loadAsMain, Step::middleDoubleClick},
         {"add"}},
        {"close of the main window", {Step::loadAsMain, Step::sysClose}, {"add", "goes on"}},
        {"close to the tray", {Step::load, Step::sysClose}, {"add", "owner hide", "taken"}},
        {"close to the tray, inactive",
         {Step::load, Step::deactivate, Step::sysClose},
         {"add", "delete", "goes on"}},
        {"minimise", {Step::load, Step::sysMinimize}, {"add", "OnMinimize", "goes on"}},
        {"minimise to the tray",
         {Step::minimizeToTray, Step::load, Step::sysMinimize},
         {"add", "OnMinimize", "owner hide", "taken"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDesk f;
        for (const auto step : row.steps) {
            try {
                step(f);
            } catch (const TrayIconError& e) {
                f.say(("error " + std::to_string(e.number()) + " " + e.what()).c_str());
            }
        }
        EXPECT_EQ(f.log, row.expected);
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
        f.mouse(row.action, ShiftFlag::Ctrl);
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
