// The paper tape shown above the display: placement, scrolling, colours, recall.
#include "deskcalc/qt/tape_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWheelEvent>

#include "widget_fixture.h"

namespace corvalo::deskcalc {
namespace {

class TapeViewTest : public testing::WidgetTest {
  protected:
    void SetUp() override {
        WidgetTest::SetUp();
        view = calc->findChild<TapeView*>(QStringLiteral("tapeView"));
        ASSERT_NE(view, nullptr);
    }

    int lineHeight() const { return QFontMetrics(view->font()).height(); }
    // The line's top in the tape's viewport; negative or past the end when out of view.
    int lineTop(std::size_t index) const {
        return (static_cast<int>(index) - view->topLine()) * lineHeight();
    }
    bool newestLineInView() const {
        const int top = lineTop(calc->logic().tape().lines().size() - 1);
        return top >= 0 && top + lineHeight() <= view->viewport()->height();
    }

    TapeView* view = nullptr;
};

// At 440 x 400 with the memory column: margin 6, gap 4, buttons 67 wide and a space of
// 10 before the five columns, so the tape spans 428 and the display 18 less, below it.
TEST_F(TapeViewTest, ShownAboveTheDisplayAndHiddenAgainWithTheOldLayout) {
    EXPECT_FALSE(calc->tapeVisible());
    EXPECT_FALSE(view->isVisible());
    const QRect display = calc->displayPanel()->geometry();
    const Rect equals = calc->buttonLayout().button(Key::Equals);

    calc->setTapeVisible(true);
    EXPECT_TRUE(calc->tapeVisible());
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->geometry(), QRect(6, 6, 428, 60));
    EXPECT_EQ(calc->displayPanel()->geometry(), QRect(8, 72, 410, display.height()));

    calc->setTapeVisible(false);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(calc->displayPanel()->geometry(), display);
    EXPECT_EQ(calc->buttonLayout().button(Key::Equals), equals);
}

TEST_F(TapeViewTest, NewLinesScrollIntoViewAndTheWheelScrollsBack) {
    calc->setTapeHeight(120);
    calc->setTapeVisible(true);
    QTest::keyClicks(calc.get(), "5+3=");
    EXPECT_TRUE(newestLineInView());
    const int top = view->topLine();

    QWheelEvent up(QPointF(10, 10), view->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                   QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &up);
    EXPECT_LT(view->topLine(), top);
    EXPECT_FALSE(newestLineInView());

    QTest::keyClicks(calc.get(), "7+");
    EXPECT_TRUE(newestLineInView());
}

TEST_F(TapeViewTest, DrawnInTheDisplayFontOnTheDisplayColours) {
    calc->setTapeHeight(150);
    calc->setTapeVisible(true);
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(24);
    calc->setTapeFont(font);
    EXPECT_EQ(view->font().pixelSize(), 24);
    calc->colors().setColorScheme(ColorScheme::Dark);  // black, aqua text

    QTest::keyClicks(calc.get(), "8+");
    const QImage image = view->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 0, 0));  // the blank strip at the top
    bool aqua = false;
    for (int y = 0; y < image.height() && !aqua; ++y) {
        for (int x = 0; x < image.width() && !aqua; ++x) {
            aqua = image.pixelColor(x, y) == QColor(0, 0xFF, 0xFF);
        }
    }
    EXPECT_TRUE(aqua);  // "8 +", in view although the line width is still the old font's
}

TEST_F(TapeViewTest, DoubleClickRecallsTheLineAndAClickFocusesTheCalculator) {
    calc->setTapeHeight(150);
    calc->setTapeVisible(true);
    QTest::keyClicks(calc.get(), "1.25+2.25=");
    QTest::keyClick(calc.get(), Qt::Key_Escape);
    const auto& lines = calc->logic().tape().lines();
    std::size_t total = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].ends_with(" 3.50 *")) total = i;
    }
    ASSERT_LT(total, lines.size());
    const int y = lineTop(total) + lineHeight() / 2;
    ASSERT_GT(y, 0);
    ASSERT_LT(y, view->viewport()->height());

    calc->clearFocus();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, y));
    EXPECT_EQ(calc->entryText(), "3.50");
    EXPECT_TRUE(calc->hasFocus());
}

}  // namespace
}  // namespace corvalo::deskcalc
