// The track list as Logic Pro shows it: some versions put only the rows on screen into the
// accessibility tree, so the list is read page by page, scrolled with the wheel over it, and
// tracks are known by their number and name, never by their place in a partial list. Also
// the late questions every wait answers, and the closing comparison of the session with the
// jobs.

#include "automation/TrackList.h"

#include "automation/AXProbe.h"
#include "automation/LogicSender.h"
#include "automation/SessionCheck.h"
#include "platform/AxNames.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

const QString& kDescription = Ax::Attr::description;

} // namespace

std::optional<std::pair<int, QString>> TrackList::parseRow(const QString& d,
                                                           const std::optional<QString>& name) {
    // The word before the number is translated ("Track", "Spur", "トラック") and so are the
    // quotes around the name; the number is not, and the name is the track's own.
    QString rest = d;
    QString quotedName;
    static const QString opening = QStringLiteral("\u201C\u201E\u00AB\u300C\"");
    static const QString closing = QStringLiteral("\u201D\u201C\u00BB\u300D\"");
    const qsizetype open = [&] {
        for (qsizetype i = 0; i < d.size(); ++i)
            if (opening.contains(d[i]))
                return i;
        return qsizetype(-1);
    }();
    if (open >= 0) {
        qsizetype close = -1;
        for (qsizetype i = d.size() - 1; i > open; --i)
            if (closing.contains(d[i])) {
                close = i;
                break;
            }
        if (close > open) {
            quotedName = d.mid(open + 1, close - open - 1);
            rest = d.left(open) + d.mid(close + 1);
        }
    }
    if (quotedName.isNull() && name && !name->isEmpty()) {
        if (const qsizetype at = d.lastIndexOf(*name); at >= 0)
            rest = d.left(at) + d.mid(at + name->size());
    }
    qsizetype digits = 0;
    while (digits < rest.size() && !rest[digits].isDigit())
        ++digits;
    qsizetype end = digits;
    while (end < rest.size() && rest[end].isDigit())
        ++end;
    bool ok = false;
    const int number = rest.mid(digits, end - digits).toInt(&ok);
    if (!ok || number <= 0)
        return std::nullopt;
    if (name)
        return std::make_pair(number, *name);
    if (quotedName.isNull())
        return std::nullopt;
    return std::make_pair(number, quotedName);
}

// --- The rows kept, and the rules that keep them up to date.

void TrackList::keep(const QList<TrackRow>& rows, long long changes) {
    rows_ = rows;
    changes_ = changes;
    tailOpen_ = false;
}

bool TrackList::heldAt(long long since) const {
    // Read (or brought up to date) after the step began: every change between then and the
    // step's start was the step's own.
    return rows_ && changes_ >= since;
}

void TrackList::unchanged(long long since, long long now) {
    if (heldAt(since))
        changes_ = now;
}

void TrackList::appended(long long since, long long now) {
    if (!heldAt(since)) {
        invalidate();
        return;
    }
    changes_ = now;
    tailOpen_ = true;
}

void TrackList::stackMade(long long since, long long now, int number, const QString& name,
                          const QList<int>& members, bool open) {
    std::optional<QList<TrackRow>> after;
    if (heldAt(since) && !tailOpen_)
        after = afterStack(*rows_, number, name, members, open);
    if (after)
        keep(*after, now);
    else
        invalidate();
}

void TrackList::stackClosed(long long since, long long now, int number, int size) {
    std::optional<QList<TrackRow>> after;
    if (heldAt(since) && !tailOpen_)
        after = afterClosing(*rows_, number, size);
    if (after)
        keep(*after, now);
    else
        invalidate();
}

