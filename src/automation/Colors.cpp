// Track colours: the Color window's swatches are not labelled, so they are found by geometry:
// the grid of swatch buttons, else the largest group of small squares, else a fixed layout
// scaled to the window's size.

#include "automation/AXProbe.h"
#include "automation/LogicSender.h"
#include "platform/AxNames.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <cmath>

namespace Vantrel {

using namespace std::chrono_literals;

namespace {

namespace Layout = Ax::Layout;

using Candidate = LogicSender::Swatched;

// The vertical position class of a candidate: candidates of one palette row share it.
int bandOf(const Candidate& c) {
    return int((c.frame.origin.y + c.frame.size.height / 2) / 6);
}

// The candidates right of the leftmost column of controls, and their bands top to bottom.
struct Grid {
    QList<Candidate> cells;
    QList<int> bands;
};

Grid gridOf(const QList<Candidate>& candidates) {
    Grid grid;
    if (candidates.isEmpty())
        return grid;
    double minLeft = candidates.first().frame.origin.x;
    for (const Candidate& c : candidates)
        minLeft = std::min(minLeft, c.frame.origin.x);
    for (const Candidate& c : candidates) {
        if (c.frame.origin.x > minLeft + 5)
            grid.cells << c;
    }
    for (const Candidate& c : std::as_const(grid.cells)) {
        if (!grid.bands.contains(bandOf(c)))
            grid.bands << bandOf(c);
    }
    std::sort(grid.bands.begin(), grid.bands.end());
    return grid;
}

} // namespace

void LogicSender::applyColor(const QString& group, const QStringList& names, Swatch swatch) {
    // Every step below may find what it waits for at once: the cancel is looked at here.
    throwIfCancelled();
    front();
    if (!tracksHeader())
        return;

    // The stack's row and, while it is open, the tracks that follow it. Selecting and
    // colouring change no row: the rows kept still hold once the colour is given.
    const std::optional<QList<TrackRow>> rows = listedRows();
    const RowsKept kept(*this);
    if (!rows)
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Couldn't read Logic's track list to color %1.")
                            .arg(group));
    QList<TrackRow> chosen;
    for (qsizetype i = rows->size() - 1; i >= 0 && chosen.isEmpty(); --i) {
        const TrackRow& r = (*rows)[i];
        if (!r.stack || r.name != group)
            continue;
        chosen << r;
        if (r.open != false)
            chosen += rows->mid(i + 1, names.size());
    }
    if (chosen.isEmpty())
        throw SendError(QCoreApplication::translate("Vantrel::Sender",
                                                    "Couldn't find the stack %1 in Logic to color "
                                                    "it.")
                            .arg(group));
    selectRows(chosen);

    if (!colorWindow())
        choose({QStringLiteral("Track"), QStringLiteral("Assign Track Color…")}, true);
    waitFor(QCoreApplication::translate("Vantrel::Sender", "the Color window"), 6s,
            [&] { return bool(colorWindow()); });
    pause(80ms);
    const Element palette = colorWindow();
    if (!palette)
        return;

    QList<Candidate> candidates = swatchButtons(palette);
    const int buttons = int(candidates.size());
    Grid grid = gridOf(candidates);

    if (grid.bands.size() < Layout::paletteRows) {
        // Small squares, grouped by role; the largest group of at least half a palette is it.
        QList<QString> roles;
        QHash<QString, QList<Candidate>> byRole;
        const std::function<void(const Element&, int)> walkAll = [&](const Element& e, int level) {
            for (const Element& child : AXProbe::kids(platform_, e)) {
                if (const std::optional<Rect> f = frame(child)) {
                    const double w = f->size.width, h = f->size.height;
                    if (w >= 8 && w <= 44 && h >= 8 && h <= 44 && std::abs(w - h) < 7) {
                        const QString role = str(child, Ax::Attr::role);
                        if (!byRole.contains(role))
                            roles << role;
                        byRole[role] << Candidate{child, *f};
                    }
                }
                if (level < 14)
                    walkAll(child, level + 1);
            }
        };
        walkAll(palette, 1);
        const QList<Candidate>* largest = nullptr;
        for (const QString& role : std::as_const(roles)) {
            const QList<Candidate>& group = byRole[role];
            if (group.size() >= Layout::paletteSwatches / 2 &&
                (!largest || group.size() > largest->size()))
                largest = &group;
        }
        if (largest) {
            candidates = *largest;
            grid = gridOf(candidates);
        }
    }

