// The one entry point of a send, and the runs it starts: fast (one drag for everything), sorted
// (one drag, then a sort by name brings each group together: group names lead the track
// names), group by group, one by one through the import dialog, and stacks from tracks already
// in Logic Pro.

#include "automation/AXProbe.h"
#include "automation/LogicBridge.h"
#include "automation/LogicSender.h"

#include <QCoreApplication>
#include <QHash>

#include <exception>

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

// A count used as a divisor: below 2 it counts as 1.
double divisor(qsizetype count) {
    return count < 2 ? 1.0 : double(count);
}

// The sentence for a send that finds no Logic Pro running.
QString notRunning() {
    return QCoreApplication::translate("Vantrel::Sender",
                                       "Open Logic Pro with an empty project first.");
}

} // namespace

SendOutcome LogicSender::send(SendMode mode, const QList<SendJob>& jobs, bool groupInName) {
    SendOutcome outcome;
    const std::shared_ptr<void> activity = platform_.holdActivity(
        QCoreApplication::translate("Vantrel::Sender", "Building the session in Logic Pro"));
    try {
        if (!groupedJobs(jobs).isEmpty())
            requireStackCommand();
        switch (mode) {
        case SendMode::fast:
            if (groupInName)
                runSorted(jobs);
            else
                runFast(jobs);
            break;
        case SendMode::grouped:
            runGrouped(jobs);
            break;
        case SendMode::slow:
            requireImportCommand();
            runSlow(jobs);
            break;
        case SendMode::stacksOnly:
            runStacksOnly(jobs);
            break;
        }
        outcome.ok = true;
        outcome.result = sentText(jobs);
    } catch (const CancelledError& e) {
        outcome.cancelled = true;
        outcome.result = e.message();
    } catch (const Error& e) {
        outcome.result = e.message();
    } catch (const std::exception& e) {
        outcome.result = QString::fromLocal8Bit(e.what());
    }
    return outcome;
}

void LogicSender::countAtStart(bool ownTracksFromStart) {
    std::optional<int> counted;
    std::optional<QList<TrackRow>> rows;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic's track list"), 30s, [&] {
        counted = trackCount();
        rows = counted ? allRows(false) : std::nullopt;
        return rows.has_value();
    });
    tracksAtStart = *counted;
    ownFrom_ = ownTracksFromStart ? tracksAtStart : 0;
    imports_ = ownTracksFromStart;
    namesAtStart_.clear();
    if (ownTracksFromStart) {
        for (const TrackRow& r : *rows)
            ++namesAtStart_[r.name];
    }
    madeStacks.clear();
    stackSizes.clear();
}

void LogicSender::requireImportCommand() {
    // File > Import > Audio File… is found by its title, which is known in English, German,
    // French and Japanese only. In another language the one-by-one send stops before it makes
    // a track; the other sends do not need the item.
    if (!menuItem({QStringLiteral("Track"), QStringLiteral("New Audio Track")}))
        return;
    if (menuItem({QStringLiteral("File"), QStringLiteral("Import"), QStringLiteral("Audio File…")}))
        return;
    throw SendError(QCoreApplication::translate(
        "Vantrel::Sender", "Vantrel can't find File > Import > Audio File… in Logic Pro's menus "
                           "in this language, and sending one by one needs it: choose another "
                           "way to send, or in System Settings > General > Language & Region, "
                           "add Logic Pro under Applications with the language English, reopen "
                           "Logic Pro, then send again."));
}

void LogicSender::requireStackCommand() {
    // Only a Track menu that was read and lacks the item says so; unreadable menus are the
    // preconditions' to report.
    if (!menuItem({QStringLiteral("Track"), QStringLiteral("New Audio Track")}))
        return;
    if (menuItem({QStringLiteral("Track"), QStringLiteral("Create Track Stack…")}))
        return;
    throw SendError(QCoreApplication::translate(
        "Vantrel::Sender", "Logic Pro can't make track stacks until its complete features "
                           "are on: choose Logic Pro > Settings > Advanced, switch on "
                           "“Enable Complete Features”, then send again."));
}

