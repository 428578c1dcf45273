#include "ui/Widgets.h"

#include "ui/Icons.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <cmath>

namespace Vantrel::Ui {

// ---- ThemeLabel ----

ThemeLabel::ThemeLabel(const QString& text, qreal points, QFont::Weight weight, DynamicColor color,
                       QWidget* parent)
    : QLabel(text, parent), color_(color) {
    setFont(systemFont(points, weight));
    setTextFormat(Qt::PlainText);
    applyColor();
}

void ThemeLabel::setColor(DynamicColor color) {
    color_ = color;
    applyColor();
}

void ThemeLabel::setWrappedText(const QString& text, int maxWidth) {
    setWordWrap(true);
    setText(text);
    wrapWidth_ = maxWidth;
    fitWrappedText();
}

void ThemeLabel::fitWrappedText() {
    ensurePolished(); // the font the label will be drawn in
    // A label's height for a width never comes out below its minimum size: the size fixed for
    // the previous text would stand in for this one's.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const QString text = this->text();
    const QFontMetrics metrics(font());
    int width = qMin(wrapWidth_, metrics.horizontalAdvance(text) + 2);
    // The narrowest width that keeps the number of lines: the lines come out even, and the last
    // one never holds a lone word when the others could give it company. Never narrower than the
    // widest word: a word that does not fit is broken or cut, not wrapped, so the line count
    // alone does not show it.
    int widestWord = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widestWord = qMax(widestWord, metrics.horizontalAdvance(word) + 2);
    const int height = heightForWidth(width);
    int narrow = qMax(width / 2, qMin(widestWord, width));
    const int widest = width;
    while (narrow < width) {
        const int middle = (narrow + width) / 2;
        if (heightForWidth(middle) <= height)
            width = middle;
        else
            narrow = middle + 1;
    }
    // The narrowest width is exact at this resolution only: a screen at another scale lays the
    // text out a little wider, and the last word would drop onto a line the label has no room
    // for. A character's width to spare keeps the lines and their number.
    width = qMin(widest, width + metrics.averageCharWidth());
    setFixedSize(width, qMax(0, heightForWidth(width))); // an empty text has no height
}

void ThemeLabel::setTracking(qreal points) {
    QFont f = font();
    f.setLetterSpacing(QFont::AbsoluteSpacing, points);
    setFont(f);
}

void ThemeLabel::changeEvent(QEvent* event) {
    // A new application palette reaches every widget as a posted PaletteChange (its inherited
    // roles changed); it may mean another appearance.
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)
        applyColor();
    if (event->type() == QEvent::FontChange && wrapWidth_ > 0)
        fitWrappedText();
    QLabel::changeEvent(event);
}

void ThemeLabel::applyColor() {
    const QColor wanted = color_.color();
    if (palette().color(QPalette::WindowText) == wanted &&
        palette().isBrushSet(QPalette::Active, QPalette::WindowText))
        return;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color_.color());
    p.setColor(QPalette::Text, color_.color());
    setPalette(p);
}

// ---- SymbolView ----

SymbolView::SymbolView(const QString& symbol, int size, DynamicColor color, QWidget* parent)
    : QWidget(parent), symbol_(symbol), size_(size), color_(color) {
    setFixedSize(size, size);
}

void SymbolView::setSymbol(const QString& symbol, DynamicColor color) {
    symbol_ = symbol;
    color_ = color;
    update();
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Icons::paint(p, rect(), symbol_, color_.color());
}

// ---- PillButton ----

namespace {

// A spring of response 0.25 s and damping fraction 0.7, as an easing curve over settleMs.
qreal springEasing(qreal progress) {
    return progress >= 1 ? 1 : PillButton::springStep(progress * PillButton::settleMs / 1000.0);
}

} // namespace

qreal PillButton::springStep(qreal t) {
    constexpr qreal response = 0.25;
    constexpr qreal damping = 0.7;
    const qreal omega = 2 * M_PI / response;
    const qreal omegaD = omega * std::sqrt(1 - damping * damping);
    if (t <= 0)
        return 0;
    return 1 - std::exp(-damping * omega * t) *
                   (std::cos(omegaD * t) + damping * omega / omegaD * std::sin(omegaD * t));
}

