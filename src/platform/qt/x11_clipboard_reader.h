#pragma once

#include <chrono>

#include "platform/clipboard.h"

namespace corvalo::platform {

enum class X11ClipboardRead {
    Text,    // the text went to the sink (cut short if its owner stopped sending)
    NoText,  // no owner, or it did not answer in time
    AskQt,   // no X server of our own, or the owner has no UTF8_STRING: ask through Qt
};

// Reads the CLIPBOARD selection as UTF8_STRING over an X connection of its own, and
// hands each piece to `sink` as it comes (a large text comes in increments), so that
// no copy of the whole text is ever held. `patience` bounds each wait for the owner.
X11ClipboardRead readX11ClipboardUtf8(
    const Utf8Sink& sink, std::chrono::milliseconds patience = std::chrono::milliseconds(5000));

}  // namespace corvalo::platform
