#include "tray/tray_icon.h"

#include <utility>

namespace corvalo::tray {

namespace {

// Icons alive in this program; a second one would fight over the same shell slot.
int liveTrayIcons = 0;

constexpr std::int32_t kDefaultStepMs = 200;  // an Interval of 0 animates at this pace

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

}  // namespace

std::string trayIconErrorText(int number) {
    switch (number) {
        case kTrayAddError:
            return "Error adding tray icon";
        case kTrayOnlyOneError:
            return "Cannot have more than one TrayIcon per application";
        case kTrayNoImagesError:
            return "ImageList is not assigned";
        default:
            return "Tray icon error";
    }
}

TrayIconError::TrayIconError(int number)
    : corvalo::Error(trayIconErrorText(number)), number_(number) {}

std::string trayTipText(const std::string& hint) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < hint.size(); ++i) {
        if (isContinuationByte(hint[i])) continue;
        if (chars == kMaxTipChars) return hint.substr(0, i);
        ++chars;
    }
    return hint;
}

TrayIconBase::TrayIconBase(const TrayIconServices& services)
    : TrayComponent(services.owner), area_(services.area), timer_(services.timer) {
    if (liveTrayIcons > 0) throw TrayIconError(kTrayOnlyOneError);
    ownMenu_.items.push_back({"&Close", [this] { owner().endMessageLoop(); }});
    ownMenu_.items.push_back({"&Restore", [this] { restore(); }});
    popupMenu_ = &ownMenu_;
    area_.setListener(this);
    area_.setMenu(popupMenu_);
    ++liveTrayIcons;
}

TrayIconBase::~TrayIconBase() {
    removeIcon();
    timer_.stop();
    area_.setMenu(nullptr);
    area_.setListener(nullptr);
    --liveTrayIcons;
}

void TrayIconBase::loaded() {
    loaded_ = true;
    // The icon is chosen before the add, so the first icon shown is already the right one.
    currentIcon_ = stillIcon();
    if (active_) addIcon();
    updateTimer();
}

NotifyIconData TrayIconBase::iconData() const {
    NotifyIconData data;
    data.flags = showHint_ ? kNifMessage | kNifIcon | kNifTip : kNifMessage | kNifIcon;
    data.icon = currentIcon_;
    if (data.icon == kNoIcon) data.icon = area_.applicationIcon();
    if (data.icon == kNoIcon) data.icon = area_.standardIcon();
    data.tip = trayTipText(hint_);
    return data;
}

void TrayIconBase::addIcon() {
    if (iconAdded_) return;
    ownerHooked_ = true;
    // No notification area yet: trayAvailabilityChanged() adds it when one appears.
    if (!area_.available()) return;
    if (!area_.add(iconData())) {
        iconAdded_ = false;
        throw TrayIconError(kTrayAddError);
    }
    iconAdded_ = true;
}

void TrayIconBase::removeIcon() {
    if (!iconAdded_) return;
    area_.remove(iconData());
    iconAdded_ = false;
}

void TrayIconBase::modifyIcon() {
    if (!iconAdded_) return;
    if (!area_.modify(iconData())) throw TrayIconError(kTrayGeneralError);
}

IconHandle TrayIconBase::stillIcon() const {
    if (icon_ != kNoIcon) return icon_;
    return images_ != nullptr ? images_->icon(imageIndex_) : kNoIcon;
}

void TrayIconBase::showStill() {
    currentIcon_ = stillIcon();
    modifyIcon();
}

void TrayIconBase::setActive(bool value) {
    if (!loaded_) {
        active_ = value;
        return;
    }
    if (!value) {
        if (animate_) {
            setAnimate(false);
            resumeAnimation_ = true;
        }
        removeIcon();
        active_ = false;
        return;
    }
    active_ = true;
    addIcon();
    if (resumeAnimation_) setAnimate(true);
}

void TrayIconBase::setAnimate(bool value) {
    if (value == animate_) return;
    if (loaded_ && active_) resumeAnimation_ = value;
    animate_ = value;
    if (value) {
        updateTimer();
        return;
    }
    timer_.stop();
    if (loaded_) showStill();
}

// The timer runs only while there are frames to show: no idle wake-ups without Images.
void TrayIconBase::updateTimer() {
    if (!loaded_ || !animate_ || images_ == nullptr) {
        timer_.stop();
        return;
    }
    if (timer_.running()) return;
    timer_.start(interval_ > 0 ? interval_ : kDefaultStepMs, [this] { animationTick(); });
}

void TrayIconBase::animationTick() {
    if (images_ == nullptr || !iconAdded_) return;
    const int frames = images_->count();
    if (frames <= 0) return;
    if (frameIndex_ >= frames || frameIndex_ < 0) frameIndex_ = 0;
    currentIcon_ = images_->icon(frameIndex_);
    modifyIcon();
    frameIndex_ = (frameIndex_ + 1) % frames;
}

