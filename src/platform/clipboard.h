#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/big_buffer.h"

namespace corvalo::platform {

// The system clipboard in its plain-text format. Both calls may throw
// Error("Cannot open clipboard") when another program holds it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // The clipboard's text as UTF-8, or nothing when it offers no plain text.
    virtual std::optional<std::string> text() = 0;
    virtual void setText(const std::string& utf8) = 0;
};

// The clipboard's text as the calculation reads it: 8-bit with CR LF line ends.
// False (and `out` empty) when the clipboard offers no plain text.
bool readAnsiText(Clipboard& clipboard, BigBuffer<char>& out);

// Puts 8-bit text on the clipboard, as UTF-8 with LF line ends.
void writeAnsiText(Clipboard& clipboard, std::string_view ansi);

}  // namespace corvalo::platform
