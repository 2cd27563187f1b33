#include "shell/font_metrics.h"

#include <algorithm>
#include <limits>

namespace corvalo::shell {

namespace {
constexpr int kDefaultColumnUnits = 64;
constexpr int kDefaultRowUnits = 18;
}  // namespace

int editBoxHeight(int textHeight, int borderHeight) {
    return textHeight + kEditBoxBorders * borderHeight;
}

int displayPanelHeight(int textHeight, bool look3d, int borderHeight) {
    return textHeight + (look3d ? 8 : 6) * borderHeight;
}

GridMetrics firstShowingGridMetrics(int editBoxHeight) {
    GridMetrics m;
    m.rowHeight = gridRowHeight(editBoxHeight);
    m.defaultColWidth = m.rowHeight * kDefaultColumnUnits / kDefaultRowUnits;
    m.headerColWidth = m.rowHeight;
    return m;
}

int gridRowHeight(int editBoxHeight) {
    // A row never collapses to nothing, whatever font the user picks.
    return std::max(1, editBoxHeight - kRowHeightInset);
}

int scaledColumnWidth(int width, int oldRow, int newRow) {
    if (oldRow <= 0) return width;
    // 64-bit product: a 100000-pixel column and a huge font must not wrap around.
    const std::int64_t scaled = std::int64_t{width} * newRow / oldRow;
    return static_cast<int>(std::clamp<std::int64_t>(scaled, 0, std::numeric_limits<int>::max()));
}

void scaleColumnWidths(std::span<int> widths, int oldRow, int newRow) {
    for (int& w : widths) w = scaledColumnWidth(w, oldRow, newRow);
}

}  // namespace corvalo::shell
