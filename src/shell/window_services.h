#pragma once

#include <functional>
#include <memory>
#include <string>

#include "net/host_resolver.h"
#include "net/message_pump.h"
#include "net/version_check.h"
#include "platform/clipboard.h"
#include "platform/clipboard_watch.h"
#include "platform/dialogs.h"
#include "platform/font_chooser.h"
#include "platform/help_engine.h"
#include "platform/locale_separators.h"
#include "shell/settings.h"
#include "tray/notification_area.h"

class QWidget;

namespace corvalo::shell {

// The settings file as the window uses it: read once at the first showing,
// written once at close (a refused write throws and keeps the window open).
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual void load(const SettingsTargets& targets) = 0;
    virtual void save(const SettingsTargets& targets) = 0;
};

// corvalo.ini in the process's current directory, looked up at each call.
class IniSettingsStore final : public SettingsStore {
  public:
    void load(const SettingsTargets& targets) override;
    void save(const SettingsTargets& targets) override;
};

// The tray icon's platform side for one window: the notification area, the
// animation timer, and the window itself as the icon's owner.
struct TrayParts {
    std::unique_ptr<tray::NotificationArea> area;
    std::unique_ptr<tray::TrayTimer> timer;
    std::unique_ptr<tray::TrayOwner> owner;
};
// Failures inside the tray's own callbacks go to `report` (they must not cross Qt's loop).
using TrayErrorReport = std::function<void(const std::string& message)>;
using TrayPartsFactory = std::function<TrayParts(QWidget& window, const TrayErrorReport& report)>;

// The desktop's own: QSystemTrayIcon, QTimer and the window.
TrayParts qtTrayParts(QWidget& window, const TrayErrorReport& report);

// Everything the main window needs from outside, made in main and passed down.
struct WindowServices {
    platform::Clipboard& clipboard;
    platform::Dialogs& dialogs;
    SettingsStore& settings;
    platform::LocaleSeparators separators;
    net::MessagePump& pump;  // runs the window's events while the version check waits
    const net::Clock& clock;
    platform::FontChooser& fonts;  // Options > Fonts
    platform::HelpEngine& help;    // F1
    std::string programFolder;     // where CORVALO.HLP lies
    TrayPartsFactory trayParts{};  // none: qtTrayParts
    // Options > Watch Clipboard and Watch Selection; none: the desktop's (QtClipboardWatch).
    std::function<std::unique_ptr<platform::ClipboardWatch>()> clipboardWatch{};
    net::VersionCheckConfig versionCheck{};  // hosts, program name, time limits
    net::HostResolver::Options resolver{};
    // Qt draws on Wayland itself: the window cannot place itself, read its place or stay on top.
    bool nativeWayland = false;
};

}  // namespace corvalo::shell
