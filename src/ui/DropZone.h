#pragma once

#include <QWidget>

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

// The screen shown while no folder is under review: an invitation to drop a session folder, and
// "Choose Folder…". Dropping itself is handled by the whole window.
class DropZone : public QWidget {
    Q_OBJECT

public:
    explicit DropZone(AppModel& model, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace Vantrel::Ui
