#pragma once

#include <QString>

#include <optional>
#include <string>
#include <utility>

#include "platform/dialogs.h"

namespace corvalo::platform {

// What Ctrl+C in a message box puts on the clipboard, as the Windows box does:
// the title, the text (CR LF as LF) and the button, between dashed lines.
QString messageBoxCopyText(const QString& title, const std::string& text);

// Message boxes through QMessageBox, each titled `title`.
class QtDialogs final : public Dialogs {
  public:
    explicit QtDialogs(QString title) : title_(std::move(title)) {}
    void showMessage(const std::string& text) override;
    void showErrorReport(const std::string& message) override;
    void beep() override;
    std::optional<std::string> askSaveFileName(const std::string& caption,
                                               const std::string& suggestedName) override;

  private:
    QString title_;
};

}  // namespace corvalo::platform
