#include "ui/RulesView.h"

#include "app/ScreenModels.h"
#include "ui/ColorPick.h"
#include "ui/Icons.h"
#include "ui/RuleEdits.h"
#include "ui/Theme.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace Vantrel::Ui {

namespace {

constexpr int kPadding = 22;
constexpr int kSpacing = 10;
constexpr int kListMinimumHeight = 260;
constexpr int kNameWidth = 110;
constexpr int kTrashSize = 16;

// The red of a destructive control, light and dark.
constexpr DynamicColor kDestructive{0xFF3B30, 0xFF453A};

void colorText(QWidget* widget, DynamicColor color) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color.color());
    p.setColor(QPalette::ButtonText, color.color());
    widget->setPalette(p);
}

// The grip at the start of a row: six dots that say the row can be dragged. It takes no mouse
// event itself, so a press on it reaches the row, which starts the drag.
class Grip : public QWidget {
public:
    explicit Grip(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("groupGrip"));
        setFixedSize(14, 24);
        setCursor(Qt::OpenHandCursor);
        setToolTip(QCoreApplication::translate(
            "Vantrel::Ui::GroupRow", "Drag to move this group, or press Alt+Up or Alt+Down"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Brismo::muted.color());
        constexpr qreal kDot = 2.4;
        const qreal left = (width() - kDot * 3) / 2;
        const qreal top = (height() - kDot * 5) / 2;
        for (int column = 0; column < 2; ++column)
            for (int line = 0; line < 3; ++line)
                p.drawEllipse(QRectF(left + column * kDot * 2, top + line * kDot * 2, kDot, kDot));
    }
};

} // namespace

// ---- RulesView ----

