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

#include "calculator/calculator.h"
#include "platform/error.h"

using namespace corvalo::calculator;

namespace {

struct Host final : CalculatorHost {
    void DisplayTextChanged(const std::string& text) override { display = text; }
    void RepaintButton(TOvcCalculatorButton) override {}
    void LayoutChanged() override {}
    bool PressHeldByMouse() override { return false; }
    void Beep() override {}
    std::optional<std::string> ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& ansi) override { clipboard = ansi; }
    std::string display;
    std::optional<std::string> clipboard;
};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

void check(const TOvcCustomCalculator& calc) {
    const std::uint8_t state = calc.Engine().State;
    if (state != (esReady | esNewEntry) && state != esReady && state != esError) {
        fail("engine state is not 5, 1 or 2");
    }
    const std::string& shown = calc.DisplayText();
    if (shown.empty() || shown.back() != ' ') fail("display text without its trailing blank");
    if (!std::isfinite(calc.DisplayValue())) fail("display value not finite");
    if (!std::isfinite(calc.Memory())) fail("memory not finite");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Host host;
    TOvcCustomCalculator calc(host, (data[0] & 0x80) ? ',' : '.');
    calc.SetDecimals(static_cast<std::int32_t>(data[0] % 12) - 2);
    calc.Engine().ShowSeparatePercent = (data[0] & 0x40) != 0;
    calc.Tape().SetLineWidth(12);
    for (std::size_t i = 1; i < size; ++i) {
        const std::uint8_t b = data[i];
        try {
            if (b < 2 * kButtonCount) {
                calc.PressButton(static_cast<TOvcCalculatorButton>(1 + b % kButtonCount));
            } else if (b == 0xFF && i + 1 < size) {
                // Paste the next bytes up to a 0xFE.
                std::string text;
                while (++i < size && data[i] != 0xFE) text.push_back(static_cast<char>(data[i]));
                host.clipboard = text;
                calc.Paste();
            } else {
                calc.KeyPress(static_cast<char>(b));
            }
        } catch (const corvalo::Error&) {
            // Copy and paste reach the clipboard; nothing else may throw.
        }
        check(calc);
    }
    return 0;
}
