#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/error.h"
#include "tray/notification_area.h"

namespace corvalo::tray {

// The component speaks the notification area's own terms: its events carry them.

// Numbers of the tray icon's error texts.
inline constexpr int kTrayAddError = 119;       // "Error adding tray icon"
inline constexpr int kTrayGeneralError = 121;   // "Tray icon error"
inline constexpr int kTrayOnlyOneError = 133;   // "Cannot have more than one ..."
inline constexpr int kTrayNoImagesError = 135;  // "ImageList is not assigned"

// 119 -> "Error adding tray icon"; an unknown number -> "Tray icon error".
std::string trayIconErrorText(int number);

// A failure of the tray icon; what() is the text the user sees, number() its number.
class TrayIconError : public corvalo::Error {
  public:
    explicit TrayIconError(int number);
    int number() const { return number_; }

  private:
    int number_;
};

// "Hello" cut to its first kMaxTipChars characters, counted in UTF-8 characters
// so that a multi-byte character is never split.
std::string trayTipText(const std::string& hint);

// The base of the shell components: it knows the window that owns it.
class TrayComponent {
  public:
    TrayComponent(const TrayComponent&) = delete;
    TrayComponent& operator=(const TrayComponent&) = delete;
    virtual ~TrayComponent() = default;

    // A component this one may refer to is being destroyed: drop the reference.
    virtual void notification(const void* removed) { (void)removed; }

  protected:
    explicit TrayComponent(TrayOwner& owner) : owner_(owner) {}
    TrayOwner& owner() { return owner_; }
    const TrayOwner& owner() const { return owner_; }

  private:
    TrayOwner& owner_;
};

// What the icon works through; each must outlive it.
struct TrayIconServices {
    NotificationArea& area;
    TrayTimer& timer;
    TrayOwner& owner;
};

// The icon of the application in the desktop's notification area. The host
// constructs it, sets the stored properties, then calls loaded(); it routes the
// owner window's events to the OwnerMessages side (see TrayOwnerFilter).
// Without a notification area nothing is lost: the icon waits for one to
// appear, and minimise or close to the tray leave the window as it is.
class TrayIconBase : public TrayComponent,
                          public OwnerMessages,
                          private NotificationListener {
  public:
    using NotifyEvent = std::function<void(TrayIconBase& sender)>;
    using ClickEvent =
        std::function<void(TrayIconBase& sender, MouseButton button, ShiftState shift)>;
    using DoubleClickEvent = std::function<void(TrayIconBase& sender, MouseButton button,
                                              ShiftState shift, bool& RestoreApp)>;

    // Throws TrayIconError 133 while another icon exists in the program.
    explicit TrayIconBase(const TrayIconServices& services);
    ~TrayIconBase() override;

    // After the stored properties are set: adds the icon when Active.
    void loaded();
    // Brings the owner back: OnRestore, then shows and activates it.
    void restore();
    // The window's "Shrink to tray": makes the icon active and hides the owner
    // there; without a notification area it minimises the owner instead.
    // Returns whether the window went to the tray.
    bool shrinkToTray();

    bool iconAdded() const { return iconAdded_; }
    bool hiddenInTray() const { return hiddenInTray_; }
    // The icon being shown (a frame while animating); kNoIcon: the application's.
    IconHandle currentIcon() const { return currentIcon_; }
    const TrayMenu& ownMenu() const { return ownMenu_; }

    bool ownerSysCommand(SysCommand command) override;
    void ownerPositionChanged() override;
    void notification(const void* removed) override;

  protected:
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
    void setOnDblClick(DoubleClickEvent handler) { onDblClick_ = std::move(handler); }
    void setOnMinimize(NotifyEvent handler) { onMinimize_ = std::move(handler); }
    void setOnRestore(NotifyEvent handler) { onRestore_ = std::move(handler); }

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
    void dblClick(MouseButton button, ShiftState shift);
    void hideOwnerInTray();

    NotificationArea& area_;
    TrayTimer& timer_;

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
    DoubleClickEvent onDblClick_;
    NotifyEvent onMinimize_;
    NotifyEvent onRestore_;

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

// The icon with its properties and events open to the window that hosts it.
class TrayIcon final : public TrayIconBase {
  public:
    using TrayIconBase::TrayIconBase;

    using TrayIconBase::active;
    using TrayIconBase::animate;
    using TrayIconBase::closeToTray;
    using TrayIconBase::hideOnRestore;
    using TrayIconBase::hint;
    using TrayIconBase::icon;
    using TrayIconBase::imageIndex;
    using TrayIconBase::images;
    using TrayIconBase::interval;
    using TrayIconBase::minimizeToTray;
    using TrayIconBase::popupMenu;
    using TrayIconBase::setActive;
    using TrayIconBase::setAnimate;
    using TrayIconBase::setCloseToTray;
    using TrayIconBase::setHideOnRestore;
    using TrayIconBase::setHint;
    using TrayIconBase::setIcon;
    using TrayIconBase::setImageIndex;
    using TrayIconBase::setImages;
    using TrayIconBase::setInterval;
    using TrayIconBase::setMinimizeToTray;
    using TrayIconBase::setOnClick;
    using TrayIconBase::setOnDblClick;
    using TrayIconBase::setOnMinimize;
    using TrayIconBase::setOnRestore;
    using TrayIconBase::setPopupMenu;
    using TrayIconBase::setShowHint;
    using TrayIconBase::showHint;
};

}  // namespace corvalo::tray