RulesView::RulesView(RulesStore& rules, QWidget* parent)
    : QDialog(parent), rules_(rules), draft_(Config::defaults()) {
    setObjectName(QStringLiteral("rulesView"));
    setWindowTitle(tr("Rules"));
    setWindowModality(Qt::WindowModal);
    setFixedSize(sheetWidth, sheetHeight);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    column->setSpacing(kSpacing);

    auto* title = new ThemeLabel(tr("Rules"), 26, QFont::Light, Brismo::ink, this);
    title->setObjectName(QStringLiteral("rulesTitle"));
    column->addWidget(title);

    auto* explanation =
        new ThemeLabel(tr("Each group lists the words that put a track in it (for example EG, "
                          "ELECTRIC). Order here is the order of the folders. Drag to reorder."),
                       14, QFont::Light, Brismo::muted, this);
    explanation->setObjectName(QStringLiteral("rulesExplanation"));
    explanation->setWordWrap(true);
    column->addWidget(explanation);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("groupScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setMinimumHeight(kListMinimumHeight);
    scroll->viewport()->setAutoFillBackground(false);
    useThinScrollBars(scroll);
    list_ = new GroupList(scroll);
    scroll->setWidget(list_);
    column->addWidget(scroll, 1);
    scroll_ = scroll;
    // A row just added or moved stays in view while the rows settle to their heights (a words
    // field takes its height once it has its width); the user's own scrolling ends that.
    connect(scroll->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] {
        if (follow_)
            scroll_->ensureWidgetVisible(follow_, 0, 8);
    });
    connect(scroll->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { follow_ = nullptr; });
    connect(list_, &GroupList::rowDropped, this, [this](int from, int destination) {
        RuleEdits::move(draft_.groups, {from}, destination);
        showDraft();
    });

    numberTracks_ = new QCheckBox(
        tr("Number tracks in session order (01_KICK_IN) so Logic keeps that order"), this);
    numberTracks_->setObjectName(QStringLiteral("numberTracksBox"));
    numberTracks_->setFont(systemFont(13));
    connect(numberTracks_, &QCheckBox::toggled, this,
            [this](bool on) { draft_.numberTracks = on; });
    column->addWidget(numberTracks_);

    groupInName_ =
        new QCheckBox(tr("Put the group name in front of each track (DRUMS_01_KICK_IN)"), this);
    groupInName_->setObjectName(QStringLiteral("groupInNameBox"));
    groupInName_->setFont(systemFont(13, QFont::Light));
    connect(groupInName_, &QCheckBox::toggled, this, [this](bool on) { draft_.groupInName = on; });
    column->addWidget(groupInName_);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(8);
    auto* add = new PillButton(tr("Add Group"), false, this);
    add->setObjectName(QStringLiteral("addGroupButton"));
    connect(add, &QAbstractButton::clicked, this, &RulesView::addGroup);
    auto* reset = new PillButton(tr("Reset to Defaults"), false, this);
    reset->setObjectName(QStringLiteral("resetButton"));
    connect(reset, &QAbstractButton::clicked, this, &RulesView::resetToDefaults);
    auto* cancel = new PillButton(tr("Cancel"), false, this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    auto* save = new PillButton(tr("Save"), true, this);
    save->setObjectName(QStringLiteral("saveButton"));
    connect(save, &QAbstractButton::clicked, this, &RulesView::save);
    buttons->addWidget(add);
    buttons->addWidget(reset);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(save);
    column->addLayout(buttons);

    applyColors();
    showDraft();
}

void RulesView::showEvent(QShowEvent* event) {
    // The draft is taken from the model once per sheet: later showings keep the edits.
    if (!loaded_) {
        draft_ = rules_.config();
        loaded_ = true;
        showDraft();
    }
    QDialog::showEvent(event);
}

void RulesView::showDraft() {
    follow_ = nullptr;
    list_->setGroups(draft_.groups);
    for (GroupRow* row : list_->rows()) {
        const QUuid id = row->groupId();
        connect(row, &GroupRow::nameEdited, this, [this, id, row](const QString& name) {
            if (RuleGroup* g = groupWithId(id)) {
                g->name = name;
                row->colorPick()->setName(name);
            }
        });
        connect(row, &GroupRow::wordsEdited, this, [this, id](const QStringList& words) {
            if (RuleGroup* g = groupWithId(id))
                g->aliases = words;
        });
        connect(row, &GroupRow::colorPicked, this, [this, id](const QList<int>& color) {
            if (RuleGroup* g = groupWithId(id))
                g->color = color;
        });
        connect(
            row, &GroupRow::moveRequested, this,
            [this, row](int step) { moveGroup(int(list_->rows().indexOf(row)), step); },
            Qt::QueuedConnection); // the row goes with the move
        connect(
            row, &GroupRow::removeRequested, this,
            [this, id] {
                RuleEdits::remove(draft_.groups, id);
                showDraft();
            },
            Qt::QueuedConnection); // the row's button goes with the row
    }
    const QSignalBlocker blockNumbers(numberTracks_);
    const QSignalBlocker blockNames(groupInName_);
    numberTracks_->setChecked(draft_.numberTracks);
    groupInName_->setChecked(draft_.groupInName);
}

RuleGroup* RulesView::groupWithId(const QUuid& id) {
    for (RuleGroup& g : draft_.groups)
        if (g.id == id)
            return &g;
    return nullptr;
}

void RulesView::addGroup() {
    RuleEdits::addGroup(draft_.groups);
    showDraft();
    // The new row, last in the list: scrolled into view with its name ready to type over.
    GroupRow* row = list_->rows().isEmpty() ? nullptr : list_->rows().last();
    if (!row)
        return;
    row->nameField()->setFocus(Qt::OtherFocusReason);
    row->nameField()->selectAll();
    // It shows once the list has its new height: the scroll range grows then.
    follow_ = row;
}

void RulesView::moveGroup(int offset, int step) {
    const int to = offset + step;
    if (offset < 0 || to < 0 || to >= draft_.groups.size())
        return;
    const QList<GroupRow*> before = list_->rows();
    QWidget* focused = QApplication::focusWidget();
    const bool inWords = focused == before[offset]->wordsField();
    RuleEdits::move(draft_.groups, {offset}, step < 0 ? to : to + 1);
    showDraft();
    GroupRow* moved = list_->rows().value(to);
    if (!moved)
        return;
    QWidget* field = inWords ? static_cast<QWidget*>(moved->wordsField()) : moved->nameField();
    field->setFocus(Qt::OtherFocusReason);
    // Laid out at once, so that the row can be scrolled to where it is now, and followed while
    // the rows settle.
    list_->layout()->activate();
    scroll_->ensureWidgetVisible(moved, 0, 8);
    follow_ = moved;
}

void RulesView::resetToDefaults() {
    draft_ = Config::defaults();
    showDraft();
}

void RulesView::save() {
    draft_ = RuleEdits::forSave(draft_);
    if (rules_.saveRules(draft_)) {
        accept();
        return;
    }
    // Not saved: the sheet stays with the draft, its names as they were saved.
    showDraft();
}

void RulesView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Brismo::paintSheet(p, rect());
}

