// The toolkit and the menu dump against the simulated Logic Pro: menus read and pressed through
// its accessibility tree, keystrokes and typed text that it receives and acts on, all on a
// virtual clock. Assertions are on what the simulator ends up holding.
#include "automation/AXProbe.h"
#include "automation/LogicBridge.h"
#include "platform/sim/SimPlatform.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vantrel;
using namespace std::chrono_literals;

namespace {

// A posted keyboard event and the time it was posted at.
struct Stamped {
    Clock::Duration at;
    KeyEvent event;
    bool operator==(const Stamped&) const = default;
};

void PrintTo(const Stamped& s, std::ostream* os) {
    *os << "@" << s.at.count() / 1000000 << "ms key " << s.event.keyCode
        << (s.event.down ? " down" : " up") << " flags 0x" << std::hex << s.event.flags << std::dec;
    if (s.event.unit)
        *os << " unit U+" << std::hex << int(*s.event.unit) << std::dec;
}

// The simulated platform seen through a window that notes the time of every key event on its
// way to the simulator (which records the events themselves, without times).
class Stamping : public Platform, private Input {
public:
    explicit Stamping(SimPlatform& sim) : sim_(sim) {}
    QList<Stamped> stamped;

    Accessibility& accessibility() override { return sim_.accessibility(); }
    Input& input() override { return *this; }
    Screen& screen() override { return sim_.screen(); }
    DragTileHost& dragTiles() override { return sim_.dragTiles(); }
    Clock& clock() override { return sim_.clock(); }

private:
    void postKey(const KeyEvent& event) override {
        stamped << Stamped{sim_.clock().now(), event};
        sim_.input().postKey(event);
    }
    void postMouse(const MouseEvent& event) override { sim_.input().postMouse(event); }

    SimPlatform& sim_;
};

class SimulatorTest : public testing::Test {
protected:
    // Brings the simulated Logic Pro to the front and waits until it is there.
    void activate() {
        const std::optional<RunningApp> app = LogicBridge::logicApp(sim);
        ASSERT_TRUE(app);
        ASSERT_TRUE(sim.accessibility().activate(*app));
        clock.sleepFor(1s);
    }

    QStringList trackNames() {
        QStringList names;
        for (const SimTrack& t : sim.logic().session().tracks)
            names << t.name;
        return names;
    }

    QString dumpFile() const { return dir.filePath(QStringLiteral("Vantrel/logic-menus.txt")); }

