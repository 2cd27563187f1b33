#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace corvalo::testing {

// A fresh directory under the system's temporary folder, removed with its contents
// when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// Writes `bytes` to `file` exactly (binary), replacing it.
void writeFile(const std::filesystem::path& file, const std::string& bytes);
std::string readFile(const std::filesystem::path& file);
// The names of the entries in `folder`, sorted.
std::vector<std::string> fileNames(const std::filesystem::path& folder);

}  // namespace corvalo::testing
