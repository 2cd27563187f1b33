#pragma once

#include <type_traits>

namespace corvalo::tray {

// A set of the flags of an enum whose values are single bits:
//   ShiftState held = ShiftFlag::Ctrl | ShiftFlag::Left;  held.has(ShiftFlag::Ctrl) -> true
template <typename Flag>
class FlagSet {
  public:
    using Bits = std::underlying_type_t<Flag>;

    constexpr FlagSet() = default;
    // Implicit: a single flag is a set of one.
    constexpr FlagSet(Flag flag) : bits_(static_cast<Bits>(flag)) {}  // NOLINT

    constexpr bool has(Flag flag) const { return (bits_ & static_cast<Bits>(flag)) != 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr Bits bits() const { return bits_; }

    constexpr FlagSet operator|(FlagSet other) const {
        return fromBits(static_cast<Bits>(bits_ | other.bits_));
    }
    constexpr FlagSet& operator|=(FlagSet other) {
        bits_ = static_cast<Bits>(bits_ | other.bits_);
        return *this;
    }
    constexpr bool operator==(const FlagSet&) const = default;

  private:
    static constexpr FlagSet fromBits(Bits bits) {
        FlagSet set;
        set.bits_ = bits;
        return set;
    }
    Bits bits_ = 0;
};

}  // namespace corvalo::tray
