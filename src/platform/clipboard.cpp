#include "platform/clipboard.h"

#include "platform/ansi_text.h"

namespace corvalo::platform {

bool readAnsiText(Clipboard& clipboard, BigBuffer<char>& out) {
    out.clear();
    const std::optional<std::string> text = clipboard.text();
    if (!text) return false;
    if (isAnsiCrLf(*text)) {
        out.append(text->data(), text->size());
    } else {
        utf8ToAnsi(*text, out);
    }
    return true;
}

void writeAnsiText(Clipboard& clipboard, std::string_view ansi) {
    clipboard.setText(ansiToUtf8(ansi));
}

}  // namespace corvalo::platform
