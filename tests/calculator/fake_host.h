#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/calculator.h"

namespace corvalo::calculator::testing {

// Records what the entry logic asks of its window.
class FakeHost final : public CalculatorHost {
  public:
    void DisplayTextChanged(const std::string& text) override { display = text; }
    void RepaintButton(TOvcCalculatorButton button) override {
        repaints.push_back(button);
        if (calc != nullptr) pressedAtRepaint.push_back(calc->PressedButton());
    }
    void LayoutChanged() override { ++layouts; }
    bool PressHeldByMouse() override { return mouseHeld; }
    void Beep() override { ++beeps; }
    std::optional<std::string> ClipboardText() override { return clipboard; }
    void SetClipboardText(const std::string& ansi) override { clipboard = ansi; }

    const TOvcCustomCalculator* calc = nullptr;
    std::string display;
    std::vector<TOvcCalculatorButton> repaints;
    std::vector<TOvcCalculatorButton> pressedAtRepaint;
    int layouts = 0;
    int beeps = 0;
    bool mouseHeld = false;
    std::optional<std::string> clipboard;
};

// A calculator as the window creates it: cleared, with a tape 12 characters wide.
struct Rig {
    explicit Rig(char decimal = '.') : calc(host, decimal) {
        host.calc = &calc;
        calc.Tape().SetLineWidth(12);
        calc.ClearAll();
    }
    FakeHost host;
    TOvcCustomCalculator calc;
};

// Presses the buttons named in `keys`, blank-separated: "12 + 3 =", "9 Sqrt", "MR".
// A token of digits (or the decimal separator) presses each character in turn.
void Press(TOvcCustomCalculator& calc, std::string_view keys);

}  // namespace corvalo::calculator::testing
