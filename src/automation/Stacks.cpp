// Track stacks: one summing stack per group, named after it, and folding stacks closed.

#include "automation/AXProbe.h"
#include "automation/LogicSender.h"
#include "platform/AxNames.h"

#include <QCoreApplication>
#include <QSet>

#include <algorithm>

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

QList<int> numbersOf(const QList<TrackRow>& rows) {
    QList<int> n;
    for (const TrackRow& r : rows)
        n << r.number;
    std::sort(n.begin(), n.end());
    return n;
}

} // namespace

int LogicSender::makeStack(const QString& name, const QList<TrackRow>& members) {
    const long long since = changes();
    tick(QStringLiteral("start"));
    front();
    if (!tracksHeader())
        throw SendError(
            QCoreApplication::translate("Vantrel::Sender", "Couldn't find Logic's track list."));
    if (members.isEmpty())
        throw SendError(
            QCoreApplication::translate("Vantrel::Sender", "Couldn't find the %1 tracks in Logic.")
                .arg(name));
    const std::optional<int> countBefore = trackCount();
    const QList<int> wanted = numbersOf(members);
    const auto selectionRight = [&] { return selectionHolds(wanted); };
    // The dialog is confirmed by its default button, whatever it is titled.
    const auto defaultButton = [this](const Element& in) {
        return AXProbe::element(platform_, in, Ax::Attr::defaultButton);
    };

    // Chooses a summing stack and presses the default button; nothing is pressed while the
    // choice does not show as made (a question that came meanwhile takes the presses). Never a
    // folder stack: when the summing choice cannot be found or made, nothing is made.
    const auto confirm = [&](const Element& s) {
        answerDialogs();
        const Element summing = summingChoice(s);
        const auto chosen = [&] {
            const AXValue v = read(summing, Ax::Attr::value);
            const std::int64_t* i = std::get_if<std::int64_t>(&v);
            const bool* b = std::get_if<bool>(&v);
            return (i && *i == 1) || (b && *b);
        };
        if (summing && !chosen())
            press(summing);
        if (!summing || !waitUntil(QStringLiteral("the summing choice"), 1s, chosen, 50ms)) {
            front();
            AXProbe::key(platform_, QStringLiteral("escape"), QString());
            throw SendError(
                QCoreApplication::translate("Vantrel::Sender",
                                            "Couldn't choose a summing stack in Logic's track "
                                            "stack dialog, so no stack was made for %1.")
                    .arg(name));
        }
        if (const Element ok = defaultButton(s)) {
            press(ok);
        } else {
            front();
            AXProbe::key(platform_, QStringLiteral("return"), QString());
        }
    };

    // A person may click a row at any moment: the selection is checked before the dialog
    // opens and again before it is confirmed, and the dialog is dismissed when it changed.
    bool confirmed = false;
    for (int attempt = 0; attempt < 3 && !confirmed; ++attempt) {
        throwIfCancelled();
        pause(150ms);
        selectRows(members);
        if (!selectionRight()) {
            note(QCoreApplication::translate("Vantrel::Sender",
                                             "(the selection for %1 did not hold; selecting again)")
                     .arg(name));
            continue;
        }
        tick(QStringLiteral("selected"));

        AXProbe::key(platform_, QStringLiteral("d"), QStringLiteral("cmd+shift"));
        // The shortcut opens the sheet unless Logic ignores it; then the menu does. At most
        // 1.5 s: the wait looks once more one poll after its time-out.
        const bool sheetShown = waitUntil(
            QStringLiteral("the stack sheet"), 1450ms, [this] { return bool(sheet()); }, 50ms);
        if (!sheetShown)
            choose({QStringLiteral("Track"), QStringLiteral("Create Track Stack…")}, true);

        tick(QStringLiteral("menu"));
        waitFor(QCoreApplication::translate("Vantrel::Sender", "the stack dialog"), 8s,
                [&] { return bool(sheet()); });

        tick(QStringLiteral("sheet"));
        const Element s = sheet();
        if (!s)
            continue;
        if (!selectionRight()) {
            note(QCoreApplication::translate("Vantrel::Sender",
                                             "(the selection for %1 changed while the stack "
                                             "dialog was open; dismissing it)")
                     .arg(name));
            AXProbe::key(platform_, QStringLiteral("escape"), QString());
            waitFor(QCoreApplication::translate("Vantrel::Sender", "the stack dialog to close"), 5s,
                    [&] { return !bool(sheet()); });
            continue;
        }
        confirm(s);
        confirmed = true;
    }
    if (!confirmed)
        throw SendError(
            QCoreApplication::translate("Vantrel::Sender",
                                        "Couldn't keep the %1 tracks selected in Logic to stack "
                                        "them (something else changed the selection). Nothing "
                                        "else was changed after this point.")
                .arg(name));

    tick(QStringLiteral("created"));
    // Logic selects the new stack's row.
    TrackRow made;
    int polls = 0;
    waitFor(QCoreApplication::translate("Vantrel::Sender", "the stack to appear"), 10s, [&] {
        if (const Element s = sheet()) {
            // Still open after a second: the press went to a question that came in between.
            if (++polls % 10 == 0)
                confirm(s);
            return false;
        }
        for (const TrackRow& r : selectedRows()) {
            if (r.stack) {
                made = r;
                return true;
            }
        }
        return false;
    });
    tick(QStringLiteral("stack appeared"));
    renameRow(made.number, name);
    madeStacks.insert(name);
    stackSizes[name] = int(members.size());
    tick(QStringLiteral("renamed"));
    if (countBefore)
        checkStackMembers(made.number, name, members, *countBefore + 1);
    noteStackMade(since, made.number, name, members);
    return made.number;
}

