#pragma once

#include <cstdint>

namespace corvalo::calc {

enum class MathMode : std::int32_t { Addition = 1, Subtraction = 2, Multiplication = 3, Division = 4 };

// Stored as one byte; the values are those of the settings file.
enum class TabulationStyle : std::uint8_t { UsingRows = 0, UsingColumns = 1 };

// The one record of the clipboard calculation, owned by the main window.
struct CalcState {
    calc::MathMode MathMode = calc::MathMode::Addition;
    calc::TabulationStyle TabulationStyle = calc::TabulationStyle::UsingRows;
    std::int32_t CurrentColumn = 1;
    std::int32_t CurrentRow = 1;
    double LastResult = 0.0;
    bool IgnoreFirstRowWhenEmpty = true;
    char LocaleDecimalSeparator = '.';
    char LocaleThousandSeparator = ',';

    // A negative count stores 0; there is no upper bound.
    void SetResultDecimals(std::int32_t n) { resultDecimals_ = n < 0 ? 0 : n; }
    std::int32_t ResultDecimals() const { return resultDecimals_; }

    // The values of the first showing of the window, before the settings are read.
    void SetStartValues();

private:
    std::int32_t resultDecimals_ = 2;
};

// Settings file mapping: TabulationStyle 0 is UsingRows, anything else UsingColumns;
// written back as 0 or 1.
TabulationStyle TabulationStyleFromSetting(std::int32_t value);
std::int32_t TabulationStyleToSetting(TabulationStyle style);

// IgnoreFirstRowWhenEmpty is on exactly when the stored value is 1.
bool IgnoreFirstRowWhenEmptyFromSetting(std::int32_t value);

}  // namespace corvalo::calc
