#include "ui/Theme.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <QScreen>

namespace Vantrel::Ui {

QColor opaqueColor(std::uint32_t rgb) {
    return QColor::fromRgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QColor DynamicColor::resolve(bool isDark) const {
    return opaqueColor(isDark ? dark : light);
}

QColor DynamicColor::color() const {
    return resolve(darkAppearance());
}

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() <
           palette.color(QPalette::WindowText).lightnessF();
}

bool darkAppearance() {
    return isDark(QGuiApplication::palette());
}

namespace {

QPalette paletteOf(bool dark) {
    // Built from the theme itself so that standard controls (the list's scroll bars, the
    // group menus) sit well on the themed surfaces.
    QPalette p;
    const auto c = [dark](const DynamicColor& d) { return d.resolve(dark); };
    p.setColor(QPalette::Window, c(Brismo::bg));
    p.setColor(QPalette::WindowText, c(Brismo::ink));
    p.setColor(QPalette::Base, c(Brismo::card));
    p.setColor(QPalette::AlternateBase, c(Brismo::inner));
    p.setColor(QPalette::Text, c(Brismo::ink));
    p.setColor(QPalette::Button, c(Brismo::inner));
    p.setColor(QPalette::ButtonText, c(Brismo::ink));
    p.setColor(QPalette::Highlight, c(Brismo::accent));
    p.setColor(QPalette::HighlightedText, c(Brismo::accentInk));
    p.setColor(QPalette::ToolTipBase, c(Brismo::card));
    p.setColor(QPalette::ToolTipText, c(Brismo::ink));
    p.setColor(QPalette::PlaceholderText, c(Brismo::muted));
    p.setColor(QPalette::Mid, c(Brismo::line));
    p.setColor(QPalette::Light, c(Brismo::card));
    p.setColor(QPalette::Dark, c(Brismo::line));
    p.setColor(QPalette::Disabled, QPalette::WindowText, c(Brismo::muted));
    p.setColor(QPalette::Disabled, QPalette::Text, c(Brismo::muted));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, c(Brismo::muted));
    return p;
}

} // namespace

qreal logicalDpi() {
    // Qt's point is 1/72 inch at the screen's logical resolution; the design's point is one
    // device-independent pixel.
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

QPalette lightPalette() {
    return paletteOf(false);
}
QPalette darkPalette() {
    return paletteOf(true);
}

namespace Brismo {

const DynamicColor& groupColor(int position) {
    const int n = static_cast<int>(groupColors.size());
    return groupColors[static_cast<std::size_t>(((position % n) + n) % n)];
}

void paintBackground(QPainter& painter, const QRectF& rect) {
    const QColor c = bg.color();
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, c);
    gradient.setColorAt(1, c);
    painter.fillRect(rect, gradient);
}

void paintSheet(QPainter& painter, const QRectF& rect) {
    paintBackground(painter, rect);
    painter.save();
    painter.setPen(QPen(sheetEdge.color(), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.restore();
}

} // namespace Brismo

bool useInterfaceFont() {
    if (!QFontDatabase::families().contains(QStringLiteral("Inter")))
        return false;
    QFont font = QGuiApplication::font();
    font.setFamilies({QStringLiteral("Inter")});
    QGuiApplication::setFont(font);
    return true;
}

QFont systemFont(qreal points, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPointSizeF(points * 72.0 / logicalDpi());
    font.setWeight(weight);
    return font;
}

QFont monospacedBodyFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(13 * 72.0 / logicalDpi());
    return font;
}

} // namespace Vantrel::Ui
