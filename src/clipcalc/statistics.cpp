#include "clipcalc/statistics.h"

#include <cmath>

#include "clipcalc/calculate.h"
#include "clipcalc/format.h"
#include "clipcalc/parser.h"
#include "platform/error.h"

namespace corvalo::clipcalc {

namespace {

class Accumulator {
  public:
    explicit Accumulator(char decimal) : decimal_(decimal) {}

    // One cell, `p` followed by Grid::kReadAhead readable bytes when `padded`.
    void add(const char* p, std::size_t n, bool textOnly, bool padded) {
        double v = 0.0;
        const bool number =
            padded ? arenaCellNumber(p, n, decimal_, v) : cellNumber({p, n}, decimal_, v);
        if (!number) {
            // Blanks alone are an empty cell too.
            if (textOnly || hasValue({p, n})) ++s_.ignored;
            return;
        }
        s_.sum += v;
        if (!std::isfinite(s_.sum)) throw Error("Floating point overflow");
        if (s_.count == 0 || v < s_.min) s_.min = v;
        if (s_.count == 0 || v > s_.max) s_.max = v;
        ++s_.count;
    }

    LineStatistics finish() {
        if (s_.count != 0) s_.mean = s_.sum / static_cast<double>(s_.count);
        return s_;
    }

  private:
    const char decimal_;
    LineStatistics s_;
};

}  // namespace

LineStatistics lineStatistics(const CalcState& state, const Grid& grid) {
    Accumulator acc(state.localeDecimalSeparator);
    if (state.tabulationStyle == TabulationStyle::UsingColumns) {
        const bool walked = grid.walkColumn(
            state.currentColumn,
            [&](const char* p, std::size_t n, bool textOnly) { acc.add(p, n, textOnly, true); });
        if (!walked) {
            for (std::int32_t r = 1; r < grid.rowCount(); ++r) {
                const std::string_view cell = grid.cell(state.currentColumn, r);
                acc.add(cell.data(), cell.size(), grid.textOnly(state.currentColumn, r), false);
            }
        }
    } else {
        for (std::int32_t c = 1; c < grid.colCount(); ++c) {
            const std::string_view cell = grid.cell(c, state.currentRow);
            acc.add(cell.data(), cell.size(), grid.textOnly(c, state.currentRow), false);
        }
    }
    return acc.finish();
}

std::array<std::string, 6> statisticsTexts(const CalcState& state, const LineStatistics& s) {
    const auto whole = [&](std::int64_t n) {
        return formatResult(static_cast<double>(n), 0, state.localeDecimalSeparator,
                            state.localeThousandSeparator);
    };
    const auto figure = [&](double v) {
        return s.count == 0 ? std::string() : formatResult(state, v);
    };
    return {whole(s.count), formatResult(state, s.sum),
            figure(s.mean), figure(s.min),
            figure(s.max),  whole(s.ignored)};
}

}  // namespace corvalo::clipcalc
