#include "shell/window_services.h"

namespace corvalo::shell {

void IniSettingsStore::Load(const SettingsTargets& targets) {
    LoadSettings(SettingsFileName(), targets);
}

void IniSettingsStore::Save(const SettingsTargets& targets) {
    SaveSettings(SettingsFileName(), targets);
}

}  // namespace corvalo::shell
