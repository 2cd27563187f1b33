#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "deskcalc/entry.h"

namespace corvalo::deskcalc::testing {

// Records what the entry logic asks of its window.
struct FakeHost final : CalculatorHost {
    void displayTextChanged(const std::string& text) override { display = text; }
    void repaintButton(Key button) override {
        repaints.push_back(button);
        if (calc != nullptr) pressedAtRepaint.push_back(calc->pressedButton());
    }
    void layoutChanged() override { ++layouts; }
    bool pressHeldByMouse() override { return mouseHeld; }
    void beep() override { ++beeps; }
    std::optional<std::string> clipboardText() override { return clipboard; }
    void setClipboardText(const std::string& ansi) override { clipboard = ansi; }

    const DeskCalculator* calc = nullptr;
    std::string display;
    std::vector<Key> repaints;
    std::vector<Key> pressedAtRepaint;
    int layouts = 0;
    int beeps = 0;
    bool mouseHeld = false;
    std::optional<std::string> clipboard;
};

// A calculator as the window creates it: cleared, with a tape `tapeWidth` characters wide.
struct Rig {
    explicit Rig(char decimal = '.', int tapeWidth = 12) : calc(host, decimal) {
        host.calc = &calc;
        calc.tape().setLineWidth(tapeWidth);
        calc.clearAll();
    }
    FakeHost host;
    DeskCalculator calc;
};

// Presses the buttons named by their captions, blank-separated: "12 + 3 =", "9 Sqrt", "MR".
// A token that is no caption presses each of its characters: "1.5" is 1, separator, 5.
void Press(DeskCalculator& calc, std::string_view keys);

}  // namespace corvalo::deskcalc::testing
