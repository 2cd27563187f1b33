#include "platform/ini_file.h"

#include <utility>

namespace corvalo::platform {

IniFile::IniFile(IniStorage& storage, std::string path)
    : storage_(storage), path_(std::move(path)) {
    std::string bytes;
    const IniStorage::ReadResult result = storage_.read(path_, bytes);
    // A file that exists but cannot be read must never be overwritten with our keys alone.
    readable_ = result != IniStorage::ReadResult::Failed;
    if (result == IniStorage::ReadResult::Ok) text_ = IniText(std::move(bytes));
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    return text_.get(section, key, def);
}

std::int32_t IniFile::readInt(std::string_view section, std::string_view key,
                              std::int32_t def) const {
    return parseIniInt(text_.get(section, key, "")).value_or(def);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    if (text_.set(section, key, value)) changed_ = true;
}

bool IniFile::save() {
    if (!readable_) return false;
    if (!changed_) return true;
    if (!storage_.replace(path_, text_.text())) return false;
    changed_ = false;
    return true;
}

}  // namespace corvalo::platform
