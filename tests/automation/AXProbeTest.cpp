// The accessibility toolkit on hand-built trees: search order and depth limit, attribute reads,
// windows, menu presses, and the exact keyboard events with their times.
#include "automation/AXProbe.h"

#include "automation/FakePlatform.h"
#include "automation/LogicBridge.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace Vantrel;
using namespace Vantrel::Fake;
using namespace std::chrono_literals;

namespace {

// A chain root > d1 > d2 > ... > d<levels-1>, each node named by its depth.
QList<NodePtr> chain(int levels) {
    QList<NodePtr> nodes;
    for (int d = 0; d < levels; ++d) {
        nodes << node(QStringLiteral("AXGroup"), QStringLiteral("d%1").arg(d));
        if (d > 0)
            nodes[d - 1]->setChildren({nodes[d]});
    }
    return nodes;
}

auto titled(FakePlatform& p, const QString& title) {
    return [&p, title](const Element& e) {
        return AXProbe::str(p, e, QStringLiteral("AXTitle")) == title;
    };
}

// Verifies that a root that satisfies the predicate is the answer and its children are not read.
TEST(AXProbeFind, shouldReturnMatchingRootWithoutReadingChildren) {
    FakePlatform p;
    const QList<NodePtr> nodes = chain(3);
    const Element found = AXProbe::find(p, nodes[0], 0, titled(p, QStringLiteral("d0")));
    EXPECT_EQ(found, nodes[0]);
    EXPECT_EQ(p.reads, QList<Read>({{"d0", "AXTitle"}}));
    EXPECT_EQ(AXProbe::find(p, nullptr, 0, [](const Element&) { return true; }), nullptr);
}

// Verifies the depth limit: elements down to depth 12 are tested, deeper ones never, counting
// from the depth the caller gives the root.
TEST(AXProbeFind, shouldSearchDownToDepthTwelve) {
    struct Case {
        int rootDepth;
        int targetBelowRoot;
        bool found;
    } cases[] = {{0, 12, true}, {0, 13, false}, {5, 7, true},
                 {5, 8, false}, {12, 0, true},  {12, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "root at " << c.rootDepth << ", target " << c.targetBelowRoot << " below");
        FakePlatform p;
        const QList<NodePtr> nodes = chain(c.targetBelowRoot + 2);
        const QString target = QStringLiteral("d%1").arg(c.targetBelowRoot);
        const Element found = AXProbe::find(p, nodes[0], c.rootDepth, titled(p, target));
        EXPECT_EQ(found, c.found ? Element(nodes[c.targetBelowRoot]) : nullptr);
        // The children of the element at depth 12 are never even read.
        const int lastVisited = 12 - c.rootDepth;
        if (!c.found) {
            EXPECT_FALSE(p.reads.contains(
                Read{QStringLiteral("d%1").arg(lastVisited + 1), QStringLiteral("AXTitle")}));
        }
        EXPECT_FALSE(p.reads.contains(
            Read{QStringLiteral("d%1").arg(lastVisited), QStringLiteral("AXChildren")}));
    }
}

// Verifies pre-order: a match below the first child beats a matching second child, and a
// matching parent beats its matching child.
TEST(AXProbeFind, shouldReturnFirstMatchInPreOrder) {
    FakePlatform p;
    auto grandchild = node(QStringLiteral("AXButton"), QStringLiteral("first child's child"));
    grandchild->set(QStringLiteral("AXIdentifier"), QStringLiteral("hit"));
    auto first = node(QStringLiteral("AXGroup"), QStringLiteral("first child"), {grandchild});
    auto second = node(QStringLiteral("AXButton"), QStringLiteral("second child"));
    second->set(QStringLiteral("AXIdentifier"), QStringLiteral("hit"));
    auto root = node(QStringLiteral("AXWindow"), QStringLiteral("root"), {first, second});

    const auto hit = [&p](const Element& e) {
        return AXProbe::str(p, e, QStringLiteral("AXIdentifier")) == QLatin1String("hit");
    };
    EXPECT_EQ(AXProbe::find(p, root, 0, hit), grandchild);
    EXPECT_FALSE(p.reads.contains(Read{"second child", "AXIdentifier"}));

    first->set(QStringLiteral("AXIdentifier"), QStringLiteral("hit"));
    EXPECT_EQ(AXProbe::find(p, root, 0, hit), first);
}

// Verifies that a branch whose children cannot be read is passed over and the search goes on.
TEST(AXProbeFind, shouldPassOverUnreadableChildren) {
    FakePlatform p;
    auto hidden = node(QStringLiteral("AXButton"), QStringLiteral("target"));
    auto unreadable = node(QStringLiteral("AXGroup"), QStringLiteral("unreadable"), {hidden});
    unreadable->fail(QStringLiteral("AXChildren"), AXResult::cannotComplete);
    auto wrongType = node(QStringLiteral("AXGroup"), QStringLiteral("wrong type"));
    wrongType->set(QStringLiteral("AXChildren"), QStringLiteral("not a list"));
    auto visible = node(QStringLiteral("AXButton"), QStringLiteral("target"));
    auto root =
        node(QStringLiteral("AXWindow"), QStringLiteral("root"), {unreadable, wrongType, visible});
    EXPECT_EQ(AXProbe::find(p, root, 0, titled(p, QStringLiteral("target"))), visible);
}

// Verifies that kids, str and element give the empty result for every kind of "no value":
// missing, failed (even when the platform hands a value along) or of another kind.
TEST(AXProbeRead, shouldTreatEveryUnreadableValueAsEmpty) {
    FakePlatform p;
    auto child = node(QStringLiteral("AXMenuBar"));
    auto good = node(QStringLiteral("AXGroup"), QStringLiteral("good"), {child});
    good->set(QStringLiteral("AXMenuBar"), QList<Element>{child});
    EXPECT_EQ(AXProbe::kids(p, good), QList<Element>{child});
    EXPECT_EQ(AXProbe::str(p, good, QStringLiteral("AXTitle")), QStringLiteral("good"));
    EXPECT_EQ(AXProbe::element(p, good, QStringLiteral("AXMenuBar")), child);

    auto failed = node(QStringLiteral("AXGroup"), QStringLiteral("failed"), {child});
    failed->set(QStringLiteral("AXMenuBar"), QList<Element>{child});
    for (const char* attribute : {"AXChildren", "AXTitle", "AXMenuBar"})
        failed->fail(QLatin1String(attribute), AXResult::apiDisabled);
    auto wrongKind = node(QStringLiteral("AXGroup"));
    wrongKind->set(QStringLiteral("AXChildren"), QStringLiteral("text"));
    wrongKind->set(QStringLiteral("AXTitle"), true);
    wrongKind->set(QStringLiteral("AXMenuBar"), QStringLiteral("text"));
    auto missing = std::make_shared<Node>(QStringLiteral("bare"));
    auto emptyList = node(QStringLiteral("AXGroup"));
    emptyList->set(QStringLiteral("AXMenuBar"), QList<Element>{});

    for (const Element& e : {Element(failed), Element(wrongKind), Element(missing), Element()}) {
        SCOPED_TRACE(nameOf(e).toStdString());
        EXPECT_TRUE(AXProbe::kids(p, e).isEmpty());
        EXPECT_EQ(AXProbe::str(p, e, QStringLiteral("AXTitle")), QString());
        EXPECT_EQ(AXProbe::element(p, e, QStringLiteral("AXMenuBar")), nullptr);
    }
    EXPECT_EQ(AXProbe::element(p, emptyList, QStringLiteral("AXMenuBar")), nullptr);
}

// Verifies that windows come from the first running Logic Pro, and are empty whenever there is
// no Logic Pro, no application element or no readable list.
TEST(AXProbeWindows, shouldListWindowsOfFirstLogicPro) {
    FakePlatform p;
    EXPECT_TRUE(AXProbe::windows(p).isEmpty());

    auto other = p.launch(QStringLiteral("com.example.other"), 10);
    other->set(QStringLiteral("AXWindows"), QList<Element>{node(QStringLiteral("AXWindow"))});
    EXPECT_TRUE(AXProbe::windows(p).isEmpty());

    auto logic = p.launch(LogicBridge::bundleId, 20);
    auto second = p.launch(LogicBridge::bundleId, 30);
    const QList<Element> wins{node(QStringLiteral("AXWindow"), QStringLiteral("Tracks")),
                              node(QStringLiteral("AXWindow"), QStringLiteral("Mixer"))};
    logic->set(QStringLiteral("AXWindows"), wins);
    second->set(QStringLiteral("AXWindows"), QList<Element>{node(QStringLiteral("AXWindow"))});
    EXPECT_EQ(AXProbe::windows(p), wins);

    logic->fail(QStringLiteral("AXWindows"), AXResult::cannotComplete);
    EXPECT_TRUE(AXProbe::windows(p).isEmpty());

    p.appElements.remove(20);
    EXPECT_TRUE(AXProbe::windows(p).isEmpty());
}

// Logic Pro with a small menu bar:
//   Logic Pro
//   Track > (menu) New Audio Track, (separator), Create Track Stack…,
//           Sort Tracks by > (menu) Creation Date
//   File
struct MenuWorld {
    MenuWorld() { app->set(QStringLiteral("AXMenuBar"), QList<Element>{menuBar}); }

