// vantrel-bench-ui: the window with a folder of 10,000 tracks, on the offscreen platform.
//  - the time from AppModel::load to the review list painted with all rows, and the memory the
//    process holds with it open, against vantrel-cli scan of the same folder;
//  - the time to paint one frame while scrolling the review list from top to bottom;
//  - the time from "Accept All Suggestions" to the list painted again, and of its undo.
// Usage: vantrel-bench-ui PATH_TO_VANTREL_CLI [TRACKS]
#include "app/AppModel.h"
#include "app/Worker.h"
#include "platform/sim/SimPlatform.h"
#include "support/SessionNames.h"
#include "ui/ContentView.h"
#include "ui/MainWindow.h"
#include "ui/ReviewView.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace Vantrel;

namespace {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Runs a command to its end; its wall time in ms and peak resident memory in KiB.
std::pair<double, long> runMeasured(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        return {-1, -1};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    return {timer.nsecsElapsed() / 1e6, usage.ru_maxrss};
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * (v.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    // Headless unless told otherwise (test discovery runs the executable without a display).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantrel-bench-ui PATH_TO_VANTREL_CLI [TRACKS]\n");
        return 2;
    }
    const int tracks = argc > 2 ? std::atoi(argv[2]) : 10000;
    QApplication::setPalette(Ui::lightPalette());
    QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel")).clear();

    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("Big Session"));
    QDir().mkpath(folder);
    for (const QString& name : Fixtures::sessionNames(tracks)) {
        QFile f(folder + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
    }

    SimPlatform platform;
    AppModel model({.platform = &platform});
    model.setShowWalkthrough(false);
    Ui::MainWindow window(model);
    window.resize(900, 640);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    const long before = residentKiB();

    Ui::ReviewList* list = window.content()->reviewView()->list();
    QElapsedTimer timer;
    timer.start();
    model.review().load(folder);
    if (!QTest::qWaitFor([&] { return !model.busyState().busy() && list->isVisible(); }, 120000))
        return 1;
    list->viewport()->repaint();
    const double loadMs = timer.nsecsElapsed() / 1e6;
    const long open = residentKiB();

    const auto [cliMs, cliKiB] = runMeasured({argv[1], "scan", folder.toStdString()});

    std::printf("Opening a folder of %d tracks (offscreen window 900 x 640)\n", tracks);
    std::printf("  load to review list painted: %8.1f ms\n", loadMs);
    std::printf("  vantrel-cli scan, whole run:  %8.1f ms\n", cliMs);
    std::printf("  window process resident: %ld KiB before, %ld KiB with the folder open (+%ld)\n",
                before, open, open - before);
    std::printf("  vantrel-cli scan peak resident: %ld KiB\n", cliKiB);

    // Scroll from top to bottom a page at a time, painting each frame synchronously.
    QScrollBar* bar = list->verticalScrollBar();
    bar->setValue(0);
    QCoreApplication::processEvents();
    std::vector<double> frames;
    const int page = std::max(1, list->viewport()->height());
    for (int value = 0;; value += page) {
        bar->setValue(std::min(value, bar->maximum()));
        QElapsedTimer frame;
        frame.start();
        list->viewport()->repaint();
        frames.push_back(frame.nsecsElapsed() / 1e6);
        if (bar->value() >= bar->maximum())
            break;
    }
    double sum = 0;
    for (double f : frames)
        sum += f;
    std::printf("Scrolling the review list top to bottom, a page per frame (%zu frames, %d rows "
                "each)\n",
                frames.size(), page / Ui::RowDelegate::rowHeight());
    std::printf("  frame time: mean %.2f ms, median %.2f ms, 95th %.2f ms, max %.2f ms\n",
                sum / frames.size(), percentile(frames, 0.5), percentile(frames, 0.95),
                *std::max_element(frames.begin(), frames.end()));
    // Accept All Suggestions, as the button does, and its undo, each to the list painted.
    const auto timed = [&](const std::function<void()>& act) {
        QElapsedTimer t;
        t.start();
        act();
        QCoreApplication::processEvents();
        list->viewport()->repaint();
        return t.nsecsElapsed() / 1e6;
    };
    QElapsedTimer countTimer;
    countTimer.start();
    const int suggested = model.review().suggestionCount();
    const double countMs = countTimer.nsecsElapsed() / 1e6;
    const double acceptMs = timed([&] { model.review().acceptAllSuggestions(); });
    const double undoMs = timed([&] { model.review().undo(); });
    std::printf("Accepting all suggestions (%d of %d tracks)\n", suggested, tracks);
    std::printf("  counting them: %8.1f ms\n", countMs);
    std::printf("  accept all to list painted: %8.1f ms\n", acceptMs);
    std::printf("  undo to list painted:       %8.1f ms\n", undoMs);

    // The worst case: every track of the folder has a suggestion.
    const QString suggestedFolder = root.filePath(QStringLiteral("All Suggested"));
    QDir().mkpath(suggestedFolder);
    for (int i = 1; i <= tracks; ++i) {
        QFile f(suggestedFolder + QStringLiteral("/%1 KickIn.wav").arg(i));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
    }
    model.review().load(suggestedFolder);
    if (!QTest::qWaitFor([&] { return !model.busyState().busy(); }, 120000))
        return 1;
    QCoreApplication::processEvents();
    const int all = model.review().suggestionCount();
    const double allMs = timed([&] { model.review().acceptAllSuggestions(); });
    std::printf("Accepting all suggestions (%d of %d tracks)\n", all, tracks);
    std::printf("  accept all to list painted: %8.1f ms\n", allMs);
    Worker::waitUntilIdle();
    return 0;
}
