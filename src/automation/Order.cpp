// Track and stack order: the closing phase that folds the stacks, puts them in rule order,
// deletes unused tracks and checks that every member went into its stack.

#include "automation/LogicSender.h"

#include <QCoreApplication>

#include <algorithm>

namespace Vantrel {

using namespace std::chrono_literals;

using SessionCheck::joined;

void LogicSender::foldAndOrder(const QList<SendJob>& jobs) {
    report(QCoreApplication::translate("Vantrel::Sender", "Folding stacks"), SendPhase::fold);
    bestEffort([this] { front(); });
    foldOpenStacks();
    pause(300ms);

    report(QCoreApplication::translate("Vantrel::Sender", "Putting the stacks in order"),
           SendPhase::order);
    note(QCoreApplication::translate("Vantrel::Sender", "before the sort: %1")
             .arg(joined(trackNames())),
         progressOf(SendPhase::order));
    const auto inOrder = [&] { return topLevelInOrder(jobs); };
    if (inOrder()) {
        // Sorting would only move the tracks outside the stacks, made first, above them.
        note(QCoreApplication::translate("Vantrel::Sender",
                                         "(the order is right already: no sort)"));
    } else {
        // The sort puts the stacks in the order they were made; the tracks outside them, made
        // earlier by the import, then stand above them and are moved below.
        bestEffort([this] {
            choose({QStringLiteral("Track"), QStringLiteral("Sort Tracks by"),
                    QStringLiteral("Creation Date")},
                   true);
        });
        pause(500ms);
        note(QCoreApplication::translate("Vantrel::Sender", "after the sort: %1")
                 .arg(joined(trackNames())),
             progressOf(SendPhase::order, 1));
        if (!inOrder()) {
            note(QCoreApplication::translate(
                     "Vantrel::Sender", "(the order is not right: dragging the rows into place)"),
                 progressOf(SendPhase::order, 1));
            bestEffort([&] { reorderSession(jobs); });
        }
    }

    deleteUnusedTracks(true);
    pause(400ms);

    report(
        QCoreApplication::translate("Vantrel::Sender", "order now: %1").arg(joined(trackNames())),
        SendPhase::check);
    report(QCoreApplication::translate("Vantrel::Sender", "Checking the session"),
           SendPhase::check);
    closingCheck(jobs, true);
    report(QCoreApplication::translate("Vantrel::Sender", "Done"), SendPhase::done);
}

bool LogicSender::topLevelInOrder(const QList<SendJob>& jobs) {
    const std::optional<QList<TopRow>> top = topRows();
    const QList<TopRow> wanted = wantedOrder(jobs);
    if (!top || top->size() != wanted.size())
        return false;
    for (qsizetype i = 0; i < wanted.size(); ++i) {
        if ((*top)[i].stack != wanted[i].stack || (*top)[i].name != wanted[i].name)
            return false;
    }
    return true;
}

QList<LogicSender::TopRow> LogicSender::wantedOrder(const QList<SendJob>& jobs) const {
    return SessionCheck::wantedOrder(jobs);
}

std::optional<QList<LogicSender::TopRow>> LogicSender::topRows() {
    const std::optional<QList<TrackRow>> rows = listedRows();
    if (!rows)
        return std::nullopt;
    QList<TopRow> top;
    for (qsizetype i = 0; i < rows->size(); ++i) {
        const TrackRow& r = (*rows)[i];
        // The tracks the project held before the send stay where they are.
        if (r.number <= tracksAtStart && !r.stack)
            continue;
        top << TopRow{r.name, r.stack, r.number};
        // The tracks of an open stack follow its row; they are not rows of the top level.
        if (r.stack && r.open != false) {
            const int size = stackSizes.value(r.name, 0);
            while (i + 1 < rows->size() && !(*rows)[i + 1].stack &&
                   (*rows)[i + 1].number <= r.number + size)
                ++i;
        }
    }
    return top;
}

void LogicSender::reorderSession(const QList<SendJob>& jobs) {
    front();
    const QList<TopRow> wanted = wantedOrder(jobs);
    // Position by position, the row that belongs there is found below and dragged up. A row
    // is known by its kind and name (a loose track may carry a group's name: it is no stack),
    // and by its number at the moment of the drag.
    const auto same = [](const TopRow& a, const TopRow& b) {
        return a.stack == b.stack && a.name == b.name;
    };
    int failures = 0;
    for (qsizetype e = 0; e < wanted.size() && failures < 3;) {
        throwIfCancelled();
        const std::optional<QList<TopRow>> top = topRows();
        if (!top || e >= top->size())
            return;
        if (same((*top)[e], wanted[e])) {
            ++e;
            continue;
        }
        qsizetype from = -1;
        for (qsizetype j = e + 1; j < top->size() && from < 0; ++j) {
            if (same((*top)[j], wanted[e]))
                from = j;
        }
        if (from < 0) {
            ++e; // not there: the closing check says so
            continue;
        }
        report(QCoreApplication::translate("Vantrel::Sender", "Moving %1 to position %2")
                   .arg(wanted[e].name)
                   .arg(e + 1),
               SendPhase::order, 1);
        const bool dragged = moveRowAbove((*top)[from].number, (*top)[e].number);
        // A drag that left the row where it was counts as failed too.
        const std::optional<QList<TopRow>> after = dragged ? topRows() : std::nullopt;
        if (!after || e >= after->size() || !same((*after)[e], wanted[e]))
            ++failures;
    }
    report(
        QCoreApplication::translate("Vantrel::Sender", "order now: %1").arg(joined(trackNames())),
        SendPhase::order, 1);
}

bool LogicSender::moveRowAbove(int from, int to) {
    // A drag reaches only rows on screen: a row far below is dragged to the top of the page in
    // hops, the list scrolled up between them, until the target is on screen with it.
    for (int hop = 0; hop < 400; ++hop) {
        throwIfCancelled();
        const Element moved = showRow(from);
        std::optional<QList<TrackRow>> page = rowsOnScreen(false);
        if (!moved || !page)
            return false;
        // Only rows inside the list's visible part take a drag, wherever the tree puts others.
        const std::optional<Rect> list = frame(tracksHeader());
        page->removeIf([&](const TrackRow& r) {
            const std::optional<Rect> f = frame(r.element);
            return !list || !f || !list->contains(f->center());
        });
        const bool movedShown = std::any_of(page->cbegin(), page->cend(),
                                            [&](const TrackRow& r) { return r.number == from; });
        if (!movedShown || page->isEmpty())
            return false;
        Element target;
        for (const TrackRow& r : *page) {
            if (r.number == to)
                target = r.element;
        }
        if (target)
            return dragHeader(moved, target);
        const TrackRow top = page->first();
        if (top.number <= to)
            return false; // the target is not a row of the list
        if (top.number >= from) {
            // The moved row heads the page: the list is scrolled up to make room above it.
            scrollList(std::max<int>(1, int(page->size()) - 2));
            continue;
        }
        if (!dragHeader(moved, top.element))
            return false;
        from = top.number;
        scrollList(std::max<int>(1, int(page->size()) - 2));
    }
    return false;
}

void LogicSender::deleteUnusedTracks(bool verified) {
    // Only a project that was empty when the send began: an empty track the user had stays.
    if (tracksAtStart > 0) {
        note(QCoreApplication::translate(
            "Vantrel::Sender", "(the project held tracks before the send: none is deleted)"));
        return;
    }
    bestEffort([&] {
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Delete Unused Tracks")}, verified);
    });
}

bool LogicSender::dragHeader(const Element& moved, const Element& above) {
    const std::optional<Rect> a = frame(moved);
    const std::optional<Rect> b = frame(above);
    if (!a || !b)
        return false;
    const double x = a->origin.x + 8;
    const double y0 = a->origin.y + a->size.height / 2;
    const double yT = b->origin.y + 3;
    mouse(MouseEventType::moved, {x, y0});
    pause(150ms);
    mouse(MouseEventType::leftDown, {x, y0}, 0, 1);
    pause(120ms);
    for (int i = 1; i <= 24; ++i) {
        mouse(MouseEventType::leftDragged, {x, y0 + (yT - y0) * i / 24}, 0, 1);
        pause(20ms);
    }
    pause(250ms);
    mouse(MouseEventType::leftUp, {x, yT}, 0, 1);
    pause(500ms);
    return true;
}

} // namespace Vantrel
