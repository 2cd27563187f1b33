#pragma once

#include "platform/font_chooser.h"
#include "shell/settings.h"

namespace corvalo::shell {

// The three fonts the user can choose (Options > Fonts).
enum class FontTarget { MainDisplay, Grid, CalculatorDisplay };

// What the font commands need of the main window. Qt-free, so the commands'
// order of effects is tested against a fake.
class FontCommandHost {
  public:
    virtual ~FontCommandHost() = default;
    // The font the target carries now (display panel, grid, calculator's tapeFont).
    virtual platform::FontSpec targetFont(FontTarget target) const = 0;
    // The target takes the font and its control repaints; nothing else changes.
    virtual void setTargetFont(FontTarget target, const platform::FontSpec& font) = 0;
    // The hidden single-line edit that measures the grid font takes it; its height sets the rows.
    virtual void setGridFontProbe(const platform::FontSpec& font) = 0;
    // Text-metric height (tmHeight) of a font on the screen.
    virtual int textHeight(const platform::FontSpec& font) const = 0;

    virtual int gridRowHeight() const = 0;
    virtual void setGridRowHeight(int height) = 0;
    virtual int gridColCount() const = 0;  // the header column included
    virtual int gridColWidth(int col) const = 0;
    virtual void setGridColWidth(int col, int width) = 0;
    // The width that columns the grid gains later will take.
    virtual void setGridDefaultColWidth(int width) = 0;
    virtual void repaintGrid() = 0;

    // The window's own operations: the panel's height from its font, and the
    // grid page's size (a collapsed window follows the panel).
    virtual void adjustDisplayHeight() = 0;
    virtual void applyWindowMode() = 0;
};

// One font command: the dialog starts from the target font; Apply shows the
// dialog's font on the target only; OK also runs the target's follow-up
// (panel height and window size, grid metrics, nothing for the calculator);
// Cancel keeps whatever Apply did.
void runFontCommand(FontTarget target, platform::FontChooser& chooser, FontCommandHost& host);

// The first showing: the grid font probe takes the grid font, rows are its edit-box height
// less 4, every column row height * 64 / 18 wide, the header column as wide
// as the row height.
void applyFirstShowingGridMetrics(FontCommandHost& host);

// The height adjustDisplayHeight gives the display panel for its font.
int adjustedDisplayHeight(const FontCommandHost& host);

}  // namespace corvalo::shell
