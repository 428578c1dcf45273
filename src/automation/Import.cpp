// Bringing audio files into Logic Pro: one at a time through its import dialog, or many at
// once by dragging this program's tile below the last track, with retries and a check that
// every file arrived.

#include "automation/AXProbe.h"
#include "automation/LogicBridge.h"
#include "automation/LogicSender.h"
#include "platform/AxNames.h"

#include <QCoreApplication>

#include <algorithm>

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

// The pacing of a drag: the normal one, and the slow one used for retries.
struct DragTimings {
    std::chrono::milliseconds beforeDrag;
    std::chrono::milliseconds afterMove;
    std::chrono::milliseconds afterPress;
    int steps;
    std::chrono::milliseconds afterStep;
    int hovers;
    std::chrono::milliseconds afterHover;
    std::chrono::milliseconds beforeRelease;
    std::chrono::milliseconds afterRelease;
};

constexpr DragTimings fastDrag{200ms, 50ms, 40ms, 14, 6ms, 4, 25ms, 100ms, 200ms};
constexpr DragTimings slowDrag{600ms, 200ms, 150ms, 60, 30ms, 14, 70ms, 500ms, 800ms};

int whole(double v) {
    return int(v); // drops the fraction
}

} // namespace

void LogicSender::importFile(const QString& file) {
    const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    const QString folder = file.left(std::max<qsizetype>(file.lastIndexOf(QLatin1Char('/')), 0));
    const auto withId = [this](const QString& id) {
        return [this, id](const Element& e) { return str(e, Ax::Attr::identifier) == id; };
    };

    front();
    choose({QStringLiteral("File"), QStringLiteral("Import"), QStringLiteral("Audio File…")}, true);
    waitFor(QCoreApplication::translate("Vantrel::Sender", "the import dialog"), 10s,
            [&] { return bool(window(Ax::Id::openPanel)); });
    pause(400ms);

    if (lastFolder != folder) {
        front();
        AXProbe::key(platform_, QStringLiteral("g"), QStringLiteral("cmd+shift"));
        Element field;
        waitFor(QCoreApplication::translate("Vantrel::Sender", "the Go to Folder box"), 5s, [&] {
            field = findInWindows(withId(Ax::Id::goToPathField));
            return bool(field);
        });
        platform_.accessibility().setAttribute(field, Ax::Attr::value, folder);
        AXProbe::key(platform_, QStringLiteral("return"), QString());
        waitFor(QCoreApplication::translate("Vantrel::Sender", "the folder to open"), 8s,
                [&] { return !findInWindows(withId(Ax::Id::goToSheet)); });
        lastFolder = folder;
        pause(600ms);
    }

    Element row;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "“%1” in the dialog").arg(name), 10s,
            [&] {
                const Element list = findInWindows(withId(Ax::Id::fileList));
                if (!list)
                    return false;
                for (const Element& child : AXProbe::kids(platform_, list)) {
                    if (str(child, Ax::Attr::role) != Ax::Role::row)
                        continue;
                    const Element text = findIn(child, [&](const Element& e) {
                        return str(e, Ax::Attr::role) == Ax::Role::textField &&
                               str(e, Ax::Attr::value) == name;
                    });
                    if (text) {
                        row = child;
                        return true;
                    }
                }
                return false;
            });
    if (const Element list = findInWindows(withId(Ax::Id::fileList)))
        platform_.accessibility().setAttribute(list, Ax::Attr::selectedRows, QList<Element>{row});

    Element ok;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "Open to be available"), 5s, [&] {
        ok = findInWindows([&](const Element& e) {
            if (str(e, Ax::Attr::identifier) != Ax::Id::openButton)
                return false;
            const AXValue v = read(e, Ax::Attr::enabled);
            const bool* b = std::get_if<bool>(&v);
            return b && *b;
        });
        return bool(ok);
    });
    press(ok);

    // Logic may ask whether to import the file's tempo once the panel has gone; it need not.
    // At most 2.5 s: the wait looks once more one poll after its time-out.
    waitUntil(QStringLiteral("the tempo question"), 2400ms,
              [&] { return !window(Ax::Id::openPanel) && alert(); });
    if (const Element question = alert()) {
        if (const Element button = dontImportButton(question)) {
            press(button);
            waitFor(QCoreApplication::translate("Vantrel::Sender", "the tempo question to close"),
                    5s, [&] { return !alert(); });
        }
    }
    waitFor(QCoreApplication::translate("Vantrel::Sender", "the import dialog to close"), 10s,
            [&] { return !window(Ax::Id::openPanel); });
}