std::optional<QList<TrackRow>> TrackList::afterStack(const QList<TrackRow>& rows, int number,
                                                     const QString& name, const QList<int>& members,
                                                     bool open) {
    if (rows.isEmpty() || members.isEmpty())
        return std::nullopt;
    // How many tracks each row stands for: one, or a closed stack's row with its tracks, which
    // the number of the row after it tells (none is after the last row: unknown, -1).
    QList<int> spans(rows.size(), 1);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const TrackRow& r = rows[i];
        const bool closed = r.stack && r.open != true;
        if (i + 1 < rows.size())
            spans[i] = rows[i + 1].number - r.number;
        else if (closed)
            spans[i] = -1;
        if (i + 1 < rows.size() && (spans[i] < 1 || (spans[i] > 1 && !closed)))
            return std::nullopt;
    }
    QList<TrackRow> moved, rest;
    QList<int> restSpans;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (members.contains(rows[i].number)) {
            if (rows[i].stack || spans[i] != 1)
                return std::nullopt;
            moved << rows[i];
        } else {
            rest << rows[i];
            restSpans << spans[i];
        }
    }
    if (moved.size() != members.size())
        return std::nullopt;
    // The stack's row comes in where its number falls among the rows left.
    const int first = rows.first().number;
    qsizetype at = -1;
    for (qsizetype p = 0, n = first; p <= rest.size(); ++p) {
        if (n == number) {
            at = p;
            break;
        }
        if (p == rest.size() || restSpans[p] < 0)
            break;
        n += restSpans[p];
    }
    if (at < 0)
        return std::nullopt;
    QList<TrackRow> block{TrackRow{{}, number, name, true, open}};
    QList<int> blockSpans{open ? 1 : int(moved.size()) + 1};
    if (open) {
        block += moved;
        blockSpans += QList<int>(moved.size(), 1);
    }
    QList<TrackRow> after = rest.mid(0, at) + block + rest.mid(at);
    const QList<int> afterSpans = restSpans.mid(0, at) + blockSpans + restSpans.mid(at);
    int next = first;
    for (qsizetype i = 0; i < after.size(); ++i) {
        after[i].element = {}; // a row element shows whatever track stands at its place
        after[i].number = next;
        next += std::max(afterSpans[i], 1);
    }
    return after;
}

std::optional<QList<TrackRow>> TrackList::afterClosing(const QList<TrackRow>& rows, int number,
                                                       int size) {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].number != number)
            continue;
        if (!rows[i].stack || rows[i].open != true || i + size >= rows.size())
            return std::nullopt;
        for (qsizetype j = i + 1; j <= i + size; ++j) {
            if (rows[j].stack || rows[j].number != number + int(j - i))
                return std::nullopt;
        }
        QList<TrackRow> after = rows;
        after[i].open = false;
        after.remove(i + 1, size);
        return after;
    }
    return std::nullopt;
}

std::optional<QList<TrackRow>> TrackList::withTail(const QList<TrackRow>& kept,
                                                   const QList<TrackRow>& tail) {
    if (tail.isEmpty())
        return std::nullopt;
    const TrackRow& joint = tail.first();
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const TrackRow& k = kept[i];
        if (k.number != joint.number)
            continue;
        if (k.name != joint.name || k.stack != joint.stack)
            return std::nullopt;
        QList<TrackRow> all = kept.mid(0, i);
        for (TrackRow& r : all)
            r.element = {};
        return all + tail;
    }
    return std::nullopt;
}

TrackList::Picked TrackList::freeRowsNamed(const QList<TrackRow>& rows, const QStringList& names,
                                           const QSet<QString>& madeStacks,
                                           const QHash<QString, int>& stackSizes, int ownFrom) {
    // Rows of the stacks made so far: an open stack's tracks follow its row.
    QSet<int> taken;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const TrackRow& r = rows[i];
        if (!r.stack || !madeStacks.contains(r.name) || r.open == false)
            continue;
        const int size = stackSizes.value(r.name);
        for (qsizetype j = i + 1; j < rows.size() && j <= i + size; ++j)
            taken.insert(rows[j].number);
    }
    Picked picked;
    for (const QString& n : names) {
        // A track of this send rather than one the project held (sorting may have moved
        // those), else the oldest: the files came in in job order, and the jobs before this
        // one took their tracks of the same name already, so the first free row of a name is
        // this job's file of that name.
        const TrackRow* best = nullptr;
        int bestRank = -1;
        for (const TrackRow& r : rows) {
            if (r.stack || taken.contains(r.number) || r.name != n)
                continue;
            const int rank = r.number > ownFrom ? 1 : 0;
            if (!best || rank > bestRank || (rank == bestRank && r.number < best->number)) {
                best = &r;
                bestRank = rank;
            }
        }
        if (!best) {
            picked.missing << n;
            continue;
        }
        taken.insert(best->number);
        picked.found << *best;
    }
    return picked;
}

