#include "ui/ColorPick.h"

#include "core/Palette.h"
#include "ui/Icons.h"
#include "ui/RuleEdits.h"
#include "ui/Theme.h"
#include "ui/Widgets.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QVBoxLayout>

#include <functional>

namespace Vantrel::Ui {

namespace {

QColor cellColor(int col, int row) {
    return opaqueColor(LogicPalette::hex()[row][col]);
}

// The 24 × 4 grid of Logic's colours; a click on a cell picks it.
class PaletteGrid : public QWidget {
public:
    PaletteGrid(std::function<std::optional<Swatch>()> marked, std::function<void(Swatch)> pick,
                QWidget* parent)
        : QWidget(parent), marked_(std::move(marked)), pick_(std::move(pick)) {
        setObjectName(QStringLiteral("paletteGrid"));
        setFixedSize(LogicPalette::columns * (ColorPopover::cellWidth + ColorPopover::gap) -
                         ColorPopover::gap,
                     LogicPalette::rows * (ColorPopover::cellHeight + ColorPopover::gap) -
                         ColorPopover::gap);
        setCursor(Qt::PointingHandCursor);
    }

    static QRect cell(int col, int row) {
        return {col * (ColorPopover::cellWidth + ColorPopover::gap),
                row * (ColorPopover::cellHeight + ColorPopover::gap), ColorPopover::cellWidth,
                ColorPopover::cellHeight};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const std::optional<Swatch> marked = marked_();
        for (int row = 0; row < LogicPalette::rows; ++row) {
            for (int col = 0; col < LogicPalette::columns; ++col) {
                const QRectF r = cell(col, row);
                p.setPen(Qt::NoPen);
                p.setBrush(cellColor(col, row));
                p.drawRoundedRect(r, 3, 3);
                if (marked && marked->col == col && marked->row == row) {
                    // A white border of width 2 inside the cell's edge.
                    p.setBrush(Qt::NoBrush);
                    p.setPen(QPen(Qt::white, 2));
                    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 2, 2);
                }
            }
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        for (int row = 0; row < LogicPalette::rows; ++row)
            for (int col = 0; col < LogicPalette::columns; ++col)
                if (cell(col, row).contains(event->position().toPoint())) {
                    pick_(Swatch{col, row});
                    return;
                }
    }

private:
    std::function<std::optional<Swatch>()> marked_;
    std::function<void(Swatch)> pick_;
};

constexpr int kPadding = 14;
constexpr int kSpacing = 8;
constexpr qreal kCornerRadius = 10;
constexpr int kArrowHalfWidth = 9;

} // namespace

// ---- ColorPick ----

ColorPick::ColorPick(QWidget* parent) : QAbstractButton(parent) {
    setObjectName(QStringLiteral("colorPick"));
    setFixedSize(side, side);
    setCursor(Qt::PointingHandCursor);
    setToolTip(tr("Color for this group in Logic"));
    setAccessibleName(tr("Color for this group in Logic"));
    connect(this, &QAbstractButton::clicked, this, &ColorPick::toggle);
}

void ColorPick::setColor(const std::optional<QList<int>>& color) {
    color_ = color;
    update();
}

void ColorPick::setName(const QString& name) {
    name_ = name;
    update();
}

std::optional<Swatch> ColorPick::current() const {
    return RuleEdits::current(color_, name_);
}

bool ColorPick::isOpen() const {
    return popover_ && popover_->isVisible();
}

void ColorPick::toggle() {
    if (isOpen()) {
        popover_->hide();
        return;
    }
    if (!popover_) {
        popover_ = new ColorPopover(this);
        connect(popover_, &ColorPopover::picked, this, &ColorPick::pick);
    }
    popover_->present(name_, current());
    popover_->openBelow(QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void ColorPick::pick(const QList<int>& color) {
    popover_->hide();
    color_ = color;
    update();
    emit colorPicked(color);
}

void ColorPick::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(0, 0, side, side);
    const std::optional<Swatch> cell = current();
    if (cell) {
        p.setPen(Qt::NoPen);
        p.setBrush(cellColor(cell->col, cell->row));
        p.drawEllipse(circle);
    }
    // An inner border of width 1.5.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Brismo::line.color(), 1.5));
    p.drawEllipse(circle.adjusted(0.75, 0.75, -0.75, -0.75));
    if (!cell)
        Icons::paint(p, circle, QStringLiteral("slash.circle"), Brismo::muted.color());
}

void ColorPick::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange)
        update();
    QAbstractButton::changeEvent(event);
}

