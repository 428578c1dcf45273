// Track stacks: one summing stack per group, named after it, and folding stacks closed.

#include "automation/AXProbe.h"
#include "automation/LogicSender.h"

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

QString quoted(const QString& name) {
    return QStringLiteral("“") + name + QStringLiteral("”");
}

} // namespace

void LogicSender::makeStack(const QString& name, const QStringList& trackNames,
                            const std::optional<QList<Element>>& block) {
    const QString kDescription = QStringLiteral("AXDescription");

    tick(QStringLiteral("start"));
    const qsizetype before = this->trackNames().size();
    tick(QStringLiteral("trackNames"));
    front();
    tick(QStringLiteral("front"));

    const Element container = tracksHeader();
    if (!container)
        throw SendError(QStringLiteral("Couldn't find Logic's track list."));

    QStringList distinct;
    for (const QString& n : trackNames) {
        if (!distinct.contains(n))
            distinct << n;
    }
    QList<Element> members;
    if (block) {
        members = *block;
    } else {
        for (const Element& header : trackHeaders()) {
            const QString d = str(header, kDescription);
            for (const QString& n : std::as_const(distinct)) {
                if (d.contains(quoted(n))) {
                    members << header;
                    break;
                }
            }
        }
    }
    tick(QStringLiteral("find+match headers"));
    const qsizetype expected = block ? block->size() : distinct.size();
    if (members.size() != expected)
        throw SendError(QStringLiteral("Couldn't find all the ") + name +
                        QStringLiteral(" tracks in Logic."));

    pause(150ms);
    select(members, container);
    tick(QStringLiteral("selected"));

    AXProbe::key(platform_, QStringLiteral("d"), QStringLiteral("cmd+shift"));
    // The shortcut opens the sheet unless Logic ignores it; then the menu does. At most 1.5 s:
    // the wait looks once more one poll after its time-out.
    const bool sheetShown = waitUntil(
        QStringLiteral("the stack sheet"), 1450ms, [this] { return bool(sheet()); }, 50ms);
    if (!sheetShown)
        choose({QStringLiteral("Track"), QStringLiteral("Create Track Stack…")}, true);

    tick(QStringLiteral("menu"));
    const auto createIn = [this](const Element& in) {
        return findIn(
            in, [&](const Element& e) { return str(e, QStringLiteral("AXTitle")) == u"Create"; });
    };
    waitFor(QStringLiteral("the stack dialog"), 8s, [&] {
        const Element s = sheet();
        return s && createIn(s);
    });

    tick(QStringLiteral("sheet"));
    if (const Element s = sheet()) {
        const Element summing = findIn(s, [&](const Element& e) {
            return str(e, QStringLiteral("AXTitle")) == u"Summing stack";
        });
        if (summing) {
            const AXValue v = read(summing, QStringLiteral("AXValue"));
            const std::int64_t* chosen = std::get_if<std::int64_t>(&v);
            if (!(chosen && *chosen == 1))
                press(summing);
        }
        press(findIn(s, [&](const Element& e) {
            return str(e, QStringLiteral("AXRole")) == u"AXButton" &&
                   str(e, QStringLiteral("AXTitle")) == u"Create";
        }));
    }

    tick(QStringLiteral("created"));
    waitFor(QStringLiteral("the stack to appear"), 10s,
            [&] { return this->trackNames().size() > before; });

    tick(QStringLiteral("stack appeared"));
    const auto finish = [&] {
        madeStacks.insert(name);
        tick(QStringLiteral("renamed"));
    };
    const Element container2 = tracksHeader();
    if (container2) {
        const auto isNew = [&](const Element& header) {
            if (!triangleOf(header))
                return false;
            const QString d = str(header, kDescription);
            for (const QString& made : std::as_const(madeStacks)) {
                if (d.contains(quoted(made)))
                    return false;
            }
            return true;
        };
        const auto firstNew = [&]() -> Element {
            for (const Element& header : trackHeaders()) {
                if (isNew(header))
                    return header;
            }
            return {};
        };
        // Not recognised in time: the rename below still names the selected stack.
        waitUntil(QStringLiteral("the new stack's row"), 3s, [&] { return bool(firstNew()); });
        if (const Element row = firstNew()) {
            const std::optional<Rect> f = frame(row);
            if (f && f->size.width > 100 && f->size.height > 4) {
                const Point p{f->origin.x + 0.72 * f->size.width, f->origin.y + f->size.height / 2};
                mouse(MouseEventType::moved, p);
                pause(40ms);
                click(p, 1, 0);
                pause(40ms);
                click(p, 2, 0);
                pause(160ms);
                AXProbe::key(platform_, QStringLiteral("a"), QStringLiteral("cmd"));
                pause(30ms);
                AXProbe::type(platform_, name);
                pause(40ms);
                AXProbe::key(platform_, QStringLiteral("return"), QString());
                pause(100ms);
                bool named = this->trackNames().contains(name);
                if (!named) {
                    pause(200ms);
                    named = this->trackNames().contains(name);
                }
                if (named) {
                    finish();
                    return;
                }
            }
            note(QStringLiteral("  (could not rename ") + name +
                 QStringLiteral(" by double-clicking; using the menu)"));
            platform_.accessibility().setAttribute(container2, QStringLiteral("AXSelectedChildren"),
                                                   QList<Element>{row});
            pause(250ms);
        }
    }
    rename(name);
    finish();
}

