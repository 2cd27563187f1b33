// The INI reader on any bytes, and a write followed by a read: the value reads
// back as it would from a file holding nothing else, and no other key changes.
#include <strings.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_text.h"

using corvalo::platform::IniText;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// A section or key name from a byte: letters and digits only.
std::string name(std::uint8_t b) {
    static const char* const kNames[] = {"Show", "Fonts", "Form", "Calculator", "Internet",
                                         "show", "FONTS", "Left", "Top",        "x"};
    return kNames[b % 10];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::string section = name(data[0]);
    const std::string key = name(data[1]);
    // The rest: a file text, then (after the first NUL) the value to write.
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t nul = rest.find('\0');
    const std::string text(rest.substr(0, nul));
    const std::string value(nul == std::string_view::npos ? std::string_view()
                                                          : rest.substr(nul + 1));

    IniText file(text);
    const std::string probes[] = {"Show", "Fonts", "Form", "Left", "Top", "x"};
    std::string before[6][6];
    for (int s = 0; s < 6; ++s) {
        for (int k = 0; k < 6; ++k) before[s][k] = file.get(probes[s], probes[k], "\x01");
    }
    (void)corvalo::platform::parseIniInt(file.get(section, key, ""));

    file.set(section, key, value);
    IniText alone;
    alone.set(section, key, value);
    if (file.get(section, key, "\x01") != alone.get(section, key, "\x01")) {
        fail("written value does not read back");
    }
    for (int s = 0; s < 6; ++s) {
        for (int k = 0; k < 6; ++k) {
            const bool written = (probes[s].size() == section.size() &&
                                  strcasecmp(probes[s].c_str(), section.c_str()) == 0) &&
                                 (probes[k].size() == key.size() &&
                                  strcasecmp(probes[k].c_str(), key.c_str()) == 0);
            if (!written && file.get(probes[s], probes[k], "\x01") != before[s][k]) {
                fail("another key changed");
            }
        }
    }
    // Writing the same value again changes nothing.
    const std::string once = file.text();
    file.set(section, key, value);
    if (file.text() != once) fail("second write changed the file");
    return 0;
}
