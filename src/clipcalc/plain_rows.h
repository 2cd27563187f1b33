#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "clipcalc/calculate.h"

namespace corvalo::clipcalc {

// Text that holds nothing but rows of plain numbers: cells «-1234.5» (an optional '-',
// digits, optionally the decimal separator between two digits) parted by single TABs,
// every row ended by CR LF, no empty cell and no empty row. Loaded as a TAB-separated
// text that keeps its leading row, each line becomes a row and each cell keeps its own
// text, so a column can be read straight from the text.
struct PlainRows {
    std::int64_t cells = 0;
    std::int32_t rows = 0;
    std::int32_t cols = 0;  // cells of the widest row
};

// The longest row, CR LF included, that stepPlainRows reads.
inline constexpr std::size_t kMaxPlainRow = 64;

// Readable bytes that must follow the text handed to stepPlainRows.
inline constexpr std::size_t kPlainRowsReadAhead = kMaxPlainRow;

// Which classifier reads the rows: the fastest this processor runs, or, for tests, the
// 16-byte one that every x86-64 processor runs (the fastest elsewhere) or the portable one.
enum class RowClassifier { Fastest, Sse2, Scalar };

// When `text` is such rows, none longer than kMaxPlainRow: steps `first` over column 1
// and `chosen`, unless null, over column `col` (0 for a row without that cell), as
// LineResult::add does over the loaded grid, and returns the counts. Otherwise nothing,
// with both results as they were. A step beyond the range of a double throws
// Error("Floating point overflow").
std::optional<PlainRows> stepPlainRows(std::string_view text, char decimal, std::int32_t col,
                                       LineResult& first, LineResult* chosen,
                                       RowClassifier classifier = RowClassifier::Fastest);

}  // namespace corvalo::clipcalc
