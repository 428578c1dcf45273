#pragma once

#include "app/Presenter.h"

#include <QMainWindow>

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

class ContentView;
class SendPanelWindow;

// The one window: title "Vantrel", content at least 760 × 540, the menus "Logic" and "Help",
// and what the model asks of the screens (the folder dialog, hiding and restoring the window
// around a send).
class MainWindow : public QMainWindow, public Presenter {
    Q_OBJECT

public:
    explicit MainWindow(AppModel& model, QWidget* parent = nullptr);
    ~MainWindow() override;

    ContentView* content() const { return content_; }
    // Shows the window in front and gives it the keyboard (a second launch's open request).
    void bringToFront();

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
};

} // namespace Vantrel::Ui
