#include "shell/window_services.h"

#include "tray/qt/qt_notification_area.h"
#include "tray/qt/tray_owner_filter.h"

namespace corvalo::shell {

void IniSettingsStore::load(const SettingsTargets& targets) {
    loadSettings(settingsFileName(), targets);
}

void IniSettingsStore::save(const SettingsTargets& targets) {
    saveSettings(settingsFileName(), targets);
}

TrayParts qtTrayParts(QWidget& window, const TrayErrorReport& report) {
    auto area = std::make_unique<tray::QtNotificationArea>();
    area->setErrorReporter(report);
    TrayParts parts;
    parts.area = std::move(area);
    parts.timer = std::make_unique<tray::QtTrayTimer>(report);
    parts.owner = std::make_unique<tray::QtTrayOwner>(window);
    return parts;
}

}  // namespace corvalo::shell
