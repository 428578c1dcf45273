// Engine benchmarks: the per-name cost of the classifier, and a scan of a large folder against
// the bare listing of the same folder (readdir + lstat), with their ratio printed at the end.
#include "core/Config.h"
#include "core/Engine.h"
#include "support/SessionNames.h"

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

void BM_Classify(benchmark::State& state) {
    const QStringList names = Fixtures::sessionNames(1000);
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
        for (const QString& name : Fixtures::sessionNames(10000)) {
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
