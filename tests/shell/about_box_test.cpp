// The About box: its size from the picture, where its controls sit, its texts,
// OK and Enter, and a damaged picture.
#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <string>
#include <vector>

namespace corvalo::testing {
namespace {

using shell::AboutDialog;

TEST(AboutBox, LayoutFollowsThePicture) {
    AboutDialog box;
    box.show();
    ASSERT_TRUE(box.hasPicture());
    EXPECT_EQ(box.size(), QSize(438, 343));
    EXPECT_EQ(box.picture_->geometry(), QRect(0, 0, 438, 343));
    EXPECT_EQ(box.btnOK->geometry(), QRect(170, 277, 97, 33));
    EXPECT_EQ(box.labelVersion->geometry(), QRect(66, 135, 305, 16));
    EXPECT_EQ(box.labelCopyright->geometry(), QRect(66, 170, 305, 65));
    EXPECT_EQ(box.labelVersion->text(), QStringLiteral("Version 1.01"));
    EXPECT_TRUE(box.labelCopyright->text().startsWith(QStringLiteral("Copyright \u00A9")));
    EXPECT_FALSE(box.picture_->pixmap().isNull());
}

TEST(AboutBox, TitleBarWithoutButtons) {
    AboutDialog box;
    const Qt::WindowFlags f = box.windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(f.testFlag(Qt::WindowMinMaxButtonsHint));
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

// The decoder's failures are pinned in its own tests; the box keeps its layout.
TEST(AboutBox, DamagedPictureStillOpens) {
    AboutDialog box(std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o'}, nullptr);
    box.show();
    EXPECT_FALSE(box.hasPicture());
    EXPECT_EQ(box.size(), QSize(438, 343));
    EXPECT_EQ(box.btnOK->geometry().top(), 277);
    EXPECT_EQ(box.labelVersion->text(), QStringLiteral("Version 1.01"));
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
