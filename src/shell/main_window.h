#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "calc/calc_state.h"
#include "calc/format.h"
#include "calc/grid.h"
#include "net/tray_icon.h"
#include "net/version_check.h"
#include "shell/font_command.h"
#include "shell/settings.h"
#include "shell/window_rules.h"
#include "shell/window_services.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace corvalo::calculator {
class TOvcCalculator;
}

namespace corvalo::platform {
class TrayOwnerFilter;
}

namespace corvalo::shell {

class CalculatorEntry;
class GlyphButton;
class GridView;

inline constexpr const char* kApplicationTitle = "Corvalo Calculator";

// The main window: the grid page (result display, tool buttons, number grid),
// the text page and the calculator page, switched by command only. Handlers are
// thin: each runs inside one error guard and calls the calculation core.
class TformMain final : public QMainWindow,
                        private calc::ResultDisplay,
                        private net::VersionMessageSink,
                        private FontCommandHost {
    Q_OBJECT
public:
    explicit TformMain(const WindowServices& services, QWidget* parent = nullptr);
    ~TformMain() override;

    // "Calculate Clipboard" and Edit > Paste.
    void CalculateClipboard();
    // Sizes the window for the grid page as Expanded says (only on that page).
    void ApplyWindowMode() override;
    // Flips Expanded, latches or releases the size button and disables it.
    void ToggleWindowSize();
    void ApplyCalculatorSize();
    void SetStayOnTop(bool on);
    // The display panel's height from its font's text metrics.
    void AdjustDisplayHeight() override;
    // Raised by the tray icon before it shows the window again.
    void StTrayIcon1Restore();

    bool Expanded() const { return Expanded_; }
    bool Initialised() const { return Initialised_; }
    const calc::CalcState& Calc() const { return calc_; }
    const calc::Grid& Cells() const { return grid_; }
    const ShellSettings& Shell() const { return shell_; }
    // The display panel's caption, 8-bit as the core made it.
    const std::string& DisplayCaption() const { return displayCaption_; }
    // What the frame and menu bar add to the client area.
    FrameExtra Frame() const;
    GridPageHeights PageHeights() const;
    // The version check behind Help > Check for latest version.
    net::VersionCheck& VersionChecker() { return *versionCheck_; }
    // The font of a display as the user chose it (underline and strike-out included).
    platform::FontSpec TargetFont(FontTarget target) const override;
    // Where Help > Help found CORVALO.HLP; empty until it did.
    const std::string& HelpFile() const { return helpFile_; }

    // The controls, named as the program's design names them.
    QAction* menuExit = nullptr;
    QAction* menuCopy = nullptr;
    QAction* menuPaste = nullptr;
    QAction* menuCalculatorOn = nullptr;
    QAction* menuCalculatorOff = nullptr;
    QAction* mnuCalculatorDisplayFont = nullptr;
    QAction* mnuMainDisplayFont = nullptr;
    QAction* mnuGridFont = nullptr;
    QAction* Stayontop1 = nullptr;
    QAction* Shrinktotray1 = nullptr;
    QMenu* mnuCalculateBy = nullptr;
    QAction* mnuByColumns = nullptr;
    QAction* mnuByRows = nullptr;
    QAction* menuHelpHelp = nullptr;
    QAction* Checkforlatestversion1 = nullptr;
    QAction* menuAbout = nullptr;
    QMenu* popupMathMode = nullptr;
    QAction* Addition1 = nullptr;
    QAction* Subtraction1 = nullptr;
    QAction* Multiplication1 = nullptr;
    QAction* Division1 = nullptr;
    QMenu* popupDecimalPeriodMenu = nullptr;
    std::array<QAction*, 10> popupPeriod{};  // 0 to 9 decimals

    QStackedWidget* OvcNotebook1 = nullptr;
    QLabel* panelDisplay = nullptr;
    QWidget* panelTools = nullptr;
    QToolButton* speedBtnCalculate = nullptr;
    QPushButton* btnMathMode = nullptr;
    QPushButton* btnDecimalFormat = nullptr;
    GlyphButton* speedbuttonChangeWindowSize = nullptr;
    GridView* StringGrid1 = nullptr;
    QLineEdit* edtBase = nullptr;
    std::array<QToolButton*, 4> speedbuttonMath{};  // Plus, Minus, Multiply, Divide: hidden
    QPlainTextEdit* Memo1 = nullptr;
    calculator::TOvcCalculator* OvcCalculator1 = nullptr;
    net::TStTrayIcon& TrayIcon() { return *StTrayIcon1; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetDisplayCaption(const std::string& caption) override;
    void ShowVersionMessage(const std::string& text) override;

    void createMenus();
    void createPages();
    template <class F>
    void connectGuarded(QAction* action, F handler);

    void FormShow();
    void menuCopyClick();
    void menuCalculatorOnClick();
    void menuCalculatorOffClick();
    void OvcNotebook1PageChanged(int index);
    void Stayontop1Click();
    void Shrinktotray1Click();
    void Checkforlatestversion1Click();
    void mnuFontClick(FontTarget target);
    void menuHelpHelpClick();
    void menuAboutClick();
    void createTrayIcon();
    void SetTabulationStyle(calc::TabulationStyle style);
    void SetMathMode(calc::MathMode mode, const char* caption);
    void SetDecimals(int n);
    void StringGrid1MouseUp(int col, int row);
    void speedbuttonChangeWindowSizeMouseUp();
    void openPopupRightOf(QMenu* menu, QWidget* button);

    void updateDirectionChecks();
    void applyFonts();
    void showTargetFont(FontTarget target);
    FontSettings& storedFont(FontTarget target);
    const FontSettings& storedFont(FontTarget target) const;

    // FontCommandHost
    void SetTargetFont(FontTarget target, const platform::FontSpec& font) override;
    void SetEdtBaseFont(const platform::FontSpec& font) override;
    int TextHeight(const platform::FontSpec& font) const override;
    int GridRowHeight() const override;
    void SetGridRowHeight(int height) override;
    int GridColCount() const override;
    int GridColWidth(int col) const override;
    void SetGridColWidth(int col, int width) override;
    void SetGridDefaultColWidth(int width) override;
    void RepaintGrid() override;
    void placeStoredPosition();
    void resizeOuter(PixelSize outer);
    void runResizeRules();
    SettingsTargets targets();
    bool isMenuShortcut(const QKeyEvent& key) const;

    WindowServices services_;
    calc::CalcState calc_;
    calc::Grid grid_;
    ShellSettings shell_;
    FontSettings mainFont_;
    FontSettings gridFont_;
    FontSettings calculatorFont_;
    // Underline and strike-out of the three fonts: chosen per run, never stored.
    struct FontEffects {
        bool underline = false;
        bool strikeOut = false;
    };
    std::array<FontEffects, 3> fontEffects_{};
    std::string helpFile_;
    std::int32_t left_ = 520;
    std::int32_t top_ = 240;
    std::string displayCaption_;
    std::unique_ptr<CalculatorEntry> calculatorEntry_;
    std::unique_ptr<net::VersionCheck> versionCheck_;
    // Made before the icon and destroyed after it; the filter goes first.
    TrayParts trayParts_;
    std::unique_ptr<platform::TrayOwner> trayOwner_;
    std::unique_ptr<net::TStTrayIcon> StTrayIcon1;
    std::unique_ptr<platform::TrayOwnerFilter> trayFilter_;

    bool Initialised_ = false;
    bool RestoredFromTray_ = false;
    bool Expanded_ = false;
    int SavedPageIndex_ = kGridPage;
    int resizeDepth_ = 0;
};

}  // namespace corvalo::shell
