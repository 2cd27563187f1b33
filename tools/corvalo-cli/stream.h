#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "clipcalc/calc_state.h"
#include "input.h"
#include "platform/big_buffer.h"

namespace corvalo::cli {

// What a column calculated piece by piece comes to: what the whole input loaded
// into one grid would show.
struct StreamedColumn {
    std::int64_t cells = 0;     // as loadClipboardText counts them
    std::int32_t rows = 0;      // data rows
    std::int32_t cols = 0;      // data columns of the widest row
    double chosenColumn = 0.0;  // state.currentColumn's result
};

// Calculates state.currentColumn of all that `in` yields (and column 1, whose
// overflow the whole input reports first whatever the line), `raw` holding what
// was read of it so far, a piece of about `pieceBytes` at a time in memory used
// again for every piece: a long input takes no more memory than a piece. Each
// piece is cut after a line ending in a digit before a line starting with no
// blank, so the cleaning sees it as it would inside the whole text.
//
// Returns nothing, with everything read so far in `raw` and the rest unread, when
// the input fits in one piece or its first piece does not show it as TAB-separated
// rows that keep their leading row: then the whole input must be loaded at once.
// A step beyond the range of a double throws Error("Floating point overflow").
std::optional<StreamedColumn> streamColumn(InputStream& in, platform::BigBuffer<char>& raw,
                                           const clipcalc::CalcState& state,
                                           std::size_t pieceBytes);

}  // namespace corvalo::cli
