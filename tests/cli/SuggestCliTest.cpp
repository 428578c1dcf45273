// Runs the built vantrel-cli with --suggest: the suggested group and its reason are added to
// every entry, null where there is none, and nothing else changes.
#include "cli/CliRun.h"
#include "support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vantrel;

namespace {

using CliTesting::cli;
using CliTesting::CliRun;

QJsonDocument json(const QByteArray& bytes) {
    return CliTesting::parseJson(bytes);
}

// Verifies classify --suggest --json: the classifier's fields as without it, plus the
// suggestion for an unsorted stem and nulls for a sorted one and for one without evidence.
TEST(SuggestCli, shouldAddSuggestionsToClassification) {
    const CliRun r =
        cli({"classify", "--suggest", "--json", "01_KickIn", "1Kick In#04.1", "Quattro"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray expected{QJsonObject{{"stem", "01_KickIn"},
                                          {"tokens", QJsonArray{"KICKIN"}},
                                          {"group", QJsonValue::Null},
                                          {"source", "KICKIN"},
                                          {"suggested", "DRUMS"},
                                          {"reason", "Kick in “KickIn”"}},
                              QJsonObject{{"stem", "1Kick In#04.1"},
                                          {"tokens", QJsonArray{"KICK_IN"}},
                                          {"group", "DRUMS"},
                                          {"source", "KICK_IN"},
                                          {"suggested", QJsonValue::Null},
                                          {"reason", QJsonValue::Null}},
                              QJsonObject{{"stem", "Quattro"},
                                          {"tokens", QJsonArray{"QUATTRO"}},
                                          {"group", QJsonValue::Null},
                                          {"source", "QUATTRO"},
                                          {"suggested", QJsonValue::Null},
                                          {"reason", QJsonValue::Null}}};
    EXPECT_EQ(json(r.out).array(), expected) << r.out.toStdString();
}

// Verifies scan --suggest --json on a folder: every item gets the two fields, the sorted ones
// nulls; the plain scan keeps its fields exactly.
TEST(SuggestCli, shouldAddSuggestionsToScan) {
    QTemporaryDir dir;
    Fixtures::touchAll(dir.path(), {"1Kick In#04.1.wav", "2LeadVox.wav", "3Quattro.wav"});
    const CliRun r = cli({"scan", dir.path(), "--suggest", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray items = json(r.out).object()["items"].toArray();
    ASSERT_EQ(items.size(), 3);
    const struct {
        QJsonValue suggested;
        QJsonValue reason;
    } rows[] = {{QJsonValue::Null, QJsonValue::Null},
                {"VOCALS", "VOX in “LeadVox”, short for vocals"},
                {QJsonValue::Null, QJsonValue::Null}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject item = items[i].toObject();
        EXPECT_EQ(item["suggested"], rows[i].suggested);
        EXPECT_EQ(item["reason"], rows[i].reason);
        EXPECT_EQ(item.keys(), (QStringList{"file", "folder", "group", "newName", "order", "reason",
                                            "source", "suggested"}));
    }

    const CliRun plain = cli({"scan", dir.path(), "--json"});
    ASSERT_EQ(plain.exitCode, 0);
    for (const QJsonValue& item : json(plain.out).object()["items"].toArray())
        EXPECT_FALSE(item.toObject().contains("suggested"));
}

// Verifies the text form: the suggestion under each stem and a list for the scan.
TEST(SuggestCli, shouldShowSuggestionsAsText) {
    const CliRun r = cli({"classify", "--suggest", "OHs", "Room"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("  suggested: DRUMS? (OHs, plural of OH, short for overhead)\n"))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("  suggested: (none)\n")) << r.out.toStdString();

    QTemporaryDir dir;
    Fixtures::touchAll(dir.path(), {"1Tom1.wav"});
    const CliRun scan = cli({"scan", dir.path(), "--suggest"});
    ASSERT_EQ(scan.exitCode, 0) << scan.err.toStdString();
    EXPECT_TRUE(scan.out.contains(
        "Suggestions for the unsorted files:\n1Tom1.wav  DRUMS? (Tom in “Tom1”)\n"))
        << scan.out.toStdString();
}

// Verifies that the other commands do not take --suggest.
TEST(SuggestCli, shouldRefuseSuggestElsewhere) {
    QTemporaryDir dir;
    const CliRun r = cli({"organize", dir.path(), "--copy", "--suggest"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("unknown option --suggest")) << r.err.toStdString();
}

} // namespace