    FakePlatform p;
    NodePtr newTrack = node(QStringLiteral("AXMenuItem"), QStringLiteral("New Audio Track"));
    NodePtr makeStack = node(QStringLiteral("AXMenuItem"), QStringLiteral("Create Track Stack…"));
    NodePtr byDate = node(QStringLiteral("AXMenuItem"), QStringLiteral("Creation Date"));
    NodePtr sortMenu = node(QStringLiteral("AXMenu"), {}, {byDate});
    NodePtr sortBy =
        node(QStringLiteral("AXMenuItem"), QStringLiteral("Sort Tracks by"), {sortMenu});
    NodePtr trackMenu = node(QStringLiteral("AXMenu"), {},
                             {newTrack, node(QStringLiteral("AXMenuItem")), makeStack, sortBy});
    NodePtr track = node(QStringLiteral("AXMenuBarItem"), QStringLiteral("Track"), {trackMenu});
    NodePtr menuBar = node(QStringLiteral("AXMenuBar"), {},
                           {node(QStringLiteral("AXMenuBarItem"), QStringLiteral("Logic Pro")),
                            track, node(QStringLiteral("AXMenuBarItem"), QStringLiteral("File"))});
    NodePtr app = p.launch(LogicBridge::bundleId, 42);
};

const QStringList byDatePath{"Track", "Sort Tracks by", "Creation Date"};

// Verifies that an item whose direct press succeeds is pressed once, at once, and nothing else.
TEST(AXProbeMenu, shouldPressReachableItemDirectly) {
    MenuWorld w;
    EXPECT_EQ(AXProbe::menuItem(w.p, w.menuBar, byDatePath), w.byDate);
    EXPECT_EQ(AXProbe::menuPathResult(w.p, byDatePath), std::optional<int>(0));
    EXPECT_EQ(w.p.presses, QList<Press>({{"Creation Date", 0ms}}));
    EXPECT_EQ(w.p.virtualClock.now(), 0ms);
}

// Verifies that a direct press that answers an error is never repeated through the menus: it
// may have taken effect, and its status is the result.
TEST(AXProbeMenu, shouldNotPressAgainWhenTheDirectPressAnswersAnError) {
    for (const int answer : {int(AXResult::cannotComplete), int(AXResult::actionUnsupported)}) {
        SCOPED_TRACE(answer);
        MenuWorld w;
        w.byDate->pressAnswers = {answer};
        EXPECT_EQ(AXProbe::menuPathResult(w.p, byDatePath), answer);
        EXPECT_EQ(w.p.presses, QList<Press>({{"Creation Date", 0ms}}));
        EXPECT_EQ(w.p.virtualClock.now(), 0ms);
    }
}

// Verifies that an item of a menu whose items appear only once it is open is reached by
// opening the menu: the item is looked for 120 ms after the press on its menu bar item.
TEST(AXProbeMenu, shouldFindItemOfMenuThatOpensOnPress) {
    MenuWorld w;
    const QList<Element> items = AXProbe::kids(w.p, w.trackMenu);
    w.trackMenu->setChildren({});
    w.track->onPress = [&w, items] { w.trackMenu->set(QStringLiteral("AXChildren"), items); };

    EXPECT_EQ(AXProbe::menuPathResult(w.p, {"Track", "New Audio Track"}), std::optional<int>(0));
    EXPECT_EQ(w.p.presses, QList<Press>({{"Track", 0ms}, {"New Audio Track", 120ms}}));
}

// Verifies the paths that give none: titles that match only approximately, a title that is
// nowhere, no Logic Pro, no readable menu bar. Menus opened before the missing title stay
// open (the press on them is not undone).
TEST(AXProbeMenu, shouldReturnNoneWhenPathCannotBeFollowed) {
    struct Case {
        const char* name;
        QStringList path;
        std::function<void(MenuWorld&)> change;
        QList<Press> presses;
    } cases[] = {
        {"three full stops for the ellipsis",
         {"Track", "Create Track Stack..."},
         {},
         {{"Track", 0ms}}},
        {"other case", {"track", "New Audio Track"}, {}, {}},
        {"item of another menu", {"File", "New Audio Track"}, {}, {{"File", 0ms}}},
        {"path below a leaf",
         {"Track", "New Audio Track", "More"},
         {},
         {{"Track", 0ms}, {"New Audio Track", 120ms}}},
        {"empty path", {}, {}, {}},
        {"Logic Pro not running",
         {"Track", "New Audio Track"},
         [](MenuWorld& w) { w.p.apps.clear(); },
         {}},
        {"menu bar unreadable",
         {"Track", "New Audio Track"},
         [](MenuWorld& w) { w.app->fail(QStringLiteral("AXMenuBar"), AXResult::cannotComplete); },
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MenuWorld w;
        if (c.change)
            c.change(w);
        EXPECT_EQ(AXProbe::menuPathResult(w.p, c.path), std::nullopt);
        EXPECT_EQ(w.p.presses, c.presses);
    }
    MenuWorld w;
    EXPECT_EQ(AXProbe::menuPathResult(w.p, {"Track", "Create Track Stack…"}),
              std::optional<int>(0));
    EXPECT_EQ(w.p.presses, QList<Press>({{"Create Track Stack…", 0ms}}));
}

// Verifies that the walk takes a menu's items as direct candidates but does not flatten other
// containers, and that an unreadable title counts as the empty text.
TEST(AXProbeMenu, shouldLookOnlyThroughMenus) {
    MenuWorld w;
    auto inGroup = node(QStringLiteral("AXMenuItem"), QStringLiteral("Hidden"));
    w.trackMenu->setChildren({node(QStringLiteral("AXGroup"), {}, {inGroup})});
    EXPECT_EQ(AXProbe::menuItem(w.p, w.menuBar, {"Track", "Hidden"}), nullptr);

    auto untitled = node(QStringLiteral("AXMenuItem"), QStringLiteral("Untitled"));
    untitled->fail(QStringLiteral("AXTitle"));
    w.trackMenu->setChildren({untitled});
    EXPECT_EQ(AXProbe::menuItem(w.p, w.menuBar, {"Track", ""}), untitled);
}

// The events of one call with their times, from a fresh world.
struct Recorded {
    QList<PostedKey> keys;
    Clock::Duration end;
};
Recorded record(const std::function<void(Platform&)>& call) {
    FakePlatform p;
    call(p);
    return {p.keys, p.virtualClock.now()};
}

PostedKey at(Clock::Duration t, std::uint16_t code, bool down, std::uint64_t flags = 0,
             std::optional<char16_t> unit = std::nullopt) {
    return {t, {code, down, flags, unit}};
}

constexpr std::uint64_t cmd = EventFlags::command, shift = EventFlags::shift,
                        opt = EventFlags::option, ctrl = EventFlags::control;

// Verifies the exact events of keystrokes: modifiers go down in the order cmd, shift, opt,
// ctrl whatever the text says, flags accumulate and are released in reverse, with 12 ms after
// each modifier press and 30 ms after every other event.
TEST(AXProbeKey, shouldPostKeystrokesWithTheirPauses) {
    struct Case {
        const char* key;
        const char* mods;
        QList<PostedKey> events;
        Clock::Duration end;
    } cases[] = {
        {"g",
         "cmd+shift",
         {at(0ms, 55, true, cmd), at(12ms, 56, true, cmd | shift), at(24ms, 5, true, cmd | shift),
          at(54ms, 5, false, cmd | shift), at(84ms, 56, false, cmd), at(114ms, 55, false)},
         144ms},
        {"z",
         "shift+cmd",
         {at(0ms, 55, true, cmd), at(12ms, 56, true, cmd | shift), at(24ms, 6, true, cmd | shift),
          at(54ms, 6, false, cmd | shift), at(84ms, 56, false, cmd), at(114ms, 55, false)},
         144ms},
        {"return", "", {at(0ms, 36, true), at(30ms, 36, false)}, 60ms},
        {"a",
         "ctrl+opt+shift+cmd",
         {at(0ms, 55, true, cmd), at(12ms, 56, true, cmd | shift),
          at(24ms, 58, true, cmd | shift | opt), at(36ms, 59, true, cmd | shift | opt | ctrl),
          at(48ms, 0, true, cmd | shift | opt | ctrl), at(78ms, 0, false, cmd | shift | opt | ctrl),
          at(108ms, 59, false, cmd | shift | opt), at(138ms, 58, false, cmd | shift),
          at(168ms, 56, false, cmd), at(198ms, 55, false)},
         228ms},
        {"d",
         "+cmd++fn+Shift",
         {at(0ms, 55, true, cmd), at(12ms, 2, true, cmd), at(42ms, 2, false, cmd),
          at(72ms, 55, false)},
         102ms},
        {"x", "cmd", {}, 0ms},
        {"G", "", {}, 0ms},
        {"", "cmd", {}, 0ms},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key \"" << c.key << "\" mods \"" << c.mods << "\"");
        const Recorded r = record([&c](Platform& p) {
            AXProbe::key(p, QString::fromUtf8(c.key), QString::fromUtf8(c.mods));
        });
        EXPECT_EQ(r.keys, c.events);
        EXPECT_EQ(r.end, c.end);
    }
}

// Verifies the key code of every named key.
TEST(AXProbeKey, shouldUseTheKeyCodesOfTheNamedKeys) {
    const QList<std::pair<const char*, std::uint16_t>> keys{
        {"return", 36}, {"tab", 48}, {"escape", 53}, {"space", 49}, {"delete", 51}, {"down", 125},
        {"up", 126},    {"a", 0},    {"g", 5},       {"o", 31},     {"d", 2},       {"z", 6}};
    EXPECT_EQ(AXProbe::codes().size(), keys.size());
    for (const auto& [name, code] : keys) {
        const Recorded r =
            record([name](Platform& p) { AXProbe::key(p, QString::fromUtf8(name), {}); });
        EXPECT_EQ(r.keys, QList<PostedKey>({at(0ms, code, true), at(30ms, code, false)})) << name;
    }
}

// Verifies typing: a down and an up of key code 0 per UTF-16 unit, carrying the unit, no
// flags, 8 ms after each pair; a character outside the basic plane is two pairs.
TEST(AXProbeType, shouldPostOnePairPerCodeUnit) {
    struct Case {
        const char* name;
        QString text;
        QList<char16_t> units;
    } cases[] = {
        {"four letters", QStringLiteral("Kick"), {u'K', u'i', u'c', u'k'}},
        {"empty", QString(), {}},
        {"accent and emoji", QStringLiteral("é😀 "), {u'é', 0xD83D, 0xDE00, u' '}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Recorded r = record([&c](Platform& p) { AXProbe::type(p, c.text); });
        QList<PostedKey> expected;
        Clock::Duration t = 0ms;
        for (char16_t unit : c.units) {
            expected << at(t, 0, true, 0, unit) << at(t, 0, false, 0, unit);
            t += 8ms;
        }
        EXPECT_EQ(r.keys, expected);
        EXPECT_EQ(r.keys.size(), 2 * c.units.size());
        EXPECT_EQ(r.end, t);
    }
}

} // namespace
