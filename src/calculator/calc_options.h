#pragma once

#include <cstdint>

namespace corvalo::calculator {

enum TOvcCalculatorOption : std::uint8_t {
    coShowItemCount,        // an item-count line before each total on the tape
    coShowMemoryButtons,    // the memory column
    coShowClearTapeButton,  // the CT button
    coShowTape,             // the paper tape above the display
    coShowSeparatePercent,  // % only replaces the entry; the operation stays pending
};

// A set of options in one byte, bit n for option n.
using TOvcCalculatorOptions = std::uint8_t;

constexpr TOvcCalculatorOptions OptionBit(TOvcCalculatorOption option) {
    return static_cast<TOvcCalculatorOptions>(1u << option);
}
constexpr bool HasOption(TOvcCalculatorOptions set, TOvcCalculatorOption option) {
    return (set & OptionBit(option)) != 0;
}

// What this program uses: item counts and the memory column; no tape, no CT.
inline constexpr TOvcCalculatorOptions kDefaultOptions =
    OptionBit(coShowItemCount) | OptionBit(coShowMemoryButtons);

}  // namespace corvalo::calculator
