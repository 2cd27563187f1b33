#pragma once

// Fakes of the tray icon's seams that log what happens, in order, and the icon over them.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tray/tray_icon.h"

namespace corvalo::tray {

inline constexpr IconHandle kAppIcon = 100;
inline constexpr IconHandle kStandardIcon = 200;

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
    void mouse(TrayMouseAction action, ShiftState mods = {}) {
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
        tray->setOnRestore([this](TrayIcon&) { log.push_back("OnRestore"); });
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

}  // namespace corvalo::tray