void LogicSender::checkStackMembers(int number, const QString& name, const QList<TrackRow>& members,
                                    int total) {
    // Which tracks a stack holds shows only while it is closed: its tracks are then missing
    // from the rows, and the numbers jump over them. The stack is closed, counted and opened.
    const auto clickArrow = [&](bool open) {
        const Element row = showRow(number);
        const Element t = row ? triangleOf(row) : Element();
        const std::optional<Rect> f = t ? frame(t) : std::nullopt;
        if (!f || !safelyVisible(f))
            return false;
        if (isOpen(t) == open)
            return true;
        mouse(MouseEventType::moved, f->center());
        pause(100ms);
        click(f->center(), 1, 0);
        return waitUntil(
            QStringLiteral("the stack to open or close"), 1500ms,
            [&] {
                const Element r = showRow(number);
                const Element tr = r ? triangleOf(r) : Element();
                return tr && isOpen(tr) == open;
            },
            50ms);
    };
    if (!clickArrow(false)) {
        note(QCoreApplication::translate("Vantrel::Sender",
                                         "(the stack %1 could not be closed to count its "
                                         "tracks; the closing check will)")
                 .arg(name));
        return;
    }
    std::optional<int> size;
    if (const Element row = showRow(number); row) {
        if (const std::optional<QList<TrackRow>> page = rowsOnScreen(false)) {
            for (qsizetype i = 0; i < page->size(); ++i) {
                if ((*page)[i].number != number)
                    continue;
                size = i + 1 < page->size() ? (*page)[i + 1].number - number - 1 : total - number;
            }
        }
    }
    const bool reopened = clickArrow(true);
    if (!size)
        return;
    if (*size == int(members.size()) && reopened) {
        // The rows below the open stack's row are its tracks: their names are checked too.
        QStringList held, sent;
        for (int n = number + 1; n <= number + *size; ++n) {
            const Element e = showRow(n);
            const auto parsed = e ? rowOf(e) : std::nullopt;
            held << (parsed ? parsed->second : QString());
        }
        for (const TrackRow& m : members)
            sent << m.name;
        held.sort();
        sent.sort();
        if (held == sent)
            return;
        throw SendError(
            QCoreApplication::translate("Vantrel::Sender",
                                        "The stack “%1” in Logic holds other tracks than its own "
                                        "(%2). Nothing else was changed after this point.")
                .arg(name, held.join(QStringLiteral(", "))));
    }
    if (*size != int(members.size()))
        throw SendError(QCoreApplication::translate(
                            "Vantrel::Sender",
                            "The stack “%1” took %2 of its %n tracks in Logic; the others are "
                            "outside it. Nothing else was changed after this point.",
                            nullptr, int(members.size()))
                            .arg(name)
                            .arg(*size));
}

