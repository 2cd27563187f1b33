#pragma once

#include <string>

#include "platform/clipboard.h"
#include "platform/dialogs.h"

namespace corvalo::shell {

inline constexpr const char* kSaveTapeCaption = "Save Tape";
inline constexpr const char* kSuggestedTapeName = "tape.txt";

// Calculator > Copy Tape: the tape's lines (8-bit, LF between them) on the clipboard;
// an empty tape beeps and leaves the clipboard alone.
void copyTape(const std::string& tape, platform::Clipboard& clipboard, platform::Dialogs& dialogs);

// Calculator > Save Tape...: asks for a file and writes the lines as UTF-8, each
// ending in LF, replacing the file whole; a refused write throws
// Error("Unable to write to <path>"). An empty tape beeps and asks nothing.
void saveTape(const std::string& tape, platform::Dialogs& dialogs);

}  // namespace corvalo::shell
