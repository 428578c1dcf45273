#pragma once

// The press-and-move rule of a file drag source, without any widget: the simulated desktop uses
// it for the drag tile now, and the tile widget applies the same rule to its own mouse events.

#include "platform/Platform.h"

#include <QStringList>

#include <optional>

namespace Vantrel {

class DragGesture {
public:
    // A move of more than this many points from the press starts a drag.
    static constexpr double threshold = 4.0;
    // Edge of the square icon shown for each dragged file.
    static constexpr double iconSize = 32.0;

    // Remembers where the button went down; a later press replaces it.
    void press(Point p);
    // True exactly when this move starts a drag: a press is pending, files is not empty and p lies
    // more than `threshold` points from the press. Starting a drag forgets the press, so one press
    // starts at most one drag.
    bool move(Point p, const QStringList& files);
    // The press that has not turned into a drag, if any.
    std::optional<Point> downPoint() const { return down_; }

    // How far (right and down) the icon of the file at index sits from the press point: the icons
    // fan out by 2 points per file, starting over every 6 files.
    static double iconOffset(qsizetype index);
    // The icon square of the file at index, centred on the press point plus its offset; y grows
    // downwards.
    static Rect iconFrame(Point press, qsizetype index);

private:
    std::optional<Point> down_;
};

} // namespace Vantrel
