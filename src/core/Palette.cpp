#include "core/Palette.h"

namespace Vantrel::LogicPalette {

const std::array<std::array<std::uint32_t, columns>, rows>& hex() {
    // table[row][col]: row 0 is the lightest; along a row the hue runs from orange-red to magenta.
    static const std::array<std::array<std::uint32_t, columns>, rows> table{{
        {0xC85A2F, 0xC97535, 0xCA913E, 0xCEB248, 0xD2D054, 0xB9CF51, 0x9FCE50, 0x88CC4E,
         0x6ACC5B, 0x6CCD7A, 0x6BCE97, 0x6BCEB4, 0x6BCFD2, 0x5AB1CF, 0x59A6D4, 0x5A93D6,
         0x587CD8, 0x575ED9, 0x6C5CD7, 0x8357D4, 0x9751D4, 0xA942CD, 0xC64BCE, 0xC747AE},
        {0xA85531, 0xA96934, 0xAC7F3B, 0xAF9941, 0xB2B04B, 0x9DAF47, 0x89AE47, 0x77AD45,
         0x5AAD54, 0x5AAD6D, 0x5CAE84, 0x5CAD9A, 0x5BAFB2, 0x4E97AF, 0x518EB2, 0x5581B5,
         0x5470B6, 0x5359B8, 0x6456B6, 0x7451B4, 0x854EB4, 0x903EAE, 0xA843AE, 0xA84096},
        {0x87492F, 0x885832, 0x8A6937, 0x8D7C3A, 0x8E8D3E, 0x7F8C3D, 0x718B3E, 0x638B3D,
         0x4B8B48, 0x4B8A5B, 0x4B8B6E, 0x4B8C7E, 0x4B8C8D, 0x427B8C, 0x467490, 0x4A6B91,
         0x4A5E92, 0x4A4C92, 0x574C93, 0x624990, 0x6E458F, 0x75378A, 0x873B8C, 0x87387A},
        {0x633B29, 0x654429, 0x664F2B, 0x685D2F, 0x686930, 0x60672F, 0x55672F, 0x4B6731,
         0x386738, 0x3A6745, 0x396651, 0x3A685E, 0x386869, 0x345C68, 0x39586A, 0x3D536D,
         0x3A4A6C, 0x3C3D6B, 0x433C6B, 0x4D3B6C, 0x513969, 0x582E65, 0x632F65, 0x632F5B},
    }};
    return table;
}

const QMap<QString, Swatch>& defaults() {
    static const QMap<QString, Swatch> table{
        {QStringLiteral("DRUMS"), {0, 0}},   {QStringLiteral("BASS"), {17, 1}},
        {QStringLiteral("EGS"), {2, 0}},     {QStringLiteral("AGS"), {4, 1}},
        {QStringLiteral("KEYS"), {12, 0}},   {QStringLiteral("STRINGS"), {9, 1}},
        {QStringLiteral("TRACKS"), {15, 0}}, {QStringLiteral("VOCALS"), {22, 0}},
        {QStringLiteral("FX"), {19, 0}},     {QStringLiteral("CROWD"), {7, 1}},
    };
    return table;
}

} // namespace Vantrel::LogicPalette
