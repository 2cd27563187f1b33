#include "stream.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "clipcalc/calculate.h"
#include "clipcalc/grid.h"
#include "clipcalc/load.h"
#include "clipcalc/plain_rows.h"
#include "platform/ansi_text.h"

namespace corvalo::cli {

namespace {

using clipcalc::CalcState;
using clipcalc::Grid;
using clipcalc::LineResult;
using clipcalc::TextLayout;
using platform::BigBuffer;

// Room after a piece for either way of reading it.
constexpr std::size_t kReadAhead =
    std::max(clipcalc::kLoadReadAhead, clipcalc::kPlainRowsReadAhead);

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool blank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view view(const BigBuffer<char>& b, std::size_t n) {
    return {b.data(), n};
}

// Where to cut `text`: after the last LF but one that ends a line whose last
// character is a digit and starts one with no blank. The cleaning trims blanks only
// at the ends of the whole text, so it must meet none at a cut; a line ending in a
// number ends its row at the end of a piece as inside the whole text, where a line
// of words alone would be no row; and what is left always holds a whole line and
// text after it, so the last piece never cleans to less than it would inside the
// whole. 0 when there is no such LF.
std::size_t pieceEnd(std::string_view text) {
    int found = 0;
    for (std::size_t i = text.rfind('\n'); i != std::string_view::npos && i > 0;
         i = text.rfind('\n', i - 1)) {
        std::size_t before = i;
        if (before > 0 && text[before - 1] == '\r') --before;
        if (i + 1 < text.size() && !blank(text[i + 1]) && before > 0 &&
            isDigit(text[before - 1]) && ++found == 2) {
            return i + 1;
        }
    }
    return 0;
}

// Reads until `raw` holds `want` bytes; false when the input ended first.
bool fill(InputStream& in, BigBuffer<char>& raw, std::size_t want) {
    while (raw.size() < want) {
        if (!in.readSome(raw, want - raw.size())) return false;
    }
    return true;
}

void dropFront(BigBuffer<char>& raw, std::size_t n) {
    std::memmove(raw.data(), raw.data() + n, raw.size() - n);
    raw.resizeUninitialized(raw.size() - n);
}

// Cuts the piece [0, end) off `raw` as the 8-bit CR LF text the calculation reads,
// which the whole input's conversion gives it too: a piece that is such text
// already stays where it is, and what follows it moves to `spare`, which becomes
// `raw`. True when the text ends inside the piece at a NUL.
bool takePiece(BigBuffer<char>& raw, std::size_t end, BigBuffer<char>& spare,
               BigBuffer<char>& text, bool statementSigns) {
    const std::string_view piece(raw.data(), end);
    if (platform::isAnsiCrLf(piece)) {
        spare.clear();
        spare.append(raw.data() + end, raw.size() - end);
        raw.resizeUninitialized(end);
        text = std::move(raw);
        raw = std::move(spare);
        return false;
    }
    const bool nul = std::memchr(piece.data(), '\0', piece.size()) != nullptr;
    platform::utf8ToAnsi(piece, spare,
                         statementSigns ? platform::Dashes::AsMinus : platform::Dashes::Unmapped);
    text = std::move(spare);
    dropFront(raw, end);
    return nul;
}

// A TAB that the trimming of the text's ends leaves: the whole text is then read
// as TAB-separated.
bool holdsTab(const BigBuffer<char>& text) {
    const char* first = text.begin();
    const char* last = text.end();
    while (first != last && blank(*first)) ++first;
    while (last != first && blank(last[-1])) --last;
    return std::find(first, last, '\t') != last;
}

class PieceCalculation {
  public:
    explicit PieceCalculation(const CalcState& state)
        : state_(state), first_(state.mathMode), chosen_(state.mathMode) {}

    Grid& grid() { return grid_; }

    // Loads one piece; false when it cleans to nothing.
    bool load(BigBuffer<char>&& text, TextLayout layout) {
        grid_.emptyCells();
        grid_.setRowCount(2);
        grid_.setColCount(2);
        const auto cells = clipcalc::loadClipboardText(std::move(text), state_, grid_, layout);
        if (!cells) return false;
        total_.cells += *cells;
        total_.rows += grid_.rowCount() - 1;
        total_.cols = std::max(total_.cols, grid_.colCount() - 1);
        return true;
    }

