#include "shell/window_fonts.h"

#include <QFontMetrics>
#include <QWidget>
#include <utility>

#include "platform/qt/font_dialog.h"
#include "shell/calculator_host.h"
#include "shell/grid_geometry.h"
#include "shell/grid_page.h"
#include "shell/window_sizer.h"

namespace corvalo::shell {

WindowFonts::WindowFonts(QWidget& window, GridPage& gridPage,
                         deskcalc::DeskCalculatorWidget& calculator, WindowSizer& sizer)
    : window_(window), gridPage_(gridPage), calculator_(calculator), sizer_(sizer) {}

void WindowFonts::applyFonts() {
    for (const FontTarget target :
         {FontTarget::MainDisplay, FontTarget::Grid, FontTarget::CalculatorDisplay}) {
        showTargetFont(target);
    }
    applyFirstShowingGridMetrics(*this);
}

void WindowFonts::choose(FontTarget target, platform::FontChooser& chooser) {
    runFontCommand(target, chooser, *this);
}

const platform::FontSpec& WindowFonts::storedFont(FontTarget target) const {
    switch (target) {
        case FontTarget::MainDisplay:
            return mainFont_;
        case FontTarget::Grid:
            return gridFont_;
        case FontTarget::CalculatorDisplay:
            break;
    }
    return calculatorFont_;
}

platform::FontSpec& WindowFonts::storedFont(FontTarget target) {
    return const_cast<platform::FontSpec&>(std::as_const(*this).storedFont(target));
}

platform::FontSpec WindowFonts::targetFont(FontTarget target) const {
    return storedFont(target);
}

void WindowFonts::setTargetFont(FontTarget target, const platform::FontSpec& font) {
    storedFont(target) = font;
    showTargetFont(target);
}

// The control of a target shows its font: faces this computer lacks fall back
// through fontconfig, the stored name stays.
void WindowFonts::showTargetFont(FontTarget target) {
    const platform::FontSpec& font = storedFont(target);
    const QFont qfont = platform::toQFont(font);
    const QColor colour =
        platform::toQColor(font.color, window_.palette().color(QPalette::WindowText));
    switch (target) {
        case FontTarget::MainDisplay:
            gridPage_.setDisplayFont(qfont, colour);
            break;
        case FontTarget::Grid:
            gridPage_.setGridFont(qfont, colour);
            break;
        case FontTarget::CalculatorDisplay:
            setCalculatorDisplayFont(calculator_, qfont, colour);
            break;
    }
}

void WindowFonts::setGridFontProbe(const platform::FontSpec& font) {
    gridPage_.setGridFontProbe(platform::toQFont(font));
}

int WindowFonts::textHeight(const platform::FontSpec& font) const {
    return QFontMetrics(platform::toQFont(font)).height();
}

int WindowFonts::gridRowHeight() const {
    return gridPage_.gridGeometry().rowHeight();
}

void WindowFonts::setGridRowHeight(int height) {
    gridPage_.gridGeometry().setRowHeight(height);
}

int WindowFonts::gridColCount() const {
    return gridPage_.gridGeometry().colCount();
}

int WindowFonts::gridColWidth(int col) const {
    return gridPage_.gridGeometry().colWidth(col);
}

void WindowFonts::setGridColWidth(int col, int width) {
    gridPage_.gridGeometry().setColWidth(col, width);
}

void WindowFonts::setGridDefaultColWidth(int width) {
    gridPage_.gridGeometry().setDefaultColWidth(width);
}

void WindowFonts::repaintGrid() {
    gridPage_.gridGeometryChanged();
}

void WindowFonts::adjustDisplayHeight() {
    gridPage_.setDisplayHeight(adjustedDisplayHeight(*this));
}

void WindowFonts::applyWindowMode() {
    sizer_.applyWindowMode();
}

}  // namespace corvalo::shell
