#include "clipcalc/watch.h"

#include <utility>

#include "clipcalc/grid.h"
#include "clipcalc/load.h"
#include "platform/big_buffer.h"

namespace corvalo::clipcalc {

std::optional<std::int64_t> countClipboardNumbers(std::string_view text, const CalcState& state,
                                                  std::int64_t enough) {
    platform::BigBuffer<char> copy;
    copy.append(text.data(), text.size());
    Grid scratch;
    scratch.setRowCount(2);
    scratch.setColCount(2);
    if (!loadClipboardText(std::move(copy), state, scratch)) return std::nullopt;
    // A cell whose text cleaned to nothing is stored empty: it holds no number.
    std::int64_t numbers = 0;
    for (std::int32_t row = 1; row < scratch.rowCount(); ++row) {
        for (std::int32_t col = 1; col < scratch.colCount(); ++col) {
            if (!scratch.cell(col, row).empty() && ++numbers >= enough) return numbers;
        }
    }
    return numbers;
}

}  // namespace corvalo::clipcalc
