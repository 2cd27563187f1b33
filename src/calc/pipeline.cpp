#include "calc/pipeline.h"

#include <string>

#include "calc/clean.h"
#include "calc/parser.h"

namespace corvalo::calc {

namespace {

// Receives the cleaning's tokens and separators and feeds them to the parser as
// the cleaned text would, remembering what that text would have looked like at
// its end (empty, or ending in LF).
class CleanToGrid {
public:
    CleanToGrid(Grid& grid, const CalcState& state)
        : grid_(grid),
          parser_(grid, state.LocaleDecimalSeparator, state.IgnoreFirstRowWhenEmpty),
          decimal_(state.LocaleDecimalSeparator),
          thousands_(state.LocaleThousandSeparator) {}

    void token(const char* p, const char* q) {
        char* out = grid_.PendingRoom(static_cast<std::size_t>(q - p) + 1);
        const std::size_t n = CleanNumberInto(p, q, decimal_, thousands_, out);
        if (n != 0) {
            parser_.FeedWritten(n);
            last_ = 'x';
        }
    }
    void separator(char c) {
        parser_.Feed(c);
        last_ = c;
    }

    bool cleanedEmpty() const { return last_ == 0; }
    bool cleanedEndsWithLf() const { return last_ == '\n'; }
    TableParser& parser() { return parser_; }

private:
    Grid& grid_;
    TableParser parser_;
    const char decimal_;
    const char thousands_;
    char last_ = 0;  // last character of the cleaned text so far ('x' for any number text)
};

}  // namespace

std::optional<std::int64_t> LoadClipboardText(std::span<char> text, const CalcState& state,
                                              Grid& grid) {
    const std::string_view t = PrepareClipboardText(text.data(), text.size());
    CleanToGrid sink(grid, state);
    SplitTokens(t, sink);
    if (sink.cleanedEmpty()) {
        grid.ClearPendingCell();
        return std::nullopt;
    }
    if (!sink.cleanedEndsWithLf()) {
        sink.parser().Feed('\r');
        sink.parser().Feed('\n');
    }
    grid.ClearPendingCell();
    return sink.parser().CellCount();
}

CalculateOutcome CalculateClipboardText(std::optional<std::span<char>> text, CalcState& state,
                                        Grid& grid, ResultDisplay& display) {
    CalculateOutcome outcome;
    const auto stop = [&outcome](CalculateMessage m, std::string_view msg) {
        outcome.message = m;
        outcome.messageText = std::string(msg);
        return outcome;
    };
    if (!text) return stop(CalculateMessage::ClipboardEmpty, MsgClipboardEmpty);
    grid.ResetGrid();

    // Text that cleans to nothing leaves the emptied grid at its old size; it
    // stores no cell, so the counts can simply be put back.
    const std::int32_t oldCols = grid.ColCount();
    const std::int32_t oldRows = grid.RowCount();
    grid.SetRowCount(2);
    grid.SetColCount(2);
    const auto cells = LoadClipboardText(*text, state, grid);
    if (!cells) {
        grid.SetRowCount(oldRows);
        grid.SetColCount(oldCols);
        return stop(CalculateMessage::ClipboardEmpty, MsgClipboardEmpty);
    }
    outcome.cellCount = *cells;
    if (*cells < 2) return stop(CalculateMessage::TooFewNumbers, MsgTooFewNumbers);

    state.CurrentRow = 1;
    state.CurrentColumn = 1;
    Recalculate(state, grid, display);
    outcome.calculated = true;

    const bool byRows = state.TabulationStyle == TabulationStyle::UsingRows;
    if ((byRows && grid.ColCount() == 2) || (!byRows && grid.RowCount() == 2)) {
        outcome.message = CalculateMessage::OnlyOneNumber;
        outcome.messageText = std::string(MsgOnlyOneNumber);
        outcome.messageText += byRows ? MsgHintColumnToRow : MsgHintRowToColumn;
        outcome.gridNeeded = true;
    }
    if (grid.ColCount() > 3 || grid.RowCount() > 3) outcome.gridNeeded = true;
    return outcome;
}

}  // namespace corvalo::calc
