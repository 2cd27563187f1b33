#pragma once

#include <string>

#include "platform/error.h"

namespace corvalo::tray {

// What can go wrong with the tray icon; each value is the number its text carries.
enum class TrayIconFault {
    AddRefused = 119,   // "Error adding tray icon"
    General = 121,      // "Tray icon error"
    SecondIcon = 133,   // "Cannot have more than one TrayIcon per application"
    NoImageList = 135,  // "ImageList is not assigned"
};

// TrayIconFault::AddRefused -> "Error adding tray icon"
std::string trayIconErrorText(TrayIconFault fault);

// A failure of the tray icon; what() is the text the user sees, number() its number.
class TrayIconError : public corvalo::Error {
  public:
    explicit TrayIconError(TrayIconFault fault);
    TrayIconFault fault() const { return fault_; }
    int number() const { return static_cast<int>(fault_); }

  private:
    TrayIconFault fault_;
};

}  // namespace corvalo::tray
