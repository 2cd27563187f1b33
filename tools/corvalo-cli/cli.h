#pragma once

#include <cstddef>
#include <iosfwd>
#include <span>
#include <string>

#include "platform/locale_separators.h"

namespace corvalo::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kMessage = 1;  // the input gave no result, or a result with a hint
inline constexpr int kUsage = 2;    // bad options, or an input that cannot be read
inline constexpr int kError = 3;    // an error report (overflow, out of memory)

// Runs corvalo-cli: reads the files the arguments name (or `stdinFd`) as UTF-8
// text with any line ends, writes the result to `out` as the display shows it
// and messages to `err`; returns the exit status. A long input calculated by
// columns is read and calculated `pieceBytes` at a time (0: always loaded whole),
// with the same output.
inline constexpr std::size_t kPieceBytes = std::size_t{256} << 10;
int run(std::span<const std::string> args, int stdinFd, platform::LocaleSeparators locale,
        std::ostream& out, std::ostream& err, std::size_t pieceBytes = kPieceBytes);

}  // namespace corvalo::cli