PillButton::PillButton(const QString& text, bool primary, QWidget* parent)
    : QAbstractButton(parent), primary_(primary), spring_(new QVariantAnimation(this)) {
    setTitle(text);
    setFont(systemFont(14, QFont::Medium));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QEasingCurve curve;
    curve.setCustomType(springEasing);
    spring_->setEasingCurve(curve);
    spring_->setDuration(settleMs);
    connect(spring_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        scale_ = v.toReal();
        update();
    });
    connect(this, &QAbstractButton::pressed, this, [this] { springTo(0.97); });
    connect(this, &QAbstractButton::released, this, [this] { springTo(1.0); });
}

void PillButton::setTitle(const QString& title) {
    title_ = title;
    setText(QString(title).replace(QLatin1Char('&'), QLatin1String("&&")));
    updateGeometry();
    update();
}

void PillButton::springTo(qreal target) {
    spring_->stop();
    spring_->setStartValue(scale_);
    spring_->setEndValue(target);
    spring_->start();
}

void PillButton::setPrimary(bool primary) {
    primary_ = primary;
    update();
}

QSize PillButton::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(title_) + 40, fm.height() + 18};
}

bool PillButton::hitButton(const QPoint& pos) const {
    // The whole capsule is the target.
    const QRectF r = QRectF(rect());
    const qreal radius = r.height() / 2;
    QPainterPath capsule;
    capsule.addRoundedRect(r, radius, radius);
    return capsule.contains(QPointF(pos));
}

void PillButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}

void PillButton::focusInEvent(QFocusEvent* event) {
    keyboardFocus_ =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

void PillButton::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    QAbstractButton::focusOutEvent(event);
}

void PillButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(isEnabled() ? 1.0 : 0.35);
    const QPointF centre = QRectF(rect()).center();
    p.translate(centre);
    p.scale(scale_, scale_);
    p.translate(-centre);

    const QRectF r = QRectF(rect());
    const qreal radius = r.height() / 2;
    QPainterPath capsule;
    capsule.addRoundedRect(r, radius, radius);
    p.fillPath(capsule, (primary_ ? Brismo::accent : Brismo::inner).color());
    if (!primary_) {
        const QRectF inside = r.adjusted(0.5, 0.5, -0.5, -0.5);
        const qreal insideRadius = inside.height() / 2;
        p.setPen(QPen(Brismo::line.color(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(inside, insideRadius, insideRadius);
    }
    if (hasFocus() && keyboardFocus_) {
        // Keyboard focus, for people who move through the controls with Tab: the theme's ink,
        // drawn in the fill's own contrasting ink on a primary button.
        QPen focus((primary_ ? Brismo::accentInk : Brismo::ink).color(), 2);
        p.setPen(focus);
        p.setBrush(Qt::NoBrush);
        const QRectF ring = r.adjusted(1, 1, -1, -1);
        p.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
    p.setPen((primary_ ? Brismo::accentInk : Brismo::ink).color());
    p.setFont(font());
    p.drawText(r, Qt::AlignCenter, title_);
}

// ---- BrismoMark ----

BrismoMark::BrismoMark(int side, QWidget* parent) : QWidget(parent), side_(side) {
    setFixedSize(side, side);
    setAttribute(Qt::WA_TranslucentBackground);
}

void BrismoMark::paintMark(QPainter& p, const QSizeF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = qMin(box.width(), box.height()) / 120.0;
    p.scale(s, s);
    p.setPen(Qt::NoPen);
    p.setBrush(Brismo::orange.color());
    p.drawEllipse(QRectF(24, 22, 72, 92));

    QPainterPath leafPath(QPointF(60, 23));
    leafPath.cubicTo(QPointF(60, 10), QPointF(72, 4), QPointF(85, 6));
    leafPath.cubicTo(QPointF(83, 19), QPointF(72, 26), QPointF(60, 23));
    leafPath.closeSubpath();
    p.fillPath(leafPath, Brismo::leaf.color());

    const DynamicColor stem{0x4F7A3C, 0x5E8F4A};
    QPen pen(stem.color(), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    p.setPen(pen);
    p.drawLine(QPointF(60, 23), QPointF(58, 12));
    p.restore();
}

void BrismoMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintMark(p, size());
}

// ---- Wordmark ----

Wordmark::Wordmark(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(new BrismoMark(30), 0, Qt::AlignVCenter);
    auto* column = new QVBoxLayout;
    column->setSpacing(1);
    auto* name = new ThemeLabel(QStringLiteral("Vantrel"), 20, QFont::Light, Brismo::ink);
    name->setObjectName(QStringLiteral("wordmarkName"));
    auto* brand =
        new ThemeLabel(QStringLiteral("BY BRISMO AUDIO"), 8.5, QFont::DemiBold, Brismo::muted);
    brand->setTracking(1.6);
    column->addWidget(name);
    column->addWidget(brand);
    row->addLayout(column);
    row->setAlignment(column, Qt::AlignVCenter);
}

// ---- Card ----

void paintCard(QPainter& p, const QRectF& rect, const QColor& fill, const QColor& border) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF inside = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(border, 1));
    p.setBrush(fill);
    p.drawRoundedRect(inside, 14, 14);
    p.restore();
}

Card::Card(QWidget* parent) : QWidget(parent) {}

void Card::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintCard(p, rect(), Brismo::card.color(), Brismo::line.color());
}

