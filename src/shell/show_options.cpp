#include "shell/show_options.h"

#include <QLabel>
#include <utility>

#include "deskcalc/qt/desk_calculator_widget.h"
#include "platform/qt/qt_clipboard_watch.h"
#include "shell/clipboard_watcher.h"
#include "shell/grid_page.h"
#include "shell/main_menu.h"
#include "shell/tape_commands.h"
#include "shell/window_sizer.h"
#include "tray/tray_icon.h"

namespace corvalo::shell {

ShowOptions::ShowOptions(const WindowServices& services, MainMenu& menu,
                         deskcalc::DeskCalculatorWidget& calculator, GridPage& gridPage,
                         WindowSizer& sizer, tray::TrayIcon& trayIcon, ShellSettings& shell,
                         const clipcalc::CalcState& calc)
    : services_(services), menu_(menu), calculator_(calculator), shell_(shell) {
    auto watch = services_.clipboardWatch ? services_.clipboardWatch()
                                          : std::make_unique<platform::QtClipboardWatch>();
    auto* display = gridPage.findChild<QLabel*>(QStringLiteral("display"));
    watcher_ = std::make_unique<ClipboardWatcher>(
        std::move(watch), calc,
        WatchHooks{.calculate =
                       [&gridPage, &sizer](platform::Clipboard& offered) {
                           const clipcalc::CalculateOutcome outcome = gridPage.calculate(offered);
                           if (outcome.calculated) sizer.showCalculated(outcome.gridNeeded);
                           return outcome;
                       },
                   .caption = [&gridPage] { return gridPage.displayCaption(); },
                   .showStatus =
                       [display, &trayIcon](const std::string& tip, const std::string& hint) {
                           display->setToolTip(QString::fromStdString(tip));
                           trayIcon.setHint(hint);
                       }});
}

ShowOptions::~ShowOptions() = default;

void ShowOptions::apply() {
    menu_.setShowTapeChecked(shell_.showTape);
    calculator_.setTapeVisible(shell_.showTape);
    watchAsSet(platform::WatchedText::Clipboard, shell_.watchClipboard);
    watchAsSet(platform::WatchedText::Selection, shell_.watchSelection);
}

void ShowOptions::toggleShowTape() {
    shell_.showTape = menu_.showTapeChecked();
    calculator_.setTapeVisible(shell_.showTape);
}

void ShowOptions::copyTape() {
    shell::copyTape(calculator_.tapeText(), services_.clipboard, services_.dialogs);
}

void ShowOptions::saveTape() {
    shell::saveTape(calculator_.tapeText(), services_.dialogs);
}

void ShowOptions::toggleWatch(platform::WatchedText which) {
    watchSetting(which) = menu_.watchChecked(which);
    watcher_->setWatching(which, watchSetting(which));
}

// A watch the desktop cannot do (any on Wayland) stays off and greyed, but the setting is
// kept for the next run.
void ShowOptions::watchAsSet(platform::WatchedText which, bool on) {
    menu_.showWatch(which, on, watcher_->canWatch(which));
    watcher_->setWatching(which, on);
}

bool& ShowOptions::watchSetting(platform::WatchedText which) {
    return which == platform::WatchedText::Clipboard ? shell_.watchClipboard
                                                     : shell_.watchSelection;
}

}  // namespace corvalo::shell
