#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tray/notification_area.h"
#include "tray/tray_icon_error.h"

namespace corvalo::tray {

// "Hello" cut to its first kMaxTipChars characters, counted in UTF-8 characters
// so that a multi-byte character is never split.
std::string trayTipText(const std::string& hint);

// What the icon works through; each must outlive it.
struct TrayIconServices {
    NotificationArea& area;
    TrayTimer& timer;
    TrayOwner& owner;
};

// The icon of the application in the desktop's notification area. The host
// constructs it, sets its properties, then calls loaded(); it routes the owner
// window's events to the OwnerMessages side (see TrayOwnerFilter).
// Without a notification area nothing is lost: the icon waits for one to
// appear, and minimise or close to the tray leave the window as it is.
class TrayIcon final : public OwnerMessages, private NotificationListener {
  public:
    using IconEvent = std::function<void(TrayIcon& sender)>;
    using ClickEvent = std::function<void(TrayIcon& sender, MouseButton button, ShiftState shift)>;
    // `restoreApp` comes in true; a handler that clears it keeps the window where it is.
    using DoubleClickEvent = std::function<void(TrayIcon& sender, MouseButton button,
                                                ShiftState shift, bool& restoreApp)>;

    // Throws TrayIconError SecondIcon while another icon exists in the program.
    explicit TrayIcon(const TrayIconServices& services);
    ~TrayIcon() override;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // After the properties are set: adds the icon when active.
    void loaded();
    // Brings the owner back: the restore event, then shows and activates it.
    void restore();
    // The window's "Shrink to tray": makes the icon active and hides the owner
    // there; without a notification area it minimises the owner instead.
    // Returns whether the window went to the tray.
    bool shrinkToTray();
    // A menu or image list the icon refers to is being destroyed: drop the reference.
    void forget(const void* gone);

    bool iconAdded() const { return iconAdded_; }
    bool hiddenInTray() const { return hiddenInTray_; }
    // The icon being shown (a frame while animating); kNoIcon: the application's.
    IconHandle currentIcon() const { return currentIcon_; }
    const TrayMenu& ownMenu() const { return ownMenu_; }

    bool active() const { return active_; }
    void setActive(bool value);
    bool animate() const { return animate_; }
    void setAnimate(bool value);
    bool closeToTray() const { return closeToTray_; }
    void setCloseToTray(bool value) { closeToTray_ = value; }
    bool hideOnRestore() const { return hideOnRestore_; }
    void setHideOnRestore(bool value) { hideOnRestore_ = value; }
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& value);
    IconHandle icon() const { return icon_; }
    void setIcon(IconHandle value);
    TrayImageList* images() const { return images_; }
    void setImages(TrayImageList* value);
    std::int32_t imageIndex() const { return imageIndex_; }
    void setImageIndex(std::int32_t value);
    std::int32_t interval() const { return interval_; }
    void setInterval(std::int32_t value);
    bool minimizeToTray() const { return minimizeToTray_; }
    void setMinimizeToTray(bool value) { minimizeToTray_ = value; }
    const TrayMenu* popupMenu() const { return popupMenu_; }
    void setPopupMenu(const TrayMenu* value);
    bool showHint() const { return showHint_; }
    void setShowHint(bool value);
    void setOnClick(ClickEvent handler) { onClick_ = std::move(handler); }
    void setOnDoubleClick(DoubleClickEvent handler) { onDoubleClick_ = std::move(handler); }
    void setOnMinimize(IconEvent handler) { onMinimize_ = std::move(handler); }
    void setOnRestore(IconEvent handler) { onRestore_ = std::move(handler); }

    bool ownerSysCommand(SysCommand command) override;
    void ownerPositionChanged() override;

  private:
    void trayMouseAction(TrayMouseAction action, ShiftState modifiers) override;
    void trayAvailabilityChanged(bool available) override;

    NotifyIconData iconData() const;
    void addIcon();
    void removeIcon();
    void modifyIcon();
    IconHandle stillIcon() const;
    void showStill();
    void updateTimer();
    void animationTick();
    void doubleClick(MouseButton button, ShiftState shift);
    void hideOwnerInTray();

    NotificationArea& area_;
    TrayTimer& timer_;
    TrayOwner& owner_;

    bool active_ = true;
    bool animate_ = false;
    bool closeToTray_ = true;
    bool hideOnRestore_ = false;
    std::string hint_;
    IconHandle icon_ = kNoIcon;
    TrayImageList* images_ = nullptr;
    std::int32_t imageIndex_ = 0;
    std::int32_t interval_ = 250;
    bool minimizeToTray_ = false;
    const TrayMenu* popupMenu_ = nullptr;
    bool showHint_ = true;
    ClickEvent onClick_;
    DoubleClickEvent onDoubleClick_;
    IconEvent onMinimize_;
    IconEvent onRestore_;

    TrayMenu ownMenu_;
    IconHandle currentIcon_ = kNoIcon;
    bool loaded_ = false;
    bool iconAdded_ = false;
    bool ownerHooked_ = false;
    bool hiddenInTray_ = false;
    bool resumeAnimation_ = false;
    int frameIndex_ = 0;
    int startHidden_ = 0;  // 0 to 2: a window that starts minimised starts in the tray
};

}  // namespace corvalo::tray
