#include "automation/SessionCheck.h"

#include <QCoreApplication>

#include <algorithm>

namespace Vantrel::SessionCheck {

namespace {

// "the stack “X”" or "the track “X”".
QString label(bool stack, const QString& name) {
    return (stack ? QCoreApplication::translate("Vantrel::Sender", "the stack “%1”")
                  : QCoreApplication::translate("Vantrel::Sender", "the track “%1”"))
        .arg(name);
}

// Closed stacks hide their tracks: the numbers of the first read tell how many each holds.
// Stack row number → tracks in it, for the closed stacks.
QHash<int, int> closedSizes(const QList<Row>& folded) {
    QHash<int, int> sizeOf;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const Row& r = folded[i];
        if (!r.stack || r.open != false)
            continue;
        if (i + 1 < folded.size())
            sizeOf[r.number] = folded[i + 1].number - r.number - 1;
    }
    return sizeOf;
}

// Which rows belong to which stack: a closed stack's count, else up to the next stack row;
// without a count, the tracks after as many as the stack's job holds belong to no stack.
struct Partition {
    QHash<QString, int> stackRows;        // stack name → rows of that name
    QHash<QString, QStringList> contents; // stack name → the names of its tracks
    QStringList outside;                  // tracks outside every stack
    QList<TopRow> top;                    // the top level, in list order
    QHash<int, QString> stackOf;          // row number → the stack it is or is in
};

Partition partition(const Expected& expected, const Observed& observed) {
    const QHash<int, int> sizeOf = closedSizes(observed.folded);
    const QList<Row>& rows = observed.rows;
    Partition p;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        if (!r.stack) {
            p.outside << r.name;
            p.top << TopRow{r.name, false, r.number};
            continue;
        }
        ++p.stackRows[r.name];
        p.top << TopRow{r.name, true, r.number};
        p.stackOf[r.number] = r.name;
        const int size = sizeOf.value(r.number, -1);
        QList<const Row*> inIt;
        qsizetype j = i + 1;
        while (j < rows.size() && !rows[j].stack && (size < 0 || int(inIt.size()) < size)) {
            inIt << &rows[j];
            ++j;
        }
        qsizetype wanted = -1;
        for (const SendJob& job : expected.jobs) {
            if (job.group && *job.group == r.name)
                wanted = job.files.size();
        }
        if (size < 0 && wanted >= 0 && inIt.size() > wanted) {
            for (const Row* t : inIt.mid(wanted)) {
                p.outside << t->name;
                p.top << TopRow{t->name, false, t->number};
            }
            inIt = inIt.mid(0, wanted);
        }
        for (const Row* t : std::as_const(inIt)) {
            p.contents[r.name] << t->name;
            p.stackOf[t->number] = r.name;
        }
        i = j - 1;
    }
    return p;
}

// Every stack once with exactly its members; counts the members of the unsorted jobs in seen.
void compareStacks(const Expected& expected, const Partition& p, QHash<QString, int>& seen,
                   QStringList& problems) {
    for (const SendJob& job : expected.jobs) {
        const QStringList members = memberNames(job);
        if (!job.group) {
            for (const QString& m : members)
                ++seen[m];
            continue;
        }
        const int count = p.stackRows.value(*job.group);
        if (count == 0) {
            problems << QCoreApplication::translate("Vantrel::Sender", "there is no stack “%1”")
                            .arg(*job.group);
            continue;
        }
        if (count > 1)
            problems << QCoreApplication::translate("Vantrel::Sender", "there are %n stacks “%1”",
                                                    nullptr, count)
                            .arg(*job.group);
        QStringList have = p.contents.value(*job.group);
        QStringList want = members;
        std::sort(have.begin(), have.end());
        std::sort(want.begin(), want.end());
        if (have == want)
            continue;
        QStringList missing;
        QStringList rest = have;
        for (const QString& m : std::as_const(want)) {
            if (!rest.removeOne(m))
                missing << m;
        }
        const QStringList& extra = rest;
        if (extra.isEmpty())
            problems << QCoreApplication::translate("Vantrel::Sender", "the stack “%1” lacks %2")
                            .arg(*job.group, joined(missing));
        else if (missing.isEmpty())
            problems << QCoreApplication::translate("Vantrel::Sender",
                                                    "the stack “%1” also holds %2")
                            .arg(*job.group, joined(extra));
        else
            problems << QCoreApplication::translate("Vantrel::Sender",
                                                    "the stack “%1” lacks %2 and also holds %3")
                            .arg(*job.group, joined(missing), joined(extra));
    }
}

