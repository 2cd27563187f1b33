// Hosts the tray icon as the main window does and reports each event on stdout,
// one line at a time, for tray_e2e.sh. F9 shows page 2, F12 shrinks to the tray,
// Escape closes the window (which writes harness.ini, as the program's close
// writes its settings).
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QShortcut>
#include <QStackedWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <string>

#include "tray/qt/qt_notification_area.h"
#include "tray/qt/tray_owner_filter.h"
#include "tray/tray_icon.h"

namespace {

void say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

class HarnessWindow final : public QWidget {
  public:
    HarnessWindow() {
        auto* layout = new QVBoxLayout(this);
        for (int page = 0; page < 3; ++page)
            pages->addWidget(new QLabel(QStringLiteral("page %1").arg(page)));
        layout->addWidget(pages);
        setWindowTitle(QStringLiteral("Tray Harness"));
        resize(240, 120);
    }

    QStackedWidget* pages = new QStackedWidget;
    int savedPage = 0;

  protected:
    void showEvent(QShowEvent* event) override {
        say("shown page " + std::to_string(pages->currentIndex()));
        QWidget::showEvent(event);
    }
    void hideEvent(QHideEvent* event) override {
        savedPage = pages->currentIndex();
        QWidget::hideEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        QFile ini(QStringLiteral("harness.ini"));
        if (ini.open(QIODevice::WriteOnly)) ini.write("[Form]\r\n");
        say("settings written");
        event->accept();
    }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace corvalo;
    QApplication app(argc, argv);
    HarnessWindow window;
    const auto reporter = [](const std::string& message) { say("error: " + message); };

    tray::QtNotificationArea area;
    area.setErrorReporter(reporter);
    tray::QtTrayTimer timer(reporter);
    tray::QtTrayOwner owner(window);
    tray::TrayIcon tray(tray::TrayIconServices{area, timer, owner});
    tray.setAnimate(true);
    tray.setCloseToTray(false);
    tray.setHint("Tray Harness");
    tray.setOnRestore([&](tray::TrayIcon&) {
        say("OnRestore");
        window.pages->setCurrentIndex(window.savedPage);
    });
    tray::TrayOwnerFilter filter(tray, reporter);
    window.installEventFilter(&filter);
    tray.loaded();

    QShortcut page2(QKeySequence(Qt::Key_F9), &window);
    QObject::connect(&page2, &QShortcut::activated, [&] { window.pages->setCurrentIndex(2); });
    QShortcut shrink(QKeySequence(Qt::Key_F12), &window);
    QObject::connect(&shrink, &QShortcut::activated, [&] {
        try {
            say(tray.shrinkToTray() ? "shrunk to tray" : "minimised");
        } catch (const std::exception& e) {
            reporter(e.what());
        }
    });
    QShortcut close(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(&close, &QShortcut::activated, &window, &QWidget::close);

    // The icon's state as the script sees it.
    bool added = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (tray.iconAdded() == added) return;
        added = tray.iconAdded();
        say(added ? "icon added" : "icon removed");
    });
    watch.start(50);

    say(QSystemTrayIcon::isSystemTrayAvailable() ? "tray available" : "no tray");
    window.show();
    const int rc = app.exec();
    say("loop ended");
    return rc;
}
