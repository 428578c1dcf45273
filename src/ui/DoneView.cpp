#include "ui/DoneView.h"

#include "app/AppModel.h"
#include "ui/Widgets.h"

#include <QFileInfo>
#include <QVBoxLayout>

namespace Vantrel::Ui {

DoneView::DoneView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
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
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignHCenter);
    note_->setMaximumWidth(420);
    column->addWidget(note_, 0, Qt::AlignHCenter);
    auto* again = new PillButton(QStringLiteral("Sort Another Folder"), false, this);
    again->setObjectName(QStringLiteral("sortAnotherButton"));
    connect(again, &QAbstractButton::clicked, &model, &AppModel::reset);
    column->addWidget(again, 0, Qt::AlignHCenter);
    column->addStretch(1);

    for (auto signal : {&AppModel::resultURLChanged, &AppModel::resultInPlaceChanged,
                        &AppModel::exportNoteChanged})
        connect(&model, signal, this, &DoneView::refresh);
    refresh();
}

void DoneView::refresh() {
    title_->setText(model_.resultInPlace() ? QStringLiteral("Folder organized")
                                           : QStringLiteral("Sorted folder created"));
    folderName_->setText(model_.resultURL() ? QFileInfo(*model_.resultURL()).fileName()
                                            : QString());
    note_->setText(model_.exportNote());
    note_->setVisible(!model_.exportNote().isEmpty());
}

} // namespace Vantrel::Ui
