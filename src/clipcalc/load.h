#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

#include "clipcalc/calc_state.h"
#include "clipcalc/clean.h"
#include "clipcalc/grid.h"
#include "platform/big_buffer.h"

namespace corvalo::clipcalc {

// The longest clipboard text taken. A row of it holds at most this many TABs, so
// its last column number plus one stays within a signed 32-bit count, as does
// every row number; every offset into the text fits the grid's 32-bit offsets.
inline constexpr std::size_t kMaxClipboardText =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()) - 2;

// Room after the text that loadClipboardText takes for its reading ahead: a caller
// that reserves it at once keeps the buffer from being moved for it.
inline constexpr std::size_t kLoadReadAhead = 2 * 64 + 16;

// Throws Error("Out of memory") for a text of more than kMaxClipboardText bytes.
void checkClipboardTextSize(std::size_t bytes);

// Cleans the clipboard text and parses it straight into the grid: exactly what
// cleanClipboardText, a CR LF appended when the cleaned text does not end in LF,
// and parseTable do one after the other, in one pass, with the cells built inside
// the text's own buffer, which the grid then keeps. The grid must be empty with
// both counts at 2; the memory of its cell offsets is filled again. Returns the
// cell count, or nothing when the text cleans to nothing. `layout` as for
// prepareClipboardText.
std::optional<std::int64_t> loadClipboardText(platform::BigBuffer<char>&& text,
                                              const CalcState& state, Grid& grid,
                                              TextLayout layout = TextLayout::Detect);

// Whether loadClipboardText reads text with these separators in its one pass, and
// so takes `layout` into account; otherwise it cleans the whole text first.
bool loadsInOnePass(char decimal, char thousands);

}  // namespace corvalo::clipcalc