void LogicSender::runFast(const QList<SendJob>& jobs) {
    checkPreconditions(notRunning());
    requireEmptyProject();
    countAtStart(true);

    const QStringList files = dragURLs(jobs);
    QStringList expected;
    for (const SendJob& job : jobs)
        expected += memberNames(job);
    report(QCoreApplication::translate("Vantrel::Sender", "Dragging %n files into Logic", nullptr,
                                       int(files.size())),
           SendPhase::drag);
    importByDrag(files, QString(), phaseSpan(SendPhase::drag).start,
                 phaseSpan(SendPhase::drag).span);

    QStringList arrived;
    if (const std::optional<QList<TrackRow>> rows = allRows(false)) {
        for (const TrackRow& r : *rows)
            if (r.number > ownFrom_)
                arrived << r.name;
    }
    if (arrived == expected) {
        note(
            QCoreApplication::translate("Vantrel::Sender", "the tracks came in in the right order"),
            progressOf(SendPhase::arrival));
    } else {
        note(QCoreApplication::translate("Vantrel::Sender",
                                         "the tracks came in in another order: %1")
                 .arg(arrived.join(QStringLiteral(", "))),
             progressOf(SendPhase::arrival));
        // Tracks are told apart by name; files of different jobs with the same name are told
        // apart only by the order they came in, which Logic did not keep.
        QHash<QString, int> jobOf;
        QStringList shared;
        for (qsizetype j = 0; j < jobs.size(); ++j) {
            for (const QString& m : memberNames(jobs[j])) {
                const auto it = jobOf.constFind(m);
                if (it != jobOf.cend() && *it != j && !shared.contains(m))
                    shared << m;
                jobOf.insert(m, int(j));
            }
        }
        if (!shared.isEmpty())
            throw SendError(
                QCoreApplication::translate(
                    "Vantrel::Sender",
                    "Logic brought the tracks in in another order, and tracks of different groups "
                    "share a name (%1), so they cannot be told apart. Nothing else was changed "
                    "after this point: send group by group instead.")
                    .arg(shared.join(QStringLiteral(", "))));
    }

    const QList<SendJob> grouped = groupedJobs(jobs);
    stackGroups(grouped, false);

    report(QCoreApplication::translate("Vantrel::Sender", "Coloring"), SendPhase::colors);
    // Colouring changes no row: the list read for the first colour serves them all.
    for (const SendJob& job : grouped) {
        if (job.color)
            applyColor(*job.group, memberNames(job), *job.color);
    }

    closeColorWindow();
    foldAndOrder(jobs);
}

void LogicSender::runSorted(const QList<SendJob>& jobs) {
    checkPreconditions(notRunning());
    requireEmptyProject();
    countAtStart(true);
    const QStringList files = dragURLs(jobs);
    report(QCoreApplication::translate("Vantrel::Sender", "Dragging %n files into Logic", nullptr,
                                       int(files.size())),
           SendPhase::drag);
    importByDrag(files, QString(), phaseSpan(SendPhase::drag).start,
                 phaseSpan(SendPhase::drag).span);

    front();
    report(QCoreApplication::translate("Vantrel::Sender", "Sorting the tracks by name"),
           SendPhase::arrival);
    choose(
        {QStringLiteral("Track"), QStringLiteral("Sort Tracks by"), QStringLiteral("Track Name")},
        true);
    pause(500ms);
    stackGroups(groupedJobs(jobs), true);
    foldAndOrder(jobs);
}

