#pragma once

#include <iosfwd>
#include <span>
#include <string>

#include "platform/big_buffer.h"
#include "platform/locale_separators.h"

namespace corvalo::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kMessage = 1;  // the calculation's own message (empty, too few, one number)
inline constexpr int kUsage = 2;    // bad options
inline constexpr int kError = 3;    // an error report (overflow, out of memory)

// Runs corvalo-cli on `input`, UTF-8 text with any line ends (the buffer is
// consumed). The result goes to `out` as the display shows it, messages to `err`.
int run(std::span<const std::string> args, platform::BigBuffer<char>&& input,
        platform::LocaleSeparators locale, std::ostream& out, std::ostream& err);

std::string usageText();

}  // namespace corvalo::cli
