#pragma once

#include "platform/qt/clipboard.h"

namespace corvalo::platform {

// The desktop clipboard through Qt (X11 CLIPBOARD selection or Wayland).
class QtClipboard final : public Clipboard {
public:
    std::optional<std::string> Text() override;
    void SetText(const std::string& utf8) override;
};

}  // namespace corvalo::platform
