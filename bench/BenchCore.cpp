// Engine benchmarks: the per-name cost of the classifier, and a scan of a large folder against
// the bare listing of the same folder (readdir + lstat), with their ratio printed at the end.
#include "Config.h"
#include "Engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace Vantrel;

namespace {

// File names as multitrack recorders and engineers write them.
QStringList realisticNames(int count) {
    static const char* const sources[] = {
        "Kick In",      "Kick Out",     "Snare Top",      "Snare Bottom", "Hi Hat",    "Tom 1",
        "Tom 2",        "Floor Tom",    "Over Head L",    "Over Head R",  "Room L",    "Room R",
        "Bass DI",      "Bass Amp",     "Electric Gtr L", "Acoustic Gtr", "Piano L",   "Piano R",
        "Organ",        "Synth Pad",    "Vox 1",          "Lead Vox",     "BGV L",     "BGV R",
        "Track Perc L", "Track Perc R", "Click",          "Talkback",     "Crowd FHL", "Crowd FHR",
        "Cello",        "Violin 2",     "FX Riser",       "Loop 3",       "Shaker",    "Conga"};
    QStringList names;
    names.reserve(count);
    const int n = int(std::size(sources));
    for (int i = 0; i < count; ++i) {
        names << QStringLiteral("%1%2#%3.%4.wav")
                     .arg(i + 1)
                     .arg(QLatin1String(sources[i % n]))
                     .arg(i % 7 + 1, 2, 10, QLatin1Char('0'))
                     .arg(i % 3 + 1);
    }
    return names;
}

void BM_Classify(benchmark::State& state) {
    const QStringList names = realisticNames(1000);
    QStringList stems;
    for (const QString& n : names)
        stems << n.left(n.lastIndexOf(QLatin1Char('.')));
    const Engine::Classifier classifier(Config::defaults());
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(classifier.classify(stems[i]));
        i = (i + 1) % stems.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Classify);

// A folder of 10,000 empty audio files, made once for the scan benchmarks.
const QString& bigFolder() {
    static QTemporaryDir dir;
    static const bool filled = [] {
        for (const QString& name : realisticNames(10000)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly))
                return false;
        }
        return true;
    }();
    static const QString path = filled ? dir.path() : QString();
    return path;
}

void BM_BareListing(benchmark::State& state) {
    const QByteArray folder = QFile::encodeName(bigFolder());
    for (auto _ : state) {
        int regular = 0;
        DIR* d = opendir(folder.constData());
        while (const dirent* e = readdir(d)) {
            struct stat st;
            if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
                ++regular;
        }
        closedir(d);
        benchmark::DoNotOptimize(regular);
    }
}
BENCHMARK(BM_BareListing)->Unit(benchmark::kMillisecond);

void BM_Scan(benchmark::State& state) {
    const QString folder = bigFolder();
    const Config& cfg = Config::defaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(Engine::scan(folder, cfg));
}
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per iteration, for the ratio printed after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> nanoseconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            nanoseconds[r.benchmark_name()] =
                r.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // With repetitions the medians are compared, otherwise the single runs.
    for (const char* suffix : {"_median", ""}) {
        const auto scan = reporter.nanoseconds.find(std::string("BM_Scan") + suffix);
        const auto bare = reporter.nanoseconds.find(std::string("BM_BareListing") + suffix);
        if (scan == reporter.nanoseconds.end() || bare == reporter.nanoseconds.end())
            continue;
        std::printf("scan of 10,000 files / bare readdir+lstat listing: %.2f (goal: at most 3)\n",
                    scan->second / bare->second);
        break;
    }
    benchmark::Shutdown();
    return 0;
}
