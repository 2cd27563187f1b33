#pragma once

#include <string>

namespace corvalo::shell {

// What Edit > Copy needs of the desk calculator: the number being typed or the
// text of its last result, as 8-bit text.
class CalculatorEntry {
public:
    virtual ~CalculatorEntry() = default;
    virtual std::string entryText() const = 0;
};

}  // namespace corvalo::shell