void LogicSender::dragIntoLogic(const QStringList& files, bool slow) {
    front();
    const std::optional<Rect> frameOfProject = projectWindowFrame();
    if (!frameOfProject)
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Couldn't find Logic's project window."));
    const Rect w = *frameOfProject;
    const double minX = w.origin.x, minY = w.origin.y;
    const double width = w.size.width, height = w.size.height;

    double x = minX + 0.4 * width;
    const Element main = mainWindow();
    const Element ruler = main ? trackListPart(main, TrackListPart::ruler) : Element();
    if (const std::optional<Rect> r = ruler ? frame(ruler) : std::nullopt)
        x = r->origin.x + 4;

    double y = minY + 0.78 * height;
    const QList<Element> headers = trackHeaders();
    if (const std::optional<Rect> last = headers.isEmpty() ? std::nullopt : frame(headers.last())) {
        y = std::max(last->origin.y + last->size.height + 40, minY + 0.4 * height);
        if (y > minY + height - 60)
            y = minY + height - 60;
    }
    // The drop must land in the track list, not in an editor pane open below it: the list is
    // the track header group's frame.
    const Element list = tracksHeader();
    if (const std::optional<Rect> area = list ? frame(list) : std::nullopt) {
        const double bottom = area->origin.y + area->size.height - 20;
        if (y > bottom)
            y = std::max(bottom, area->origin.y + 10);
    }
    note(QStringLiteral("drag to x=%1 y=%2 in the window %3,%4 %5x%6; %7 track headers")
             .arg(whole(x))
             .arg(whole(y))
             .arg(whole(minX))
             .arg(whole(minY))
             .arg(whole(width))
             .arg(whole(height))
             .arg(headers.size()));

    // The tile sits beside the track list; its centre is where the drag starts.
    const Rect tile{{minX + 360, minY + 0.55 * height}, {120, 70}};
    platform_.dragTiles().showTile(files, tile);

    const DragTimings& t = slow ? slowDrag : fastDrag;
    const Point s = tile.center();
    const Point target{x, y};
    pause(t.beforeDrag);
    mouse(MouseEventType::moved, s);
    pause(t.afterMove);
    mouse(MouseEventType::leftDown, s, 0, 1);
    pause(t.afterPress);
    for (int q = 1; q <= t.steps; ++q) {
        const double f = double(q) / t.steps;
        mouse(MouseEventType::leftDragged, {s.x + (target.x - s.x) * f, s.y + (target.y - s.y) * f},
              0, 1);
        pause(t.afterStep);
    }
    for (int k = 0; k < t.hovers; ++k) {
        mouse(MouseEventType::leftDragged, {k % 2 == 1 ? x + 3 : x, y + (k % 3)}, 0, 1);
        pause(t.afterHover);
    }
    pause(t.beforeRelease);
    mouse(MouseEventType::leftUp, {x + 1, y + 1}, 0, 1);
    pause(t.afterRelease);

    platform_.dragTiles().hideTile();
}

bool LogicSender::responsive() {
    const std::optional<RunningApp> app = LogicBridge::logicApp(platform_);
    if (!app)
        return false;
    const Element e = platform_.accessibility().applicationElement(app->pid);
    return e &&
           platform_.accessibility().attribute(e, Ax::Attr::frontmost).status == AXResult::success;
}

