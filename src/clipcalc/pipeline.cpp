#include "clipcalc/pipeline.h"

#include "clipcalc/load.h"

namespace corvalo::clipcalc {

CalculateOutcome calculateClipboardText(std::optional<platform::BigBuffer<char>> text,
                                        CalcState& state, Grid& grid, ResultDisplay& display) {
    CalculateOutcome outcome;
    const auto stop = [&outcome](CalculateMessage m, std::string_view msg) {
        outcome.message = m;
        outcome.messageText = std::string(msg);
        return outcome;
    };
    // Without text the grid is not touched, and the display still shows its result.
    if (!text) return stop(CalculateMessage::ClipboardEmpty, kMsgClipboardEmpty);
    grid.emptyCells();

    // After the grid has changed, a stop shows the chosen line of what it now holds
    // (at most one cell, so no overflow): the display, the decimal popup and Copy
    // never show the previous paste's result. The chosen line itself stays.
    const auto stopShowingGrid = [&](CalculateMessage m, std::string_view msg) {
        recalculate(state, grid, display);
        return stop(m, msg);
    };

    // Text that cleans to nothing leaves the emptied grid at its old size; it
    // stores no cell, so the counts can simply be put back.
    const std::int32_t oldCols = grid.colCount();
    const std::int32_t oldRows = grid.rowCount();
    grid.setRowCount(2);
    grid.setColCount(2);
    const auto cells = loadClipboardText(std::move(*text), state, grid);
    if (!cells) {
        grid.setRowCount(oldRows);
        grid.setColCount(oldCols);
        return stopShowingGrid(CalculateMessage::ClipboardEmpty, kMsgClipboardEmpty);
    }
    outcome.cellCount = *cells;
    if (*cells < 2) return stopShowingGrid(CalculateMessage::TooFewNumbers, kMsgTooFewNumbers);

    state.currentRow = 1;
    state.currentColumn = 1;
    recalculate(state, grid, display);
    outcome.calculated = true;

    // One number per line in the current direction: the other direction was likely meant.
    const bool byRows = state.tabulationStyle == TabulationStyle::UsingRows;
    if ((byRows && grid.colCount() == 2) || (!byRows && grid.rowCount() == 2)) {
        outcome.message = CalculateMessage::OnlyOneNumber;
        outcome.messageText = std::string(kMsgOnlyOneNumber);
        outcome.messageText += byRows ? kMsgHintColumnToRow : kMsgHintRowToColumn;
        outcome.gridNeeded = true;
    }
    if (grid.colCount() > 3 || grid.rowCount() > 3) outcome.gridNeeded = true;
    return outcome;
}

}  // namespace corvalo::clipcalc
