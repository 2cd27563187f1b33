#include "cli.h"

#include <cstring>
#include <ostream>
#include <string_view>

#include "clipcalc/calculate.h"
#include "clipcalc/format.h"
#include "clipcalc/load.h"
#include "clipcalc/pipeline.h"
#include "clipcalc/statistics.h"
#include "corvalo/version.h"
#include "input.h"
#include "options.h"
#include "platform/ansi_text.h"
#include "platform/error.h"
#include "stream.h"

namespace corvalo::cli {

namespace {

using clipcalc::CalcState;
using clipcalc::CalculateMessage;
using clipcalc::TabulationStyle;

struct Caption : clipcalc::ResultDisplay {
    void setDisplayCaption(const std::string&) override {}
};

bool byColumns(const CalcState& s) {
    return s.tabulationStyle == TabulationStyle::UsingColumns;
}

// The window's messages speak of the clipboard and its menus; here they speak of
// the input and the options.
std::string messageText(CalculateMessage m, const CalcState& s) {
    switch (m) {
        case CalculateMessage::None:
            break;
        case CalculateMessage::ClipboardEmpty:
            return "the input holds no number";
        case CalculateMessage::TooFewNumbers:
            return "the input holds fewer than two numbers to calculate";
        case CalculateMessage::OnlyOneNumber:
            return byColumns(s) ? "each column holds a single number; --rows calculates along "
                                  "the row"
                                : "each row holds a single number; --columns calculates down "
                                  "the column";
    }
    return {};
}

std::string shown(const CalcState& s) {
    return platform::ansiToUtf8(clipcalc::formatResult(s, s.lastResult));
}

CalcState stateFor(const Options& o, platform::LocaleSeparators locale) {
    CalcState state;
    state.setStartValues();
    state.mathMode = o.mode;
    state.tabulationStyle = o.style;
    state.setResultDecimals(o.decimals);
    state.ignoreFirstRowWhenEmpty = !o.keepLeadingEmptyRows;
    state.statementSigns = o.statementSigns;
    state.localeDecimalSeparator =
        o.decimalSeparator.empty() ? locale.decimal : o.decimalSeparator[0];
    state.localeThousandSeparator =
        o.thousandsSeparator.empty() ? locale.thousands : o.thousandsSeparator[0];
    return state;
}

// The input as the 8-bit CR LF text the calculation reads.
platform::BigBuffer<char> ansiText(platform::BigBuffer<char>&& input, bool statementSigns) {
    const std::string_view raw(input.data(), input.size());
    if (platform::isAnsiCrLf(raw)) return std::move(input);
    platform::BigBuffer<char> text;
    platform::utf8ToAnsi(raw, text,
                         statementSigns ? platform::Dashes::AsMinus : platform::Dashes::Unmapped);
    return text;
}

void printStatistics(const CalcState& state, const clipcalc::Grid& grid, std::ostream& out) {
    const auto texts = clipcalc::statisticsTexts(state, clipcalc::lineStatistics(state, grid));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        out << clipcalc::kStatisticsKeys[i] << '\t' << platform::ansiToUtf8(texts[i]) << '\n';
    }
}

void printStatisticsRow(std::int32_t line, const CalcState& state, const clipcalc::Grid& grid,
                        std::ostream& out) {
    out << line;
    for (const std::string& text :
         clipcalc::statisticsTexts(state, clipcalc::lineStatistics(state, grid))) {
        out << '\t' << platform::ansiToUtf8(text);
    }
    out << '\n';
}

int lineBeyond(const Options& o, const CalcState& state, std::int32_t lines, std::ostream& err) {
    err << "corvalo-cli: --line " << o.line << ": the input has " << lines
        << (byColumns(state) ? " column" : " row") << (lines == 1 ? "" : "s") << '\n';
    return kUsage;
}

// Prints what was asked for the calculated grid; a usage status when --line lies
// beyond it, otherwise kOk.
int printResults(const Options& o, CalcState& state, const clipcalc::Grid& grid, std::ostream& out,
                 std::ostream& err) {
    const std::int32_t lines = (byColumns(state) ? grid.colCount() : grid.rowCount()) - 1;
    const auto choose = [&](std::int32_t n) {
        (byColumns(state) ? state.currentColumn : state.currentRow) = n;
        if (!o.stats) clipcalc::calculateLine(state, grid);
    };
    if (o.all) {
        if (o.stats) out << "line\tcount\tsum\tmean\tmin\tmax\tignored\n";
        for (std::int32_t n = 1; n <= lines; ++n) {
            choose(n);
            if (o.stats) {
                printStatisticsRow(n, state, grid, out);
            } else {
                out << shown(state) << '\n';
            }
        }
        return kOk;
    }
    if (o.line > lines) return lineBeyond(o, state, lines, err);
    if (o.line != 1) choose(o.line);
    if (o.stats) {
        printStatistics(state, grid, out);
    } else {
        out << shown(state) << '\n';
    }
    return kOk;
}

int calculate(const Options& o, platform::BigBuffer<char>&& input, CalcState& state,
              std::ostream& out, std::ostream& err) {
    clipcalc::Grid grid;
    Caption display;
    const clipcalc::CalculateOutcome outcome = clipcalc::calculateClipboardText(
        ansiText(std::move(input), o.statementSigns), state, grid, display);
    if (!outcome.calculated) {
        err << "corvalo-cli: " << messageText(outcome.message, state) << '\n';
        return kMessage;
    }
    if (const int status = printResults(o, state, grid, out, err); status != kOk) return status;
    if (outcome.message != CalculateMessage::None) {
        err << "corvalo-cli: " << messageText(outcome.message, state) << '\n';
        return kMessage;
    }
    return kOk;
}

// What calculate prints for the same input loaded whole.
int printStreamed(const Options& o, CalcState& state, const StreamedColumn& column,
                  std::ostream& out, std::ostream& err) {
    if (column.cells < 2) {
        err << "corvalo-cli: " << messageText(CalculateMessage::TooFewNumbers, state) << '\n';
        return kMessage;
    }
    if (o.line > column.cols) return lineBeyond(o, state, column.cols, err);
    state.currentColumn = o.line;
    state.lastResult = column.chosenColumn;
    out << shown(state) << '\n';
    if (column.rows == 1) {
        err << "corvalo-cli: " << messageText(CalculateMessage::OnlyOneNumber, state) << '\n';
        return kMessage;
    }
    return kOk;
}

// One column of a long input is calculated piece by piece as it is read.
bool streams(const Options& o, const CalcState& state, std::size_t pieceBytes) {
    return pieceBytes != 0 && byColumns(state) && !o.all && !o.stats &&
           clipcalc::loadsInOnePass(state.localeDecimalSeparator, state.localeThousandSeparator);
}

int readFailure(const InputFailure& failure, std::ostream& err) {
    err << "corvalo-cli: " << failure.name << ": " << std::strerror(failure.error) << '\n';
    return kUsage;
}

int readAndCalculate(const Options& o, CalcState& state, int stdinFd, std::size_t pieceBytes,
                     std::ostream& out, std::ostream& err) {
    InputStream in(o.files, stdinFd, clipcalc::kMaxClipboardText);
    platform::BigBuffer<char> input;
    if (streams(o, state, pieceBytes)) {
        std::optional<StreamedColumn> column;
        try {
            CalcState chosen = state;
            chosen.currentColumn = o.line;
            column = streamColumn(in, input, chosen, pieceBytes);
        } catch (const Error&) {
            // Read on: an input that cannot be read is told before any result.
            in.skipRest();
            if (in.failure()) return readFailure(*in.failure(), err);
            throw;
        }
        if (in.failure()) return readFailure(*in.failure(), err);
        if (column) return printStreamed(o, state, *column, out, err);
    }
    in.readRest(input);
    if (in.failure()) return readFailure(*in.failure(), err);
    return calculate(o, std::move(input), state, out, err);
}

}  // namespace

int run(std::span<const std::string> args, int stdinFd, platform::LocaleSeparators locale,
        std::ostream& out, std::ostream& err, std::size_t pieceBytes) {
    Options o;
    try {
        o = parseOptions(args);
    } catch (const UsageError& e) {
        err << "corvalo-cli: " << e.what() << "\nTry 'corvalo-cli --help'.\n";
        return kUsage;
    }
    if (o.help) {
        out << usageText();
        return kOk;
    }
    if (o.version) {
        out << "corvalo-cli " << kVersionText << '\n';
        return kOk;
    }
    try {
        CalcState state = stateFor(o, locale);
        return readAndCalculate(o, state, stdinFd, pieceBytes, out, err);
    } catch (const Error& e) {
        err << "corvalo-cli: " << errorReportText(e.what()) << '\n';
        return kError;
    } catch (const std::bad_alloc&) {
        err << "corvalo-cli: Out of memory.\n";
        return kError;
    }
}

}  // namespace corvalo::cli
