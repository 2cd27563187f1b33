#pragma once

#include <cstdint>
#include <initializer_list>

namespace corvalo::deskcalc {

enum class CalculatorOption : std::uint8_t {
    ShowItemCount,        // an item-count line before each total on the tape
    ShowMemoryButtons,    // the memory column
    ShowClearTapeButton,  // the CT button
    ShowTape,             // the paper tape above the display
    ShowSeparatePercent,  // % only replaces the entry; the operation stays pending
};

// A set of options, one bit each.
class CalculatorOptions {
  public:
    constexpr CalculatorOptions() = default;
    constexpr CalculatorOptions(std::initializer_list<CalculatorOption> options) {
        for (const CalculatorOption option : options) bits_ |= bit(option);
    }

    constexpr bool has(CalculatorOption option) const { return (bits_ & bit(option)) != 0; }
    constexpr CalculatorOptions with(CalculatorOption option) const {
        return fromBits(static_cast<std::uint8_t>(bits_ | bit(option)));
    }
    constexpr CalculatorOptions without(CalculatorOption option) const {
        return fromBits(static_cast<std::uint8_t>(bits_ & ~bit(option)));
    }
    bool operator==(const CalculatorOptions&) const = default;

  private:
    static constexpr std::uint8_t bit(CalculatorOption option) {
        return static_cast<std::uint8_t>(1u << static_cast<unsigned>(option));
    }
    static constexpr CalculatorOptions fromBits(std::uint8_t bits) {
        CalculatorOptions set;
        set.bits_ = bits;
        return set;
    }

    std::uint8_t bits_ = 0;
};

// What this program uses: item counts and the memory column; no tape, no CT.
inline constexpr CalculatorOptions kDefaultOptions{CalculatorOption::ShowItemCount,
                                                   CalculatorOption::ShowMemoryButtons};

}  // namespace corvalo::deskcalc