void LogicSender::stackGroups(const QList<SendJob>& grouped, bool colorEach) {
    const double u = divisor(grouped.size());
    for (qsizetype w = 0; w < grouped.size(); ++w) {
        const SendJob& job = grouped[w];
        throwIfCancelled();
        report(QCoreApplication::translate("Vantrel::Sender", "Stacking %1").arg(*job.group),
               SendPhase::stacks, double(w) / u);
        const QStringList names = memberNames(job);
        makeStack(*job.group, freeRowsNamed(*job.group, names));
        if (colorEach && job.color) {
            applyColor(*job.group, names, *job.color);
            closeColorWindow();
        }
    }
}

void LogicSender::runGrouped(const QList<SendJob>& jobs) {
    checkPreconditions(notRunning());
    requireEmptyProject();
    countAtStart(true);
    const qsizetype count = jobs.size();
    for (qsizetype i = 0; i < count; ++i) {
        const SendJob& job = jobs[i];
        throwIfCancelled();
        const QString name =
            job.group.value_or(QCoreApplication::translate("Vantrel::Sender", "Unsorted"));
        // This job's slice of the bar: from o, t long.
        const double o = progressOf(SendPhase::groupByGroup, double(i) / double(count));
        const double t = phaseSpan(SendPhase::groupByGroup).span / double(count);
        report(QCoreApplication::translate("Vantrel::Sender", "Importing %1").arg(name), o);
        importByDrag(job.files, name, o, JobStep::importSpan * t);
        if (!job.group)
            continue;
        const QStringList names = memberNames(job);
        report(QCoreApplication::translate("Vantrel::Sender", "Stacking %1").arg(*job.group),
               o + JobStep::stack * t);
        const int made = makeStack(*job.group, freeRowsNamed(*job.group, names));
        if (job.color) {
            report(QCoreApplication::translate("Vantrel::Sender", "Coloring %1").arg(*job.group),
                   o + JobStep::color * t);
            applyColor(*job.group, names, *job.color);
            closeColorWindow();
        }
        bestEffort([this] { front(); });
        foldStack(*job.group, made);
    }

    bool anyOpen = false;
    if (const std::optional<QList<TrackRow>> rows = allRows(true)) {
        for (const TrackRow& r : *rows)
            anyOpen = anyOpen || (r.stack && r.open == true);
    }
    if (anyOpen) {
        report(QCoreApplication::translate("Vantrel::Sender", "Folding stacks"),
               SendPhase::foldGroups);
        bestEffort([this] { collapseAllStacks(); });
        pause(400ms);
    }
    // The tracks of a job may come in in another order than its files.
    if (!topLevelInOrder(jobs))
        bestEffort([&] { reorderSession(jobs); });
    deleteUnusedTracks(true);
    pause(500ms);
    if (const std::optional<QList<TrackRow>> rows = allRows(false)) {
        QStringList names;
        for (const TrackRow& r : *rows)
            names << r.name;
        report(QCoreApplication::translate("Vantrel::Sender", "order now: %1")
                   .arg(names.join(QStringLiteral(", "))),
               SendPhase::check);
    }
    report(QCoreApplication::translate("Vantrel::Sender", "Checking the session"),
           SendPhase::check);
    closingCheck(jobs, true);
    report(QCoreApplication::translate("Vantrel::Sender", "Done"), SendPhase::done);
}

