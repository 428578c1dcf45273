#include "ui/ReviewView.h"

#include "app/ScreenModels.h"
#include "core/Palette.h"
#include "ui/Icons.h"
#include "ui/Widgets.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QToolTip>
#include <QVBoxLayout>

namespace Vantrel::Ui {

namespace {

// The title of the group menu's entry for no group.
QString unsortedTitle() {
    return QCoreApplication::translate("Vantrel::Ui::ReviewView", "Unsorted");
}

QString lastComponent(const std::optional<QString>& path) {
    return path ? QFileInfo(*path).fileName() : QString();
}

QFont nameFont() {
    return systemFont(14, QFont::Light);
}

} // namespace

// ---- ReviewModel ----

ReviewModel::ReviewModel(ReviewHost& model, QObject* parent)
    : QAbstractListModel(parent), model_(model) {
    model.onReviewChanged(ReviewHost::Part::items, this, [this] { refresh(); });
    model.onReviewChanged(ReviewHost::Part::config, this, [this] { refresh(); });
    // New findings repaint the rows in place: the selection and the scroll position stay.
    model.onReviewChanged(ReviewHost::Part::findings, this, [this] {
        for (qsizetype row = 0; row < rows_.size(); ++row)
            findings_[row] = model_.findingsFor(rows_[row].fileName());
        if (!rows_.isEmpty())
            emit dataChanged(index(0), index(int(rows_.size()) - 1));
    });
    refresh();
}

void ReviewModel::refresh() {
    beginResetModel();
    rows_ = model_.displayed();
    suggestions_.clear();
    findings_.clear();
    for (const Item& item : rows_) {
        suggestions_ << model_.suggestionFor(item);
        findings_ << (model_.findings().isEmpty() ? QStringList()
                                                  : model_.findingsFor(item.fileName()));
    }
    groups_ = model_.config().groups;
    endResetModel();
}

int ReviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReviewModel::colorIndex(const std::optional<QString>& group, const QList<RuleGroup>& groups) {
    if (!group)
        return -1;
    for (int i = 0; i < groups.size(); ++i) {
        if (groups[i].name == *group)
            return i % static_cast<int>(Brismo::groupColors.size());
    }
    return -1;
}

QColor ReviewModel::dotColor(const std::optional<QString>& group, const QList<RuleGroup>& groups) {
    if (!group)
        return {};
    for (const RuleGroup& g : groups) {
        if (g.name != *group)
            continue;
        // Only a colour the user stored; the built-in groups keep their theme colours.
        if (g.color && g.color->size() == 2 &&
            LogicPalette::contains(g.color->at(0), g.color->at(1)))
            return opaqueColor(LogicPalette::hex()[g.color->at(1)][g.color->at(0)]);
        break;
    }
    const int index = colorIndex(group, groups);
    return index < 0 ? QColor() : Brismo::groupColor(index).color();
}

int ReviewModel::rowOf(const QUuid& id) const {
    for (qsizetype row = 0; row < rows_.size(); ++row)
        if (rows_[row].id == id)
            return int(row);
    return -1;
}

QStringList ReviewModel::groupNames() const {
    QStringList names;
    for (const RuleGroup& g : groups_)
        names << g.name;
    return names;
}

QVariant ReviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size())
        return {};
    const Item& item = rows_[index.row()];
    switch (role) {
    case FileNameRole:
        return item.fileName();
    case NewNameRole:
        return item.newName;
    case GroupRole:
        return item.group.value_or(QString());
    case ColorIndexRole:
        return colorIndex(item.group, groups_);
    case DotColorRole:
        return dotColor(item.group, groups_);
    case SuggestedDotColorRole:
        return suggestions_[index.row()] ? dotColor(suggestions_[index.row()]->group, groups_)
                                         : QColor();
    case IdRole:
        return item.id;
    case SuggestedGroupRole:
        return suggestions_[index.row()] ? suggestions_[index.row()]->group : QString();
    case SuggestedColorIndexRole:
        return suggestions_[index.row()] ? colorIndex(suggestions_[index.row()]->group, groups_)
                                         : -1;
    case SuggestionReasonRole:
        return suggestions_[index.row()] ? suggestions_[index.row()]->reason : QString();
    case FindingsRole:
        return findings_[index.row()];
    case Qt::AccessibleTextRole:
        // What a screen reader says for the row: both names and the group chosen.
        return QStringLiteral("%1, %2, %3")
            .arg(item.fileName(), item.newName, item.group.value_or(unsortedTitle()));
    case Qt::AccessibleDescriptionRole:
        // The findings the row's badge stands for.
        return findings_[index.row()].join(QLatin1Char(' '));
    case Qt::ToolTipRole:
        return findings_[index.row()].isEmpty()
                   ? item.fileName()
                   : item.fileName() + QLatin1Char('\n') +
                         findings_[index.row()].join(QLatin1Char('\n'));
    default:
        return {};
    }
}

