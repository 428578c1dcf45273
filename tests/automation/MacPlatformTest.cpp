// MacPlatform, the Mac's backend, run on this machine against the double of Apple's interfaces
// (support/macapi) over the simulated desktop: every send mode builds the same session as
// through SimPlatform, the connection check reads the same menus, and the rules of Apple's
// documentation hold: objects of Create and Copy calls released exactly once, result codes
// passed up, the messaging time-out per application, scroll-wheel and drag events in small
// steps with their movement, Logic brought to the front, the trust answer that sticks until a
// restart, and an App Nap activity held for a send.

#include "platform/mac/MacPlatform.h"

#include "MacApiDouble.h"
#include "automation/LogicBridge.h"
#include "automation/SenderFixture.h"

#include <QFile>

#include <ApplicationServices/ApplicationServices.h>

using namespace Vantrel;
using namespace Vantrel::SenderTesting;

namespace {

class MacPlatformTest : public SenderTest {
protected:
    // The simulated desktop with these quirks, reached through MacPlatform and the double.
    void startMac(const QStringList& quirks = {}) {
        start(quirks); // the simulator, and a sender on it that is replaced below
        MacApiDouble::install(*sim);
        mac = std::make_unique<MacPlatform>(clock, &sim->screen(), &sim->dragTiles());
        sender = std::make_unique<LogicSender>(*mac);
        sender->onProgress = [this](const SendReport& report) {
            reports.append({sendLogText(report), report.fraction});
        };
    }

    void TearDown() override {
        sender.reset();
        mac.reset();
        if (sim) {
            // Every object handed out by a Create or Copy call was released, and none twice.
            EXPECT_EQ(MacApiDouble::liveObjects(), 0)
                << MacApiDouble::liveObjectReport().join('\n').toStdString();
            EXPECT_EQ(MacApiDouble::overReleases(), expectedOverReleases);
            MacApiDouble::uninstall();
        }
    }

    // The session the same jobs build through SimPlatform on a clock at the same start.
    QList<SimTrack> sessionThroughSim(SendMode mode, const QList<SendJob>& jobs, bool groupInName,
                                      const QStringList& quirks = {},
                                      const std::function<void(SimLogic&)>& prepare = {}) {
        VirtualClock otherClock{10s};
        SimPlatform other(otherClock, quirks);
        if (prepare)
            prepare(other.logic());
        LogicSender direct(other);
        EXPECT_TRUE(direct.send(mode, jobs, groupInName).ok);
        return other.logic().session().tracks;
    }

    QList<MacApiDouble::PostedEvent> eventsOfType(std::uint32_t type) const {
        QList<MacApiDouble::PostedEvent> out;
        for (const auto& e : MacApiDouble::postedEvents())
            if (e.type == type)
                out << e;
        return out;
    }

