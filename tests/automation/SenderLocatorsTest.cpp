// The sender's locators against a Logic Pro in another language: menu items found by key
// equivalent and place, track rows read by structure and name field.

#include "SenderFixture.h"
#include "automation/AXProbe.h"
#include "automation/FakePlatform.h"
#include "automation/LogicBridge.h"
#include "automation/MenuLocator.h"

namespace Vantrel::SenderTesting {
namespace {

// Every menu item the sender chooses, by its English path.
const QList<QStringList> usedItems{
    {"Track", "New Audio Track"},
    {"Track", "Rename Track"},
    {"Track", "Delete Unused Tracks"},
    {"Track", "Create Track Stack…"},
    {"Track", "Sort Tracks by", "Track Name"},
    {"Track", "Sort Tracks by", "Creation Date"},
    {"Track", "Assign Track Color…"},
    {"File", "Import", "Audio File…"},
};

Element menuBarOf(Platform& p) {
    const std::optional<RunningApp> app = LogicBridge::logicApp(p);
    return app ? AXProbe::element(p, p.accessibility().applicationElement(app->pid),
                                  QStringLiteral("AXMenuBar"))
               : Element();
}

// Where an element stands below root: the index of each child on the way down; empty when it
// is not there.
QList<int> placeOf(Platform& p, const Element& root, const Element& target) {
    const QList<Element> kids = AXProbe::kids(p, root);
    for (int i = 0; i < kids.size(); ++i) {
        if (kids[i] == target)
            return {i};
        if (QList<int> below = placeOf(p, kids[i], target); !below.isEmpty())
            return QList<int>{i} + below;
    }
    return {};
}

class SenderLocators : public SenderTest {};

TEST_F(SenderLocators, menuItemsAreFoundWhereTheEnglishOnesStandInEveryLanguage) {
    start();
    QHash<QString, QList<int>> english;
    for (const QStringList& path : usedItems) {
        const Element bar = menuBarOf(*sim);
        const Element item = AXProbe::menuItem(*sim, bar, path);
        ASSERT_TRUE(item) << path.join(" > ").toStdString();
        english[path.join('>')] = placeOf(*sim, bar, item);
    }
    for (const char* language : {"de", "fr", "ja"}) {
        start({QStringLiteral("language=") + QLatin1String(language)});
        const Element bar = menuBarOf(*sim);
        for (const QStringList& path : usedItems) {
            SCOPED_TRACE(std::string(language) + ": " + path.join(" > ").toStdString());
            EXPECT_FALSE(AXProbe::menuItem(*sim, bar, path)) << "the title is translated";
            const Element item = MenuLocator::locate(*sim, bar, path);
            ASSERT_TRUE(item);
            EXPECT_EQ(placeOf(*sim, bar, item), english[path.join('>')]);
        }
    }
}

TEST_F(SenderLocators, withoutTheStackItemsOnlyTheNewTrackItemIsFound) {
    // The Track menu is then the one after Edit; nothing is guessed for the missing items, and
    // the send stops with what to switch on before it imports anything.
    start({"language=de", "complete-features-off"});
    const Element bar = menuBarOf(*sim);
    const Element newTrack = MenuLocator::locate(*sim, bar, {"Track", "New Audio Track"});
    ASSERT_TRUE(newTrack);
    EXPECT_EQ(AXProbe::str(*sim, newTrack, "AXTitle"), u"Neue Audiospur");
    for (const QStringList& path : usedItems.mid(1, 6))
        EXPECT_FALSE(MenuLocator::locate(*sim, bar, path)) << path.join(" > ").toStdString();

    const SendOutcome outcome = send(SendMode::fast, realisticJobs());
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.result.startsWith("Logic Pro can't make track stacks until its complete "
                                          "features are on"))
        << outcome.result.toStdString();
    EXPECT_TRUE(session().tracks.isEmpty());
}

// Logic Pro with its menus in a language the sender has no titles for: the bar's fifth menu is
// the Track menu, whose "Create Track Stack…" carries Shift-Command-D; the File menu's titles
// are unknown.
struct UnknownLanguage {
    Fake::FakePlatform platform;
    Fake::NodePtr stack, newAudio, rename, deleteUnused, colors, byName, byDate;

