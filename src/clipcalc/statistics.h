#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"

namespace corvalo::clipcalc {

// The figures of one line of the grid.
struct LineStatistics {
    std::int64_t count = 0;  // cells that gave a number, as calculateLine reads them
    double sum = 0.0;        // exactly the Addition result of the line
    double mean = 0.0;       // mean, min and max are 0 when count is 0 (shown empty)
    double min = 0.0;
    double max = 0.0;
    std::int64_t ignored = 0;  // cells whose text gave no number; empty cells are not
    bool sumOverflow = false;  // the sum left the range of a double, as Addition would
};

// The figures of the chosen line (column or row as the state says), in one pass
// without allocating. A sum beyond the range of a double throws
// Error("Floating point overflow"), as Addition does. calculateLine gives the same
// figures from the result's own walk.
LineStatistics lineStatistics(const CalcState& state, const Grid& grid);

inline constexpr std::array<std::string_view, 6> kStatisticsKeys = {"count", "sum", "mean",
                                                                    "min",   "max", "ignored"};

// The figures as shown, in the order of kStatisticsKeys: the counts as whole
// numbers grouped like the result, the others as formatResult shows them; mean,
// min and max empty when the line holds no number.
std::array<std::string, 6> statisticsTexts(const CalcState& state, const LineStatistics& s);

}  // namespace corvalo::clipcalc
