#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "deskcalc/colors.h"
#include "deskcalc/entry.h"
#include "deskcalc/layout.h"
#include "deskcalc/qt/tape_view.h"

namespace corvalo::deskcalc {

// The platform facilities the calculator uses, passed in by its owner.
struct CalculatorServices {
    std::function<void()> beep;                                 // the default message beep
    std::function<std::optional<std::string>()> clipboardText;  // 8-bit; nothing: no text
    std::function<void(const std::string&)> setClipboardText;   // 8-bit
};

// The display panel: right-aligned text in the tape font; a click focuses the calculator.
class CalculatorDisplay final : public QLabel {
    Q_OBJECT
  public:
    explicit CalculatorDisplay(QWidget* parent);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The desk calculator control: display and 29 push buttons drawn in the platform's
// style, mouse and keyboard input, colours, and the paper tape (hidden unless asked for).
class DeskCalculatorWidget final : public QWidget, private CalculatorHost {
    Q_OBJECT
  public:
    DeskCalculatorWidget(CalculatorServices services, char decimalSeparator,
                         QWidget* parent = nullptr);

    // The number being typed or the text of the last result, 8-bit (for Edit > Copy).
    std::string entryText() const { return logic_.entryText(); }
    // What Edit > Copy takes: the entry, or nothing (and a beep) while the error shows.
    std::optional<std::string> entryTextToCopy() { return logic_.entryTextToCopy(); }
    // The display's text with its trailing blank, 8-bit.
    const std::string& displayText() const { return logic_.displayText(); }

    const QFont& tapeFont() const { return tapeFont_; }
    void setTapeFont(const QFont& font);  // the display takes it over; layout follows later
    // The font with the colour the display shows its text in.
    void setTapeFont(const QFont& font, const QColor& colour);
    const QColor& tapeFontColor() const { return tapeFontColor_; }
    CalculatorOptions options() const { return logic_.options(); }
    void setOptions(CalculatorOptions options);
    std::int32_t decimals() const { return logic_.decimals(); }
    void setDecimals(std::int32_t decimals) { logic_.setDecimals(decimals); }
    long double memory() const { return logic_.memory(); }
    void setMemory(long double value) { logic_.setMemory(value); }
    int tapeHeight() const { return tapeHeight_; }
    void setTapeHeight(int height);
    // The paper tape above the display; hidden, it goes on recording its lines.
    bool tapeVisible() const { return options().has(CalculatorOption::ShowTape); }
    void setTapeVisible(bool visible);
    // The tape's lines, 8-bit, for Copy Tape and Save Tape: "" while nothing is written.
    std::string tapeText() const { return logic_.tape().text(); }
    CalculatorColors& colors() { return colors_; }

    DeskCalculator& logic() { return logic_; }
    const CalculatorLayout& buttonLayout() const { return layout_; }
    CalculatorDisplay* displayPanel() const { return panel_; }
    TapeView* tapeView() const { return tapeView_; }
    QColor captionColor(Key button) const;
    QColor toQColor(Color color) const;

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
    void displayTextChanged(const std::string& text) override;
    void repaintButton(Key button) override;
    void layoutChanged() override;
    bool pressHeldByMouse() override;
    void beep() override;
    std::optional<std::string> clipboardText() override;
    void setClipboardText(const std::string& ansi) override;

    void runLayout();
    void colorsChanged();
    void applyDisplayColors(const QColor& text);
    QRect buttonRect(Key button) const;

    CalculatorServices services_;
    char decimalSeparator_;
    CalculatorDisplay* panel_ = nullptr;
    DeskCalculator logic_;
    TapeView* tapeView_ = nullptr;
    CalculatorColors colors_;
    QFont tapeFont_;
    QColor tapeFontColor_;
    int tapeHeight_ = 60;
    CalculatorLayout layout_;
};

}  // namespace corvalo::deskcalc
