#pragma once

#include <QColor>
#include <QFont>
#include <string>

#include "calculator/qt/calculator_widget.h"
#include "platform/qt/clipboard.h"
#include "platform/qt/dialogs.h"
#include "shell/calculator_entry.h"

namespace corvalo::shell {

// The desk calculator's beep and clipboard, taken from the window's own. A
// clipboard held by another program is reported like a command's error and, on
// reading, counts as no text, so no exception ever reaches Qt's event code.
calculator::CalculatorServices CalculatorServicesFrom(platform::Clipboard& clipboard,
                                                      platform::Dialogs& dialogs);

// Edit > Copy's view of the desk calculator on the calculator page.
class CalculatorEntryOf final : public CalculatorEntry {
  public:
    explicit CalculatorEntryOf(const calculator::TOvcCalculator& calculator)
        : calculator_(calculator) {}
    std::string EntryText() const override { return calculator_.EntryText(); }

  private:
    const calculator::TOvcCalculator& calculator_;
};

// The "Calculator display" font: the calculator's TapeFont, and the display
// shows its text in the font's colour, as a change of that font does.
void SetCalculatorDisplayFont(calculator::TOvcCalculator& calculator, const QFont& font,
                              const QColor& colour);

}  // namespace corvalo::shell
