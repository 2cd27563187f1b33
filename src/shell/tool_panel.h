#pragma once

#include <QFrame>
#include <array>

#include "clipcalc/calc_state.h"
#include "clipcalc/format.h"
#include "clipcalc/grid.h"
#include "platform/dialogs.h"

class QAction;
class QMenu;
class QPushButton;
class QToolButton;

namespace corvalo::shell {

class GlyphButton;

// The strip of tool buttons below the result display: Calculate Clipboard, the
// math mode and decimal buttons with their pop-up menus, and the size button.
class ToolPanel final : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kHeight = 48;
    static constexpr int kButtonTop = 8;

    ToolPanel(clipcalc::CalcState& calc, const clipcalc::Grid& grid,
              clipcalc::ResultDisplay& display, platform::Dialogs& dialogs,
              QWidget* parent = nullptr);

    // The decimal menu's captions and the decimal button take the locale's separator.
    void localiseDecimalMenu();
    void showDecimalSeparator();

    int decimalButtonRight() const;
    void placeSizeButton(int left);
    // The size button shows the mode: latched with " Hide the grid " while expanded.
    void showSizeMode(bool expanded);
    void setSizeButtonEnabled(bool on);
    // After the first calculation the disabled image is blanked.
    void blankSizeButtonDisabledImage();

  signals:
    void calculateClicked();
    void sizeButtonPressed();
    void sizeButtonReleased();
    // A pop-up menu closed: the display takes the keyboard.
    void popupClosed();

  private:
    void createButtons();
    void createPopups();
    void createHiddenModeButtons();
    void setMathMode(clipcalc::MathMode mode, const char* caption);
    void setDecimals(int n);
    void openPopupRightOf(QMenu* menu, QWidget* button);
    template <class F>
    void guarded(F handler);

    clipcalc::CalcState& calc_;
    const clipcalc::Grid& grid_;
    clipcalc::ResultDisplay& display_;
    platform::Dialogs& dialogs_;

    QToolButton* calculateButton_ = nullptr;
    QPushButton* mathModeButton_ = nullptr;
    QPushButton* decimalsButton_ = nullptr;
    GlyphButton* sizeButton_ = nullptr;
    QMenu* mathModeMenu_ = nullptr;
    QMenu* decimalsMenu_ = nullptr;
    std::array<QAction*, 10> decimalActions_{};  // 0 to 9 decimals
};

}  // namespace corvalo::shell
