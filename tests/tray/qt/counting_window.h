#pragma once

#include <QCloseEvent>
#include <QWidget>

namespace corvalo::tray {

// A window that counts the close events it gets.
class CountingWindow final : public QWidget {
  public:
    int closeEvents = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closeEvents;
        QWidget::closeEvent(event);
    }
};

}  // namespace corvalo::tray
