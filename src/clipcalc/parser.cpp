#include "clipcalc/parser.h"

#include <algorithm>

namespace corvalo::clipcalc {

namespace {

// The grid itself as the parser's store: the pending cell is written into it.
struct GridStore {
    Grid& grid;
    bool pendingHasValue() const { return hasValue(grid.pendingCell()); }
    void storeCell(std::int32_t col, std::int32_t row) { grid.storePendingCell(col, row); }
    void dropRow() {
        grid.clearPendingCell();
        grid.forgetRowIfEmpty(1);
    }
};

}  // namespace

bool hasValue(std::string_view cell) {
    return std::any_of(cell.begin(), cell.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 32; });
}

std::int64_t parseTable(std::string_view text, const CalcState& state, Grid& grid) {
    const char decimal = state.localeDecimalSeparator;
    GridStore store{grid};
    TableRows<GridStore> rows(store, state.ignoreFirstRowWhenEmpty);
    for (const char c : text) {
        if (keptInCell(c, decimal)) *grid.pendingRoom(1) = c, grid.growPending(1);
        if (c == '\r') rows.endRow();
        if (c == '\t') rows.endCell();
    }
    grid.clearPendingCell();  // a cell not ended by TAB or CR is not stored
    return rows.cellCount();
}

}  // namespace corvalo::clipcalc
