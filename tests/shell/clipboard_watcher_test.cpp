#include "shell/clipboard_watcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "clipcalc/format.h"
#include "clipcalc/grid.h"
#include "clipcalc/pipeline.h"
#include "clipcalc/watch.h"
#include "fake_clipboard_watch.h"
#include "platform/big_buffer.h"

namespace corvalo::shell {
namespace {

using clipcalc::TabulationStyle;
using platform::WatchedText;
using testing::FakeClipboardWatch;

// A watched text offered after the sum of "10\n20": what the display (with its
// trailing blank), the grid's first cell, the tooltip and the tray hint then show.
struct WatchRow {
    const char* name;
    std::optional<std::string> offered;
    const char* caption;
    const char* firstCell;
    const char* tip;
    const char* hint;
};

class ClipboardWatcherTest : public ::testing::TestWithParam<WatchRow>,
                             private clipcalc::ResultDisplay {
  protected:
    ClipboardWatcherTest() {
        calc_.setStartValues();
        calc_.localeDecimalSeparator = '.';
        calc_.localeThousandSeparator = ',';
        calc_.tabulationStyle = TabulationStyle::UsingColumns;
        auto owned = std::make_unique<FakeClipboardWatch>();
        watch_ = owned.get();
        watcher_ = std::make_unique<ClipboardWatcher>(
            std::move(owned), calc_,
            WatchHooks{.calculate =
                           [this](platform::Clipboard& offered) {
                               ++calculations_;
                               platform::BigBuffer<char> text;
                               std::optional<platform::BigBuffer<char>> given;
                               if (platform::readAnsiText(offered, text)) given = std::move(text);
                               return clipcalc::calculateClipboardText(std::move(given), calc_,
                                                                       grid_, *this);
                           },
                       .caption = [this] { return caption_; },
                       .showStatus =
                           [this](const std::string& tip, const std::string& hint) {
                               tip_ = tip;
                               hint_ = hint;
                           }});
        watcher_->setWatching(WatchedText::Clipboard, true);
        watch_->offer(WatchedText::Clipboard, "10\n20\n");
    }
    void setDisplayCaption(const std::string& caption) override { caption_ = caption; }

    clipcalc::CalcState calc_;
    clipcalc::Grid grid_;
    FakeClipboardWatch* watch_ = nullptr;
    std::unique_ptr<ClipboardWatcher> watcher_;
    std::string caption_;
    std::string tip_;
    std::string hint_;
    int calculations_ = 0;
};

TEST_P(ClipboardWatcherTest, AnOfferedTextShowsItsStatus) {
    const WatchRow& row = GetParam();
    watch_->offer(WatchedText::Clipboard, row.offered);
    EXPECT_EQ(caption_, row.caption);
    EXPECT_EQ(grid_.cell(1, 1), row.firstCell);
    EXPECT_EQ(tip_, row.tip);
    EXPECT_EQ(hint_, row.hint);
}

constexpr const char* kTooFewTip =
    "The Windows Clipboard currently does not contain two or more numbers to calculate.\n"
    "Please recopy the desired range of numbers from the other application and try again.";
constexpr const char* kTooFewHint =
    "Corvalo: The Windows Clipboard currently does not contain two or more numbers to "
    "calculate.";
const std::string kTooLarge(clipcalc::kMaxWatchedText + 1, '7');
// Two numbers each near the largest double: their sum overflows.
const std::string kHuge = "17" + std::string(307, '0');

INSTANTIATE_TEST_SUITE_P(
    Table, ClipboardWatcherTest,
    ::testing::Values(
        WatchRow{"Column", "1,200.50\n2,037\n", "3,237.50 ", "1200.50", "", "Corvalo: 3,237.50"},
        WatchRow{"Sentence", "Please send it to Anna", "30.00 ", "10", kTooFewTip, kTooFewHint},
        WatchRow{"Word", "abc", "30.00 ", "10",
                 "The Windows Clipboard is currently empty.\n"
                 "Please recopy the desired data and try again.",
                 "Corvalo: The Windows Clipboard is currently empty."},
        WatchRow{"NoText", std::nullopt, "30.00 ", "10",
                 "The Windows Clipboard is currently empty.\n"
                 "Please recopy the desired data and try again.",
                 "Corvalo: The Windows Clipboard is currently empty."},
        WatchRow{"OneRowByColumns", "12\t30\t8", "12.00 ", "12",
                 "Only 1 number was found in your pasted Clipboard data to perform math "
                 "operations on.\nAt least 2 numbers are necessary to perform a math "
                 "calculation.\nPerhaps you should switch from row calculation to column "
                 "calculation mode.\nSee OPTIONS > CALCULATE from the Main Menu bar.",
                 "Corvalo: 12.00"},
        WatchRow{"Overflow", kHuge + "\n" + kHuge + "\n", "30.00 ", kHuge.c_str(),
                 "Floating point overflow", "Corvalo: Floating point overflow"},
        WatchRow{"OverEightMegabytes", kTooLarge, "30.00 ", "10",
                 "Over 8 MB of text: not calculated by itself.\n"
                 "Press Calculate Clipboard to calculate it.",
                 "Corvalo: Over 8 MB of text: press Calculate Clipboard"}),
    [](const auto& row) { return std::string(row.param.name); });

// The switch reaches the watch: the clipboard off, the selection on.
TEST_F(ClipboardWatcherTest, OnlyAWatchedTextIsCalculated) {
    watcher_->setWatching(WatchedText::Clipboard, false);
    watch_->offer(WatchedText::Clipboard, "1\n2\n");
    EXPECT_EQ(calculations_, 1);  // the sum the fixture offered
    EXPECT_EQ(caption_, "30.00 ");
    watcher_->setWatching(WatchedText::Selection, true);
    watch_->offer(WatchedText::Selection, "5 7");
    EXPECT_EQ(caption_, "5.00 ");  // one row, calculated by columns: its first number
}

}  // namespace
}  // namespace corvalo::shell
