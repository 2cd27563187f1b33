#pragma once

#include <string_view>

namespace corvalo::platform {

// The user's decimal and thousands separators, one 8-bit character each.
struct LocaleSeparators {
    char decimal = '.';
    char thousands = ',';
};

// Separators from a locale's own texts (UTF-8 or a legacy 8-bit code set).
// A locale without a thousands separator (the C locale) groups with ',' or,
// where ',' is its decimal separator, with '.'.
LocaleSeparators separatorsFromLocaleTexts(std::string_view decimal, std::string_view thousands);

// The separators of the user's numeric locale (LC_ALL, LC_NUMERIC, LANG), read
// without changing the process's own locale.
LocaleSeparators readUserLocaleSeparators();

}  // namespace corvalo::platform
