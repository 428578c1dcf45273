// Finding Logic Pro, the menu dump and the connection check, on hand-built menu bars.
#include "automation/LogicBridge.h"

#include "automation/FakePlatform.h"
#include "support/FaultyFileOps.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

namespace Vantrel::LogicBridge {
void PrintTo(const ConnectionReport& r, std::ostream* os) {
    *os << '"' << r.message.toStdString() << "\" items read: ";
    if (r.itemsRead)
        *os << *r.itemsRead;
    else
        *os << "none";
}
} // namespace Vantrel::LogicBridge

using namespace Vantrel;
using namespace Vantrel::Fake;

namespace {

NodePtr item(const QString& title, const QList<NodePtr>& children = {}) {
    return node(QStringLiteral("AXMenuItem"), title, children);
}
NodePtr barItem(const QString& title, const QList<NodePtr>& children = {}) {
    return node(QStringLiteral("AXMenuBarItem"), title, children);
}
NodePtr menu(const QList<NodePtr>& children) {
    return node(QStringLiteral("AXMenu"), {}, children);
}
NodePtr disabled(NodePtr n) {
    n->set(QStringLiteral("AXEnabled"), false);
    return n;
}

class LogicBridgeTest : public testing::Test {
public:
    // Runs Logic Pro with a menu bar of these items; returns its application element.
    NodePtr runLogic(const QList<NodePtr>& barItems, std::int64_t pid = 100) {
        NodePtr app = p.launch(LogicBridge::bundleId, pid);
        app->set(QStringLiteral("AXMenuBar"),
                 QList<Element>{node(QStringLiteral("AXMenuBar"), {}, barItems)});
        return app;
    }

    QString dumpFile() const { return dir.filePath(QStringLiteral("Vantrel/logic-menus.txt")); }

    // The dump file's text; fails the test when there is none.
    QString dumped() const { return QString::fromUtf8(Fixtures::readFile(dumpFile())); }

