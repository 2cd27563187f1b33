#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ini_storage.h"
#include "platform/ini_text.h"

namespace corvalo::platform {

// One INI file: read once when made, changed key by key in memory, written whole
// by save(). Keys and values follow IniText's rules.
class IniFile {
  public:
    // A missing file reads as empty; so does one that cannot be read, which save()
    // then refuses to overwrite.
    IniFile(IniStorage& storage, std::string path);

    const std::string& path() const { return path_; }
    const IniText& text() const { return text_; }

    // The value of `key`, or `def` when the file, section or key is missing.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // The value read as parseIniInt does, or `def` when it is missing or not a number.
    std::int32_t readInt(std::string_view section, std::string_view key, std::int32_t def) const;

    // Sets one value in memory (see IniText::set); save() puts it in the file.
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    // Writes every change since the last save in one replacement of the file, or
    // nothing when no value changed. False when the file could not be read or the
    // write was refused; the file then keeps its old text.
    [[nodiscard]] bool save();

  private:
    IniStorage& storage_;
    std::string path_;
    IniText text_;
    bool readable_ = true;
    bool changed_ = false;
};

}  // namespace corvalo::platform