// ---- RowDelegate ----

int RowDelegate::rowHeight() {
    const int text =
        qMax(QFontMetrics(nameFont()).height(), QFontMetrics(monospacedBodyFont()).height());
    return qMax(text, 22) + 2 * 2 + 8;
}

RowDelegate::Geometry RowDelegate::geometry(const QRect& rowRect) {
    // Items 10 apart inside the list's own margins of 14.
    const QRectF r = QRectF(rowRect).adjusted(14, 0, -14, 0);
    const qreal cy = r.center().y();
    Geometry g;
    g.dot = QRectF(r.left(), cy - 5, 10, 10);
    g.popup = QRectF(r.right() - 130, cy - 11, 130, 22);
    // Room for the longest default group's name and "?" beside the pop-up, on every row, so
    // that the names line up whether a row has a suggestion or not.
    g.suggestion = QRectF(g.popup.left() - 8 - 84, cy - 11, 84, 22);
    const qreal arrowSide = 14;
    const qreal left = g.dot.right() + 10;
    // The badge of a row with audio findings, in its own place on every row.
    g.badge = QRectF(g.suggestion.left() - 8 - 16, cy - 8, 16, 16);
    const qreal right = g.badge.left() - 10;
    const qreal flexible = qMax<qreal>(0, right - left - arrowSide - 20) / 2;
    g.name = QRectF(left, r.top(), flexible, r.height());
    g.arrow = QRectF(g.name.right() + 10, cy - arrowSide / 2, arrowSide, arrowSide);
    g.newName = QRectF(g.arrow.right() + 10, r.top(), flexible, r.height());
    return g;
}

QSize RowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {400, rowHeight()};
}

void RowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const Geometry g = geometry(option.rect);

    if (option.state & QStyle::State_HasFocus && option.state & QStyle::State_Selected) {
        QColor focus = Brismo::inner.color();
        p->fillRect(option.rect, focus);
    }

    QColor dot = index.data(ReviewModel::DotColorRole).value<QColor>();
    if (!dot.isValid())
        dot = Brismo::muted.color();
    p->setPen(Qt::NoPen);
    p->setBrush(dot);
    p->drawEllipse(g.dot);

    const QFont name = nameFont();
    p->setFont(name);
    p->setPen(Brismo::muted.color());
    const QString fileName = index.data(ReviewModel::FileNameRole).toString();
    p->drawText(g.name, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(name).elidedText(fileName, Qt::ElideMiddle, int(g.name.width())));

    Icons::paint(*p, g.arrow, QStringLiteral("arrow.right"), Brismo::line.color());

    const QFont mono = monospacedBodyFont();
    p->setFont(mono);
    p->setPen(Brismo::ink.color());
    const QString newName = index.data(ReviewModel::NewNameRole).toString();
    p->drawText(g.newName, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(mono).elidedText(newName, Qt::ElideMiddle, int(g.newName.width())));

    // The badge: the row's file has audio findings.
    if (!index.data(ReviewModel::FindingsRole).toStringList().isEmpty())
        Icons::paint(*p, g.badge, QStringLiteral("exclamationmark.triangle.fill"),
                     Brismo::warn.color());

    // The suggestion: the group's name and "?" in the group's colour, a click accepts it.
    const QString suggested = index.data(ReviewModel::SuggestedGroupRole).toString();
    if (!suggested.isEmpty()) {
        QColor colour = index.data(ReviewModel::SuggestedDotColorRole).value<QColor>();
        if (!colour.isValid())
            colour = Brismo::muted.color();
        const QRectF chip = g.suggestion.adjusted(0.5, 0.5, -0.5, -0.5);
        p->setPen(QPen(colour, 1));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(chip, 6, 6);
        const QFont chipFont = systemFont(12, QFont::DemiBold);
        p->setFont(chipFont);
        p->drawText(chip.adjusted(6, 0, -6, 0), Qt::AlignCenter,
                    QFontMetrics(chipFont).elidedText(suggested + QLatin1Char('?'), Qt::ElideMiddle,
                                                      int(chip.width()) - 12));
    }

    // The group pop-up: a small rounded button with the choice and an up-down chevron.
    const QRectF popup = g.popup.adjusted(0.5, 0.5, -0.5, -0.5);
    p->setPen(QPen(Brismo::line.color(), 1));
    p->setBrush(Brismo::inner.color());
    p->drawRoundedRect(popup, 6, 6);
    const QString group = index.data(ReviewModel::GroupRole).toString();
    const QFont popupFont = systemFont(13, QFont::Normal);
    p->setFont(popupFont);
    p->setPen(Brismo::ink.color());
    const QRectF textRect = popup.adjusted(9, 0, -22, 0);
    p->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(popupFont).elidedText(group.isEmpty() ? unsortedTitle() : group,
                                                   Qt::ElideRight, int(textRect.width())));
    const qreal cx = popup.right() - 11;
    const qreal cy = popup.center().y();
    QPen chevron(Brismo::muted.color(), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p->setPen(chevron);
    p->drawPolyline(QPolygonF{{cx - 3, cy - 2}, {cx, cy - 5}, {cx + 3, cy - 2}});
    p->drawPolyline(QPolygonF{{cx - 3, cy + 2}, {cx, cy + 5}, {cx + 3, cy + 2}});

    // The line between rows.
    if (index.row() + 1 < index.model()->rowCount()) {
        p->setPen(QPen(Brismo::line.color(), 1));
        const qreal y = option.rect.bottom() + 0.5;
        p->drawLine(QPointF(option.rect.left() + 14, y), QPointF(option.rect.right() - 14, y));
    }
    p->restore();
}

bool RowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                            const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QString reason = index.data(ReviewModel::SuggestionReasonRole).toString();
    if (event->type() == QEvent::ToolTip && !reason.isEmpty() &&
        geometry(option.rect).suggestion.contains(event->pos())) {
        QToolTip::showText(event->globalPos(), reason, view->viewport());
        return true;
    }
    const QStringList findings = index.data(ReviewModel::FindingsRole).toStringList();
    if (event->type() == QEvent::ToolTip && !findings.isEmpty() &&
        geometry(option.rect).badge.contains(event->pos())) {
        QToolTip::showText(event->globalPos(), findings.join(QLatin1Char('\n')), view->viewport());
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

// ---- ReviewList ----

ReviewList::ReviewList(ReviewHost& model, QWidget* parent) : QListView(parent), model_(model) {
    setObjectName(QStringLiteral("reviewList"));
    setAccessibleName(tr("Tracks"));
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true); // every row is one line: layout stays cheap for 10,000 rows
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(false);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setItemDelegate(new RowDelegate(this));
    useThinScrollBars(this);
}

void ReviewList::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
}

void ReviewList::setModel(QAbstractItemModel* model) {
    QListView::setModel(model);
    auto* reviewModel = qobject_cast<ReviewModel*>(model);
    if (!reviewModel)
        return;
    connect(reviewModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        kept_ =
            currentIndex().isValid() ? currentIndex().data(ReviewModel::IdRole).toUuid() : QUuid();
    });
    connect(reviewModel, &QAbstractItemModel::modelReset, this, [this, reviewModel] {
        if (kept_.isNull())
            return;
        const int row = reviewModel->rowOf(kept_);
        if (row < 0)
            return;
        const QModelIndex index = reviewModel->index(row);
        setCurrentIndex(index);
        scrollTo(index);
    });
}

