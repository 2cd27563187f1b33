#include "shell/font_command.h"

#include "shell/font_metrics.h"

namespace corvalo::shell {

namespace {

void applyGridFontOk(const platform::FontSpec& font, FontCommandHost& host) {
    host.SetEdtBaseFont(font);
    const int oldRow = host.GridRowHeight();
    const int newRow = GridRowHeight(EditBoxHeight(host.TextHeight(font)));
    host.SetGridRowHeight(newRow);
    const int cols = host.GridColCount();
    for (int c = 0; c < cols; ++c) {
        host.SetGridColWidth(c, ScaledColumnWidth(host.GridColWidth(c), oldRow, newRow));
    }
    host.RepaintGrid();
}

}  // namespace

void RunFontCommand(FontTarget target, platform::FontChooser& chooser, FontCommandHost& host) {
    const auto chosen = chooser.Choose(
        host.TargetFont(target),
        [&](const platform::FontSpec& font) { host.SetTargetFont(target, font); });
    if (!chosen) return;
    host.SetTargetFont(target, *chosen);
    switch (target) {
        case FontTarget::MainDisplay:
            host.AdjustDisplayHeight();
            host.ApplyWindowMode();
            break;
        case FontTarget::Grid:
            applyGridFontOk(*chosen, host);
            break;
        case FontTarget::CalculatorDisplay:
            // Its display height follows at the calculator's next resize.
            break;
    }
}

void ApplyFirstShowingGridMetrics(FontCommandHost& host) {
    const platform::FontSpec font = host.TargetFont(FontTarget::Grid);
    host.SetEdtBaseFont(font);
    const GridMetrics m = FirstShowingGridMetrics(EditBoxHeight(host.TextHeight(font)));
    host.SetGridRowHeight(m.RowHeight);
    host.SetGridDefaultColWidth(m.DefaultColWidth);
    const int cols = host.GridColCount();
    for (int c = 1; c < cols; ++c) host.SetGridColWidth(c, m.DefaultColWidth);
    if (cols > 0) host.SetGridColWidth(0, m.HeaderColWidth);
    host.RepaintGrid();
}

int AdjustedDisplayHeight(const FontCommandHost& host) {
    return DisplayPanelHeight(host.TextHeight(host.TargetFont(FontTarget::MainDisplay)));
}

platform::FontSpec ToFontSpec(const FontSettings& stored, bool underline, bool strikeOut) {
    return {stored.Name, stored.Size, stored.Color, stored.Bold,
            stored.Italic, underline, strikeOut};
}

FontSettings ToFontSettings(const platform::FontSpec& font) {
    return {font.Name, font.Size, font.Color, font.Bold, font.Italic};
}

}  // namespace corvalo::shell