Element LogicSender::summingChoice(const Element& sheet) {
    // By its title, which versions spell "Summing stack" or "Summing Stack"; else by its place:
    // the second choice of the dialog's radio group, after "Folder stack".
    if (const Element titled = findIn(sheet, [&](const Element& e) {
            return str(e, Ax::Attr::title)
                       .compare(QLatin1String("Summing stack"), Qt::CaseInsensitive) == 0;
        }))
        return titled;
    const Element group = findIn(
        sheet, [&](const Element& e) { return str(e, Ax::Attr::role) == Ax::Role::radioGroup; });
    QList<Element> choices;
    for (const Element& e : AXProbe::kids(platform_, group)) {
        if (str(e, Ax::Attr::role) == Ax::Role::radioButton)
            choices << e;
    }
    return choices.size() == 2 ? choices[1] : Element();
}

void LogicSender::renameRow(int number, const QString& name) {
    const auto nameNow = [&]() -> std::optional<QString> {
        const Element row = showRow(number);
        const auto parsed = row ? rowOf(row) : std::nullopt;
        if (!parsed)
            return std::nullopt;
        return parsed->second;
    };
    bool fieldOpened = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        throwIfCancelled();
        front();
        const Element row = showRow(number);
        if (!row)
            throw SendError(
                QCoreApplication::translate(
                    "Vantrel::Sender", "Couldn't find the new stack for %1 in Logic's track list.")
                    .arg(name));
        if (attempt == 0) {
            const Element field = nameFieldOf(row);
            focusedField_ = field;
            const std::optional<Rect> f = frame(field ? field : row);
            if (f) {
                const Point p = field ? f->center()
                                      : Point{f->origin.x + 0.72 * f->size.width,
                                              f->origin.y + f->size.height / 2};
                mouse(MouseEventType::moved, p);
                pause(40ms);
                click(p, 1, 0);
                pause(40ms);
                click(p, 2, 0);
            }
        } else {
            note(QCoreApplication::translate(
                     "Vantrel::Sender", "(could not rename %1 by double-clicking; using the menu)")
                     .arg(name));
            platform_.accessibility().setAttribute(tracksHeader(), Ax::Attr::selectedChildren,
                                                   QList<Element>{row});
            pause(250ms);
            choose({QStringLiteral("Track"), QStringLiteral("Rename Track")}, true);
        }
        // Keys go only into a name field that has the keyboard.
        if (!waitUntil(
                QStringLiteral("the name field"), 1s,
                [&, polls = 0]() mutable {
                    // The field double-clicked is asked at every poll; every field of the rows
                    // at every fourth (the first included).
                    return focusedFieldHolds() ||
                           ((attempt > 0 || polls++ % 4 == 0) && nameFieldFocused());
                },
                50ms))
            continue;
        fieldOpened = true;
        AXProbe::key(platform_, QStringLiteral("a"), QStringLiteral("cmd"));
        pause(30ms);
        if (!typeIntoNameField(name))
            continue; // the field lost the focus: it is opened again
        pause(40ms);
        AXProbe::key(platform_, QStringLiteral("return"), QString());
        // The row's own name tells whether the rename took.
        if (waitUntil(
                QStringLiteral("the new name"), 1500ms, [&] { return nameNow() == name; }, 100ms))
            return;
    }
    if (!fieldOpened)
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Couldn't open the name field of the new "
                                                    "stack for %1 in Logic, so nothing was typed.")
                            .arg(name));
    throw SendError(
        QCoreApplication::translate("Vantrel::Sender", "Couldn't rename a track to “%1”.")
            .arg(name));
}