void ReviewList::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    if (!currentIndex().isValid() && model() && model()->rowCount() > 0 &&
        (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)) {
        setCurrentIndex(model()->index(0, 0));
        scrollTo(currentIndex());
    }
}

void ReviewList::openGroupMenu(const QModelIndex& index) {
    if (!index.isValid())
        return;
    auto* reviewModel = qobject_cast<ReviewModel*>(model());
    if (!reviewModel)
        return;
    const QUuid id = index.data(ReviewModel::IdRole).toUuid();
    const QString current = index.data(ReviewModel::GroupRole).toString();

    QMenu menu(this);
    menu.setObjectName(QStringLiteral("groupMenu"));
    auto* actions = new QActionGroup(&menu);
    const auto add = [&](const QString& title, const QString& value) {
        QAction* action = menu.addAction(title);
        action->setCheckable(true);
        action->setChecked(value == current);
        action->setData(value);
        actions->addAction(action);
    };
    add(unsortedTitle(), QString());
    menu.addSeparator();
    for (const QString& name : reviewModel->groupNames())
        add(name, name);

    const QRectF popup = RowDelegate::geometry(visualRect(index)).popup;
    QAction* chosen = nullptr;
    connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) { chosen = action; });
    emit groupMenuShown(&menu);
    menu.exec(viewport()->mapToGlobal(popup.bottomLeft().toPoint()));
    if (!chosen)
        return;
    const QString value = chosen->data().toString();
    if (value == current)
        return;
    model_.setGroup(id, value.isEmpty() ? std::nullopt : std::optional<QString>(value));
}

void ReviewList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton &&
        !index.data(ReviewModel::SuggestedGroupRole).toString().isEmpty() &&
        RowDelegate::geometry(visualRect(index)).suggestion.contains(event->position())) {
        setCurrentIndex(index);
        model_.acceptSuggestion(index.data(ReviewModel::IdRole).toUuid());
        return;
    }
    if (index.isValid() && event->button() == Qt::LeftButton &&
        RowDelegate::geometry(visualRect(index)).popup.contains(event->position())) {
        setCurrentIndex(index);
        openGroupMenu(index);
        return;
    }
    QListView::mousePressEvent(event);
}

void ReviewList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_F4) && currentIndex().isValid()) {
        openGroupMenu(currentIndex());
        return;
    }
    QListView::keyPressEvent(event);
}

// ---- Segment and ModePicker ----

Segment::Segment(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setCheckable(true);
    setAutoExclusive(true);
    setFont(systemFont(13, QFont::Normal));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(26);
}

void Segment::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    if (isChecked()) {
        p.setPen(QPen(Brismo::line.color(), 1));
        p.setBrush(Brismo::raised.color());
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }
    if (hasFocus()) {
        p.setPen(QPen(Brismo::ink.color(), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 5, 5);
    }
    p.setPen((isChecked() ? Brismo::ink : Brismo::muted).color());
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text());
}

ModePicker::ModePicker(ApprovalHost& model, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("modePicker"));
    setAccessibleName(tr("What to do with the files"));
    setFixedWidth(330);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* organize = new Segment(tr("Organize this folder"), this);
    organize->setObjectName(QStringLiteral("organizeSegment"));
    auto* copy = new Segment(tr("Make a sorted copy"), this);
    copy->setObjectName(QStringLiteral("copySegment"));
    row->addWidget(organize);
    row->addWidget(copy);

    const auto sync = [&model, organize, copy] {
        (model.organizeInPlace() ? organize : copy)->setChecked(true);
    };
    sync();
    model.onApprovalChanged(this, sync);
    connect(organize, &QAbstractButton::toggled, this, [&model](bool on) {
        if (on)
            model.setOrganizeInPlace(true);
    });
    connect(copy, &QAbstractButton::toggled, this, [&model](bool on) {
        if (on)
            model.setOrganizeInPlace(false);
    });
}

void ModePicker::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Brismo::line.color(), 1));
    p.setBrush(Brismo::inner.color());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
}

// ---- ReviewView ----

