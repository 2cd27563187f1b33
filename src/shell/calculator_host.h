#pragma once

#include <QColor>
#include <QFont>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"

namespace corvalo::shell {

// The desk calculator's beep and clipboard, taken from the window's own. A
// clipboard held by another program is reported like a command's error and, on
// reading, counts as no text, so no exception ever reaches Qt's event code.
deskcalc::CalculatorServices calculatorServicesFrom(platform::Clipboard& clipboard,
                                                    platform::Dialogs& dialogs);

// The "Calculator display" font: the calculator's tapeFont, and the display
// shows its text in the font's colour, as a change of that font does.
void setCalculatorDisplayFont(deskcalc::DeskCalculatorWidget& calculator, const QFont& font,
                              const QColor& colour);

}  // namespace corvalo::shell