std::optional<std::pair<int, QString>> LogicSender::parseRow(const QString& description,
                                                             const std::optional<QString>& name) {
    return TrackList::parseRow(description, name);
}

std::optional<std::pair<int, QString>> LogicSender::rowOf(const Element& row) {
    const AXValue d = read(row, kDescription);
    const auto* text = std::get_if<QString>(&d);
    if (!text)
        return std::nullopt;
    return parseRow(*text, nameOf(row, *text));
}

QString LogicSender::rowDescription(const Element& row) {
    const QList<AXValue> values = AXProbe::readAll(
        platform_, row, {kDescription, Ax::Attr::children, Ax::Attr::position, Ax::Attr::size});
    const auto* text = std::get_if<QString>(&values[0]);
    return text ? *text : QString();
}

std::optional<QString> LogicSender::nameOf(const Element& row, const QString& description) {
    // Logic in English describes a row as "Track 3 “Bass DI”": the name in the quotes, read
    // with the description in one call. In another language the words and the quotes are
    // translated, and the name comes from the row's name field.
    if (description.startsWith(QLatin1String("Track ")) && description.contains(QChar(0x201C)))
        return std::nullopt;
    return nameInField(row);
}

std::optional<QString> LogicSender::nameInField(const Element& row) {
    // The name field's description is the track's name, also while the field is being edited
    // (its value is then the text typed so far). The field is among the row's last children
    // (before the track's icon only), so they are looked at from the end.
    const QList<Element> children = AXProbe::kids(platform_, row);
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        const Element& child = *it;
        if (str(child, Ax::Attr::role) != Ax::Role::textField)
            continue;
        const AXValue v = read(child, kDescription);
        if (const auto* name = std::get_if<QString>(&v))
            return *name;
        return std::nullopt;
    }
    return std::nullopt;
}

void LogicSender::readHeader(const QStringList& more) {
    if (cachedHeader_)
        AXProbe::readAll(
            platform_, cachedHeader_,
            QStringList{Ax::Attr::children, kDescription, Ax::Attr::position, Ax::Attr::size} +
                more);
}

std::optional<QList<TrackRow>> LogicSender::rowsOnScreen(bool kinds) {
    readHeader();
    const Element container = tracksHeader();
    if (!container)
        return std::nullopt;
    const AXValue children = read(container, Ax::Attr::children);
    const auto* list = std::get_if<QList<Element>>(&children);
    if (!list)
        return std::nullopt;
    QList<TrackRow> rows;
    shownRows_.clear();
    for (const Element& child : *list) {
        rowDescription(child); // the children come with it, for the name field and the arrow
        const AXValue d = read(child, kDescription);
        const auto* text = std::get_if<QString>(&d);
        if (!text)
            return std::nullopt; // a row that cannot be read: the page is not known
        const auto parsed = parseRow(*text, nameOf(child, *text));
        if (!parsed)
            continue;
        TrackRow row{child, parsed->first, parsed->second, false, std::nullopt};
        shownRows_.insert(row.number, child);
        if (kinds) {
            if (const Element t = triangleOf(child)) {
                row.stack = true;
                row.open = isOpen(t);
            }
        }
        rows << row;
    }
    return rows;
}

bool LogicSender::listMayContinue(const QList<TrackRow>& rows) {
    if (rows.isEmpty())
        return false;
    const std::optional<Rect> list = frame(tracksHeader());
    const std::optional<Rect> last = frame(rows.last().element);
    if (!list || !last)
        return true;
    // Another row would not fit below the last one.
    return last->origin.y + 2 * last->size.height > list->origin.y + list->size.height;
}

bool LogicSender::holdsRowsOffScreen(const QList<TrackRow>& rows) {
    if (rows.isEmpty())
        return false;
    const std::optional<Rect> list = frame(tracksHeader());
    const std::optional<Rect> last = frame(rows.last().element);
    return list && last && last->origin.y >= list->origin.y + list->size.height;
}

void LogicSender::scrollList(int lines) {
    const std::optional<Rect> list = frame(tracksHeader());
    if (!list)
        return;
    const Point p = list->center();
    mouse(MouseEventType::moved, p);
    platform_.input().postMouse(MouseEvent{MouseEventType::scrollWheel, p, 0, 0, lines});
    pause(30ms);
}

