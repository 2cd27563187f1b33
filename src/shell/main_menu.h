#pragma once

#include <QObject>
#include <functional>

#include "clipcalc/calc_state.h"
#include "platform/clipboard_watch.h"
#include "platform/dialogs.h"
#include "shell/font_command.h"

class QAction;
class QKeyEvent;
class QMainWindow;
class QMenu;

namespace corvalo::shell {

// What the menu items run; each runs inside the window's error guard.
struct MenuCommands {
    std::function<void()> exit;
    std::function<void()> copy;
    std::function<void()> copyPlain;
    std::function<void()> paste;
    std::function<void()> calculatorOn;
    std::function<void()> calculatorOff;
    std::function<void()> toggleShowTape;
    std::function<void()> copyTape;
    std::function<void()> saveTape;
    std::function<void(FontTarget)> chooseFont;
    std::function<void()> toggleStayOnTop;
    std::function<void()> shrinkToTray;
    std::function<void(clipcalc::TabulationStyle)> setTabulationStyle;
    std::function<void()> toggleWatchClipboard;
    std::function<void()> toggleWatchSelection;
    std::function<void()> toggleStatementSigns;
    std::function<void()> toggleStatisticsLine;
    std::function<void()> showHelp;
    std::function<void()> checkForLatestVersion;
    std::function<void()> showAbout;
};

// The main menu bar of a window: its items with their shortcut keys, and the
// check marks and enabled states the window's state calls for.
class MainMenu final : public QObject {
    Q_OBJECT
  public:
    MainMenu(QMainWindow& window, platform::Dialogs& dialogs, MenuCommands commands);
    ~MainMenu() override;

    // "On" and "Off" of the Calculator menu follow the page shown.
    void showCalculatorPage(bool shown);
    // The Calculate submenu and its shortcut keys work on the grid page only.
    void enableDirectionCommands(bool on);
    void showTabulationStyle(clipcalc::TabulationStyle style);
    void setStayOnTopChecked(bool on);
    bool stayOnTopChecked() const;
    void enableStayOnTop(bool on);
    void setShowTapeChecked(bool on);
    bool showTapeChecked() const;
    // A watch item is greyed out where the desktop cannot watch.
    void showWatch(platform::WatchedText which, bool checked, bool possible);
    bool watchChecked(platform::WatchedText which) const;
    void setStatementSignsChecked(bool on);
    bool statementSignsChecked() const;
    void setStatisticsLineChecked(bool on);
    bool statisticsLineChecked() const;

  protected:
    // Menu shortcuts win over a focused control's own copy and paste keys.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createFileAndEdit();
    void createCalculator();
    void createOptions();
    void createHelp();
    QAction* addItem(QMenu* menu, const char* name, const char* caption,
                     const QKeySequence& shortcut, const std::function<void()>& command);
    bool isMenuShortcut(const QKeyEvent& key) const;

    QMainWindow& window_;
    platform::Dialogs& dialogs_;
    MenuCommands commands_;

    QAction* copy_ = nullptr;
    QAction* copyPlain_ = nullptr;
    QAction* paste_ = nullptr;
    QAction* calculatorOn_ = nullptr;
    QAction* calculatorOff_ = nullptr;
    QAction* stayOnTop_ = nullptr;
    QAction* showTape_ = nullptr;
    QAction* watchClipboard_ = nullptr;
    QAction* watchSelection_ = nullptr;
    QAction* statementSigns_ = nullptr;
    QAction* statisticsLine_ = nullptr;
    QMenu* calculateBy_ = nullptr;
    QAction* usingColumns_ = nullptr;
    QAction* usingRows_ = nullptr;
};

}  // namespace corvalo::shell
