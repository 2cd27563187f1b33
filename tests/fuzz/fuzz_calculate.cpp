// The whole calculate pipeline from raw clipboard bytes. The first byte picks the
// locale, direction, mode and decimals; the rest is the clipboard's UTF-8 text.
// Checks: the one-pass load gives exactly what cleaning and then parsing give;
// every line in every mode calculates or reports an overflow; every result
// formats, and the text reads back to the value within its rounding.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calc/calculate.h"
#include "calc/clean.h"
#include "calc/format.h"
#include "calc/parser.h"
#include "calc/pipeline.h"
#include "platform/ansi_text.h"
#include "platform/error.h"

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

struct Display : calc::ResultDisplay {
    void SetDisplayCaption(const std::string& c) override { caption = c; }
    std::string caption;
};

// The number a formatted result stands for.
double reread(const std::string& shown, const Locale& l) {
    std::string plain;
    for (const char c : shown) {
        if (c == l.thousands) continue;
        plain.push_back(c == l.decimal ? '.' : c);
    }
    return std::strtod(plain.c_str(), nullptr);
}

void checkFormat(double v, int decimals, const Locale& l) {
    const std::string shown = calc::FormatResult(v, decimals, l.decimal, l.thousands);
    const double r = reread(shown, l);
    const double magnitude = std::fabs(v);
    const int places = decimals <= 18 ? decimals : 2;
    double tolerance;
    if (magnitude >= 1e18) {
        // Scientific: the mantissa is cut at the decimals (at most 17 of them).
        tolerance = magnitude * std::pow(10.0, -std::min(places, 17)) * 1.01;
    } else {
        tolerance = 0.5 * std::pow(10.0, -places) * 1.0001 + magnitude * 1e-15;
    }
    if (!(std::fabs(r - v) <= tolerance)) fail("formatted result does not read back");
    if (decimals > 0 && shown.find(l.decimal) == std::string::npos) fail("no decimal separator");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const Locale& l = kLocales[options & 3];
    const std::string utf8(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string ansi = platform::Utf8ToAnsi(utf8);

    calc::CalcState state;
    state.SetStartValues();
    state.LocaleDecimalSeparator = l.decimal;
    state.LocaleThousandSeparator = l.thousands;
    state.IgnoreFirstRowWhenEmpty = (options & 4) == 0;
    state.TabulationStyle =
        (options & 8) ? calc::TabulationStyle::UsingColumns : calc::TabulationStyle::UsingRows;
    const int decimals = (options >> 4) + (options >> 7) * 10;  // 0 to 25

    // The one-pass load against cleaning and parsing one after the other.
    std::string cleaned = calc::CleanClipboardText(ansi, l.decimal, l.thousands);
    calc::Grid literal;
    literal.ResetGrid();
    literal.SetRowCount(2);
    literal.SetColCount(2);
    std::int64_t literalCount = -1;
    if (!cleaned.empty()) {
        if (cleaned.back() != '\n') cleaned += "\r\n";
        literalCount = calc::ParseTable(cleaned, state, literal);
    }
    calc::Grid grid;
    grid.ResetGrid();
    grid.SetRowCount(2);
    grid.SetColCount(2);
    const auto count =
        calc::LoadClipboardText(platform::BigText(ansi.data(), ansi.size()), state, grid);
    if (count.value_or(-1) != literalCount) fail("cell counts differ");
    if (grid.ColCount() != literal.ColCount() || grid.RowCount() != literal.RowCount()) {
        fail("grid sizes differ");
    }
    for (std::int32_t r = 0; r < grid.RowCount(); ++r) {
        for (std::int32_t c = 0; c < grid.ColCount(); ++c) {
            if (grid.Cell(c, r) != literal.Cell(c, r)) fail("cells differ");
        }
    }

    // The command itself, then every line in every mode, formatted.
    Display display;
    state.SetResultDecimals(decimals);
    try {
        calc::CalculateClipboardText(platform::BigText(ansi.data(), ansi.size()), state, grid,
                                     display);
    } catch (const Error&) {
    }
    const bool byColumns = state.TabulationStyle == calc::TabulationStyle::UsingColumns;
    const std::int32_t lines = std::min((byColumns ? grid.ColCount() : grid.RowCount()) - 1, 64);
    for (const auto mode : {calc::MathMode::Addition, calc::MathMode::Subtraction,
                            calc::MathMode::Multiplication, calc::MathMode::Division}) {
        state.MathMode = mode;
        for (std::int32_t n = 1; n <= lines; ++n) {
            (byColumns ? state.CurrentColumn : state.CurrentRow) = n;
            const double before = state.LastResult;
            try {
                calc::CalculateLine(state, grid);
            } catch (const Error&) {
                if (state.LastResult != before) fail("overflow changed the result");
                continue;
            }
            if (!std::isfinite(state.LastResult)) fail("result not finite");
            checkFormat(state.LastResult, decimals, l);
        }
    }
    return 0;
}
