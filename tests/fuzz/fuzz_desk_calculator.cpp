// The desk calculator fed random button sequences, keys and pasted text. The
// first byte picks the decimals (-2 to 9) and the percent option. Checks: the
// engine's state is always ready (5), entering (1) or error (2); the display is
// never empty and ends in its blank; no value that is shown is infinite or NaN.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "deskcalc/entry.h"
#include "platform/error.h"

using namespace corvalo::deskcalc;

namespace {

struct Host final : CalculatorHost {
    void displayTextChanged(const std::string& text) override { display = text; }
    void repaintButton(Key) override {}
    void layoutChanged() override {}
    bool pressHeldByMouse() override { return false; }
    void beep() override {}
    std::optional<std::string> clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& ansi) override { clipboard = ansi; }
    std::string display;
    std::optional<std::string> clipboard;
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void check(const DeskCalculator& calc) {
    const std::uint8_t state = calc.engine().state.code();
    if (state != 5 && state != 1 && state != 2) {
        fail("engine state is not 5, 1 or 2");
    }
    const std::string& shown = calc.displayText();
    if (shown.empty() || shown.back() != ' ') fail("display text without its trailing blank");
    if (!std::isfinite(calc.displayValue())) fail("display value not finite");
    if (!std::isfinite(calc.memory())) fail("memory not finite");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Host host;
    DeskCalculator calc(host, (data[0] & 0x80) ? ',' : '.');
    calc.setDecimals(static_cast<std::int32_t>(data[0] % 12) - 2);
    calc.engine().showSeparatePercent = (data[0] & 0x40) != 0;
    calc.tape().setLineWidth(12);
    for (std::size_t i = 1; i < size; ++i) {
        const std::uint8_t b = data[i];
        try {
            if (b < 2 * kButtonCount) {
                calc.pressButton(keyAt(1 + b % kButtonCount));
            } else if (b == 0xFF && i + 1 < size) {
                // Paste the next bytes up to a 0xFE.
                std::string text;
                while (++i < size && data[i] != 0xFE) text.push_back(static_cast<char>(data[i]));
                host.clipboard = text;
                calc.paste();
            } else {
                calc.keyPress(static_cast<char>(b));
            }
        } catch (const corvalo::Error&) {
            // Copy and paste reach the clipboard; nothing else may throw.
        }
        check(calc);
    }
    return 0;
}
