#pragma once

#include <QWidget>

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

class ThemeLabel;

// The screen shown while an approval's result is set: the check mark, what was done, the result
// folder's name, the export's note and "Sort Another Folder". The drag tile, the sends and the
// folder actions are not part of it yet.
class DoneView : public QWidget {
    Q_OBJECT

public:
    explicit DoneView(AppModel& model, QWidget* parent = nullptr);

private:
    void refresh();

    AppModel& model_;
    ThemeLabel* title_;
    ThemeLabel* folderName_;
    ThemeLabel* note_;
};

} // namespace Vantrel::Ui
