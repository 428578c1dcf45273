#include "platform/DragGesture.h"

#include <cmath>

namespace Vantrel {

void DragGesture::press(Point p) {
    down_ = p;
}

bool DragGesture::move(Point p, const QStringList& files) {
    if (!down_ || files.isEmpty())
        return false;
    if (std::hypot(p.x - down_->x, p.y - down_->y) <= threshold)
        return false;
    down_.reset();
    return true;
}

double DragGesture::iconOffset(qsizetype index) {
    return static_cast<double>(index % 6) * 2.0;
}

Rect DragGesture::iconFrame(Point press, qsizetype index) {
    const double g = iconOffset(index);
    return {{press.x - iconSize / 2 + g, press.y - iconSize / 2 + g}, {iconSize, iconSize}};
}

} // namespace Vantrel
