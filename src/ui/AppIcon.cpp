#include "ui/AppIcon.h"

#include "ui/Widgets.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>

namespace Vantrel::Ui {

namespace {

// The mark's design space (BrismoMark draws into 120 × 120).
constexpr int designSide = 120;

QImage markImage(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    BrismoMark::paintMark(painter, QSizeF(side, side));
    return image;
}

} // namespace

QList<int> appIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256, 512};
}

QIcon appIcon() {
    QIcon icon;
    for (const int side : appIconSizes())
        icon.addPixmap(QPixmap::fromImage(markImage(side)));
    return icon;
}

QString writeAppIconFiles(const QString& folder) {
    const QString name = QString::fromLatin1(appIconName);
    const QDir root(folder);
    const QString svg = root.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name));
    if (!root.mkpath(QStringLiteral("scalable/apps")))
        return svg;
    {
        QSvgGenerator generator;
        generator.setFileName(svg);
        generator.setSize(QSize(designSide, designSide));
        generator.setViewBox(QRect(0, 0, designSide, designSide));
        generator.setTitle(QStringLiteral("Vantrel"));
        QPainter painter;
        if (!painter.begin(&generator))
            return svg;
        BrismoMark::paintMark(painter, QSizeF(designSide, designSide));
    }
    for (const int side : appIconSizes()) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(side);
        const QString png = root.filePath(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
        if (!root.mkpath(dir) || !markImage(side).save(png, "PNG"))
            return png;
    }
    return {};
}

QList<int> appIconSetPoints() {
    return {16, 32, 128, 256, 512};
}

QString writeAppIconSet(const QString& folder) {
    const QDir root(folder);
    if (!root.mkpath(QStringLiteral(".")))
        return folder;
    for (const int points : appIconSetPoints()) {
        for (const int scale : {1, 2}) {
            const QString png =
                root.filePath(QStringLiteral("icon_%1x%1%2.png")
                                  .arg(points)
                                  .arg(scale == 2 ? QStringLiteral("@2x") : QString()));
            if (!markImage(points * scale).save(png, "PNG"))
                return png;
        }
    }
    return {};
}

} // namespace Vantrel::Ui
