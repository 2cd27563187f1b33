#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include "platform/error.h"

namespace corvalo::platform {

namespace {

void runCentred(QMessageBox& box) {
    // No parent: the box is application-modal and placed on the screen, not the window.
    box.setWindowModality(Qt::ApplicationModal);
    // Lines break where the text says (CR LF), as a Windows message box does.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setWordWrap(false);
    }
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
    box.exec();
}

}  // namespace

void QtDialogs::ShowMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, title_, QString::fromStdString(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    runCentred(box);
}

void QtDialogs::ShowErrorReport(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, title_,
                    QString::fromStdString(ErrorReportText(message)), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    runCentred(box);
}

void QtDialogs::Beep() { QApplication::beep(); }

}  // namespace corvalo::platform
