#include "calc/calc_state.h"

namespace corvalo::calc {

void CalcState::SetStartValues() {
    CurrentColumn = 1;
    CurrentRow = 1;
    SetResultDecimals(2);
    LastResult = 0.0;
}

TabulationStyle TabulationStyleFromSetting(std::int32_t value) {
    return value == 0 ? TabulationStyle::UsingRows : TabulationStyle::UsingColumns;
}

std::int32_t TabulationStyleToSetting(TabulationStyle style) {
    return style == TabulationStyle::UsingColumns ? 1 : 0;
}

bool IgnoreFirstRowWhenEmptyFromSetting(std::int32_t value) { return value == 1; }

}  // namespace corvalo::calc
