#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include <array>
#include <cstdint>

class QPainter;
class QRectF;

namespace Vantrel::Ui {

// A colour given as a light and a dark 0xRRGGBB value (the top byte is ignored). It stays a pair
// until it is drawn: resolve() picks the value of the appearance in force at that moment, so
// nothing has to be rebuilt when the appearance changes.
struct DynamicColor {
    std::uint32_t light;
    std::uint32_t dark;

    // The opaque colour for the given appearance.
    QColor resolve(bool dark) const;
    // The opaque colour for the appearance of the application palette now.
    QColor color() const;
};

// An opaque sRGB colour from a 0xRRGGBB value; the top byte is ignored.
QColor opaqueColor(std::uint32_t rgb);

// Whether a palette is a dark appearance: its window colour is darker than its text.
bool isDark(const QPalette& palette);
// Whether the application palette is dark now (a desktop in dark mode, or a dark palette set on
// the application). Widgets follow changes through QEvent::ApplicationPaletteChange.
bool darkAppearance();

// The palettes the screenshots and tests switch between: a light and a dark desktop.
QPalette lightPalette();
QPalette darkPalette();

namespace Brismo {

inline constexpr DynamicColor bg{0xF4EFE6, 0x0E0D0B};
inline constexpr DynamicColor card{0xFBF8F2, 0x171512};
inline constexpr DynamicColor ink{0x1B1812, 0xF6F1E7};
// The text colours reach a contrast of 4.5:1 on bg, card and inner in both appearances.
inline constexpr DynamicColor muted{0x6B655C, 0x8F897E};
inline constexpr DynamicColor line{0xD6D0C7, 0x32302B};
inline constexpr DynamicColor inner{0xE8E3DA, 0x1F1D19};
// The edge of a control the user types into or checks (fields, check boxes): 3:1 on bg, card and
// inner in both appearances, as a control's boundary needs.
inline constexpr DynamicColor fieldEdge{0x857E74, 0x6E685E};
// The edge of a sheet over the window: it sets the sheet apart from the window under it, which
// has the same background.
inline constexpr DynamicColor sheetEdge{0xC9C2B7, 0x4A463F};
// The chosen segment of a picker: raised above inner in both appearances.
inline constexpr DynamicColor raised{0xFBF8F2, 0x34312B};
inline constexpr DynamicColor accent{0x1B1812, 0xF6F1E7};
inline constexpr DynamicColor accentInk{0xFBF8F2, 0x0E0D0B};
inline constexpr DynamicColor orange{0xEF7D2D, 0xFF9447};
inline constexpr DynamicColor warn{0x845B13, 0xE5A93D};
inline constexpr DynamicColor leaf{0x13733B, 0x4AE08A};

// Display colours of rule groups, by position in the rule list modulo their number.
inline constexpr std::array<DynamicColor, 11> groupColors{{
    {0xEF7D2D, 0xFF9447},
    {0x6E9F57, 0x7FB366},
    {0xD9534F, 0xE8706C},
    {0x4F8FBF, 0x6AA6D4},
    {0xE0B12E, 0xF0C446},
    {0x8E6BBF, 0xA687D4},
    {0x3FA79B, 0x57C0B4},
    {0xC9669B, 0xDD80B2},
    {0x8B6B4A, 0xA88460},
    {0x7A8591, 0x97A2AE},
    {0xB5543A, 0xCE6E54},
}};

// The group colour at this position of the rule list (positions past the list repeat it).
const DynamicColor& groupColor(int position);

// Paints the window background (a flat bg, drawn as a top-to-bottom gradient of two equal
// stops) over rect.
void paintBackground(QPainter& painter, const QRectF& rect);
// Paints a sheet: the background with a 1 wide sheetEdge border inside rect's edge.
void paintSheet(QPainter& painter, const QRectF& rect);

} // namespace Brismo

// Makes Inter the application's font when it is installed (Debian's fonts-inter, close to the
// system font the theme names); otherwise the desktop's font stays. True when Inter is used.
bool useInterfaceFont();
// The system font at a size in points (1 point = 1 device-independent pixel) and a weight.
QFont systemFont(qreal points, QFont::Weight weight = QFont::Normal);
// The monospaced system font at the body text size.
QFont monospacedBodyFont();
// Logical dots per inch of the primary screen (96 without one).
qreal logicalDpi();

} // namespace Vantrel::Ui
