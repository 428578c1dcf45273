#include "app/Settings.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os);

namespace Vantrel {
namespace {

QSettings store() {
    return QSettings(QStringLiteral("Vantrel"), QStringLiteral("Vantrel"));
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { store().clear(); }
};

// Verifies that the settings file lies in the test process's private home folder.
TEST_F(SettingsTest, shouldKeepTheSettingsInThePrivateHome) {
    Settings::setWalkthroughDone(true);
    const QString file = store().fileName();
    EXPECT_TRUE(file.startsWith(QDir::homePath() + QLatin1Char('/'))) << file.toStdString();
    EXPECT_TRUE(QFileInfo::exists(file)) << file.toStdString();
}

// Verifies how stored values read: booleans and their text form count, anything else reads as
// absent (walkthroughDone false, organizeInPlace true).
TEST_F(SettingsTest, shouldReadOnlyBooleansAndFallBackOtherwise) {
    const struct {
        const char* name;
        QVariant stored; // invalid: no value
        bool walkthroughDone;
        bool organizeInPlace;
    } rows[] = {
        {"absent", QVariant(), false, true},
        {"true", QVariant(true), true, true},
        {"false", QVariant(false), false, false},
        {"the settings file's text true", QVariant(QStringLiteral("true")), true, true},
        {"the settings file's text false", QVariant(QStringLiteral("false")), false, false},
        {"other text", QVariant(QStringLiteral("yes")), false, true},
        {"a number", QVariant(0), false, true},
        {"a list", QVariant(QStringList{QStringLiteral("false")}), false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        {
            QSettings settings = store();
            settings.clear();
            if (row.stored.isValid()) {
                settings.setValue(QStringLiteral("walkthroughDone"), row.stored);
                settings.setValue(QStringLiteral("organizeInPlace"), row.stored);
            }
        }
        EXPECT_EQ(Settings::walkthroughDone(), row.walkthroughDone);
        EXPECT_EQ(Settings::organizeInPlace(), row.organizeInPlace);
    }
}

// Verifies that what is written is stored in the file and read back.
TEST_F(SettingsTest, shouldStoreWhatIsWritten) {
    Settings::setOrganizeInPlace(false);
    Settings::setWalkthroughDone(true);
    EXPECT_FALSE(Settings::organizeInPlace());
    EXPECT_TRUE(Settings::walkthroughDone());

    const QByteArray file = Fixtures::readFile(store().fileName());
    EXPECT_TRUE(file.contains("organizeInPlace=false")) << file.toStdString();
    EXPECT_TRUE(file.contains("walkthroughDone=true")) << file.toStdString();

    Settings::setOrganizeInPlace(true);
    EXPECT_TRUE(Settings::organizeInPlace());
}

} // namespace
} // namespace Vantrel
