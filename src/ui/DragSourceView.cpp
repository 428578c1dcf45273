#include "ui/DragSourceView.h"

#include "ui/Theme.h"

#include <QCoreApplication>
#include <QDrag>
#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>
#include <QVBoxLayout>

namespace Vantrel::Ui {

namespace {

// The widest fan: six icons, 2 points apart.
constexpr int fanSpread = 10;

// The named font at a size, or the system font at that size when the family is missing.
QFont namedFont(const QString& family, const QString& style, qreal points) {
    if (QFontDatabase::families().contains(family)) {
        QFont f = systemFont(points);
        f.setFamily(family);
        f.setStyleName(style);
        return f;
    }
    return systemFont(points);
}

// The font made smaller, a quarter point at a time, until text fits width: the stand-in for a
// missing narrow font can be wider.
QFont fitted(QFont font, const QString& text, qreal width) {
    while (QFontMetricsF(font).horizontalAdvance(text) > width && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}

QColor rgba(qreal r, qreal g, qreal b, qreal a) {
    return QColor::fromRgbF(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                            static_cast<float>(a));
}

} // namespace

QString DragSourceView::hint() {
    return tr("Just want the tracks, no stacks? Drag this into Logic.");
}

QColor DragSourceView::compactFill() {
    return rgba(0.94, 0.49, 0.18, 1.0);
}

QColor DragSourceView::tileFill(bool dark) {
    return dark ? rgba(1.0, 0.58, 0.28, 0.14) : rgba(0.937, 0.49, 0.176, 0.1);
}

QColor DragSourceView::tileStroke(bool dark) {
    QColor c = tileFill(dark);
    c.setAlphaF(1.0f);
    return c;
}

DragSourceView::DragSourceView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("dragSource"));
    runner_ = [](QDrag& drag, const QList<DragItem>&, Qt::DropActions offered) {
        drag.exec(offered, Qt::CopyAction);
    };
}

void DragSourceView::setFiles(const QStringList& files) {
    files_ = files;
    update();
}

void DragSourceView::setTitle(const QString& title) {
    title_ = title;
    setAccessibleName(title);
    update();
}

void DragSourceView::setCompact(bool compact) {
    compact_ = compact;
    update();
}

void DragSourceView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        gesture_.press({event->position().x(), event->position().y()});
    // A press in a window that is not active goes to the tile at once: widgets receive it
    // without the window having to be activated first.
    event->accept();
}

void DragSourceView::mouseMoveEvent(QMouseEvent* event) {
    const std::optional<Point> down = gesture_.downPoint();
    if (!(event->buttons() & Qt::LeftButton) || !down)
        return;
    if (gesture_.move({event->position().x(), event->position().y()}, files_))
        startDrag(*down);
}

void DragSourceView::startDrag(Point press) {
    // Every file's icon, 32 × 32, fanned out from the press point by 2 points right and down per
    // file, starting over every 6 files. The drag shows them as one picture whose origin is the
    // first icon's top left.
    const int side = static_cast<int>(DragGesture::iconSize);
    const QPointF origin(press.x - side / 2.0, press.y - side / 2.0);
    const qreal ratio = devicePixelRatioF();
    QPixmap fan(QSize(side + fanSpread, side + fanSpread) * ratio);
    fan.setDevicePixelRatio(ratio);
    fan.fill(Qt::transparent);
    QList<DragItem> items;
    QList<QUrl> urls;
    {
        QPainter p(&fan);
        QFileIconProvider icons;
        for (qsizetype i = 0; i < files_.size(); ++i) {
            const Rect f = DragGesture::iconFrame(press, i);
            const QRectF frame(f.origin.x, f.origin.y, f.size.width, f.size.height);
            items.append({QUrl::fromLocalFile(files_[i]), frame});
            urls.append(items.last().url);
            p.drawPixmap(frame.topLeft() - origin,
                         icons.icon(QFileInfo(files_[i])).pixmap(QSize(side, side), ratio));
        }
    }
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    QDrag drag(this);
    drag.setMimeData(mime);
    drag.setPixmap(fan);
    drag.setHotSpot(QPoint(side / 2, side / 2));
    runner_(drag, items, Qt::CopyAction);
}

void DragSourceView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (compact_)
        paintCompact(painter);
    else
        paintFull(painter);
}

void DragSourceView::paintFull(QPainter& painter) {
    const bool dark = isDark(palette());
    const QRectF bounds = rect();
    QPainterPath path;
    path.addRoundedRect(bounds.adjusted(1, 1, -1, -1), 20, 20);
    painter.fillPath(path, tileFill(dark));
    QPen pen(tileStroke(dark), 1.5);
    pen.setCapStyle(Qt::FlatCap);
    // Qt measures dashes in line widths: 7 on, 5 off.
    pen.setDashPattern({7 / 1.5, 5 / 1.5});
    painter.strokePath(path, pen);

    const qreal midY = bounds.height() / 2;
    const qreal width = bounds.width() - 20;
    QColor label = palette().color(QPalette::WindowText);
    painter.setPen(label);
    painter.setFont(fitted(
        namedFont(QStringLiteral("Helvetica Neue"), QStringLiteral("Medium"), 16), title_, width));
    painter.drawText(QRectF(10, midY - 22, width, 24), Qt::AlignHCenter | Qt::AlignTop, title_);
    label.setAlphaF(0.5f);
    painter.setPen(label);
    painter.setFont(fitted(namedFont(QStringLiteral("Helvetica Neue"), QStringLiteral("Light"), 13),
                           hint(), width));
    painter.drawText(QRectF(10, midY + 6, width, 20), Qt::AlignHCenter | Qt::AlignTop, hint());
}

void DragSourceView::paintCompact(QPainter& painter) {
    painter.fillRect(rect(), compactFill());
    const QFont font = systemFont(15, QFont::Medium);
    painter.setFont(font);
    painter.setPen(Qt::white);
    // The text's box ends 10 points below the middle.
    const qreal bottom = height() / 2.0 + 10;
    painter.drawText(QPointF(14, bottom - QFontMetricsF(font).descent()), title_);
}

void DragSourceView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        update();
    QWidget::changeEvent(event);
}

DragTile::DragTile(QWidget* parent) : QWidget(parent), view_(new DragSourceView(this)) {
    setObjectName(QStringLiteral("dragTile"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFixedSize(340, 110);
}

void DragTile::setContent(const QStringList& files, const QString& title) {
    view_->setFiles(files);
    view_->setTitle(title);
    view_->update();
}

QString tileTitle(qsizetype files) {
    return QCoreApplication::translate("Vantrel::Ui::DragTile", "%n tracks, ready for Logic",
                                       nullptr, int(files));
}

} // namespace Vantrel::Ui
