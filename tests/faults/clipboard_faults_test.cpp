// What another program can put on the clipboard: 100 MB of numbers, 100 MB of
// binary bytes, a transfer cut short because its owner went away, or no transfer
// at all. Each must end in a result or a message, never a crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"
#include "clipcalc/pipeline.h"
#include "fault_support.h"
#include "platform/big_buffer.h"
#include "platform/clipboard.h"
#include "platform/error.h"

namespace corvalo::faults {
namespace {

using clipcalc::CalculateMessage;
using clipcalc::TabulationStyle;
constexpr auto kCols = TabulationStyle::UsingColumns;
constexpr auto kRows = TabulationStyle::UsingRows;

// 100 MB, or 20 MB under AddressSanitizer, which checks the same paths five times slower
// per byte; the 100 MB run is the plain build's.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kBig = 20U * 1024U * 1024U;
#else
constexpr std::size_t kBig = 100U * 1024U * 1024U;
#endif
constexpr std::size_t kMB = 1024U * 1024U;

// Another program's clipboard; without contents its owner went away before the read,
// which then fails as a held clipboard's does.
struct OwnedClipboard final : platform::Clipboard {
    std::optional<std::string> text() override {
        if (!contents) throw Error("Cannot open clipboard");
        return contents;
    }
    void setText(const std::string& utf8) override { contents = utf8; }
    std::optional<std::string> contents;
};

// What a paste left: its outcome and what the user is shown, the display's caption or
// "error: " and the text of the error box.
struct Paste final : clipcalc::ResultDisplay {
    void setDisplayCaption(const std::string& caption) override { shown = caption; }
    clipcalc::CalculateOutcome outcome;
    std::string shown;
};

// "Calculate Clipboard" as the window runs it: read the clipboard, then calculate.
Paste calculate(std::optional<std::string> offered, TabulationStyle style) {
    OwnedClipboard clipboard;
    clipboard.contents = std::move(offered);
    clipcalc::CalcState state;
    state.setStartValues();
    state.tabulationStyle = style;
    clipcalc::Grid grid;
    Paste run;
    try {
        std::optional<platform::BigBuffer<char>> text(std::in_place);
        if (!platform::readAnsiText(clipboard, *text)) text.reset();
        run.outcome = clipcalc::calculateClipboardText(std::move(text), state, grid, run);
    } catch (const Error& e) {
        run.shown = std::string("error: ") + e.what();
    }
    return run;
}

// `unit` repeated to at most `bytes`, built by doubling: a debug build appends slowly.
std::string repeatTo(std::string_view unit, std::size_t bytes) {
    std::string text(unit);
    const std::size_t whole = bytes / unit.size() * unit.size();
    text.reserve(whole);
    while (text.size() * 2 <= whole) text.append(text);
    text.append(text.data(), whole - text.size());
    return text;
}

// Pseudo-random bytes; without NULs, each NUL becomes a 1.
std::string randomBytes(std::size_t bytes, bool nuls) {
    std::minstd_rand random(nuls ? 1 : 2);
    std::string text(bytes, '\0');
    std::generate(text.begin(), text.end(), [&] {
        const auto byte = static_cast<char>(random() >> 16);
        return byte == '\0' && !nuls ? '\1' : byte;
    });
    return text;
}

// 100 MB pastes (see kBig). Exact sums where the data have one; for bytes that are no text at
// all, any result or message will do as long as the program survives and says so.
TEST(ClipboardFaults, HundredMegabytes) {
    const struct {
        const char* name;
        std::function<std::string()> text;
        TabulationStyle style;
        std::string shown;  // "" when any outcome will do
    } rows[] = {
        // kBig / 5 numbers of 1.25 sum to 26,214,400 at 100 MB and 5,242,880 at 20 MB.
        {"a column of numbers", [] { return repeatTo("1.25\n", kBig); }, kCols,
         kBig == 100 * kMB ? "26,214,400.00 " : "5,242,880.00 "},
        {"one row of numbers", [] { return repeatTo("7 ", kBig); }, kRows,
         kBig == 100 * kMB ? "367,001,600.00 " : "73,400,320.00 "},
        {"binary bytes with NULs", [] { return randomBytes(kBig, true); }, kCols, ""},
        {"binary bytes without NULs", [] { return randomBytes(kBig, false); }, kRows, ""},
        {"one number as long as the text", [] { return std::string(kBig, '9'); }, kCols, ""},
    };
    long survived = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Paste run = calculate(row.text(), row.style);
        if (row.shown.empty()) {
            // A result, a message, or the overflow error: something the user is shown.
            EXPECT_TRUE(run.outcome.calculated || !run.outcome.messageText.empty() ||
                        run.shown == "error: Floating point overflow")
                << run.shown;
        } else {
            EXPECT_EQ(run.shown, row.shown);
        }
        if (!HasFailure()) ++survived;
    }
    const std::string what = "clipboard texts of " + std::to_string(kBig / kMB) + " MB";
    printCounts(what.c_str(), std::ssize(rows), survived);
}

// The owner went away in the middle of the transfer: what arrived is cut anywhere, in
// a number, in a separator or inside a UTF-8 sequence. The complete numbers count. An
// owner gone before anything arrived ends the command with the clipboard error.
TEST(ClipboardFaults, TransferCutShortByAVanishingOwner) {
    // The separators are the C locale's: "," groups and "." marks the decimals.
    const std::string full = "Amount\n1,000.50\n2,000.25\n\u20AC3.25\n4\n";
    constexpr std::size_t kGone = std::string::npos;
    const struct {
        const char* name;
        std::size_t cut;
        std::string shown;
        CalculateMessage message;
    } rows[] = {
        {"before anything arrived", kGone, "error: Cannot open clipboard", CalculateMessage::None},
        {"after the header", 7, "0.00 ", CalculateMessage::ClipboardEmpty},
        {"inside the first number", 11, "100.00 ", CalculateMessage::TooFewNumbers},
        {"after two numbers", 25, "3,000.75 ", CalculateMessage::None},
        {"after the first byte of the euro sign", 26, "3,000.75 ", CalculateMessage::None},
        {"after two bytes of the euro sign", 27, "3,000.75 ", CalculateMessage::None},
        {"inside the third number", 30, "3,003.75 ", CalculateMessage::None},
        {"whole", full.size(), "3,008.00 ", CalculateMessage::None},
    };
    long survived = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Paste run = calculate(
            row.cut == kGone ? std::nullopt : std::optional(full.substr(0, row.cut)), kCols);
        EXPECT_EQ(run.outcome.message, row.message);
        EXPECT_EQ(run.shown, row.shown);
        if (!HasFailure()) ++survived;
    }
    printCounts("clipboard transfers cut short", std::ssize(rows), survived);
}

}  // namespace
}  // namespace corvalo::faults