void LogicSender::runSlow(const QList<SendJob>& jobs) {
    checkPreconditions(notRunning());
    requireEmptyProject();
    countAtStart(true);
    qsizetype total = 0;
    for (const SendJob& job : jobs)
        total += job.files.size();
    const double t = divisor(total);
    qsizetype done = 0;
    QHash<QString, int> named; // the tracks named so far, by name
    for (const SendJob& job : jobs) {
        const QString name =
            job.group.value_or(QCoreApplication::translate("Vantrel::Sender", "Unsorted"));
        for (const QString& file : job.files) {
            const QString member = memberName(file);
            report(QCoreApplication::translate("Vantrel::Sender", "%1: %2").arg(name, member),
                   SendPhase::oneByOne, double(done) / t);
            std::optional<int> before;
            waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic's track list"), 30s, [&] {
                before = trackCount();
                return before.has_value();
            });
            front();
            // Logic puts a new track below the selected one: the last row of the top level is
            // selected, so that the new track is the last one, known by its number.
            const std::optional<QList<TopRow>> top = topRows();
            const std::optional<TrackRow> last =
                top && !top->isEmpty()
                    ? std::optional<TrackRow>(
                          TrackRow{{}, top->last().number, top->last().name, false, std::nullopt})
                    : std::nullopt;
            if (last)
                selectRows({*last});
            // Pressed once: an error answer may come with the track made, which the wait sees.
            choose({QStringLiteral("Track"), QStringLiteral("New Audio Track")}, true);
            waitFor(QCoreApplication::translate("Vantrel::Sender", "the new track"), 10s, [&] {
                const std::optional<int> now = trackCount();
                return now && *now > *before;
            });
            pause(200ms);
            // The new track is the one row of this send not yet named after a file; Logic
            // selects it too, and it is the last one unless a click moved the selection first.
            int number = *before + 1;
            if (const std::optional<QList<TrackRow>> rows = allRows(false)) {
                QHash<QString, int> left = named;
                QList<int> fresh;
                for (const TrackRow& r : *rows) {
                    if (r.number <= ownFrom_)
                        continue;
                    if (left.value(r.name) > 0)
                        --left[r.name];
                    else
                        fresh << r.number;
                }
                if (fresh.size() == 1)
                    number = fresh.first();
            }
            // A person may have clicked another row: the file goes onto the new track only.
            if (!selectionHolds({number}))
                selectRows({TrackRow{{}, number, {}, false, std::nullopt}});
            importFile(file);
            renameRow(number, member);
            ++named[member];
            ++done;
        }
        if (job.group && !job.files.isEmpty()) {
            report(QCoreApplication::translate("Vantrel::Sender", "Stacking %1").arg(*job.group),
                   SendPhase::oneByOne, double(done) / t);
            makeStack(*job.group, freeRowsNamed(*job.group, memberNames(job)));
        }
    }
    deleteUnusedTracks(false);
    pause(500ms);
    report(QCoreApplication::translate("Vantrel::Sender", "Checking the session"),
           SendPhase::check);
    closingCheck(jobs);
    report(QCoreApplication::translate("Vantrel::Sender", "Done"), SendPhase::done);
}

void LogicSender::runStacksOnly(const QList<SendJob>& jobs) {
    checkPreconditions(QCoreApplication::translate("Vantrel::Sender", "Open Logic Pro first."));
    countAtStart(false);
    QStringList present;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic's track list"), 30s, [&] {
        const std::optional<QList<TrackRow>> rows = allRows(false);
        if (!rows)
            return false;
        present.clear();
        for (const TrackRow& r : *rows)
            present << r.name;
        return true;
    });
    const QList<SendJob> grouped = groupedJobs(jobs);
    const double u = divisor(grouped.size());
    for (qsizetype j = 0; j < grouped.size(); ++j) {
        const SendJob& job = grouped[j];
        const QStringList names = memberNames(job);
        for (const QString& m : names) {
            if (!present.contains(m))
                throw SendError(QCoreApplication::translate(
                                    "Vantrel::Sender",
                                    "Logic doesn't have a track named “%1” yet. Drag the tracks "
                                    "in first, then build stacks.")
                                    .arg(m));
        }
        report(QCoreApplication::translate("Vantrel::Sender", "Stacking %1").arg(*job.group),
               SendPhase::stacksOnly, double(j) / u);
        makeStack(*job.group, freeRowsNamed(*job.group, names));
    }
    // The project held these tracks before: nothing is deleted.
    report(QCoreApplication::translate("Vantrel::Sender", "Checking the session"),
           SendPhase::check);
    closingCheck(grouped);
    report(QCoreApplication::translate("Vantrel::Sender", "Done"), SendPhase::done);
}

} // namespace Vantrel