    Point target;
    if (grid.bands.size() < Layout::paletteRows) {
        const std::optional<Rect> f = frame(palette);
        if (!f || f->size.width <= 300 || f->size.height <= 60)
            throw SendError(QCoreApplication::translate(
                "Vantrel::Sender",
                "Couldn't read Logic's color palette (the Color window has no size)."));
        if (swatch.col < 0 || swatch.col >= Layout::paletteColumns || swatch.row < 0 ||
            swatch.row >= Layout::paletteRows)
            throw SendError(QCoreApplication::translate(
                "Vantrel::Sender", "Couldn't find that color in Logic's palette."));
        const Size reference = Layout::colorWindow.size;
        target = {f->origin.x + (swatch.col * Layout::swatchPitchX + Layout::swatchX0) *
                                    f->size.width / reference.width,
                  f->origin.y + (swatch.row * Layout::swatchPitchY + Layout::swatchY0) *
                                    f->size.height / reference.height};
        note(QStringLiteral("swatch col %1 row %2 -> by the window's size: x=%3 y=%4")
                 .arg(swatch.col)
                 .arg(swatch.row)
                 .arg(int(target.x))
                 .arg(int(target.y)));
    } else {
        if (swatch.row < 0 || swatch.row >= grid.bands.size())
            throw SendError(QCoreApplication::translate(
                "Vantrel::Sender", "Couldn't find that color in Logic's palette."));
        const int band = grid.bands[swatch.row];
        QList<Candidate> rowItems;
        for (const Candidate& c : std::as_const(grid.cells)) {
            if (bandOf(c) == band)
                rowItems << c;
        }
        std::stable_sort(rowItems.begin(), rowItems.end(), [](const auto& a, const auto& b) {
            return a.frame.origin.x < b.frame.origin.x;
        });
        if (swatch.col < 0 || swatch.col >= rowItems.size())
            throw SendError(QCoreApplication::translate(
                "Vantrel::Sender", "Couldn't find that color in Logic's palette."));
        const Rect cell = rowItems[swatch.col].frame;
        note(QStringLiteral("swatch col %1 row %2 -> x=%3 y=%4; buttons=%5 grid=%6 bands=%7 "
                            "rowItems=%8")
                 .arg(swatch.col)
                 .arg(swatch.row)
                 .arg(int(cell.origin.x))
                 .arg(int(cell.origin.y))
                 .arg(buttons)
                 .arg(grid.cells.size())
                 .arg(grid.bands.size())
                 .arg(rowItems.size()));
        target = cell.center();
    }

    // A person may have clicked a row since the rows were chosen: the swatch colours whatever
    // is selected, so the selection is checked (and made again) right before the click.
    QList<int> wanted;
    for (const TrackRow& r : std::as_const(chosen))
        wanted << r.number;
    std::sort(wanted.begin(), wanted.end());
    const auto selectionRight = [&] { return selectionHolds(wanted); };
    for (int attempt = 0; !selectionRight(); ++attempt) {
        throwIfCancelled();
        if (attempt == 3)
            throw SendError(
                QCoreApplication::translate("Vantrel::Sender",
                                            "Couldn't keep the %1 tracks selected in Logic to "
                                            "color them (something else changed the selection).")
                    .arg(group));
        note(QCoreApplication::translate(
                 "Vantrel::Sender", "(the selection changed before coloring %1; selecting again)")
                 .arg(group));
        selectRows(chosen);
    }

    // The colour lands a moment after the click, on whatever is selected then: a selection
    // changed meanwhile is made again and the swatch clicked once more.
    for (int click = 0; click < 3; ++click) {
        throwIfCancelled();
        mouse(MouseEventType::moved, target);
        pause(120ms);
        mouse(MouseEventType::leftDown, target, 0, 1);
        pause(70ms);
        mouse(MouseEventType::leftUp, target, 0, 1);
        pause(150ms);
        if (selectionRight()) {
            // Whether the swatches show the selected track's colour is learnt once per send,
            // from a colour just given: only then does the closing check compare colours.
            if (!colorsTried_) {
                colorsTried_ = true;
                colorsReadable_ = waitUntil(QStringLiteral("the color to show"), 1s, [&] {
                    const std::optional<std::optional<Swatch>> shown = colorOfSelection();
                    return shown && *shown == swatch;
                });
            }
            return;
        }
        note(QCoreApplication::translate(
                 "Vantrel::Sender", "(the selection changed while coloring %1; coloring again)")
                 .arg(group));
        selectRows(chosen);
    }
}