std::optional<QList<TrackRow>> LogicSender::allRows(bool kinds) {
    std::optional<QList<TrackRow>> page = rowsOnScreen(kinds);
    if (!page || page->isEmpty())
        return page;
    // The whole list on screen: the first track is shown and there is room below the last; or
    // the whole list in the tree: it starts at the first track and holds rows below the screen.
    if (page->first().number == 1 && (!listMayContinue(*page) || holdsRowsOffScreen(*page)))
        return page;
    scrollList(1 << 20);
    QList<TrackRow> all;
    for (int pages = 0; pages < 1000; ++pages) {
        throwIfCancelled();
        page = rowsOnScreen(kinds);
        if (!page)
            return std::nullopt;
        for (TrackRow& r : all)
            r.element = {};
        int added = 0;
        for (const TrackRow& r : std::as_const(*page)) {
            if (all.isEmpty() || r.number > all.last().number) {
                all << r;
                ++added;
            }
        }
        // Elements of this page that were already listed are on screen too.
        for (const TrackRow& r : std::as_const(*page))
            for (TrackRow& a : all)
                if (a.number == r.number)
                    a.element = r.element;
        if (added == 0 || !listMayContinue(*page))
            break;
        scrollList(-std::max<int>(1, int(page->size()) - 1));
    }
    return all;
}

std::optional<QList<TrackRow>> LogicSender::listedRows(bool* fresh) {
    if (fresh)
        *fresh = false;
    if (trackList_.holds(changes())) {
        if (!trackList_.tailOpen())
            return trackList_.rows();
        // Tracks came in at the end: the rows from the last kept one on are read again.
        const long long since = changes();
        const std::optional<QList<TrackRow>> tail = tailRows();
        const std::optional<QList<TrackRow>> all =
            tail ? TrackList::withTail(trackList_.rows(), *tail) : std::nullopt;
        trackList_.unchanged(since, changes()); // scrolling changes no row
        if (all) {
            trackList_.keep(*all, changes());
            return all;
        }
    }
    std::optional<QList<TrackRow>> rows = allRows(true);
    if (rows) {
        trackList_.keep(*rows, changes());
        if (fresh)
            *fresh = true;
    } else {
        trackList_.invalidate();
    }
    return rows;
}

std::optional<QList<TrackRow>> LogicSender::tailRows() {
    const std::optional<QList<TrackRow>> kept =
        trackList_.holds(changes()) ? std::optional(trackList_.rows()) : std::nullopt;
    if (!kept || kept->isEmpty())
        return std::nullopt;
    const auto children = [this]() -> std::optional<QList<Element>> {
        readHeader();
        const AXValue v = read(tracksHeader(), Ax::Attr::children);
        const auto* list = std::get_if<QList<Element>>(&v);
        return list ? std::optional(*list) : std::nullopt;
    };
    std::optional<QList<Element>> list = children();
    if (!list || list->isEmpty())
        return std::nullopt;
    // Where only the rows on screen are in the tree, the end of the list is brought on screen.
    const auto lastOf = [&](const QList<Element>& elements) -> std::optional<TrackRow> {
        const Element e = elements.last();
        const QString d = rowDescription(e);
        const auto parsed = parseRow(d, nameOf(e, d));
        return parsed ? std::optional(TrackRow{e, parsed->first, parsed->second, false, {}})
                      : std::nullopt;
    };
    const std::optional<TrackRow> last = lastOf(*list);
    if (!last)
        return std::nullopt;
    if (listMayContinue({*last}) && !holdsRowsOffScreen({*last})) {
        scrollList(-(1 << 20));
        list = children();
        if (!list || list->isEmpty())
            return std::nullopt;
    }
    QHash<int, const TrackRow*> byNumber;
    for (const TrackRow& r : *kept)
        byNumber.insert(r.number, &r);
    QList<TrackRow> tail;
    for (auto it = list->crbegin(); it != list->crend(); ++it) {
        const QString d = rowDescription(*it);
        if (d.isNull())
            return std::nullopt;
        const auto parsed = parseRow(d, nameOf(*it, d));
        if (!parsed)
            continue;
        TrackRow row{*it, parsed->first, parsed->second, false, std::nullopt};
        if (const Element t = triangleOf(*it)) {
            row.stack = true;
            row.open = isOpen(t);
        }
        shownRows_.insert(row.number, *it);
        tail.prepend(row);
        const TrackRow* known = byNumber.value(row.number);
        if (known && known->name == row.name && known->stack == row.stack)
            return tail;
    }
    return std::nullopt;
}

