#pragma once

#include <cstdint>

namespace corvalo::clipcalc {

enum class MathMode : std::int32_t {
    Addition = 1,
    Subtraction = 2,
    Multiplication = 3,
    Division = 4
};

// Stored as one byte; the values are those of the settings file.
enum class TabulationStyle : std::uint8_t { UsingRows = 0, UsingColumns = 1 };

// The one record of the clipboard calculation, owned by the main window.
struct CalcState {
    clipcalc::MathMode mathMode = clipcalc::MathMode::Addition;
    clipcalc::TabulationStyle tabulationStyle = clipcalc::TabulationStyle::UsingRows;
    std::int32_t currentColumn = 1;
    std::int32_t currentRow = 1;
    double lastResult = 0.0;
    bool ignoreFirstRowWhenEmpty = true;
    // Bank-statement signs: «1,234.50-» is negative (the window's StatementSigns).
    bool statementSigns = false;
    char localeDecimalSeparator = '.';
    char localeThousandSeparator = ',';

    // A negative count stores 0; there is no upper bound.
    void setResultDecimals(std::int32_t n) { resultDecimals_ = n < 0 ? 0 : n; }
    std::int32_t resultDecimals() const { return resultDecimals_; }

    // The values of the first showing of the window, before the settings are read.
    void setStartValues();

  private:
    std::int32_t resultDecimals_ = 2;
};

// Settings file mapping: TabulationStyle 0 is UsingRows, anything else UsingColumns;
// written back as 0 or 1.
TabulationStyle tabulationStyleFromSetting(std::int32_t value);
std::int32_t tabulationStyleToSetting(TabulationStyle style);

// ignoreFirstRowWhenEmpty is on exactly when the stored value is 1.
bool ignoreFirstRowWhenEmptyFromSetting(std::int32_t value);

}  // namespace corvalo::clipcalc