namespace {

// The style of a thin scroll bar in the colours of the appearance in force.
QString thinScrollBarStyle() {
    return QStringLiteral(
               "QScrollBar:vertical { background: transparent; width: 8px; margin: 10px 2px 10px "
               "0; }"
               "QScrollBar:horizontal { background: transparent; height: 8px; margin: 0 10px 2px "
               "10px; }"
               "QScrollBar::handle { background: %1; border-radius: 3px; }"
               "QScrollBar::handle:hover { background: %2; }"
               "QScrollBar::handle:vertical { min-height: 28px; }"
               "QScrollBar::handle:horizontal { min-width: 28px; }"
               "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none; }"
               "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }")
        .arg(Brismo::line.color().name(), Brismo::muted.color().name());
}

// Restyles the scroll bars of an area when the appearance changes.
class ThinScrollBars : public QObject {
public:
    explicit ThinScrollBars(QAbstractScrollArea* area) : QObject(area), area_(area) {
        apply();
        area->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == area_ && (event->type() == QEvent::ApplicationPaletteChange ||
                                 event->type() == QEvent::PaletteChange))
            apply();
        return false;
    }

private:
    void apply() {
        const QString style = thinScrollBarStyle();
        area_->verticalScrollBar()->setStyleSheet(style);
        area_->horizontalScrollBar()->setStyleSheet(style);
    }
    QAbstractScrollArea* area_;
};

} // namespace

void useThinScrollBars(QAbstractScrollArea* area) {
    new ThinScrollBars(area);
}

} // namespace Vantrel::Ui

namespace Vantrel::Ui {

ThemeStyle::ThemeStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void ThemeStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const bool field = element == PE_FrameLineEdit ||
                       (element == PE_Frame && widget && widget->inherits("QPlainTextEdit"));
    if (field) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setBrush(Qt::NoBrush);
        const bool focused = option->state & State_HasFocus;
        const qreal width = focused ? 1.5 : 1.0;
        painter->setPen(QPen((focused ? Brismo::ink : Brismo::fieldEdge).color(), width));
        const qreal inset = width / 2;
        painter->drawRoundedRect(QRectF(option->rect).adjusted(inset, inset, -inset, -inset), 3, 3);
        painter->restore();
        return;
    }
    if (element == PE_IndicatorCheckBox) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (!(option->state & State_Enabled))
            painter->setOpacity(0.35);
        const bool on = option->state & (State_On | State_NoChange);
        const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
        painter->setPen(QPen((on ? Brismo::accent : Brismo::fieldEdge).color(), 1));
        painter->setBrush((on ? Brismo::accent : Brismo::card).color());
        painter->drawRoundedRect(box, 3, 3);
        QPen mark(Brismo::accentInk.color(), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter->setPen(mark);
        painter->setBrush(Qt::NoBrush);
        const qreal w = box.width();
        const qreal h = box.height();
        if (option->state & State_NoChange) {
            painter->drawLine(QPointF(box.left() + w * 0.25, box.center().y()),
                              QPointF(box.right() - w * 0.25, box.center().y()));
        } else if (option->state & State_On) {
            const QPointF points[] = {{box.left() + w * 0.22, box.top() + h * 0.52},
                                      {box.left() + w * 0.42, box.top() + h * 0.72},
                                      {box.left() + w * 0.78, box.top() + h * 0.30}};
            painter->drawPolyline(points, 3);
        }
        painter->restore();
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void useThemeStyle() {
    QApplication::setStyle(new ThemeStyle);
}

} // namespace Vantrel::Ui