void LogicSender::noteStackMade(long long since, int number, const QString& name,
                                const QList<TrackRow>& members) {
    QList<int> numbers;
    for (const TrackRow& m : members)
        numbers << m.number;
    const long long before = changes();
    const Element row = showRow(number);
    const Element t = row ? triangleOf(row) : Element();
    const std::optional<bool> open = t ? isOpen(t) : std::nullopt;
    if (!open || changes() != before) {
        trackList_.invalidate();
        return;
    }
    trackList_.stackMade(since, changes(), number, name, numbers, *open);
}

QList<TrackRow> LogicSender::freeRowsNamed(const QString& group, const QStringList& names) {
    // From the rows kept while they hold; those are checked by name before they are used, and
    // the list is read afresh when one does not hold.
    TrackList::Picked picked;
    for (int pass = 0; pass < 2; ++pass) {
        std::optional<QList<TrackRow>> rows;
        bool fresh = false;
        waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic's track list"), 20s, [&] {
            rows = listedRows(&fresh);
            return rows.has_value();
        });
        picked = TrackList::freeRowsNamed(*rows, names, madeStacks, stackSizes, ownFrom_);
        if (fresh)
            break;
        const long long since = changes();
        bool right = picked.missing.isEmpty();
        for (TrackRow& r : picked.found) {
            if (!right)
                break;
            const Element e = showRow(r.number);
            const auto parsed = e ? rowOf(e) : std::nullopt;
            right = parsed && parsed->first == r.number && parsed->second == r.name;
            r.element = e;
        }
        if (right) {
            trackList_.unchanged(since, changes()); // scrolling changes no row
            break;
        }
        trackList_.invalidate();
    }
    if (!picked.missing.isEmpty())
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Couldn't find the %1 tracks in Logic "
                                                    "(missing: %2).")
                            .arg(group, picked.missing.join(QStringLiteral(", "))));
    return picked.found;
}

std::optional<int> LogicSender::trackCount() {
    // The last row's number (the list scrolled to its end when it may go on), and the tracks
    // of a closed stack below it when it is one of ours. Only the last row is read.
    const auto lastRow = [this]() -> std::optional<TrackRow> {
        readHeader();
        const AXValue children = read(tracksHeader(), Ax::Attr::children);
        const auto* list = std::get_if<QList<Element>>(&children);
        if (!list)
            return std::nullopt;
        for (auto it = list->crbegin(); it != list->crend(); ++it) {
            const QString text = rowDescription(*it);
            if (text.isNull())
                return std::nullopt;
            if (const auto parsed = parseRow(text, nameOf(*it, text)))
                return TrackRow{*it, parsed->first, parsed->second, false, std::nullopt};
        }
        return TrackRow{};
    };
    std::optional<TrackRow> last = lastRow();
    if (!last)
        return std::nullopt;
    if (last->number == 0)
        return 0;
    if (listMayContinue({*last}) && !holdsRowsOffScreen({*last})) {
        scrollList(-(1 << 20));
        last = lastRow();
        if (!last || last->number == 0)
            return std::nullopt;
    }
    int count = last->number;
    if (const Element t = triangleOf(last->element); t && isOpen(t) == false)
        count += stackSizes.value(last->name, 0);
    return count;
}

Element LogicSender::showRow(int number) {
    // The row element that showed it at the last read, when it still does.
    if (const Element known = shownRows_.value(number)) {
        rowDescription(known);
        if (const auto parsed = rowOf(known); parsed && parsed->first == number)
            return known;
    }
    for (int attempt = 0; attempt < 60; ++attempt) {
        const std::optional<QList<TrackRow>> page = rowsOnScreen(false);
        if (!page)
            continue;
        if (page->isEmpty())
            return {};
        for (const TrackRow& r : *page)
            if (r.number == number)
                return r.element;
        const int first = page->first().number, last = page->last().number;
        if (number > first && number < last)
            return {}; // inside a closed stack
        // A page at a time (two rows kept): a row just past the page comes in at its far side,
        // with the rows after it, which are often the next ones wanted.
        const int step = std::max(1, int(page->size()) - 2);
        scrollList(number < first ? step : -step);
    }
    return {};
}

