#include "ui/OpenInButton.h"

#include "app/ScreenModels.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace Vantrel::Ui {

OpenInButton::OpenInButton(ResultHost& model, QWidget* parent)
    : PillButton(tr("Open In"), false, parent), model_(model), menu_(new QMenu(this)) {
    setObjectName(QStringLiteral("openInButton"));
    setAccessibleDescription(tr("Opens a menu of other programs to open the sorted tracks in"));
    menu_->setObjectName(QStringLiteral("openInMenu"));
    choose_ = [this](const QString& suggested) -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(
            window(), tr("Save as DAWproject"), suggested, tr("DAWproject files (*.dawproject)"),
            nullptr, QFileDialog::DontConfirmOverwrite);
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    };
    connect(this, &QAbstractButton::clicked, this, [this] {
        fillMenu();
        menu_->popup(mapToGlobal(QPoint(0, height() + 4)));
        // The first entry is highlighted at once, so that the keyboard and a screen reader
        // (which hears of the popup through the entry taking the focus) are in the menu.
        menu_->setActiveAction(menu_->actions().value(0));
    });
}

void OpenInButton::fillMenu() {
    menu_->clear();
    if (model_.ardourInstalled()) {
        QAction* ardour = menu_->addAction(tr("Ardour"));
        ardour->setObjectName(QStringLiteral("openInArdour"));
        connect(ardour, &QAction::triggered, this,
                [this] { model_.exportSession(Sessions::SessionTarget::ardour, std::nullopt); });
    }
    QAction* dawproject = menu_->addAction(tr("Save as DAWproject…"));
    dawproject->setObjectName(QStringLiteral("saveAsDawProject"));
    connect(dawproject, &QAction::triggered, this, &OpenInButton::saveAsDawProject);
}

void OpenInButton::saveAsDawProject() {
    if (!model_.resultURL())
        return;
    const QFileInfo result(*model_.resultURL());
    const std::optional<QString> path = choose_(result.absolutePath() + QLatin1Char('/') +
                                                result.fileName() + QStringLiteral(".dawproject"));
    if (path)
        model_.exportSession(Sessions::SessionTarget::dawproject, *path);
}

} // namespace Vantrel::Ui
