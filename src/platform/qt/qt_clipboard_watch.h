#pragma once

#include <QObject>
#include <QTimer>

#include "platform/clipboard_watch.h"

namespace corvalo::platform {

// Watches the desktop clipboard through QClipboard's change signals. A highlighted
// text is reported once it has stayed unchanged for kSelectionSettleMs.
class QtClipboardWatch final : public ClipboardWatch {
  public:
    static constexpr int kSelectionSettleMs = 300;

    QtClipboardWatch();
    bool canWatch(WatchedText which) const override;
    void setWatching(WatchedText which, bool on) override;
    void setChangeHandler(ChangeHandler handler) override { handler_ = std::move(handler); }

  private:
    void clipboardChanged();
    void selectionSettled();

    QObject context_;  // disconnects the signals when the watch goes
    QTimer selectionTimer_;
    ChangeHandler handler_;
    bool clipboardOn_ = false;
    bool selectionOn_ = false;
};

}  // namespace corvalo::platform
