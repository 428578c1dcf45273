#pragma once

#include "app/Presenter.h"

#include <QMainWindow>
#include <QStringList>

class QMessageBox;

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

class ContentView;
class SendPanelWindow;

// The one window: title "Vantrel", content at least 760 × 540, the menus "File" (Quit), "Edit"
// (Undo and Redo of the review's group changes), "Logic" and "Help", and what the model asks of
// the screens (the folder dialog, hiding and restoring the window around a send).
class MainWindow : public QMainWindow, public Presenter {
    Q_OBJECT

public:
    explicit MainWindow(AppModel& model, QWidget* parent = nullptr);
    ~MainWindow() override;

    ContentView* content() const { return content_; }
    // Shows the window in front and gives it the keyboard (a second launch's open request).
    void bringToFront();
    // A folder handed over by the system (a second launch): comes to the front and reads the
    // first folder. While the review holds changes made by hand it asks first, in a sheet whose
    // "Keep Reviewing" leaves everything as it was.
    void openHandedOver(const QStringList& paths);
    // The open question about a handed-over folder; null when none is asked.
    QMessageBox* handOverQuestion() const { return handOverQuestion_; }

    std::optional<QString> chooseFolder(const QString& buttonText, const QString& message) override;
    void hideMainWindow() override;
    void showSendPanel(Point topLeft) override;
    void closeSendPanel() override;
    void restoreMainWindow() override;
    void activateApplication() override;

private:
    AppModel& model_;
    ContentView* content_;
    SendPanelWindow* sendPanel_ = nullptr; // while a send runs
    QMessageBox* handOverQuestion_ = nullptr;
};

} // namespace Vantrel::Ui
