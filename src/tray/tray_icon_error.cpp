#include "tray/tray_icon_error.h"

namespace corvalo::tray {

std::string trayIconErrorText(TrayIconFault fault) {
    switch (fault) {
        case TrayIconFault::AddRefused:
            return "Error adding tray icon";
        case TrayIconFault::SecondIcon:
            return "Cannot have more than one TrayIcon per application";
        case TrayIconFault::NoImageList:
            return "ImageList is not assigned";
        case TrayIconFault::General:
            break;
    }
    return "Tray icon error";
}

TrayIconError::TrayIconError(TrayIconFault fault)
    : corvalo::Error(trayIconErrorText(fault)), fault_(fault) {}

}  // namespace corvalo::tray
