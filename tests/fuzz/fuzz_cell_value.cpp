// cellValue against a plain reference: the text checked for the accepted form
// and converted by strtod. The first byte picks the decimal separator.
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "clipcalc/calculate.h"

namespace {

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// Blanks, sign, digits [separator digits] (a digit or the separator at least),
// [E|e [sign] digits], blanks; nothing else. 0 for any other text and beyond range.
double reference(const std::string& s, char decimal) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    std::string n;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) n += s[i++];
    const std::size_t start = i;
    bool any = false;
    while (i < s.size() && digit(s[i])) n += s[i++], any = true;
    if (i < s.size() && s[i] == decimal) {
        n += '.';
        ++i;
        any = true;
        while (i < s.size() && digit(s[i])) n += s[i++];
    }
    if (!any || i == start) return 0.0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::string e = "e";
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) e += s[i++];
        bool expDigits = false;
        while (i < s.size() && digit(s[i])) e += s[i++], expDigits = true;
        if (expDigits) n += e;
    }
    while (i < s.size() && s[i] == ' ') ++i;
    if (i != s.size()) return 0.0;
    if (n == "." || n == "-." || n == "+.") return 0.0;
    errno = 0;
    const double v = std::strtod(n.c_str(), nullptr);
    // strtod flags subnormal results too; only overflow lies outside the range.
    if (errno == ERANGE && std::isinf(v)) return 0.0;
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char decimal = (data[0] & 1) ? ',' : '.';
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const double got = corvalo::clipcalc::cellValue(text, decimal);
    const double want = reference(text, decimal);
    if (!(got == want || (std::isnan(got) && std::isnan(want)))) {
        std::fprintf(stderr, "CellValue(\"%s\") = %.17g, expected %.17g\n", text.c_str(), got,
                     want);
        std::abort();
    }
    return 0;
}