ReviewView::ReviewView(ReviewHost& model, ApprovalHost& approval, QWidget* parent)
    : QWidget(parent), model_(model), approval_(approval) {
    setObjectName(QStringLiteral("reviewView"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Block 1: the folder's name and the counts.
    auto* header = new QVBoxLayout;
    header->setContentsMargins(24, 16, 24, 12);
    header->setSpacing(6);
    folderName_ = new ThemeLabel(QString(), 26, QFont::Light, Brismo::ink, this);
    folderName_->setObjectName(QStringLiteral("folderName"));
    header->addWidget(folderName_);
    auto* counts = new QHBoxLayout;
    counts->setSpacing(16);
    tracks_ = new ThemeLabel(QString(), 13, QFont::Medium, Brismo::muted, this);
    tracks_->setObjectName(QStringLiteral("trackCount"));
    counts->addWidget(tracks_);
    auto* statusRow = new QHBoxLayout;
    statusRow->setSpacing(4);
    statusSymbol_ = new SymbolView(QString(), 14, Brismo::leaf, this);
    statusSymbol_->setObjectName(QStringLiteral("statusSymbol"));
    status_ = new ThemeLabel(QString(), 13, QFont::Medium, Brismo::leaf, this);
    status_->setObjectName(QStringLiteral("sortStatus"));
    statusRow->addWidget(statusSymbol_);
    statusRow->addWidget(status_);
    counts->addLayout(statusRow);
    skipped_ = new ThemeLabel(QString(), 13, QFont::Medium, Brismo::muted, this);
    skipped_->setObjectName(QStringLiteral("skippedCount"));
    counts->addWidget(skipped_);
    counts->addStretch(1);
    acceptAll_ = new PillButton(QString(), false, this);
    acceptAll_->setObjectName(QStringLiteral("acceptAllButton"));
    counts->addWidget(acceptAll_, 0, Qt::AlignVCenter);
    header->addLayout(counts);

    // The files the scan left alone, each with its reason; the whole list in the tooltip.
    leftAlone_ = new ThemeLabel(QString(), 12, QFont::Normal, Brismo::warn, this);
    leftAlone_->setObjectName(QStringLiteral("leftAlone"));
    leftAlone_->setWordWrap(true);
    header->addWidget(leftAlone_);

    // A folder organized by Vantrel and not put back: the way back in one click.
    organizedBar_ = new QWidget(this);
    organizedBar_->setObjectName(QStringLiteral("organizedBar"));
    auto* organizedRow = new QHBoxLayout(organizedBar_);
    organizedRow->setContentsMargins(0, 0, 0, 0);
    organizedRow->setSpacing(8);
    auto* organizedText = new ThemeLabel(tr("This folder was organized by Vantrel."), 13,
                                         QFont::Normal, Brismo::ink, organizedBar_);
    organizedText->setObjectName(QStringLiteral("organizedText"));
    auto* putBack = new PillButton(tr("Put the Files Back"), false, organizedBar_);
    putBack->setObjectName(QStringLiteral("reviewPutBackButton"));
    organizedRow->addWidget(organizedText);
    organizedRow->addWidget(putBack);
    organizedRow->addStretch(1);
    header->addWidget(organizedBar_);
    connect(putBack, &QAbstractButton::clicked, this, [&approval] { approval.undoOrganize(); });

    // What the last put-back left where it was.
    putBackNote_ = new ThemeLabel(QString(), 12, QFont::Normal, Brismo::muted, this);
    putBackNote_->setObjectName(QStringLiteral("putBackNote"));
    putBackNote_->setWordWrap(true);
    header->addWidget(putBackNote_);

    // The audio checks: their progress while the content pass runs, the findings after.
    auto* audioRow = new QHBoxLayout;
    audioRow->setSpacing(6);
    findingsSymbol_ =
        new SymbolView(QStringLiteral("exclamationmark.triangle.fill"), 14, Brismo::warn, this);
    findings_ = new PillButton(QString(), false, this);
    findings_->setObjectName(QStringLiteral("findingsButton"));
    audioStatus_ = new ThemeLabel(QString(), 13, QFont::Normal, Brismo::muted, this);
    audioStatus_->setObjectName(QStringLiteral("audioStatus"));
    audioRow->addWidget(findingsSymbol_, 0, Qt::AlignVCenter);
    audioRow->addWidget(findings_, 0, Qt::AlignVCenter);
    audioRow->addWidget(audioStatus_, 0, Qt::AlignVCenter);
    audioRow->addStretch(1);
    header->addLayout(audioRow);
    connect(findings_, &QAbstractButton::clicked, this, &ReviewView::showFindings);

    // The offer to learn the word of a track just put into a group.
    learnBar_ = new QWidget(this);
    learnBar_->setObjectName(QStringLiteral("learnBar"));
    auto* learnRow = new QHBoxLayout(learnBar_);
    learnRow->setContentsMargins(0, 0, 0, 0);
    learnRow->setSpacing(8);
    learnQuestion_ = new ThemeLabel(QString(), 13, QFont::Normal, Brismo::ink, learnBar_);
    learnQuestion_->setObjectName(QStringLiteral("learnQuestion"));
    auto* learnAdd = new PillButton(tr("Add"), false, learnBar_);
    learnAdd->setObjectName(QStringLiteral("learnAddButton"));
    auto* learnDismiss = new PillButton(tr("Not Now"), false, learnBar_);
    learnDismiss->setObjectName(QStringLiteral("learnDismissButton"));
    learnRow->addWidget(learnQuestion_);
    learnRow->addWidget(learnAdd);
    learnRow->addWidget(learnDismiss);
    learnRow->addStretch(1);
    header->addWidget(learnBar_);
    column->addLayout(header);
    connect(acceptAll_, &QAbstractButton::clicked, this,
            [&model] { model.acceptAllSuggestions(); });
    connect(learnAdd, &QAbstractButton::clicked, this, [&model] { model.acceptLearnOffer(); });
    connect(learnDismiss, &QAbstractButton::clicked, this, [&model] { model.declineLearnOffer(); });

    // Block 2: the list in a card.
    auto* cardRow = new QHBoxLayout;
    cardRow->setContentsMargins(22, 0, 22, 0);
    auto* card = new Card(this);
    auto* inCard = new QVBoxLayout(card);
    // The rows stay clear of the rounded corners.
    inCard->setContentsMargins(1, 6, 1, 6);
    list_ = new ReviewList(model, card);
    list_->setModel(new ReviewModel(model, list_));
    inCard->addWidget(list_);
    cardRow->addWidget(card);
    column->addLayout(cardRow, 1);

    // Block 3: the decision.
    auto* decision = new QVBoxLayout;
    decision->setContentsMargins(24, 14, 24, 14);
    decision->setSpacing(10);
    auto* modeLine = new QHBoxLayout;
    modeLine->setSpacing(12);
    auto* caption =
        new ThemeLabel(tr("What to do with the files"), 12, QFont::Medium, Brismo::muted, this);
    caption->setTracking(1);
    modeLine->addWidget(caption);
    modeLine->addStretch(1);
    // Where the sorted copy goes, beside the choice it belongs to.
    copyDestination_ = new PillButton(tr("Choose Where…"), false, this);
    copyDestination_->setObjectName(QStringLiteral("copyDestinationButton"));
    copyDestination_->setAccessibleDescription(tr("Choose the folder the sorted copy goes into"));
    connect(copyDestination_, &QAbstractButton::clicked, this,
            [&approval] { approval.chooseCopyDestination(); });
    modeLine->addWidget(copyDestination_, 0, Qt::AlignVCenter);
    modeLine->addWidget(new ModePicker(approval, this));
    decision->addLayout(modeLine);

    auto* actionLine = new QHBoxLayout;
    actionLine->setSpacing(12);
    explanation_ = new ThemeLabel(QString(), 13, QFont::Light, Brismo::muted, this);
    explanation_->setObjectName(QStringLiteral("explanation"));
    explanation_->setWordWrap(true);
    explanation_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    actionLine->addWidget(explanation_, 1);
    auto* cancel = new PillButton(tr("Cancel"), false, this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    approve_ = new PillButton(QString(), true, this);
    approve_->setObjectName(QStringLiteral("approveButton"));
    actionLine->addWidget(cancel, 0, Qt::AlignVCenter);
    actionLine->addWidget(approve_, 0, Qt::AlignVCenter);
    decision->addLayout(actionLine);
    column->addLayout(decision);

    connect(cancel, &QAbstractButton::clicked, this, [&approval] { approval.reset(); });
    connect(approve_, &QAbstractButton::clicked, this, [&approval] { approval.approve(); });
    // Escape cancels and Return approves while the screen (or anything in it) has the focus;
    // the busy screen takes the focus away while it covers the window.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, cancel, &QAbstractButton::click);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        enter->setContext(Qt::WidgetWithChildrenShortcut);
        connect(enter, &QShortcut::activated, approve_, &QAbstractButton::click);
    }

    using Part = ReviewHost::Part;
    for (Part part : {Part::folder, Part::items, Part::skipped, Part::config, Part::learnOffer,
                      Part::leftAlone, Part::folderOrganized, Part::putBackNote})
        model.onReviewChanged(part, this, [this] { refresh(); });
    approval.onApprovalChanged(this, [this] { refresh(); });
    for (Part part : {Part::findings, Part::audioCheck})
        model.onReviewChanged(part, this, [this] { refreshAudio(); });
    refresh();
    refreshAudio();
}

void ReviewView::refreshAudio() {
    const QList<AudioFinding>& findings = model_.findings();
    findingsSymbol_->setVisible(!findings.isEmpty());
    findings_->setVisible(!findings.isEmpty());
    findings_->setTitle(tr("%n audio findings", nullptr, int(findings.size())));
    QString status;
    if (model_.audioChecking())
        status = tr("Checking the audio… %1 of %2 files")
                     .arg(model_.audioChecked())
                     .arg(model_.audioToCheck());
    else if (findings.isEmpty() && !model_.items().isEmpty())
        status = tr("Audio checked: nothing to report");
    audioStatus_->setText(status);
    audioStatus_->setVisible(!status.isEmpty());
}

void ReviewView::showFindings() {
    auto* sheet = new FindingsSheet(model_.findings(), window());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // Escape and Return belong to the sheet while it is open: they must not also cancel or
    // approve the review under it.
    const QList<QShortcut*> shortcuts = findChildren<QShortcut*>();
    for (QShortcut* shortcut : shortcuts)
        shortcut->setEnabled(false);
    connect(sheet, &QDialog::finished, this, [shortcuts] {
        for (QShortcut* shortcut : shortcuts)
            shortcut->setEnabled(true);
    });
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

// ---- FindingsSheet ----

FindingsSheet::FindingsSheet(const QList<AudioFinding>& findings, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("findingsSheet"));
    setWindowTitle(tr("Audio Findings"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 20, 24, 20);
    column->setSpacing(12);
    column->addWidget(new ThemeLabel(tr("Audio Findings"), 20, QFont::Light, Brismo::ink, this));
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* body = new QWidget(scroll);
    auto* list = new QVBoxLayout(body);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(12);
    for (const AudioFinding& f : findings) {
        auto* text = new ThemeLabel(f.text, 13, QFont::Normal, Brismo::ink, body);
        text->setWordWrap(true);
        text->setObjectName(QStringLiteral("finding"));
        list->addWidget(text);
        auto* files = new ThemeLabel(f.files.join(QStringLiteral(", ")), 12, QFont::Light,
                                     Brismo::muted, body);
        files->setWordWrap(true);
        list->addWidget(files);
    }
    list->addStretch(1);
    scroll->setWidget(body);
    column->addWidget(scroll, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new ThemeLabel(tr("Vantrel never changes the audio."), 12, QFont::Light,
                                      Brismo::muted, this));
    buttons->addStretch(1);
    auto* done = new PillButton(tr("Done"), true, this);
    done->setObjectName(QStringLiteral("findingsDoneButton"));
    buttons->addWidget(done);
    column->addLayout(buttons);
    connect(done, &QAbstractButton::clicked, this, &QDialog::accept);
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* enter = new QShortcut(QKeySequence(key), this);
        connect(enter, &QShortcut::activated, done, &QAbstractButton::click);
    }
    resize(520, 380);
    done->setFocus();
}

void FindingsSheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Brismo::paintSheet(p, rect());
}

void ReviewView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    list_->setFocus();
}

