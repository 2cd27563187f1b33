#pragma once

#include <QString>

#include <utility>

#include "platform/qt/dialogs.h"

namespace corvalo::platform {

// Message boxes through QMessageBox, each titled `title`.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QString title) : title_(std::move(title)) {}
    void ShowMessage(const std::string& text) override;
    void ShowErrorReport(const std::string& message) override;
    void Beep() override;

private:
    QString title_;
};

}  // namespace corvalo::platform
