// The whole calculate pipeline from raw clipboard bytes. The first byte picks the
// locale, direction, mode and decimals; the rest is the clipboard's UTF-8 text.
// Checks: the one-pass load gives exactly what cleaning and then parsing give;
// every line in every mode calculates or reports an overflow, a column read
// down the arena exactly as the same cells read one by one; every result
// formats, and the text reads back to the value within its rounding.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "clipcalc/calculate.h"
#include "clipcalc/format.h"
#include "clipcalc/load.h"
#include "clipcalc/pipeline.h"
#include "clipcalc/statistics.h"
#include "platform/ansi_text.h"
#include "platform/error.h"
#include "support/load_reference.h"

using namespace corvalo;

namespace {

struct Locale {
    char decimal, thousands;
};
constexpr Locale kLocales[] = {{'.', ','}, {',', '.'}, {',', '\xA0'}, {'.', '\''}};

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

struct Display : clipcalc::ResultDisplay {
    void setDisplayCaption(const std::string& c) override { caption = c; }
    std::string caption;
};

// The number a formatted result stands for, in extended precision: a result near the
// largest double may round up beyond it ("1.5E+308" at no decimals shows "2E+308").
long double reread(const std::string& shown, const Locale& l) {
    std::string plain;
    for (const char c : shown) {
        if (c == l.thousands) continue;
        plain.push_back(c == l.decimal ? '.' : c);
    }
    return std::strtold(plain.c_str(), nullptr);
}

void checkFormat(double v, int decimals, const Locale& l) {
    const std::string shown = clipcalc::formatResult(v, decimals, l.decimal, l.thousands);
    const long double r = reread(shown, l);
    const double magnitude = std::fabs(v);
    const int places = decimals <= 18 ? decimals : 2;
    // Rounded at the decimals: half a unit of the last shown place, and the 18
    // significant digits written before rounding. Scientific results show at most
    // 17 mantissa decimals, and the unit is scaled by the exponent shown.
    int exponent = 0;
    if (const auto e = shown.find('E'); e != std::string::npos) {
        exponent = std::atoi(shown.c_str() + e + 1);
        if (magnitude < 1e18) fail("scientific form below 10^18");
    } else if (magnitude >= 1e18) {
        fail("plain form from 10^18 up");
    }
    const int shownPlaces = exponent != 0 ? std::min(places, 17) : places;
    const long double tolerance =
        0.5L * std::pow(10.0L, exponent - shownPlaces) * 1.0001L + magnitude * 1e-15L;
    if (!(std::fabs(r - v) <= tolerance)) fail("formatted result does not read back");
    if (decimals > 0 && shown.find(l.decimal) == std::string::npos) fail("no decimal separator");
}

// The result and the statistics line's figures from one walk against the two walks apart.
void checkOneWalk(const clipcalc::CalcState& state, double before, const clipcalc::Grid& grid) {
    clipcalc::CalcState again = state;
    again.lastResult = before;
    clipcalc::LineStatistics figures;
    clipcalc::calculateLine(again, grid, figures);
    if (std::memcmp(&again.lastResult, &state.lastResult, sizeof(double)) != 0) {
        fail("the walk with figures gives another result");
    }
    try {
        const clipcalc::LineStatistics apart = clipcalc::lineStatistics(state, grid);
        if (figures.sumOverflow || apart.count != figures.count || apart.sum != figures.sum ||
            apart.mean != figures.mean || apart.min != figures.min || apart.max != figures.max ||
            apart.ignored != figures.ignored) {
            fail("figures of one walk and of their own walk differ");
        }
    } catch (const Error&) {
        if (!figures.sumOverflow) fail("an overflowing sum of figures went unmarked");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const Locale& l = kLocales[options & 3];
    const std::string utf8(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string ansi = platform::utf8ToAnsi(utf8);

    clipcalc::CalcState state;
    state.setStartValues();
    state.localeDecimalSeparator = l.decimal;
    state.localeThousandSeparator = l.thousands;
    state.ignoreFirstRowWhenEmpty = (options & 4) == 0;
    state.tabulationStyle = (options & 8) ? clipcalc::TabulationStyle::UsingColumns
                                          : clipcalc::TabulationStyle::UsingRows;
    const int decimals = (options >> 4) + (options >> 7) * 10;  // 0 to 25

    // The one-pass load against cleaning and parsing one after the other.
    clipcalc::Grid literal;
    const std::int64_t literalCount = testing::cleanThenParse(ansi, state, literal);
    clipcalc::Grid grid;
    testing::startGrid(grid);
    const auto count =
        clipcalc::loadClipboardText(platform::bigText(ansi.data(), ansi.size()), state, grid);
    if (count.value_or(-1) != literalCount) fail("cell counts differ");
    if (!testing::gridDifference(grid, literal).empty()) fail("grids differ");

    // Every column summed down the arena against the same cells read as a row
    // of a transposed grid, cell by cell: bit for bit the same result.
    clipcalc::Grid transposed;
    transposed.setColCount(grid.rowCount());
    transposed.setRowCount(grid.colCount());
    for (std::int32_t c = 1; c < grid.colCount() && c <= 64; ++c) {
        for (std::int32_t r = 1; r < grid.rowCount(); ++r)
            transposed.setCell(r, c, grid.cell(c, r));
    }
    for (const auto mode : {clipcalc::MathMode::Addition, clipcalc::MathMode::Subtraction,
                            clipcalc::MathMode::Multiplication, clipcalc::MathMode::Division}) {
        for (std::int32_t c = 1; c < grid.colCount() && c <= 64; ++c) {
            clipcalc::CalcState down = state, across = state;
            down.mathMode = across.mathMode = mode;
            down.tabulationStyle = clipcalc::TabulationStyle::UsingColumns;
            across.tabulationStyle = clipcalc::TabulationStyle::UsingRows;
            down.currentColumn = across.currentRow = c;
            bool downFailed = false, acrossFailed = false;
            try {
                clipcalc::calculateLine(down, grid);
            } catch (const Error&) {
                downFailed = true;
            }
            try {
                clipcalc::calculateLine(across, transposed);
            } catch (const Error&) {
                acrossFailed = true;
            }
            if (downFailed != acrossFailed) fail("column and row disagree on overflow");
            if (std::memcmp(&down.lastResult, &across.lastResult, sizeof(double)) != 0) {
                fail("column and transposed row differ");
            }
        }
    }

    // The command itself, then every line in every mode, formatted.
    Display display;
    state.setResultDecimals(decimals);
    try {
        clipcalc::calculateClipboardText(platform::bigText(ansi.data(), ansi.size()), state, grid,
                                         display);
    } catch (const Error&) {
    }
    const bool byColumns = state.tabulationStyle == clipcalc::TabulationStyle::UsingColumns;
    const std::int32_t lines = std::min((byColumns ? grid.colCount() : grid.rowCount()) - 1, 64);
    for (const auto mode : {clipcalc::MathMode::Addition, clipcalc::MathMode::Subtraction,
                            clipcalc::MathMode::Multiplication, clipcalc::MathMode::Division}) {
        state.mathMode = mode;
        for (std::int32_t n = 1; n <= lines; ++n) {
            (byColumns ? state.currentColumn : state.currentRow) = n;
            const double before = state.lastResult;
            try {
                clipcalc::calculateLine(state, grid);
            } catch (const Error&) {
                if (state.lastResult != before) fail("overflow changed the result");
                continue;
            }
            checkOneWalk(state, before, grid);
            if (!std::isfinite(state.lastResult)) fail("result not finite");
            checkFormat(state.lastResult, decimals, l);
        }
    }
    return 0;
}