void LogicSender::rename(const QString& name) {
    const qsizetype before = trackNames().count(name);
    for (int attempt = 0; attempt < 2; ++attempt) {
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Rename Track")}, true);
        pause(120ms);
        front();
        AXProbe::type(platform_, name);
        pause(50ms);
        AXProbe::key(platform_, QStringLiteral("return"), QString());
        pause(120ms);
        if (trackNames().count(name) > before)
            return;
    }
    throw SendError(QStringLiteral("Couldn't rename a track to “") + name + QStringLiteral("”."));
}

void LogicSender::foldStack(const QString& name) {
    Element header;
    for (const Element& h : trackHeaders()) {
        if (str(h, QStringLiteral("AXDescription")).contains(quoted(name))) {
            header = h;
            break;
        }
    }
    const Element triangle = header ? triangleOf(header) : Element();
    if (!triangle) {
        note(QStringLiteral("  (no arrow found for ") + name + QStringLiteral(")"));
        return;
    }
    const qsizetype rowsBefore = trackHeaders().size();
    const std::optional<Rect> f = frame(triangle);
    if (safelyVisible(f))
        optionClick(f->center(), 150ms, 80ms, 0ms);
    else
        press(triangle);
    // Looks every 50 ms, for 1.5 s, for the members to go.
    waitUntil(
        QStringLiteral("the stack to fold"), 1500ms,
        [&] { return trackHeaders().size() < rowsBefore; }, 50ms);
    pause(120ms);
    const qsizetype rowsAfter = trackHeaders().size();
    if (rowsAfter >= rowsBefore)
        note(QStringLiteral("  (%1 did not fold: %2 rows before, %3 after)")
                 .arg(name, QString::number(rowsBefore), QString::number(rowsAfter)));
}

void LogicSender::foldOpenStacks() {
    int folds = 0;
    for (;;) {
        if (!projectWindowFrame())
            return;
        const QList<Element> headers = trackHeaders();
        std::optional<Rect> open;
        for (const Element& h : headers) {
            const Element t = triangleOf(h);
            if (!t || isOpen(t) != true)
                continue;
            const std::optional<Rect> f = frame(t);
            if (safelyVisible(f)) {
                open = f;
                break;
            }
        }
        if (!open)
            break;
        const qsizetype n = headers.size();
        throwIfCancelled();
        optionClick(open->center(), 100ms, 80ms, 0ms);
        // Looks every 60 ms, for 1.2 s, for the members to go.
        waitUntil(
            QStringLiteral("the stack to fold"), 1200ms, [&] { return trackHeaders().size() != n; },
            60ms);
        pause(150ms);
        if (++folds == 12)
            return;
    }
    if (folds > 0)
        return;

    // Logic may not tell whether a stack is open: try the first arrow a few times.
    bool unknownState = false;
    for (const Element& h : trackHeaders()) {
        const Element t = triangleOf(h);
        if (t && !isOpen(t)) {
            unknownState = true;
            break;
        }
    }
    if (!unknownState)
        return;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QList<Element> headers = trackHeaders();
        Element first;
        for (const Element& h : headers) {
            if ((first = triangleOf(h)))
                break;
        }
        if (!first)
            return;
        const std::optional<Rect> f = frame(first);
        if (!f)
            return;
        throwIfCancelled();
        optionClick(f->center(), 100ms, 80ms, 0ms);
        pause(500ms);
        if (trackHeaders().size() < headers.size())
            return;
    }
}

void LogicSender::collapseAllStacks() {
    front();
    const std::optional<Rect> project = projectWindowFrame();
    if (!project)
        throw SendError(QStringLiteral("Couldn't find Logic's project window."));
    for (const Element& h : trackHeaders()) {
        const Element t = triangleOf(h);
        const std::optional<Rect> f = t ? frame(t) : std::nullopt;
        if (!safelyVisible(f) || f->origin.x <= project->origin.x)
            continue;
        optionClick(f->center(), 150ms, 80ms, 500ms);
        return;
    }
    throw SendError(QStringLiteral("Couldn't find a stack arrow on screen to fold the stacks."));
}

} // namespace Vantrel
