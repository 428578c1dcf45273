#include "ui/ContentView.h"

#include "app/AppModel.h"
#include "ui/BusyView.h"
#include "ui/DoneView.h"
#include "ui/DropZone.h"
#include "ui/ReviewView.h"
#include "ui/Widgets.h"

#include <QDragEnterEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace Vantrel::Ui {

namespace {

// The hairline under the header.
class Hairline : public QWidget {
public:
    explicit Hairline(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Brismo::line.color());
    }
};

// The frame drawn over the content while a drag is over the window; transparent to the mouse.
class DropFrame : public QWidget {
public:
    explicit DropFrame(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("dropFrame"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Brismo::ink.color(), 2));
        p.setBrush(Qt::NoBrush);
        // A 2 wide line centred on the rectangle inset 6 from every edge.
        p.drawRoundedRect(QRectF(rect()).adjusted(6, 6, -6, -6), 14, 14);
    }
};

// The first file URL a drop carries, if any.
std::optional<QUrl> firstFileUrl(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return std::nullopt;
    return urls.first();
}

} // namespace

ContentView::ContentView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("contentView"));
    setAcceptDrops(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("header"));
    header->setFixedHeight(56);
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(22, 0, 22, 0);
    headerRow->addWidget(new Wordmark(header), 0, Qt::AlignVCenter);
    headerRow->addStretch(1);
    auto* rules = new PillButton(tr("Rules…"), false, header);
    rules->setObjectName(QStringLiteral("rulesButton"));
    connect(rules, &QAbstractButton::clicked, &model, [&model] { model.setShowRules(true); });
    headerRow->addWidget(rules, 0, Qt::AlignVCenter);
    column->addWidget(header);
    column->addWidget(new Hairline(this));

    stack_ = new QStackedWidget(this);
    dropZone_ = new DropZone(model.review(), stack_);
    review_ = new ReviewView(model.review(), model.approval(), stack_);
    done_ = new DoneView(model.approval(), model.send(), stack_);
    stack_->addWidget(dropZone_);
    stack_->addWidget(review_);
    stack_->addWidget(done_);
    column->addWidget(stack_, 1);

    frame_ = new DropFrame(this);
    frame_->hide();
    busy_ = new BusyView(model.busyState(), this);
    busy_->hide();

    connect(&model.approval(), &ApprovalModel::resultURLChanged, this, &ContentView::route);
    connect(&model.review(), &ReviewSession::folderChanged, this, &ContentView::route);
    connect(&model.busyState(), &BusyState::busyChanged, this, &ContentView::showBusy);
    connect(&model, &AppModel::errorMessageChanged, this, &ContentView::showAlert);
    route();
    showBusy();
    showAlert();
}

QWidget* ContentView::currentScreen() const {
    if (model_.approval().resultURL())
        return done_;
    if (!model_.review().folder())
        return dropZone_;
    return review_;
}

void ContentView::route() {
    QWidget* screen = currentScreen();
    if (stack_->currentWidget() != screen)
        stack_->setCurrentWidget(screen);
}

void ContentView::showBusy() {
    if (model_.busyState().busy()) {
        busy_->setGeometry(rect());
        busy_->show();
        busy_->raise();
        busy_->setFocus();
    } else {
        busy_->hide();
        if (QWidget* screen = stack_->currentWidget(); screen == review_)
            review_->list()->setFocus();
    }
}

void ContentView::showAlert() {
    const std::optional<QString>& message = model_.errorMessage();
    if (!message) {
        if (alert_) {
            QMessageBox* alert = alert_;
            alert_ = nullptr;
            alert->close();
            alert->deleteLater();
        }
        return;
    }
    if (!alert_) {
        alert_ = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Vantrel"), *message,
                                 QMessageBox::Ok, this);
        alert_->setObjectName(QStringLiteral("alert"));
        alert_->setWindowModality(Qt::WindowModal);
        alert_->button(QMessageBox::Ok)->setText(tr("OK"));
        // OK, Escape and closing the alert all end here: the message is dismissed.
        connect(alert_, &QMessageBox::finished, this, [this] {
            if (alert_) {
                alert_->deleteLater();
                alert_ = nullptr;
            }
            model_.setErrorMessage(std::nullopt);
        });
        alert_->open();
    } else {
        alert_->setText(*message);
    }
}

void ContentView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Brismo::paintBackground(p, rect());
}

void ContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    busy_->setGeometry(rect());
    frame_->setGeometry(rect());
}

void ContentView::setTargeted(bool targeted) {
    if (targeted_ == targeted)
        return;
    targeted_ = targeted;
    dropZone_->setTargeted(targeted);
    frame_->setGeometry(rect());
    frame_->setVisible(targeted);
    if (targeted)
        frame_->raise();
}

void ContentView::dragEnterEvent(QDragEnterEvent* event) {
    if (firstFileUrl(event->mimeData())) {
        event->acceptProposedAction();
        setTargeted(true);
    }
}

void ContentView::dragMoveEvent(QDragMoveEvent* event) {
    if (firstFileUrl(event->mimeData()))
        event->acceptProposedAction();
}

void ContentView::dragLeaveEvent(QDragLeaveEvent*) {
    setTargeted(false);
}

void ContentView::dropEvent(QDropEvent* event) {
    setTargeted(false);
    const std::optional<QUrl> url = firstFileUrl(event->mimeData());
    if (!url) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Only the first item counts; the model decides whether it is a usable folder.
    model_.review().load(url->toLocalFile());
}

} // namespace Vantrel::Ui
