#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/format.h"
#include "clipcalc/grid.h"
#include "platform/big_buffer.h"

namespace corvalo::clipcalc {

inline constexpr std::string_view kMsgClipboardEmpty =
    "  The Windows Clipboard is currently empty.  \r\n"
    "  Please recopy the desired data and try again.  ";
inline constexpr std::string_view kMsgTooFewNumbers =
    "  The Windows Clipboard currently does not contain two or more numbers to calculate.  \r\n"
    "  Please recopy the desired range of numbers from the other application and try again.  ";
inline constexpr std::string_view kMsgOnlyOneNumber =
    "  Only 1 number was found in your pasted Clipboard data to perform math operations on.  \r\n"
    "  At least 2 numbers are necessary to perform a math calculation.  \r\n";
inline constexpr std::string_view kMsgHintColumnToRow =
    "  Perhaps you should switch from column calculation to row calculation mode.  \r\n"
    "  See OPTIONS > CALCULATE from the Main Menu bar.  ";
inline constexpr std::string_view kMsgHintRowToColumn =
    "  Perhaps you should switch from row calculation to column calculation mode.  \r\n"
    "  See OPTIONS > CALCULATE from the Main Menu bar.  ";

enum class CalculateMessage { None, ClipboardEmpty, TooFewNumbers, OnlyOneNumber };

struct CalculateOutcome {
    CalculateMessage message = CalculateMessage::None;
    std::string messageText;     // the exact text of the message box, hint included
    bool calculated = false;     // the paste gave a result: the grid button may be used
    bool gridNeeded = false;     // the data want the grid shown: expand a collapsed window
    std::int64_t cellCount = 0;  // cells the parser stored
};

// "Calculate Clipboard" from the clipboard's plain text in the 8-bit CR LF form
// (nothing when the clipboard offers none) to the shown result and the message
// that follows. The window then shows the message box, if any, and expands when
// gridNeeded. A paste that empties the grid and then stops at a message shows
// the result of what the grid now holds (0 when it holds nothing), so the display
// never shows the previous paste's result. An overflow throws
// Error("Floating point overflow") after the grid is filled. The text's buffer
// becomes the grid's storage.
CalculateOutcome calculateClipboardText(std::optional<platform::BigBuffer<char>> text,
                                        CalcState& state, Grid& grid, ResultDisplay& display);

}  // namespace corvalo::clipcalc
