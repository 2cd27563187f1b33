#include "options.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <string_view>

#include "platform/ansi_text.h"

namespace corvalo::cli {

namespace {

using clipcalc::MathMode;
using clipcalc::TabulationStyle;

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

MathMode mathMode(std::string_view m) {
    if (m == "add") return MathMode::Addition;
    if (m == "subtract") return MathMode::Subtraction;
    if (m == "multiply") return MathMode::Multiplication;
    if (m == "divide") return MathMode::Division;
    throw UsageError("--mode takes add, subtract, multiply or divide, not '" + std::string(m) +
                     "'");
}

// The options that take no value; true when `name` was one of them.
bool setFlag(Options& o, std::string_view name) {
    bool* const flag = name == "--keep-leading-empty-rows" ? &o.keepLeadingEmptyRows
                       : name == "--statement-signs"       ? &o.statementSigns
                       : name == "--all"                   ? &o.all
                       : name == "--stats"                 ? &o.stats
                       : name == "--help"                  ? &o.help
                       : name == "--version"               ? &o.version
                                                           : nullptr;
    if (flag != nullptr) {
        *flag = true;
    } else if (name == "--columns") {
        o.style = TabulationStyle::UsingColumns;
    } else if (name == "--rows") {
        o.style = TabulationStyle::UsingRows;
    } else {
        return false;
    }
    return true;
}

constexpr std::string_view kValueOptions[] = {"--line", "--mode", "--decimals",
                                              "--decimal-separator", "--thousands-separator"};

bool takesValue(std::string_view name) {
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), name) !=
           std::end(kValueOptions);
}

// One of kValueOptions.
void setValue(Options& o, std::string_view name, std::string_view value) {
    if (name == "--line") {
        o.line = wholeNumber(name, value, 1);
    } else if (name == "--mode") {
        o.mode = mathMode(value);
    } else if (name == "--decimals") {
        o.decimals = wholeNumber(name, value, 0);
    } else if (name == "--decimal-separator") {
        o.decimalSeparator = oneCharacter(name, value);
    } else {
        o.thousandsSeparator = oneCharacter(name, value);
    }
}

}  // namespace

Options parseOptions(std::span<const std::string> args) {
    Options o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (optionsEnded || a == "-" || a.empty() || a[0] != '-') {
            o.files.emplace_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if (a == "-h") {
            o.help = true;
            continue;
        }
        const std::size_t eq = a.find('=');
        const std::string_view name = a.substr(0, eq);
        std::optional<std::string_view> value;
        if (eq != std::string_view::npos) value = a.substr(eq + 1);
        if (takesValue(name)) {
            if (!value) {
                if (i + 1 >= args.size()) throw UsageError(std::string(name) + " needs a value");
                value = args[++i];
            }
            setValue(o, name, *value);
        } else if (value) {
            Options probe;
            throw UsageError(setFlag(probe, name) ? std::string(name) + " takes no value"
                                                  : "unknown option '" + std::string(name) + "'");
        } else if (!setFlag(o, name)) {
            throw UsageError("unknown option '" + std::string(a) + "'");
        }
    }
    return o;
}

std::string usageText() {
    return "Usage: corvalo-cli [OPTION]... [FILE]...\n"
           "Adds (or subtracts, multiplies, divides) a column or row of the numbers in\n"
           "the FILEs, read one after the other as one text, and prints the result as\n"
           "Corvalo's display shows it. With no FILE, or when FILE is -, it reads\n"
           "standard input.\n"
           "\n"
           "  --columns                 calculate down a column (the default)\n"
           "  --rows                    calculate along a row\n"
           "  --line N                  which column or row, from 1 (default 1)\n"
           "  --mode MODE               add, subtract, multiply or divide (default add)\n"
           "  --decimals N              decimals of the result (default 2)\n"
           "  --keep-leading-empty-rows keep rows without numbers before the first one\n"
           "  --statement-signs         read 12.50- and a dash before a number as negative\n"
           "  --decimal-separator C     instead of the locale's\n"
           "  --thousands-separator C   instead of the locale's\n"
           "  --all                     the result of every column or row, one a line\n"
           "  --stats                   count, sum, mean, min, max and ignored cells\n"
           "                            of the line (with --all: of every line, as TSV)\n"
           "  --help                    this text\n"
           "  --version                 the version\n"
           "\n"
           "An option's value may also follow it after '=': --mode=divide.\n"
           "\n"
           "Exit status: 0 done, 1 the input gave no result or only a hint (on standard\n"
           "error), 2 bad options or an unreadable FILE, 3 an error such as an overflow.\n";
}

}  // namespace corvalo::cli
