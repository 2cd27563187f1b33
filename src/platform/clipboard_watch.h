#pragma once

#include <functional>
#include <optional>
#include <string>

namespace corvalo::platform {

// The two texts another program can offer: the clipboard proper, and the text
// highlighted with the mouse (the X11 primary selection).
enum class WatchedText { Clipboard, Selection };

// Tells its owner when another program puts text on the clipboard, or highlights
// text and leaves it unchanged for a moment. The program's own writes never count.
class ClipboardWatch {
  public:
    // The text as UTF-8, or nothing when no plain text is offered.
    using ChangeHandler = std::function<void(WatchedText which, std::optional<std::string> utf8)>;

    virtual ~ClipboardWatch() = default;
    // False where the desktop does not tell a program about such changes.
    virtual bool canWatch(WatchedText which) const = 0;
    virtual void setWatching(WatchedText which, bool on) = 0;
    virtual void setChangeHandler(ChangeHandler handler) = 0;
};

}  // namespace corvalo::platform
