#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/qt/clipboard.h"
#include "platform/qt/dialogs.h"
#include "shell/window_services.h"

namespace corvalo::testing {

// A clipboard in memory; `held` plays another program holding it open.
class FakeClipboard final : public platform::Clipboard {
public:
    std::optional<std::string> text;
    bool held = false;
    int writes = 0;

    std::optional<std::string> Text() override {
        if (held) throw Error("Cannot open clipboard");
        return text;
    }
    void SetText(const std::string& utf8) override {
        if (held) throw Error("Cannot open clipboard");
        text = utf8;
        ++writes;
    }
};

// Records every box instead of showing it.
class RecordingDialogs final : public platform::Dialogs {
public:
    std::vector<std::string> messages;
    std::vector<std::string> errors;
    int beeps = 0;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowErrorReport(const std::string& message) override { errors.push_back(message); }
    void Beep() override { ++beeps; }
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

    void Load(const shell::SettingsTargets& t) override {
        ++loads;
        if (onLoad) onLoad(t);
    }
    void Save(const shell::SettingsTargets& t) override {
        if (refuse) throw Error("Unable to write to /nowhere/corvalo.ini");
        ++saves;
        saved = t.Shell;
    }
};

}  // namespace corvalo::testing
