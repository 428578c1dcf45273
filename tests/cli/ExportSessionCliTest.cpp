// vantrel-cli export-session as a script uses it: the sessions it makes, its output, its
// sentences and its exit statuses.
#include "cli/CliRun.h"
#include "sessions/SessionFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace Vantrel;

namespace {

using CliTesting::cli;
using CliTesting::CliRun;

// Runs vantrel-cli with PATH replaced by path.
CliRun cliWithPath(const QStringList& args, const QString& path) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), path);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VANTREL_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

class ExportSessionCli : public testing::Test {
protected:
    QTemporaryDir dir;
    QString result = dir.filePath(QStringLiteral("Show SORTED"));

    void SetUp() override {
        Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"},
                                             {"01_DRUMS", "02_SNARE.wav", 2},
                                             {"99_UNSORTED", "ROOM.wav"}});
    }
};

// Verifies the usage errors: exit status 2 with the reason and the command's usage.
TEST_F(ExportSessionCli, shouldRefuseABadCommandLine) {
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"export-session", "R"}, "export-session needs --to ardour or --to dawproject"},
        {{"export-session", "R", "--to", "logic"}, "unknown DAW logic (known: ardour, dawproject)"},
        {{"export-session", "--to", "ardour"}, "export-session takes one RESULT folder"},
        {{"export-session", "A", "B", "--to", "ardour"}, "export-session takes one RESULT folder"},
        {{"export-session", "R", "--to"}, "--to needs a DAW"},
        {{"export-session", "R", "--to", "dawproject", "--output"}, "--output needs a PATH"},
        {{"export-session", "R", "--to", "dawproject", "--quiet"}, "unknown option --quiet"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QByteArray("vantrel-cli: ") + c.message)) << r.err.data();
        EXPECT_TRUE(r.err.contains("usage: vantrel-cli export-session RESULT --to "
                                   "ardour|dawproject [--output PATH]"))
            << r.err.data();
    }
}

// Verifies the DAWproject file beside the result folder with the JSON of what was made, and
// that a second export fails with exit status 1 and its sentence and leaves the first file
// as it is.
TEST_F(ExportSessionCli, shouldSaveADawProjectAndNeverOverwriteIt) {
    const QString file = dir.filePath(QStringLiteral("Show SORTED.dawproject"));
    const CliRun r = cli({"export-session", result, "--to", "dawproject", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.data();
    const QJsonObject expected{{"to", "dawproject"}, {"path", file}, {"sessionFile", file},
                               {"tracks", 3},        {"groups", 1},  {"notes", QJsonArray()}};
    EXPECT_EQ(CliTesting::parseJson(r.out).object(), expected) << r.out.data();
    const QByteArray bytes = Fixtures::readFile(file);
    EXPECT_TRUE(bytes.startsWith("PK"));

    const CliRun again = cli({"export-session", result, "--to", "dawproject"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err, QStringLiteral("There is already something named “Show "
                                        "SORTED.dawproject” in “%1”, so the DAWproject file was "
                                        "not made; nothing was overwritten.\n")
                             .arg(dir.path())
                             .toUtf8());
    EXPECT_EQ(Fixtures::readFile(file), bytes);

    const CliRun chosen = cli({"export-session", result, "--to", "dawproject", "--output",
                               dir.filePath(QStringLiteral("Elsewhere/Mix"))});
    EXPECT_EQ(chosen.exitCode, 1);
    EXPECT_TRUE(chosen.err.contains("does not exist")) << chosen.err.data();
}

// Verifies the sentences of a folder that is not a result, and of a machine without Ardour.
TEST_F(ExportSessionCli, shouldSayWhyNothingWasMade) {
    const CliRun notResult = cli({"export-session", dir.path(), "--to", "dawproject"});
    EXPECT_EQ(notResult.exitCode, 1);
    EXPECT_EQ(notResult.err,
              QStringLiteral("“%1” is not a result folder: it holds no manifest.json.\n")
                  .arg(dir.path())
                  .toUtf8());

    const CliRun noArdour =
        cliWithPath({"export-session", result, "--to", "ardour"}, dir.filePath("empty"));
    EXPECT_EQ(noArdour.exitCode, 1);
    EXPECT_EQ(noArdour.err, "Ardour is not installed: its session tool (ardour8-lua or "
                            "ardour7-lua) was not found. Install Ardour 7 or later, then try "
                            "again.\n");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("Show SORTED Ardour"))));
}

// Verifies that a destination the user may not write is refused before anything is made. The
// superuser writes every folder, so as the superuser the program runs without the capabilities
// that let it (setpriv), or the case is skipped.
TEST_F(ExportSessionCli, shouldRefuseAFolderItMayNotWrite) {
    const QString locked = dir.filePath(QStringLiteral("Locked"));
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0555), 0);
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() == 0 && setpriv.isEmpty())
        GTEST_SKIP() << "the superuser writes every folder, and setpriv is not there to run "
                        "the program without that power";
    const QStringList args{"export-session", result,     "--to",
                           "dawproject",     "--output", locked + QStringLiteral("/Mix")};
    CliRun r;
    if (::geteuid() != 0) {
        r = cli(args);
    } else {
        QProcess p;
        p.start(setpriv, QStringList{QStringLiteral("--bounding-set=-dac_override"),
                                     QStringLiteral(VANTREL_CLI_PATH)} +
                             args);
        ASSERT_TRUE(p.waitForFinished(60000));
        r = {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    }
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("The folder “%1” cannot be written (Permission denied), so "
                                    "the DAWproject file cannot be made there.\n")
                         .arg(locked)
                         .toUtf8());
    EXPECT_EQ(QDir(locked).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

// Verifies the Ardour session beside the result folder and the summary printed for it.
TEST_F(ExportSessionCli, shouldMakeAnArdourSession) {
    const bool haveArdour =
        !QStandardPaths::findExecutable(QStringLiteral("ardour7-lua")).isEmpty() ||
        !QStandardPaths::findExecutable(QStringLiteral("ardour8-lua")).isEmpty();
    VANTREL_NEED(haveArdour, "Ardour's session tool (ardour7-lua or later)");
    const CliRun r = cli({"export-session", result, "--to", "ardour"});
    ASSERT_EQ(r.exitCode, 0) << r.err.data();
    const QString folder = dir.filePath(QStringLiteral("Show SORTED Ardour"));
    EXPECT_EQ(r.out, QStringLiteral("Made the Ardour session “Show SORTED Ardour”: 3 tracks in 1 "
                                    "group.\n%1/Show SORTED Ardour.ardour\n")
                         .arg(folder)
                         .toUtf8());
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/Show SORTED Ardour.ardour")).isFile());
}

} // namespace
