#include "shell/window_services.h"

#include "platform/qt/qt_notification_area.h"
#include "platform/qt/tray_owner_filter.h"

namespace corvalo::shell {

void IniSettingsStore::Load(const SettingsTargets& targets) {
    LoadSettings(SettingsFileName(), targets);
}

void IniSettingsStore::Save(const SettingsTargets& targets) {
    SaveSettings(SettingsFileName(), targets);
}

TrayParts QtTrayParts(QWidget& window, const TrayErrorReport& report) {
    auto area = std::make_unique<platform::QtNotificationArea>();
    area->setErrorReporter(report);
    TrayParts parts;
    parts.area = std::move(area);
    parts.timer = std::make_unique<platform::QtTrayTimer>(report);
    parts.owner = std::make_unique<platform::QtTrayOwner>(window);
    return parts;
}

}  // namespace corvalo::shell
