#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/pipeline.h"
#include "platform/clipboard.h"
#include "platform/clipboard_watch.h"

namespace corvalo::shell {

// What a watched change does in the window.
struct WatchHooks {
    // Calculate Clipboard on the offered text, as the button runs it (grid, display, size).
    std::function<clipcalc::CalculateOutcome(platform::Clipboard& offered)> calculate;
    // The display's caption after a calculation, 8-bit.
    std::function<std::string()> caption;
    // Where the outcome shows instead of a box: the display's tooltip and the tray
    // icon's hint, both UTF-8.
    std::function<void(const std::string& tip, const std::string& hint)> showStatus;
};

// Options > Watch Clipboard and Watch Selection: each new text another program
// offers is calculated by itself with the current direction, mode and decimals.
// Nothing opens a box: a message becomes the status, and a text of fewer than two
// numbers leaves the grid and the total as they were.
class ClipboardWatcher {
  public:
    ClipboardWatcher(std::unique_ptr<platform::ClipboardWatch> watch,
                     const clipcalc::CalcState& calc, WatchHooks hooks);
    ~ClipboardWatcher();
    ClipboardWatcher(const ClipboardWatcher&) = delete;
    ClipboardWatcher& operator=(const ClipboardWatcher&) = delete;

    bool canWatch(platform::WatchedText which) const { return watch_->canWatch(which); }
    void setWatching(platform::WatchedText which, bool on) { watch_->setWatching(which, on); }

  private:
    void textOffered(std::optional<std::string> utf8) noexcept;
    void calculateOffered(std::optional<std::string> utf8);
    void showMessage(const std::string& message);

    std::unique_ptr<platform::ClipboardWatch> watch_;
    const clipcalc::CalcState& calc_;
    WatchHooks hooks_;
};

}  // namespace corvalo::shell
