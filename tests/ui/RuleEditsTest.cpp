#include "ui/RuleEdits.h"

#include <gtest/gtest.h>

#include <optional>

namespace Vantrel::Ui {
namespace {

// Verifies the words rule: upper case, split at spaces and commas, empty pieces dropped.
TEST(RuleEditsWords, splitAtSpacesAndCommasInUpperCase) {
    struct Case {
        const char* text;
        QStringList words;
    };
    const Case cases[] = {
        {"eg, electric  ac", {"EG", "ELECTRIC", "AC"}},
        {"", {}},
        {" ,, , ", {}},
        {"kick,snare", {"KICK", "SNARE"}},
        {"  leading and trailing  ", {"LEADING", "AND", "TRAILING"}},
        {"vox vox", {"VOX", "VOX"}},  // duplicates are kept
        {"hi\that", {"HI\tHAT"}},     // a tab is no separator
        {"stra\u00dfe", {"STRASSE"}}, // full upper-casing
        {"a;b.c", {"A;B.C"}},         // only spaces and commas separate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(RuleEdits::wordsFromText(QString::fromUtf8(c.text)), c.words);
    }
}

// Verifies that a words field shows the words it stored separated by single spaces.
TEST(RuleEditsWords, showStoredWordsWithSingleSpaces) {
    EXPECT_EQ(
        RuleEdits::textFromWords(RuleEdits::wordsFromText(QStringLiteral("eg, electric  ac"))),
        QStringLiteral("EG ELECTRIC AC"));
    EXPECT_EQ(RuleEdits::textFromWords({}), QString());
}

// Verifies the name normalisation of Save: upper case, blanks stripped at both ends only.
TEST(RuleEditsNames, areUpperCasedAndStrippedOfBlanks) {
    struct Case {
        const char* name;
        const char* saved;
    };
    const Case cases[] = {
        {"  drums ", "DRUMS"},
        {"", ""},
        {"   ", ""},
        {"\tbass\u00a0", "BASS"}, // tab and no-break space
        {"\u2003fx\u3000", "FX"}, // other space separators
        {"lead vox", "LEAD VOX"}, // inner spaces stay
        {"keys\n", "KEYS\n"},     // line breaks are not stripped
        {"\nkeys", "\nKEYS"},
        {"Stra\u00dfe", "STRASSE"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RuleEdits::savedName(QString::fromUtf8(c.name)), QString::fromUtf8(c.saved));
    }
}

// Verifies that Save changes only the names: ids, words, colours, order and the other fields stay.
TEST(RuleEditsNames, forSaveTouchesOnlyNames) {
    Config draft = Config::defaults();
    draft.groups[0].name = QStringLiteral(" drums ");
    draft.groups[1].color = QList<int>{};
    draft.groups[2].name = QString();
    draft.numberTracks = false;
    draft.unsortedFolder = QStringLiteral("odd");

    const Config saved = RuleEdits::forSave(draft);
    ASSERT_EQ(saved.groups.size(), draft.groups.size());
    EXPECT_EQ(saved.groups[0].name, QStringLiteral("DRUMS"));
    EXPECT_EQ(saved.groups[2].name, QString());
    for (qsizetype i = 0; i < draft.groups.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(saved.groups[i].id, draft.groups[i].id);
        EXPECT_EQ(saved.groups[i].aliases, draft.groups[i].aliases);
        EXPECT_EQ(saved.groups[i].color, draft.groups[i].color);
    }
    EXPECT_EQ(saved.sourceAliases, draft.sourceAliases);
    EXPECT_EQ(saved.unsortedFolder, draft.unsortedFolder);
    EXPECT_EQ(saved.numberTracks, false);
    EXPECT_EQ(saved.groupInName, draft.groupInName);
}

// Verifies the colour picker's current cell: stored colour, else the exact name's default, and
// only pairs inside the grid.
TEST(RuleEditsCurrent, resolvesStoredColourOrTheNamesDefault) {
    using Color = std::optional<QList<int>>;
    struct Case {
        const char* label;
        Color color;
        const char* name;
        std::optional<Swatch> current;
    };
    const Case cases[] = {
        {"absent colour, name with a default", std::nullopt, "DRUMS", Swatch{0, 0}},
        {"absent colour, another default", std::nullopt, "BASS", Swatch{17, 1}},
        {"absent colour, name without a default", std::nullopt, "UTILITY", std::nullopt},
        {"absent colour, new group", std::nullopt, "NEW", std::nullopt},
        {"absent colour, lower-case name", std::nullopt, "drums", std::nullopt},
        {"absent colour, name with blanks", std::nullopt, " DRUMS", std::nullopt},
        {"empty list beats the default", QList<int>{}, "DRUMS", std::nullopt},
        {"stored pair beats the default", QList<int>{5, 2}, "DRUMS", Swatch{5, 2}},
        {"stored pair, no default", QList<int>{23, 3}, "GTR", Swatch{23, 3}},
        {"column outside the grid", QList<int>{30, 0}, "DRUMS", std::nullopt},
        {"column 24", QList<int>{24, 0}, "GTR", std::nullopt},
        {"row 4", QList<int>{0, 4}, "GTR", std::nullopt},
        {"negative column", QList<int>{-1, 0}, "GTR", std::nullopt},
        {"one element", QList<int>{3}, "DRUMS", std::nullopt},
        {"three elements", QList<int>{1, 2, 3}, "DRUMS", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RuleEdits::current(c.color, QString::fromUtf8(c.name)), c.current);
    }
}

QList<RuleGroup> groupsNamed(const QString& names) {
    QList<RuleGroup> groups;
    for (const QChar c : names) {
        RuleGroup g;
        g.name = QString(c);
        groups.append(g);
    }
    return groups;
}

QString namesOf(const QList<RuleGroup>& groups) {
    QString names;
    for (const RuleGroup& g : groups)
        names += g.name;
    return names;
}

// Verifies the list move: the destination counts positions before the move.
TEST(RuleEditsMove, movesRowsToTheDestinationBeforeTheMove) {
    struct Case {
        QList<int> offsets;
        int destination;
        const char* result;
    };
    const Case cases[] = {
        {{0}, 3, "BCADE"}, {{0}, 5, "BCDEA"},  {{4}, 0, "EABCD"},    {{3}, 1, "ADBCE"},
        {{1}, 1, "ABCDE"}, {{1}, 2, "ABCDE"},  {{0, 2}, 5, "BDEAC"}, {{3, 1}, 0, "BDACE"},
        {{9}, 0, "ABCDE"}, {{2}, 99, "ABDEC"},
    };
    for (const Case& c : cases) {
        QList<RuleGroup> groups = groupsNamed(QStringLiteral("ABCDE"));
        const QList<RuleGroup> before = groups;
        RuleEdits::move(groups, c.offsets, c.destination);
        SCOPED_TRACE(c.result);
        EXPECT_EQ(namesOf(groups), QString::fromLatin1(c.result));
        for (const RuleGroup& g : groups) // the same groups, ids and all
            EXPECT_TRUE(before.contains(g));
    }
}

// Verifies that the trash button's removal takes exactly the group with the id and that Add
// Group appends "NEW" without words or colour under a fresh id.
TEST(RuleEditsList, removesByIdAndAddsNewGroups) {
    QList<RuleGroup> groups = groupsNamed(QStringLiteral("ABC"));
    RuleEdits::remove(groups, groups[1].id);
    EXPECT_EQ(namesOf(groups), QStringLiteral("AC"));
    RuleEdits::remove(groups, QUuid::createUuid());
    EXPECT_EQ(namesOf(groups), QStringLiteral("AC"));

    RuleEdits::addGroup(groups);
    RuleEdits::addGroup(groups);
    ASSERT_EQ(namesOf(groups), QStringLiteral("ACNEWNEW"));
    EXPECT_TRUE(groups[2].aliases.isEmpty());
    EXPECT_FALSE(groups[2].color.has_value());
    EXPECT_NE(groups[2].id, groups[3].id);
    EXPECT_NE(groups[2].id, groups[0].id);
}

} // namespace
} // namespace Vantrel::Ui