QList<TrackRow> LogicSender::selectedRows() {
    QList<TrackRow> out;
    readHeader({Ax::Attr::selectedChildren});
    const Element container = tracksHeader();
    const AXValue v = read(container, Ax::Attr::selectedChildren);
    const auto* list = std::get_if<QList<Element>>(&v);
    if (!list)
        return out;
    for (const Element& e : *list) {
        rowDescription(e);
        const auto parsed = rowOf(e);
        if (!parsed)
            continue;
        TrackRow row{e, parsed->first, parsed->second, false, std::nullopt};
        if (const Element t = triangleOf(e)) {
            row.stack = true;
            row.open = isOpen(t);
        }
        out << row;
    }
    return out;
}

bool LogicSender::selectionHolds(const QList<int>& numbers) {
    // Only the rows on screen tell whether they are selected: those must be exactly the ones
    // of numbers that are on screen, and at least one must be. When every one of numbers is
    // selected and nothing else is, they are all on screen: the rows need not be read.
    QList<int> selected;
    for (const TrackRow& r : selectedRows())
        selected << r.number;
    std::sort(selected.begin(), selected.end());
    QList<int> all = numbers;
    std::sort(all.begin(), all.end());
    if (!selected.isEmpty() && selected == all)
        return true;
    const std::optional<QList<TrackRow>> page = rowsOnScreen(false);
    if (!page)
        return false;
    QList<int> expected;
    for (const TrackRow& r : *page) {
        if (numbers.contains(r.number))
            expected << r.number;
    }
    std::sort(expected.begin(), expected.end());
    return !expected.isEmpty() && expected == selected;
}

void LogicSender::selectRows(const QList<TrackRow>& rows) {
    if (rows.isEmpty())
        return;
    const RowsKept kept(*this); // a selection changes no row
    QList<int> numbers;
    for (const TrackRow& r : rows)
        numbers << r.number;
    std::sort(numbers.begin(), numbers.end());
    const auto selectedNumbers = [&] {
        QList<int> n;
        for (const TrackRow& r : selectedRows())
            n << r.number;
        std::sort(n.begin(), n.end());
        return n;
    };

    // On screen together: one write, checked. The rows of the last page read are tried first.
    showRow(numbers.first());
    QList<Element> known;
    for (const int n : std::as_const(numbers)) {
        const Element e = shownRows_.value(n);
        const auto parsed = e ? (rowDescription(e), rowOf(e)) : std::nullopt;
        if (!parsed || parsed->first != n)
            break;
        known << e;
    }
    if (known.size() == numbers.size()) {
        select(known, tracksHeader());
        if (selectedNumbers() == numbers)
            return;
    } else if (const std::optional<QList<TrackRow>> page = rowsOnScreen(false)) {
        QList<Element> elements;
        for (const TrackRow& r : *page)
            if (numbers.contains(r.number))
                elements << r.element;
        if (elements.size() == numbers.size()) {
            select(elements, tracksHeader());
            if (selectedNumbers() == numbers)
                return;
        }
    }

    // Across pages: clicks, the list scrolled to each row in turn.
    bool run = true;
    for (qsizetype i = 1; i < numbers.size(); ++i)
        run = run && numbers[i] == numbers[i - 1] + 1;
    const auto clickRow = [&](int number, std::uint64_t flags) {
        const Element e = showRow(number);
        const std::optional<Point> spot = e ? rowSpot(e) : std::nullopt;
        if (!spot)
            throw SendError(QCoreApplication::translate(
                                "Vantrel::Sender", "Couldn't bring track %1 into view in Logic.")
                                .arg(number));
        const Point p = *spot;
        mouse(MouseEventType::moved, p);
        pause(20ms);
        click(p, 1, flags);
        pause(40ms);
    };
    clickRow(numbers.first(), 0);
    if (run && numbers.size() > 1) {
        clickRow(numbers.last(), EventFlags::shift);
    } else {
        for (qsizetype i = 1; i < numbers.size(); ++i)
            clickRow(numbers[i], EventFlags::command);
    }
    pause(80ms);
}

// --- Whether the project in front is empty.

