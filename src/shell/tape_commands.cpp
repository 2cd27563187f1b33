#include "shell/tape_commands.h"

#include <optional>

#include "platform/ansi_text.h"
#include "platform/text_file.h"

namespace corvalo::shell {

void copyTape(const std::string& tape, platform::Clipboard& clipboard,
              platform::Dialogs& dialogs) {
    if (tape.empty()) {
        dialogs.beep();
        return;
    }
    platform::writeAnsiText(clipboard, tape);
}

void saveTape(const std::string& tape, platform::Dialogs& dialogs) {
    if (tape.empty()) {
        dialogs.beep();
        return;
    }
    const std::optional<std::string> path =
        dialogs.askSaveFileName(kSaveTapeCaption, kSuggestedTapeName);
    if (!path) return;
    std::string bytes = platform::ansiToUtf8(tape);
    bytes += '\n';  // a text file's last line ends too
    platform::writeTextFileAtomically(*path, bytes);
}

}  // namespace corvalo::shell
