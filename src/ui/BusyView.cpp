#include "ui/BusyView.h"

#include "app/BusyState.h"
#include "ui/Widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace Vantrel::Ui {

// ---- ThemeProgressBar ----

ThemeProgressBar::ThemeProgressBar(int width, QWidget* parent)
    : QProgressBar(parent), timer_(new QTimer(this)) {
    setFixedSize(width, 6);
    setTextVisible(false);
    setRange(0, 1000);
    timer_->setInterval(16);
    connect(timer_, &QTimer::timeout, this, [this] {
        phase_ = std::fmod(phase_ + 0.012, 1.0);
        update();
    });
}

void ThemeProgressBar::setFraction(std::optional<double> fraction) {
    if (fraction) {
        setRange(0, 1000);
        setValue(qBound(0, qRound(*fraction * 1000), 1000));
        timer_->stop();
    } else {
        setRange(0, 0);
        if (isVisible())
            timer_->start();
    }
    update();
}

void ThemeProgressBar::setPhase(qreal phase) {
    phase_ = phase;
    update();
}

void ThemeProgressBar::showEvent(QShowEvent* event) {
    QProgressBar::showEvent(event);
    if (maximum() == 0)
        timer_->start();
}

void ThemeProgressBar::hideEvent(QHideEvent* event) {
    QProgressBar::hideEvent(event);
    timer_->stop();
}

void ThemeProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    const qreal radius = r.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Brismo::line.color());
    p.drawRoundedRect(r, radius, radius);
    p.setBrush(Brismo::accent.color());
    if (maximum() == 0) {
        // A segment of a third of the track sliding across it.
        const qreal w = r.width() / 3;
        const qreal x = r.left() - w + phase_ * (r.width() + w);
        p.setClipRect(r);
        p.drawRoundedRect(QRectF(x, r.top(), w, r.height()), radius, radius);
    } else {
        const qreal fraction = double(value() - minimum()) / qMax(1, maximum() - minimum());
        if (fraction > 0)
            p.drawRoundedRect(QRectF(r.left(), r.top(), r.width() * fraction, r.height()), radius,
                              radius);
    }
}

// ---- BusyView ----

BusyView::BusyView(BusyState& state, QWidget* parent) : QWidget(parent), state_(state) {
    setObjectName(QStringLiteral("busyView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_NoMousePropagation);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addStretch(1);
    card_ = new Card(this);
    card_->setObjectName(QStringLiteral("busyCard"));
    card_->setFixedWidth(400);
    outer->addWidget(card_, 0, Qt::AlignHCenter);
    outer->addStretch(1);

    auto* column = new QVBoxLayout(card_);
    column->setContentsMargins(28, 28, 28, 28);
    column->setSpacing(14);
    column->addWidget(new BrismoMark(34, card_), 0, Qt::AlignHCenter);
    title_ = new ThemeLabel(QString(), 20, QFont::Light, Brismo::ink, card_);
    title_->setObjectName(QStringLiteral("busyTitle"));
    title_->setAlignment(Qt::AlignHCenter);
    title_->setWordWrap(true);
    column->addWidget(title_);
    bar_ = new ThemeProgressBar(300, card_);
    bar_->setObjectName(QStringLiteral("busyProgress"));
    bar_->setAccessibleName(tr("Progress"));
    column->addWidget(bar_, 0, Qt::AlignHCenter);
    detail_ = new ThemeLabel(QString(), 14, QFont::Light, Brismo::muted, card_);
    detail_->setObjectName(QStringLiteral("busyDetail"));
    detail_->setAlignment(Qt::AlignHCenter);
    detail_->setWordWrap(true);
    column->addWidget(detail_);
    cancel_ = new PillButton(tr("Cancel"), false, card_);
    cancel_->setObjectName(QStringLiteral("busyCancelButton"));
    column->addWidget(cancel_, 0, Qt::AlignHCenter);
    connect(cancel_, &QAbstractButton::clicked, &state, &BusyState::requestCancel);

    for (auto signal : {&BusyState::titleChanged, &BusyState::detailChanged,
                        &BusyState::progressChanged, &BusyState::cancellableChanged})
        connect(&state, signal, this, &BusyView::refresh);
    refresh();
}

void BusyView::refresh() {
    title_->setText(state_.title());
    detail_->setText(state_.detail());
    bar_->setFraction(state_.progress());
    cancel_->setVisible(state_.cancellable());
}

void BusyView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, qRound(0.28 * 255)));
}

// Clicks end here: the dimmed window under the card is not reachable.
void BusyView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void BusyView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
void BusyView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}
void BusyView::wheelEvent(QWheelEvent* event) {
    event->accept();
}

} // namespace Vantrel::Ui
