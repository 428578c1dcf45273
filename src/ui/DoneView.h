#pragma once

#include <QString>
#include <QWidget>

#include <functional>

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

class DragTile;
class PillButton;
class ThemeLabel;
class ThemeProgressBar;

// The screen shown while an approval's result is set: the check mark, what was done, the result
// folder's name and the export's note; while a send runs, its progress, status and "Cancel";
// otherwise the drag tile with the approved files, the three ways of sending them to Logic Pro,
// the folder actions ("Show in Finder", "Put the Files Back" after organizing in place, "Sort
// Another Folder") and the last send's result, or a hint before the first.
class DoneView : public QWidget {
    Q_OBJECT

public:
    // What "Show in Finder" does with the result folder; by default it asks the desktop's file
    // manager (revealInFileManager). Tests replace it.
    using Reveal = std::function<void(const QString& path)>;

    static const QString hint;

    explicit DoneView(AppModel& model, QWidget* parent = nullptr);
    void setReveal(Reveal reveal) { reveal_ = std::move(reveal); }

private:
    void refresh();
    void showInFileManager();

    AppModel& model_;
    Reveal reveal_;
    ThemeLabel* title_;
    ThemeLabel* folderName_;
    ThemeLabel* note_;
    QWidget* sendBlock_;
    ThemeProgressBar* sendBar_;
    ThemeLabel* sendStatus_;
    QWidget* controls_;
    DragTile* tile_;
    PillButton* putBack_;
    ThemeLabel* resultLine_;
};

} // namespace Vantrel::Ui
