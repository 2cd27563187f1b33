#include "shell/font_metrics.h"

#include <algorithm>
#include <limits>

namespace corvalo::shell {

namespace {
constexpr int kDefaultColumnUnits = 64;
constexpr int kDefaultRowUnits = 18;
}  // namespace

int EditBoxHeight(int textHeight, int borderHeight) {
    return textHeight + kEditBoxBorders * borderHeight;
}

int DisplayPanelHeight(int textHeight, bool look3d, int borderHeight) {
    return textHeight + (look3d ? 8 : 6) * borderHeight;
}

GridMetrics FirstShowingGridMetrics(int editBoxHeight) {
    GridMetrics m;
    m.RowHeight = GridRowHeight(editBoxHeight);
    m.DefaultColWidth = m.RowHeight * kDefaultColumnUnits / kDefaultRowUnits;
    m.HeaderColWidth = m.RowHeight;
    return m;
}

int GridRowHeight(int editBoxHeight) {
    // A row never collapses to nothing, whatever font the user picks.
    return std::max(1, editBoxHeight - kRowHeightInset);
}

int ScaledColumnWidth(int width, int oldRow, int newRow) {
    if (oldRow <= 0) return width;
    // 64-bit product: a 100000-pixel column and a huge font must not wrap around.
    const std::int64_t scaled = std::int64_t{width} * newRow / oldRow;
    return static_cast<int>(std::clamp<std::int64_t>(scaled, 0, std::numeric_limits<int>::max()));
}

void ScaleColumnWidths(std::span<int> widths, int oldRow, int newRow) {
    for (int& w : widths) w = ScaledColumnWidth(w, oldRow, newRow);
}

}  // namespace corvalo::shell
