#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include "platform/error.h"

namespace corvalo::platform {

namespace {

// Users copy a box's text to quote it; Qt's own box does that only on Windows.
class CopyableBox final : public QMessageBox {
  public:
    CopyableBox(Icon icon, const QString& title, const std::string& text)
        : QMessageBox(icon, title, QString::fromStdString(text), QMessageBox::Ok),
          copyText_(messageBoxCopyText(title, text)) {
        setTextFormat(Qt::PlainText);
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(copyText_);
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

  private:
    QString copyText_;
};

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

QString messageBoxCopyText(const QString& title, const std::string& text) {
    const QString line = QStringLiteral("---------------------------\n");
    QString body = QString::fromStdString(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return line + title + u'\n' + line + body + u'\n' + line + QStringLiteral("OK\n") + line;
}

void QtDialogs::showMessage(const std::string& text) {
    CopyableBox box(QMessageBox::NoIcon, title_, text);
    runCentred(box);
}

void QtDialogs::showErrorReport(const std::string& message) {
    CopyableBox box(QMessageBox::Critical, title_, errorReportText(message));
    runCentred(box);
}

void QtDialogs::beep() {
    QApplication::beep();
}

std::optional<std::string> QtDialogs::askSaveFileName(const std::string& caption,
                                                      const std::string& suggestedName) {
    const QString chosen = QFileDialog::getSaveFileName(
        nullptr, QString::fromStdString(caption), QString::fromStdString(suggestedName),
        QStringLiteral("Text files (*.txt);;All files (*)"));
    if (chosen.isEmpty()) return std::nullopt;
    const QByteArray path = QFile::encodeName(chosen);  // the file system's own bytes
    return std::string(path.constData(), static_cast<std::size_t>(path.size()));
}

}  // namespace corvalo::platform
