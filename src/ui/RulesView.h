#pragma once

#include "core/Config.h"

#include <QDialog>
#include <QList>
#include <QUuid>

#include <functional>

class QCheckBox;
class QLineEdit;
class QMimeData;
class QToolButton;
class QVBoxLayout;

class QScrollArea;

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

class ColorPick;
class GroupList;
class PillButton;

// The rules editor: a sheet of 640 × 500 over the main window in which the user edits a working
// copy (the draft) of the rules: the groups with their colours, names and words, their order, and
// the two naming options. The draft is taken from the model when the sheet is first shown; Save
// hands it, names normalised, to the model, Cancel (Escape) drops it. When the model cannot save,
// the sheet stays open with the draft, and the model's alert tells why.
class RulesView : public QDialog {
    Q_OBJECT

public:
    static constexpr int sheetWidth = 640;
    static constexpr int sheetHeight = 500;

    explicit RulesView(AppModel& model, QWidget* parent = nullptr);

    const Config& draft() const { return draft_; }
    GroupList* groupList() const { return list_; }

    // The buttons of the sheet.
    void addGroup();
    void resetToDefaults();
    void save();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Shows the draft: its rows and options.
    void showDraft();
    void applyColors();
    RuleGroup* groupWithId(const QUuid& id);

    AppModel& model_;
    Config draft_;
    bool loaded_ = false;
    GroupList* list_;
    QScrollArea* scroll_;
    // A group was added: the list scrolls to its end when its height has grown.
    bool scrollToEnd_ = false;
    QCheckBox* numberTracks_;
    QCheckBox* groupInName_;
};

// One row of the group list: colour picker, name, words, trash button. A press on the row
// outside its fields starts a drag that moves the row.
class GroupRow : public QWidget {
    Q_OBJECT

public:
    GroupRow(const RuleGroup& group, QWidget* parent = nullptr);

    const QUuid& groupId() const { return id_; }
    ColorPick* colorPick() const { return pick_; }
    QLineEdit* nameField() const { return name_; }
    QLineEdit* wordsField() const { return words_; }
    QToolButton* trashButton() const { return trash_; }
    void applyColors();

signals:
    void nameEdited(const QString& name);
    void wordsEdited(const QStringList& words);
    void colorPicked(const QList<int>& color);
    void removeRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QUuid id_;
    ColorPick* pick_;
    QLineEdit* name_;
    QLineEdit* words_;
    QToolButton* trash_;
    QPoint pressAt_;
    bool pressed_ = false;
};

// The rows of the group list, in draft order; accepts rows dragged onto it and reports where they
// were dropped.
class GroupList : public QWidget {
    Q_OBJECT

public:
    // The type of a dragged row's data: its offset in the list, as decimal text.
    static QString mimeType();

    explicit GroupList(QWidget* parent = nullptr);

    // Replaces the rows by one per group, in order.
    void setGroups(const QList<RuleGroup>& groups);
    QList<GroupRow*> rows() const { return rows_; }
    // The list offset a row dropped at y (in this widget's coordinates) moves to: the number of
    // rows whose middle lies above y.
    int destinationAt(int y) const;
    // Takes a dragged row dropped at a point of this widget; false for data that is not a row of
    // this list.
    bool drop(const QMimeData* data, QPoint at);

signals:
    void rowDropped(int from, int destination);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* column_;
    QList<GroupRow*> rows_;
    int insertion_ = -1; // where a dragged row would go, while one is over the list
};

} // namespace Vantrel::Ui
