#include "core/Palette.h"

#include "core/Config.h"

#include <gtest/gtest.h>

#include <ostream>

namespace Vantrel {

void PrintTo(const Swatch& s, std::ostream* os) {
    *os << '(' << s.col << ", " << s.row << ')';
}

namespace {

using LogicPalette::columns;
using LogicPalette::rows;

// Verifies the ten default positions and the colour of each one's cell.
TEST(LogicPaletteDefaults, placeEachBuiltInGroupOnItsCell) {
    struct Case {
        const char* name;
        Swatch cell;
        std::uint32_t hex;
    };
    const Case cases[] = {
        {"DRUMS", {0, 0}, 0xC85A2F},   {"BASS", {17, 1}, 0x5359B8},   {"EGS", {2, 0}, 0xCA913E},
        {"AGS", {4, 1}, 0xB2B04B},     {"KEYS", {12, 0}, 0x6BCFD2},   {"STRINGS", {9, 1}, 0x5AAD6D},
        {"TRACKS", {15, 0}, 0x5A93D6}, {"VOCALS", {22, 0}, 0xC64BCE}, {"FX", {19, 0}, 0x8357D4},
        {"CROWD", {7, 1}, 0x77AD45},
    };
    const auto& defaults = LogicPalette::defaults();
    EXPECT_EQ(defaults.size(), 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(defaults.contains(QString::fromLatin1(c.name)));
        const Swatch cell = defaults.value(QString::fromLatin1(c.name));
        EXPECT_EQ(cell, c.cell);
        EXPECT_EQ(LogicPalette::hex()[cell.row][cell.col], c.hex);
    }
    EXPECT_FALSE(defaults.contains(QStringLiteral("UTILITY")));
}

// Verifies sample cells from every row and both ends of the grid.
TEST(LogicPaletteHex, holdsTheListedColours) {
    struct Case {
        int col;
        int row;
        std::uint32_t hex;
    };
    const Case cases[] = {
        {0, 0, 0xC85A2F},  {23, 0, 0xC747AE}, {0, 3, 0x633B29},  {23, 3, 0x632F5B},
        {5, 1, 0x9DAF47},  {13, 2, 0x427B8C}, {18, 3, 0x433C6B}, {10, 2, 0x4B8B6E},
        {14, 0, 0x59A6D4}, {21, 1, 0x903EAE}, {1, 2, 0x885832},  {8, 3, 0x386738},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "col " << c.col << ", row " << c.row);
        EXPECT_EQ(LogicPalette::hex()[c.row][c.col], c.hex);
    }
}

// Verifies that every column gets darker from row 0 down to row 3, which a row copied into the
// wrong place would break.
TEST(LogicPaletteHex, darkensDownEveryColumn) {
    const auto brightness = [](std::uint32_t v) {
        return ((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF);
    };
    for (int col = 0; col < columns; ++col) {
        for (int row = 1; row < rows; ++row) {
            SCOPED_TRACE(testing::Message() << "col " << col << ", row " << row);
            EXPECT_LT(brightness(LogicPalette::hex()[row][col]),
                      brightness(LogicPalette::hex()[row - 1][col]));
        }
    }
}

// Verifies how a group's stored colour and name resolve to a palette position.
TEST(RuleGroupSwatch, resolvesStoredColourOrNameDefault) {
    struct Case {
        const char* name;
        const char* group;
        std::optional<QList<int>> color;
        std::optional<Swatch> expected;
    };
    const Case cases[] = {
        {"default of the name", "DRUMS", std::nullopt, Swatch{0, 0}},
        {"default of another name", "VOCALS", std::nullopt, Swatch{22, 0}},
        {"stored position wins", "DRUMS", QList<int>{5, 2}, Swatch{5, 2}},
        {"last cell", "DRUMS", QList<int>{23, 3}, Swatch{23, 3}},
        {"empty list means no colour", "DRUMS", QList<int>{}, std::nullopt},
        {"column past the grid", "DRUMS", QList<int>{24, 0}, std::nullopt},
        {"row past the grid", "DRUMS", QList<int>{0, 4}, std::nullopt},
        {"negative column", "DRUMS", QList<int>{-1, 0}, std::nullopt},
        {"negative row", "DRUMS", QList<int>{0, -1}, std::nullopt},
        {"one element", "DRUMS", QList<int>{3}, std::nullopt},
        {"three elements", "DRUMS", QList<int>{1, 2, 3}, std::nullopt},
        {"built-in name without default", "UTILITY", std::nullopt, std::nullopt},
        {"user group without colour", "GTR", std::nullopt, std::nullopt},
        {"user group with colour", "GTR", QList<int>{4, 1}, Swatch{4, 1}},
        {"name lookup is case-sensitive", "drums", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RuleGroup g;
        g.name = QString::fromLatin1(c.group);
        g.color = c.color;
        EXPECT_EQ(g.swatch(), c.expected);
    }
}

// Verifies that every built-in group but UTILITY takes a colour from its name.
TEST(RuleGroupSwatch, givesBuiltInGroupsTheirDefaults) {
    for (const RuleGroup& g : Config::defaults().groups) {
        SCOPED_TRACE(g.name.toStdString());
        if (g.name == QStringLiteral("UTILITY"))
            EXPECT_EQ(g.swatch(), std::nullopt);
        else
            EXPECT_EQ(g.swatch(), LogicPalette::defaults().value(g.name));
    }
}

} // namespace
} // namespace Vantrel
