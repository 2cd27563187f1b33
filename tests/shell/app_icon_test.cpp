// The application icon carries every drawn size, so no size is a scaled copy.
#include "shell/app_icon.h"

#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace corvalo::testing {
namespace {

TEST(AppIcon, EveryDrawnSize) {
    const QIcon icon = shell::appIcon();
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(side);
        EXPECT_TRUE(sizes.contains(QSize(side, side)));
        const QImage image = icon.pixmap(QSize(side, side)).toImage();
        ASSERT_EQ(image.size(), QSize(side, side));
        // The tile's rounded corner is clear, its middle opaque.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255);
    }
    EXPECT_EQ(sizes.size(), 8);
}

}  // namespace
}  // namespace corvalo::testing
