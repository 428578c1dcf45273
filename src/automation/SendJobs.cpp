#include "automation/SendJobs.h"

#include "core/NaturalOrder.h"

#include <QCoreApplication>

#include <algorithm>

namespace Vantrel {

namespace {

QString fileOf(const QString& resultFolder, const Item& item) {
    return resultFolder + QLatin1Char('/') + item.folder + QLatin1Char('/') + item.newName;
}

} // namespace

QList<SendJob> sendJobs(const QList<Item>& exportedItems, const Config& cfg,
                        const std::optional<QString>& resultFolder) {
    QList<SendJob> jobs;
    if (!resultFolder)
        return jobs;
    for (const RuleGroup& rule : cfg.groups) {
        QList<Item> members;
        for (const Item& item : exportedItems) {
            if (item.group == rule.name)
                members << item;
        }
        std::stable_sort(members.begin(), members.end(), [](const Item& a, const Item& b) {
            return NaturalOrder::compare(a.newName, b.newName) < 0;
        });
        if (members.isEmpty())
            continue;
        // A name may stand in the rules twice; the first group of that name gave the job
        // already, and its colour is the one used.
        const bool seen = std::any_of(jobs.cbegin(), jobs.cend(),
                                      [&](const SendJob& job) { return job.group == rule.name; });
        if (seen)
            continue;
        SendJob job;
        job.group = rule.name;
        for (const Item& item : std::as_const(members))
            job.files << fileOf(*resultFolder, item);
        const auto first = std::find_if(cfg.groups.cbegin(), cfg.groups.cend(),
                                        [&](const RuleGroup& g) { return g.name == rule.name; });
        job.color = first->swatch();
        jobs << job;
    }
    // A group renamed or removed since the approval has no job of its own: its tracks go
    // with the unsorted ones, so that every approved track is sent.
    SendJob unsorted;
    for (const Item& item : exportedItems) {
        const bool ruled = item.group && std::any_of(cfg.groups.cbegin(), cfg.groups.cend(),
                                                     [&item](const RuleGroup& g) {
                                                         return g.name == *item.group;
                                                     });
        if (!ruled)
            unsorted.files << fileOf(*resultFolder, item);
    }
    if (!unsorted.files.isEmpty())
        jobs << unsorted;
    return jobs;
}

QList<SendJob> groupedJobs(const QList<SendJob>& jobs) {
    QList<SendJob> grouped;
    for (const SendJob& job : jobs) {
        if (job.group)
            grouped << job;
    }
    return grouped;
}

QStringList dragURLs(const QList<SendJob>& jobs) {
    QStringList files;
    for (const SendJob& job : jobs)
        files += job.files;
    return files;
}

QString sentText(const QList<SendJob>& jobs) {
    qsizetype tracks = 0;
    qsizetype stacks = 0;
    for (const SendJob& job : jobs) {
        tracks += job.files.size();
        stacks += job.group ? 1 : 0;
    }
    // The counts of tracks and of stacks each take their own plural form.
    return QCoreApplication::translate("Vantrel::Sender", "Sent %n tracks and %1 to Logic.",
                                       nullptr, int(tracks))
        .arg(QCoreApplication::translate("Vantrel::Sender", "%n stacks", nullptr, int(stacks)));
}

QString memberName(const QString& file) {
    const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QStringList memberNames(const SendJob& job) {
    QStringList names;
    for (const QString& f : job.files)
        names << memberName(f);
    return names;
}

} // namespace Vantrel
