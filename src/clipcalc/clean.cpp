#include "clipcalc/clean.h"

#include <algorithm>
#include <cstring>

namespace corvalo::clipcalc {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Replaces every three-character sequence `pat`, left to right and without
// overlap, by one TAB; in place, returns the new length.
std::size_t replaceByTab(char* s, std::size_t len, const char (&pat)[4]) {
    std::size_t w = 0;
    std::size_t i = 0;
    while (i < len) {
        if (i + 3 <= len && s[i] == pat[0] && s[i + 1] == pat[1] && s[i + 2] == pat[2]) {
            s[w++] = '\t';
            i += 3;
        } else {
            s[w++] = s[i++];
        }
    }
    return w;
}

// A statement's trailing minus: right after a digit, before a blank, a quote or
// the end of the token.
bool trailingMinus(const char* p, const char* end) {
    return *p == '-' && isDigit(p[-1]) &&
           (p + 1 == end || p[1] == ' ' || p[1] == '"' || p[1] == '\'');
}

// Puts a minus before the number text out[0, n) unless it has one; the new length.
std::size_t negate(char* out, std::size_t n) {
    if (n != 0 && out[0] == '-') return n;
    std::memmove(out + 1, out, n);
    out[0] = '-';
    return n + 1;
}

enum class State {
    Start,
    Integer,
    LeadingPoint,
    Sign,
    Fraction,
    ExponentMark,
    ExponentSign,
    ExponentDigits
};

}  // namespace

std::size_t countChar(std::string_view s, char c) {
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), c));
}

std::size_t removeChar(char* data, std::size_t len, char c) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < len; ++i) {
        if (data[i] != c) data[w++] = data[i];
    }
    return w;
}

std::size_t collapseRuns(char* data, std::size_t len, char c) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < len; ++i) {
        if (data[i] == c && w > 0 && data[w - 1] == c) continue;
        data[w++] = data[i];
    }
    return w;
}

std::string_view prepareClipboardText(char* data, std::size_t len, TextLayout layout) {
    std::size_t first = 0;
    while (first < len && isBlankOrControl(data[first])) ++first;
    while (len > first && isBlankOrControl(data[len - 1])) --len;
    char* t = data + first;
    std::size_t n = len - first;
    if (layout == TextLayout::TabSeparated || std::memchr(t, '\t', n) != nullptr) return {t, n};

    const std::string_view view(t, n);
    if (countChar(view, '"') >= 2 || countChar(view, '\'') >= 2 || countChar(view, ';') >= 2) {
        // Quoted values: "1","2" or '1';'2' and the like.
        n = removeChar(t, n, ' ');
        n = replaceByTab(t, n, "\",\"");
        n = replaceByTab(t, n, "','");
        n = replaceByTab(t, n, "\";\"");
        n = replaceByTab(t, n, "';'");
    } else {
        // Values separated by blanks.
        n = collapseRuns(t, n, ' ');
        std::replace(t, t + n, ' ', '\t');
    }
    return {t, n};
}

std::size_t cleanNumberInto(const char* p, const char* end, char decimal, char thousands,
                            char* out, bool statementSigns) {
    // The output's '.' is written as the locale's decimal separator right away: the
    // machine never holds more than one '.', so this is the final replacement.
    std::size_t n = 0;
    State s = State::Start;
    for (; p != end; ++p) {
        char c = *p;
        if (c == decimal) {
            c = '.';
        } else if (c == thousands) {
            c = ',';
        }
        switch (s) {
            case State::Start:
                if (c == '(' || c == '-') {
                    out[0] = '-', n = 1, s = State::Sign;
                } else if (c == '.') {
                    out[0] = '0', out[1] = decimal, n = 2, s = State::LeadingPoint;
                } else if (isDigit(c)) {
                    out[0] = c, n = 1, s = State::Integer;
                }
                break;
            case State::Integer:
                if (c == ',') {
                } else if (c == '.') {
                    out[n++] = decimal, s = State::Fraction;
                } else if (isDigit(c)) {
                    out[n++] = c;
                } else {
                    return statementSigns && trailingMinus(p, end) ? negate(out, n) : n;
                }
                break;
            case State::LeadingPoint:
                if (c == '-') {
                    out[0] = '-', n = 1, s = State::Sign;
                } else if (c == '.') {
                    out[0] = '0', out[1] = decimal, n = 2;
                } else if (isDigit(c)) {
                    out[n++] = c, s = State::Fraction;
                } else {
                    n = 0, s = State::Start;
                }
                break;
            case State::Sign:
                if (c == '$' || c == '-') {
                    out[0] = '-', n = 1;
                } else if (c == '.') {
                    out[0] = '-', out[1] = '0', out[2] = decimal, n = 3, s = State::LeadingPoint;
                } else if (isDigit(c)) {
                    out[n++] = c, s = State::Integer;
                } else {
                    n = 0, s = State::Start;
                }
                break;
            case State::Fraction:
                if (isDigit(c)) {
                    out[n++] = c;
                } else if (c == 'E' || c == 'e') {
                    out[n++] = 'E', s = State::ExponentMark;
                } else {
                    return statementSigns && trailingMinus(p, end) ? negate(out, n) : n;
                }
                break;
            case State::ExponentMark:
                if (c == '+' || c == '-') {
                    out[n++] = c, s = State::ExponentSign;
                } else if (isDigit(c)) {
                    out[n++] = c, s = State::ExponentDigits;
                } else {
                    return n - 1;
                }
                break;
            case State::ExponentSign:
                if (isDigit(c)) {
                    out[n++] = c, s = State::ExponentDigits;
                } else {
                    return n - 2;
                }
                break;
            case State::ExponentDigits:
                if (isDigit(c)) {
                    out[n++] = c;
                } else {
                    return statementSigns && trailingMinus(p, end) ? negate(out, n) : n;
                }
                break;
        }
    }
    if (s == State::ExponentMark) return n - 1;
    if (s == State::ExponentSign) return n - 2;
    return n;
}

std::string cleanNumber(std::string_view token, char decimal, char thousands,
                        bool statementSigns) {
    std::string r(token.size() + 1, '\0');
    r.resize(cleanNumberInto(token.data(), token.data() + token.size(), decimal, thousands,
                             r.data(), statementSigns));
    return r;
}

std::string cleanClipboardText(std::string_view raw, char decimal, char thousands,
                               bool statementSigns) {
    std::string buffer(raw);
    const std::string_view t = prepareClipboardText(buffer.data(), buffer.size());
    struct {
        std::string out;
        char decimal, thousands;
        bool statementSigns;
        void token(const char* p, const char* q) {
            const std::size_t at = out.size();
            out.resize(at + static_cast<std::size_t>(q - p) + 1);
            out.resize(at +
                       cleanNumberInto(p, q, decimal, thousands, out.data() + at, statementSigns));
        }
        void separator(char c) { out.push_back(c); }
    } sink{{}, decimal, thousands, statementSigns};
    sink.out.reserve(t.size() + 16);
    splitTokens(t, sink);
    return std::move(sink.out);
}

}  // namespace corvalo::clipcalc
