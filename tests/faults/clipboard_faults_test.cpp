// What another program can put on the clipboard: 100 MB of numbers, 100 MB of
// binary bytes, a transfer cut short because its owner went away, or no transfer
// at all. Each must end in a result or a message, never a crash.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/format.h"
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

// 100 MB, or 20 MB under AddressSanitizer, which checks the same paths five times slower
// per byte; the 100 MB run is the plain build's.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kBig = 20U * 1024U * 1024U;
#else
constexpr std::size_t kBig = 100U * 1024U * 1024U;
#endif
constexpr std::size_t kMB = 1024U * 1024U;

class FakeClipboard final : public platform::Clipboard {
  public:
    std::optional<std::string> contents;
    bool ownerGone = false;  // the owner vanished: the read fails as a held clipboard does

    std::optional<std::string> text() override {
        if (ownerGone) throw Error("Cannot open clipboard");
        return contents;
    }
    void setText(const std::string& utf8) override { contents = utf8; }
};

struct Display final : clipcalc::ResultDisplay {
    void setDisplayCaption(const std::string& c) override { caption = c; }
    std::string caption = "untouched";
};

struct Paste {
    clipcalc::CalculateOutcome outcome;
    std::string error;  // the text of an error that left the command
    std::string caption;
};

// "Calculate Clipboard" as the window runs it: read the clipboard, then calculate.
Paste calculate(FakeClipboard& clipboard, TabulationStyle style) {
    Paste run;
    clipcalc::CalcState state;
    state.setStartValues();
    state.tabulationStyle = style;
    clipcalc::Grid grid;
    Display display;
    try {
        std::optional<platform::BigBuffer<char>> offered;
        if (platform::BigBuffer<char> text; platform::readAnsiText(clipboard, text)) {
            offered = std::move(text);
        }
        run.outcome = clipcalc::calculateClipboardText(std::move(offered), state, grid, display);
    } catch (const Error& e) {
        run.error = e.what();
    }
    run.caption = display.caption;
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

// Pseudo-random bytes, eight at a time (xorshift64), each at least `lowest`.
std::string randomBytes(std::size_t bytes, unsigned char lowest, std::uint64_t seed) {
    std::string text(bytes, '\0');
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ULL + 1;
    for (std::size_t i = 0; i < bytes; i += 8) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        std::uint64_t v = x;
        for (std::size_t j = i; j < i + 8 && j < bytes; ++j, v >>= 8) {
            const auto b = static_cast<unsigned char>(v);
            text[j] = static_cast<char>(b < lowest ? lowest : b);
        }
    }
    return text;
}

// 100 MB pastes (see kBig). Exact sums where the data have one; for bytes that are no text at
// all, any result or message will do as long as the program survives and says so.
TEST(ClipboardFaults, HundredMegabytes) {
    struct Row {
        const char* name;
        std::function<std::string()> text;
        TabulationStyle style;
        std::string caption;  // "" when any outcome will do
    };
    const Row rows[] = {
        // kBig / 5 numbers of 1.25 sum to 26,214,400 at 100 MB and 5,242,880 at 20 MB.
        {"a column of numbers", [] { return repeatTo("1.25\n", kBig); },
         TabulationStyle::UsingColumns, kBig == 100 * kMB ? "26,214,400.00 " : "5,242,880.00 "},
        {"one row of numbers", [] { return repeatTo("7 ", kBig); }, TabulationStyle::UsingRows,
         kBig == 100 * kMB ? "367,001,600.00 " : "73,400,320.00 "},
        {"binary bytes with NULs", [] { return randomBytes(kBig, 0, 1); },
         TabulationStyle::UsingColumns, ""},
        {"binary bytes without NULs", [] { return randomBytes(kBig, 1, 2); },
         TabulationStyle::UsingRows, ""},
        {"one number as long as the text", [] { return std::string(kBig, '9'); },
         TabulationStyle::UsingColumns, ""},
    };
    long survived = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeClipboard clipboard;
        clipboard.contents = row.text();
        const Paste run = calculate(clipboard, row.style);
        if (!row.caption.empty()) {
            EXPECT_EQ(run.error, "");
            EXPECT_TRUE(run.outcome.calculated);
            EXPECT_EQ(run.caption, row.caption);
        } else {
            // A result, a message, or the overflow error: something the user is shown.
            EXPECT_TRUE(run.outcome.calculated || !run.outcome.messageText.empty() ||
                        run.error == "Floating point overflow")
                << "error «" << run.error << "»";
        }
        if (!HasFailure()) ++survived;
    }
    std::printf("[faults] clipboard texts of %zu MB each\n", kBig / kMB);
    printCounts("huge clipboard texts", static_cast<long>(std::size(rows)), survived);
}

// The owner went away in the middle of the transfer: what arrived is cut anywhere, in
// a number, in a separator or inside a UTF-8 sequence. The complete numbers count.
TEST(ClipboardFaults, TransferCutShortByAVanishingOwner) {
    // The separators are the C locale's: "," groups and "." marks the decimals.
    const std::string full =
        "Amount\n1,000.50\n2,000.25\n\xE2\x82\xAC"
        "3.25\n4\n";
    struct Row {
        const char* name;
        std::size_t cut;
        std::string caption;
        CalculateMessage message;
    };
    const Row rows[] = {
        {"after the header", 7, "0.00 ", CalculateMessage::ClipboardEmpty},
        {"inside the first number", 11, "100.00 ", CalculateMessage::TooFewNumbers},
        {"after two numbers", 25, "3,000.75 ", CalculateMessage::None},
        {"after the first byte of the euro sign", 26, "3,000.75 ", CalculateMessage::None},
        {"after two bytes of the euro sign", 27, "3,000.75 ", CalculateMessage::None},
        {"inside the third number", 30, "3,003.75 ", CalculateMessage::None},
        {"whole", full.size(), "3,008.00 ", CalculateMessage::None},
    };
    long survived = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeClipboard clipboard;
        clipboard.contents = full.substr(0, row.cut);
        const Paste run = calculate(clipboard, TabulationStyle::UsingColumns);
        EXPECT_EQ(run.error, "");
        EXPECT_EQ(run.outcome.message, row.message);
        EXPECT_EQ(run.caption, row.caption);
        if (!HasFailure()) ++survived;
    }
    printCounts("clipboard transfers cut short", static_cast<long>(std::size(rows)), survived);
}

// The owner vanished before anything arrived: the command ends with the clipboard
// error and leaves nothing half-done; the next paste from a live owner works.
TEST(ClipboardFaults, OwnerGoneBeforeTheReadReportsTheClipboardError) {
    FakeClipboard clipboard;
    clipboard.contents = "1\n2\n";
    clipboard.ownerGone = true;
    const Paste gone = calculate(clipboard, TabulationStyle::UsingColumns);
    EXPECT_EQ(gone.error, "Cannot open clipboard");
    EXPECT_EQ(gone.caption, "untouched");

    clipboard.ownerGone = false;
    const Paste back = calculate(clipboard, TabulationStyle::UsingColumns);
    EXPECT_EQ(back.error, "");
    EXPECT_EQ(back.caption, "3.00 ");
    printCounts("clipboard owner gone before the read", 1, HasFailure() ? 0 : 1);
}

}  // namespace
}  // namespace corvalo::faults
