#pragma once

#include "platform/font_chooser.h"
#include "shell/font_command.h"

class QWidget;

namespace corvalo::deskcalc {
class DeskCalculatorWidget;
}

namespace corvalo::shell {

class GridPage;
class WindowSizer;

// The three fonts the user chooses under Options > Fonts, shown on the display
// panel, the grid and the calculator's display.
class WindowFonts final : public FontCommandHost {
  public:
    WindowFonts(QWidget& window, GridPage& gridPage, deskcalc::DeskCalculatorWidget& calculator,
                WindowSizer& sizer);

    // The settings file reads and writes these; underline and strike-out are
    // chosen per run, the file keeps neither.
    platform::FontSpec& mainFont() { return mainFont_; }
    platform::FontSpec& gridFont() { return gridFont_; }
    platform::FontSpec& calculatorFont() { return calculatorFont_; }

    // The first showing: each control takes its font, the grid its metrics.
    void applyFonts();
    // Options > Fonts: the dialog, Apply and OK for one target.
    void choose(FontTarget target, platform::FontChooser& chooser);

    // FontCommandHost
    platform::FontSpec targetFont(FontTarget target) const override;
    void setTargetFont(FontTarget target, const platform::FontSpec& font) override;
    void setGridFontProbe(const platform::FontSpec& font) override;
    int textHeight(const platform::FontSpec& font) const override;
    int gridRowHeight() const override;
    void setGridRowHeight(int height) override;
    int gridColCount() const override;
    int gridColWidth(int col) const override;
    void setGridColWidth(int col, int width) override;
    void setGridDefaultColWidth(int width) override;
    void repaintGrid() override;
    void adjustDisplayHeight() override;
    void applyWindowMode() override;

  private:
    const platform::FontSpec& storedFont(FontTarget target) const;
    platform::FontSpec& storedFont(FontTarget target);
    void showTargetFont(FontTarget target);

    QWidget& window_;
    GridPage& gridPage_;
    deskcalc::DeskCalculatorWidget& calculator_;
    WindowSizer& sizer_;
    platform::FontSpec mainFont_{"Courier New", 8, 0, false, false};
    platform::FontSpec gridFont_{"Verdana", 10, 0, false, false};
    platform::FontSpec calculatorFont_{"Courier New", 14, 0, true, false};
};

}  // namespace corvalo::shell
