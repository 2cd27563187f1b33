#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"

namespace corvalo::clipcalc {

// More decimals than this are not rendered: the settings file may hold any count,
// and a display text of millions of zeros helps nobody.
inline constexpr std::int32_t kMaxShownDecimals = 255;

// The result as the display shows it: 18 significant digits rounded half away
// from zero at `decimals` (at 2 when there are more than 18, the rest padded with
// zeros), integer digits grouped in threes; from 10^18 up the mantissa is rounded
// the same way and followed by the exponent.
// 1234567.891, 2 decimals -> "1,234,567.89"; 1.999999e20, 2 -> "2.00E20".
std::string formatResult(double v, std::int32_t decimals, char decimal, char thousands);
std::string formatResult(const CalcState& state, double v);

// The same text without thousands separators, for pasting where grouping would
// be misread: 1234567.891, 2 decimals -> "1234567.89"; 1.5e20 -> "1.50E20".
std::string formatResultPlain(double v, std::int32_t decimals, char decimal);
std::string formatResultPlain(const CalcState& state, double v);

// Where the result is shown (the main window's display panel).
class ResultDisplay {
  public:
    virtual ~ResultDisplay() = default;
    virtual void setDisplayCaption(const std::string& caption) = 0;
};

// The display caption: formatResult(lastResult) and one blank.
void showResult(const CalcState& state, ResultDisplay& display);

// calculateLine, then showResult; an overflow leaves the display as it was.
void recalculate(CalcState& state, const Grid& grid, ResultDisplay& display);

// The captions of the decimal popup, "0", "0.1" ... "0.123456789", before localising.
inline constexpr std::string_view kDecimalMenuCaptions[10] = {
    "0",       "0.1",      "0.12",      "0.123",      "0.1234",
    "0.12345", "0.123456", "0.1234567", "0.12345678", "0.123456789"};

// A caption with its first '.' replaced by the locale's decimal separator.
std::string localiseDecimalCaption(std::string_view caption, char decimal);

}  // namespace corvalo::clipcalc
