#pragma once

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <string>

#include "clipcalc/calc_state.h"
#include "clipcalc/grid.h"
#include "net/version_check.h"
#include "shell/font_command.h"
#include "shell/settings.h"
#include "shell/window_rules.h"
#include "shell/window_services.h"
#include "tray/tray_icon.h"

class QPlainTextEdit;
class QStackedWidget;

namespace corvalo::deskcalc {
class DeskCalculatorWidget;
}

namespace corvalo::shell {

class GridOptions;
class GridPage;
class MainMenu;
class ResultCopy;
class ShowOptions;
class StayOnTop;
class TrayAndVersionCheck;
class WindowFonts;
class WindowSizer;

inline constexpr const char* kApplicationTitle = "Corvalo Calculator";

// The main window: the menu bar over three pages (the grid page, a text page
// and the desk calculator), switched by command only. It reads the settings at
// its first showing and writes them when it closes; its parts do the rest.
class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(const WindowServices& services, QWidget* parent = nullptr);
    ~MainWindow() override;

    bool expanded() const;
    const clipcalc::CalcState& calc() const { return calc_; }
    const clipcalc::Grid& cells() const { return grid_; }
    const ShellSettings& shell() const { return shell_; }
    // The display panel's caption, 8-bit as the core made it.
    const std::string& displayCaption() const;
    // What the frame and menu bar add to the client area.
    FrameExtra frameExtra() const;
    GridPageHeights pageHeights() const;
    // The font of a display as the user chose it (underline and strike-out included).
    platform::FontSpec targetFont(FontTarget target) const;
    // Where Help > Help found CORVALO.HLP; empty until it did.
    const std::string& helpFile() const { return helpFile_; }
    net::VersionCheck& versionChecker();
    tray::TrayIcon& trayIcon();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void createPages();
    void createMenu();
    void initialiseOnFirstShow();
    void saveSettings();
    SettingsTargets targets();

    void calculateClipboard();
    void setTabulationStyle(clipcalc::TabulationStyle style);
    void showCalculatorPage();
    void hideCalculatorPage();
    void onPageChanged(int index);
    void shrinkToTray();
    void onRestoredFromTray();
    void checkForLatestVersion();
    void showHelp();

    WindowServices services_;
    clipcalc::CalcState calc_;
    clipcalc::Grid grid_;
    ShellSettings shell_;
    std::string helpFile_;
    std::int32_t left_ = 520;
    std::int32_t top_ = 240;

    QStackedWidget* pages_ = nullptr;
    GridPage* gridPage_ = nullptr;
    QPlainTextEdit* textPage_ = nullptr;
    deskcalc::DeskCalculatorWidget* calculator_ = nullptr;
    MainMenu* menu_ = nullptr;
    std::unique_ptr<WindowSizer> sizer_;
    std::unique_ptr<WindowFonts> fonts_;
    std::unique_ptr<TrayAndVersionCheck> background_;
    std::unique_ptr<ShowOptions> showOptions_;
    std::unique_ptr<GridOptions> gridOptions_;
    std::unique_ptr<ResultCopy> resultCopy_;
    std::unique_ptr<StayOnTop> stayOnTop_;

    bool initialised_ = false;
    bool restoredFromTray_ = false;
    bool saveRefused_ = false;  // the last close could not write the settings
    int savedPageIndex_ = indexOf(Page::Grid);
};

}  // namespace corvalo::shell
