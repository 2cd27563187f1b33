#include "shell/font_command.h"

#include "shell/font_metrics.h"

namespace corvalo::shell {

namespace {

void applyGridFontOk(const platform::FontSpec& font, FontCommandHost& host) {
    host.setGridFontProbe(font);
    const int oldRow = host.gridRowHeight();
    const int newRow = gridRowHeight(editBoxHeight(host.textHeight(font)));
    host.setGridRowHeight(newRow);
    const int cols = host.gridColCount();
    for (int c = 0; c < cols; ++c) {
        host.setGridColWidth(c, scaledColumnWidth(host.gridColWidth(c), oldRow, newRow));
    }
    host.repaintGrid();
}

}  // namespace

void runFontCommand(FontTarget target, platform::FontChooser& chooser, FontCommandHost& host) {
    const auto chosen =
        chooser.choose(host.targetFont(target),
                       [&](const platform::FontSpec& font) { host.setTargetFont(target, font); });
    if (!chosen) return;
    host.setTargetFont(target, *chosen);
    switch (target) {
        case FontTarget::MainDisplay:
            host.adjustDisplayHeight();
            host.applyWindowMode();
            break;
        case FontTarget::Grid:
            applyGridFontOk(*chosen, host);
            break;
        case FontTarget::CalculatorDisplay:
            // Its display height follows at the calculator's next resize.
            break;
    }
}

void applyFirstShowingGridMetrics(FontCommandHost& host) {
    const platform::FontSpec font = host.targetFont(FontTarget::Grid);
    host.setGridFontProbe(font);
    const GridMetrics m = firstShowingGridMetrics(editBoxHeight(host.textHeight(font)));
    host.setGridRowHeight(m.rowHeight);
    host.setGridDefaultColWidth(m.defaultColWidth);
    const int cols = host.gridColCount();
    for (int c = 1; c < cols; ++c) host.setGridColWidth(c, m.defaultColWidth);
    if (cols > 0) host.setGridColWidth(0, m.headerColWidth);
    host.repaintGrid();
}

int adjustedDisplayHeight(const FontCommandHost& host) {
    return displayPanelHeight(host.textHeight(host.targetFont(FontTarget::MainDisplay)));
}

}  // namespace corvalo::shell
