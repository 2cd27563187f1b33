#include "shell/main_menu.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <utility>

#include "platform/command_guard.h"

namespace corvalo::shell {

MainMenu::MainMenu(QMainWindow& window, platform::Dialogs& dialogs, MenuCommands commands)
    : QObject(&window), window_(window), dialogs_(dialogs), commands_(std::move(commands)) {
    setObjectName(QStringLiteral("mainMenu"));
    createFileAndEdit();
    createCalculator();
    createOptions();
    createHelp();
    qApp->installEventFilter(this);
}

MainMenu::~MainMenu() {
    qApp->removeEventFilter(this);
}

QAction* MainMenu::addItem(QMenu* menu, const char* name, const char* caption,
                           const QKeySequence& shortcut, const std::function<void()>& command) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this,
            [this, command] { platform::guarded(dialogs_, command); });
    return action;
}

void MainMenu::createFileAndEdit() {
    QMenu* file = window_.menuBar()->addMenu(QStringLiteral("&File"));
    addItem(file, "actionExit", "E&xit", {}, commands_.exit);

    QMenu* edit = window_.menuBar()->addMenu(QStringLiteral("&Edit"));
    copy_ =
        addItem(edit, "actionCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C), commands_.copy);
    copyPlain_ = addItem(edit, "actionCopyPlain", "Copy P&lain",
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), commands_.copyPlain);
    paste_ = addItem(edit, "actionPaste", "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V),
                     commands_.paste);
}

void MainMenu::createCalculator() {
    QMenu* calculator = window_.menuBar()->addMenu(QStringLiteral("&Calculator"));
    calculatorOn_ = addItem(calculator, "actionCalculatorOn", "&On", QKeySequence(Qt::Key_F9),
                            commands_.calculatorOn);
    calculatorOff_ = addItem(calculator, "actionCalculatorOff", "O&ff", QKeySequence(Qt::Key_F10),
                             commands_.calculatorOff);
    calculatorOff_->setEnabled(false);
    calculator->addSeparator();
    showTape_ = addItem(calculator, "actionShowTape", "Show &Tape", {}, commands_.toggleShowTape);
    showTape_->setCheckable(true);
    addItem(calculator, "actionCopyTape", "&Copy Tape", {}, commands_.copyTape);
    addItem(calculator, "actionSaveTape", "&Save Tape...", {}, commands_.saveTape);
}

void MainMenu::createOptions() {
    QMenu* options = window_.menuBar()->addMenu(QStringLiteral("&Options"));
    QMenu* fonts = options->addMenu(QStringLiteral("&Fonts"));
    const struct {
        const char* name;
        const char* caption;
        FontTarget target;
    } fontItems[] = {
        {"actionCalculatorDisplayFont", "&Calculator display", FontTarget::CalculatorDisplay},
        {"actionMainDisplayFont", "&Main display", FontTarget::MainDisplay},
        {"actionGridFont", "&Grid", FontTarget::Grid}};
    for (const auto& item : fontItems) {
        const FontTarget target = item.target;
        addItem(fonts, item.name, item.caption, {},
                [this, target] { commands_.chooseFont(target); });
    }
    stayOnTop_ = addItem(options, "actionStayOnTop", "&Stay on top always",
                         QKeySequence(Qt::Key_F11), commands_.toggleStayOnTop);
    stayOnTop_->setCheckable(true);
    addItem(options, "actionShrinkToTray", "Shrink to tray", QKeySequence(Qt::Key_F12),
            commands_.shrinkToTray);

    calculateBy_ = options->addMenu(QStringLiteral("&Calculate"));
    calculateBy_->setObjectName(QStringLiteral("menuCalculate"));
    using clipcalc::TabulationStyle;
    usingColumns_ =
        addItem(calculateBy_, "actionUsingColumns", "Using &Columns", QKeySequence(Qt::Key_F4),
                [this] { commands_.setTabulationStyle(TabulationStyle::UsingColumns); });
    usingRows_ = addItem(calculateBy_, "actionUsingRows", "Using &Rows", QKeySequence(Qt::Key_F5),
                         [this] { commands_.setTabulationStyle(TabulationStyle::UsingRows); });
    usingColumns_->setCheckable(true);
    usingRows_->setCheckable(true);

    options->addSeparator();
    watchClipboard_ = addItem(options, "actionWatchClipboard", "&Watch Clipboard", {},
                              commands_.toggleWatchClipboard);
    watchSelection_ = addItem(options, "actionWatchSelection", "Watch Se&lection", {},
                              commands_.toggleWatchSelection);
    watchClipboard_->setCheckable(true);
    watchSelection_->setCheckable(true);
    statementSigns_ = addItem(options, "actionStatementSigns", "&Read Statement Signs", {},
                              commands_.toggleStatementSigns);
    statisticsLine_ = addItem(options, "actionStatisticsLine", "S&tatistics Line", {},
                              commands_.toggleStatisticsLine);
    statementSigns_->setCheckable(true);
    statisticsLine_->setCheckable(true);
}

