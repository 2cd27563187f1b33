// The About box.
#include "shell/about_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <vector>

namespace corvalo::testing {
namespace {

// Shown modally by the window's command, with the picture the program carries, under a
// title bar without buttons; OK closes it. A picture that does not decode keeps the size.
TEST(AboutBox, ShownModallyOverItsOwnerAndClosedByOk) {
    EXPECT_EQ(shell::AboutDialog(std::vector<std::uint8_t>{'x'}, nullptr).size(), QSize(438, 343));
    QWidget owner;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<shell::AboutDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->parentWidget() == &owner && box->hasPicture());
        const Qt::WindowFlags f = box->windowFlags();
        EXPECT_TRUE(f.testFlag(Qt::WindowTitleHint) && !(f & Qt::WindowCloseButtonHint));
        seen = true;
        box->btnOK->click();
    });
    shell::showAboutBox(&owner);
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace corvalo::testing
