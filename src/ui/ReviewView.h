#pragma once

#include "core/AudioFacts.h"
#include "core/Config.h"
#include "core/Item.h"
#include "core/Suggest.h"

#include <QAbstractButton>
#include <QAbstractListModel>
#include <QDialog>
#include <QListView>
#include <QStyledItemDelegate>
#include <QWidget>

class QLabel;

namespace Vantrel {
class ApprovalHost;
class ReviewHost;
} // namespace Vantrel

namespace Vantrel::Ui {

class PillButton;
class SymbolView;
class ThemeLabel;

// The review list as a list model: one row per displayed item, in display order.
class ReviewModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        FileNameRole = Qt::DisplayRole,
        NewNameRole = Qt::UserRole + 1,
        GroupRole,               // the item's group name; empty when unsorted
        ColorIndexRole,          // the group colour's index, or -1 for the muted colour
        IdRole,                  // the item's id
        SuggestedGroupRole,      // the suggested group of an unsorted row; empty when none
        SuggestedColorIndexRole, // the suggested group's colour index, or -1
        SuggestionReasonRole,    // why that group is suggested; empty when none
        FindingsRole,            // the sentences of the audio findings about the row's file
        DotColorRole,            // the group's colour as drawn: its chosen Logic colour, else
                                 // its position's; invalid for the muted colour
        SuggestedDotColorRole,   // the same for the suggested group; invalid when none
    };

    explicit ReviewModel(ReviewHost& model, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The rule group names, in rule order, for the row's group menu.
    QStringList groupNames() const;
    // The row of the track with this id; -1 when it is not listed.
    int rowOf(const QUuid& id) const;
    // The row colour's index in the group colours: the position of the first rule group of
    // that name modulo their number; -1 (muted) without a group or for a name not among them.
    static int colorIndex(const std::optional<QString>& group, const QList<RuleGroup>& groups);
    // A group's colour as the review draws it now: the Logic Pro colour the user chose for it,
    // else the theme colour of its position; invalid for no group or one not among the rules.
    static QColor dotColor(const std::optional<QString>& group, const QList<RuleGroup>& groups);

private:
    void refresh();

    ReviewHost& model_;
    QList<Item> rows_;
    // The suggestion of each row, in row order.
    QList<std::optional<Suggestion>> suggestions_;
    // The findings' sentences of each row, in row order.
    QList<QStringList> findings_;
    QList<RuleGroup> groups_;
};

// Paints one row: colour dot, current name, arrow, new name and the group pop-up.
class RowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Over a row's suggestion the tooltip gives its reason, over its badge its findings.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

    // Where the parts of a row lie for a row rectangle.
    struct Geometry {
        QRectF dot, name, arrow, newName, badge, suggestion, popup;
    };
    static Geometry geometry(const QRect& row);
    static int rowHeight();
};

// The list of rows; a click on a row's pop-up (or Space on the current row) opens its menu, a
// click on its suggestion accepts it.
class ReviewList : public QListView {
    Q_OBJECT

public:
    ReviewList(ReviewHost& model, QWidget* parent = nullptr);
    // Opens the group menu of the row at index, below its pop-up.
    void openGroupMenu(const QModelIndex& index);
    // Keeps the current row across the model's resets (a group change re-sorts the list): the
    // same track stays current and is scrolled into view.
    void setModel(QAbstractItemModel* model) override;

signals:
    // The group menu of a row is open (for tests and the screenshots).
    void groupMenuShown(QMenu* menu);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Coming in by keyboard without a current row makes the first row current.
    void focusInEvent(QFocusEvent* event) override;

private:
    ReviewHost& model_;
    QUuid kept_; // the current track while the model resets
};

// One segment of a segmented picker: a selectable button, exclusive within its picker.
class Segment : public QAbstractButton {
    Q_OBJECT

public:
    Segment(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Two segments side by side, 330 wide, bound to the model's approval mode.
class ModePicker : public QWidget {
    Q_OBJECT

public:
    explicit ModePicker(ApprovalHost& model, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The audio findings of the review as a sheet: each finding's sentence and its files, "Done"
// (Return or Escape) closes it.
class FindingsSheet : public QDialog {
    Q_OBJECT

public:
    FindingsSheet(const QList<AudioFinding>& findings, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The review screen: the folder's name and counts, the files the scan left alone and why, what
// the last put-back left in place, for a folder organized by Vantrel a line saying so with "Put
// the Files Back", the audio checks' line (progress, then the findings, a click on which opens
// their sheet), the list of rows in a card, the mode picker, the explanation, "Cancel" (Escape)
// and the approve button (Return; disabled without tracks).
class ReviewView : public QWidget {
    Q_OBJECT

public:
    ReviewView(ReviewHost& model, ApprovalHost& approval, QWidget* parent = nullptr);
    ReviewList* list() const { return list_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();
    void refreshAudio();
    void showFindings();

    ReviewHost& model_;
    ApprovalHost& approval_;
    ThemeLabel* folderName_;
    ThemeLabel* tracks_;
    SymbolView* statusSymbol_;
    ThemeLabel* status_;
    ThemeLabel* skipped_;
    ThemeLabel* leftAlone_;
    ThemeLabel* putBackNote_;
    QWidget* organizedBar_;
    PillButton* acceptAll_;
    SymbolView* findingsSymbol_;
    PillButton* findings_;
    ThemeLabel* audioStatus_;
    QWidget* learnBar_;
    ThemeLabel* learnQuestion_;
    ReviewList* list_;
    ThemeLabel* explanation_;
    // Chooses the folder the sorted copy goes into; shown while the sorted copy is chosen.
    PillButton* copyDestination_;
    PillButton* approve_;
};

} // namespace Vantrel::Ui
