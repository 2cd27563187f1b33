#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/format.h"
#include "clipcalc/grid.h"
#include "tray/tray_icon.h"
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

namespace corvalo::deskcalc {
class DeskCalculatorWidget;
}

namespace corvalo::tray {
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
class MainWindow final : public QMainWindow,
                        private clipcalc::ResultDisplay,
                        private net::VersionMessageSink,
                        private FontCommandHost {
    Q_OBJECT
public:
    explicit MainWindow(const WindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // "Calculate Clipboard" and Edit > Paste.
    void calculateClipboard();
    // Sizes the window for the grid page as Expanded says (only on that page).
    void applyWindowMode() override;
    // Flips Expanded, latches or releases the size button and disables it.
    void toggleWindowSize();
    void applyCalculatorSize();
    void setStayOnTop(bool on);
    // The display panel's height from its font's text metrics.
    void adjustDisplayHeight() override;
    // Raised by the tray icon before it shows the window again.
    void onRestoredFromTray();

    bool expanded() const { return expanded_; }
    bool initialised() const { return initialised_; }
    const clipcalc::CalcState& calc() const { return calc_; }
    const clipcalc::Grid& cells() const { return grid_; }
    const ShellSettings& shell() const { return shell_; }
    // The display panel's caption, 8-bit as the core made it.
    const std::string& displayCaption() const { return displayCaption_; }
    // What the frame and menu bar add to the client area.
    FrameExtra frameExtra() const;
    GridPageHeights pageHeights() const;
    // The version check behind Help > Check for latest version.
    net::VersionCheck& versionChecker() { return *versionCheck_; }
    // The font of a display as the user chose it (underline and strike-out included).
    platform::FontSpec targetFont(FontTarget target) const override;
    // Where Help > Help found CORVALO.HLP; empty until it did.
    const std::string& helpFile() const { return helpFile_; }

    // The controls, named as the program's design names them.
    QAction* menuExit = nullptr;
    QAction* menuCopy = nullptr;
    QAction* menuPaste = nullptr;
    QAction* menuCalculatorOn = nullptr;
    QAction* menuCalculatorOff = nullptr;
    QAction* mnuCalculatorDisplayFont = nullptr;
    QAction* mnuMainDisplayFont = nullptr;
    QAction* mnuGridFont = nullptr;
    QAction* stayOnTopAction = nullptr;
    QAction* shrinkToTrayAction = nullptr;
    QMenu* mnuCalculateBy = nullptr;
    QAction* mnuByColumns = nullptr;
    QAction* mnuByRows = nullptr;
    QAction* menuHelpHelp = nullptr;
    QAction* checkVersionAction = nullptr;
    QAction* menuAbout = nullptr;
    QMenu* popupMathMode = nullptr;
    QAction* additionAction = nullptr;
    QAction* subtractionAction = nullptr;
    QAction* multiplicationAction = nullptr;
    QAction* divisionAction = nullptr;
    QMenu* popupDecimalPeriodMenu = nullptr;
    std::array<QAction*, 10> popupPeriod{};  // 0 to 9 decimals

    QStackedWidget* pages_ = nullptr;
    QLabel* panelDisplay = nullptr;
    QWidget* panelTools = nullptr;
    QToolButton* speedBtnCalculate = nullptr;
    QPushButton* btnMathMode = nullptr;
    QPushButton* btnDecimalFormat = nullptr;
    GlyphButton* speedbuttonChangeWindowSize = nullptr;
    GridView* gridView_ = nullptr;
    QLineEdit* edtBase = nullptr;
    std::array<QToolButton*, 4> speedbuttonMath{};  // Plus, Minus, Multiply, Divide: hidden
    QPlainTextEdit* textPage_ = nullptr;
    deskcalc::DeskCalculatorWidget* calculator_ = nullptr;
    tray::TrayIcon& trayIcon() { return *trayIcon_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setDisplayCaption(const std::string& caption) override;
    void showVersionMessage(const std::string& text) override;

    void createMenus();
    void createPages();
    template <class F>
    void connectGuarded(QAction* action, F handler);

    void initialiseOnFirstShow();
    void copyDisplayed();
    void showCalculatorPage();
    void hideCalculatorPage();
    void onPageChanged(int index);
    void toggleStayOnTop();
    void shrinkToTray();
    void checkForLatestVersion();
    void chooseFont(FontTarget target);
    void showHelp();
    void showAbout();
    void createTrayIcon();
    void setTabulationStyle(clipcalc::TabulationStyle style);
    void setMathMode(clipcalc::MathMode mode, const char* caption);
    void setDecimals(int n);
    void chooseLineAt(int col, int row);
    void onSizeButtonReleased();
    void openPopupRightOf(QMenu* menu, QWidget* button);

    void updateDirectionChecks();
    void applyFonts();
    void showTargetFont(FontTarget target);
    platform::FontSpec& storedFont(FontTarget target);
    const platform::FontSpec& storedFont(FontTarget target) const;

    // FontCommandHost
    void setTargetFont(FontTarget target, const platform::FontSpec& font) override;
    void setEdtBaseFont(const platform::FontSpec& font) override;
    int textHeight(const platform::FontSpec& font) const override;
    int gridRowHeight() const override;
    void setGridRowHeight(int height) override;
    int gridColCount() const override;
    int gridColWidth(int col) const override;
    void setGridColWidth(int col, int width) override;
    void setGridDefaultColWidth(int width) override;
    void repaintGrid() override;
    void placeStoredPosition();
    void resizeOuter(PixelSize outer);
    void runResizeRules();
    SettingsTargets targets();
    bool isMenuShortcut(const QKeyEvent& key) const;

    WindowServices services_;
    clipcalc::CalcState calc_;
    clipcalc::Grid grid_;
    ShellSettings shell_;
    // Underline and strike-out are chosen per run: the settings file keeps neither.
    platform::FontSpec mainFont_;
    platform::FontSpec gridFont_;
    platform::FontSpec calculatorFont_;
    std::string helpFile_;
    std::int32_t left_ = 520;
    std::int32_t top_ = 240;
    std::string displayCaption_;
    std::unique_ptr<CalculatorEntry> calculatorEntry_;
    std::unique_ptr<net::VersionCheck> versionCheck_;
    // Made before the icon and destroyed after it; the filter goes first.
    TrayParts trayParts_;
    std::unique_ptr<tray::TrayOwner> trayOwner_;
    std::unique_ptr<tray::TrayIcon> trayIcon_;
    std::unique_ptr<tray::TrayOwnerFilter> trayFilter_;

    bool initialised_ = false;
    bool restoredFromTray_ = false;
    bool expanded_ = false;
    int savedPageIndex_ = kGridPage;
    int resizeDepth_ = 0;
};

}  // namespace corvalo::shell
