#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

class QPainter;
class QRectF;

namespace Vantrel::Ui::Icons {

// The vendored SVG resource drawn for a system symbol name ("checkmark.circle.fill"): names
// ending in ".fill" take the filled weight, others the light weight. Empty for an unknown name.
QString resourceFor(const QString& symbol);

// Draws the symbol into rect (kept square, centred), tinted in color. Draws nothing for an
// unknown name.
void paint(QPainter& painter, const QRectF& rect, const QString& symbol, const QColor& color);

// The symbol at size × size device-independent pixels for a device pixel ratio, tinted.
QPixmap pixmap(const QString& symbol, const QColor& color, int size, qreal devicePixelRatio);

} // namespace Vantrel::Ui::Icons
