#include "updater/CVantrelDlg.h"
#include "updater/UpdaterKeyFilter.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QWindow>
#include <gtest/gtest.h>

#include "tests/support/qt/QtTestApp.h"

namespace {

class VantrelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApplication(); }
};

TEST_F(VantrelTest, BannerFillsTheScreen) {
    CVantrelDlg dialog;
    EXPECT_EQ(dialog.size(), QSize(320, 240));
    EXPECT_EQ(dialog.pos(), QPoint(0, 0));
    const QImage screen = dialog.grab().toImage();
    const auto* banner = dialog.findChild<QLabel*>();
    ASSERT_NE(banner, nullptr);
    ASSERT_FALSE(banner->pixmap().isNull());
    EXPECT_EQ(banner->pixmap().size(), QSize(320, 240));
    // Not a blank window: the banner has many colours.
    QSet<QRgb> colours;
    for (int y = 0; y < screen.height(); y += 4)
        for (int x = 0; x < screen.width(); x += 4)
            colours.insert(screen.pixel(x, y));
    EXPECT_GT(colours.size(), 8);
}

TEST_F(VantrelTest, EnterEscapeAndVGoNoFurther) {
    CVantrelDlg dialog;
    dialog.show();
    UpdaterKeyFilter filter;
    QWindow* window = dialog.windowHandle();
    ASSERT_NE(window, nullptr);
    for (int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_V}) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
        EXPECT_TRUE(filter.eventFilter(window, &down)) << key;
        EXPECT_TRUE(filter.eventFilter(window, &up)) << key;
    }
    QKeyEvent other(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    EXPECT_FALSE(filter.eventFilter(window, &other));
    // Escape never closes the updater.
    QApplication::instance()->installEventFilter(&filter);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &escape);
    EXPECT_TRUE(dialog.isVisible());
}

} // namespace
