#include "shell/settings.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/error.h"
#include "platform/ini_file.h"

namespace corvalo::shell {

namespace {

using platform::Profile;
using platform::ProfileStorage;

constexpr std::string_view kFileName = "corvalo.ini";

class Reader {
public:
    explicit Reader(const Profile& ini) : ini_(ini) {}

    // Missing, empty or not a number: the default.
    std::int32_t integer(std::string_view section, std::string_view key, std::int32_t def) const {
        return platform::parseProfileInt(ini_.get(section, key, "")).value_or(def);
    }
    // Only 1 is on; 2 is off.
    bool exactOne(std::string_view section, std::string_view key, std::int32_t def) const {
        return integer(section, key, def) == 1;
    }
    std::string string(std::string_view section, std::string_view key,
                       std::string_view def) const {
        return ini_.get(section, key, def);
    }

private:
    const Profile& ini_;
};

// Colour first back to black, then size, face and colour; bold and italic are only added.
void loadFont(const Reader& r, const std::string& prefix, std::string_view defaultName,
              platform::FontSpec& font) {
    font.color = 0;
    font.size = r.integer("Fonts", prefix + "Size", 10);
    font.name = r.string("Fonts", prefix + "Name", defaultName);
    font.color = r.integer("Fonts", prefix + "Color", 0);
    if (r.exactOne("Fonts", prefix + "Bold", 0)) font.bold = true;
    if (r.exactOne("Fonts", prefix + "Italic", 0)) font.italic = true;
}

class Writer {
public:
    Writer(ProfileStorage& storage, const std::string& file) : storage_(storage), file_(file) {
        std::string bytes;
        readable_ = storage_.read(file_, bytes) != ProfileStorage::ReadResult::Failed;
        ini_ = Profile(std::move(bytes));
    }

    // Stops the save at this key when the file system refuses it.
    void string(std::string_view section, std::string_view key, std::string_view value) {
        if (!readable_) fail();
        if (!ini_.set(section, key, value)) return;
        if (!storage_.replace(file_, ini_.text())) fail();
    }
    void integer(std::string_view section, std::string_view key, std::int32_t value) {
        string(section, key, std::to_string(value));
    }
    void flag(std::string_view section, std::string_view key, bool value) {
        string(section, key, value ? "1" : "0");
    }

private:
    [[noreturn]] void fail() const { throw Error("Unable to write to " + file_); }

    ProfileStorage& storage_;
    const std::string& file_;
    Profile ini_;
    bool readable_ = true;
};

void saveFont(Writer& w, const std::string& prefix, const platform::FontSpec& font) {
    w.integer("Fonts", prefix + "Size", font.size);
    w.string("Fonts", prefix + "Name", font.name);
    w.integer("Fonts", prefix + "Color", font.color);
    w.flag("Fonts", prefix + "Bold", font.bold);
    w.flag("Fonts", prefix + "Italic", font.italic);
}

}  // namespace

std::string settingsFileName(const std::string& currentDirectory) {
    // A current folder that is gone leaves a path relative to wherever we are.
    if (currentDirectory.empty()) return std::string(kFileName);
    std::string name = currentDirectory;
    if (name.back() != '/') name += '/';
    name += kFileName;
    return name;
}

std::string settingsFileName() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return settingsFileName(ec ? std::string() : cwd.string());
}

void loadSettings(const std::string& file, const SettingsTargets& t, ProfileStorage& storage) {
    std::string bytes;
    if (storage.read(file, bytes) != ProfileStorage::ReadResult::Ok) bytes.clear();
    const Profile ini(std::move(bytes));
    const Reader r(ini);

    t.calc.setResultDecimals(r.integer("Show", "ResultDecimalFormat", 2));
    t.calc.tabulationStyle =
        clipcalc::tabulationStyleFromSetting(r.integer("Show", "TabulationStyle", 0));
    t.shell.stayOnTop = r.integer("Show", "StayOnTop", 0) != 0;

    loadFont(r, "MainText", "MS Sans Serif", t.mainFont);
    loadFont(r, "GridText", "Courier New", t.gridFont);
    t.calculatorFont.bold = true;  // its own style, which loading never takes away
    loadFont(r, "CalculatorText", "Courier New", t.calculatorFont);

    t.left = r.integer("Form", "Left", 520);
    t.top = r.integer("Form", "Top", 240);
    t.shell.expandedHeight = r.integer("Form", "ExpandedHeight", 456);
    t.shell.expandedWidth = r.integer("Form", "ExpandedWidth", 494);
    t.shell.collapsedWidth = r.integer("Form", "CollapsedWidth", 494);
    t.shell.calculatorHeight = r.integer("Calculator", "Height", 400);
    t.shell.calculatorWidth = r.integer("Calculator", "Width", 440);
    t.shell.calculatorDefaultStartup = r.exactOne("Form", "Calculator Default Startup", 0);
    t.shell.proxy = r.string("Internet", "Proxy", "");
    t.shell.proxyPort = r.string("Internet", "ProxyPort", "");
    t.calc.ignoreFirstRowWhenEmpty =
        clipcalc::ignoreFirstRowWhenEmptyFromSetting(r.integer("Show", "IgnoreFirstRowWhenEmpty", 1));
}

void loadSettings(const std::string& file, const SettingsTargets& t) {
    platform::DiskProfileStorage disk;
    loadSettings(file, t, disk);
}

// The start page, the proxy and ignoreFirstRowWhenEmpty are the user's to edit: never written.
void saveSettings(const std::string& file, const SettingsTargets& t, ProfileStorage& storage) {
    Writer w(storage, file);
    w.integer("Show", "ResultDecimalFormat", t.calc.resultDecimals());
    w.integer("Show", "TabulationStyle", clipcalc::tabulationStyleToSetting(t.calc.tabulationStyle));
    w.flag("Show", "StayOnTop", t.shell.stayOnTop);

    saveFont(w, "MainText", t.mainFont);
    saveFont(w, "GridText", t.gridFont);
    saveFont(w, "CalculatorText", t.calculatorFont);

    w.integer("Form", "Left", t.left);
    w.integer("Form", "Top", t.top);
    w.integer("Form", "ExpandedHeight", t.shell.expandedHeight);
    w.integer("Form", "ExpandedWidth", t.shell.expandedWidth);
    w.integer("Form", "CollapsedWidth", t.shell.collapsedWidth);
    w.integer("Calculator", "Height", t.shell.calculatorHeight);
    w.integer("Calculator", "Width", t.shell.calculatorWidth);
}

void saveSettings(const std::string& file, const SettingsTargets& t) {
    platform::DiskProfileStorage disk;
    saveSettings(file, t, disk);
}

}  // namespace corvalo::shell
