#pragma once

#include <QWidget>

namespace Vantrel {
class FolderChooser;
}

namespace Vantrel::Ui {

class SymbolView;

// The screen shown while no folder is under review: an invitation to drop a session folder, and
// "Choose Folder…". Dropping itself is handled by the whole window, which tells the zone while a
// folder is dragged over it: the zone then shows it will take it (a solid ink edge, a deeper fill,
// the symbol in ink).
class DropZone : public QWidget {
    Q_OBJECT

public:
    explicit DropZone(FolderChooser& chooser, QWidget* parent = nullptr);

    bool targeted() const { return targeted_; }
    void setTargeted(bool targeted);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolView* symbol_;
    bool targeted_ = false;
};

} // namespace Vantrel::Ui
