// The tray icon through fakes of its seams that log, in order, what reaches them.
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

namespace corvalo::tray {
namespace {

constexpr IconHandle kAppIcon = 100;

// Everything the icon works through, in one fake that logs, in order, what reaches it:
// the notification area, the animation timer, the owner window and three images (11-13).
struct FakeDesk final : NotificationArea, TrayTimer, TrayOwner, TrayImageList {
    std::string log;
    bool present = true, refuseAdd = false, refuseModify = false;
    bool ticking = false, minimized = false;
    IconHandle appIcon = kAppIcon;
    const TrayMenu* menu = nullptr;
    TrayMenu other{{{"&Other", [] {}}}};
    NotificationListener* listener = nullptr;
    std::function<void()> onTick;
    std::optional<TrayIcon> tray;

    FakeDesk() { create(); }
    void create() {
        tray.emplace(TrayIconServices{*this, *this, *this});
        tray->setOnRestore([this](TrayIcon&) { say("OnRestore"); });
        tray->setOnMinimize([this](TrayIcon&) { say("OnMinimize"); });
    }
    bool say(const std::string& what, bool value = true) {
        log += (log.empty() ? "" : ", ") + what;
        return value;
    }
    // "add" with the application's icon and no tip, else "add 12 'tip'", "notip" without the flag.
    bool send(std::string op, const NotifyIconData& d) {
        EXPECT_TRUE(d.flags.has(NotifyFlag::Message) && d.flags.has(NotifyFlag::Icon));
        if (d.icon != kAppIcon) op += " " + std::to_string(d.icon);
        if (!d.tip.empty()) op += " '" + d.tip + "'";
        return say(d.flags.has(NotifyFlag::Tip) ? op : op + " notip");
    }

    bool available() const override { return present; }
    bool add(const NotifyIconData& d) override { return send("add", d) && !refuseAdd; }
    bool modify(const NotifyIconData& d) override { return send("modify", d) && !refuseModify; }
    bool remove(const NotifyIconData& d) override { return send("delete", d); }
    void setMenu(const TrayMenu* m) override { menu = m; }
    IconHandle applicationIcon() const override { return appIcon; }
    IconHandle standardIcon() const override { return 200; }
    void setListener(NotificationListener* l) override { listener = l; }

    void start(std::int32_t ms, std::function<void()> tick) override {
        onTick = std::move(tick);
        ticking = say("timer " + std::to_string(ms));
    }
    void stop() override {
        if (ticking) ticking = say("timer stop", false);
    }
    void setInterval(std::int32_t ms) override { say("interval " + std::to_string(ms)); }
    bool running() const override { return ticking; }

    bool isMinimized() const override { return minimized; }
    bool isVisible() const override { return true; }
    void setNormalState() override { minimized = say("owner normal", false); }
    void hide() override { say("owner hide"); }
    void showAndActivate() override { say("owner show"); }
    void minimize() override { minimized = say("owner minimize"); }
    void endMessageLoop() override { say("loop ended"); }
    // A click names its button, which counts as held beside the Ctrl that every step holds.
    void clicked(const char* what, MouseButton button, ShiftState held) {
        const auto i = static_cast<std::size_t>(button);
        const std::array flags = {ShiftFlag::Left, ShiftFlag::Right, ShiftFlag::Middle};
        EXPECT_EQ(held, ShiftFlag::Ctrl | flags.at(i));
        say(what + std::string(std::array{" Left", " Right", " Middle"}.at(i)));
    }

