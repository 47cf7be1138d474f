#include "pc/resources/Icons.h"
#include "tests/support/qt/QtTestApp.h"

#include <QImage>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {

const char* const kToolbarIcons[] = {
    "open",       "print",      "cursor-left",       "cursor-right",   "change-mark",
    "curve-up",   "curve-down", "zoom-in-h",         "zoom-out-h",     "zoom-in-v",
    "zoom-out-v", "restore",    "test-average-loss", "test-joint-loss"};

// Share of pixels that are drawn at all: an icon that is blank or a filled square is a broken one.
double Coverage(const QImage& image) {
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0;
    return double(drawn) / (image.width() * image.height());
}

TEST(Icons, EveryToolbarIconIs22PixelsAndDrawn) {
    EnsureQtApplication();
    for (const char* name : kToolbarIcons) {
        SCOPED_TRACE(name);
        const QIcon icon = ToolbarIcon(name);
        ASSERT_FALSE(icon.isNull());
        const QImage image(QStringLiteral(":/otdr/%1.png").arg(name));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(22, 22));
        EXPECT_EQ(icon.availableSizes(), QList<QSize>{QSize(22, 22)});
        const double coverage = Coverage(image);
        EXPECT_GT(coverage, 0.1);
        EXPECT_LT(coverage, 0.95);
    }
}

TEST(Icons, ToolbarIconsDifferFromEachOther) {
    EnsureQtApplication();
    const std::size_t count = std::size(kToolbarIcons);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t j = i + 1; j < count; ++j) {
            SCOPED_TRACE(std::string(kToolbarIcons[i]) + " / " + kToolbarIcons[j]);
            EXPECT_NE(ToolbarIcon(kToolbarIcons[i]).pixmap(22).toImage(),
                      ToolbarIcon(kToolbarIcons[j]).pixmap(22).toImage());
        }
}

TEST(Icons, UnknownNameGivesNullIcon) {
    EnsureQtApplication();
    EXPECT_TRUE(ToolbarIcon("zoom-in").isNull());
    EXPECT_TRUE(ToolbarIcon("").isNull());
    EXPECT_TRUE(ToolbarIcon("open.png").isNull());
}

TEST(Icons, ProgramIconHasBothSizes) {
    EnsureQtApplication();
    const QList<QSize> sizes = ProgramIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_EQ(ProgramIcon().pixmap(48).toImage().size(), QSize(48, 48));
}

} // namespace