void LogicSender::importByDrag(const QStringList& files, const QString& group, double base,
                               double span) {
    const int n = int(files.size());
    Clock& clock = platform_.clock();
    // The new tracks come in below the last one: the rows kept before stay as they were.
    const long long since = changes();

    waitUntilReady();
    selectLastTrack();
    std::optional<int> counted;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "Logic's track list"), 30s, [&] {
        counted = trackCount();
        return counted.has_value();
    });
    const int before = *counted;
    QStringList titles;
    for (const Element& w : AXProbe::windows(platform_))
        titles << QStringLiteral("“") + str(w, Ax::Attr::title) + QStringLiteral("”");
    note(QCoreApplication::translate("Vantrel::Sender", "before the drag: %n tracks; windows: %1",
                                     nullptr, before)
             .arg(titles.join(QStringLiteral(", "))),
         base);

    dragIntoLogic(files, false);

    // The drop took effect once Logic asks about it or the count grew; a count that cannot be
    // read (Logic busy) tells nothing.
    const auto grown = [&] {
        const std::optional<int> c = trackCount();
        return c && *c > before;
    };
    const auto arrived = [&] { return optionsWindow() || alert() || grown(); };
    for (int attempt = 0;;) {
        if (waitUntil(QStringLiteral("the files to arrive"), attempt == 0 ? 4s : 5s, arrived,
                      150ms))
            break;
        // A drag is repeated only when Logic answers and nothing came in: a busy Logic may
        // still be taking the first drop.
        if (!waitUntil(
                QStringLiteral("Logic to answer"), 60s, [&] { return responsive(); }, 500ms))
            throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                        "Logic stopped answering after the drop."));
        if (arrived())
            break;
        if (attempt >= 3)
            break;
        ++attempt;
        report(
            QCoreApplication::translate("Vantrel::Sender", "Retrying the drag (%1)").arg(attempt),
            base);
        // A retry is seconds of gestures: none is started once cancelled.
        throwIfCancelled();
        waitUntilReady();
        selectLastTrack();
        dragIntoLogic(files, true);
    }

    throwIfCancelled();
    Clock::Duration lastChange = clock.now();
    int previous = -1;
    int g = 0;
    // Answers Logic's questions as they come and reports every change of the count; done once
    // every file is a track and nothing changed for 600 ms.
    const auto completed = [&] {
        if (answerDialogs())
            lastChange = clock.now();
        const std::optional<int> count = trackCount();
        if (!count)
            return false;
        const int d = *count - before;
        g = std::max(d, 0);
        const bool changed = d != previous;
        previous = d;
        if (changed) {
            lastChange = clock.now();
            report(group.isEmpty()
                       ? QCoreApplication::translate("Vantrel::Sender",
                                                     "Importing: %1 of %n tracks", nullptr, n)
                             .arg(std::min(g, n))
                       : QCoreApplication::translate("Vantrel::Sender",
                                                     "Importing %1: %2 of %n tracks", nullptr, n)
                             .arg(group)
                             .arg(std::min(g, n)),
                   base + span * 0.8 * std::min(g, n) / std::max(n, 1));
        }
        return d >= n && !alert() && !optionsWindow() && clock.now() - lastChange > 600ms;
    };
    if (!waitUntil(QStringLiteral("the tracks"), std::chrono::seconds(4 * n + 90), completed,
                   200ms))
        throw SendError(
            group.isEmpty()
                ? QCoreApplication::translate("Vantrel::Sender",
                                              "Logic only brought in %1 of %n tracks.", nullptr, n)
                      .arg(g)
                : QCoreApplication::translate(
                      "Vantrel::Sender", "Logic only brought in %1 of %n %2 tracks.", nullptr, n)
                      .arg(g)
                      .arg(group));
    if (g > n)
        note(QCoreApplication::translate("Vantrel::Sender", "(%1 tracks came in for %n files)",
                                         nullptr, n)
                 .arg(g),
             base + 0.8 * span);
    trackList_.appended(since, changes());
}

} // namespace Vantrel
