#include "platform/sim/SimSystemSettings.h"

#include "platform/sim/SimPlatform.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace Vantrel {
namespace {

const QString kVantrel = SimSystemSettings::programName();

// Verifies that a freshly installed system trusts nothing, whatever its settings file holds
// when it holds no switch.
TEST(SimSystemSettings, allowNothingAtFirst) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        const char* label;
        QByteArray bytes; // null: no file
    };
    const Case cases[] = {
        {"no file", QByteArray()},
        {"not JSON", "{ accessibility"},
        {"another program only", "{\"accessibility\": {\"Other\": true}}"},
        {"not a boolean", "{\"accessibility\": {\"Vantrel\": \"true\"}}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QString path = dir.filePath(QString::fromUtf8(c.label) + "/settings.json");
        if (!c.bytes.isNull())
            Fixtures::writeFile(path, c.bytes);
        SimSystemSettings system(path);
        EXPECT_FALSE(system.accessibilityAllowed(kVantrel));
        EXPECT_EQ(system.accessibilityList().value(0), kVantrel);
        SimPlatform platform(system);
        EXPECT_FALSE(platform.accessibility().isTrusted());
    }
}

// Verifies that the platform's trust check and Logic's answers follow the switch at once, and
// that the switch is remembered by the next launch's settings.
TEST(SimSystemSettings, decideTrustAndAreRemembered) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sim/system-settings.json"));
    {
        SimSystemSettings system(path);
        SimPlatform platform(system);
        Accessibility& ax = platform.accessibility();
        const auto logicAnswers = [&ax] {
            const QList<RunningApp> apps = ax.runningApplications(SimLogic::bundleId());
            if (apps.isEmpty())
                return false;
            const Element app = ax.applicationElement(apps.first().pid);
            return ax.attribute(app, QStringLiteral("AXMenuBar")).status == AXResult::success;
        };
        EXPECT_FALSE(ax.isTrusted());
        EXPECT_FALSE(logicAnswers());

        int told = 0;
        const int handle = system.observe([&told] { ++told; });
        system.setAccessibilityAllowed(kVantrel, true);
        EXPECT_TRUE(ax.isTrusted());
        EXPECT_TRUE(logicAnswers());
        EXPECT_EQ(told, 1);

        system.setAccessibilityAllowed(kVantrel, false);
        EXPECT_FALSE(ax.isTrusted());
        EXPECT_FALSE(logicAnswers());
        system.unobserve(handle);
        system.setAccessibilityAllowed(kVantrel, true);
        EXPECT_EQ(told, 2);
    }
    SimSystemSettings relaunched(path);
    EXPECT_TRUE(relaunched.accessibilityAllowed(kVantrel));
    SimPlatform platform(relaunched);
    EXPECT_TRUE(platform.accessibility().isTrusted());
}

} // namespace
} // namespace Vantrel
