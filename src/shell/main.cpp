// The program's entry point: one instance at a time, then the main window.
#include <QApplication>
#include <QFileInfo>
#include <QIcon>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "net/message_pump.h"
#include "platform/locale_separators.h"
#include "platform/qt/font_dialog.h"
#include "platform/qt/help_viewer.h"
#include "platform/qt/instance_lock.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_message_pump.h"
#include "shell/app_icon.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/window_services.h"

namespace {

// The socket layer's waits run the window's events through Qt's loop.
class QtEventsPump final : public corvalo::net::MessagePump {
  public:
    void processMessages() override { qt_.processMessages(); }

  private:
    corvalo::platform::QtMessagePump qt_;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace corvalo;
    const std::string program =
        QFileInfo(QString::fromLocal8Bit(argc > 0 ? argv[0] : "corvalo")).fileName().toStdString();
    const shell::DisplayEnvironment displayEnv = shell::displayEnvironment();
    const shell::DisplayProbes probes = shell::systemDisplayProbes();
    // Qt aborts without a display it can open; say so plainly instead.
    const std::string noDisplay = shell::displayProblem(displayEnv, probes, program);
    if (!noDisplay.empty()) {
        std::fputs(noDisplay.c_str(), stderr);
        return 2;
    }
    const shell::DisplayChoice display = shell::chooseDisplay(displayEnv, probes);
    if (display.nativeWayland) std::fputs(shell::nativeWaylandNotice(program).c_str(), stderr);
    // "-platform xcb" as an argument rather than in the environment: no child inherits it.
    std::string platformOption = "-platform";
    std::string platform = display.platform;
    std::vector<char*> qtArgs(argv, argv + argc);
    if (!platform.empty()) qtArgs.insert(qtArgs.end(), {platformOption.data(), platform.data()});
    qtArgs.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgs.size()) - 1;
    QApplication app(qtArgc, qtArgs.data());
    // The icon the window, the task bar and the tray show, drawn for each size; the desktop
    // entry's name.
    QApplication::setWindowIcon(shell::appIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("corvalo"));

    platform::InstanceLock lock(platform::instanceLockFolder());
    if (lock.state() == platform::LockState::NoSafePlace) {
        // Better one copy too many than a program that another user can keep from starting.
        std::fputs(shell::noLockMessage(program, static_cast<unsigned>(::geteuid())).c_str(),
                   stderr);
    }
    if (lock.state() == platform::LockState::HeldElsewhere) {
        // The title is not set yet: the box carries the program's own name.
        platform::QtDialogs dialogs(QString::fromStdString(program));
        dialogs.beep();
        dialogs.showMessage(shell::kMsgAlreadyLoaded);
        return 0;
    }

    int rc = 0;
    {
        platform::QtDialogs dialogs(QString::fromLatin1(shell::kApplicationTitle));
        platform::QtClipboard clipboard;
        shell::IniSettingsStore settings;
        QtEventsPump pump;
        net::SteadyClock clock;
        net::VersionCheckConfig versionCheck;
        // The name the newer-version message gives: the executable as it lies on disk.
        versionCheck.exeName =
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
        platform::QtFontChooser fonts;
        platform::QtHelpEngine help;
        shell::MainWindow window(
            {.clipboard = clipboard,
             .dialogs = dialogs,
             .settings = settings,
             .separators = platform::readUserLocaleSeparators(),
             .pump = pump,
             .clock = clock,
             .fonts = fonts,
             .help = help,
             .programFolder = QCoreApplication::applicationDirPath().toStdString(),
             .trayParts = shell::qtTrayParts,
             .versionCheck = versionCheck,
             .nativeWayland = display.nativeWayland});
        window.show();
        rc = QApplication::exec();
    }
    if (!lock.release()) {
        platform::QtDialogs dialogs(QString::fromStdString(program));
        dialogs.beep();
        dialogs.showMessage(shell::kMsgLockNotClosed);
    }
    return rc;
}