void MainMenu::createHelp() {
    QMenu* help = window_.menuBar()->addMenu(QStringLiteral("&Help"));
    addItem(help, "actionHelp", "&Help", QKeySequence(Qt::Key_F1), commands_.showHelp);
    addItem(help, "actionCheckVersion", "&Check for latest version", {},
            commands_.checkForLatestVersion);
    addItem(help, "actionAbout", "&About", {}, commands_.showAbout);
}

void MainMenu::showCalculatorPage(bool shown) {
    calculatorOn_->setEnabled(!shown);
    calculatorOff_->setEnabled(shown);
}

void MainMenu::enableDirectionCommands(bool on) {
    calculateBy_->setEnabled(on);
    usingColumns_->setEnabled(on);
    usingRows_->setEnabled(on);
}

void MainMenu::showTabulationStyle(clipcalc::TabulationStyle style) {
    const bool columns = style == clipcalc::TabulationStyle::UsingColumns;
    usingColumns_->setChecked(columns);
    usingRows_->setChecked(!columns);
}

void MainMenu::setStayOnTopChecked(bool on) {
    stayOnTop_->setChecked(on);
}

bool MainMenu::stayOnTopChecked() const {
    return stayOnTop_->isChecked();
}

void MainMenu::enableStayOnTop(bool on) {
    stayOnTop_->setEnabled(on);
}

void MainMenu::setShowTapeChecked(bool on) {
    showTape_->setChecked(on);
}

bool MainMenu::showTapeChecked() const {
    return showTape_->isChecked();
}

void MainMenu::showWatch(platform::WatchedText which, bool checked, bool possible) {
    QAction* item = which == platform::WatchedText::Clipboard ? watchClipboard_ : watchSelection_;
    item->setChecked(checked);
    item->setEnabled(possible);
}

bool MainMenu::watchChecked(platform::WatchedText which) const {
    return (which == platform::WatchedText::Clipboard ? watchClipboard_ : watchSelection_)
        ->isChecked();
}

void MainMenu::setStatementSignsChecked(bool on) {
    statementSigns_->setChecked(on);
}

bool MainMenu::statementSignsChecked() const {
    return statementSigns_->isChecked();
}

void MainMenu::setStatisticsLineChecked(bool on) {
    statisticsLine_->setChecked(on);
}

bool MainMenu::statisticsLineChecked() const {
    return statisticsLine_->isChecked();
}

bool MainMenu::isMenuShortcut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QAction* action : {copy_, copyPlain_, paste_}) {
        if (action->isEnabled() && action->shortcut() == pressed) return true;
    }
    return false;
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == &window_ &&
        isMenuShortcut(*static_cast<QKeyEvent*>(event))) {
        event->ignore();  // not wanted by the control: the menu's shortcut runs
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace corvalo::shell
