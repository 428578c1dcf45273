// The four runs: fast (one drag for everything), group by group, one by one through the import
// dialog, and stacks from tracks already in Logic Pro.

#include "automation/LogicSender.h"

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

QList<SendJob> groupedJobs(const QList<SendJob>& jobs) {
    QList<SendJob> grouped;
    for (const SendJob& job : jobs) {
        if (job.group)
            grouped << job;
    }
    return grouped;
}

// A count used as a divisor: below 2 it counts as 1.
double divisor(qsizetype count) {
    return count < 2 ? 1.0 : double(count);
}

const QString kNotRunning = QStringLiteral("Open Logic Pro with an empty project first.");

} // namespace

void LogicSender::runFast(const QList<SendJob>& jobs, bool groupInName) {
    if (groupInName) {
        runSorted(jobs);
        return;
    }
    checkPreconditions(kNotRunning);
    const qsizetype before = trackNames().size();

    const QStringList files = dragURLs(jobs);
    QStringList expected;
    for (const SendJob& job : jobs)
        expected += memberNames(job);
    report(QStringLiteral("Dragging %1 files into Logic").arg(files.size()), 0.02);
    importByDrag(files, QStringLiteral("Importing"), 0.02, 0.35);

    const QStringList arrived = trackNames().mid(before);
    if (arrived == expected)
        report(QStringLiteral("  the tracks came in in the right order"), 0.4);
    else
        report(QStringLiteral("  the tracks came in in another order: ") +
                   arrived.join(QStringLiteral(", ")),
               0.4);

    madeStacks.clear();
    const QList<SendJob> grouped = groupedJobs(jobs);
    const double u = divisor(grouped.size());
    for (qsizetype w = 0; w < grouped.size(); ++w) {
        const SendJob& job = grouped[w];
        throwIfCancelled();
        report(QStringLiteral("Stacking ") + *job.group, 0.42 + 0.45 * double(w) / u);
        QStringList remaining = memberNames(job);
        QList<Element> matched;
        for (const Element& header : trackHeaders()) {
            const QString d = str(header, QStringLiteral("AXDescription"));
            for (qsizetype i = 0; i < remaining.size(); ++i) {
                if (d.contains(QStringLiteral("“") + remaining[i] + QStringLiteral("”"))) {
                    matched << header;
                    remaining.removeAt(i);
                    break;
                }
            }
        }
        if (!remaining.isEmpty())
            throw SendError(QStringLiteral("Couldn't find the ") + *job.group +
                            QStringLiteral(" tracks in Logic (missing: ") +
                            remaining.join(QStringLiteral(", ")) + QStringLiteral(")."));
        makeStack(*job.group, memberNames(job), matched);
    }

    report(QStringLiteral("Coloring"), 0.88);
    for (const SendJob& job : grouped) {
        if (!job.color)
            continue;
        const QStringList names = memberNames(job);
        const QList<Element> headers = trackHeaders();
        std::optional<QList<Element>> block;
        for (qsizetype i = 0; i < headers.size(); ++i) {
            const QString d = str(headers[i], QStringLiteral("AXDescription"));
            if (d.contains(QStringLiteral("“") + *job.group + QStringLiteral("”")) &&
                triangleOf(headers[i])) {
                block = headers.mid(i, 1 + names.size());
                break;
            }
        }
        applyColor(*job.group, names, *job.color, block);
    }

    closeColorWindow();
    foldAndOrder(grouped);
}

