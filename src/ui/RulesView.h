#pragma once

#include "core/Config.h"

#include <QDialog>
#include <QList>
#include <QPlainTextEdit>
#include <QPointer>
#include <QUuid>

#include <functional>

class QCheckBox;
class QLineEdit;
class QMimeData;
class QToolButton;
class QVBoxLayout;

class QScrollArea;

namespace Vantrel {
class RulesStore;
}

namespace Vantrel::Ui {

class ColorPick;
class GroupList;
class GroupRow;
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

    explicit RulesView(RulesStore& rules, QWidget* parent = nullptr);

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
    // Moves the group of the row at offset by one place up (-1) or down (+1), keeping the
    // keyboard in the same field of its row.
    void moveGroup(int offset, int step);
    RuleGroup* groupWithId(const QUuid& id);

    RulesStore& rules_;
    Config draft_;
    bool loaded_ = false;
    GroupList* list_;
    QScrollArea* scroll_;
    // The row added or moved last, kept in view while the list settles; none once the user
    // scrolls or the rows are made anew.
    QPointer<GroupRow> follow_;
    QCheckBox* numberTracks_;
    QCheckBox* groupInName_;
};

// The words of a group: plain text that wraps at spaces onto as many lines as it needs (up to
// four, then it scrolls), so no word is cut off. Return and Enter are left to the sheet (Save),
// Tab moves on, and pasted line breaks become spaces.
class WordsField : public QPlainTextEdit {
    Q_OBJECT

public:
    static constexpr int maxLines = 4;

    explicit WordsField(const QString& text, QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    // Replaces the text without emitting textEdited.
    void setText(const QString& text);
    // The lines the text takes at the field's width now.
    int lineCount() const;
    // The height of one line of the field: a line edit's beside it, so that both line up.
    void setOneLineHeight(int height);

signals:
    // The user changed the text.
    void textEdited(const QString& text);
    // The field lost the keyboard.
    void editingFinished();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void fitHeight();
    bool setting_ = false;
    int oneLineHeight_ = 0;
};

// One row of the group list: a grip, colour picker, name, words, trash button. A press on the
// grip or anywhere on the row outside its fields starts a drag that moves the row; Alt+Up and
// Alt+Down move it by keyboard from any of its fields.
class GroupRow : public QWidget {
    Q_OBJECT

public:
    GroupRow(const RuleGroup& group, QWidget* parent = nullptr);

    const QUuid& groupId() const { return id_; }
    ColorPick* colorPick() const { return pick_; }
    QLineEdit* nameField() const { return name_; }
    WordsField* wordsField() const { return words_; }
    QToolButton* trashButton() const { return trash_; }
    QWidget* grip() const { return grip_; }
    void applyColors();

signals:
    void nameEdited(const QString& name);
    void wordsEdited(const QStringList& words);
    void colorPicked(const QList<int>& color);
    void removeRequested();
    // Alt+Up (-1) or Alt+Down (+1) in the row.
    void moveRequested(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QUuid id_;
    ColorPick* pick_;
    QWidget* grip_;
    QLineEdit* name_;
    WordsField* words_;
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
    // Where the line that shows where a dragged row would land is drawn (a list offset), or -1
    // while no row is dragged over the list.
    int dropIndicator() const { return insertion_; }

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
