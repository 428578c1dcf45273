// The sender against the simulated Logic Pro:
//   - what one fast send of 48 tracks in 11 groups asks of Logic (attribute reads and writes,
//     actions, key and mouse events, in all and per track), on a virtual clock, against the
//     well-behaved simulator and under the realistic profile;
//   - the same send on the machine's clock with every accessibility call costing 0.5 ms, and
//     again at 1 ms: the wall time, and the CPU time the sender itself spends (its thread's CPU
//     time minus the time spent inside the simulated Logic Pro);
//   - what a grouped send of 200 tracks in 46 groups asks of Logic under the realistic profile;
//   - the largest session each mode completes under the realistic profile on the 1440 x 900
//     screen (sizes 12, 24, 48, 96, 150, 200).

#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "platform/sim/SimPlatform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>

using namespace Vantrel;
using namespace std::chrono_literals;

namespace {

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Jobs of `tracks` files spread over `groups` coloured groups (the first groups get one more
// when it does not divide), written as small files under dir.
QList<SendJob> makeJobs(const QString& dir, int tracks, int groups) {
    QList<SendJob> jobs;
    int made = 0;
    for (int g = 0; g < groups && made < tracks; ++g) {
        const int count = tracks / groups + (g < tracks % groups ? 1 : 0);
        SendJob job{QStringLiteral("GROUP%1").arg(g + 1), {}, Swatch{(g * 2) % 24, g % 4}};
        const QString folder =
            QStringLiteral("%1/%2_GROUP%3").arg(dir).arg(g + 1, 2, 10, QChar('0')).arg(g + 1);
        QDir().mkpath(folder);
        for (int i = 0; i < count; ++i, ++made) {
            const QString path = QStringLiteral("%1/G%2_%3_TRACK.wav")
                                     .arg(folder)
                                     .arg(g + 1)
                                     .arg(i + 1, 2, 10, QChar('0'));
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("RIFF");
            job.files << path;
        }
        jobs << job;
    }
    return jobs;
}

// The seam of a SimPlatform, noting the thread CPU time spent inside the simulated Logic Pro
// (accessibility calls, posted events, the drag tile); sleeps are not counted.
class Metered final : public Platform, private Accessibility, private Input, private DragTileHost {
public:
    explicit Metered(SimPlatform& sim) : sim_(sim) {}
    double insideSeconds = 0;

    Accessibility& accessibility() override { return *this; }
    Input& input() override { return *this; }
    Screen& screen() override { return sim_.screen(); }
    DragTileHost& dragTiles() override { return *this; }
    Clock& clock() override { return sim_.clock(); }

private:
    template <typename F> auto metered(F f) {
        const double start = threadCpuSeconds();
        struct Done {
            double start;
            double& total;
            ~Done() { total += threadCpuSeconds() - start; }
        } done{start, insideSeconds};
        return f();
    }
    Accessibility& ax() { return sim_.accessibility(); }

    bool isTrusted() override {
        return metered([&] { return ax().isTrusted(); });
    }
    void promptForTrust() override {
        metered([&] { ax().promptForTrust(); });
    }
    QList<RunningApp> runningApplications(const QString& id) override {
        return metered([&] { return ax().runningApplications(id); });
    }
    bool activate(const RunningApp& app) override {
        return metered([&] { return ax().activate(app); });
    }
    Element applicationElement(std::int64_t pid) override {
        return metered([&] { return ax().applicationElement(pid); });
    }
    AttributeRead attribute(const Element& e, const QString& name) override {
        return metered([&] { return ax().attribute(e, name); });
    }
    QList<AttributeRead> attributes(const Element& e, const QStringList& names) override {
        return metered([&] { return ax().attributes(e, names); });
    }
    int setAttribute(const Element& e, const QString& name, const AXValue& v) override {
        return metered([&] { return ax().setAttribute(e, name, v); });
    }
    int performAction(const Element& e, const QString& action) override {
        return metered([&] { return ax().performAction(e, action); });
    }
    void postKey(const KeyEvent& e) override {
        metered([&] { sim_.input().postKey(e); });
    }
    void postMouse(const MouseEvent& e) override {
        metered([&] { sim_.input().postMouse(e); });
    }
    void showTile(const QStringList& files, const Rect& frame) override {
        metered([&] { sim_.dragTiles().showTile(files, frame); });
    }
    void hideTile() override {
        metered([&] { sim_.dragTiles().hideTile(); });
    }

    SimPlatform& sim_;
};

// The realistic profile (seeded) and any further quirks switched on.
void applyProfile(SimPlatform& sim, bool realistic, std::uint64_t seed = 1) {
    sim.logic().setSeed(seed);
    if (realistic)
        sim.logic().applyProfile(QStringLiteral("realistic"));
}

// Calls of sends of tracks in groups, in mode, on a virtual clock, as counters: per track and
// per send, and the simulated time of a send.
void countCalls(benchmark::State& state, SendMode mode, int tracks, int groups, bool realistic) {
    QTemporaryDir dir;
    const QList<SendJob> jobs = makeJobs(dir.path(), tracks, groups);
    SimCounters total;
    std::string failure;
    double simulatedSeconds = 0;
    int sends = 0;
    bool ok = true;
    for (auto _ : state) {
        VirtualClock clock;
        SimPlatform sim(clock);
        applyProfile(sim, realistic);
        LogicSender sender(sim);
        const auto start = clock.now();
        const SendOutcome outcome = sender.send(mode, jobs, false);
        if (!outcome.ok && ok)
            failure = outcome.result.toStdString();
        ok = outcome.ok && ok;
        simulatedSeconds += std::chrono::duration<double>(clock.now() - start).count();
        const SimCounters c = sim.logic().counters();
        total.attributeReads += c.attributeReads;
        total.attributeWrites += c.attributeWrites;
        total.actions += c.actions;
        total.keyEvents += c.keyEvents;
        total.mouseEvents += c.mouseEvents;
        ++sends;
    }
    const double per = double(sends) * tracks;
    state.counters["readsPerTrack"] = double(total.attributeReads) / per;
    state.counters["writesPerTrack"] = double(total.attributeWrites) / per;
    state.counters["actionsPerTrack"] = double(total.actions) / per;
    state.counters["eventsPerTrack"] = double(total.keyEvents + total.mouseEvents) / per;
    state.counters["callsPerTrack"] = double(total.attributeReads + total.attributeWrites +
                                             total.actions + total.keyEvents + total.mouseEvents) /
                                      per;
    state.counters["attributeReads"] = double(total.attributeReads) / sends;
    state.counters["actions"] = double(total.actions) / sends;
    state.counters["keyEvents"] = double(total.keyEvents) / sends;
    state.counters["mouseEvents"] = double(total.mouseEvents) / sends;
    state.counters["sendSeconds"] = simulatedSeconds / sends;
    state.SetLabel(std::string(realistic ? "realistic" : "plain") +
                   (ok ? "" : ", FAILED: " + failure));
}

// Calls of one fast send of 48 tracks in 11 groups, on a virtual clock; arg 1: realistic.
void BM_SendCalls(benchmark::State& state) {
    countCalls(state, SendMode::fast, 48, 11, state.range(0) == 1);
}
BENCHMARK(BM_SendCalls)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Calls of one grouped send of 200 tracks in 46 groups under the realistic profile.
void BM_GroupedSendCalls(benchmark::State& state) {
    countCalls(state, SendMode::grouped, 200, 46, true);
}
BENCHMARK(BM_GroupedSendCalls)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same send on the machine's clock, every accessibility call costing callCost (in ms, as
// the simulator's call-cost takes it): the wall time and the sender's own CPU time.
void sendOnRealClock(benchmark::State& state, bool realistic, const QString& callCost) {
    QTemporaryDir dir;
    const QList<SendJob> jobs = makeJobs(dir.path(), 48, 11);
    for (auto _ : state) {
        SystemClock clock;
        SimPlatform sim(clock, {QStringLiteral("call-cost=") + callCost});
        applyProfile(sim, realistic);
        Metered metered(sim);
        LogicSender sender(metered);
        const auto wallStart = std::chrono::steady_clock::now();
        const double cpuStart = threadCpuSeconds();
        const bool ok = sender.send(SendMode::fast, jobs, false).ok;
        const double cpu = threadCpuSeconds() - cpuStart;
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double own = cpu - metered.insideSeconds;
        state.counters["wallSeconds"] = wall;
        state.counters["senderCpuSeconds"] = own;
        state.counters["logicCpuSeconds"] = metered.insideSeconds;
        state.counters["calls"] =
            double(sim.logic().counters().attributeReads + sim.logic().counters().attributeWrites +
                   sim.logic().counters().actions);
        state.SetLabel(std::string(realistic ? "realistic" : "plain") + (ok ? "" : ", FAILED"));
    }
}

// At 0.5 ms a call; arg 1: realistic.
void BM_SendRealClock(benchmark::State& state) {
    sendOnRealClock(state, state.range(0) == 1, QStringLiteral("0.5"));
}
BENCHMARK(BM_SendRealClock)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// At 1 ms a call; arg 1: realistic.
void BM_SendRealClockOneMs(benchmark::State& state) {
    sendOnRealClock(state, state.range(0) == 1, QStringLiteral("1"));
}
BENCHMARK(BM_SendRealClockOneMs)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

// The largest session (four groups, two unsorted files) each mode completes under the
// realistic profile, and what the next size fails with; arg: the mode.
void BM_LargestRealisticSession(benchmark::State& state) {
    const SendMode mode = SendMode(state.range(0));
    int largest = 0;
    QString firstFailure;
    double simulatedSeconds = 0;
    for (auto _ : state) {
        largest = 0;
        for (const int tracks : {12, 24, 48, 96, 150, 200}) {
            QTemporaryDir dir;
            QList<SendJob> jobs = makeJobs(dir.path(), tracks - 2, 4);
            SendJob unsorted{std::nullopt, {}, std::nullopt};
            for (const char* n : {"ROOM_L", "ROOM_R"}) {
                const QString path = dir.filePath(QStringLiteral("99_UNSORTED/%1.wav").arg(n));
                QDir().mkpath(dir.filePath(QStringLiteral("99_UNSORTED")));
                QFile f(path);
                f.open(QIODevice::WriteOnly);
                f.write("RIFF");
                unsorted.files << path;
            }
            jobs << unsorted;
            VirtualClock clock;
            SimPlatform sim(clock);
            applyProfile(sim, true, 7);
            if (mode == SendMode::stacksOnly) {
                for (const QString& f : dragURLs(jobs))
                    sim.logic().addTrack(memberName(f));
            }
            LogicSender sender(sim);
            const SendOutcome outcome = sender.send(mode, jobs, false);
            if (!outcome.ok) {
                firstFailure = QStringLiteral("%1 tracks: ").arg(tracks) + outcome.result;
                break;
            }
            largest = tracks;
            simulatedSeconds = std::chrono::duration<double>(clock.now()).count();
        }
    }
    state.counters["largestTracks"] = largest;
    state.counters["sendSecondsOfLargest"] = simulatedSeconds;
    state.SetLabel(sendModeName(mode).toStdString() +
                   (firstFailure.isEmpty() ? std::string() : ": " + firstFailure.toStdString()));
}
BENCHMARK(BM_LargestRealisticSession)
    ->Arg(int(SendMode::fast))
    ->Arg(int(SendMode::grouped))
    ->Arg(int(SendMode::slow))
    ->Arg(int(SendMode::stacksOnly))
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
