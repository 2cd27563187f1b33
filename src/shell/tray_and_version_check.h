#pragma once

#include <functional>
#include <memory>
#include <string>

#include "net/version_check.h"
#include "shell/window_services.h"
#include "tray/tray_icon.h"

class QWidget;

namespace corvalo::tray {
class TrayOwnerFilter;
}

namespace corvalo::shell {

// What the main window runs beside its pages: the icon in the notification area
// and Help > Check for latest version, whose messages go to the window's boxes.
class TrayAndVersionCheck final : private net::VersionMessageSink {
  public:
    // `onRestored` runs when the icon brings the window back, before it shows.
    TrayAndVersionCheck(QWidget& window, const WindowServices& services,
                        std::function<void()> onRestored);
    ~TrayAndVersionCheck() override;
    TrayAndVersionCheck(const TrayAndVersionCheck&) = delete;
    TrayAndVersionCheck& operator=(const TrayAndVersionCheck&) = delete;

    tray::TrayIcon& trayIcon() { return *trayIcon_; }
    net::VersionCheck& versionCheck() { return *versionCheck_; }

  private:
    void showVersionMessage(const std::string& text) override;

    platform::Dialogs& dialogs_;
    std::unique_ptr<net::VersionCheck> versionCheck_;
    // Made before the icon and destroyed after it; the filter goes first.
    TrayParts trayParts_;
    std::unique_ptr<tray::TrayOwner> trayOwner_;
    std::unique_ptr<tray::TrayIcon> trayIcon_;
    std::unique_ptr<tray::TrayOwnerFilter> trayFilter_;
};

}  // namespace corvalo::shell
