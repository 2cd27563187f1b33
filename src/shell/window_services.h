#pragma once

#include "net/host_resolver.h"
#include "net/message_pump.h"
#include "net/version_check.h"
#include "platform/locale_separators.h"
#include "platform/qt/clipboard.h"
#include "platform/qt/dialogs.h"
#include "shell/settings.h"

namespace corvalo::shell {

// The settings file as the window uses it: read once at the first showing,
// written once at close (a refused write throws and keeps the window open).
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void Load(const SettingsTargets& targets) = 0;
    virtual void Save(const SettingsTargets& targets) = 0;
};

// corvalo.ini in the process's current directory, looked up at each call.
class IniSettingsStore final : public SettingsStore {
public:
    void Load(const SettingsTargets& targets) override;
    void Save(const SettingsTargets& targets) override;
};

// Everything the main window needs from outside, made in main and passed down.
struct WindowServices {
    platform::Clipboard& clipboard;
    platform::Dialogs& dialogs;
    SettingsStore& settings;
    platform::LocaleSeparators separators;
    net::MessagePump& pump;  // runs the window's events while the version check waits
    const net::Clock& clock;
    net::VersionCheckConfig versionCheck{};  // hosts, program name, time limits
    net::HostResolver::Options resolver{};
};

}  // namespace corvalo::shell
