#include "ui/SendPanel.h"

#include "app/SendProgress.h"
#include "ui/BusyView.h"
#include "ui/Widgets.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

namespace Vantrel::Ui {

SendPanelView::SendPanelView(SendProgress& progress, QWidget* parent)
    : QWidget(parent), progress_(progress) {
    setObjectName(QStringLiteral("sendPanel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(8);

    auto* caption = new QHBoxLayout;
    caption->setSpacing(8);
    caption->addWidget(new BrismoMark(18, this), 0, Qt::AlignVCenter);
    auto* sending = new ThemeLabel(tr("SENDING TO LOGIC"), 11, QFont::Medium, Brismo::muted, this);
    sending->setTracking(2);
    caption->addWidget(sending, 0, Qt::AlignVCenter);
    caption->addStretch(1);
    column->addLayout(caption);

    bar_ = new ThemeProgressBar(340 - 32, this);
    bar_->setObjectName(QStringLiteral("sendPanelProgress"));
    bar_->setAccessibleName(tr("Send progress"));
    column->addWidget(bar_);

    status_ = new ThemeLabel(QString(), 13, QFont::Light, Brismo::ink, this);
    status_->setObjectName(QStringLiteral("sendPanelStatus"));
    status_->setMinimumWidth(0);
    status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(status_);

    auto* bottom = new QHBoxLayout;
    auto* plea = new ThemeLabel(tr("Please don't touch the mouse or keyboard"), 11, QFont::Light,
                                Brismo::muted, this);
    bottom->addWidget(plea, 0, Qt::AlignVCenter);
    bottom->addStretch(1);
    cancel_ = new PillButton(tr("Cancel"), false, this);
    // The whole sentence beside Cancel: a wider stand-in for the system font is made smaller.
    QFont font = plea->font();
    const int room = 340 - 32 - cancel_->sizeHint().width() - 8;
    while (QFontMetricsF(font).horizontalAdvance(plea->text()) > room && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    plea->setFont(font);
    cancel_->setObjectName(QStringLiteral("sendPanelCancelButton"));
    bottom->addWidget(cancel_, 0, Qt::AlignVCenter);
    column->addLayout(bottom);
    connect(cancel_, &QAbstractButton::clicked, &progress, &SendProgress::requestCancel);
    // Escape is Cancel too, whenever the panel has the keyboard.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, &progress, &SendProgress::requestCancel);

    connect(&progress, &SendProgress::statusChanged, this, &SendPanelView::refresh);
    connect(&progress, &SendProgress::fractionChanged, this, &SendPanelView::refresh);
    refresh();
}

void SendPanelView::refresh() {
    bar_->setFraction(progress_.fraction());
    // One line: a long status is cut short at its end.
    status_->setText(
        status_->fontMetrics().elidedText(progress_.status(), Qt::ElideRight, 340 - 32));
    status_->setAccessibleName(progress_.status());
}

void SendPanelView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Brismo::paintBackground(p, rect());
}

SendPanelWindow::SendPanelWindow(SendProgress& progress, Point topLeft, QSize size)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      view_(new SendPanelView(progress, this)) {
    setObjectName(QStringLiteral("sendPanelWindow"));
    setWindowTitle(tr("Sending to Logic"));
    setAttribute(Qt::WA_ShowWithoutActivating);
#ifdef Q_OS_MACOS
    // A tool window hides while its application is not active; the panel must stay in view over
    // Logic Pro.
    setAttribute(Qt::WA_MacAlwaysShowToolWindow);
#endif
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFixedSize(size);
    move(static_cast<int>(topLeft.x), static_cast<int>(topLeft.y));
}

} // namespace Vantrel::Ui
