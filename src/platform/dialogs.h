#pragma once

#include <optional>
#include <string>

namespace corvalo::platform {

// Modal message boxes and the default beep.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A box titled with the application title, no icon, one OK button, centred
    // on the screen; returns when the user closes it. The text is shown as given.
    virtual void showMessage(const std::string& text) = 0;
    // The standard error report: stop icon, OK button, errorReportText(message).
    virtual void showErrorReport(const std::string& message) = 0;
    virtual void beep() = 0;
    // A save-file dialog offering `suggestedName`; the chosen path, or nothing on Cancel.
    virtual std::optional<std::string> askSaveFileName(const std::string& caption,
                                                       const std::string& suggestedName) = 0;
};

}  // namespace corvalo::platform
