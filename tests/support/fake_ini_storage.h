#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/ini_storage.h"

namespace corvalo::testing {

// Keeps INI files in memory, counting the replacements; a path in `readResults` reads as
// given there (Failed, say).
struct FakeIniStorage final : platform::IniStorage {
    std::map<std::string, std::string> files;
    std::map<std::string, ReadResult> readResults;
    int replacements = 0;

    ReadResult read(const std::string& path, std::string& bytes) override {
        const auto it = files.find(path);
        bytes = it != files.end() && !readResults.contains(path) ? it->second : "";
        if (readResults.contains(path)) return readResults[path];
        return it != files.end() ? ReadResult::Ok : ReadResult::Missing;
    }
    bool replace(const std::string& path, std::string_view bytes) override {
        ++replacements;
        files[path] = std::string(bytes);
        return true;
    }
};

}  // namespace corvalo::testing
