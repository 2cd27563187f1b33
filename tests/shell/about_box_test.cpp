// The About box: its layout with and without a picture that decodes, its title bar,
// OK and Enter, and its life as a modal box of the window.
#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>
#include <vector>

namespace corvalo::testing {
namespace {

using shell::AboutDialog;

// A damaged picture keeps the picture's size and the controls where they were.
TEST(AboutBox, LayoutFollowsThePictureEvenWhenItIsDamaged) {
    for (bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged picture" : "shipped picture");
        const std::vector<std::uint8_t> hello{'h', 'e', 'l', 'l', 'o'};
        auto box = damaged ? std::make_unique<AboutDialog>(hello, nullptr)
                           : std::make_unique<AboutDialog>();
        box->show();
        EXPECT_EQ(box->hasPicture(), !damaged);
        EXPECT_EQ(box->picture_->pixmap().isNull(), damaged);
        EXPECT_EQ(box->size(), QSize(438, 343));
        EXPECT_EQ(box->btnOK->geometry(), QRect(170, 277, 97, 33));
        EXPECT_EQ(box->labelVersion->geometry(), QRect(66, 135, 305, 16));
        EXPECT_EQ(box->labelCopyright->geometry(), QRect(66, 170, 305, 65));
        EXPECT_EQ(box->labelVersion->text(), QStringLiteral("Version 1.01"));
        EXPECT_TRUE(box->labelCopyright->text().startsWith(QStringLiteral("Copyright \u00A9")));
        const Qt::WindowFlags f = box->windowFlags();
        EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint) && f.testFlag(Qt::WindowTitleHint));
        EXPECT_FALSE(f & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint));
    }
}

TEST(AboutBox, OkAndEnterClose) {
    const struct {
        const char* name;
        void (*press)(AboutDialog&);
    } rows[] = {
        {"OK clicked", [](AboutDialog& b) { QTest::mouseClick(b.btnOK, Qt::LeftButton); }},
        {"Enter", [](AboutDialog& b) { QTest::keyClick(b.windowHandle(), Qt::Key_Return); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        AboutDialog box;
        int result = -1;
        QObject::connect(&box, &QDialog::finished, [&](int r) { result = r; });
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        row.press(box);
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(box.isVisible());
    }
}

TEST(AboutBox, ShownModallyAndDestroyedWithItsClose) {
    QWidget owner;
    owner.show();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->parentWidget() == &owner && box->isModal();
        box->btnOK->click();
    });
    shell::showAboutBox(&owner);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(owner.findChildren<AboutDialog*>().isEmpty());
}

}  // namespace
}  // namespace corvalo::testing
