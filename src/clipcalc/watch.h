#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "clipcalc/calc_state.h"

namespace corvalo::clipcalc {

// Copied text above this size waits for Calculate Clipboard instead of running by itself.
inline constexpr std::size_t kMaxWatchedText = std::size_t{8} << 20;

// The cells holding a number that Calculate Clipboard would store for this 8-bit
// CR LF text, counted on the side and only up to `enough`; nothing when the text
// cleans to nothing. A name or a sentence stores empty cells only: with fewer than
// two numbers the grid and the total are left as they were.
std::optional<std::int64_t> countClipboardNumbers(std::string_view text, const CalcState& state,
                                                  std::int64_t enough = 2);

}  // namespace corvalo::clipcalc
