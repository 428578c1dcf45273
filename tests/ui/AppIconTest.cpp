// The application icon's files, written from the brand mark's drawing code.
#include "ui/AppIcon.h"

#include "ui/Theme.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace Vantrel::Ui {
namespace {

// The share of pixels whose colours differ by more than a rounding of the edges.
double differingShare(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            if (std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) +
                    std::abs(p.blue() - q.blue()) + std::abs(p.alpha() - q.alpha()) >
                48)
                ++differing;
        }
    return double(differing) / (a.width() * a.height());
}

// Verifies that the theme's files are written for every size, and that the SVG, the PNGs and
// the mark in the window are one drawing: the SVG rendered again matches the 128-pixel PNG, and
// that matches BrismoMark drawn in the light appearance.
TEST(AppIconTest, shouldWriteOneDrawingAsSvgAndEveryPngSize) {
    QApplication::setPalette(lightPalette());
    QTemporaryDir dir;
    ASSERT_EQ(writeAppIconFiles(dir.path()), QString());
    const QString name = QString::fromLatin1(appIconName);
    for (const int side : appIconSizes()) {
        const QImage png(dir.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(side).arg(name)));
        EXPECT_EQ(png.size(), QSize(side, side)) << side;
    }

    const QImage png(dir.filePath(QStringLiteral("128x128/apps/%1.png").arg(name)));
    QSvgRenderer svg(dir.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name)));
    ASSERT_TRUE(svg.isValid());
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, 120, 120));
    QImage fromSvg(128, 128, QImage::Format_ARGB32_Premultiplied);
    fromSvg.fill(Qt::transparent);
    {
        QPainter p(&fromSvg);
        svg.render(&p);
    }
    QImage mark(128, 128, QImage::Format_ARGB32_Premultiplied);
    mark.fill(Qt::transparent);
    {
        QPainter p(&mark);
        BrismoMark::paintMark(p, QSizeF(128, 128));
    }
    EXPECT_LT(differingShare(png, fromSvg), 0.01);
    EXPECT_LT(differingShare(png, mark), 0.01);
    // The drawing is there: the middle of the body is the mark's orange, the corners empty.
    EXPECT_EQ(png.pixelColor(64, 72).rgb(), Brismo::orange.light | 0xFF000000u);
    EXPECT_EQ(png.pixelColor(2, 2).alpha(), 0);
}

// Verifies that an icon that cannot be written names the file at fault.
TEST(AppIconTest, shouldNameTheFileThatCannotBeWritten) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("scalable")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder must go
    blocker.close();
    EXPECT_TRUE(writeAppIconFiles(dir.path()).startsWith(dir.filePath(QStringLiteral("scalable"))));
}

} // namespace
} // namespace Vantrel::Ui