bool LogicSender::regionsOnScreen() {
    // Each track row has a lane in the track list's contents; a region on it is an item of the
    // lane. Only the project in front counts: another open project is not the send's.
    const Element main = mainWindow();
    const Element contents = main ? trackListPart(main, TrackListPart::contents) : Element();
    for (const Element& lane : AXProbe::kids(platform_, contents)) {
        for (const Element& item : AXProbe::kids(platform_, lane)) {
            if (str(item, Ax::Attr::role) == Ax::Role::layoutItem)
                return true;
        }
    }
    return false;
}

std::optional<bool> LogicSender::projectIsEmpty() {
    const std::optional<int> count = trackCount();
    if (!count)
        return std::nullopt;
    if (*count == 0)
        return true;
    std::optional<QList<TrackRow>> page = rowsOnScreen(true);
    if (!page)
        return std::nullopt;
    const bool whole = page->isEmpty() || (page->first().number == 1 && !listMayContinue(*page));
    if (!whole)
        scrollList(1 << 20);
    for (int pages = 0; pages < 1000; ++pages) {
        throwIfCancelled();
        page = rowsOnScreen(true);
        if (!page)
            return std::nullopt;
        for (const TrackRow& r : std::as_const(*page)) {
            if (r.stack)
                return false;
        }
        if (regionsOnScreen())
            return false;
        if (whole || page->isEmpty() || !listMayContinue(*page))
            break;
        scrollList(-std::max<int>(1, int(page->size()) - 1));
    }
    return true;
}

void LogicSender::requireEmptyProject() {
    // Empty tracks (a new project's first track) are no one's work; a stack or a region is.
    std::optional<bool> empty;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic's track list"), 30s, [&] {
        empty = projectIsEmpty();
        return empty.has_value();
    });
    if (!*empty)
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Open Logic Pro with an empty project first."));
}

// --- Late questions.

bool LogicSender::answerDialogs() {
    bool answered = false;
    if (const Element options = optionsWindow()) {
        // "Create new tracks" by its title, else as the first of the two choices; "OK" by its
        // title, else as the dialog's default button.
        Element createNew = findIn(options, [&](const Element& e) {
            return str(e, Ax::Attr::title) == u"Create new tracks";
        });
        if (!createNew)
            createNew = findIn(options, [&](const Element& e) {
                return str(e, Ax::Attr::role) == Ax::Role::radioButton;
            });
        press(createNew);
        pause(300ms);
        Element ok =
            findIn(options, [&](const Element& e) { return str(e, Ax::Attr::title) == u"OK"; });
        if (!ok)
            ok = AXProbe::element(platform_, options, Ax::Attr::defaultButton);
        press(ok);
        answered = true;
    }
    if (const Element question = alert()) {
        const Element button = dontImportButton(question);
        if (button) {
            press(button);
            answered = true;
        }
    }
    return answered;
}

// --- The closing comparison: read here, compared in SessionCheck.

namespace {

QList<SessionCheck::Row> sessionRows(const QList<TrackRow>& rows) {
    QList<SessionCheck::Row> out;
    out.reserve(rows.size());
    for (const TrackRow& r : rows)
        out << SessionCheck::Row{r.number, r.name, r.stack, r.open};
    return out;
}

} // namespace

