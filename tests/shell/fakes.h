#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QPoint>
#include <QWidget>

#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/error.h"
#include "platform/font_chooser.h"
#include "platform/help_engine.h"
#include "shell/window_services.h"
#include "tray/notification_area.h"

namespace corvalo::testing {

// A clipboard in memory that counts its writes.
class FakeClipboard final : public platform::Clipboard {
  public:
    std::optional<std::string> contents;
    int writes = 0;

    std::optional<std::string> text() override { return contents; }
    void setText(const std::string& utf8) override {
        contents = utf8;
        ++writes;
    }
};

// Records every box instead of showing it.
class RecordingDialogs final : public platform::Dialogs {
  public:
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    int beeps = 0;
    std::optional<std::string> saveAnswer;  // the save dialog's answer; nothing: Cancel
    std::vector<std::string> saveAsked;     // "caption|suggested name" of each save dialog

    void showMessage(const std::string& text) override { messages.push_back(text); }
    void showErrorReport(const std::string& message) override { errors.push_back(message); }
    void beep() override { ++beeps; }
    std::optional<std::string> askSaveFileName(const std::string& caption,
                                               const std::string& suggested) override {
        saveAsked.push_back(caption + "|" + suggested);
        return saveAnswer;
    }
};

// Settings kept in memory: `onLoad` plays the file's content, `refuse` a write
// that the file system refuses.
class FakeSettingsStore final : public shell::SettingsStore {
  public:
    std::function<void(const shell::SettingsTargets&)> onLoad;
    bool refuse = false;
    int loads = 0;
    int saves = 0;
    shell::ShellSettings saved;
    QPoint savedPlace{-1, -1};

    void load(const shell::SettingsTargets& t) override {
        ++loads;
        if (onLoad) onLoad(t);
    }
    void save(const shell::SettingsTargets& t) override {
        if (refuse) throw Error("Unable to write to /nowhere/corvalo.ini");
        ++saves;
        saved = t.shell;
        savedPlace = {t.left, t.top};
    }
};

// The font dialog: `apply` plays presses of Apply, `answer` OK (a font) or Cancel.
class FakeFontChooser final : public platform::FontChooser {
  public:
    std::vector<platform::FontSpec> apply;
    std::optional<platform::FontSpec> answer;
    std::vector<platform::FontSpec> offered;  // the font each run started from

    std::optional<platform::FontSpec> choose(const platform::FontSpec& initial,
                                             const ApplyHandler& onApply) override {
        offered.push_back(initial);
        for (const auto& font : apply) onApply(font);
        return answer;
    }
};

// Records what the help engine was asked to show; `contentsWorks` plays a help
// window that could not open the file.
class FakeHelpEngine final : public platform::HelpEngine {
  public:
    std::vector<std::string> calls;
    bool contentsWorks = true;
    bool showContents(const std::string& file) override {
        calls.push_back("contents " + file);
        return contentsWorks;
    }
    bool showTopic(const std::string& file, const std::string& topic) override {
        calls.push_back("topic " + topic + " " + file);
        return true;
    }
};

// A notification area that takes the icon unless `refuseAdd`; `choose` plays the user.
class FakeNotificationArea final : public tray::NotificationArea {
  public:
    bool refuseAdd = false;
    const tray::TrayMenu* menu = nullptr;

    bool available() const override { return true; }
    bool add(const tray::NotifyIconData&) override { return !refuseAdd; }
    bool modify(const tray::NotifyIconData&) override { return true; }
    bool remove(const tray::NotifyIconData&) override { return true; }
    void setMenu(const tray::TrayMenu* m) override { menu = m; }
    tray::IconHandle applicationIcon() const override { return tray::kNoIcon; }
    tray::IconHandle standardIcon() const override { return 7; }
    void setListener(tray::NotificationListener*) override {}

    // The user picks an item of the icon's menu by its caption.
    void choose(const std::string& caption) const {
        for (const auto& item : menu->items) {
            if (item.caption == caption) item.onClick();
        }
    }
};

// The animation timer, never ticking by itself.
class FakeTrayTimer final : public tray::TrayTimer {
  public:
    bool on = false;
    void start(std::int32_t, std::function<void()>) override { on = true; }
    void stop() override { on = false; }
    void setInterval(std::int32_t) override {}
    bool running() const override { return on; }
};

// The window as the icon's owner, except that ending the loop is only counted.
class FakeTrayOwner final : public tray::TrayOwner {
  public:
    FakeTrayOwner(QWidget& window, int& loopEnds) : window_(window), loopEnds_(loopEnds) {}
    bool isMinimized() const override { return window_.isMinimized(); }
    bool isVisible() const override { return window_.isVisible(); }
    void setNormalState() override {
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
    }
    void hide() override { window_.hide(); }
    void showAndActivate() override { window_.show(); }
    void minimize() override { window_.showMinimized(); }
    void endMessageLoop() override { ++loopEnds_; }

  private:
    QWidget& window_;
    int& loopEnds_;
};

}  // namespace corvalo::testing