    FakePlatform p;
    QTemporaryDir dir;
};

// Verifies that Logic Pro is the first running application with its bundle identifier.
TEST_F(LogicBridgeTest, shouldFindFirstRunningLogicPro) {
    EXPECT_EQ(LogicBridge::logicApp(p), std::nullopt);
    p.launch(QStringLiteral("com.apple.garageband10"), 7);
    EXPECT_EQ(LogicBridge::logicApp(p), std::nullopt);
    p.launch(QStringLiteral("com.apple.logic10"), 300);
    p.launch(QStringLiteral("com.apple.logic10"), 200);
    EXPECT_EQ(LogicBridge::logicApp(p), (RunningApp{300, QStringLiteral("com.apple.logic10")}));
}

// Verifies the dump of a small menu bar: one line per item, two spaces per level, disabled
// items marked, lines joined by line feeds with none at the end; the folder is created.
TEST_F(LogicBridgeTest, shouldDumpItemsWithIndentAndDisabledMark) {
    runLogic({barItem("File", {menu({item("New…"), disabled(item("Save"))})})});
    EXPECT_EQ(LogicBridge::dumpMenus(p, dumpFile()), 3);
    EXPECT_EQ(Fixtures::readFile(dumpFile()),
              QByteArray("File\n  New\xE2\x80\xA6\n  Save  [disabled]"));
}

// Verifies what becomes a line and at which depth: separators (no title) give none and do not
// count, containers that are not items are searched at the same depth, unreadable attributes
// count as an empty role or title and as enabled.
TEST_F(LogicBridgeTest, shouldListOnlyTitledItemsAtTheirDepth) {
    NodePtr noRole = item("In a box without role");
    NodePtr box = node(QStringLiteral("AXGroup"), {}, {noRole});
    box->fail(QStringLiteral("AXRole"));
    NodePtr unreadableTitle = item("Hidden title", {menu({item("Below hidden title")})});
    unreadableTitle->fail(QStringLiteral("AXTitle"));
    NodePtr enabledUnknown = item("Enabled unknown");
    enabledUnknown->set(QStringLiteral("AXEnabled"), false);
    enabledUnknown->fail(QStringLiteral("AXEnabled"));
    NodePtr enabledNotBool = item("Enabled not a boolean");
    enabledNotBool->set(QStringLiteral("AXEnabled"), std::int64_t(0));
    NodePtr buttonWithTitle = node(QStringLiteral("AXButton"), QStringLiteral("A button"));

    runLogic({barItem("Logic Pro"),
              barItem("Track", {menu({item("New Audio Track"), item({}),
                                      node(QStringLiteral("AXGroup"), {}, {item("In a group")}),
                                      node(QStringLiteral("AXMenuItem"), QStringLiteral(""),
                                           {menu({item("Below a separator")})}),
                                      box, unreadableTitle, enabledUnknown, enabledNotBool,
                                      buttonWithTitle})}),
              disabled(barItem("Help"))});
    EXPECT_EQ(LogicBridge::dumpMenus(p, dumpFile()), 10);
    EXPECT_EQ(dumped(), QStringLiteral("Logic Pro\n"
                                       "Track\n"
                                       "  New Audio Track\n"
                                       "  In a group\n"
                                       "    Below a separator\n"
                                       "  In a box without role\n"
                                       "    Below hidden title\n"
                                       "  Enabled unknown\n"
                                       "  Enabled not a boolean\n"
                                       "Help  [disabled]"));
}

// Verifies the depth limit: items are listed down to depth 6 and nothing below an element
// visited at depth 6 is read, whether the nesting is item in item or goes through menus.
TEST_F(LogicBridgeTest, shouldStopDescendingAtDepthSix) {
    // Item in item, depths 0 to 7.
    NodePtr deepest = item("depth 7");
    NodePtr chainTop = deepest;
    for (int d = 6; d >= 1; --d)
        chainTop = item(QStringLiteral("depth %1").arg(d), {chainTop});
    // Through menus: the menu below the depth-5 item is visited at depth 6, so its item is not.
    NodePtr viaMenus = item("menu depth 6");
    for (int d = 5; d >= 1; --d)
        viaMenus = item(QStringLiteral("menu depth %1").arg(d), {menu({viaMenus})});
    runLogic({barItem("depth 0", {chainTop}), barItem("menus", {menu({viaMenus})})});

    EXPECT_EQ(LogicBridge::dumpMenus(p, dumpFile()), 13);
    EXPECT_EQ(dumped(), QStringLiteral("depth 0\n"
                                       "  depth 1\n"
                                       "    depth 2\n"
                                       "      depth 3\n"
                                       "        depth 4\n"
                                       "          depth 5\n"
                                       "            depth 6\n"
                                       "menus\n"
                                       "  menu depth 1\n"
                                       "    menu depth 2\n"
                                       "      menu depth 3\n"
                                       "        menu depth 4\n"
                                       "          menu depth 5"));
    EXPECT_FALSE(p.reads.contains(Read{"depth 7", "AXRole"}));
    EXPECT_FALSE(p.reads.contains(Read{"depth 6", "AXChildren"}));
}

// Verifies the two errors of the domain "Vantrel", and that a failed dump leaves the previous
// file as it was.
TEST_F(LogicBridgeTest, shouldFailWithCodeWhenLogicOrItsMenusAreMissing) {
    struct Case {
        const char* name;
        std::function<void(LogicBridgeTest&)> world;
        LogicBridge::ConnectionError::Code code;
        QString message;
    } cases[] = {
        {"nothing running", [](LogicBridgeTest&) {}, LogicBridge::ConnectionError::notRunning,
         QStringLiteral("Logic Pro isn't running.")},
        {"only another application",
         [](LogicBridgeTest& t) {
             t.p.launch(QStringLiteral("com.apple.mainstage3"), 5)
                 ->set(QStringLiteral("AXMenuBar"),
                       QList<Element>{node(QStringLiteral("AXMenuBar"), {}, {barItem("File")})});
         },
         LogicBridge::ConnectionError::notRunning, QStringLiteral("Logic Pro isn't running.")},
        {"menu bar unreadable",
         [](LogicBridgeTest& t) {
             t.runLogic({barItem("File")})
                 ->fail(QStringLiteral("AXMenuBar"), AXResult::apiDisabled);
         },
         LogicBridge::ConnectionError::menusUnreadable,
         QStringLiteral("Couldn't read Logic's menus.")},
        {"menu bar empty",
         [](LogicBridgeTest& t) {
             t.runLogic({})->set(QStringLiteral("AXMenuBar"), QList<Element>{});
         },
         LogicBridge::ConnectionError::menusUnreadable,
         QStringLiteral("Couldn't read Logic's menus.")},
        {"no application element",
         [](LogicBridgeTest& t) {
             t.runLogic({barItem("File")});
             t.p.appElements.clear();
         },
         LogicBridge::ConnectionError::menusUnreadable,
         QStringLiteral("Couldn't read Logic's menus.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p.apps.clear();
        p.appElements.clear();
        Fixtures::writeFile(dumpFile(), "previous dump");
        c.world(*this);
        try {
            LogicBridge::dumpMenus(p, dumpFile());
            ADD_FAILURE() << "no error";
        } catch (const LogicBridge::ConnectionError& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_EQ(int(e.code()), c.code == LogicBridge::ConnectionError::notRunning ? 1 : 2);
            EXPECT_EQ(e.domain(), QStringLiteral("Vantrel"));
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(LogicBridge::checkConnection(p, dumpFile()),
                      (LogicBridge::ConnectionReport{c.message, std::nullopt}));
        }
        EXPECT_EQ(Fixtures::readFile(dumpFile()), QByteArray("previous dump"));
    }
}

// Verifies that the dump of the first Logic Pro replaces the previous file as a whole, and that
// a file that cannot be written passes the file error up and keeps the previous file.
TEST_F(LogicBridgeTest, shouldReplaceDumpOrKeepItOnWriteFailure) {
    runLogic({barItem("First", {menu({item("One"), item("Two")})})}, 100);
    runLogic({barItem("Second")}, 50);
    Fixtures::writeFile(dumpFile(), "a much longer previous dump\nwith two lines");
    EXPECT_EQ(LogicBridge::dumpMenus(p, dumpFile()), 3);
    EXPECT_EQ(dumped(), QStringLiteral("First\n  One\n  Two"));

    for (const FileOp failing : {FileOp::makeFolders, FileOp::writeAtomically}) {
        FaultyFileOps ops;
        ops.countOnly({failing});
        ops.failAt(1, ENOSPC);
        ops.failAt(2, ENOSPC); // the check's own dump
        try {
            LogicBridge::dumpMenus(p, dumpFile(), ops);
            ADD_FAILURE() << "no error";
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), ENOSPC);
            EXPECT_EQ(LogicBridge::checkConnection(p, dumpFile(), ops).message, e.message());
        }
        EXPECT_EQ(dumped(), QStringLiteral("First\n  One\n  Two"));
    }
}

// Verifies the connection check: without the permission the system is asked for it and nothing
// else is read; with it the menus are dumped and counted.
TEST_F(LogicBridgeTest, shouldCheckPermissionThenReportItemsRead) {
    runLogic({barItem("File", {menu({item("New…"), disabled(item("Save"))})})});
    p.trusted = false;
    EXPECT_EQ(
        LogicBridge::checkConnection(p, dumpFile()),
        (LogicBridge::ConnectionReport{
            QStringLiteral("Allow Vantrel in System Settings > Privacy & Security > "
                           "Accessibility, then choose Logic > Check Logic Connection again."),
            std::nullopt}));
    EXPECT_EQ(p.trustPrompts, 1);
    EXPECT_TRUE(p.reads.isEmpty());
    EXPECT_FALSE(QFile::exists(dumpFile()));

    p.trusted = true;
    EXPECT_EQ(LogicBridge::checkConnection(p, dumpFile()),
              (LogicBridge::ConnectionReport{
                  QStringLiteral("Connected. Read 3 menu items from Logic Pro."), 3}));
    EXPECT_EQ(p.trustPrompts, 1);
    EXPECT_EQ(dumped(), QStringLiteral("File\n  New…\n  Save  [disabled]"));
}

// Verifies that the default dump sits next to the configuration file.
TEST_F(LogicBridgeTest, shouldPlaceDumpInConfigurationFolder) {
    const QString path = LogicBridge::dumpPath();
    EXPECT_TRUE(path.endsWith(QStringLiteral("/Vantrel/logic-menus.txt"))) << path.toStdString();
    EXPECT_TRUE(QDir::isAbsolutePath(path));
}

} // namespace
