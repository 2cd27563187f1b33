#include "shell/settings.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "platform/error.h"
#include "platform/profile.h"

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
        return platform::ParseProfileInt(ini_.get(section, key, "")).value_or(def);
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
              FontSettings& font) {
    font.Color = 0;
    font.Size = r.integer("Fonts", prefix + "Size", 10);
    font.Name = r.string("Fonts", prefix + "Name", defaultName);
    font.Color = r.integer("Fonts", prefix + "Color", 0);
    if (r.exactOne("Fonts", prefix + "Bold", 0)) font.Bold = true;
    if (r.exactOne("Fonts", prefix + "Italic", 0)) font.Italic = true;
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

void saveFont(Writer& w, const std::string& prefix, const FontSettings& font) {
    w.integer("Fonts", prefix + "Size", font.Size);
    w.string("Fonts", prefix + "Name", font.Name);
    w.integer("Fonts", prefix + "Color", font.Color);
    w.flag("Fonts", prefix + "Bold", font.Bold);
    w.flag("Fonts", prefix + "Italic", font.Italic);
}

}  // namespace

std::string SettingsFileName(const std::string& currentDirectory) {
    // A current folder that is gone leaves a path relative to wherever we are.
    if (currentDirectory.empty()) return std::string(kFileName);
    std::string name = currentDirectory;
    if (name.back() != '/') name += '/';
    name += kFileName;
    return name;
}

std::string SettingsFileName() {
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    return SettingsFileName(ec ? std::string() : cwd.string());
}

void LoadSettings(const std::string& file, const SettingsTargets& t, ProfileStorage& storage) {
    std::string bytes;
    if (storage.read(file, bytes) != ProfileStorage::ReadResult::Ok) bytes.clear();
    const Profile ini(std::move(bytes));
    const Reader r(ini);

    t.Calc.SetResultDecimals(r.integer("Show", "ResultDecimalFormat", 2));
    t.Calc.TabulationStyle =
        calc::TabulationStyleFromSetting(r.integer("Show", "TabulationStyle", 0));
    t.Shell.StayOnTop = r.integer("Show", "StayOnTop", 0) != 0;

    loadFont(r, "MainText", "MS Sans Serif", t.MainFont);
    loadFont(r, "GridText", "Courier New", t.GridFont);
    t.CalculatorFont.Bold = true;  // its own style, which loading never takes away
    loadFont(r, "CalculatorText", "Courier New", t.CalculatorFont);

    t.Left = r.integer("Form", "Left", 520);
    t.Top = r.integer("Form", "Top", 240);
    t.Shell.ExpandedHeight = r.integer("Form", "ExpandedHeight", 456);
    t.Shell.ExpandedWidth = r.integer("Form", "ExpandedWidth", 494);
    t.Shell.CollapsedWidth = r.integer("Form", "CollapsedWidth", 494);
    t.Shell.CalculatorHeight = r.integer("Calculator", "Height", 400);
    t.Shell.CalculatorWidth = r.integer("Calculator", "Width", 440);
    t.Shell.CalculatorDefaultStartup = r.exactOne("Form", "Calculator Default Startup", 0);
    t.Shell.Proxy = r.string("Internet", "Proxy", "");
    t.Shell.ProxyPort = r.string("Internet", "ProxyPort", "");
    t.Calc.IgnoreFirstRowWhenEmpty =
        calc::IgnoreFirstRowWhenEmptyFromSetting(r.integer("Show", "IgnoreFirstRowWhenEmpty", 1));
}

void LoadSettings(const std::string& file, const SettingsTargets& t) {
    platform::DiskProfileStorage disk;
    LoadSettings(file, t, disk);
}

// The start page, the proxy and IgnoreFirstRowWhenEmpty are the user's to edit: never written.
void SaveSettings(const std::string& file, const SettingsTargets& t, ProfileStorage& storage) {
    Writer w(storage, file);
    w.integer("Show", "ResultDecimalFormat", t.Calc.ResultDecimals());
    w.integer("Show", "TabulationStyle", calc::TabulationStyleToSetting(t.Calc.TabulationStyle));
    w.flag("Show", "StayOnTop", t.Shell.StayOnTop);

    saveFont(w, "MainText", t.MainFont);
    saveFont(w, "GridText", t.GridFont);
    saveFont(w, "CalculatorText", t.CalculatorFont);

    w.integer("Form", "Left", t.Left);
    w.integer("Form", "Top", t.Top);
    w.integer("Form", "ExpandedHeight", t.Shell.ExpandedHeight);
    w.integer("Form", "ExpandedWidth", t.Shell.ExpandedWidth);
    w.integer("Form", "CollapsedWidth", t.Shell.CollapsedWidth);
    w.integer("Calculator", "Height", t.Shell.CalculatorHeight);
    w.integer("Calculator", "Width", t.Shell.CalculatorWidth);
}

void SaveSettings(const std::string& file, const SettingsTargets& t) {
    platform::DiskProfileStorage disk;
    SaveSettings(file, t, disk);
}

}  // namespace corvalo::shell
