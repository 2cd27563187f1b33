#pragma once

#include <stdexcept>
#include <string>

namespace corvalo {

// The one exception family of the program: what() is the exact text the user
// sees in the standard error report ("Floating point overflow", "Cannot open
// clipboard", ...).
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The text of the standard error report: the error's text followed by a period,
// unless it already ends in '.' or in a character whose code is below that of '.'.
std::string errorReportText(const std::string& message);

}  // namespace corvalo
