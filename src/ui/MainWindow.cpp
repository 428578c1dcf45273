#include "ui/MainWindow.h"

#include "app/AppModel.h"
#include "ui/ContentView.h"
#include "ui/SendPanel.h"
#include "ui/Sheets.h"

#include <QFileDialog>
#include <QMenuBar>

namespace Vantrel::Ui {

MainWindow::MainWindow(AppModel& model, QWidget* parent)
    : QMainWindow(parent), model_(model), content_(new ContentView(model, this)) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Vantrel"));
    setCentralWidget(content_);
    content_->setMinimumSize(760, 540);
    resize(900, 640);

    QMenu* logic = menuBar()->addMenu(QStringLiteral("Logic"));
    QAction* check = logic->addAction(QStringLiteral("Check Logic Connection…"));
    check->setObjectName(QStringLiteral("checkConnectionAction"));
    connect(check, &QAction::triggered, &model, &AppModel::checkLogicConnection);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    QAction* walkthrough = help->addAction(QStringLiteral("Vantrel Walkthrough"));
    walkthrough->setObjectName(QStringLiteral("walkthroughAction"));
    connect(walkthrough, &QAction::triggered, &model, [&model] { model.setShowWalkthrough(true); });

    model.setPresenter(this);
    new Sheets(model, this);
}

MainWindow::~MainWindow() {
    model_.setPresenter(nullptr);
    delete sendPanel_;
}

void MainWindow::bringToFront() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

std::optional<QString> MainWindow::chooseFolder(const QString& buttonText, const QString& message) {
    QFileDialog dialog(this, message);
    dialog.setObjectName(QStringLiteral("chooseFolderDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, buttonText);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

void MainWindow::hideMainWindow() {
    hide();
}

void MainWindow::restoreMainWindow() {
    bringToFront();
}

void MainWindow::activateApplication() {
    activateWindow();
}

void MainWindow::showSendPanel(Point topLeft) {
    closeSendPanel();
    sendPanel_ = new SendPanelWindow(model_, topLeft);
    sendPanel_->show();
}

void MainWindow::closeSendPanel() {
    if (!sendPanel_)
        return;
    sendPanel_->hide();
    sendPanel_->deleteLater();
    sendPanel_ = nullptr;
}

} // namespace Vantrel::Ui
