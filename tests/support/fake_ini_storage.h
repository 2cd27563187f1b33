#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/ini_storage.h"

namespace corvalo::testing {

// Keeps INI files in memory; replace() is refused once `failAt` replacements
// succeeded, and a path in `readResults` reads as given there (Failed, say).
class FakeIniStorage final : public platform::IniStorage {
  public:
    std::map<std::string, std::string> files;
    std::map<std::string, ReadResult> readResults;
    int replacements = 0;
    int failAt = -1;

    ReadResult read(const std::string& path, std::string& bytes) override {
        bytes.clear();
        if (auto r = readResults.find(path); r != readResults.end()) return r->second;
        const auto it = files.find(path);
        if (it == files.end()) return ReadResult::Missing;
        bytes = it->second;
        return ReadResult::Ok;
    }
    bool replace(const std::string& path, std::string_view bytes) override {
        if (replacements == failAt) return false;
        ++replacements;
        files[path] = std::string(bytes);
        return true;
    }
};

}  // namespace corvalo::testing