    VirtualClock clock{10s};
    SimPlatform sim{clock};
    QTemporaryDir dir;
};

// Whether every line of wanted is in lines, in the same order.
bool inOrder(const QStringList& lines, const QStringList& wanted) {
    qsizetype from = 0;
    for (const QString& w : wanted) {
        from = lines.indexOf(w, from);
        if (from < 0)
            return false;
        ++from;
    }
    return true;
}

// Verifies the dump of the simulated menu bar: one line per titled item, in menu order, with
// submenus indented below their item, disabled items marked as the simulator reports them at
// the moment of the dump, and no line for separators.
TEST_F(SimulatorTest, LogicBridgeShouldDumpSimulatedMenus) {
    const int count = LogicBridge::dumpMenus(sim, dumpFile());
    QStringList lines = QString::fromUtf8(Fixtures::readFile(dumpFile())).split(QLatin1Char('\n'));
    EXPECT_EQ(count, lines.size());
    EXPECT_GT(count, 50);
    for (const QString& line : lines)
        EXPECT_FALSE(line.trimmed().isEmpty()) << "blank line in the dump";
    EXPECT_TRUE(inOrder(lines, {"Logic Pro", "  Settings", "    General…", "  Quit Logic Pro",
                                "Track", "  New Audio Track", "  Rename Track  [disabled]",
                                "  Create Track Stack…  [disabled]", "  Sort Tracks by",
                                "    Creation Date  [disabled]", "Help"}))
        << lines.join(QLatin1Char('\n')).toStdString();

    // With a selected track the track commands are enabled.
    ASSERT_EQ(AXProbe::menuPathResult(sim, {"Track", "New Audio Track"}), std::optional<int>(0));
    clock.sleepFor(1s);
    EXPECT_EQ(LogicBridge::checkConnection(sim, dumpFile()).message,
              QStringLiteral("Connected. Read %1 menu items from Logic Pro.").arg(count));
    lines = QString::fromUtf8(Fixtures::readFile(dumpFile())).split(QLatin1Char('\n'));
    EXPECT_TRUE(inOrder(lines, {"Track", "  Rename Track", "  Create Track Stack…"}))
        << lines.join(QLatin1Char('\n')).toStdString();
}

// Verifies the connection check against the simulator's permission and process switches.
TEST_F(SimulatorTest, LogicBridgeShouldReportSimulatedFailures) {
    Fixtures::writeFile(dumpFile(), "previous");
    sim.logic().setQuirk(QStringLiteral("not-trusted"), true);
    EXPECT_EQ(LogicBridge::checkConnection(sim, dumpFile()).message,
              QStringLiteral("Allow Vantrel in System Settings > Privacy & Security > "
                             "Accessibility, then choose Logic > Check Logic Connection again."));
    EXPECT_EQ(sim.logic().trustPrompts(), 1);

    sim.logic().setQuirk(QStringLiteral("not-trusted"), false);
    sim.logic().setQuirk(QStringLiteral("not-running"), true);
    EXPECT_EQ(LogicBridge::checkConnection(sim, dumpFile()).message,
              QStringLiteral("Logic Pro isn't running."));
    EXPECT_EQ(Fixtures::readFile(dumpFile()), QByteArray("previous"));
    EXPECT_TRUE(AXProbe::windows(sim).isEmpty());
    EXPECT_EQ(AXProbe::menuPathResult(sim, {"Track", "New Audio Track"}), std::nullopt);
}

// Verifies that a menu press through the toolkit runs the simulated command, that a press the
// simulator refuses hands its status back without a second press, and that an approximate
// title presses nothing.
TEST_F(SimulatorTest, AXProbeShouldPressSimulatedMenuItems) {
    EXPECT_EQ(AXProbe::menuPathResult(sim, {"Track", "New Audio Track"}), std::optional<int>(0));
    clock.sleepFor(1s);
    EXPECT_EQ(trackNames(), QStringList{"Audio 1"});

    EXPECT_EQ(AXProbe::menuPathResult(sim, {"Track", "New Audio Track..."}), std::nullopt);
    sim.logic().setQuirk(QStringLiteral("press-error"), true);
    const Clock::Duration before = clock.now();
    EXPECT_EQ(AXProbe::menuPathResult(sim, {"Track", "New Audio Track"}),
              std::optional<int>(AXResult::cannotComplete));
    EXPECT_EQ(clock.now() - before, 0ms);
    clock.sleepFor(1s);
    EXPECT_EQ(trackNames(), QStringList{"Audio 1"});
}

// Verifies windows and find on the simulated tree: the project window is listed, and the
// track header group inside it is within the search depth.
TEST_F(SimulatorTest, AXProbeShouldFindTrackHeaderInProjectWindow) {
    const QList<Element> windows = AXProbe::windows(sim);
    ASSERT_FALSE(windows.isEmpty());
    const Element project = windows.first();
    EXPECT_TRUE(
        AXProbe::str(sim, project, QStringLiteral("AXTitle")).endsWith(QLatin1String("Tracks")));
    const Element header = AXProbe::find(sim, project, 0, [this](const Element& e) {
        return AXProbe::str(sim, e, QStringLiteral("AXDescription")) ==
               QLatin1String("Tracks header");
    });
    EXPECT_TRUE(header);
    EXPECT_EQ(AXProbe::find(sim, project, 0, [](const Element&) { return false; }), nullptr);
}

// Verifies keystrokes and typing end to end: the simulator receives exactly the events, at
// their times, and renames a track from typed text (a character outside the basic plane
// included) and makes a stack from Shift-Command-D and Return.
TEST_F(SimulatorTest, AXProbeShouldTypeAndKeyIntoSimulatedLogic) {
    activate();
    ASSERT_EQ(AXProbe::menuPathResult(sim, {"Track", "New Audio Track"}), std::optional<int>(0));
    clock.sleepFor(1s);
    ASSERT_EQ(AXProbe::menuPathResult(sim, {"Track", "Rename Track"}), std::optional<int>(0));
    clock.sleepFor(1s);

    Stamping st(sim);
    const Clock::Duration t0 = clock.now();
    const QString name = QStringLiteral("Kick 😀");
    AXProbe::key(st, QStringLiteral("a"), QStringLiteral("cmd"));
    AXProbe::type(st, name);
    AXProbe::key(st, QStringLiteral("return"), {});
    clock.sleepFor(1s);
    EXPECT_EQ(trackNames(), QStringList{name});

    QList<Stamped> expected{{t0, {55, true, EventFlags::command, {}}},
                            {t0 + 12ms, {0, true, EventFlags::command, {}}},
                            {t0 + 42ms, {0, false, EventFlags::command, {}}},
                            {t0 + 72ms, {55, false, 0, {}}}};
    Clock::Duration t = t0 + 102ms;
    for (const QChar unit : name) {
        expected << Stamped{t, {0, true, 0, unit.unicode()}}
                 << Stamped{t, {0, false, 0, unit.unicode()}};
        t += 8ms;
    }
    expected << Stamped{t, {36, true, 0, {}}} << Stamped{t + 30ms, {36, false, 0, {}}};
    EXPECT_EQ(st.stamped, expected);
    QList<KeyEvent> events;
    for (const Stamped& s : expected)
        events << s.event;
    EXPECT_EQ(sim.postedKeys(), events);

    // Shift-Command-D opens the stack sheet; Return confirms it.
    st.stamped.clear();
    const Clock::Duration t1 = clock.now();
    AXProbe::key(st, QStringLiteral("d"), QStringLiteral("shift+cmd"));
    clock.sleepFor(1s);
    AXProbe::key(st, QStringLiteral("return"), {});
    clock.sleepFor(1s);
    const std::uint64_t both = EventFlags::command | EventFlags::shift;
    EXPECT_EQ(st.stamped.mid(0, 6),
              (QList<Stamped>{{t1, {55, true, EventFlags::command, {}}},
                              {t1 + 12ms, {56, true, both, {}}},
                              {t1 + 24ms, {2, true, both, {}}},
                              {t1 + 54ms, {2, false, both, {}}},
                              {t1 + 84ms, {56, false, EventFlags::command, {}}},
                              {t1 + 114ms, {55, false, 0, {}}}}));
    const QList<SimTrack> tracks = sim.logic().session().tracks;
    ASSERT_EQ(tracks.size(), 2);
    EXPECT_TRUE(tracks[0].isStack);
    EXPECT_EQ(tracks[1].stack, std::optional<QString>(tracks[0].name));
}

} // namespace