// ---- ColorPopover ----

ColorPopover::ColorPopover(QWidget* parent) : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("colorPopover"));
    setAttribute(Qt::WA_TranslucentBackground);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding + arrowHeight, kPadding, kPadding);
    column->setSpacing(kSpacing);
    column->setSizeConstraint(QLayout::SetFixedSize);

    heading_ = new ThemeLabel(QString(), 13, QFont::Medium, Brismo::ink, this);
    heading_->setObjectName(QStringLiteral("colorHeading"));
    column->addWidget(heading_, 0, Qt::AlignLeft);

    grid_ = new PaletteGrid([this] { return marked_; },
                            [this](Swatch s) {
                                emit picked(QList<int>{s.col, s.row});
                            },
                            this);
    column->addWidget(grid_, 0, Qt::AlignHCenter);

    auto* none = new PillButton(tr("No color"), false, this);
    none->setObjectName(QStringLiteral("noColorButton"));
    connect(none, &QAbstractButton::clicked, this, [this] { emit picked(QList<int>{}); });
    column->addWidget(none, 0, Qt::AlignLeft);
}

void ColorPopover::present(const QString& name, std::optional<Swatch> current) {
    heading_->setText(tr("Logic color for %1").arg(name));
    marked_ = current;
    adjustSize();
    grid_->update();
}

QString ColorPopover::heading() const {
    return heading_->text();
}

QRect ColorPopover::gridRect() const {
    return grid_->geometry();
}

QRect ColorPopover::cellRect(int col, int row) const {
    return PaletteGrid::cell(col, row).translated(gridRect().topLeft());
}

void ColorPopover::placeBelow(const QRect& anchor) {
    adjustSize();
    const int centerX = anchor.center().x() + 1;
    QRect frame(QPoint(centerX - width() / 2, anchor.bottom() + 1), size());
    if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
        const QRect area = screen->availableGeometry();
        if (frame.right() > area.right())
            frame.moveRight(area.right());
        if (frame.left() < area.left())
            frame.moveLeft(area.left());
    }
    arrowX_ = std::clamp(centerX - frame.left(), int(kCornerRadius) + kArrowHalfWidth,
                         width() - int(kCornerRadius) - kArrowHalfWidth);
    move(frame.topLeft());
}

void ColorPopover::openBelow(const QRect& anchor) {
    placeBelow(anchor);
    show();
}

void ColorPopover::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(0.5, arrowHeight + 0.5, -0.5, -0.5);
    QPainterPath shape;
    shape.addRoundedRect(body, kCornerRadius, kCornerRadius);
    QPainterPath arrow;
    arrow.moveTo(arrowX_ - kArrowHalfWidth, body.top() + 1);
    arrow.lineTo(arrowX_, 0.5);
    arrow.lineTo(arrowX_ + kArrowHalfWidth, body.top() + 1);
    arrow.closeSubpath();
    shape = shape.united(arrow);
    p.setPen(QPen(Brismo::line.color(), 1));
    p.setBrush(Brismo::card.color());
    p.drawPath(shape);
}

void ColorPopover::mousePressEvent(QMouseEvent* event) {
    // A press outside the popover closes it, as a click elsewhere closes a popover.
    if (!rect().contains(event->position().toPoint())) {
        hide();
        return;
    }
    QFrame::mousePressEvent(event);
}

void ColorPopover::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit closed();
}

void ColorPopover::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange)
        update();
    QFrame::changeEvent(event);
}

} // namespace Vantrel::Ui