    // Whether the first piece kept its leading row: the rows after it then never
    // drop one, as they would not inside the whole text.
    bool keptLeadingRow() const {
        if (!grid_.walkColumn(1, [](const char*, std::size_t) {})) return false;
        if (!state_.ignoreFirstRowWhenEmpty) return true;
        for (std::int32_t c = 1; c < grid_.colCount(); ++c) {
            if (!grid_.cell(c, 1).empty()) return true;
        }
        return false;
    }
    void keepLeadingRows() { state_.ignoreFirstRowWhenEmpty = false; }

    // Steps over a piece of rows of plain numbers, at least `minCols` cells in one
    // of them, straight from the text, which kPlainRowsReadAhead readable bytes
    // follow; false, stepping nothing, for any other piece.
    bool stepPlain(std::string_view piece, std::int32_t minCols = 1) {
        const std::int32_t chosen = state_.currentColumn;
        LineResult first = first_;
        LineResult other = chosen_;
        const auto rows = clipcalc::stepPlainRows(piece, state_.localeDecimalSeparator, chosen,
                                                  first, chosen == 1 ? nullptr : &other);
        if (!rows || rows->cols < minCols) return false;
        first_ = first;
        chosen_ = other;
        total_.cells += rows->cells;
        total_.rows += rows->rows;
        total_.cols = std::max(total_.cols, rows->cols);
        return true;
    }

    void calculate() {
        const std::int32_t chosen = state_.currentColumn;
        state_.currentColumn = 1;
        first_.add(state_, grid_);
        state_.currentColumn = chosen;
        if (chosen != 1) chosen_.add(state_, grid_);
    }

    StreamedColumn result() const {
        StreamedColumn r = total_;
        r.chosenColumn = state_.currentColumn == 1 ? first_.value() : chosen_.value();
        return r;
    }

  private:
    CalcState state_;
    Grid grid_;
    LineResult first_, chosen_;
    StreamedColumn total_;
};

}  // namespace

std::optional<StreamedColumn> streamColumn(InputStream& in, BigBuffer<char>& raw,
                                           const CalcState& state, std::size_t pieceBytes) {
    if (!fill(in, raw, pieceBytes)) return std::nullopt;
    std::size_t end = pieceEnd(view(raw, raw.size()));
    if (end == 0) return std::nullopt;
    PieceCalculation calc(state);
    raw.reserve(raw.size() + kReadAhead);
    // Rows of plain numbers with a TAB among them are TAB-separated and keep their
    // leading row.
    if (!calc.stepPlain(view(raw, end), 2)) {
        // The first piece is loaded from a copy: `raw` stays whole until it is known
        // that the input can go piece by piece.
        BigBuffer<char> copy, spare, text;
        copy.reserve(end + kReadAhead);
        copy.append(raw.data(), end);
        if (takePiece(copy, end, spare, text, state.statementSigns) || !holdsTab(text)) {
            return std::nullopt;
        }
        if (!calc.load(std::move(text), TextLayout::Detect) || !calc.keptLeadingRow()) {
            return std::nullopt;
        }
        calc.calculate();
    }
    calc.keepLeadingRows();
    dropFront(raw, end);
    BigBuffer<char> text;

    std::size_t want = pieceBytes;
    for (;;) {
        const bool more = fill(in, raw, want);
        end = more ? pieceEnd(view(raw, raw.size())) : raw.size();
        if (more && end == 0) {
            want = raw.size() + pieceBytes;  // a line longer than a piece
            continue;
        }
        want = pieceBytes;
        if (end == 0) break;
        raw.reserve(raw.size() + kReadAhead);
        if (calc.stepPlain(view(raw, end))) {
            dropFront(raw, end);
        } else {
            BigBuffer<char> recycled = calc.grid().takeText();
            const bool endsAtNul = takePiece(raw, end, recycled, text, state.statementSigns);
            if (calc.load(std::move(text), TextLayout::TabSeparated)) calc.calculate();
            if (endsAtNul) {
                raw.clear();
                in.skipRest();
                break;
            }
        }
        if (!more) break;
    }
    return calc.result();
}

}  // namespace corvalo::cli
