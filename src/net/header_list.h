#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvalo::net {

// The request's header lines: a plain list of strings.
class TExStringList {
  public:
    std::size_t Count() const { return lines_.size(); }
    const std::string& operator[](std::size_t index) const { return lines_[index]; }
    std::string& operator[](std::size_t index) { return lines_[index]; }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Delete(std::size_t index);
    void Clear() { lines_.clear(); }
    // Every line followed by CR LF: {"a", "b"} -> "a\r\nb\r\n".
    std::string Text() const;

  private:
    std::vector<std::string> lines_;
};

// Optional request header values; empty ones send no line.
struct THeaderInfo {
    std::string LocalMailAddress;
    std::string LocalProgram;
    std::string Cookie;
    std::string Referer;
    std::string UserId;
    std::string Password;
};

// Index of the first line whose text before its first ':' equals `name`, ignoring
// case ("host: x" matches "Host"); lines without ':' never match. -1 when none.
int FindHeader(const TExStringList& list, std::string_view name);

// Sets "name: value" in place of the found line, or appends it; an empty value
// deletes the found line.
void SetHeaderValue(TExStringList& list, std::string_view name, std::string_view value);

}  // namespace corvalo::net
