// Export benchmarks without process start or scan, each against the bare system calls that do
// the same work, with the ratios printed at the end (the lines that carry a goal):
// - organizing a scanned folder of 10,000 empty files in place (journal included) and putting
//   it back, against loops of renameat2(RENAME_NOREPLACE) over the same moves;
// - with VANTREL_BENCH_COPY_FOLDER set to a session folder on a disk that clones: the sorted
//   copy of it, against a loop of FICLONE into the same folders and names.
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "support/SessionNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <map>
#include <set>
#include <stdio.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace Vantrel;

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

// A scanned folder and the plan of its export: the group folders and, per file, its path and
// its path in the result folder.
struct Session {
    QString folder;
    QString result; // the folder itself in place, the sorted copy's folder otherwise
    QList<Item> items;
    std::vector<std::string> folders;
    std::vector<std::pair<std::string, std::string>> files;

    Session(const QString& scanned, const QString& resultFolder)
        : folder(scanned), result(resultFolder) {
        items = Engine::scan(folder, Config::defaults()).items;
        if (items.isEmpty())
            fail("no audio files in " + folder.toStdString());
        std::set<std::string> seen;
        for (const Item& item : items) {
            const std::string dir =
                QFile::encodeName(result + QLatin1Char('/') + item.folder).toStdString();
            if (seen.insert(dir).second)
                folders.push_back(dir);
            files.emplace_back(QFile::encodeName(item.url).toStdString(),
                               dir + '/' + QFile::encodeName(item.newName).toStdString());
        }
    }
};

// 10,000 empty audio files, made once; every benchmark leaves the folder as it found it.
Session& bigSession() {
    static QTemporaryDir dir;
    static Session s = [] {
        for (const QString& name : Fixtures::sessionNames(10000)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly))
                fail("cannot create " + f.fileName().toStdString());
        }
        return Session(dir.path(), dir.path());
    }();
    return s;
}

// The session folder named by VANTREL_BENCH_COPY_FOLDER; its sorted copy goes next to it.
Session& copySession() {
    static Session s = [] {
        const QString folder =
            QDir::cleanPath(QFile::decodeName(qgetenv("VANTREL_BENCH_COPY_FOLDER")));
        return Session(folder, folder + QStringLiteral(" SORTED"));
    }();
    return s;
}

void renameForward(const Session& s) {
    for (const std::string& dir : s.folders)
        if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
            fail("mkdir " + dir);
    for (const auto& [from, to] : s.files)
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0)
            fail("rename " + from);
}

void renameBack(const Session& s) {
    for (auto it = s.files.rbegin(); it != s.files.rend(); ++it)
        if (::renameat2(AT_FDCWD, it->second.c_str(), AT_FDCWD, it->first.c_str(),
                        RENAME_NOREPLACE) != 0)
            fail("rename " + it->second);
    for (const std::string& dir : s.folders)
        if (::rmdir(dir.c_str()) != 0)
            fail("rmdir " + dir);
}

void organize(const Session& s) {
    Engine::exportItems(s.items, s.folder, ExportMode::inPlace);
}

void putBack(const Session& s) {
    Engine::undo(s.folder);
}

void bareClones(const Session& s) {
    if (::mkdir(QFile::encodeName(s.result).constData(), 0777) != 0)
        fail("mkdir " + s.result.toStdString());
    for (const std::string& dir : s.folders)
        if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
            fail("mkdir " + dir);
    for (const auto& [from, to] : s.files) {
        const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
        const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (in < 0 || out < 0 || ::ioctl(out, FICLONE, in) != 0)
            fail("clone " + from);
        ::close(in);
        ::close(out);
    }
}

void sortedCopy(const Session& s) {
    if (Engine::exportItems(s.items, s.folder, ExportMode::copy).url != s.result)
        fail("the sorted copy went elsewhere than " + s.result.toStdString());
}

void removeResult(const Session& s) {
    if (!QDir(s.result).removeRecursively())
        fail("cannot remove " + s.result.toStdString());
}

using Step = void (*)(const Session&);

// Times `measured`; `prepare` and `restore` (untimed, may be null) set the folder up for it and
// bring it back for the next iteration.
void timed(benchmark::State& state, Session& (*session)(), Step measured, Step prepare,
           Step restore) {
    Session& s = session();
    for (auto _ : state) {
        if (prepare) {
            state.PauseTiming();
            prepare(s);
            state.ResumeTiming();
        }
        measured(s);
        if (restore) {
            state.PauseTiming();
            restore(s);
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * s.items.size());
}

void BM_BareRenames(benchmark::State& state) {
    timed(state, bigSession, renameForward, nullptr, renameBack);
}
void BM_OrganizeInPlace(benchmark::State& state) {
    timed(state, bigSession, organize, nullptr, putBack);
}
void BM_BareRenamesBack(benchmark::State& state) {
    timed(state, bigSession, renameBack, renameForward, nullptr);
}
void BM_PutBack(benchmark::State& state) {
    timed(state, bigSession, putBack, organize, nullptr);
}
void BM_BareClones(benchmark::State& state) {
    timed(state, copySession, bareClones, nullptr, removeResult);
}
void BM_SortedCopy(benchmark::State& state) {
    timed(state, copySession, sortedCopy, nullptr, removeResult);
}

// Keeps each benchmark's real time per iteration in seconds, for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Without colour: the figures are read from pipes and logs.
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            seconds[r.benchmark_name()] =
                r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }

    // The median when there were repetitions, else the single figure; 0 when it did not run.
    double figure(const std::string& name) const {
        for (const char* suffix : {"/real_time_median", "/real_time"})
            if (const auto it = seconds.find(name + suffix); it != seconds.end())
                return it->second;
        return 0;
    }

    void compare(const char* what, const std::string& measured, const char* baseline,
                 const std::string& bare) const {
        const double m = figure(measured), b = figure(bare);
        if (m > 0 && b > 0)
            std::printf("%s: %.1f ms; %s: %.1f ms; ratio %.2f (goal: at most 1.5) -> %s\n", what,
                        m * 1e3, baseline, b * 1e3, m / b, m / b <= 1.5 ? "met" : "MISSED");
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    struct Entry {
        const char* name;
        void (*function)(benchmark::State&);
    };
    std::vector<Entry> entries = {{"BM_BareRenames", BM_BareRenames},
                                  {"BM_OrganizeInPlace", BM_OrganizeInPlace},
                                  {"BM_BareRenamesBack", BM_BareRenamesBack},
                                  {"BM_PutBack", BM_PutBack}};
    if (!qEnvironmentVariableIsEmpty("VANTREL_BENCH_COPY_FOLDER"))
        entries.insert(entries.end(),
                       {{"BM_BareClones", BM_BareClones}, {"BM_SortedCopy", BM_SortedCopy}});
    for (const Entry& e : entries)
        benchmark::RegisterBenchmark(e.name, e.function)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.compare("organize in place of 10,000 files (export only, journal included)",
                     "BM_OrganizeInPlace", "bare renameat2 loop", "BM_BareRenames");
    reporter.compare("put-back of 10,000 files (undo only)", "BM_PutBack",
                     "bare reverse renameat2 loop", "BM_BareRenamesBack");
    reporter.compare("sorted copy by clones (export only)", "BM_SortedCopy", "bare FICLONE loop",
                     "BM_BareClones");
    benchmark::Shutdown();
    return 0;
}
