#include "clipcalc/calc_state.h"

namespace corvalo::clipcalc {

void CalcState::setStartValues() {
    currentColumn = 1;
    currentRow = 1;
    setResultDecimals(2);
    lastResult = 0.0;
}

TabulationStyle tabulationStyleFromSetting(std::int32_t value) {
    return value == 0 ? TabulationStyle::UsingRows : TabulationStyle::UsingColumns;
}

std::int32_t tabulationStyleToSetting(TabulationStyle style) {
    return style == TabulationStyle::UsingColumns ? 1 : 0;
}

bool ignoreFirstRowWhenEmptyFromSetting(std::int32_t value) {
    return value == 1;
}

}  // namespace corvalo::clipcalc
