#include "platform/ansi_text.h"

#include <cstddef>
#include <cstring>

namespace corvalo::platform {

namespace {

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when the bytes
// there are not a valid, shortest-form sequence of a scalar value.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1Fu, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0Fu, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

template <class Out>
void convert(std::string_view utf8, Dashes dashes, Out&& put) {
    if (const void* nul = std::memchr(utf8.data(), 0, utf8.size())) {
        utf8 =
            utf8.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - utf8.data()));
    }
    char prev = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char c = utf8[i];
        if (static_cast<unsigned char>(c) < 0x80) {
            ++i;
        } else {
            char32_t cp = 0;
            const std::size_t len = decodeUtf8(utf8, i, cp);
            c = len == 0 ? kAnsiUnmappable : ansiFromCodePoint(cp, dashes);
            i += len == 0 ? 1 : len;
        }
        if (c == '\n' && prev != '\r') put('\r');
        put(c);
        prev = c;
    }
}

}  // namespace

char ansiFromCodePoint(char32_t cp, Dashes dashes) {
    switch (cp) {
        case 0x2212:  // MINUS SIGN
            return '-';
        case 0x2012:  // FIGURE DASH
        case 0x2013:  // EN DASH
            return dashes == Dashes::AsMinus ? '-' : kAnsiUnmappable;
        case 0x2019:  // RIGHT SINGLE QUOTATION MARK, the Swiss thousands separator
            return '\'';
        case 0x00A0:  // NO-BREAK SPACE
        case 0x2007:  // FIGURE SPACE
        case 0x2009:  // THIN SPACE
        case 0x202F:  // NARROW NO-BREAK SPACE
            return kAnsiNoBreakSpace;
        default:
            return cp <= 0xFF ? static_cast<char>(static_cast<unsigned char>(cp))
                              : kAnsiUnmappable;
    }
}

bool isAnsiCrLf(std::string_view utf8) {
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    if (n == 0) return true;
    // Written without a loop-carried state so that the compiler can vectorise it.
    unsigned bad = (s[0] >= 0x80) | (s[0] == 0) | (s[0] == '\n');
    for (std::size_t i = 1; i < n; ++i) {
        bad |= static_cast<unsigned>((s[i] >= 0x80) | (s[i] == 0) |
                                     ((s[i] == '\n') & (s[i - 1] != '\r')));
    }
    return bad == 0;
}

void utf8ToAnsi(std::string_view utf8, BigBuffer<char>& out, Dashes dashes) {
    out.clear();
    // The 8-bit text is never longer than twice the UTF-8 (each LF may gain a CR).
    out.reserve(utf8.size() * 2 + 1);
    char* p = out.data();
    convert(utf8, dashes, [&p](char c) { *p++ = c; });
    out.resizeUninitialized(static_cast<std::size_t>(p - out.data()));
}

std::string utf8ToAnsi(std::string_view utf8, Dashes dashes) {
    std::string out;
    out.reserve(utf8.size());
    convert(utf8, dashes, [&out](char c) { out.push_back(c); });
    return out;
}

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 8);
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        const auto b = static_cast<unsigned char>(ansi[i]);
        if (b == '\r' && i + 1 < ansi.size() && ansi[i + 1] == '\n') continue;
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

char firstAnsiChar(std::string_view text) {
    if (text.empty()) return '\0';
    char32_t cp = 0;
    if (decodeUtf8(text, 0, cp) == 0) return text[0];  // Latin-1 byte of a legacy locale
    return ansiFromCodePoint(cp);
}

}  // namespace corvalo::platform
