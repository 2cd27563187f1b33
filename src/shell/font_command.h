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
    // The font the target carries now (display panel, grid, calculator's TapeFont).
    virtual platform::FontSpec TargetFont(FontTarget target) const = 0;
    // The target takes the font and its control repaints; nothing else changes.
    virtual void SetTargetFont(FontTarget target, const platform::FontSpec& font) = 0;
    // The hidden edtBase takes the grid font.
    virtual void SetEdtBaseFont(const platform::FontSpec& font) = 0;
    // Text-metric height (tmHeight) of a font on the screen.
    virtual int TextHeight(const platform::FontSpec& font) const = 0;

    virtual int GridRowHeight() const = 0;
    virtual void SetGridRowHeight(int height) = 0;
    virtual int GridColCount() const = 0;  // the header column included
    virtual int GridColWidth(int col) const = 0;
    virtual void SetGridColWidth(int col, int width) = 0;
    // The width that columns the grid gains later will take.
    virtual void SetGridDefaultColWidth(int width) = 0;
    virtual void RepaintGrid() = 0;

    // The window's own operations: the panel's height from its font, and the
    // grid page's size (a collapsed window follows the panel).
    virtual void AdjustDisplayHeight() = 0;
    virtual void ApplyWindowMode() = 0;
};

// One font command: the dialog starts from the target font; Apply shows the
// dialog's font on the target only; OK also runs the target's follow-up
// (panel height and window size, grid metrics, nothing for the calculator);
// Cancel keeps whatever Apply did.
void RunFontCommand(FontTarget target, platform::FontChooser& chooser, FontCommandHost& host);

// The first showing: edtBase takes the grid font, rows are its edit-box height
// less 4, every column row height * 64 / 18 wide, the header column as wide
// as the row height.
void ApplyFirstShowingGridMetrics(FontCommandHost& host);

// The height AdjustDisplayHeight gives the display panel for its font.
int AdjustedDisplayHeight(const FontCommandHost& host);

// The settings file keeps face, size, colour, bold and italic; underline and
// strike-out live only as long as the run.
platform::FontSpec ToFontSpec(const FontSettings& stored, bool underline = false,
                              bool strikeOut = false);
FontSettings ToFontSettings(const platform::FontSpec& font);

}  // namespace corvalo::shell
