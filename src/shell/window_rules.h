#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "clipcalc/calc_state.h"
#include "shell/settings.h"

namespace corvalo::shell {

// The window's arithmetic, apart from any drawing: sizes of the two grid-page
// modes and the calculator page, the rules run on every resize, the line a grid
// click chooses, and where a window goes when its stored place is off screen.

inline constexpr int kNarrowWindowWidth = 300;  // the width that clears the size button
inline constexpr int kSizeButtonInset = 39;     // size button's left, from the tools' right
inline constexpr int kMinCalculatorHeight = 220;
inline constexpr int kMinCalculatorWidth = 295;

// The pages in the order the page stack holds them.
enum class Page { Grid = 0, Text = 1, Calculator = 2 };
constexpr int indexOf(Page page) {
    return static_cast<int>(page);
}
constexpr Page pageAt(int index) {
    return static_cast<Page>(index);
}
inline constexpr int kTabStripHeight = 0;  // the pages show no tabs: only commands switch them

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// What the frame and the menu bar add to the client area (outer - client).
struct FrameExtra {
    int width = 0;
    int height = 0;
};

// The fixed heights of the grid page above the grid.
struct GridPageHeights {
    int tabStrip = 0;
    int display = 0;
    int tools = 0;
    int minClientHeight() const { return tabStrip + display + tools; }
};

// Outer size of the grid page: expanded from the settings; collapsed as wide as
// collapsedWidth and just high enough for the display and the tools.
PixelSize gridPageWindowSize(bool expanded, const ShellSettings& s, FrameExtra frame,
                             GridPageHeights heights);

// Outer size that gives the calculator its stored size below the tab strip.
PixelSize calculatorWindowSize(const ShellSettings& s, FrameExtra frame, int tabStrip);

struct ResizeInput {
    Page page = Page::Grid;
    bool expanded = false;
    PixelSize outer;  // the window's new outer size
    FrameExtra frame;
    int decimalButtonRight = 0;  // right edge of the decimal button in the tools panel
    GridPageHeights heights;
    PixelSize calculator;  // the calculator control's current size
};

struct ResizeOutcome {
    int sizeButtonLeft = 0;
    std::optional<PixelSize> resizeTo;  // the outer size the window must take now
};

// The rules run on every resize once the window is initialised; they may store
// sizes into `s`. A collapsed window keeps its height, a window too narrow for
// the tools becomes 300 wide, a too small calculator page grows to 295 x 220.
ResizeOutcome applyResizeRules(const ResizeInput& in, ShellSettings& s);

// A click on cell (col, row): a click on row 0 (the corner too) chooses columns,
// one on column 0 rows; then the clicked line becomes current in the direction.
// False, and nothing changed, when the cell is outside the grid.
bool chooseLineByClick(clipcalc::CalcState& state, int col, int row, int colCount, int rowCount);

// Where a window with the stored bounds should go: unchanged while its top strip
// is on some screen, else moved into the first screen (a monitor since unplugged).
PixelRect placeOnScreens(PixelRect window, const std::vector<PixelRect>& screens);

// The size button's glyph: four 9 x 9 images side by side (up, disabled, pressed,
// latched down), white being transparent.
enum class GlyphInk : std::uint8_t { White, Black, Grey };
inline constexpr int kGlyphWidth = 36;
inline constexpr int kGlyphHeight = 9;
using SizeGlyph = std::array<GlyphInk, kGlyphWidth * kGlyphHeight>;
SizeGlyph makeSizeButtonGlyph();
// After the first calculation: white over (9, 0)-(17, 8), edges excluded, which
// blanks the disabled image but for its top right pixel.
void blankDisabledGlyph(SizeGlyph& glyph);

// Trims characters of code 32 or below from both ends.
std::string trimControl(std::string_view text);

}  // namespace corvalo::shell