QList<LogicSender::Swatched> LogicSender::swatchButtons(const Element& palette) {
    // The window's children and frame as they were when the swatches were last found: the
    // same swatches (Logic builds them anew when the window opens).
    const QList<Element> children = AXProbe::kids(platform_, palette);
    const std::optional<Rect> paletteFrame = frame(palette);
    if (palette && palette == swatchMemo_.palette && children == swatchMemo_.children &&
        paletteFrame == swatchMemo_.frame)
        return swatchMemo_.found;
    // Buttons with a value and a frame; their insides are not searched.
    QList<Swatched> found;
    const std::function<void(const Element&)> walk = [&](const Element& e) {
        for (const Element& child : AXProbe::kids(platform_, e)) {
            // What is asked of each element below, in one call.
            platform_.accessibility().attributes(child, {Ax::Attr::role, Ax::Attr::value,
                                                         Ax::Attr::position, Ax::Attr::size,
                                                         Ax::Attr::children});
            if (str(child, Ax::Attr::role) == Ax::Role::button &&
                !std::holds_alternative<std::monostate>(read(child, Ax::Attr::value))) {
                if (const std::optional<Rect> f = frame(child)) {
                    found << Swatched{child, *f};
                    continue;
                }
            }
            walk(child);
        }
    };
    walk(palette);
    swatchMemo_ = SwatchMemo{palette, children, paletteFrame, found};
    return found;
}

std::optional<std::optional<Swatch>> LogicSender::colorOfSelection(std::optional<Swatch> likely) {
    const Element palette = colorWindow();
    if (!palette)
        return std::nullopt;
    // Swatch buttons whose value tells whether the selected track has their colour; some
    // versions give them no value, and then no colour can be read.
    const QList<Candidate> candidates = swatchButtons(palette);
    const Grid grid = gridOf(candidates);
    if (grid.bands.size() != Layout::paletteRows || grid.cells.size() != Layout::paletteSwatches)
        return std::nullopt;
    const auto on = [&](const Element& e) {
        const AXValue v = read(e, Ax::Attr::value);
        const auto* n = std::get_if<std::int64_t>(&v);
        const auto* b = std::get_if<bool>(&v);
        return (n && *n == 1) || (b && *b);
    };
    QList<QList<Candidate>> cells;
    for (int row = 0; row < Layout::paletteRows; ++row) {
        QList<Candidate> rowItems;
        for (const Candidate& c : grid.cells) {
            if (bandOf(c) == grid.bands[row])
                rowItems << c;
        }
        std::stable_sort(rowItems.begin(), rowItems.end(), [](const auto& a, const auto& b) {
            return a.frame.origin.x < b.frame.origin.x;
        });
        cells << rowItems;
    }
    // One swatch at most shows the colour: the likely one and the one shown last are looked at
    // first (the rows of a group share it), then all of them in order.
    if (likely && likely->row >= 0 && likely->row < cells.size() && likely->col >= 0 &&
        likely->col < cells[likely->row].size() && on(cells[likely->row][likely->col].element)) {
        lastShownSwatch_ = std::make_pair(likely->col, likely->row);
        return std::optional<Swatch>(*likely);
    }
    if (lastShownSwatch_) {
        const auto [col, row] = *lastShownSwatch_;
        if (row < cells.size() && col < cells[row].size() && on(cells[row][col].element))
            return std::optional<Swatch>(Swatch{col, row});
    }
    for (int row = 0; row < Layout::paletteRows; ++row) {
        for (qsizetype col = 0; col < cells[row].size(); ++col) {
            if (on(cells[row][col].element)) {
                lastShownSwatch_ = std::make_pair(int(col), row);
                return std::optional<Swatch>(Swatch{int(col), row});
            }
        }
    }
    return std::optional<Swatch>();
}

void LogicSender::closeColorWindow() {
    const RowsKept kept(*this);
    for (int attempt = 0; attempt < 5; ++attempt) {
        const Element palette = colorWindow();
        if (!palette)
            return;
        const Element close = findIn(palette, [&](const Element& e) {
            return str(e, Ax::Attr::subrole) == Ax::Subrole::closeButton ||
                   str(e, Ax::Attr::description) == u"close";
        });
        if (!close)
            return;
        if (attempt < 2) {
            press(close);
        } else if (const std::optional<Rect> f = frame(close)) {
            const Point p = f->center();
            mouse(MouseEventType::moved, p);
            pause(100ms);
            mouse(MouseEventType::leftDown, p, 0, 1);
            pause(70ms);
            mouse(MouseEventType::leftUp, p, 0, 1);
        }
        if (waitUntil(QStringLiteral("the Color window to close"), 800ms,
                      [this] { return !colorWindow(); }))
            return;
    }
    if (colorWindow())
        note(QCoreApplication::translate("Vantrel::Sender", "(the Color window would not close)"));
}

} // namespace Vantrel
