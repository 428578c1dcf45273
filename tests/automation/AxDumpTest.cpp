// The dump of Logic Pro's accessibility tree and the recorded world read back from it: a dump
// of the recorded world is the dump it was made from, and the steps that only read (the
// connection check and its menu walk, the track list and its rows) see in it what they see in
// the simulator.

#include "automation/AxDump.h"

#include "automation/AXProbe.h"
#include "automation/LogicBridge.h"
#include "platform/sim/RecordedPlatform.h"
#include "platform/sim/SimPlatform.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vantrel;
using namespace std::chrono_literals;

namespace {

class AxDumpTest : public testing::Test {
protected:
    void SetUp() override {
        sim.logic().addTrack("Kick In");
        sim.logic().addTrack("Bass DI");
        sim.logic().setFrontmost(true);
        clock.advance(1s);
    }

    QJsonObject dumpOfSim() {
        const std::optional<QJsonObject> tree = AxDump::dumpLogic(sim);
        EXPECT_TRUE(tree);
        return tree.value_or(QJsonObject());
    }

    // The element described "Tracks header" and its rows' descriptions.
    static QStringList rowsOf(Platform& platform) {
        const Element app = platform.accessibility().applicationElement(SimLogic::processId);
        const Element header = AXProbe::find(platform, app, 0, [&](const Element& e) {
            return AXProbe::str(platform, e, "AXDescription") == QLatin1String("Tracks header");
        });
        QStringList rows;
        for (const Element& row : AXProbe::kids(platform, header))
            rows << AXProbe::str(platform, row, "AXDescription");
        return rows;
    }

    QTemporaryDir dir;
    VirtualClock clock{10s};
    SimPlatform sim{clock};
};

// Verifies that a dump, read back as a recorded world and dumped again, is the same JSON.
TEST_F(AxDumpTest, dumpOfTheRecordedWorldIsTheSameJson) {
    const QJsonObject first = dumpOfSim();
    ASSERT_EQ(first.value("role").toString(), QStringLiteral("AXApplication"));
    RecordedPlatform world(first, clock);
    const std::optional<QJsonObject> second = AxDump::dumpLogic(world);
    ASSERT_TRUE(second);
    EXPECT_EQ(QJsonDocument(*second).toJson(), QJsonDocument(first).toJson());
}

// Verifies what a node holds: the menu item's title, state and press, a row's frame.
TEST_F(AxDumpTest, nodesCarryTheirAttributesAndActions) {
    const QByteArray json = QJsonDocument(dumpOfSim()).toJson();
    EXPECT_TRUE(json.contains("\"title\": \"Create Track Stack\xE2\x80\xA6\""));
    EXPECT_TRUE(json.contains("\"description\": \"Tracks header\""));
    EXPECT_TRUE(json.contains("\"AXPress\""));
    EXPECT_TRUE(json.contains("\"enabled\": false")) << "Logic's disabled menu items";
    const QJsonObject shallow =
        AxDump::dumpElement(sim, sim.accessibility().applicationElement(SimLogic::processId), 1);
    for (const QJsonValue& child : shallow.value("children").toArray())
        EXPECT_FALSE(child.toObject().contains("children")) << "depth 1 keeps only the children";
}

// Verifies that the connection check and the track list read the recorded world as they read
// the simulator.
TEST_F(AxDumpTest, readOnlyStepsWorkOnTheRecordedWorld) {
    RecordedPlatform world(dumpOfSim(), clock);
    const QString fromSim = dir.filePath("sim.txt");
    const QString fromWorld = dir.filePath("world.txt");
    const LogicBridge::ConnectionReport simReport = LogicBridge::checkConnection(sim, fromSim);
    const LogicBridge::ConnectionReport worldReport =
        LogicBridge::checkConnection(world, fromWorld);
    EXPECT_TRUE(worldReport.connected()) << worldReport.message.toStdString();
    EXPECT_EQ(worldReport, simReport);
    QFile a(fromSim), b(fromWorld);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(b.readAll(), a.readAll());

    const QStringList rows = rowsOf(world);
    EXPECT_EQ(rows, rowsOf(sim));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("“Kick In”")));
}

// Verifies that the recorded world changes nothing: a press answers and does nothing, a write is
// refused.
TEST_F(AxDumpTest, recordedWorldDoesNotChange) {
    const QJsonObject tree = dumpOfSim();
    RecordedPlatform world(tree, clock);
    Accessibility& ax = world.accessibility();
    const Element app = ax.applicationElement(SimLogic::processId);
    const Element item = AXProbe::find(world, app, 0, [&](const Element& e) {
        return AXProbe::str(world, e, "AXTitle") == QLatin1String("New Audio Track");
    });
    ASSERT_TRUE(item);
    EXPECT_EQ(ax.performAction(item, "AXPress"), AXResult::success);
    EXPECT_EQ(ax.performAction(item, "AXShowMenu"), AXResult::actionUnsupported);
    EXPECT_EQ(ax.setAttribute(item, "AXTitle", QStringLiteral("x")),
              AXResult::attributeUnsupported);
    EXPECT_EQ(QJsonDocument(*AxDump::dumpLogic(world)).toJson(), QJsonDocument(tree).toJson());
}

// Verifies that a file that is not a dump is refused with a sentence.
TEST_F(AxDumpTest, fileThatIsNotADumpIsRefused) {
    const QString path = dir.filePath("not-a-dump.json");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[1, 2]");
    f.close();
    try {
        RecordedPlatform::readDump(path);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(QString::fromUtf8(e.what()).indexOf("is not a dump"), -1) << e.what();
    }
    EXPECT_THROW(RecordedPlatform::readDump(dir.filePath("missing.json")), std::runtime_error);
}

} // namespace
