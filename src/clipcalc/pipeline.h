#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/format.h"
#include "clipcalc/grid.h"
#include "platform/big_buffer.h"

namespace corvalo::clipcalc {

inline constexpr std::string_view MsgClipboardEmpty =
    "  The Windows Clipboard is currently empty.  \r\n"
    "  Please recopy the desired data and try again.  ";
inline constexpr std::string_view MsgTooFewNumbers =
    "  The Windows Clipboard currently does not contain two or more numbers to calculate.  \r\n"
    "  Please recopy the desired range of numbers from the other application and try again.  ";
inline constexpr std::string_view MsgOnlyOneNumber =
    "  Only 1 number was found in your pasted Clipboard data to perform math operations on.  \r\n"
    "  At least 2 numbers are necessary to perform a math calculation.  \r\n";
inline constexpr std::string_view MsgHintColumnToRow =
    "  Perhaps you should switch from column calculation to row calculation mode.  \r\n"
    "  See OPTIONS > CALCULATE from the Main Menu bar.  ";
inline constexpr std::string_view MsgHintRowToColumn =
    "  Perhaps you should switch from row calculation to column calculation mode.  \r\n"
    "  See OPTIONS > CALCULATE from the Main Menu bar.  ";

enum class CalculateMessage { None, ClipboardEmpty, TooFewNumbers, OnlyOneNumber };

struct CalculateOutcome {
    CalculateMessage message = CalculateMessage::None;
    std::string messageText;      // the exact text of the message box, hint included
    bool calculated = false;      // a result was computed and shown
    bool gridNeeded = false;      // the data want the grid shown: expand a collapsed window
    std::int64_t cellCount = 0;   // cells the parser stored
};

// Cleans the clipboard text and parses it straight into the grid: exactly what
// cleanClipboardText, the caller's CR LF and parseTable do one after the other,
// in one pass, with the cells built inside the text's own buffer, which the grid
// then keeps. The grid must be empty with both counts at 2. Returns the cell
// count, or nothing when the text cleans to nothing.
std::optional<std::int64_t> loadClipboardText(platform::BigBuffer<char>&& text,
                                              const CalcState& state, Grid& grid);

// "Calculate Clipboard" from the clipboard's plain text in the 8-bit CR LF form
// (nothing when the clipboard offers none) to the shown result and the message
// that follows. The window then shows the message box, if any, and expands when
// gridNeeded. An overflow throws Error("Floating point overflow") after the grid
// is filled. The text's buffer becomes the grid's storage.
CalculateOutcome calculateClipboardText(std::optional<platform::BigBuffer<char>> text,
                                        CalcState& state, Grid& grid, ResultDisplay& display);
}  // namespace corvalo::clipcalc
