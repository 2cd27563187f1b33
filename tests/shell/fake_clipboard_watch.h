#pragma once

#include <optional>
#include <string>

#include "platform/clipboard_watch.h"

namespace corvalo::testing {

// A watch that reports what the test offers; `possible` plays what the desktop can watch.
class FakeClipboardWatch final : public platform::ClipboardWatch {
  public:
    bool clipboardPossible = true;
    bool selectionPossible = true;
    bool clipboardOn = false;
    bool selectionOn = false;

    bool canWatch(platform::WatchedText which) const override {
        return which == platform::WatchedText::Clipboard ? clipboardPossible : selectionPossible;
    }
    void setWatching(platform::WatchedText which, bool on) override {
        (which == platform::WatchedText::Clipboard ? clipboardOn : selectionOn) =
            on && canWatch(which);
    }
    void setChangeHandler(ChangeHandler handler) override { handler_ = std::move(handler); }

    // Another program offers a text (nothing: no plain text), as the desktop would tell it.
    void offer(platform::WatchedText which, std::optional<std::string> utf8) {
        const bool on = which == platform::WatchedText::Clipboard ? clipboardOn : selectionOn;
        if (on && handler_) handler_(which, std::move(utf8));
    }

  private:
    ChangeHandler handler_;
};

}  // namespace corvalo::testing