// Tracks outside every stack: only the unsorted files belong there, each once. The tracks the
// project held before the send may carry the same names.
void compareOutside(const Expected& expected, const Partition& p, const QHash<QString, int>& seen,
                    QStringList& problems) {
    QHash<QString, int> outsideCount;
    for (const QString& n : p.outside)
        ++outsideCount[n];
    for (auto it = expected.namesAtStart.cbegin(); it != expected.namesAtStart.cend(); ++it)
        outsideCount[it.key()] -= it.value();
    QSet<QString> stacked;
    for (const SendJob& job : expected.jobs) {
        if (job.group)
            for (const QString& m : memberNames(job))
                stacked.insert(m);
    }
    QStringList strays, twice;
    for (auto it = outsideCount.cbegin(); it != outsideCount.cend(); ++it) {
        const int want = seen.value(it.key());
        if (it.value() <= want || it.value() <= 0)
            continue;
        if (stacked.contains(it.key()))
            strays << it.key();
        else if (want > 0)
            twice << it.key();
    }
    std::sort(strays.begin(), strays.end());
    std::sort(twice.begin(), twice.end());
    if (!twice.isEmpty())
        problems << QCoreApplication::translate("Vantrel::Sender",
                                                "these tracks came in more than once: %1")
                        .arg(joined(twice));
    if (!strays.isEmpty())
        problems << QCoreApplication::translate("Vantrel::Sender",
                                                "these tracks are outside their stacks: %1")
                        .arg(joined(strays));
    for (auto it = seen.cbegin(); it != seen.cend(); ++it)
        if (outsideCount.value(it.key()) < it.value())
            problems << QCoreApplication::translate("Vantrel::Sender", "the track “%1” is missing")
                            .arg(it.key());
}

// The order of the top level: the stacks in rule order, then the unsorted tracks. Rows that do
// not belong there at all are told elsewhere; the others must keep that order.
void compareOrder(const Expected& expected, const Partition& p, QStringList& problems) {
    const QList<TopRow> wanted = wantedOrder(expected.jobs);
    const auto same = [](const TopRow& a, const TopRow& b) {
        return a.stack == b.stack && a.name == b.name;
    };
    QList<TopRow> left = wanted, present;
    for (const TopRow& t : p.top) {
        for (qsizetype k = 0; k < left.size(); ++k) {
            if (same(left[k], t)) {
                present << t;
                left.removeAt(k);
                break;
            }
        }
    }
    QList<TopRow> inOrder;
    for (const TopRow& w : wanted) {
        if (std::any_of(present.cbegin(), present.cend(),
                        [&](const TopRow& t) { return same(t, w); }))
            inOrder << w;
    }
    for (qsizetype k = 0; k < present.size() && k < inOrder.size(); ++k) {
        if (!same(present[k], inOrder[k])) {
            problems << QCoreApplication::translate("Vantrel::Sender",
                                                    "%1 stands at position %2 in place of %3")
                            .arg(label(present[k].stack, present[k].name))
                            .arg(k + 1)
                            .arg(label(inOrder[k].stack, inOrder[k].name));
            break;
        }
    }
}

} // namespace

QString joined(const QStringList& names) {
    return names.join(QStringLiteral(", "));
}

QList<TopRow> wantedOrder(const QList<SendJob>& jobs) {
    QList<TopRow> wanted;
    for (const SendJob& job : jobs) {
        if (job.group)
            wanted << TopRow{*job.group, true, 0};
    }
    for (const SendJob& job : jobs) {
        if (!job.group) {
            for (const QString& m : memberNames(job))
                wanted << TopRow{m, false, 0};
        }
    }
    return wanted;
}

