#include "platform/ini_text.h"

#include <climits>

namespace corvalo::platform {

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view trimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

std::string_view trim(std::string_view s) {
    s = trimLeft(s);
    std::size_t n = s.size();
    while (n > 0 && isBlank(s[n - 1])) --n;
    return s.substr(0, n);
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    }
    return true;
}

// "\"MS Sans Serif\"" -> "MS Sans Serif"; a lone quote stays.
std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        return v.substr(1, v.size() - 2);
    }
    return v;
}

// One line of the text: [begin, contentEnd) is its content, [contentEnd, end) its line end.
struct Line {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;
};

enum class LineKind { Other, Section, BrokenSection, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // trimmed, quotes still on
    bool blank = false;
};

class LineCursor {
  public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    bool next(Line& line) {
        if (pos_ >= text_.size()) return false;
        line.begin = pos_;
        const std::size_t lf = text_.find('\n', pos_);
        if (lf == std::string_view::npos) {
            line.contentEnd = text_.size();
            line.end = text_.size();
        } else {
            line.contentEnd = lf > pos_ && text_[lf - 1] == '\r' ? lf - 1 : lf;
            line.end = lf + 1;
        }
        pos_ = line.end;
        return true;
    }

  private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

ParsedLine parseLine(std::string_view content) {
    ParsedLine p;
    const std::string_view t = trimLeft(content);
    if (t.empty()) {
        p.blank = true;
        return p;
    }
    if (t.front() == '[') {
        const std::size_t close = t.find(']');
        if (close == std::string_view::npos) {
            p.kind = LineKind::BrokenSection;
        } else {
            p.kind = LineKind::Section;
            p.name = trim(t.substr(1, close - 1));
        }
        return p;
    }
    if (t.front() == ';') return p;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return p;
    p.kind = LineKind::Key;
    p.name = trim(t.substr(0, eq));
    p.value = trim(t.substr(eq + 1));
    return p;
}

std::string_view lineEndOf(std::string_view text) {
    const std::size_t lf = text.find('\n');
    return lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t hexValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    return static_cast<std::uint32_t>(c - 'A' + 10);
}

}  // namespace

std::optional<std::string_view> IniText::find(std::string_view section,
                                              std::string_view key) const {
    const std::string_view text = text_;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    while (cursor.next(line)) {
        const ParsedLine p = parseLine(text.substr(line.begin, line.contentEnd - line.begin));
        switch (p.kind) {
            case LineKind::Section:
                inSection = equalsNoCase(p.name, section);
                break;
            case LineKind::BrokenSection:
                inSection = false;
                break;
            case LineKind::Key:
                if (inSection && equalsNoCase(p.name, key)) return unquote(p.value);
                break;
            case LineKind::Other:
                break;
        }
    }
    return std::nullopt;
}

std::string IniText::get(std::string_view section, std::string_view key,
                         std::string_view def) const {
    const auto value = find(section, key);
    if (!value) return std::string(def);
    return std::string(value->substr(0, kIniValueMax));
}

bool IniText::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string safe(value);
    for (char& c : safe) {
        if (c == '\r' || c == '\n') c = ' ';
    }

    const std::string_view text = text_;
    LineCursor cursor(text);
    Line line;
    bool inSection = false;
    bool inFirstSection = false;
    bool sectionSeen = false;
    Line sectionEnd;  // the last non-blank line of the first section of that name
    bool lastLineBlank = true;
    while (cursor.next(line)) {
        const std::string_view content = text.substr(line.begin, line.contentEnd - line.begin);
        const ParsedLine p = parseLine(content);
        lastLineBlank = p.blank;
        if (p.kind == LineKind::Section || p.kind == LineKind::BrokenSection) {
            inSection = p.kind == LineKind::Section && equalsNoCase(p.name, section);
            inFirstSection = inSection && !sectionSeen;
            if (inFirstSection) {
                sectionSeen = true;
                sectionEnd = line;
            }
            continue;
        }
        if (inFirstSection && !p.blank) sectionEnd = line;
        if (p.kind != LineKind::Key || !inSection || !equalsNoCase(p.name, key)) continue;

        // "Key = 3" -> "Key = 5": the name, '=' and the blanks after it stay.
        if (unquote(p.value) == unquote(trim(safe))) return false;
        std::size_t valueBegin = line.begin + content.find('=') + 1;
        while (valueBegin < line.contentEnd &&
               (text[valueBegin] == ' ' || text[valueBegin] == '\t')) {
            ++valueBegin;
        }
        text_.replace(valueBegin, line.contentEnd - valueBegin, safe);
        return true;
    }

    const std::string eol(lineEndOf(text));
    std::string added;
    if (sectionSeen) {
        if (sectionEnd.end == sectionEnd.contentEnd) added += eol;  // last line, no line end
        added.append(key).append("=").append(safe).append(eol);
        text_.insert(sectionEnd.end, added);
        return true;
    }
    if (!text_.empty()) {
        if (text_.back() != '\n') added += eol;
        if (!lastLineBlank) added += eol;
    }
    added.append("[").append(section).append("]").append(eol);
    added.append(key).append("=").append(safe).append(eol);
    text_ += added;
    return true;
}

std::optional<std::int32_t> parseIniInt(std::string_view text) {
    std::string_view hex;
    bool isHex = false;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        hex = text.substr(1);
        isHex = true;
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = text.substr(2);
        isHex = true;
    }
    if (isHex) {
        if (hex.empty() || hex.size() > 8) return std::nullopt;
        std::uint32_t v = 0;
        for (const char c : hex) {
            if (!isHexDigit(c)) return std::nullopt;
            v = v << 4 | hexValue(c);
        }
        return static_cast<std::int32_t>(v);  // "$FFFFFFFF" -> -1
    }

    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;
    std::int64_t v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > kLimit) return std::nullopt;
    }
    if (negative) return static_cast<std::int32_t>(-v);
    if (v == kLimit) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

}  // namespace corvalo::platform
