#pragma once

#include "core/Config.h"

#include <QMap>
#include <QString>

#include <array>
#include <cstdint>

namespace Vantrel::LogicPalette {

inline constexpr int columns = 24;
inline constexpr int rows = 4;

// Display colours of Logic Pro's track colour grid as sRGB 0xRRGGBB, hex()[row][col]. The
// engine keeps colours as plain values; the interface turns them into its own colour type.
const std::array<std::array<std::uint32_t, columns>, rows>& hex();

// Default grid position of each built-in group name (exact, case-sensitive names).
const QMap<QString, Swatch>& defaults();

// Whether (col, row) is a cell of the grid.
constexpr bool contains(int col, int row) {
    return col >= 0 && col < columns && row >= 0 && row < rows;
}

} // namespace Vantrel::LogicPalette
