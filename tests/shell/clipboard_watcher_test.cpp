#include "shell/clipboard_watcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "clipcalc/watch.h"
#include "fake_clipboard_watch.h"
#include "platform/error.h"

namespace corvalo::shell {
namespace {

using platform::WatchedText;

const std::string kTooFew =
    "The Windows Clipboard currently does not contain two or more numbers to calculate.";
const std::string kEmpty = "The Windows Clipboard is currently empty.";

// A watched text and what the tooltip and the tray hint then show. The calculation is
// played by a hook that gives the row's message, or throws it, and a caption in 8-bit
// text with a trailing blank, as the display's.
TEST(ClipboardWatcher, AnOfferedTextShowsItsStatus) {
    const struct {
        const char* name;
        std::optional<std::string> offered;
        const char* message;  // nullptr: the calculation throws "Floating point overflow"
        bool calculated;
        std::string tip;
        std::string hint;
    } rows[] = {
        {"the calculation's message, one line a line", "1\n2\n", "  One.  \r\n\r\n  Two.  ", true,
         "One.\nTwo.", "Corvalo: 1\u00A0234.50"},
        {"an overflow", "1\n2\n", nullptr, true, "Floating point overflow",
         "Corvalo: Floating point overflow"},
        {"a sentence keeps the last total", "Please send it to Anna", "", false,
         kTooFew + "\nPlease recopy the desired range of numbers from the other application "
                   "and try again.",
         "Corvalo: " + kTooFew},
        {"no text", std::nullopt, "", false,
         kEmpty + "\nPlease recopy the desired data and try again.", "Corvalo: " + kEmpty},
        {"over 8 MB", std::string(clipcalc::kMaxWatchedText + 1, '7'), "", false,
         "Over 8 MB of text: not calculated by itself.\nPress Calculate Clipboard to calculate "
         "it.",
         "Corvalo: Over 8 MB of text: press Calculate Clipboard"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const clipcalc::CalcState calc;
        auto owned = std::make_unique<testing::FakeClipboardWatch>();
        testing::FakeClipboardWatch& watch = *owned;
        std::string given = "<not calculated>";
        std::string tip = "<none>", hint = "<none>";
        const auto calculate = [&](platform::Clipboard& offered) {
            given = offered.text().value_or("<none>");
            if (row.message == nullptr) throw Error("Floating point overflow");
            return clipcalc::CalculateOutcome{.messageText = row.message};
        };
        const auto caption = [] { return std::string("1\240234.50 "); };
        const auto show = [&](const std::string& t, const std::string& h) { tip = t, hint = h; };
        ClipboardWatcher watcher(std::move(owned), calc, {calculate, caption, show});
        watcher.setWatching(WatchedText::Clipboard, true);
        watch.offer(WatchedText::Clipboard, row.offered);
        EXPECT_EQ(given, row.calculated ? *row.offered : "<not calculated>");
        EXPECT_EQ(tip, row.tip);
        EXPECT_EQ(hint, row.hint);
    }
}

}  // namespace
}  // namespace corvalo::shell
