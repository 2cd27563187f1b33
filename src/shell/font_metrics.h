#pragma once

#include <cstdint>
#include <span>

namespace corvalo::shell {

// Heights and widths that follow from a font's text metrics. Plain integer
// arithmetic, so the window, its tests and the grid agree to the pixel.

// The system's border height; a single-line edit with the 3-D look adds eight.
inline constexpr int kBorderHeight = 1;
inline constexpr int kEditBoxBorders = 8;
// The grid's rows are 4 pixels lower than an edit box of the grid font.
inline constexpr int kRowHeightInset = 4;

// Height of a single-line edit box (3-D look) for a font: 15 -> 23.
int editBoxHeight(int textHeight, int borderHeight = kBorderHeight);

// Height of the display panel: the font's text height plus the border height
// times 8 with the 3-D look (times 6 without): 17 -> 25.
int displayPanelHeight(int textHeight, bool look3d = true, int borderHeight = kBorderHeight);

// The grid's row height, default column width and header column width.
struct GridMetrics {
    int rowHeight = 18;
    int defaultColWidth = 64;
    int headerColWidth = 18;
    bool operator==(const GridMetrics&) const = default;
};

// The grid at the first showing, from the edit-box height of its font:
// 22 -> rows of 18, columns of 18 * 64 / 18 = 64, header column 18.
GridMetrics firstShowingGridMetrics(int editBoxHeight);

// The grid font command's new row height: edit-box height 26 -> 22.
int gridRowHeight(int editBoxHeight);

// A column's width after the row height changes from oldRow to newRow,
// truncating: 64 at 18 -> 22 gives 78 (64 * 22 / 18 = 78.2). Wide enough not
// to overflow; a zero old height leaves the width as it is.
int scaledColumnWidth(int width, int oldRow, int newRow);

// Every width of `widths` (header column included) scaled as above.
void scaleColumnWidths(std::span<int> widths, int oldRow, int newRow);

}  // namespace corvalo::shell