void RulesView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        save();
        return;
    }
    QDialog::keyPressEvent(event); // Escape: reject, which is Cancel
}

void RulesView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyColors();
    QDialog::changeEvent(event);
}

void RulesView::applyColors() {
    colorText(numberTracks_, Brismo::ink);
    colorText(groupInName_, Brismo::ink);
    QPalette p = palette();
    p.setColor(QPalette::Highlight, Brismo::accent.color());
    setPalette(p);
    for (GroupRow* row : list_->rows())
        row->applyColors();
}

// ---- GroupRow ----

GroupRow::GroupRow(const RuleGroup& group, QWidget* parent) : QWidget(parent), id_(group.id) {
    setObjectName(QStringLiteral("groupRow"));
    setCursor(Qt::OpenHandCursor);
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(0, 3, 0, 3);
    line->setSpacing(8);

    grip_ = new Grip(this);
    line->addWidget(grip_, 0, Qt::AlignTop);

    pick_ = new ColorPick(this);
    pick_->setColor(group.color);
    pick_->setName(group.name);
    connect(pick_, &ColorPick::colorPicked, this, &GroupRow::colorPicked);
    line->addWidget(pick_, 0, Qt::AlignTop);

    name_ = new QLineEdit(group.name, this);
    name_->setObjectName(QStringLiteral("groupName"));
    name_->setPlaceholderText(tr("Group"));
    name_->setFixedWidth(kNameWidth);
    name_->setCursor(Qt::IBeamCursor);
    name_->setCursorPosition(0);
    connect(name_, &QLineEdit::textEdited, this, &GroupRow::nameEdited);
    line->addWidget(name_, 0, Qt::AlignTop);

    words_ = new WordsField(RuleEdits::textFromWords(group.aliases), this);
    words_->setObjectName(QStringLiteral("groupWords"));
    words_->setPlaceholderText(tr("Words, separated by spaces"));
    words_->setAccessibleName(tr("Words of the group"));
    connect(words_, &WordsField::textEdited, this,
            [this](const QString& text) { emit wordsEdited(RuleEdits::wordsFromText(text)); });
    // Once editing ends the field shows what it stored.
    connect(words_, &WordsField::editingFinished, this, [this] {
        words_->setText(RuleEdits::textFromWords(RuleEdits::wordsFromText(words_->text())));
    });
    words_->setOneLineHeight(name_->sizeHint().height());
    line->addWidget(words_, 1, Qt::AlignTop);

    trash_ = new QToolButton(this);
    trash_->setObjectName(QStringLiteral("trashButton"));
    trash_->setAutoRaise(true);
    trash_->setCursor(Qt::PointingHandCursor);
    trash_->setToolTip(tr("Remove this group"));
    trash_->setAccessibleName(tr("Remove group"));
    trash_->setIconSize(QSize(kTrashSize, kTrashSize));
    trash_->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    connect(trash_, &QToolButton::clicked, this, &GroupRow::removeRequested);
    line->addWidget(trash_, 0, Qt::AlignTop);

    // Alt+Up and Alt+Down move the row from any of its fields.
    name_->installEventFilter(this);
    words_->installEventFilter(this);
    applyColors();
}

void GroupRow::applyColors() {
    trash_->setIcon(Icons::pixmap(QStringLiteral("trash"), kDestructive.color(), kTrashSize,
                                  devicePixelRatioF()));
    pick_->update();
}

bool GroupRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::AltModifier &&
            (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            emit moveRequested(key->key() == Qt::Key_Up ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void GroupRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        pressAt_ = event->position().toPoint();
    }
    QWidget::mousePressEvent(event);
}

void GroupRow::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - pressAt_).manhattanLength() <
            QApplication::startDragDistance())
        return;
    pressed_ = false;
    auto* list = qobject_cast<GroupList*>(parentWidget());
    if (!list)
        return;
    auto* data = new QMimeData;
    data->setData(GroupList::mimeType(), QByteArray::number(list->rows().indexOf(this)));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(grab());
    drag->setHotSpot(pressAt_);
    drag->exec(Qt::MoveAction);
}

// ---- WordsField ----

WordsField::WordsField(const QString& text, QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The field draws its own box, like a line edit's: the text sits in it as a line edit's does.
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(0);
    useThinScrollBars(this);
    setText(text);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        fitHeight();
        if (!setting_)
            emit textEdited(toPlainText());
    });
}

