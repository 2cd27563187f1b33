#pragma once

#include <QElapsedTimer>
#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tray/notification_area.h"
#include "tray/qt/tray_activation_mapper.h"

class QMenu;

namespace corvalo::tray {

// Reports a failure of a tray callback; exceptions must not cross Qt's event loop.
using TrayErrorReporter = std::function<void(const std::string& message)>;

// The desktop's notification area through QSystemTrayIcon: a StatusNotifierItem
// over D-Bus or an XEmbed icon, whichever the desktop offers. Qt has no signal for
// a tray appearing or going away, so availability is polled on a timer.
//
// What it can see: left click, left double-click, middle click and the context
// click everywhere; a middle double-click on XEmbed trays (from the icon window)
// and on hosts that send each click. It cannot see a right double-click: the
// first right press opens the menu, which takes the second; the menu's
// "&Restore" is the right button's way back.
class QtNotificationArea final : public QObject, public NotificationArea {
    Q_OBJECT

  public:
    using AvailabilityProbe = std::function<bool()>;

    // `probe` defaults to QSystemTrayIcon::isSystemTrayAvailable; tests pass their own.
    explicit QtNotificationArea(AvailabilityProbe probe = {}, int pollMs = 1000,
                                QObject* parent = nullptr);
    ~QtNotificationArea() override;

    // Makes a QIcon known to the icon; the handle stays valid as long as this object.
    IconHandle registerIcon(const QIcon& icon);
    QIcon iconFor(IconHandle handle) const;
    void setErrorReporter(TrayErrorReporter reporter) { reporter_ = std::move(reporter); }
    // Polls the desktop now; tells the listener when the answer changed.
    void checkAvailability();
    const QSystemTrayIcon& trayIcon() const { return icon_; }

    bool available() const override;
    bool add(const NotifyIconData& data) override;
    bool modify(const NotifyIconData& data) override;
    bool remove(const NotifyIconData& data) override;
    void setMenu(const TrayMenu* menu) override;
    IconHandle applicationIcon() const override;
    IconHandle standardIcon() const override;
    void setListener(NotificationListener* listener) override { listener_ = listener; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void apply(const NotifyIconData& data);
    void activated(QSystemTrayIcon::ActivationReason reason);
    void report(TrayMouseAction action);
    void watchIconWindow();
    void guarded(const std::function<void()>& call) const;

    AvailabilityProbe probe_;
    QSystemTrayIcon icon_;
    std::unique_ptr<QMenu> menu_;
    QTimer poll_;
    QElapsedTimer clock_;
    TrayActivationMapper mapper_;
    bool lastAvailable_ = false;
    NotificationListener* listener_ = nullptr;
    TrayErrorReporter reporter_;
    std::map<IconHandle, QIcon> icons_;
    IconHandle nextHandle_ = 16;  // the first handles name the live application icons
    QObject* watchedIconWindow_ = nullptr;
};

// The animation timer over QTimer.
class QtTrayTimer final : public TrayTimer {
  public:
    explicit QtTrayTimer(TrayErrorReporter reporter = {});
    void start(std::int32_t intervalMs, std::function<void()> onTick) override;
    void stop() override;
    void setInterval(std::int32_t intervalMs) override;
    bool running() const override;

  private:
    QTimer timer_;
    std::function<void()> onTick_;
    TrayErrorReporter reporter_;
};

// Icons for Images: each QIcon registered with the area once.
class QtTrayImages final : public TrayImageList {
  public:
    QtTrayImages(QtNotificationArea& area, const std::vector<QIcon>& icons);
    int count() const override;
    IconHandle icon(int index) const override;

  private:
    std::vector<IconHandle> handles_;
};

}  // namespace corvalo::tray
