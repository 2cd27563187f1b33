#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "calculator/calc_colors.h"
#include "calculator/calc_layout.h"
#include "calculator/calculator.h"

namespace corvalo::calculator {

// The platform facilities the calculator uses, passed in by its owner.
struct CalculatorServices {
    std::function<void()> beep;                                 // the default message beep
    std::function<std::optional<std::string>()> clipboardText;  // 8-bit; nothing: no text
    std::function<void(const std::string&)> setClipboardText;   // 8-bit
};

// The display panel: right-aligned text in the tape font; a click focuses the calculator.
class TOvcCalcPanel final : public QLabel {
    Q_OBJECT
  public:
    explicit TOvcCalcPanel(QWidget* parent);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The desk calculator control: display and 29 push buttons drawn in the platform's
// style, mouse and keyboard input, colours, and the hidden paper tape.
class TOvcCalculator final : public QWidget, private CalculatorHost {
    Q_OBJECT
  public:
    TOvcCalculator(CalculatorServices services, char decimalSeparator, QWidget* parent = nullptr);

    // The number being typed or the text of the last result, 8-bit (for Edit > Copy).
    std::string EntryText() const { return logic_.EntryText(); }
    // The display's text with its trailing blank, 8-bit.
    const std::string& DisplayText() const { return logic_.DisplayText(); }

    const QFont& TapeFont() const { return tapeFont_; }
    void SetTapeFont(const QFont& font);  // the display takes it over; layout follows later
    // The font with the colour the display shows its text in.
    void SetTapeFont(const QFont& font, const QColor& colour);
    const QColor& TapeFontColor() const { return tapeFontColor_; }
    TOvcCalculatorOptions Options() const { return logic_.Options(); }
    void SetOptions(TOvcCalculatorOptions options);
    std::int32_t Decimals() const { return logic_.Decimals(); }
    void SetDecimals(std::int32_t decimals) { logic_.SetDecimals(decimals); }
    long double Memory() const { return logic_.Memory(); }
    void SetMemory(long double value) { logic_.SetMemory(value); }
    int TapeHeight() const { return tapeHeight_; }
    void SetTapeHeight(int height);
    TOvcCalcColors& Colors() { return colors_; }

    TOvcCustomCalculator& Logic() { return logic_; }
    const CalcLayout& Layout() const { return layout_; }
    TOvcCalcPanel* DisplayPanel() const { return panel_; }
    QColor CaptionColor(TOvcCalculatorButton button) const;
    QColor ToQColor(TColor color) const;

    QSize sizeHint() const override { return {440, 400}; }
    QSize minimumSizeHint() const override { return {200, 140}; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void DisplayTextChanged(const std::string& text) override;
    void RepaintButton(TOvcCalculatorButton button) override;
    void LayoutChanged() override;
    bool PressHeldByMouse() override;
    void Beep() override;
    std::optional<std::string> ClipboardText() override;
    void SetClipboardText(const std::string& ansi) override;

    void runLayout();
    void colorsChanged();
    void applyDisplayColors(const QColor& text);
    QRect buttonRect(TOvcCalculatorButton button) const;

    CalculatorServices services_;
    char decimalSeparator_;
    TOvcCalcPanel* panel_ = nullptr;
    TOvcCustomCalculator logic_;
    TOvcCalcColors colors_;
    QFont tapeFont_;
    QColor tapeFontColor_;
    int tapeHeight_ = 60;
    CalcLayout layout_;
};

}  // namespace corvalo::calculator
