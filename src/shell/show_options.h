#pragma once

#include <memory>

#include "clipcalc/calc_state.h"
#include "platform/clipboard_watch.h"
#include "shell/settings.h"
#include "shell/window_services.h"

namespace corvalo::deskcalc {
class DeskCalculatorWidget;
}
namespace corvalo::tray {
class TrayIcon;
}

namespace corvalo::shell {

class ClipboardWatcher;
class GridPage;
class MainMenu;
class WindowSizer;

// The paper tape's items (Show, Copy, Save) and the clipboard watches: their check
// marks, the settings they keep, and the watcher that calculates each offered text.
class ShowOptions final {
  public:
    ShowOptions(const WindowServices& services, MainMenu& menu,
                deskcalc::DeskCalculatorWidget& calculator, GridPage& gridPage, WindowSizer& sizer,
                tray::TrayIcon& trayIcon, ShellSettings& shell, const clipcalc::CalcState& calc);
    ~ShowOptions();
    ShowOptions(const ShowOptions&) = delete;
    ShowOptions& operator=(const ShowOptions&) = delete;

    // The tape and the watches as the settings file left them.
    void apply();
    void toggleShowTape();
    void copyTape();
    void saveTape();
    void toggleWatch(platform::WatchedText which);

  private:
    void watchAsSet(platform::WatchedText which, bool on);
    bool& watchSetting(platform::WatchedText which);

    const WindowServices& services_;
    MainMenu& menu_;
    deskcalc::DeskCalculatorWidget& calculator_;
    ShellSettings& shell_;
    std::unique_ptr<ClipboardWatcher> watcher_;
};

}  // namespace corvalo::shell
