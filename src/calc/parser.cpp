#include "calc/parser.h"

#include <algorithm>

namespace corvalo::calc {

namespace {

// The grid itself as the parser's store: the pending cell is written into it.
struct GridStore {
    Grid& grid;
    bool pendingHasValue() const { return HasValue(grid.PendingCell()); }
    void storeCell(std::int32_t col, std::int32_t row) { grid.StorePendingCell(col, row); }
    void dropRow() {
        grid.ClearPendingCell();
        grid.ForgetRowIfEmpty(1);
    }
};

}  // namespace

bool HasValue(std::string_view cell) {
    return std::any_of(cell.begin(), cell.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 32; });
}

std::int64_t ParseTable(std::string_view text, const CalcState& state, Grid& grid) {
    const char decimal = state.LocaleDecimalSeparator;
    GridStore store{grid};
    TableRows<GridStore> rows(store, state.IgnoreFirstRowWhenEmpty);
    for (const char c : text) {
        if (KeptInCell(c, decimal)) *grid.PendingRoom(1) = c, grid.GrowPending(1);
        if (c == '\r') rows.EndRow();
        if (c == '\t') rows.EndCell();
    }
    grid.ClearPendingCell();  // a cell not ended by TAB or CR is not stored
    return rows.CellCount();
}

}  // namespace corvalo::calc
