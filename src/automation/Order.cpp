// Track and stack order: the sorted run (group names in front of track names, so a sort by
// name brings each group together), and the closing phase that folds the stacks, puts them in
// rule order, deletes unused tracks and checks that every member went into its stack.

#include "automation/LogicSender.h"

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

QString joined(const QStringList& names) {
    return names.join(QStringLiteral(", "));
}

} // namespace

void LogicSender::runSorted(const QList<SendJob>& jobs) {
    checkPreconditions(QStringLiteral("Open Logic Pro with an empty project first."));
    countAtStart(true);
    const QStringList files = dragURLs(jobs);
    report(QStringLiteral("Dragging %1 files into Logic").arg(files.size()), 0.02);
    importByDrag(files, QStringLiteral("Importing"), 0.02, 0.35);

    front();
    report(QStringLiteral("Sorting the tracks by name"), 0.4);
    choose(
        {QStringLiteral("Track"), QStringLiteral("Sort Tracks by"), QStringLiteral("Track Name")},
        true);
    pause(500ms);
    QList<SendJob> grouped;
    for (const SendJob& job : jobs) {
        if (job.group)
            grouped << job;
    }
    const double u = grouped.size() < 2 ? 1 : double(grouped.size());
    for (qsizetype w = 0; w < grouped.size(); ++w) {
        const SendJob& job = grouped[w];
        throwIfCancelled();
        report(QStringLiteral("Stacking ") + *job.group, 0.42 + 0.45 * double(w) / u);
        const QStringList names = memberNames(job);
        makeStack(*job.group, freeRowsNamed(*job.group, names));
        if (job.color) {
            applyColor(*job.group, names, *job.color);
            closeColorWindow();
        }
    }
    foldAndOrder(jobs);
}

void LogicSender::foldAndOrder(const QList<SendJob>& jobs) {
    QStringList wanted;
    for (const SendJob& job : jobs) {
        if (job.group)
            wanted << *job.group;
    }

    report(QStringLiteral("Folding stacks"), 0.9);
    bestEffort([this] { front(); });
    foldOpenStacks();
    pause(300ms);

    report(QStringLiteral("Putting the stacks in order"), 0.94);
    report(QStringLiteral("  before the sort: ") + joined(trackNames()), 0.94);
    bestEffort([this] {
        choose({QStringLiteral("Track"), QStringLiteral("Sort Tracks by"),
                QStringLiteral("Creation Date")},
               true);
    });
    pause(500ms);

    QStringList names = trackNames();
    report(QStringLiteral("  after the sort: ") + joined(names), 0.96);
    QStringList present;
    for (const QString& n : std::as_const(names)) {
        if (wanted.contains(n))
            present << n;
    }
    if (present != wanted) {
        report(QStringLiteral("  (the order is not right: ") + joined(present) +
                   QStringLiteral("; dragging the stacks into place)"),
               0.96);
        bestEffort([&] { reorderStacks(wanted); });
    }

    deleteUnusedTracks(true);
    pause(400ms);

    report(QStringLiteral("order now: ") + joined(trackNames()), 0.99);
    report(QStringLiteral("Checking the session"), 0.99);
    closingCheck(jobs);
    report(QStringLiteral("Done"), 1.0);
}

void LogicSender::deleteUnusedTracks(bool verified) {
    // Only a project that was empty when the send began: an empty track the user had stays.
    if (tracksAtStart > 0) {
        note(QStringLiteral("  (the project held tracks before the send: none is deleted)"));
        return;
    }
    bestEffort([&] {
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Delete Unused Tracks")}, verified);
    });
}

void LogicSender::reorderStacks(const QStringList& wanted) {
    front();
    for (qsizetype e = 0; e < wanted.size(); ++e) {
        throwIfCancelled();
        const QStringList names = trackNames();
        QStringList present;
        for (const QString& w : wanted) {
            if (names.contains(w))
                present << w;
        }
        if (e >= present.size())
            break;
        const QString target = present[e];
        if (names.size() < e + 1 || names[e] == target)
            continue;
        const QList<Element> headers = trackHeaders();
        Element moved;
        for (const Element& h : headers) {
            if (str(h, QStringLiteral("AXDescription"))
                    .contains(QStringLiteral("“") + target + QStringLiteral("”"))) {
                moved = h;
                break;
            }
        }
        if (!moved || headers.size() <= e)
            continue;
        // At the fraction of the phase it belongs to, so that the progress never goes back.
        report(QStringLiteral("Moving %1 to position %2").arg(target).arg(e + 1), 0.96);
        dragHeader(moved, headers[e]);
    }
    report(QStringLiteral("order now: ") + joined(trackNames()), 0.96);
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