QStringList LogicSender::checkSession(const QList<SendJob>& jobs, bool arranged) {
    throwIfCancelled();
    std::optional<QList<TrackRow>> rows = allRows(true);
    if (!rows)
        return {QCoreApplication::translate("Vantrel::Sender",
                                            "Logic's track list could not be read back")};
    // The fold state is read before any stack is opened.
    const QList<SessionCheck::Row> folded = sessionRows(*rows);

    // Closed stacks hide their tracks: opening them tells which. An option-click on a stack's
    // arrow opens or closes every stack; an arrow on screen is taken first, since a click
    // reaches only those.
    const bool anyClosed = std::any_of(
        rows->cbegin(), rows->cend(), [](const TrackRow& r) { return r.stack && r.open == false; });
    const auto toggleAll = [&](const QList<TrackRow>& list, bool closedOnly) {
        for (int pass = 0; pass < 2; ++pass) {
            for (const TrackRow& r : list) {
                if (!r.stack || (closedOnly && r.open != false))
                    continue;
                const Element row = pass == 0 ? r.element : showRow(r.number);
                const Element t = row ? triangleOf(row) : Element();
                const std::optional<Rect> f = t ? frame(t) : std::nullopt;
                if (f && (pass == 1 || safelyVisible(f))) {
                    optionClick(f->center(), 100ms, 80ms, 400ms);
                    return true;
                }
            }
        }
        return false;
    };
    if (anyClosed) {
        const auto allOpen = [&] {
            rows = allRows(true);
            if (!rows)
                return false;
            for (const TrackRow& r : *rows)
                if (r.stack && r.open == false)
                    return false;
            return true;
        };
        bool opened = false;
        for (int attempt = 0; attempt < 3 && !opened; ++attempt) {
            throwIfCancelled();
            answerDialogs(); // a question left open would take the click
            if (!toggleAll(*rows, true))
                break;
            opened = waitUntil(QStringLiteral("the stacks to open"), 2s, allOpen);
            if (!rows)
                rows = allRows(true);
            if (!rows)
                break;
        }
        if (!opened || !rows)
            return {QCoreApplication::translate(
                "Vantrel::Sender", "the closed stacks could not be opened to check them")};
    }

    const SessionCheck::Expected expected{jobs,          arranged,      imports_,
                                          tracksAtStart, namesAtStart_, madeStacks};
    const SessionCheck::Observed observed{folded, sessionRows(*rows)};
    QStringList problems = SessionCheck::compareSession(expected, observed);

    // Colours, where the Color window tells the colour of the selected track.
    if (arranged && problems.isEmpty()) {
        if (const std::optional<QString> wrong =
                checkColors(*rows, SessionCheck::stackOfRows(expected, observed),
                            SessionCheck::stackColors(jobs)))
            problems << *wrong;
    }

    if (anyClosed && rows)
        toggleAll(*rows, false); // close them again
    return problems;
}

std::optional<QString>
LogicSender::checkColors(const QList<TrackRow>& rows, const QHash<int, QString>& stackOf,
                         const QHash<QString, std::optional<Swatch>>& colorOf) {
    if (rows.isEmpty())
        return std::nullopt;
    if (!colorsReadable_) {
        note(QCoreApplication::translate(
            "Vantrel::Sender",
            "(Logic does not show which color a track has: colors not checked)"));
        return std::nullopt;
    }
    QHash<int, TrackRow> byNumber;
    for (const TrackRow& r : rows)
        byNumber.insert(r.number, r);
    bool readable = true;
    // Each row is selected and its colour read from the Color window, up to three times when a
    // person changes the selection meanwhile.
    const auto read = [&](const SessionCheck::Row& row) {
        using Read = SessionCheck::ColorRead;
        throwIfCancelled();
        const TrackRow r = byNumber.value(row.number);
        const auto stack = stackOf.constFind(row.number);
        const std::optional<Swatch> likely =
            stack != stackOf.cend() ? colorOf.value(*stack) : std::nullopt;
        std::optional<std::optional<Swatch>> have;
        for (int attempt = 0; attempt < 3 && !have; ++attempt) {
            selectRows({r});
            if (!colorWindow()) {
                bestEffort([&] {
                    choose({QStringLiteral("Track"), QStringLiteral("Assign Track Color…")}, true);
                    waitFor(QCoreApplication::translate("Vantrel::Sender", "the Color window"), 6s,
                            [&] { return bool(colorWindow()); });
                });
            }
            if (!selectionHolds({r.number}))
                continue;
            have = colorOfSelection(likely);
            if (!have) {
                readable = false;
                return Read{Read::Kind::unreadable, {}};
            }
            if (!selectionHolds({r.number}))
                have.reset(); // a person clicked meanwhile: read again
        }
        return have ? Read{Read::Kind::shown, *have} : Read{Read::Kind::unknown, {}};
    };
    const std::optional<QString> wrong =
        SessionCheck::firstWrongColor(sessionRows(rows), stackOf, colorOf, ownFrom_, read);
    closeColorWindow();
    if (!readable)
        note(QCoreApplication::translate(
            "Vantrel::Sender",
            "(Logic does not show which color a track has: colors not checked)"));
    return wrong;
}

void LogicSender::closingCheck(const QList<SendJob>& jobs, bool arranged) {
    if (const std::optional<QString> message =
            SessionCheck::closingMessage(checkSession(jobs, arranged)))
        throw SendError(*message);
}

} // namespace Vantrel