void LogicSender::rename(const QString& name) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        throwIfCancelled();
        front();
        choose({QStringLiteral("Track"), QStringLiteral("Rename Track")}, true);
        // Keys go only into a name field that has the keyboard.
        if (!waitUntil(
                QStringLiteral("the name field"), 1s, [this] { return nameFieldFocused(); }, 50ms))
            continue;
        if (!typeIntoNameField(name))
            continue;
        pause(50ms);
        AXProbe::key(platform_, QStringLiteral("return"), QString());
        // The selected row's own name tells whether the rename took.
        if (waitUntil(
                QStringLiteral("the new name"), 1500ms,
                [&] {
                    const QList<TrackRow> rows = selectedRows();
                    return rows.size() == 1 && rows.first().name == name;
                },
                100ms))
            return;
    }
    throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                "Couldn't rename a track to “%1”: Logic's name "
                                                "field did not open or did not take it.")
                        .arg(name));
}

void LogicSender::foldStack(const QString& name, int made) {
    const long long since = changes();
    // The row made for it, while it still shows that stack, spares reading the list.
    const auto madeRow = [&]() -> std::optional<QList<TrackRow>> {
        const Element row = made > 0 ? showRow(made) : Element();
        const auto parsed = row ? rowOf(row) : std::nullopt;
        if (!parsed || parsed->second != name || !triangleOf(row))
            return std::nullopt;
        return QList<TrackRow>{TrackRow{row, made, name, true, std::nullopt}};
    };
    std::optional<QList<TrackRow>> rows = madeRow();
    if (!rows)
        rows = allRows(true);
    if (!rows) {
        note(QCoreApplication::translate("Vantrel::Sender",
                                         "(the track list could not be read to fold %1)")
                 .arg(name));
        return;
    }
    int number = -1;
    for (const TrackRow& r : *rows) {
        if (r.stack && r.name == name)
            number = r.number; // the newest of that name
    }
    const Element row = number > 0 ? showRow(number) : Element();
    const Element triangle = row ? triangleOf(row) : Element();
    if (!triangle) {
        note(QCoreApplication::translate("Vantrel::Sender", "(no arrow found for %1)").arg(name));
        return;
    }
    if (isOpen(triangle) == false)
        return;
    const std::optional<Rect> f = frame(triangle);
    if (f) {
        // A plain click on the arrow opens or closes this stack alone.
        mouse(MouseEventType::moved, f->center());
        pause(150ms);
        click(f->center(), 1, 0);
    } else {
        press(triangle);
    }
    const bool folded = waitUntil(
        QStringLiteral("the stack to fold"), 1500ms,
        [&] {
            const Element r = showRow(number);
            const Element t = r ? triangleOf(r) : Element();
            return t && isOpen(t) == false;
        },
        50ms);
    pause(120ms);
    if (folded)
        trackList_.stackClosed(since, changes(), number, stackSizes.value(name));
    if (!folded)
        note(QCoreApplication::translate("Vantrel::Sender", "(%1 did not fold)").arg(name));
}

void LogicSender::foldOpenStacks() {
    // An option-click on an open stack's arrow closes every stack.
    for (int attempt = 0; attempt < 3; ++attempt) {
        throwIfCancelled();
        const std::optional<QList<TrackRow>> rows = allRows(true);
        if (!rows)
            return;
        int open = -1;
        for (const TrackRow& r : *rows) {
            if (r.stack && r.open == true) {
                open = r.number;
                break;
            }
        }
        if (open < 0)
            return;
        const Element row = showRow(open);
        const Element t = row ? triangleOf(row) : Element();
        const std::optional<Rect> f = t ? frame(t) : std::nullopt;
        if (!f)
            return;
        optionClick(f->center(), 100ms, 80ms, 0ms);
        waitUntil(
            QStringLiteral("the stacks to fold"), 1200ms,
            [&] {
                const Element r = showRow(open);
                const Element tr = r ? triangleOf(r) : Element();
                return tr && isOpen(tr) == false;
            },
            60ms);
        pause(150ms);
    }
}

void LogicSender::collapseAllStacks() {
    front();
    foldOpenStacks();
}

} // namespace Vantrel
