#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "clipcalc/calc_state.h"

namespace corvalo::cli {

// What the command line asks for. On the command line a column of numbers is the
// usual input, so columns are the default direction.
struct Options {
    clipcalc::TabulationStyle style = clipcalc::TabulationStyle::UsingColumns;
    clipcalc::MathMode mode = clipcalc::MathMode::Addition;
    std::int32_t line = 1;
    std::int32_t decimals = 2;
    bool keepLeadingEmptyRows = false;
    bool statementSigns = false;
    bool all = false;
    bool stats = false;
    bool help = false;
    bool version = false;
    std::string decimalSeparator;  // one 8-bit character; empty: the locale's
    std::string thousandsSeparator;
    std::vector<std::string> files;  // in order; none means standard input
};

// A command line that cannot be followed; what() says why, without the program name.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "--line 2" and "--line=2" alike; "--" ends the options, "-" is standard input.
Options parseOptions(std::span<const std::string> args);

std::string usageText();

}  // namespace corvalo::cli
