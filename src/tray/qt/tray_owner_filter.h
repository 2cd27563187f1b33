#pragma once

#include <QObject>

#include <string>

#include "tray/notification_area.h"
#include "tray/qt/qt_notification_area.h"

class QWidget;

namespace corvalo::tray {

// Installed on the window that owns the tray icon: its close box and its
// minimise reach the icon first. A close from the close box or the window
// manager's menu may be taken over (the window hides instead); a close the
// program asks for itself (File > Exit) always goes on. A minimise cannot be
// undone, only followed: the icon may then hide the minimised window.
class TrayOwnerFilter final : public QObject {
    Q_OBJECT

  public:
    explicit TrayOwnerFilter(OwnerMessages& tray, TrayErrorReporter reporter = {},
                             QObject* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool guarded(SysCommand command);
    void positionChanged();

    OwnerMessages& tray_;
    TrayErrorReporter reporter_;
};

// The owner window as the tray icon sees it.
class QtTrayOwner final : public TrayOwner {
  public:
    explicit QtTrayOwner(QWidget& window) : window_(window) {}
    bool isMinimized() const override;
    bool isVisible() const override;
    void setNormalState() override;
    void hide() override;
    void showAndActivate() override;
    void minimize() override;
    // QCoreApplication::exit: unlike quit(), it sends no close event to any window.
    void endMessageLoop() override;

  private:
    QWidget& window_;
};

}  // namespace corvalo::tray
