#include "ui/DoneView.h"

#include "app/AppModel.h"
#include "ui/BusyView.h"
#include "ui/DragSourceView.h"
#include "ui/FileManager.h"
#include "ui/Widgets.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace Vantrel::Ui {

const QString DoneView::hint =
    QStringLiteral("Open Logic Pro with an empty project, then choose Send to Logic.");

namespace {

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

DoneView::DoneView(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model),
      reveal_([](const QString& path) { revealInFileManager(path); }) {
    setObjectName(QStringLiteral("doneView"));
    auto* column = new QVBoxLayout(this);
    column->setSpacing(16);
    column->addStretch(1);
    column->addWidget(
        new SymbolView(QStringLiteral("checkmark.circle.fill"), 64, Brismo::leaf, this), 0,
        Qt::AlignHCenter);
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
    sendBar_->setAccessibleName(QStringLiteral("Send progress"));
    block->addWidget(sendBar_, 0, Qt::AlignHCenter);
    sendStatus_ = new ThemeLabel(QString(), 14, QFont::Light, Brismo::muted, sendBlock_);
    sendStatus_->setObjectName(QStringLiteral("sendStatus"));
    sendStatus_->setAlignment(Qt::AlignHCenter);
    block->addWidget(sendStatus_, 0, Qt::AlignHCenter);
    PillButton* cancel = pill("sendCancelButton", QStringLiteral("Cancel"), false, sendBlock_);
    block->addWidget(cancel, 0, Qt::AlignHCenter);
    connect(cancel, &QAbstractButton::clicked, &model, &AppModel::cancelSend);
    column->addWidget(sendBlock_, 0, Qt::AlignHCenter);

    // Otherwise: the tile, the sends, the folder actions and the result or the hint, 16 apart.
    controls_ = new QWidget(this);
    controls_->setObjectName(QStringLiteral("doneControls"));
    auto* controls = new QVBoxLayout(controls_);
    controls->setContentsMargins(0, 0, 0, 0);
    controls->setSpacing(16);
    tile_ = new DragTile(controls_);
    auto* tileBox = new QVBoxLayout;
    tileBox->setContentsMargins(0, 4, 0, 0);
    tileBox->addWidget(tile_, 0, Qt::AlignHCenter);
    controls->addLayout(tileBox);

    PillButton* fast = pill("sendButton", QStringLiteral("Send to Logic"), true, controls_);
    PillButton* grouped =
        pill("sendGroupedButton", QStringLiteral("Send Group by Group"), false, controls_);
    PillButton* slow =
        pill("sendSlowButton", QStringLiteral("Send One by One (slow)"), false, controls_);
    auto* sends = buttonRow({fast, grouped, slow});
    controls->addLayout(sends);
    controls->setAlignment(sends, Qt::AlignHCenter);
    connect(fast, &QAbstractButton::clicked, &model,
            [&model] { model.sendToLogic(SendMode::fast); });
    connect(grouped, &QAbstractButton::clicked, &model,
            [&model] { model.sendToLogic(SendMode::grouped); });
    connect(slow, &QAbstractButton::clicked, &model,
            [&model] { model.sendToLogic(SendMode::slow); });

    PillButton* reveal =
        pill("showInFinderButton", QStringLiteral("Show in Finder"), false, controls_);
    putBack_ = pill("putBackButton", QStringLiteral("Put the Files Back"), false, controls_);
    PillButton* again =
        pill("sortAnotherButton", QStringLiteral("Sort Another Folder"), false, controls_);
    auto* folderActions = buttonRow({reveal, putBack_, again});
    controls->addLayout(folderActions);
    controls->setAlignment(folderActions, Qt::AlignHCenter);
    connect(reveal, &QAbstractButton::clicked, this, &DoneView::showInFileManager);
    connect(putBack_, &QAbstractButton::clicked, &model, &AppModel::undoOrganize);
    connect(again, &QAbstractButton::clicked, &model, &AppModel::reset);

    resultLine_ = new ThemeLabel(QString(), 14, QFont::Light, Brismo::muted, controls_);
    resultLine_->setObjectName(QStringLiteral("resultLine"));
    resultLine_->setAlignment(Qt::AlignHCenter);
    controls->addWidget(resultLine_, 0, Qt::AlignHCenter);
    column->addWidget(controls_, 0, Qt::AlignHCenter);
    column->addStretch(1);

    for (auto signal : {&AppModel::resultURLChanged, &AppModel::resultInPlaceChanged,
                        &AppModel::exportNoteChanged, &AppModel::sendingChanged,
                        &AppModel::sendStatusChanged, &AppModel::sendProgressChanged,
                        &AppModel::sendResultChanged, &AppModel::exportedItemsChanged})
        connect(&model, signal, this, &DoneView::refresh);
    refresh();
}

void DoneView::refresh() {
    title_->setText(model_.resultInPlace() ? QStringLiteral("Folder organized")
                                           : QStringLiteral("Sorted folder created"));
    folderName_->setText(model_.resultURL() ? QFileInfo(*model_.resultURL()).fileName()
                                            : QString());
    note_->setWrappedText(model_.exportNote(), 420);
    note_->setVisible(!model_.exportNote().isEmpty());

    const bool sending = model_.sending();
    sendBlock_->setVisible(sending);
    controls_->setVisible(!sending);
    sendBar_->setFraction(model_.sendProgress());
    sendStatus_->setText(model_.sendStatus());

    const QStringList files = model_.dragURLs();
    tile_->setContent(files, tileTitle(files.size()));
    putBack_->setVisible(model_.resultInPlace());
    if (model_.sendResult()) {
        resultLine_->setFont(systemFont(14, QFont::Light));
        resultLine_->setWrappedText(*model_.sendResult(), 420);
    } else {
        resultLine_->setFont(systemFont(13, QFont::Light));
        resultLine_->setWrappedText(hint, 420);
    }
}

void DoneView::showInFileManager() {
    if (model_.resultURL())
        reveal_(*model_.resultURL());
}

} // namespace Vantrel::Ui
