#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/error.h"
#include "platform/notification_area.h"

namespace corvalo::net {

// The component speaks the notification area's own terms: its events carry them.
using platform::IconHandle;
using platform::kMaxTipChars;
using platform::kNifIcon;
using platform::kNifMessage;
using platform::kNifTip;
using platform::kNoIcon;
using platform::NotificationArea;
using platform::NotificationListener;
using platform::NotifyIconData;
using platform::OwnerMessages;
using platform::ssAlt;
using platform::ssCtrl;
using platform::ssLeft;
using platform::ssMiddle;
using platform::ssRight;
using platform::ssShift;
using platform::SysCommand;
using platform::TMouseButton;
using platform::TrayImageList;
using platform::TrayMenu;
using platform::TrayMenuItem;
using platform::TrayMouseAction;
using platform::TrayOwner;
using platform::TrayTimer;
using platform::TShiftState;

// Numbers of the tray icon's error texts.
inline constexpr int kTrayAddError = 119;       // "Error adding tray icon"
inline constexpr int kTrayGeneralError = 121;   // "Tray icon error"
inline constexpr int kTrayOnlyOneError = 133;   // "Cannot have more than one ..."
inline constexpr int kTrayNoImagesError = 135;  // "ImageList is not assigned"

// 119 -> "Error adding tray icon"; an unknown number -> "Tray icon error".
std::string TrayIconErrorText(int number);

// A failure of the tray icon; what() is the text the user sees, number() its number.
class EStTrayIconError : public corvalo::Error {
  public:
    explicit EStTrayIconError(int number);
    int number() const { return number_; }

  private:
    int number_;
};

// "Hello" cut to its first kMaxTipChars characters, counted in UTF-8 characters
// so that a multi-byte character is never split.
std::string TrayTipText(const std::string& hint);

// The base of the shell components: it knows the window that owns it.
class TStShellComponent {
  public:
    TStShellComponent(const TStShellComponent&) = delete;
    TStShellComponent& operator=(const TStShellComponent&) = delete;
    virtual ~TStShellComponent() = default;

    // A component this one may refer to is being destroyed: drop the reference.
    virtual void notification(const void* removed) { (void)removed; }

  protected:
    explicit TStShellComponent(TrayOwner& owner) : owner_(owner) {}
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
class TStCustomTrayIcon : public TStShellComponent,
                          public OwnerMessages,
                          private NotificationListener {
  public:
    using TNotifyEvent = std::function<void(TStCustomTrayIcon& sender)>;
    using TClickEvent =
        std::function<void(TStCustomTrayIcon& sender, TMouseButton button, TShiftState shift)>;
    using TDblClickEvent = std::function<void(TStCustomTrayIcon& sender, TMouseButton button,
                                              TShiftState shift, bool& RestoreApp)>;

    // Throws EStTrayIconError 133 while another icon exists in the program.
    explicit TStCustomTrayIcon(const TrayIconServices& services);
    ~TStCustomTrayIcon() override;

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
    bool Active() const { return active_; }
    void SetActive(bool value);
    bool Animate() const { return animate_; }
    void SetAnimate(bool value);
    bool CloseToTray() const { return closeToTray_; }
    void SetCloseToTray(bool value) { closeToTray_ = value; }
    bool HideOnRestore() const { return hideOnRestore_; }
    void SetHideOnRestore(bool value) { hideOnRestore_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value);
    IconHandle Icon() const { return icon_; }
    void SetIcon(IconHandle value);
    TrayImageList* Images() const { return images_; }
    void SetImages(TrayImageList* value);
    std::int32_t ImageIndex() const { return imageIndex_; }
    void SetImageIndex(std::int32_t value);
    std::int32_t Interval() const { return interval_; }
    void SetInterval(std::int32_t value);
    bool MinimizeToTray() const { return minimizeToTray_; }
    void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }
    const TrayMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(const TrayMenu* value);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    void SetOnClick(TClickEvent handler) { onClick_ = std::move(handler); }
    void SetOnDblClick(TDblClickEvent handler) { onDblClick_ = std::move(handler); }
    void SetOnMinimize(TNotifyEvent handler) { onMinimize_ = std::move(handler); }
    void SetOnRestore(TNotifyEvent handler) { onRestore_ = std::move(handler); }

  private:
    void trayMouseAction(TrayMouseAction action, TShiftState modifiers) override;
    void trayAvailabilityChanged(bool available) override;

    NotifyIconData iconData() const;
    void addIcon();
    void removeIcon();
    void modifyIcon();
    IconHandle stillIcon() const;
    void showStill();
    void updateTimer();
    void animationTick();
    void dblClick(TMouseButton button, TShiftState shift);
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
    TClickEvent onClick_;
    TDblClickEvent onDblClick_;
    TNotifyEvent onMinimize_;
    TNotifyEvent onRestore_;

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
class TStTrayIcon final : public TStCustomTrayIcon {
  public:
    using TStCustomTrayIcon::TStCustomTrayIcon;

    using TStCustomTrayIcon::Active;
    using TStCustomTrayIcon::Animate;
    using TStCustomTrayIcon::CloseToTray;
    using TStCustomTrayIcon::HideOnRestore;
    using TStCustomTrayIcon::Hint;
    using TStCustomTrayIcon::Icon;
    using TStCustomTrayIcon::ImageIndex;
    using TStCustomTrayIcon::Images;
    using TStCustomTrayIcon::Interval;
    using TStCustomTrayIcon::MinimizeToTray;
    using TStCustomTrayIcon::PopupMenu;
    using TStCustomTrayIcon::SetActive;
    using TStCustomTrayIcon::SetAnimate;
    using TStCustomTrayIcon::SetCloseToTray;
    using TStCustomTrayIcon::SetHideOnRestore;
    using TStCustomTrayIcon::SetHint;
    using TStCustomTrayIcon::SetIcon;
    using TStCustomTrayIcon::SetImageIndex;
    using TStCustomTrayIcon::SetImages;
    using TStCustomTrayIcon::SetInterval;
    using TStCustomTrayIcon::SetMinimizeToTray;
    using TStCustomTrayIcon::SetOnClick;
    using TStCustomTrayIcon::SetOnDblClick;
    using TStCustomTrayIcon::SetOnMinimize;
    using TStCustomTrayIcon::SetOnRestore;
    using TStCustomTrayIcon::SetPopupMenu;
    using TStCustomTrayIcon::SetShowHint;
    using TStCustomTrayIcon::ShowHint;
};

}  // namespace corvalo::net