void TrayIconBase::setInterval(std::int32_t value) {
    interval_ = value;
    timer_.setInterval(value > 0 ? value : kDefaultStepMs);
}

void TrayIconBase::setHint(const std::string& value) {
    if (value == hint_) return;
    hint_ = value;
    if (showHint_) modifyIcon();
}

void TrayIconBase::setShowHint(bool value) {
    if (value == showHint_) return;
    showHint_ = value;
    modifyIcon();
}

void TrayIconBase::setIcon(IconHandle value) {
    icon_ = value;
    if (!loaded_ || (animate_ && timer_.running())) return;
    showStill();
}

void TrayIconBase::setImages(TrayImageList* value) {
    images_ = value;
    if (!loaded_) return;
    updateTimer();
    if (!timer_.running()) showStill();
}

void TrayIconBase::setImageIndex(std::int32_t value) {
    if (iconAdded_ && images_ == nullptr) throw TrayIconError(kTrayNoImagesError);
    imageIndex_ = value;
    if (!loaded_ || (animate_ && timer_.running())) return;
    showStill();
}

void TrayIconBase::setPopupMenu(const TrayMenu* value) {
    popupMenu_ = value;
    area_.setMenu(value);
}

void TrayIconBase::notification(const void* removed) {
    if (removed == nullptr) return;
    if (removed == popupMenu_) setPopupMenu(nullptr);
    if (removed == images_) {
        images_ = nullptr;
        updateTimer();
    }
}

// The button of the action counts as held, beside the modifier keys of that moment.
void TrayIconBase::trayMouseAction(TrayMouseAction action, ShiftState modifiers) {
    switch (action) {
        case TrayMouseAction::LeftDown:
            if (onClick_) onClick_(*this, MouseButton::mbLeft, modifiers | ssLeft);
            break;
        case TrayMouseAction::MiddleDown:
            if (onClick_) onClick_(*this, MouseButton::mbMiddle, modifiers | ssMiddle);
            break;
        case TrayMouseAction::LeftDoubleClick:
            dblClick(MouseButton::mbLeft, modifiers | ssLeft);
            break;
        case TrayMouseAction::RightDoubleClick:
            dblClick(MouseButton::mbRight, modifiers | ssRight);
            break;
        case TrayMouseAction::MiddleDoubleClick:
            dblClick(MouseButton::mbMiddle, modifiers | ssMiddle);
            break;
        // The platform opens popupMenu itself on its context click (see setMenu).
        case TrayMouseAction::RightDown:
        case TrayMouseAction::LeftUp:
        case TrayMouseAction::RightUp:
        case TrayMouseAction::MiddleUp:
            break;
    }
}

void TrayIconBase::dblClick(MouseButton button, ShiftState shift) {
    bool restoreApp = true;
    if (onDblClick_) onDblClick_(*this, button, shift, restoreApp);
    if (restoreApp) restore();
}

void TrayIconBase::trayAvailabilityChanged(bool available) {
    if (available) {
        if (!loaded_ || !active_ || iconAdded_) return;
        try {
            addIcon();
        } catch (const TrayIconError&) {
            // Still not added: the next change or the next Active := True tries again.
        }
        return;
    }
    if (!iconAdded_) return;
    area_.remove(iconData());
    iconAdded_ = false;
    // The tray took the way back with it: bring the window back before it is lost.
    if (hiddenInTray_) restore();
}

void TrayIconBase::hideOwnerInTray() {
    owner().hide();
    hiddenInTray_ = true;
}

bool TrayIconBase::ownerSysCommand(SysCommand command) {
    if (!ownerHooked_) return false;
    if (command == SysCommand::Minimize && onMinimize_) onMinimize_(*this);
    const bool toTray = (command == SysCommand::Minimize && minimizeToTray_) ||
                        (command == SysCommand::Close && closeToTray_);
    if (!toTray || !active_) return false;
    addIcon();
    // Without a notification area the command goes on: hiding would lose the window.
    if (!iconAdded_) return false;
    hideOwnerInTray();
    return true;
}

void TrayIconBase::ownerPositionChanged() {
    if (!ownerHooked_ || startHidden_ >= 2) return;
    if (owner().isMinimized() && iconAdded_) {
        hideOwnerInTray();
        ++startHidden_;
    } else {
        startHidden_ = 2;
    }
}

void TrayIconBase::restore() {
    if (onRestore_) onRestore_(*this);
    // Once the user brings the window back, its start is over: a window that began
    // minimised would otherwise show minimised and be hidden again at once.
    startHidden_ = 2;
    if (owner().isMinimized()) owner().setNormalState();
    owner().showAndActivate();
    hiddenInTray_ = false;
    if (hideOnRestore_) removeIcon();
}

bool TrayIconBase::shrinkToTray() {
    setActive(true);
    if (iconAdded_) {
        hideOwnerInTray();
        return true;
    }
    owner().minimize();
    return false;
}

}  // namespace corvalo::tray
