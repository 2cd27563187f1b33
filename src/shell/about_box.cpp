#include "shell/about_box.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <cstring>
#include <string>

#include "corvalo/version.h"
#include "platform/jpeg_image.h"
#include "shell/embedded_assets.h"

namespace corvalo::shell {

namespace {

constexpr int kLabelWidth = 305;
constexpr int kVersionHeight = 16;
constexpr int kCopyrightHeight = 65;
constexpr int kVersionTop = 135;
constexpr int kCopyrightTop = 170;
constexpr int kButtonWidth = 97;
constexpr int kButtonHeight = 33;

QImage toQImage(const platform::RgbImage& rgb) {
    QImage image(rgb.width, rgb.height, QImage::Format_RGB888);
    const auto stride = static_cast<std::size_t>(rgb.width) * 3;
    for (int y = 0; y < rgb.height; ++y) {
        std::memcpy(image.scanLine(y), rgb.rgb.data() + stride * static_cast<std::size_t>(y),
                    stride);
    }
    return image;
}

QLabel* centredLabel(QWidget* parent, int height) {
    auto* label = new QLabel(parent);
    label->resize(kLabelWidth, height);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setAutoFillBackground(false);  // transparent over the picture
    return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* owner) : AboutDialog(aboutPictureJpeg(), owner) {}

AboutDialog::AboutDialog(std::span<const std::uint8_t> jpeg, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QString::fromUtf8(kAboutTitle));
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(13);
    setFont(font);

    picture_ = new QLabel(this);
    picture_->move(0, 0);
    labelVersion = centredLabel(this, kVersionHeight);
    labelCopyright = centredLabel(this, kCopyrightHeight);
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->resize(kButtonWidth, kButtonHeight);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    loadPicture(jpeg);
}

void AboutDialog::loadPicture(std::span<const std::uint8_t> jpeg) {
    platform::RgbImage rgb;
    std::string error;
    hasPicture_ = platform::decodeJpeg(jpeg, rgb, error);
    if (hasPicture_) {
        picture_->setPixmap(QPixmap::fromImage(toQImage(rgb)));
        picture_->resize(rgb.width, rgb.height);
    } else {
        // No picture to size the box by: keep the size it was drawn for.
        picture_->resize(kPictureWidth, kPictureHeight);
    }
    const int clientWidth = picture_->width();
    const int clientHeight = picture_->height();
    resize(clientWidth, clientHeight);

    labelVersion->setText(QStringLiteral("Version ") + QString::fromLatin1(corvalo::kVersionText));
    labelCopyright->setText(QString::fromUtf8(kCopyrightLine));
    // 438 wide: (438 - 305) / 2 = 66.
    const int labelLeft = (clientWidth - labelCopyright->width()) / 2;
    labelVersion->move(labelLeft, kVersionTop);
    labelCopyright->move(labelLeft, kCopyrightTop);
    // 343 high: 343 - 2 * 33 = 277.
    btnOK->move((clientWidth - btnOK->width()) / 2, clientHeight - 2 * btnOK->height());
}

void AboutDialog::btnOKClick() {
    accept();
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (centred_) return;
    centred_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void showAboutBox(QWidget* owner) {
    AboutDialog dialog(owner);
    dialog.exec();
}

}  // namespace corvalo::shell
