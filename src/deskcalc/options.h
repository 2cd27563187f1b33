#pragma once

#include <cstdint>

namespace corvalo::deskcalc {

enum CalculatorOption : std::uint8_t {
    coShowItemCount,        // an item-count line before each total on the tape
    coShowMemoryButtons,    // the memory column
    coShowClearTapeButton,  // the CT button
    coShowTape,             // the paper tape above the display
    coShowSeparatePercent,  // % only replaces the entry; the operation stays pending
};

// A set of options in one byte, bit n for option n.
using CalculatorOptions = std::uint8_t;

constexpr CalculatorOptions optionBit(CalculatorOption option) {
    return static_cast<CalculatorOptions>(1u << option);
}
constexpr bool hasOption(CalculatorOptions set, CalculatorOption option) {
    return (set & optionBit(option)) != 0;
}

// What this program uses: item counts and the memory column; no tape, no CT.
inline constexpr CalculatorOptions kDefaultOptions =
    optionBit(coShowItemCount) | optionBit(coShowMemoryButtons);

}  // namespace corvalo::deskcalc
