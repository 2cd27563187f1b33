#include "clipcalc/statistics.h"

#include "clipcalc/figures_accumulator.h"
#include "clipcalc/format.h"
#include "clipcalc/line_cells.h"
#include "platform/error.h"

namespace corvalo::clipcalc {

LineStatistics lineStatistics(const CalcState& state, const Grid& grid) {
    FiguresAccumulator figures;
    forEachLineCell<true>(state, grid,
                          [&](bool number, double v, std::string_view text, bool textOnly) {
                              figures.add(number, v, text, textOnly);
                          });
    const LineStatistics s = figures.finish();
    if (s.sumOverflow) throw Error("Floating point overflow");
    return s;
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