    std::unique_ptr<MacPlatform> mac;
    std::int64_t expectedOverReleases = 0;
};

// --- The whole send, mode by mode.

struct ModeCase {
    const char* name;
    SendMode mode;
    bool groupInName;
    bool stacksOnly; // the tracks are in the project before the send
    bool folded;
    bool coloured;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.name;
}

class MacSendModes : public MacPlatformTest, public testing::WithParamInterface<ModeCase> {};

// Verifies that each mode builds the session through MacPlatform, the same as through
// SimPlatform, with every Core Foundation object released once (checked in TearDown) and every
// event posted at the session tap.
TEST_P(MacSendModes, buildTheSameSessionAsThroughTheSimulatorsSeam) {
    const ModeCase& c = GetParam();
    startMac();
    const QList<SendJob> jobs = c.groupInName ? groupInNameJobs() : realisticJobs();
    const auto addTracks = [&](SimLogic& logic) {
        if (c.stacksOnly)
            for (const QString& f : dragURLs(jobs))
                logic.addTrack(memberName(f));
    };
    addTracks(sim->logic());
    sendThrough(c.mode, jobs, c.groupInName);
    expectSessionBuilt(jobs, c.folded, c.coloured);
    EXPECT_EQ(statuses().last(), QStringLiteral("Done"));
    EXPECT_EQ(session().tracks, sessionThroughSim(c.mode, jobs, c.groupInName, {}, addTracks));
    for (const auto& e : MacApiDouble::postedEvents())
        EXPECT_EQ(e.tap, std::uint32_t(kCGSessionEventTap));
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, MacSendModes,
    testing::Values(ModeCase{"fast", SendMode::fast, false, false, true, true},
                    ModeCase{"sorted", SendMode::fast, true, false, true, true},
                    ModeCase{"grouped", SendMode::grouped, false, false, true, true},
                    ModeCase{"slow", SendMode::slow, false, false, false, false},
                    ModeCase{"stacksOnly", SendMode::stacksOnly, false, true, false, false}),
    [](const testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// --- The connection check and the menu dump.

// Verifies that the connection check reads Logic's menus through MacPlatform into the same dump
// as through SimPlatform, and that without Logic it says so.
TEST_F(MacPlatformTest, connectionCheckDumpsTheSameMenus) {
    startMac();
    const QString viaMac = dir.filePath("mac-menus.txt");
    const QString viaSim = dir.filePath("sim-menus.txt");
    const LogicBridge::ConnectionReport report = LogicBridge::checkConnection(*mac, viaMac);
    EXPECT_TRUE(report.connected()) << report.message.toStdString();
    LogicBridge::checkConnection(*sim, viaSim);
    QFile a(viaMac), b(viaSim);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray dump = a.readAll();
    EXPECT_EQ(dump, b.readAll());
    EXPECT_TRUE(dump.contains("Create Track Stack\xE2\x80\xA6"));
}

TEST_F(MacPlatformTest, connectionCheckWithoutLogicSaysItIsNotRunning) {
    startMac({"not-running"});
    EXPECT_FALSE(LogicBridge::logicApp(*mac));
    const LogicBridge::ConnectionReport report =
        LogicBridge::checkConnection(*mac, dir.filePath("menus.txt"));
    EXPECT_EQ(report.message,
              LogicBridge::ConnectionError(LogicBridge::ConnectionError::notRunning).message());
}

// Verifies that Logic is found by its bundle identifier among the running processes.
TEST_F(MacPlatformTest, findsLogicAmongTheRunningProcesses) {
    startMac();
    const QList<RunningApp> apps = mac->accessibility().runningApplications(LogicBridge::bundleId);
    ASSERT_EQ(apps.size(), 1);
    EXPECT_EQ(apps.first().pid, SimLogic::processId);
    EXPECT_TRUE(mac->accessibility().runningApplications("com.example.none").isEmpty());
}

// --- The double keeps Apple's ownership rule: a leak and an extra release are both seen.

TEST_F(MacPlatformTest, theDoubleSeesALeakAndAnExtraRelease) {
#if defined(__SANITIZE_ADDRESS__)
    // The leak planted here is a real one, which the address sanitizer reports on its own.
    GTEST_SKIP() << "plants a real leak";
#endif
    startMac();
    const std::int64_t before = MacApiDouble::liveObjects(); // the platform's event source
    const UniChar text[] = {'A', 'X'};
    CFStringRef s = CFStringCreateWithCharacters(kCFAllocatorDefault, text, 2);
    EXPECT_EQ(MacApiDouble::liveObjects(), before + 1);
    CFRelease(s);
    EXPECT_EQ(MacApiDouble::liveObjects(), before);
    CFRelease(s);
    EXPECT_EQ(MacApiDouble::overReleases(), 1);
    expectedOverReleases = 1;
}

// --- Result codes.

struct CodeCase {
    const char* name;
    QStringList quirks;
    int expected;
};

void PrintTo(const CodeCase& c, std::ostream* os) {
    *os << c.name;
}

class MacResultCodes : public MacPlatformTest, public testing::WithParamInterface<CodeCase> {};

// Verifies that the accessibility interface's codes reach the sender unchanged.
TEST_P(MacResultCodes, arePassedUp) {
    const CodeCase& c = GetParam();
    startMac(c.quirks);
    Accessibility& ax = mac->accessibility();
    const Element app = ax.applicationElement(SimLogic::processId);
    ASSERT_TRUE(app);
    const QString name = QString::fromLatin1(c.name);
    if (name == "unsupported")
        EXPECT_EQ(ax.attribute(app, "AXNoSuchThing").status, c.expected);
    else if (name == "apiDisabled")
        EXPECT_EQ(ax.attribute(app, "AXWindows").status, c.expected);
    else if (name == "invalidElement") {
        sim->logic().setQuirk(SimQuirk::notRunning, true);
        EXPECT_EQ(ax.attribute(app, "AXWindows").status, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MacResultCodes,
    testing::Values(CodeCase{"unsupported", {}, kAXErrorAttributeUnsupported},
                    CodeCase{"apiDisabled", {"not-trusted"}, kAXErrorAPIDisabled},
                    CodeCase{"invalidElement", {}, kAXErrorInvalidUIElement}),
    [](const testing::TestParamInfo<CodeCase>& info) { return std::string(info.param.name); });

// Verifies that several attributes read in one call (AXUIElementCopyMultipleAttributeValues) give
// what single reads give, a missing attribute's error in its place without failing the others,
// as one call into Logic; and that a call Logic refuses gives every read its code.
TEST_F(MacPlatformTest, readsSeveralAttributesInOneCall) {
    startMac();
    Accessibility& ax = mac->accessibility();
    const Element app = ax.applicationElement(SimLogic::processId);
    ASSERT_TRUE(app);
    const QStringList names{"AXRole", "AXTitle", "AXNoSuchThing", "AXWindows", "AXFrontmost"};
    QList<AttributeRead> separate;
    for (const QString& n : names)
        separate << ax.attribute(app, n);
    sim->logic().resetCounters();
    const QList<AttributeRead> together = ax.attributes(app, names);
    EXPECT_EQ(sim->logic().counters().attributeReads, 1);
    ASSERT_EQ(together.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(together[i].status, separate[i].status);
        EXPECT_EQ(together[i].value, separate[i].value);
    }
    EXPECT_EQ(together[0].value, AXValue(QStringLiteral("AXApplication")));
    EXPECT_EQ(together[2].status, kAXErrorAttributeUnsupported);

    sim->logic().setQuirk(SimQuirk::notTrusted, true);
    for (const AttributeRead& r : ax.attributes(app, names))
        EXPECT_EQ(r.status, kAXErrorAPIDisabled);
}

// Verifies that an element of a process that is gone answers -25202 and that no element is made
// for a process that does not exist.
TEST_F(MacPlatformTest, noElementForAProcessThatDoesNotExist) {
    startMac();
    EXPECT_FALSE(mac->accessibility().applicationElement(99999));
}

// --- The messaging time-out and -25204.

// Verifies that MacPlatform sets its time-out on Logic's element only (not system-wide), and
// that a call to a busy Logic gives up after it with -25204 instead of the system's 6 s.
TEST_F(MacPlatformTest, busyLogicAnswersCannotCompleteAfterTheTimeout) {
    startMac();
    const Element app = mac->accessibility().applicationElement(SimLogic::processId);
    ASSERT_TRUE(app);
    EXPECT_EQ(MacApiDouble::messagingTimeout(int(SimLogic::processId)),
              MacPlatform::messagingTimeout);
    EXPECT_FALSE(MacApiDouble::messagingTimeout(MacApiDouble::ownPid));
}

// Verifies that a call to a Logic busy with its import gives up after MacPlatform's time-out.
TEST_F(MacPlatformTest, callToABusyLogicGivesUpAfterTheTimeout) {
    startMac({"busy-after-import=600"});
    send(SendMode::fast, jobsOf({{"DRUMS", {"KICK"}, Swatch{0, 0}}}));
    const Element app = mac->accessibility().applicationElement(SimLogic::processId);
    const Clock::Duration before = clock.now();
    EXPECT_EQ(mac->accessibility().attribute(app, "AXWindows").status, kAXErrorCannotComplete);
    EXPECT_EQ(clock.now() - before,
              std::chrono::duration_cast<Clock::Duration>(
                  std::chrono::duration<double>(MacPlatform::messagingTimeout)));
}

// Verifies that a send to a Logic busy after its import (every call blocking, answering -25204
// after the time-out) still builds the session: the reads are asked again.
TEST_F(MacPlatformTest, sendThroughABusyLogicRetriesAndBuildsTheSession) {
    startMac({"busy-after-import"});
    const QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::fast, jobs);
    expectSessionBuilt(jobs, true);
    EXPECT_GT(MacApiDouble::timedOutCalls(), 0);
}

// --- Events: small steps, with their movement.

// Verifies that a scroll of many lines goes out as events of at most 10 lines each, capped.
TEST_F(MacPlatformTest, scrollOfManyLinesGoesOutInSmallSteps) {
    startMac();
    mac->input().postMouse({MouseEventType::moved, {700, 400}});
    mac->input().postMouse({MouseEventType::scrollWheel, {700, 400}, 0, 0, 1 << 20});
    mac->input().postMouse({MouseEventType::scrollWheel, {700, 400}, 0, 0, -23});
    const auto wheels = eventsOfType(kCGEventScrollWheel);
    ASSERT_EQ(wheels.size(), MacPlatform::maxScrollLines / 10 + 3);
    std::int64_t up = 0;
    for (qsizetype i = 0; i < wheels.size(); ++i) {
        EXPECT_LE(std::abs(wheels[i].wheel1), 10);
        EXPECT_EQ(wheels[i].fields.at(kCGScrollWheelEventDeltaAxis1), wheels[i].wheel1);
        EXPECT_TRUE(wheels[i].delivered);
        if (i < wheels.size() - 3)
            up += wheels[i].wheel1;
    }
    EXPECT_EQ(up, MacPlatform::maxScrollLines);
    EXPECT_EQ(wheels[wheels.size() - 3].wheel1, -10);
    EXPECT_EQ(wheels.last().wheel1, -3);
}

// Verifies that a long track list, of which Logic shows only the rows on screen, is scrolled
// through in small steps and the session built.
TEST_F(MacPlatformTest, longListOfVisibleRowsOnlyIsScrolledInSmallSteps) {
    startMac({"visible-rows-only"});
    QStringList drums, keys;
    for (int i = 1; i <= 24; ++i) {
        drums << QStringLiteral("%1_DRUM").arg(i, 2, 10, QChar('0'));
        keys << QStringLiteral("%1_KEY").arg(i, 2, 10, QChar('0'));
    }
    const QList<SendJob> jobs =
        jobsOf({{"DRUMS", drums, Swatch{0, 0}}, {"KEYS", keys, Swatch{12, 0}}});
    sendThrough(SendMode::fast, jobs);
    expectSessionBuilt(jobs, true);
    const auto wheels = eventsOfType(kCGEventScrollWheel);
    EXPECT_FALSE(wheels.isEmpty());
    for (const auto& w : wheels) {
        EXPECT_LE(std::abs(w.wheel1), MacApiDouble::maxWheelLines);
        EXPECT_TRUE(w.delivered);
    }
}

// Verifies that every dragged event of a send carries its movement and moves a few points only,
// and that the double would drop one that does not.
TEST_F(MacPlatformTest, draggedEventsCarryTheirMovementInSmallSteps) {
    startMac();
    const QList<SendJob> jobs = realisticJobs();
    sendThrough(SendMode::fast, jobs);
    const auto drags = eventsOfType(kCGEventLeftMouseDragged);
    ASSERT_FALSE(drags.isEmpty());
    for (const auto& d : drags) {
        EXPECT_TRUE(d.delivered);
        ASSERT_TRUE(d.fields.count(kCGMouseEventDeltaX) && d.fields.count(kCGMouseEventDeltaY));
        EXPECT_LE(std::abs(d.fields.at(kCGMouseEventDeltaX)), MacPlatform::maxDragStep);
        EXPECT_LE(std::abs(d.fields.at(kCGMouseEventDeltaY)), MacPlatform::maxDragStep);
    }

    // A dragged event made without its movement reaches no application.
    CGEventRef bare = CGEventCreateMouseEvent(nullptr, kCGEventLeftMouseDragged, CGPoint{700, 300},
                                              kCGMouseButtonLeft);
    CGEventPost(kCGSessionEventTap, bare);
    CFRelease(bare);
    EXPECT_FALSE(MacApiDouble::postedEvents().last().delivered);
}

// Verifies that one long drag step of the sender goes out as several dragged events whose
// movements add up to it.
TEST_F(MacPlatformTest, longDragStepIsSplit) {
    startMac();
    mac->input().postMouse({MouseEventType::leftDown, {100, 100}, 0, 1});
    mac->input().postMouse({MouseEventType::leftDragged, {190, 40}, 0, 1});
    const auto drags = eventsOfType(kCGEventLeftMouseDragged);
    ASSERT_EQ(drags.size(), 8); // 90 points in steps of at most 12
    std::int64_t dx = 0, dy = 0;
    for (const auto& d : drags) {
        dx += d.fields.at(kCGMouseEventDeltaX);
        dy += d.fields.at(kCGMouseEventDeltaY);
        EXPECT_EQ(d.fields.at(kCGMouseEventClickState), 1);
    }
    EXPECT_EQ(dx, 90);
    EXPECT_EQ(dy, -60);
    EXPECT_EQ(drags.last().point, (Point{190, 40}));
}

// Verifies that a typed character and a shortcut carry their unit and flags.
TEST_F(MacPlatformTest, keyEventsCarryTheirUnitAndFlags) {
    startMac();
    mac->input().postKey({5, true, EventFlags::command | EventFlags::shift, std::nullopt});
    mac->input().postKey({0, true, 0, u'\u00e9'});
    const auto keys = eventsOfType(kCGEventKeyDown);
    ASSERT_EQ(keys.size(), 2);
    EXPECT_EQ(keys[0].keyCode, 5);
    EXPECT_EQ(keys[0].flags, EventFlags::command | EventFlags::shift);
    EXPECT_TRUE(keys[0].unicode.isEmpty());
    EXPECT_EQ(keys[1].unicode, QString(QChar(0xe9)));
}

// --- The front, the trust check, App Nap.

// Verifies that Logic in the background, with Vantrel not the active application either, comes
// to the front when asked.
TEST_F(MacPlatformTest, bringsLogicToTheFront) {
    startMac();
    sim->logic().setFrontmost(false);
    const RunningApp logic{SimLogic::processId, SimLogic::bundleId()};
    EXPECT_TRUE(mac->accessibility().activate(logic));
    clock.advance(500ms);
    const AttributeRead front = mac->accessibility().attribute(
        mac->accessibility().applicationElement(SimLogic::processId), "AXFrontmost");
    EXPECT_EQ(front.value, AXValue(true));
}

// Verifies that the trust answer of a process that asked while untrusted stays false after the
// switch is turned on, until the program starts again, and that the prompt is asked for.
TEST_F(MacPlatformTest, trustAnswerSticksUntilRestart) {
    startMac({"not-trusted"});
    MacApiDouble::setTrustCachedUntilRestart(true);
    EXPECT_FALSE(mac->accessibility().isTrusted());
    mac->accessibility().promptForTrust();
    EXPECT_EQ(MacApiDouble::trustPrompts(), 1);
    EXPECT_EQ(sim->logic().trustPrompts(), 1);
    sim->logic().setQuirk(SimQuirk::notTrusted, false); // the user switches Vantrel on
    EXPECT_FALSE(mac->accessibility().isTrusted());
    MacApiDouble::restartProcess();
    EXPECT_TRUE(mac->accessibility().isTrusted());
}

// Verifies that an activity keeping App Nap away is held from the first event of a send to its
// last, and ended after it.
TEST_F(MacPlatformTest, sendHoldsAnActivityAgainstAppNap) {
    startMac();
    sendThrough(SendMode::grouped, realisticJobs());
    const auto events = MacApiDouble::postedEvents();
    ASSERT_FALSE(events.isEmpty());
    for (const auto& e : events)
        EXPECT_TRUE(e.activityHeld);
    EXPECT_EQ(MacApiDouble::activitiesBegun(), 1);
    EXPECT_EQ(MacApiDouble::activitiesHeld(), 0);
}

} // namespace
