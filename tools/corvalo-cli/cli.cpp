#include "cli.h"

#include <charconv>
#include <ostream>
#include <string_view>

#include "clipcalc/calculate.h"
#include "clipcalc/format.h"
#include "clipcalc/pipeline.h"
#include "platform/ansi_text.h"
#include "platform/error.h"

namespace corvalo::cli {

namespace {

using clipcalc::CalcState;
using clipcalc::MathMode;
using clipcalc::TabulationStyle;

struct Options {
    TabulationStyle style = TabulationStyle::UsingRows;  // as the program starts
    MathMode mode = MathMode::Addition;
    std::int32_t line = 1;
    std::int32_t decimals = 2;
    bool keepLeadingEmptyRows = false;
    bool all = false;
    bool help = false;
    std::string decimalSeparator;  // UTF-8, empty: the locale's
    std::string thousandsSeparator;
};

class UsageError {
  public:
    explicit UsageError(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

std::int32_t wholeNumber(std::string_view option, std::string_view value, std::int32_t min) {
    std::int32_t n = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || ptr != value.data() + value.size() || n < min) {
        throw UsageError(std::string(option) + " takes a whole number from " +
                         std::to_string(min) + " up, not '" + std::string(value) + "'");
    }
    return n;
}

// One UTF-8 character that has an 8-bit form.
std::string oneCharacter(std::string_view option, std::string_view value) {
    const std::string ansi = platform::utf8ToAnsi(value);
    if (ansi.size() != 1 || ansi[0] == platform::kAnsiUnmappable || ansi[0] == '\r' ||
        ansi[0] == '\n' || ansi[0] == '\t') {
        throw UsageError(std::string(option) + " takes one character, not '" + std::string(value) +
                         "'");
    }
    return ansi;
}

Options parse(std::span<const std::string> args) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 >= args.size()) throw UsageError(std::string(a) + " needs a value");
            return args[++i];
        };
        if (a == "--columns") {
            o.style = TabulationStyle::UsingColumns;
        } else if (a == "--rows") {
            o.style = TabulationStyle::UsingRows;
        } else if (a == "--line") {
            o.line = wholeNumber(a, value(), 1);
        } else if (a == "--mode") {
            const std::string_view m = value();
            if (m == "add") {
                o.mode = MathMode::Addition;
            } else if (m == "subtract") {
                o.mode = MathMode::Subtraction;
            } else if (m == "multiply") {
                o.mode = MathMode::Multiplication;
            } else if (m == "divide") {
                o.mode = MathMode::Division;
            } else {
                throw UsageError("--mode takes add, subtract, multiply or divide, not '" +
                                 std::string(m) + "'");
            }
        } else if (a == "--decimals") {
            o.decimals = wholeNumber(a, value(), 0);
        } else if (a == "--keep-leading-empty-rows") {
            o.keepLeadingEmptyRows = true;
        } else if (a == "--decimal-separator") {
            o.decimalSeparator = oneCharacter(a, value());
        } else if (a == "--thousands-separator") {
            o.thousandsSeparator = oneCharacter(a, value());
        } else if (a == "--all") {
            o.all = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else {
            throw UsageError("unknown option '" + std::string(a) + "'");
        }
    }
    return o;
}

struct Caption : clipcalc::ResultDisplay {
    void setDisplayCaption(const std::string& caption) override { text = caption; }
    std::string text;
};

// Messages are written for a message box: two blanks around each line, CR LF
// between lines. On a terminal the lines stay, the CRs go.
void writeMessage(std::ostream& err, std::string_view message) {
    std::string text = platform::ansiToUtf8(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    err << text << '\n';
}

std::string shown(const CalcState& s) {
    return platform::ansiToUtf8(clipcalc::formatResult(s, s.lastResult));
}

}  // namespace

std::string usageText() {
    return "Usage: corvalo-cli [options] < text\n"
           "Adds (or subtracts, multiplies, divides) a column or row of the numbers in\n"
           "the text on standard input, as Corvalo's Calculate Clipboard does, and prints\n"
           "the result as its display shows it.\n"
           "\n"
           "  --columns                 calculate down a column\n"
           "  --rows                    calculate along a row (the default)\n"
           "  --line N                  which column or row, from 1 (default 1)\n"
           "  --mode MODE               add, subtract, multiply or divide (default add)\n"
           "  --decimals N              decimals of the result (default 2)\n"
           "  --keep-leading-empty-rows keep rows without numbers before the first one\n"
           "  --decimal-separator C     instead of the locale's\n"
           "  --thousands-separator C   instead of the locale's\n"
           "  --all                     the result of every column or row, one a line\n"
           "  --help                    this text\n"
           "\n"
           "Exit status: 0 done, 1 the text gave a message (on standard error),\n"
           "2 bad options, 3 an error such as an overflow.\n";
}

int run(std::span<const std::string> args, platform::BigBuffer<char>&& input,
        platform::LocaleSeparators locale, std::ostream& out, std::ostream& err) {
    Options o;
    try {
        o = parse(args);
    } catch (const UsageError& e) {
        err << "corvalo-cli: " << e.text() << "\nTry 'corvalo-cli --help'.\n";
        return kUsage;
    }
    if (o.help) {
        out << usageText();
        return kOk;
    }

    CalcState state;
    state.setStartValues();
    state.mathMode = o.mode;
    state.tabulationStyle = o.style;
    state.setResultDecimals(o.decimals);
    state.ignoreFirstRowWhenEmpty = !o.keepLeadingEmptyRows;
    state.localeDecimalSeparator =
        o.decimalSeparator.empty() ? locale.decimal : o.decimalSeparator[0];
    state.localeThousandSeparator =
        o.thousandsSeparator.empty() ? locale.thousands : o.thousandsSeparator[0];

    try {
        platform::BigBuffer<char> text;
        const std::string_view raw(input.data(), input.size());
        if (platform::isAnsiCrLf(raw)) {
            text = std::move(input);
        } else {
            platform::utf8ToAnsi(raw, text);
            input.release();
        }

        clipcalc::Grid grid;
        Caption display;
        const clipcalc::CalculateOutcome outcome =
            clipcalc::calculateClipboardText(std::move(text), state, grid, display);
        if (!outcome.calculated) {
            writeMessage(err, outcome.messageText);
            return kMessage;
        }

        const bool byColumns = state.tabulationStyle == TabulationStyle::UsingColumns;
        const std::int32_t lines = (byColumns ? grid.colCount() : grid.rowCount()) - 1;
        const auto choose = [&](std::int32_t n) {
            (byColumns ? state.currentColumn : state.currentRow) = n;
            clipcalc::calculateLine(state, grid);
        };
        if (o.all) {
            for (std::int32_t n = 1; n <= lines; ++n) {
                choose(n);
                out << shown(state) << '\n';
            }
        } else {
            if (o.line > lines) {
                err << "corvalo-cli: --line " << o.line << ": the text has " << lines
                    << (byColumns ? " column" : " row") << (lines == 1 ? "" : "s") << '\n';
                return kUsage;
            }
            if (o.line != 1) choose(o.line);
            out << shown(state) << '\n';
        }
        if (outcome.message != clipcalc::CalculateMessage::None) {
            writeMessage(err, outcome.messageText);
            return kMessage;
        }
        return kOk;
    } catch (const Error& e) {
        err << "corvalo-cli: " << errorReportText(e.what()) << '\n';
        return kError;
    } catch (const std::bad_alloc&) {
        err << "corvalo-cli: Out of memory.\n";
        return kError;
    }
}

}  // namespace corvalo::cli