    int count() const override { return 3; }
    IconHandle icon(int index) const override {
        return index >= 0 && index < 3 ? 11 + static_cast<IconHandle>(index) : kNoIcon;
    }
};

// The steps of the scenarios below; "name:7" passes 7.
void step(FakeDesk& f, const std::string& name, int n) {
    TrayIcon& tray = *f.tray;
    int known = 0;
    const auto is = [&](const char* step) { return name == step && ++known > 0; };
    if (is("loadAsMain")) {  // as the main window sets it up
        tray.setAnimate(true);
        tray.setCloseToTray(false);
    }
    if (is("load") || name == "loadAsMain") tray.loaded();
    if (is("active")) tray.setActive(n != 0);
    if (is("animate")) tray.setAnimate(n != 0);
    if (is("refuseAdd")) f.refuseAdd = n != 0;
    if (is("refuseModify")) f.refuseModify = true;
    if (is("noAppIcon")) f.appIcon = kNoIcon;
    if (is("icon")) tray.setIcon(static_cast<IconHandle>(n));
    if (is("images")) tray.setImages(&f);
    if (is("forgetImages")) tray.forget(static_cast<TrayImageList*>(&f));
    if (is("imageIndex")) tray.setImageIndex(n);
    if (is("interval")) tray.setInterval(n);
    if (is("tick")) f.onTick();
    if (is("hint")) tray.setHint("Sum " + std::to_string(n));
    if (is("showHint")) tray.setShowHint(n != 0);
    if (is("secondIcon")) TrayIcon second({f, f, f});
    if (is("tray")) f.listener->trayAvailabilityChanged(f.present = n != 0);
    if (is("shrink")) tray.shrinkToTray();
    if (is("minimized")) f.minimized = true;
    if (is("positionChanged")) tray.ownerPositionChanged();
    // In the order of TrayMouseAction, each with Ctrl held.
    const char* mouse[] = {"leftDown",    "leftUp",     "leftDouble", "rightDown",   "rightUp",
                           "rightDouble", "middleDown", "middleUp",   "middleDouble"};
    for (int i = 0; i < 9; ++i) {
        if (is(mouse[i])) f.listener->trayMouseAction(TrayMouseAction(i), ShiftFlag::Ctrl);
    }
    if (is("handlers")) {
        tray.setOnClick(
            [&f](TrayIcon&, MouseButton b, ShiftState s) { f.clicked("click", b, s); });
        tray.setOnDoubleClick(
            [&f](TrayIcon&, MouseButton b, ShiftState s, bool&) { f.clicked("double", b, s); });
    }
    if (is("veto"))
        tray.setOnDoubleClick([](TrayIcon&, MouseButton, ShiftState, bool& r) { r = false; });
    if (is("menu")) {
        std::string m = "menu";
        for (const auto& i : f.menu ? f.menu->items : TrayMenu().items) m += " " + i.caption;
        f.say(m);
    }
    if (is("otherMenu")) tray.setPopupMenu(&f.other);
    if (is("forgetMenu")) tray.forget(&f.other);
    if (is("choose")) f.menu->items.at(static_cast<std::size_t>(n)).onClick();
    if (is("hideOnRestore")) tray.setHideOnRestore(true);
    if (is("minimizeToTray")) tray.setMinimizeToTray(true);
    if (is("sysClose")) f.say(tray.ownerSysCommand(SysCommand::Close) ? "taken" : "goes on");
    if (is("sysMinimize")) f.say(tray.ownerSysCommand(SysCommand::Minimize) ? "taken" : "goes on");
    if (is("destroyAndCreate")) {
        f.tray.reset();
        if (f.listener != nullptr || f.menu != nullptr) f.say("area still bound");
        f.create();
    }
    if (known == 0) throw std::invalid_argument("no step " + name);
}

// What reaches the area, the timer and the owner, in order, from start to end of each scenario.
TEST(TrayIcon, LifeOfTheIconAndItsWindow) {
    const struct {
        const char* name;
        const char* steps;
        const char* expected;
    } rows[] = {
        {"index, then own icon", "images imageIndex:1 load icon:42", "add 12, modify 42"},
        {"past the images, no app icon", "noAppIcon images imageIndex:7 load", "add 200"},
        {"hint as the tip until hidden", "load hint:1 showHint:0 hint:2",
         "add, modify 'Sum 1', modify 'Sum 1' notip"},
        {"animation: frames, interval 0 is 200 ms, stills on the icon",
         "loadAsMain icon:42 images tick tick tick tick interval:0 animate:0 animate:1 "
         "forgetImages",
         "add, modify 42, timer 250, modify 11, modify 12, modify 13, modify 11, interval 200, "
         "timer stop, modify 42, timer 200, timer stop"},
        {"deactivating pauses the animation", "images loadAsMain active:0 active:1",
         "add 11, timer 250, timer stop, modify 11, delete 11, add 11, timer 250"},
        {"refused add, tried again", "refuseAdd:1 load refuseAdd:0 active:1",
         "add, error 119 Error adding tray icon, add"},
        {"refused modify, image index without images, a second icon",
         "load refuseModify icon:7 imageIndex:1 secondIcon",
         "add, modify 7, error 121 Tray icon error, error 135 ImageList is not assigned, "
         "error 133 Cannot have more than one TrayIcon per application"},
        {"destroyed and made again", "load destroyAndCreate load", "add, delete, add"},
        {"shrunk, the tray goes and comes back", "loadAsMain shrink tray:0 tray:1",
         "add, owner hide, delete, OnRestore, owner show, add"},
        {"no tray: shrink minimises", "tray:0 loadAsMain shrink tray:1 shrink",
         "owner minimize, add, owner hide"},
        {"no tray: nothing goes to the tray",
         "tray:0 minimizeToTray load sysMinimize sysClose minimized positionChanged",
         "OnMinimize, goes on, goes on"},
        {"not watched before the first add", "active:0 load sysClose minimized positionChanged",
         "goes on"},
        {"a minimised start goes to the tray",
         "loadAsMain minimized positionChanged leftDouble positionChanged",
         "add, owner hide, OnRestore, owner normal, owner show"},
        {"own menu until replaced or gone", "menu otherMenu menu forgetMenu menu",
         "menu &Close &Restore, menu &Other, menu"},
        {"menu Restore of a minimised window, hiding on restore, then Close",
         "loadAsMain hideOnRestore minimized choose:1 choose:0",
         "add, OnRestore, owner normal, owner show, delete, loop ended"},
        {"clicks; double-clicks restore",
         "handlers loadAsMain leftDown middleDown rightDown leftDouble rightDouble middleDouble",
         "add, click Left, click Middle, double Left, OnRestore, owner show, double Right, "
         "OnRestore, owner show, double Middle, OnRestore, owner show"},
        {"main window: close goes on; a handler clearing RestoreApp keeps it",
         "veto loadAsMain middleDouble sysClose", "add, goes on"},
        {"close to the tray, inactive", "load active:0 sysClose", "add, delete, goes on"},
        {"minimise and close to the tray", "minimizeToTray load sysMinimize sysClose",
         "add, OnMinimize, owner hide, taken, owner hide, taken"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeDesk f;
        std::istringstream steps(row.steps);
        for (std::string word; steps >> word;) {
            const auto colon = word.find(':');
            const int arg = colon == std::string::npos ? 0 : std::stoi(word.substr(colon + 1));
            try {
                step(f, word.substr(0, colon), arg);
            } catch (const TrayIconError& e) {
                f.say("error " + std::to_string(e.number()) + " " + e.what());
            }
        }
        EXPECT_EQ(f.log, row.expected);
    }
}

TEST(TrayTipText, TheFirst63CharactersOfTheHint) {
    std::string accents;
    for (int i = 0; i < 100; ++i) accents += "\u00E9";  // two bytes each
    EXPECT_EQ(trayTipText(std::string(100, 'x')), std::string(63, 'x'));
    EXPECT_EQ(trayTipText(std::string(63, 'y')), std::string(63, 'y'));
    EXPECT_EQ(trayTipText(accents), accents.substr(0, 126));
}

}  // namespace
}  // namespace corvalo::tray
