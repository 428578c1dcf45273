#pragma once

#include <QWidget>

class QMessageBox;
class QStackedWidget;

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

class BusyView;
class DoneView;
class DropZone;
class ReviewView;

// The window's content: the header bar (word mark, "Rules…", hairline), the screen the model
// asks for (done, drop zone or review), the busy screen over all of it, the frame of a drag over
// the window, and the alert of the model's message. Accepts drops of file URLs anywhere.
class ContentView : public QWidget {
    Q_OBJECT

public:
    explicit ContentView(AppModel& model, QWidget* parent = nullptr);

    // The screen the model's fields select now.
    QWidget* currentScreen() const;
    DropZone* dropZone() const { return dropZone_; }
    ReviewView* reviewView() const { return review_; }
    DoneView* doneView() const { return done_; }
    BusyView* busyView() const { return busy_; }
    // A drag carrying file URLs is over the window.
    bool targeted() const { return targeted_; }
    // The alert on screen, or null.
    QMessageBox* alert() const { return alert_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void route();
    void showBusy();
    void showAlert();
    void setTargeted(bool targeted);

    AppModel& model_;
    QStackedWidget* stack_;
    DropZone* dropZone_;
    ReviewView* review_;
    DoneView* done_;
    BusyView* busy_;
    QWidget* frame_;
    QMessageBox* alert_ = nullptr;
    bool targeted_ = false;
};

} // namespace Vantrel::Ui
