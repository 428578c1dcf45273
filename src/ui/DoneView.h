#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QMessageBox;

namespace Vantrel {
class ResultHost;
class SendHost;
} // namespace Vantrel

namespace Vantrel::Ui {

class DragTile;
class PillButton;
class SymbolView;
class ThemeLabel;
class ThemeProgressBar;

// The screen shown while an approval's result is set: the check mark, what was done, the result
// folder's name and the export's note; while a send runs, its progress, status and "Cancel";
// otherwise the drag tile with the approved files, the three ways of sending them to Logic Pro,
// the folder actions ("Show in Finder", "Put the Files Back" after organizing in place, "Sort
// Another Folder") and the last send's result, or a hint before the first. A send that failed or
// was cancelled turns the screen into its error state: a warning mark, a title that says so, and
// the whole message in a scrollable block, after a cancel with what to do next in Logic Pro.
class DoneView : public QWidget {
    Q_OBJECT

public:
    // What "Show in Finder" does with the result folder; by default it asks the desktop's file
    // manager (revealInFileManager). Tests replace it.
    using Reveal = std::function<void(const QString& path)>;

    static QString hint();
    // What to do in Logic Pro after a cancelled send.
    static QString afterCancel();

    DoneView(ResultHost& model, SendHost& send, QWidget* parent = nullptr);
    void setReveal(Reveal reveal) { reveal_ = std::move(reveal); }
    // The question "Put the Files Back" asks after a send; null when none is open.
    QMessageBox* putBackQuestion() const { return putBackQuestion_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();
    // Makes the screen fit its height: the full layout when there is room; in a short window
    // tighter spacing, then without the mark, then a shorter failure block (it scrolls).
    void fitToHeight();
    void showInFileManager();
    // Puts the files back; after a send, once the user confirmed it.
    void putBack();

    ResultHost& model_;
    SendHost& send_;
    Reveal reveal_;
    SymbolView* mark_;
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
    QWidget* failure_;
    ThemeLabel* failureText_;
    ThemeLabel* nextStep_;
    QMessageBox* putBackQuestion_ = nullptr;
};

} // namespace Vantrel::Ui
