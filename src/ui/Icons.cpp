#include "ui/Icons.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtMath>

// The icons live in a static library: their resource is registered by hand before first use.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace Vantrel::Ui::Icons {

namespace {

// System symbol name -> file of the icon set (see resources/icons/README.md).
const QHash<QString, QString>& files() {
    static const QHash<QString, QString> table{
        {QStringLiteral("folder.badge.plus"), QStringLiteral("folder-plus")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("check-circle")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("warning")},
        {QStringLiteral("arrow.right"), QStringLiteral("arrow-right")},
        {QStringLiteral("trash"), QStringLiteral("trash")},
        {QStringLiteral("slash.circle"), QStringLiteral("prohibit")},
        {QStringLiteral("chevron.right"), QStringLiteral("caret-right")},
        {QStringLiteral("checklist"), QStringLiteral("list-checks")},
        {QStringLiteral("paperplane"), QStringLiteral("paper-plane-tilt")},
        {QStringLiteral("checkmark.shield.fill"), QStringLiteral("shield-check")},
        {QStringLiteral("hand.raised"), QStringLiteral("hand-palm")},
        {QStringLiteral("circle"), QStringLiteral("circle")},
        {QStringLiteral("music.note.house"), QStringLiteral("music-notes")},
        {QStringLiteral("computermouse"), QStringLiteral("mouse-simple")},
        {QStringLiteral("globe"), QStringLiteral("globe")},
        {QStringLiteral("arrow.uturn.backward"), QStringLiteral("arrow-u-up-left")},
    };
    return table;
}

// One parsed renderer per resource, made on first use (main thread only, like all drawing).
// The cache lives as long as the process and is never destroyed: renderers are QObjects that
// must not outlive the application object's teardown in a static destructor.
QSvgRenderer* renderer(const QString& resource) {
    static auto* const cache = new QHash<QString, QSvgRenderer*>;
    static const bool registered = (registerIconResources(), true);
    Q_UNUSED(registered);
    auto it = cache->find(resource);
    if (it == cache->end())
        it = cache->insert(resource, new QSvgRenderer(resource));
    return it.value();
}

} // namespace

QString resourceFor(const QString& symbol) {
    const auto it = files().find(symbol);
    if (it == files().end())
        return {};
    const bool filled = symbol.endsWith(QLatin1String(".fill"));
    return QStringLiteral(":/icons/%1/%2.svg")
        .arg(filled ? QStringLiteral("fill") : QStringLiteral("light"), it.value());
}

QPixmap pixmap(const QString& symbol, const QColor& color, int size, qreal devicePixelRatio) {
    // The review list draws the same arrow on every row of every frame: keep what was drawn.
    static QHash<QString, QPixmap> drawn;
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(symbol)
                            .arg(color.rgba(), 8, 16)
                            .arg(size)
                            .arg(devicePixelRatio);
    if (const auto it = drawn.constFind(key); it != drawn.constEnd())
        return it.value();
    if (drawn.size() > 256)
        drawn.clear();
    const int side = qMax(1, qRound(size * devicePixelRatio));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QString resource = resourceFor(symbol);
    if (!resource.isEmpty()) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        renderer(resource)->render(&p, QRectF(0, 0, side, side));
        // The files draw in their own colour; keep their coverage and take the tint.
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(image.rect(), color);
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(devicePixelRatio);
    drawn.insert(key, result);
    return result;
}

void paint(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& color) {
    const qreal side = qMin(rect.width(), rect.height());
    if (side <= 0 || resourceFor(symbol).isEmpty())
        return;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRectF square(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    const QPixmap pix = pixmap(symbol, color, qCeil(side), dpr);
    painter.drawPixmap(square, pix, QRectF(QPointF(0, 0), QSizeF(pix.size())));
}

} // namespace Vantrel::Ui::Icons