void ReviewView::refresh() {
    const QString name = lastComponent(model_.folder());
    folderName_->setText(name);
    tracks_->setText(tr("%n tracks", nullptr, int(model_.items().size())));
    const int unsorted = model_.unsortedCount();
    if (unsorted < 1) {
        statusSymbol_->setSymbol(QStringLiteral("checkmark.circle.fill"), Brismo::leaf);
        status_->setColor(Brismo::leaf);
        status_->setText(tr("All sorted"));
    } else {
        statusSymbol_->setSymbol(QStringLiteral("exclamationmark.triangle.fill"), Brismo::warn);
        status_->setColor(Brismo::warn);
        status_->setText(tr("%n need a group", nullptr, unsorted));
    }
    // A folder with no track left to sort (one organized before) is not "All sorted".
    const bool anyTracks = !model_.items().isEmpty();
    statusSymbol_->setVisible(anyTracks);
    status_->setVisible(anyTracks);
    const int suggestions = model_.suggestionCount();
    acceptAll_->setVisible(suggestions > 0);
    acceptAll_->setTitle(tr("Accept All Suggestions (%n)", nullptr, suggestions));
    learnBar_->setVisible(model_.learnOffer().has_value());
    learnQuestion_->setText(model_.learnOffer() ? model_.learnOffer()->question() : QString());
    skipped_->setVisible(!model_.skipped().isEmpty());
    skipped_->setText(tr("%n non-audio files ignored", nullptr, int(model_.skipped().size())));
    const QStringList& leftAlone = model_.leftAlone();
    constexpr qsizetype kLeftAloneShown = 3;
    QStringList shown = leftAlone.mid(0, kLeftAloneShown);
    if (leftAlone.size() > kLeftAloneShown)
        shown << tr("…and %n more.", nullptr, int(leftAlone.size() - kLeftAloneShown));
    leftAlone_->setVisible(!leftAlone.isEmpty());
    leftAlone_->setText(shown.join(QLatin1Char('\n')));
    leftAlone_->setToolTip(leftAlone.join(QLatin1Char('\n')));
    leftAlone_->setAccessibleDescription(leftAlone.join(QLatin1Char('\n')));
    organizedBar_->setVisible(model_.folderOrganized());
    putBackNote_->setVisible(!model_.putBackNote().isEmpty());
    putBackNote_->setText(model_.putBackNote());
    const QString blocked = approval_.approvalBlocked();
    approve_->setEnabled(!model_.items().isEmpty() && blocked.isEmpty());
    explanation_->setColor(blocked.isEmpty() ? Brismo::muted : Brismo::ink);
    if (!blocked.isEmpty()) {
        explanation_->setText(blocked);
        approve_->setTitle(approval_.organizeInPlace() ? tr("Approve & Organize")
                                                       : tr("Approve & Create Sorted Folder"));
    } else if (approval_.organizeInPlace()) {
        explanation_->setText(
            tr("The files are moved into group folders and renamed inside “%1”. Nothing is "
               "copied, so no extra space is used, and you can put them back afterwards.")
                .arg(name));
        approve_->setTitle(tr("Approve & Organize"));
    } else if (approval_.copyDestination()) {
        explanation_->setText(tr("A new “SORTED” folder is made in “%1” and your originals are "
                                 "not touched.")
                                  .arg(lastComponent(*approval_.copyDestination())));
        explanation_->setToolTip(*approval_.copyDestination());
        approve_->setTitle(tr("Approve & Create Sorted Folder"));
    } else {
        explanation_->setText(
            tr("A new “SORTED” folder is made next to it and your originals are not touched. On a "
               "Mac disk it takes no extra space until a file is changed."));
        approve_->setTitle(tr("Approve & Create Sorted Folder"));
    }
    if (!approval_.copyDestination())
        explanation_->setToolTip(QString());
    copyDestination_->setVisible(!approval_.organizeInPlace());
}

} // namespace Vantrel::Ui