QStringList compareSession(const Expected& expected, const Observed& observed) {
    // The fold state of the first read: the runs that arrange the session leave every stack
    // they made closed.
    QStringList openStacks;
    if (expected.arranged) {
        for (const Row& r : observed.folded)
            if (r.stack && r.open == true && expected.madeStacks.contains(r.name))
                openStacks << QCoreApplication::translate("Vantrel::Sender",
                                                          "the stack “%1” is open")
                                  .arg(r.name);
    }

    const Partition p = partition(expected, observed);
    QStringList problems;
    QHash<QString, int> seen; // the unsorted tracks sent, by name
    compareStacks(expected, p, seen, problems);
    compareOutside(expected, p, seen, problems);

    // The number of tracks: those the project held, every file sent and one row per stack.
    int expectedCount = expected.tracksAtStart;
    for (const SendJob& job : expected.jobs) {
        if (expected.imports)
            expectedCount += int(job.files.size());
        if (job.group)
            ++expectedCount;
    }
    if (int(observed.rows.size()) != expectedCount)
        problems << QCoreApplication::translate("Vantrel::Sender",
                                                "Logic holds %1 tracks where %n were expected",
                                                nullptr, expectedCount)
                        .arg(observed.rows.size());

    if (expected.arranged)
        compareOrder(expected, p, problems);
    return problems + openStacks;
}

QHash<int, QString> stackOfRows(const Expected& expected, const Observed& observed) {
    return partition(expected, observed).stackOf;
}

QHash<QString, std::optional<Swatch>> stackColors(const QList<SendJob>& jobs) {
    QHash<QString, std::optional<Swatch>> colorOf;
    for (const SendJob& job : jobs) {
        if (job.group)
            colorOf[*job.group] = job.color;
    }
    return colorOf;
}

std::optional<QString> firstWrongColor(const QList<Row>& rows, const QHash<int, QString>& stackOf,
                                       const QHash<QString, std::optional<Swatch>>& colorOf,
                                       int ownFrom, const ColorReader& read) {
    // The colour a row should have; none when the send does not decide it.
    const auto expectedOf = [&](const Row& r) -> std::optional<std::optional<Swatch>> {
        if (r.number <= ownFrom && !r.stack)
            return std::nullopt; // a track the project held: its colour is the user's
        const auto it = stackOf.constFind(r.number);
        if (it == stackOf.cend())
            return std::optional<Swatch>(); // a loose track of this send: no colour
        if (!colorOf.contains(*it))
            return std::nullopt;
        return colorOf.value(*it);
    };
    for (const Row& r : rows) {
        const std::optional<std::optional<Swatch>> want = expectedOf(r);
        if (!want)
            continue;
        const ColorRead have = read(r);
        if (have.kind == ColorRead::Kind::unreadable)
            return std::nullopt;
        if (have.kind == ColorRead::Kind::unknown || have.color == *want)
            continue;
        const QString what = label(r.stack, r.name);
        if (!*want)
            return QCoreApplication::translate("Vantrel::Sender",
                                               "%1 has a color it was not sent with")
                .arg(what);
        if (!have.color)
            return QCoreApplication::translate("Vantrel::Sender", "%1 has no color").arg(what);
        return QCoreApplication::translate("Vantrel::Sender", "%1 has another color than its group")
            .arg(what);
    }
    return std::nullopt;
}

std::optional<QString> closingMessage(const QStringList& problems) {
    if (problems.isEmpty())
        return std::nullopt;
    // The first difference is named; the user checks the rest in Logic.
    const qsizetype more = problems.size() - 1;
    if (more == 0)
        return QCoreApplication::translate(
                   "Vantrel::Sender",
                   "Done, but the session in Logic is not what was sent: %1. Check it in Logic "
                   "before you go on.")
            .arg(problems.first());
    return QCoreApplication::translate(
               "Vantrel::Sender",
               "Done, but the session in Logic is not what was sent: %1 (and %n more "
               "differences). Check it in Logic before you go on.",
               nullptr, int(more))
        .arg(problems.first());
}

} // namespace Vantrel::SessionCheck
