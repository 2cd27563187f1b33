#include "net/header_list.h"

#include <cctype>

namespace corvalo::net {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

void HeaderLines::remove(std::size_t index) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string HeaderLines::text() const {
    std::size_t size = 0;
    for (const auto& line : lines_) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines_) text.append(line).append("\r\n");
    return text;
}

int findHeader(const HeaderLines& list, std::string_view name) {
    for (std::size_t i = 0; i < list.count(); ++i) {
        const std::string_view line = list[i];
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        if (equalsIgnoringCase(line.substr(0, colon), name)) return static_cast<int>(i);
    }
    return -1;
}

void setHeaderValue(HeaderLines& list, std::string_view name, std::string_view value) {
    const int found = findHeader(list, name);
    if (value.empty()) {
        if (found >= 0) list.remove(static_cast<std::size_t>(found));
        return;
    }
    std::string line;
    line.reserve(name.size() + 2 + value.size());
    line.append(name).append(": ").append(value);
    if (found >= 0) {
        list[static_cast<std::size_t>(found)] = std::move(line);
    } else {
        list.add(std::move(line));
    }
}

}  // namespace corvalo::net
