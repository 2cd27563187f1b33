#include "platform/qt/clipboard.h"

#include "platform/ansi_text.h"

namespace corvalo::platform {

bool ReadAnsiText(Clipboard& clipboard, BigBuffer<char>& out) {
    out.clear();
    const std::optional<std::string> text = clipboard.Text();
    if (!text) return false;
    if (IsAnsiCrLf(*text)) {
        out.append(text->data(), text->size());
    } else {
        Utf8ToAnsi(*text, out);
    }
    return true;
}

void WriteAnsiText(Clipboard& clipboard, std::string_view ansi) {
    clipboard.SetText(AnsiToUtf8(ansi));
}

}  // namespace corvalo::platform
