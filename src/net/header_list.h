#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvalo::net {

// The request's header lines: a plain list of strings.
class HeaderLines {
  public:
    std::size_t count() const { return lines_.size(); }
    const std::string& operator[](std::size_t index) const { return lines_[index]; }
    std::string& operator[](std::size_t index) { return lines_[index]; }
    void add(std::string line) { lines_.push_back(std::move(line)); }
    void remove(std::size_t index);
    void clear() { lines_.clear(); }
    // Every line followed by CR LF: {"a", "b"} -> "a\r\nb\r\n".
    std::string text() const;

  private:
    std::vector<std::string> lines_;
};

// Optional request header values; empty ones send no line.
struct RequestHeaders {
    std::string localMailAddress;
    std::string localProgram;
    std::string cookie;
    std::string referer;
    std::string userId;
    std::string password;
};

// Index of the first line whose text before its first ':' equals `name`, ignoring
// case ("host: x" matches "Host"); lines without ':' never match. -1 when none.
int findHeader(const HeaderLines& list, std::string_view name);

// Sets "name: value" in place of the found line, or appends it; an empty value
// deletes the found line.
void setHeaderValue(HeaderLines& list, std::string_view name, std::string_view value);

}  // namespace corvalo::net
