#include "ui/DoneView.h"

#include "app/ScreenModels.h"
#include "ui/BusyView.h"
#include "ui/DragSourceView.h"
#include "ui/FileManager.h"
#include "ui/OpenInButton.h"
#include "ui/Widgets.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace Vantrel::Ui {

QString DoneView::hint() {
    return tr("Open Logic Pro with an empty project, then choose Send to Logic.");
}

QString DoneView::afterCancel() {
    return tr("Logic Pro keeps what the send made before you cancelled. Choose Edit > Undo in "
              "Logic Pro until the project is empty, or open a new empty project, then send "
              "again.");
}

namespace {

// The width of a failed send's message.
constexpr int kFailureWidth = 480;

PillButton* pill(const char* objectName, const QString& text, bool primary, QWidget* parent) {
    auto* b = new PillButton(text, primary, parent);
    b->setObjectName(QString::fromLatin1(objectName));
    return b;
}

// A row of buttons 12 apart, vertically centred.
QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons) {
    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget* b : buttons)
        row->addWidget(b, 0, Qt::AlignVCenter);
    return row;
}

} // namespace

DoneView::DoneView(ResultHost& model, SendHost& send, QWidget* parent)
    : QWidget(parent), model_(model), send_(send),
      reveal_([](const QString& path) { revealInFileManager(path); }) {
    setObjectName(QStringLiteral("doneView"));
    auto* column = new QVBoxLayout(this);
    column->setObjectName(QStringLiteral("doneColumn"));
    column->setSpacing(16);
    column->addStretch(1);
    mark_ = new SymbolView(QStringLiteral("checkmark.circle.fill"), 64, Brismo::leaf, this);
    mark_->setObjectName(QStringLiteral("doneMark"));
    column->addWidget(mark_, 0, Qt::AlignHCenter);
    title_ = new ThemeLabel(QString(), 34, QFont::Light, Brismo::ink, this);
    title_->setObjectName(QStringLiteral("doneTitle"));
    column->addWidget(title_, 0, Qt::AlignHCenter);
    folderName_ = new ThemeLabel(QString(), 17, QFont::Light, Brismo::muted, this);
    folderName_->setObjectName(QStringLiteral("resultName"));
    column->addWidget(folderName_, 0, Qt::AlignHCenter);
    note_ = new ThemeLabel(QString(), 14, QFont::Light, Brismo::muted, this);
    note_->setObjectName(QStringLiteral("exportNote"));
    note_->setAlignment(Qt::AlignHCenter);
    column->addWidget(note_, 0, Qt::AlignHCenter);

    // While sending: the progress, the status line and Cancel, 8 apart, 6 below the note.
    sendBlock_ = new QWidget(this);
    sendBlock_->setObjectName(QStringLiteral("sendBlock"));
    auto* block = new QVBoxLayout(sendBlock_);
    block->setContentsMargins(0, 6, 0, 0);
    block->setSpacing(8);
    sendBar_ = new ThemeProgressBar(320, sendBlock_);
    sendBar_->setObjectName(QStringLiteral("sendProgress"));
    sendBar_->setAccessibleName(tr("Send progress"));
    block->addWidget(sendBar_, 0, Qt::AlignHCenter);
    sendStatus_ = new ThemeLabel(QString(), 14, QFont::Light, Brismo::muted, sendBlock_);
    sendStatus_->setObjectName(QStringLiteral("sendStatus"));
    sendStatus_->setAlignment(Qt::AlignHCenter);
    block->addWidget(sendStatus_, 0, Qt::AlignHCenter);
    PillButton* cancel = pill("sendCancelButton", tr("Cancel"), false, sendBlock_);
    block->addWidget(cancel, 0, Qt::AlignHCenter);
    connect(cancel, &QAbstractButton::clicked, this, [&send] { send.cancelSend(); });
    column->addWidget(sendBlock_, 0, Qt::AlignHCenter);

    // Otherwise: the tile, the sends, the folder actions and the result or the hint, 16 apart.
    controls_ = new QWidget(this);
    controls_->setObjectName(QStringLiteral("doneControls"));
    auto* controls = new QVBoxLayout(controls_);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setObjectName(QStringLiteral("doneControlsColumn"));
    controls->setSpacing(16);
    tile_ = new DragTile(controls_);
    auto* tileBox = new QVBoxLayout;
    tileBox->setContentsMargins(0, 4, 0, 0);
    tileBox->addWidget(tile_, 0, Qt::AlignHCenter);
    controls->addLayout(tileBox);

    PillButton* fast = pill("sendButton", tr("Send to Logic"), true, controls_);
    PillButton* grouped = pill("sendGroupedButton", tr("Send Group by Group"), false, controls_);
    PillButton* slow = pill("sendSlowButton", tr("Send One by One (slow)"), false, controls_);
    // Other programs than Logic Pro: a menu of its own.
    auto* openIn = new OpenInButton(model, controls_);
    auto* sends = buttonRow({fast, grouped, slow, openIn});
    controls->addLayout(sends);
    controls->setAlignment(sends, Qt::AlignHCenter);
    connect(fast, &QAbstractButton::clicked, this, [&send] { send.sendToLogic(SendMode::fast); });
    connect(grouped, &QAbstractButton::clicked, this,
            [&send] { send.sendToLogic(SendMode::grouped); });
    connect(slow, &QAbstractButton::clicked, this, [&send] { send.sendToLogic(SendMode::slow); });

    PillButton* reveal = pill("showInFinderButton", tr("Show in Finder"), false, controls_);
    putBack_ = pill("putBackButton", tr("Put the Files Back"), false, controls_);
    PillButton* again = pill("sortAnotherButton", tr("Sort Another Folder"), false, controls_);
    auto* folderActions = buttonRow({reveal, putBack_, again});
    controls->addLayout(folderActions);
    controls->setAlignment(folderActions, Qt::AlignHCenter);
    connect(reveal, &QAbstractButton::clicked, this, &DoneView::showInFileManager);
    connect(putBack_, &QAbstractButton::clicked, this, &DoneView::putBack);
    connect(again, &QAbstractButton::clicked, this, [&model] { model.reset(); });

    resultLine_ = new ThemeLabel(QString(), 14, QFont::Light, Brismo::muted, controls_);
    resultLine_->setObjectName(QStringLiteral("resultLine"));
    resultLine_->setAlignment(Qt::AlignHCenter);
    controls->addWidget(resultLine_, 0, Qt::AlignHCenter);

    // A failed or cancelled send: its message whole, selectable, scrolled when long.
    auto* scroll = new QScrollArea(controls_);
    scroll->setObjectName(QStringLiteral("sendFailure"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    useThinScrollBars(scroll);
    scroll->setFixedWidth(kFailureWidth + 16);
    scroll->setMaximumHeight(140);
    auto* failureBox = new QWidget(scroll);
    failureBox->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    auto* failureColumn = new QVBoxLayout(failureBox);
    failureColumn->setContentsMargins(0, 0, 0, 0);
    failureColumn->setSpacing(8);
    failureText_ = new ThemeLabel(QString(), 14, QFont::Normal, Brismo::ink, failureBox);
    failureText_->setObjectName(QStringLiteral("sendFailureText"));
    nextStep_ = new ThemeLabel(afterCancel(), 13, QFont::Normal, Brismo::ink, failureBox);
    nextStep_->setObjectName(QStringLiteral("afterCancel"));
    for (ThemeLabel* label : {failureText_, nextStep_}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->setFocusPolicy(Qt::StrongFocus);
        failureColumn->addWidget(label);
    }
    failureColumn->addStretch(1);
    scroll->setWidget(failureBox);
    failure_ = scroll;
    controls->addWidget(failure_, 0, Qt::AlignHCenter);
    column->addWidget(controls_, 0, Qt::AlignHCenter);
    column->addStretch(1);

    model.onResultChanged(this, [this] { refresh(); });
    send.onSendChanged(this, [this] { refresh(); });
    refresh();
}

void DoneView::refresh() {
    const SendHost::SendEnd end = send_.sendResult() ? send_.sendEnd() : SendHost::SendEnd::none;
    const bool failed = end == SendHost::SendEnd::failed || end == SendHost::SendEnd::cancelled;
    if (failed) {
        mark_->setSymbol(QStringLiteral("exclamationmark.triangle.fill"), Brismo::warn);
        title_->setText(end == SendHost::SendEnd::cancelled
                            ? tr("The send to Logic was cancelled")
                            : tr("The send to Logic didn’t finish"));
    } else {
        mark_->setSymbol(QStringLiteral("checkmark.circle.fill"), Brismo::leaf);
        title_->setText(model_.resultInPlace() ? tr("Folder organized")
                                               : tr("Sorted folder created"));
    }
    folderName_->setText(model_.resultURL() ? QFileInfo(*model_.resultURL()).fileName()
                                            : QString());
    note_->setWrappedText(model_.exportNote(), 420);
    note_->setVisible(!model_.exportNote().isEmpty());

    const bool sending = send_.sending();
    sendBlock_->setVisible(sending);
    controls_->setVisible(!sending);
    sendBar_->setFraction(send_.sendProgress());
    sendStatus_->setText(send_.sendStatus());

    const QStringList files = model_.dragURLs();
    tile_->setContent(files, tileTitle(files.size()));
    putBack_->setVisible(model_.resultInPlace());
    resultLine_->setVisible(!failed);
    failure_->setVisible(failed);
    if (failed) {
        failureText_->setText(*send_.sendResult());
        failureText_->setAccessibleName(*send_.sendResult());
        nextStep_->setVisible(end == SendHost::SendEnd::cancelled);
        nextStep_->setAccessibleName(afterCancel());
    } else if (send_.sendResult()) {
        resultLine_->setFont(systemFont(14, QFont::Light));
        resultLine_->setWrappedText(*send_.sendResult(), 420);
    } else {
        resultLine_->setFont(systemFont(13, QFont::Light));
        resultLine_->setWrappedText(hint(), 420);
    }
    fitToHeight();
}

void DoneView::keyPressEvent(QKeyEvent* event) {
    // Escape is Cancel while a send runs (with the window shown).
    if (event->key() == Qt::Key_Escape && send_.sending()) {
        send_.cancelSend();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DoneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitToHeight();
}

void DoneView::fitToHeight() {
    auto* column = static_cast<QVBoxLayout*>(layout());
    auto* controls = static_cast<QVBoxLayout*>(controls_->layout());
    auto* scroll = static_cast<QScrollArea*>(failure_);
    const int failureHeight =
        failure_->isVisibleTo(this)
            ? qMin(scroll->widget()->layout()->heightForWidth(kFailureWidth), 140)
            : 0;
    const auto fits = [this, column] {
        column->invalidate();
        return column->sizeHint().height() <= height();
    };
    // The roomiest arrangement that fits, from the designed one down.
    column->setSpacing(16);
    controls->setSpacing(16);
    mark_->setVisible(true);
    if (failureHeight > 0)
        scroll->setFixedHeight(failureHeight);
    if (fits())
        return;
    column->setSpacing(8);
    controls->setSpacing(10);
    if (fits())
        return;
    mark_->setVisible(false);
    if (fits() || failureHeight == 0)
        return;
    const int over = column->sizeHint().height() - height();
    scroll->setFixedHeight(qMax(48, failureHeight - over));
}

void DoneView::putBack() {
    if (!send_.sendResult()) {
        model_.undoOrganize();
        return;
    }
    // The Logic Pro project of the send refers to the files where they are now.
    if (putBackQuestion_)
        return;
    auto* question =
        new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Vantrel"),
                        tr("Put the files back where they were? The Logic project you sent them "
                           "to uses them where they are now and will no longer find them."),
                        QMessageBox::NoButton, this);
    question->setObjectName(QStringLiteral("putBackQuestion"));
    question->setWindowModality(Qt::WindowModal);
    QPushButton* confirm = question->addButton(tr("Put the Files Back"), QMessageBox::AcceptRole);
    confirm->setObjectName(QStringLiteral("putBackConfirm"));
    QPushButton* keep = question->addButton(tr("Cancel"), QMessageBox::RejectRole);
    question->setDefaultButton(keep);
    question->setEscapeButton(keep);
    putBackQuestion_ = question;
    connect(question, &QMessageBox::finished, this, [this, question, confirm] {
        const bool confirmed = question->clickedButton() == confirm;
        putBackQuestion_ = nullptr;
        question->deleteLater();
        if (confirmed)
            model_.undoOrganize();
    });
    question->open();
}

void DoneView::showInFileManager() {
    if (model_.resultURL())
        reveal_(*model_.resultURL());
}

} // namespace Vantrel::Ui
