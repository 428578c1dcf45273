#include "core/Config.h"
#include "core/Engine.h"

#include <QSet>

#include <gtest/gtest.h>

#include <optional>

using namespace Vantrel;

namespace {

Item item(const char* file, std::optional<QString> group, std::optional<std::int64_t> order,
          const char* source) {
    Item i;
    i.url = QStringLiteral("/session/") + QString::fromUtf8(file);
    i.group = std::move(group);
    i.order = order;
    i.source = QString::fromUtf8(source);
    return i;
}

QStringList names(const QList<Item>& items) {
    QStringList out;
    for (const Item& i : items)
        out << i.newName;
    return out;
}

QStringList folders(const QList<Item>& items) {
    QStringList out;
    for (const Item& i : items)
        out << i.folder;
    return out;
}

Config options(bool numberTracks, bool groupInName) {
    Config cfg = Config::defaults();
    cfg.numberTracks = numberTracks;
    cfg.groupInName = groupInName;
    return cfg;
}

const QString DRUMS = QStringLiteral("DRUMS");
const QString TRACKS = QStringLiteral("TRACKS");

QList<Item> workedExample() {
    return {item("1 Drums L.wav", DRUMS, 1, "L"),
            item("2 Kick In.wav", DRUMS, 2, "KICK_IN"),
            item("12 L.wav", TRACKS, 12, "L"),
            item("47Track Perc L#03.1.wav", TRACKS, 47, "PERC_L"),
            item("Room.aif", std::nullopt, std::nullopt, "ROOM"),
            item("Room.wav", std::nullopt, std::nullopt, "ROOM")};
}

// Verifies the worked example under the three combinations of the naming options.
TEST(Finalize, shouldNameWorkedExampleUnderEachOption) {
    const struct {
        const char* name;
        bool numberTracks;
        bool groupInName;
        QStringList expected;
    } cases[] = {
        {"numbered",
         true,
         false,
         {"01_L.wav", "02_KICK_IN.wav", "TRACKS_01_L.wav", "02_PERC_L.wav", "ROOM.aif",
          "ROOM_02.wav"}},
        {"numbered, group in name",
         true,
         true,
         {"DRUMS_01_L.wav", "DRUMS_02_KICK_IN.wav", "TRACKS_01_L.wav", "TRACKS_02_PERC_L.wav",
          "ROOM.aif", "ROOM_02.wav"}},
        {"not numbered",
         false,
         false,
         {"L.wav", "KICK_IN.wav", "TRACKS_L.wav", "PERC_L.wav", "ROOM.aif", "ROOM_02.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<Item> out =
            Engine::finalize(workedExample(), options(c.numberTracks, c.groupInName));
        EXPECT_EQ(names(out), c.expected);
        EXPECT_EQ(folders(out), (QStringList{"01_DRUMS", "01_DRUMS", "07_TRACKS", "07_TRACKS",
                                             "99_UNSORTED", "99_UNSORTED"}));
    }
}

// Verifies that only folder and newName change, the order is kept and a second run agrees.
TEST(Finalize, shouldKeepItemsAndBeRepeatable) {
    const QList<Item> in = workedExample();
    const QList<Item> once = Engine::finalize(in, Config::defaults());
    ASSERT_EQ(once.size(), in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        Item expected = in[i];
        expected.folder = once[i].folder;
        expected.newName = once[i].newName;
        EXPECT_EQ(once[i], expected);
    }
    EXPECT_EQ(Engine::finalize(once, Config::defaults()), once);
}

// Verifies session-order numbering: numbered items first, ties by natural name order.
TEST(Finalize, shouldNumberInSessionOrder) {
    const QList<Item> out =
        Engine::finalize({item("x.wav", DRUMS, 5, "A"), item("y.wav", DRUMS, std::nullopt, "B"),
                          item("z.wav", DRUMS, 2, "C"), item("10 t.wav", TRACKS, 3, "D"),
                          item("9 t.wav", TRACKS, 3, "E")},
                         Config::defaults());
    EXPECT_EQ(names(out),
              (QStringList{"02_A.wav", "03_B.wav", "01_C.wav", "02_D.wav", "01_E.wav"}));
}

// Verifies that the number width follows the largest group, for every group.
TEST(Finalize, shouldWidenNumbersForLargestGroup) {
    for (const int count : {9, 99, 100}) {
        SCOPED_TRACE(count);
        QList<Item> items{item("b.wav", TRACKS, 1, "B")};
        for (int i = 1; i <= count; ++i)
            items << item(qPrintable(QStringLiteral("%1.wav").arg(i)), DRUMS, i, "K");
        const QList<Item> out = Engine::finalize(items, Config::defaults());
        const QString width = count >= 100 ? QStringLiteral("001") : QStringLiteral("01");
        EXPECT_EQ(out[0].newName, width + QStringLiteral("_B.wav"));
        EXPECT_EQ(out[1].newName, width + QStringLiteral("_K.wav"));
    }
}

// Verifies the naming rules for empty sources, unsorted items, clashes and extensions.
TEST(Finalize, shouldNameEdgeCases) {
    const struct {
        const char* name;
        QList<Item> items;
        bool numberTracks;
        bool groupInName;
        QStringList expected;
    } cases[] = {
        {"empty source takes the group name",
         {item("a.wav", DRUMS, 1, "")},
         true,
         false,
         {"DRUMS_01.wav"}},
        {"empty source with group in name",
         {item("a.wav", DRUMS, 1, "")},
         true,
         true,
         {"DRUMS_01.wav"}},
        {"unsorted empty sources",
         {item("a.wav", std::nullopt, 1, ""), item("b.wav", std::nullopt, 2, "")},
         true,
         false,
         {"UNNAMED.wav", "UNNAMED_02.wav"}},
        {"extension lowered", {item("a.WAV", std::nullopt, 1, "X")}, true, false, {"X.wav"}},
        {"clash ignores case, count does not",
         {item("a.wav", DRUMS, 1, "KICK"), item("b.wav", TRACKS, 1, "kick")},
         true,
         false,
         {"01_KICK.wav", "TRACKS_01_kick.wav"}},
        {"third repeat gets a count on the prefixed base",
         {item("a.wav", DRUMS, std::nullopt, "K"), item("b.wav", DRUMS, std::nullopt, "K"),
          item("c.wav", DRUMS, std::nullopt, "K")},
         false,
         false,
         {"K.wav", "DRUMS_K.wav", "DRUMS_K_02.wav"}},
        {"no clash prefix when the group is in every name",
         {item("a.wav", DRUMS, std::nullopt, "K"), item("b.wav", DRUMS, std::nullopt, "K")},
         false,
         true,
         {"DRUMS_K.wav", "DRUMS_K_02.wav"}},
        {"unknown group is unsorted but numbered and prefixed on clash",
         {item("a.wav", std::nullopt, 1, "GTR"),
          item("b.wav", QStringLiteral("GUITARS"), 1, "GTR")},
         true,
         false,
         {"GTR.wav", "GUITARS_GTR.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(names(Engine::finalize(c.items, options(c.numberTracks, c.groupInName))),
                  c.expected);
    }
}

// Verifies the folder names: list position with two digits at least, the unsorted folder as is.
TEST(Finalize, shouldNameFoldersByGroupPosition) {
    Config cfg = Config::defaults();
    RuleGroup twelfth;
    twelfth.name = QStringLiteral("HORNS");
    cfg.groups << twelfth;
    cfg.unsortedFolder = QStringLiteral("Leftovers");
    const QList<Item> out = Engine::finalize({item("a.wav", QStringLiteral("HORNS"), 1, "TPT"),
                                              item("b.wav", std::nullopt, 1, "X"),
                                              item("c.wav", QStringLiteral("UTILITY"), 1, "CLICK")},
                                             cfg);
    EXPECT_EQ(folders(out), (QStringList{"12_HORNS", "Leftovers", "10_UTILITY"}));
}

// Verifies that names made from user text always stay single entries inside the result folder.
TEST(Finalize, shouldKeepNamesInsideResultFolder) {
    const struct {
        const char* name;
        const char* groupName;
        const char* unsorted;
        std::optional<QString> group;
        const char* source;
        const char* folder;
        const char* newName;
    } cases[] = {
        {"separator in group name", "../../etc", "99_UNSORTED", QStringLiteral("../../etc"), "X",
         "01_.._.._etc", "01_X.wav"},
        {"unsorted folder is ..", "DRUMS", "..", std::nullopt, "X", "__", "X.wav"},
        {"unsorted folder is .", "DRUMS", ".", std::nullopt, "X", "_", "X.wav"},
        {"unsorted folder is empty", "DRUMS", "", std::nullopt, "X", "_", "X.wav"},
        {"unsorted folder with separator", "DRUMS", "a/../../b", std::nullopt, "X", "a_.._.._b",
         "X.wav"},
        {"separator in source", "DRUMS", "99_UNSORTED", std::nullopt, "../../x", "99_UNSORTED",
         ".._.._x.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Config cfg;
        RuleGroup g;
        g.name = QString::fromUtf8(c.groupName);
        cfg.groups = {g};
        cfg.unsortedFolder = QString::fromUtf8(c.unsorted);
        const QList<Item> out = Engine::finalize({item("a.wav", c.group, 1, c.source)}, cfg);
        EXPECT_EQ(out[0].folder, QString::fromUtf8(c.folder));
        EXPECT_EQ(out[0].newName, QString::fromUtf8(c.newName));
    }
}

// Verifies that names are unique within a folder whatever the sources give, without regard to
// case, and that every name fits the file system.
TEST(Finalize, shouldGiveUniqueNamesThatFit) {
    const QString longSource = QString(300, QLatin1Char('A'));
    const QString longWide = QString(200, QChar(0x00E9)); // two bytes each in UTF-8
    const QString emoji = QString::fromUcs4(U"\U0001F941").repeated(100);
    const struct {
        const char* name;
        QList<Item> items;
        QStringList expected; // empty: only check uniqueness and length
    } cases[] = {
        {"a suffixed name equal to a plain one",
         {item("30Room#01.wav", std::nullopt, 30, "ROOM"),
          item("31Room#02.wav", std::nullopt, 31, "ROOM"),
          item("32Room 02.wav", std::nullopt, 32, "ROOM_02")},
         {"ROOM.wav", "ROOM_02.wav", "ROOM_02_02.wav"}},
        {"the plain name comes after the suffixed one",
         {item("1.wav", std::nullopt, 1, "ROOM_02"), item("2.wav", std::nullopt, 2, "ROOM"),
          item("3.wav", std::nullopt, 3, "ROOM")},
         {"ROOM_02.wav", "ROOM.wav", "ROOM_03.wav"}},
        {"names differing in case only",
         {item("1.wav", std::nullopt, 1, "room"), item("2.wav", std::nullopt, 2, "ROOM")},
         {"room.wav", "ROOM_02.wav"}},
        {"names equal once lowered beyond ASCII",
         {item("1.wav", std::nullopt, 1, "KICK"), item("2.wav", std::nullopt, 2, "\u212aICK"),
          item("3.wav", std::nullopt, 3, "\u00c9T\u00c9"),
          item("4.wav", std::nullopt, 4, "\u00e9t\u00e9"),
          item("5.wav", std::nullopt, 5, "R\u00d6\u00d6M"), item("6.wav", std::nullopt, 6, "ROOM")},
         {"KICK.wav", "\u212aICK_02.wav", "\u00c9T\u00c9.wav", "\u00e9t\u00e9_02.wav",
          "R\u00d6\u00d6M.wav", "ROOM.wav"}},
        {"a source longer than a name may be",
         {item("1 a.wav", DRUMS, 1, longSource.toUtf8().constData()),
          item("2 a.wav", DRUMS, 2, longSource.toUtf8().constData())},
         {}},
        {"long sources of two-byte and four-byte characters",
         {item("1 a.wav", DRUMS, 1, longWide.toUtf8().constData()),
          item("2 a.wav", DRUMS, 2, emoji.toUtf8().constData()),
          item("3 a.wav", std::nullopt, 3, emoji.toUtf8().constData()),
          item("4 a.wav", std::nullopt, 4, emoji.toUtf8().constData())},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<Item> out = Engine::finalize(c.items, Config::defaults());
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(names(out), c.expected);
        }
        QSet<QString> seen;
        for (const Item& i : out) {
            EXPECT_LE(i.newName.toUtf8().size(), 255) << qPrintable(i.newName);
            EXPECT_LE(i.folder.toUtf8().size(), 255);
            EXPECT_TRUE(i.newName.endsWith(QLatin1String(".wav"))) << qPrintable(i.newName);
            EXPECT_TRUE(i.newName.isValidUtf16()) << qPrintable(i.newName);
            EXPECT_FALSE(seen.contains(i.folder + '/' + i.newName.toLower()))
                << qPrintable(i.newName);
            seen.insert(i.folder + '/' + i.newName.toLower());
        }
        if (c.items.first().group) {
            // The number and the start of the source are kept.
            EXPECT_TRUE(out[0].newName.startsWith("01_" + c.items[0].source.left(10)))
                << qPrintable(out[0].newName);
        }
    }
}

// Verifies that numbering continues after the tracks an earlier organization placed.
TEST(Finalize, shouldNumberAfterEarlierTracks) {
    const QList<Item> out =
        Engine::finalize({item("4 Tom.wav", DRUMS, 4, "TOM"), item("5 Tom.wav", DRUMS, 5, "TOM 2"),
                          item("12 L.wav", TRACKS, 12, "L")},
                         Config::defaults(), {{"01_DRUMS", 3}, {"07_TRACKS", 99}, {"02_BASS", 4}});
    EXPECT_EQ(names(out), (QStringList{"004_TOM.wav", "005_TOM 2.wav", "100_L.wav"}));
}

} // namespace