void LogicSender::runGrouped(const QList<SendJob>& jobs) {
    checkPreconditions(kNotRunning);
    madeStacks.clear();
    const qsizetype count = jobs.size();
    for (qsizetype i = 0; i < count; ++i) {
        const SendJob& job = jobs[i];
        throwIfCancelled();
        const QString name = job.group.value_or(QStringLiteral("Unsorted"));
        const double t = 0.93 / double(count);
        const double o = 0.02 + double(i) * t;
        report(QStringLiteral("Importing ") + name, o);
        importByDrag(job.files, QStringLiteral("Importing ") + name, o, 0.6 * t);
        if (!job.group)
            continue;
        const QStringList names = memberNames(job);
        const qsizetype k = names.size();
        report(QStringLiteral("Stacking ") + *job.group, o + 0.65 * t);
        const QList<Element> added = trackHeaders();
        makeStack(*job.group, names, added.mid(std::max<qsizetype>(0, added.size() - k)));
        if (job.color) {
            report(QStringLiteral("Coloring ") + *job.group, o + 0.8 * t);
            const QList<Element> headers = trackHeaders();
            applyColor(*job.group, names, *job.color,
                       headers.mid(std::max<qsizetype>(0, headers.size() - (k + 1))));
            closeColorWindow();
        }
        try {
            front();
        } catch (const SendError&) {
        }
        foldStack(*job.group);
    }

    qsizetype unsortedFiles = 0;
    qsizetype stacks = 0;
    for (const SendJob& job : jobs) {
        if (job.group)
            ++stacks;
        else
            unsortedFiles += job.files.size();
    }
    if (trackHeaders().size() > unsortedFiles + stacks + 1) {
        report(QStringLiteral("Folding stacks"), 0.97);
        try {
            collapseAllStacks();
        } catch (const SendError&) {
        }
        pause(400ms);
    }
    try {
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Delete Unused Tracks")}, true);
    } catch (const SendError&) {
    }
    pause(500ms);
    report(QStringLiteral("order now: ") + trackNames().join(QStringLiteral(", ")), 0.99);
    report(QStringLiteral("Done"), 1.0);
}

void LogicSender::run(const QList<SendJob>& jobs) {
    checkPreconditions(kNotRunning);
    qsizetype total = 0;
    for (const SendJob& job : jobs)
        total += job.files.size();
    const double t = divisor(total);
    qsizetype done = 0;
    for (const SendJob& job : jobs) {
        const QString name = job.group.value_or(QStringLiteral("Unsorted"));
        for (const QString& file : job.files) {
            const QString member = memberName(file);
            report(name + QStringLiteral(": ") + member, double(done) / t);
            const qsizetype before = trackNames().size();
            front();
            choose({QStringLiteral("Track"), QStringLiteral("New Audio Track")}, true);
            waitFor(QStringLiteral("the new track"), 10s,
                    [&] { return trackNames().size() > before; });
            pause(200ms);
            importFile(file);
            rename(member);
            ++done;
        }
        if (job.group && !job.files.isEmpty()) {
            report(QStringLiteral("Stacking ") + *job.group, double(done) / t);
            makeStack(*job.group, memberNames(job));
        }
    }
    try {
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Delete Unused Tracks")}, false);
    } catch (const SendError&) {
    }
    pause(500ms);
    report(QStringLiteral("Done"), 1.0);
}

void LogicSender::stackOnly(const QList<SendJob>& jobs) {
    checkPreconditions(QStringLiteral("Open Logic Pro first."));
    const QStringList present = trackNames();
    const QList<SendJob> grouped = groupedJobs(jobs);
    const double u = divisor(grouped.size());
    for (qsizetype j = 0; j < grouped.size(); ++j) {
        const SendJob& job = grouped[j];
        const QStringList names = memberNames(job);
        for (const QString& m : names) {
            if (!present.contains(m))
                throw SendError(QStringLiteral("Logic doesn't have a track named “") + m +
                                QStringLiteral("” yet. Drag the tracks in first, then build "
                                               "stacks."));
        }
        report(QStringLiteral("Stacking ") + *job.group, double(j) / u);
        makeStack(*job.group, names);
    }
    try {
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Delete Unused Tracks")}, false);
    } catch (const SendError&) {
    }
    pause(500ms);
    report(QStringLiteral("Done"), 1.0);
}

} // namespace Vantrel
