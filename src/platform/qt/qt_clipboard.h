#pragma once

#include "platform/clipboard.h"

namespace corvalo::platform {

// The desktop clipboard through Qt (X11 CLIPBOARD selection or Wayland).
class QtClipboard final : public Clipboard {
public:
    std::optional<std::string> text() override;
    void setText(const std::string& utf8) override;
};

}  // namespace corvalo::platform