void WordsField::setText(const QString& text) {
    setting_ = true;
    setPlainText(text);
    setting_ = false;
    moveCursor(QTextCursor::Start); // the first words show
    fitHeight();
}

int WordsField::lineCount() const {
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += block.layout() ? std::max(1, block.layout()->lineCount()) : 1;
    return std::max(1, lines);
}

void WordsField::setOneLineHeight(int height) {
    oneLineHeight_ = height;
    fitHeight();
}

void WordsField::fitHeight() {
    const int spacing = fontMetrics().lineSpacing();
    const int oneLine = std::max(oneLineHeight_, spacing + 8);
    const int vertical = (oneLine - spacing) / 2;
    setViewportMargins(6, vertical, 4, oneLine - spacing - vertical);
    const int lines = std::min(lineCount(), maxLines);
    // Two points to spare: the text layout's lines can be a fraction taller than the spacing.
    setFixedHeight(oneLine + (lines - 1) * spacing + 2);
    // Every line shows up to the most the field grows to; only past that does it scroll.
    setVerticalScrollBarPolicy(lineCount() > maxLines ? Qt::ScrollBarAsNeeded
                                                      : Qt::ScrollBarAlwaysOff);
}

bool WordsField::event(QEvent* event) {
    if (event->type() != QEvent::Paint)
        return QPlainTextEdit::event(event);
    // The box: base fill, the theme's field edge, the ink ring while it has the keyboard.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool focused = hasFocus();
    const qreal width = focused ? 1.5 : 1.0;
    const qreal inset = width / 2;
    p.setPen(QPen((focused ? Brismo::ink : Brismo::fieldEdge).color(), width));
    p.setBrush(palette().color(QPalette::Base));
    p.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 3, 3);
    return true;
}

void WordsField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore(); // the sheet's: Save
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void WordsField::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    update(); // the ring
}

void WordsField::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    update();
    emit editingFinished();
}

void WordsField::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    fitHeight();
}

void WordsField::insertFromMimeData(const QMimeData* source) {
    QString text = source->text();
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    insertPlainText(text);
}

// ---- GroupList ----

QString GroupList::mimeType() {
    return QStringLiteral("application/x-vantrel-group-row");
}

GroupList::GroupList(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("groupList"));
    setAcceptDrops(true);
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 4, 0);
    column_->setSpacing(0);
    column_->addStretch(1);
}

void GroupList::setGroups(const QList<RuleGroup>& groups) {
    for (GroupRow* row : rows_) {
        row->hide();
        row->deleteLater();
    }
    rows_.clear();
    for (const RuleGroup& group : groups) {
        auto* row = new GroupRow(group, this);
        column_->insertWidget(int(rows_.size()), row);
        rows_.append(row);
    }
}

int GroupList::destinationAt(int y) const {
    int destination = 0;
    for (const GroupRow* row : rows_)
        if (row->geometry().center().y() < y)
            ++destination;
    return destination;
}

void GroupList::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(mimeType()))
        event->acceptProposedAction();
}

void GroupList::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(mimeType()))
        return;
    event->acceptProposedAction();
    insertion_ = destinationAt(event->position().toPoint().y());
    update();
}

void GroupList::dragLeaveEvent(QDragLeaveEvent*) {
    insertion_ = -1;
    update();
}

void GroupList::dropEvent(QDropEvent* event) {
    if (drop(event->mimeData(), event->position().toPoint()))
        event->acceptProposedAction();
}

bool GroupList::drop(const QMimeData* data, QPoint at) {
    insertion_ = -1;
    update();
    if (!data->hasFormat(mimeType()))
        return false;
    bool ok = false;
    const int from = data->data(mimeType()).toInt(&ok);
    if (!ok || from < 0 || from >= rows_.size())
        return false;
    emit rowDropped(from, destinationAt(at.y()));
    return true;
}

void GroupList::paintEvent(QPaintEvent*) {
    if (insertion_ < 0 || rows_.isEmpty())
        return;
    // The line where the dragged row would land.
    const int y = insertion_ < rows_.size() ? rows_[insertion_]->geometry().top()
                                            : rows_.last()->geometry().bottom();
    QPainter p(this);
    p.fillRect(QRect(0, y - 1, width(), 2), Brismo::accent.color());
}

} // namespace Vantrel::Ui
