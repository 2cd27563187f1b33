#include "shell/tray_and_version_check.h"

#include <QWidget>
#include <utility>

#include "platform/command_guard.h"
#include "tray/qt/tray_owner_filter.h"

namespace corvalo::shell {

namespace {

// The tray's Close ends the loop; a version check waiting further down the call
// stack is cancelled first, or the program would run on until its time-out.
class ClosingTrayOwner final : public tray::TrayOwner {
  public:
    ClosingTrayOwner(tray::TrayOwner& inner, net::VersionCheck& check)
        : inner_(inner), check_(check) {}
    bool isMinimized() const override { return inner_.isMinimized(); }
    bool isVisible() const override { return inner_.isVisible(); }
    void setNormalState() override { inner_.setNormalState(); }
    void hide() override { inner_.hide(); }
    void showAndActivate() override { inner_.showAndActivate(); }
    void minimize() override { inner_.minimize(); }
    void endMessageLoop() override {
        tray::TrayOwner& inner = inner_;
        if (!check_.closeWhenIdle([&inner] { inner.endMessageLoop(); })) inner.endMessageLoop();
    }

  private:
    tray::TrayOwner& inner_;
    net::VersionCheck& check_;
};

}  // namespace

TrayAndVersionCheck::TrayAndVersionCheck(QWidget& window, const WindowServices& services,
                                         std::function<void()> onRestored)
    : dialogs_(services.dialogs) {
    net::VersionMessageSink& sink = *this;
    versionCheck_ = std::make_unique<net::VersionCheck>(services.pump, services.clock, sink,
                                                        services.versionCheck, services.resolver);

    platform::Dialogs& dialogs = services.dialogs;
    const TrayErrorReport report = [&dialogs](const std::string& m) {
        dialogs.showErrorReport(m);
    };
    trayParts_ =
        services.trayParts ? services.trayParts(window, report) : qtTrayParts(window, report);
    trayOwner_ = std::make_unique<ClosingTrayOwner>(*trayParts_.owner, *versionCheck_);
    trayIcon_ = std::make_unique<tray::TrayIcon>(
        tray::TrayIconServices{*trayParts_.area, *trayParts_.timer, *trayOwner_});
    trayIcon_->setAnimate(true);
    trayIcon_->setCloseToTray(false);
    trayIcon_->setOnRestore([restored = std::move(onRestored)](auto&) { restored(); });
    trayFilter_ = std::make_unique<tray::TrayOwnerFilter>(*trayIcon_, report);
    window.installEventFilter(trayFilter_.get());
    // Without a notification area this adds nothing yet: the icon waits for one.
    // An area that refuses the icon is reported; the program starts all the same.
    platform::guarded(dialogs_, [this] { trayIcon_->loaded(); });
}

TrayAndVersionCheck::~TrayAndVersionCheck() = default;

void TrayAndVersionCheck::showVersionMessage(const std::string& text) {
    dialogs_.showMessage(text);
}

}  // namespace corvalo::shell
