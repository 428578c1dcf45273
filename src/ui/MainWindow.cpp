#include "ui/MainWindow.h"

#include "app/AppModel.h"
#include "ui/ContentView.h"
#include "ui/SendPanel.h"
#include "ui/Sheets.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

namespace Vantrel::Ui {

MainWindow::MainWindow(AppModel& model, QWidget* parent)
    : QMainWindow(parent), model_(model), content_(new ContentView(model, this)) {
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Vantrel"));
    setCentralWidget(content_);
    content_->setMinimumSize(760, 540);
    resize(900, 640);

    QMenu* file = menuBar()->addMenu(tr("File"));
    QAction* quit = file->addAction(tr("Quit Vantrel"));
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QApplication::quit, Qt::QueuedConnection);

    QMenu* edit = menuBar()->addMenu(tr("Edit"));
    QAction* undo = edit->addAction(tr("Undo"));
    undo->setObjectName(QStringLiteral("undoAction"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undo, &QAction::triggered, &model.review(), &ReviewSession::undo);
    QAction* redo = edit->addAction(tr("Redo"));
    redo->setObjectName(QStringLiteral("redoAction"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(redo, &QAction::triggered, &model.review(), &ReviewSession::redo);
    const auto history = [&model, undo, redo] {
        undo->setEnabled(model.review().canUndo());
        redo->setEnabled(model.review().canRedo());
    };
    connect(&model.review(), &ReviewSession::historyChanged, this, history);
    history();

    QMenu* logic = menuBar()->addMenu(tr("Logic"));
    QAction* check = logic->addAction(tr("Check Logic Connection…"));
    check->setObjectName(QStringLiteral("checkConnectionAction"));
    connect(check, &QAction::triggered, &model.send(), &SendModel::checkLogicConnection);
    QMenu* help = menuBar()->addMenu(tr("Help"));
    QAction* walkthrough = help->addAction(tr("Vantrel Walkthrough"));
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

void MainWindow::openHandedOver(const QStringList& paths) {
    bringToFront();
    if (paths.isEmpty())
        return;
    const QString path = paths.first();
    if (!model_.review().reviewChanged() || !model_.review().folder() ||
        model_.approval().resultURL()) {
        model_.review().load(path);
        return;
    }
    if (handOverQuestion_)
        handOverQuestion_->deleteLater();
    auto* question = new QMessageBox(
        QMessageBox::NoIcon, QStringLiteral("Vantrel"),
        tr("Open “%1”? The group changes you made to “%2” will be lost.")
            .arg(QFileInfo(path).fileName(), QFileInfo(*model_.review().folder()).fileName()),
        QMessageBox::NoButton, this);
    question->setObjectName(QStringLiteral("handOverQuestion"));
    question->setWindowModality(Qt::WindowModal);
    QPushButton* open = question->addButton(tr("Open"), QMessageBox::AcceptRole);
    open->setObjectName(QStringLiteral("handOverOpen"));
    QPushButton* keep = question->addButton(tr("Keep Reviewing"), QMessageBox::RejectRole);
    keep->setObjectName(QStringLiteral("handOverKeep"));
    question->setDefaultButton(keep);
    question->setEscapeButton(keep);
    handOverQuestion_ = question;
    connect(question, &QMessageBox::finished, this, [this, question, open, path] {
        const bool opening = question->clickedButton() == open;
        if (handOverQuestion_ == question)
            handOverQuestion_ = nullptr;
        question->deleteLater();
        if (opening)
            model_.review().load(path);
    });
    question->open();
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
    sendPanel_ = new SendPanelWindow(model_.send().sendProgressState(), topLeft,
                                     QSize(static_cast<int>(SendModel::sendPanelSize.width),
                                           static_cast<int>(SendModel::sendPanelSize.height)));
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
