#pragma once

#include "platform/clipboard.h"

namespace corvalo::platform {

// The desktop clipboard through Qt (X11 CLIPBOARD selection or Wayland).
class QtClipboard final : public Clipboard {
  public:
    std::optional<std::string> text() override;
    void setText(const std::string& utf8) override;
    // Another X11 program's text is read straight from the X server as it arrives;
    // otherwise the UTF-8 bytes Qt holds, through a QString only where Qt has no others.
    bool readUtf8(const Utf8Sink& sink) override;
};

}  // namespace corvalo::platform
