// Measures the suggestions on a table of real track names with the group each belongs in, and
// their cost against the folder scan.
//
// usage: vantrel-suggest-figures TABLE.tsv [--vocabulary FILE] [--misses] [--no-timing]
//
// The table has a header line and the columns session, file, group (empty: no default group
// fits, so unsorted is right), instrument. Sessions are split by a hash of their name into a
// tuning part (three in four) and a held-out part, and every figure is given for both.

#include "core/Config.h"
#include "core/Engine.h"
#include "core/Suggest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

using namespace Vantrel;

namespace {

struct Row {
    QString session;
    QString file;
    QString group;
    bool heldOut = false;
};

// A stable hash of a session's name (FNV-1a over its UTF-8), independent of Qt's seeds.
quint32 stableHash(const QString& text) {
    quint32 h = 2166136261u;
    for (const char c : text.toUtf8()) {
        h ^= quint8(c);
        h *= 16777619u;
    }
    return h;
}

constexpr quint32 heldOutOneIn = 4;

std::optional<std::vector<Row>> readTable(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    std::vector<Row> rows;
    bool header = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n'));
        if (header) {
            header = false;
            continue;
        }
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() < 3)
            continue;
        rows.push_back({f[0], f[1], f[2], stableHash(f[0]) % heldOutOneIn == 0});
    }
    return rows;
}

QString stemOf(const QString& file) {
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? file.left(dot) : file;
}

struct Tally {
    int tracks = 0;
    int rightAlone = 0;
    int rightWithSuggestions = 0;
    int suggested = 0;
    int wrongSuggestions = 0;
    int sessions = 0;
};

double share(int part, int whole) {
    return whole == 0 ? 0.0 : 100.0 * part / whole;
}

void printTally(const char* title, const Tally& t) {
    std::printf("%-22s %4d sessions %5d tracks  right: classifier alone %5.1f %%, with "
                "suggestions %5.1f %%  suggested %4d, wrong %4d (%4.1f %% of tracks)\n",
                title, t.sessions, t.tracks, share(t.rightAlone, t.tracks),
                share(t.rightWithSuggestions, t.tracks), t.suggested, t.wrongSuggestions,
                share(t.wrongSuggestions, t.tracks));
}

// Median wall time in milliseconds of runs of f.
template <typename F> double medianMs(int runs, F f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

constexpr int costNames = 10000;
constexpr int costRuns = 5;

void printCost(const std::vector<Row>& rows, const Config& cfg, const Suggester& suggester) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::printf("cost: no temporary folder\n");
        return;
    }
    // 10,000 real names, each with its own channel number so that none repeats.
    QStringList stems;
    for (int i = 0; i < costNames; ++i) {
        const QString stem =
            QStringLiteral("%1_%2").arg(i + 1).arg(stemOf(rows[size_t(i) % rows.size()].file));
        stems << stem;
        QFile f(dir.filePath(stem + QStringLiteral(".wav")));
        if (!f.open(QIODevice::WriteOnly)) {
            std::printf("cost: cannot write the folder\n");
            return;
        }
    }
    qsizetype found = 0;
    const double scanMs =
        medianMs(costRuns, [&] { found = Engine::scan(dir.path(), cfg).items.size(); });
    int suggestions = 0;
    const double suggestMs = medianMs(costRuns, [&] {
        suggestions = 0;
        for (const QString& stem : stems)
            suggestions += suggester.suggest(stem) ? 1 : 0;
    });
    std::printf("cost for %d names (median of %d runs): scan %.1f ms (%lld files), "
                "suggestions %.1f ms (%d given); suggestions / scan = %.3f\n",
                costNames, costRuns, scanMs, static_cast<long long>(found), suggestMs, suggestions,
                suggestMs / scanMs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool misses = args.removeAll(QStringLiteral("--misses")) > 0;
    const bool timing = args.removeAll(QStringLiteral("--no-timing")) == 0;
    Vocabulary vocabulary = Vocabulary::builtIn();
    const qsizetype v = args.indexOf(QStringLiteral("--vocabulary"));
    if (v >= 0 && v + 1 < args.size()) {
        const auto loaded = Vocabulary::loadFrom(args[v + 1]);
        if (!loaded) {
            std::fprintf(stderr, "cannot read the vocabulary %s\n", qPrintable(args[v + 1]));
            return 1;
        }
        vocabulary = *loaded;
        args.remove(v, 2);
    }
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vantrel-suggest-figures TABLE.tsv [--vocabulary FILE] "
                             "[--misses] [--no-timing]\n");
        return 2;
    }
    const auto rows = readTable(args.first());
    if (!rows || rows->empty()) {
        std::fprintf(stderr, "cannot read the table %s\n", qPrintable(args.first()));
        return 1;
    }

    const Config& cfg = Config::defaults();
    const Engine::Classifier classifier(cfg);
    const Suggester suggester(cfg, vocabulary);
    Tally tuning, heldOut, all;
    QSet<QString> tuningSessions, heldOutSessions;
    for (const Row& row : *rows) {
        const QString stem = stemOf(row.file);
        const std::optional<QString> expected =
            row.group.isEmpty() ? std::nullopt : std::optional<QString>(row.group);
        const std::optional<QString> group = classifier.classify(stem).group;
        std::optional<Suggestion> suggestion;
        if (!group)
            suggestion = suggester.suggest(stem);
        const std::optional<QString> accepted =
            group ? group : (suggestion ? std::optional<QString>(suggestion->group) : std::nullopt);
        for (Tally* t : {row.heldOut ? &heldOut : &tuning, &all}) {
            ++t->tracks;
            t->rightAlone += group == expected ? 1 : 0;
            t->rightWithSuggestions += accepted == expected ? 1 : 0;
            t->suggested += suggestion ? 1 : 0;
            t->wrongSuggestions += suggestion && suggestion->group != expected ? 1 : 0;
        }
        (row.heldOut ? heldOutSessions : tuningSessions).insert(row.session);
        if (misses && accepted != expected)
            std::printf("%s %-8s %-8s %-40s %s\n", row.heldOut ? "H" : "T",
                        qPrintable(row.group.isEmpty() ? QStringLiteral("-") : row.group),
                        qPrintable(accepted.value_or(QStringLiteral("-"))), qPrintable(row.file),
                        suggestion ? qPrintable(suggestion->reason) : "");
    }
    tuning.sessions = int(tuningSessions.size());
    heldOut.sessions = int(heldOutSessions.size());
    all.sessions = int(tuningSessions.size() + heldOutSessions.size());
    printTally("tuning sessions", tuning);
    printTally("held-out sessions", heldOut);
    printTally("all", all);
    if (timing)
        printCost(*rows, cfg, suggester);
    return 0;
}
