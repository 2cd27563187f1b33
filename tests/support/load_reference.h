#pragma once
// What the one-pass load must give: cleaning and then parsing, one after the other.
// Shared by the load's unit test and the calculate fuzz target.
#include <cstdint>
#include <string>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/clean.h"
#include "clipcalc/grid.h"
#include "clipcalc/parser.h"

namespace corvalo::testing {

// A grid as a calculation starts it.
inline void startGrid(clipcalc::Grid& grid) {
    grid.emptyCells();
    grid.setRowCount(2);
    grid.setColCount(2);
}

// Fills `grid` from the cleaned and parsed `ansi`; the cell count, -1 when nothing is left.
inline std::int64_t cleanThenParse(std::string_view ansi, const clipcalc::CalcState& state,
                                   clipcalc::Grid& grid) {
    std::string cleaned = clipcalc::cleanClipboardText(
        ansi, state.localeDecimalSeparator, state.localeThousandSeparator, state.statementSigns);
    startGrid(grid);
    if (cleaned.empty()) return -1;
    if (cleaned.back() != '\n') cleaned += "\r\n";
    return clipcalc::parseTable(cleaned, state, grid);
}

// Empty when both grids are the same size with the same cells, else where they differ.
inline std::string gridDifference(const clipcalc::Grid& a, const clipcalc::Grid& b) {
    if (a.colCount() != b.colCount() || a.rowCount() != b.rowCount()) return "grid sizes";
    for (std::int32_t r = 0; r < a.rowCount(); ++r) {
        for (std::int32_t c = 0; c < a.colCount(); ++c) {
            if (a.cell(c, r) != b.cell(c, r))
                return "cell " + std::to_string(c) + "," + std::to_string(r);
        }
    }
    return {};
}

}  // namespace corvalo::testing
