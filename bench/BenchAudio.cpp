// The cost of the header facts in the scan: a folder of 10,000 small 24-bit WAV files scanned
// without an audio reader and with libsndfile's, with their ratio printed at the end (goal: at
// most 1.3).
#include "audio/SndfileReader.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "support/SessionNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sndfile.h>
#include <string>
#include <vector>

using namespace Vantrel;

namespace {

// The bytes of one short WAV file (a tenth of a second, 48 kHz, 24-bit mono), written by
// libsndfile once and copied under every name.
QByteArray wavBytes(const QString& scratch) {
    SF_INFO info{};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE* f = sf_open(QFile::encodeName(scratch).constData(), SFM_WRITE, &info);
    if (!f)
        return {};
    std::vector<double> samples(4800);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5 * std::sin(double(i) * 0.0576);
    sf_writef_double(f, samples.data(), sf_count_t(samples.size()));
    sf_close(f);
    QFile file(scratch);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString& folder() {
    static QTemporaryDir dir;
    static const bool filled = [] {
        const QByteArray bytes = wavBytes(dir.filePath(QStringLiteral(".scratch.wav")));
        if (bytes.isEmpty())
            return false;
        for (const QString& name : Fixtures::sessionNames(10000)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                return false;
        }
        return true;
    }();
    static const QString path = filled ? dir.path() : QString();
    return path;
}

void BM_ScanWithoutHeaderFacts(benchmark::State& state) {
    if (folder().isEmpty()) {
        state.SkipWithError("could not make the folder");
        return;
    }
    const Config& cfg = Config::defaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(Engine::scan(folder(), cfg));
}
BENCHMARK(BM_ScanWithoutHeaderFacts)->Unit(benchmark::kMillisecond);

void BM_ScanWithHeaderFacts(benchmark::State& state) {
    if (folder().isEmpty()) {
        state.SkipWithError("could not make the folder");
        return;
    }
    const Config& cfg = Config::defaults();
    for (auto _ : state)
        benchmark::DoNotOptimize(Engine::scan(folder(), cfg, &Audio::sndfileReader()));
}
BENCHMARK(BM_ScanWithHeaderFacts)->Unit(benchmark::kMillisecond);

// Prints the ratio of the two scans' mean times after the usual report.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                means[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto mean = [this](const std::string& name) {
            double sum = 0;
            for (double v : means[name])
                sum += v;
            return means[name].empty() ? 0.0 : sum / double(means[name].size());
        };
        const double without = mean("BM_ScanWithoutHeaderFacts");
        const double with = mean("BM_ScanWithHeaderFacts");
        if (without > 0)
            std::printf("scan of 10,000 files with header facts / without: %.2f (goal: at most "
                        "1.3)\n",
                        with / without);
    }

private:
    std::map<std::string, std::vector<double>> means;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