    UnknownLanguage() {
        using Fake::node;
        const auto menu = [](const QString& title, const QList<Fake::NodePtr>& items) {
            return node("AXMenuBarItem", title, {node("AXMenu", {}, items)});
        };
        const auto item = [](const char* title) { return node("AXMenuItem", title); };
        const auto separator = [] { return node("AXMenuItem"); };
        stack = item("t-stack");
        stack->set("AXMenuItemCmdChar", QStringLiteral("D"))
            .set("AXMenuItemCmdModifiers", std::int64_t{1});
        newAudio = item("t-audio");
        rename = item("t-rename");
        deleteUnused = item("t-unused");
        colors = item("t-color");
        byName = item("s-name");
        byDate = item("s-date");
        const Fake::NodePtr sortBy = node("AXMenuItem", "t-sort",
                                          {node("AXMenu", {},
                                                {item("s-midi"), item("s-audio"), item("s-output"),
                                                 item("s-instrument"), byName, byDate})});
        const Fake::NodePtr bar = node(
            "AXMenuBar", {},
            {menu("apple", {item("a-about")}), menu("app", {item("l-about")}),
             menu("file",
                  {item("f-new"), node("AXMenuItem", "f-import",
                                       {node("AXMenu", {}, {item("f-audio"), item("f-midi")})})}),
             menu("edit", {item("e-undo")}),
             menu("track", {item("t-new"), newAudio, item("t-instrument"), separator(), rename,
                            item("t-delete"), deleteUnused, separator(), stack, item("t-flatten"),
                            separator(), sortBy, separator(), colors, item("t-icon")})});
        platform.launch(LogicBridge::bundleId, 7)->set("AXMenuBar", QList<Element>{bar});
    }
    Element menuBar() { return menuBarOf(platform); }
};

TEST(SenderMenuLocator, findsTrackItemsByPlaceAndNoImportItemInAnUnknownLanguage) {
    UnknownLanguage logic;
    const std::pair<QStringList, Fake::NodePtr> cases[] = {
        {{"Track", "New Audio Track"}, logic.newAudio},
        {{"Track", "Rename Track"}, logic.rename},
        {{"Track", "Delete Unused Tracks"}, logic.deleteUnused},
        {{"Track", "Create Track Stack…"}, logic.stack},
        {{"Track", "Sort Tracks by", "Track Name"}, logic.byName},
        {{"Track", "Sort Tracks by", "Creation Date"}, logic.byDate},
        {{"Track", "Assign Track Color…"}, logic.colors},
        {{"File", "Import", "Audio File…"}, nullptr},
        {{"Track", "Flatten Stack"}, nullptr}, // not one the sender uses: never guessed
    };
    for (const auto& [path, wanted] : cases)
        EXPECT_EQ(MenuLocator::locate(logic.platform, logic.menuBar(), path), Element(wanted))
            << path.join(" > ").toStdString();
}

TEST(SenderMenuLocator, aSendOneByOneStopsBeforeAnythingWhenTheImportItemIsNotFound) {
    UnknownLanguage logic;
    LogicSender sender(logic.platform);
    const SendOutcome outcome =
        sender.send(SendMode::slow,
                    {SendJob{std::nullopt, {QStringLiteral("/a/Kick.wav")}, std::nullopt}}, false);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.result,
              "Vantrel can't find File > Import > Audio File… in Logic Pro's menus in this "
              "language, and sending one by one needs it: choose another way to send, or in "
              "System Settings > General > Language & Region, add Logic Pro under Applications "
              "with the language English, reopen Logic Pro, then send again.");
    EXPECT_TRUE(logic.platform.presses.isEmpty());
    EXPECT_EQ(logic.platform.mouseEvents, 0);
    EXPECT_TRUE(logic.platform.keys.isEmpty());
}

TEST(SenderRowDescriptions, numberAndNameInAnyLanguage) {
    struct Case {
        const char* description;
        std::optional<QString> field; // the name field's text
        std::optional<std::pair<int, QString>> row;
    };
    const Case cases[] = {
        {"Track 3 “Bass DI”", std::nullopt, std::pair{3, QString("Bass DI")}},
        {"Track 3 “Bass DI”, mute", std::nullopt, std::pair{3, QString("Bass DI")}},
        {"Spur 12 „Gtr 2“", std::nullopt, std::pair{12, QString("Gtr 2")}},
        {"Piste 4 « Voix »", QString("Voix"), std::pair{4, QString("Voix")}},
        {"トラック 7 「リード」", std::nullopt, std::pair{7, QString("リード")}},
        // The name field is believed over the quotes; digits in the name are not the number.
        {"Track 2 “Take 5”", QString("Take 5"), std::pair{2, QString("Take 5")}},
        {"Track 9 “My “Best” Take 3”", std::nullopt, std::pair{9, QString("My “Best” Take 3")}},
        {"Track 10 5", QString("5"), std::pair{10, QString("5")}},
        // No number, or neither a name field nor quotes: no row.
        {"Tracks header", std::nullopt, std::nullopt},
        {"Spur „Bass“", QString("Bass"), std::nullopt},
        {"Track 3 Bass", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LogicSender::parseRow(QString::fromUtf8(c.description), c.field), c.row)
            << c.description;
    }
}

TEST_F(SenderLocators, rowsAreReadByStructureInEveryLanguage) {
    // Names with quotes and digits of their own, and the header group described otherwise.
    const QStringList names{"Kick “In” 2", "12", "Bass DI"};
    for (const char* setting : {"language=ja", "language=de", "older-layout"}) {
        SCOPED_TRACE(setting);
        start({QString::fromUtf8(setting)});
        for (const QString& n : names)
            sim->logic().addTrack(n);
        const std::optional<QList<TrackRow>> rows = sender->rowsOnScreen(false);
        ASSERT_TRUE(rows);
        QStringList read;
        QList<int> numbers;
        for (const TrackRow& r : *rows) {
            read << r.name;
            numbers << r.number;
        }
        EXPECT_EQ(read, names);
        EXPECT_EQ(numbers, (QList<int>{1, 2, 3}));
        EXPECT_EQ(sender->trackCount(), 3);
    }
}

} // namespace
} // namespace Vantrel::SenderTesting
