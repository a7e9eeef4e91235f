#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "Platform/Loop/Fake/ManualRunLoop.h"
#include "Shell/CaretBlinkTimeout.h"
#include "Support/QtTestApp.h"

namespace vorela {
namespace {

// A focused field in an open window repainted its blinking caret twice a second for as
// long as the program ran, the most a paused program cost; desktops stop blinking after a
// while without input.
TEST(CaretBlinkTimeoutTest, CaretsStopBlinkingWhenInputRestsAndBlinkAgainWithIt) {
    QApplication& app = testing::qtTestApp();
    QApplication::setCursorFlashTime(1000);
    ManualRunLoop loop;
    QLineEdit field;
    {
        CaretBlinkTimeout timeout(app, loop);
        loop.advanceBy(CaretBlinkTimeout::kIdleSeconds - 1);
        EXPECT_TRUE(timeout.isBlinking());
        QTest::keyClick(&field, Qt::Key_A);
        loop.advanceBy(CaretBlinkTimeout::kIdleSeconds - 1);
        EXPECT_TRUE(timeout.isBlinking()) << "a key starts the wait again";
        EXPECT_EQ(QApplication::cursorFlashTime(), 1000);
        loop.advanceBy(1.5);
        EXPECT_FALSE(timeout.isBlinking());
        EXPECT_EQ(QApplication::cursorFlashTime(), 0) << "a steady caret";

        QMouseEvent move(QEvent::MouseMove, QPointF(6, 6), QPointF(6, 6), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&field, &move);
        EXPECT_TRUE(timeout.isBlinking());
        EXPECT_EQ(QApplication::cursorFlashTime(), 1000) << "the desktop's blinking is back";
        loop.advanceBy(CaretBlinkTimeout::kIdleSeconds + 1);
        EXPECT_EQ(QApplication::cursorFlashTime(), 0);
    }
    EXPECT_EQ(QApplication::cursorFlashTime(), 1000) << "restored when it goes";
}

}  // namespace
}  // namespace vorela
