#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "platform/big_buffer.h"

namespace corvalo::cli {

// Why an input could not be read: its name as given ("-" for standard input)
// and the errno value.
struct InputFailure {
    std::string name;
    int error = 0;
};

// Reads the named inputs in order into `out` as one text ("-" is `stdinFd`, no
// names means standard input alone), putting a LF between two inputs where the
// first does not end with one. A directory is refused (EISDIR); a FIFO is read as
// a pipe. Input beyond `maxBytes` in all is refused (EFBIG) rather than read on
// without end (/dev/zero).
std::optional<InputFailure> readInputs(std::span<const std::string> names, int stdinFd,
                                       std::size_t maxBytes, platform::BigBuffer<char>& out);

}  // namespace corvalo::cli
