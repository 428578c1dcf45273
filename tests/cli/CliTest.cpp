// Runs the built vantrel-cli as another program would: arguments in, text and exit code out.
#include "cli/CliRun.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Vantrel;

namespace {

using CliTesting::cli;
using CliTesting::CliRun;

QJsonValue json(const QByteArray& bytes) {
    const QJsonDocument doc = CliTesting::parseJson(bytes);
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

class Cli : public testing::Test {
protected:
    QTemporaryDir dir;
};

// Verifies the JSON of a scan of the worked-example files: folders, names, nulls and skipped.
TEST_F(Cli, shouldPrintScanAsJson) {
    Fixtures::touchAll(dir.path(), {"1Kick In#04.1.wav", "47Track Perc L#03.1.wav",
                                    "65Click#03.1.wav", "Room Mic.wav", "notes.txt"});
    const CliRun r = cli({"scan", dir.path(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject expected{{"folder", dir.path()},
                               {"items",
                                QJsonArray{
                                    QJsonObject{{"file", "1Kick In#04.1.wav"},
                                                {"group", "DRUMS"},
                                                {"source", "KICK_IN"},
                                                {"order", 1},
                                                {"folder", "01_DRUMS"},
                                                {"newName", "01_KICK_IN.wav"}},
                                    QJsonObject{{"file", "47Track Perc L#03.1.wav"},
                                                {"group", "TRACKS"},
                                                {"source", "PERC_L"},
                                                {"order", 47},
                                                {"folder", "07_TRACKS"},
                                                {"newName", "01_PERC_L.wav"}},
                                    QJsonObject{{"file", "65Click#03.1.wav"},
                                                {"group", "UTILITY"},
                                                {"source", "CLICK"},
                                                {"order", 65},
                                                {"folder", "10_UTILITY"},
                                                {"newName", "01_CLICK.wav"}},
                                    QJsonObject{{"file", "Room Mic.wav"},
                                                {"group", QJsonValue::Null},
                                                {"source", "ROOM_MIC"},
                                                {"order", QJsonValue::Null},
                                                {"folder", "99_UNSORTED"},
                                                {"newName", "ROOM_MIC.wav"}},
                                }},
                               {"skipped", QJsonArray{"notes.txt"}}};
    EXPECT_EQ(json(r.out), QJsonValue(expected)) << r.out.toStdString();
}

// Verifies that --config reads the named file instead of the user's.
TEST_F(Cli, shouldScanWithNamedConfiguration) {
    Fixtures::touchAll(dir.path(), {"Session/1Kick In#04.1.wav"});
    Fixtures::writeFile(dir.filePath("rules.json"),
                        R"({"groups": [{"name": "kit", "aliases": ["kick"]}],
        "source_aliases": {}, "unsorted_folder": "Other", "group_in_name": true})");
    const CliRun r =
        cli({"scan", "--config", dir.filePath("rules.json"), dir.filePath("Session"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject item = json(r.out)["items"][0].toObject();
    EXPECT_EQ(item["folder"].toString(), "01_KIT");
    EXPECT_EQ(item["newName"].toString(), "KIT_01_KICK_IN.wav");
}

// Verifies tokens, group and source of several stems as JSON.
TEST_F(Cli, shouldPrintClassificationAsJson) {
    const CliRun r = cli({"classify", "--json", "1Kick In#04.1", "Room Mic"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray expected{QJsonObject{{"stem", "1Kick In#04.1"},
                                          {"tokens", QJsonArray{"KICK_IN"}},
                                          {"group", "DRUMS"},
                                          {"source", "KICK_IN"}},
                              QJsonObject{{"stem", "Room Mic"},
                                          {"tokens", QJsonArray{"ROOM", "MIC"}},
                                          {"group", QJsonValue::Null},
                                          {"source", "ROOM_MIC"}}};
    EXPECT_EQ(json(r.out), QJsonValue(expected));
}

// Verifies the exit codes: 2 with a usage line for bad arguments, 1 with a message on failure.
TEST_F(Cli, shouldReportBadUsageAndFailures) {
    Fixtures::touchAll(dir.path(), {"file.wav"});
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        const char* err;
    } cases[] = {
        {"no command", {}, 2, "usage: vantrel-cli"},
        {"unknown command", {"sort"}, 2, "usage: vantrel-cli"},
        {"unknown option", {"scan", dir.path(), "--fast"}, 2, "unknown option --fast"},
        {"missing folder argument", {"scan"}, 2, "usage: vantrel-cli"},
        {"config without file", {"scan", dir.path(), "--config"}, 2, "--config needs a FILE"},
        {"classify without stems", {"classify", "--json"}, 2, "usage: vantrel-cli"},
        {"folder missing", {"scan", dir.filePath("nope")}, 1, "is not a folder."},
        {"organize without mode", {"organize", dir.path()}, 2, "needs --in-place or --copy"},
        {"organize with both modes",
         {"organize", dir.path(), "--copy", "--in-place"},
         2,
         "choose one of --in-place and --copy"},
        {"put-back with options", {"put-back", dir.path(), "--json"}, 2, "unknown option --json"},
        {"a file, not a folder", {"scan", dir.filePath("file.wav")}, 1, "is not a folder."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

// Verifies the demo session: valid WAV files the scan sorts, and no second write over it.
TEST_F(Cli, shouldWriteDemoSessionOnce) {
    const QString folder = dir.filePath("Demo Session");
    CliRun r = cli({"demo", folder});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    const QStringList wavs = QDir(folder).entryList({"*.wav"}, QDir::Files);
    EXPECT_GE(wavs.size(), 24);
    for (const QString& name : wavs) {
        const QByteArray bytes = Fixtures::readFile(QDir(folder).filePath(name));
        ASSERT_GT(bytes.size(), 44) << name.toStdString();
        EXPECT_TRUE(bytes.startsWith("RIFF") && bytes.mid(8, 8) == "WAVEfmt ")
            << name.toStdString();
        const quint32 riffSize = qFromLittleEndian<quint32>(bytes.constData() + 4);
        EXPECT_EQ(riffSize + 8, quint32(bytes.size())) << name.toStdString();
    }

    r = cli({"scan", folder, "--json"});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonObject scan = json(r.out).toObject();
    EXPECT_EQ(scan["items"].toArray().size(), wavs.size());
    EXPECT_EQ(scan["skipped"].toArray().size(), 1);
    int unsorted = 0;
    for (const QJsonValue& item : scan["items"].toArray())
        unsorted += item["group"].isNull();
    EXPECT_GE(unsorted, 1);

    const auto before = Fixtures::snapshot(folder);
    r = cli({"demo", folder});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Fixtures::snapshot(folder), before);
}

// Verifies that Ctrl-C during a send cancels it as the panel's Cancel does: the program is not
// ended by the signal but stops the send, says "Cancelled." and exits with 1, as organize does.
TEST_F(Cli, shouldCancelASendOnCtrlC) {
    const QString folder = dir.filePath("Demo");
    ASSERT_EQ(cli({"demo", folder}).exitCode, 0);
    const CliRun sorted = cli({"organize", folder, "--copy", "--json"});
    ASSERT_EQ(sorted.exitCode, 0) << sorted.err.toStdString();
    const QString result = CliTesting::parseJson(sorted.out).object()["result"].toString();

    QProcess p;
    // On the machine's clock the send takes over half a minute, so the signal comes in its
    // middle, well after the program set its handler even on a loaded machine.
    p.start(QStringLiteral(VANTREL_CLI_PATH), {"send", result, "--simulate", "--realtime"});
    ASSERT_TRUE(p.waitForStarted());
    QThread::msleep(4000);
    ASSERT_EQ(::kill(pid_t(p.processId()), SIGINT), 0);
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "the signal ended the program";
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError(), QByteArray("Cancelled.\n"));
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

// Verifies a sorted copy and an organization in place with its put-back, as JSON.
TEST_F(Cli, shouldOrganizeAndPutBack) {
    const QString folder = dir.filePath("Live");
    Fixtures::touchAll(folder, {"1Kick In#04.1.wav", "65Click#03.1.wav", "notes.txt"});
    const auto original = Fixtures::snapshot(folder);

    CliRun r = cli({"organize", folder, "--copy", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(json(r.out),
              QJsonValue(QJsonObject{{"result", dir.filePath("Live SORTED")},
                                     {"note", "0 files cloned: no extra disk space used."},
                                     {"inPlace", false}}));
    EXPECT_TRUE(QFile::exists(dir.filePath("Live SORTED/01_DRUMS/01_KICK_IN.wav")));

    r = cli({"organize", folder, "--in-place", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(
        json(r.out),
        QJsonValue(QJsonObject{
            {"result", folder},
            {"note", "2 files moved into their folders: nothing copied, no extra space used."},
            {"inPlace", true}}));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("10_UTILITY/01_CLICK.wav")));

    r = cli({"put-back", folder});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Fixtures::snapshot(folder), original);
}

// Verifies that the command line speaks English, with its plural forms, on a system set to
// German: the window's German translation is not the command line's.
TEST_F(Cli, shouldSpeakEnglishOnAGermanSystem) {
    const auto run = [](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("de_DE.UTF-8"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VANTREL_CLI_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                      p.readAllStandardOutput(), p.readAllStandardError()};
    };
    const QString folder = dir.filePath("Live");
    Fixtures::touchAll(folder, {"1Kick In#04.1.wav"});

    CliRun r = run({"organize", folder, "--in-place", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(json(r.out)["note"],
              QJsonValue("1 file moved into its folder: nothing copied, no extra space used."));

    QDir(dir.path()).mkpath("Empty");
    r = run({"put-back", dir.filePath("Empty")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("Couldn't put the files back: Couldn't read the undo journal"))
        << r.err.toStdString();
}

// Verifies the app's own failure messages for organizing and putting back.
TEST_F(Cli, shouldReportOrganizeFailuresWithAppMessages) {
    Fixtures::touchAll(dir.filePath("Empty"), {"notes.txt"});
    Fixtures::touchAll(dir.filePath("Blocked"), {"1 Kick.wav"});
    Fixtures::writeFile(dir.filePath("Blocked/Vantrel undo.json"), "not a journal");
    const struct {
        const char* name;
        QStringList args;
        const char* err;
    } cases[] = {
        {"no audio",
         {"organize", dir.filePath("Empty"), "--copy"},
         "No audio files found directly inside “Empty”."},
        {"a damaged journal of an earlier organization",
         {"organize", dir.filePath("Blocked"), "--in-place"},
         "Couldn't organize the folder: The undo journal"},
        {"nothing to put back",
         {"put-back", dir.filePath("Empty")},
         "Couldn't put the files back: Couldn't read the undo journal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto before = Fixtures::snapshot(dir.path());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.startsWith(c.err)) << r.err.toStdString();
        EXPECT_EQ(Fixtures::snapshot(dir.path()), before);
    }
}

// Verifies logic-menus against the simulated Logic Pro: the dump lands in the configuration
// folder and is printed with the app's message; the quirks give the app's failure messages,
// and a quirk the simulator does not know is a usage error.
TEST_F(Cli, shouldDumpSimulatedLogicMenus) {
    const auto run = [this](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VANTREL_CLI_PATH), QStringList{"logic-menus"} + args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                      p.readAllStandardOutput(), p.readAllStandardError()};
    };
    const QString dump = dir.filePath(QStringLiteral(".local/share/Vantrel/logic-menus.txt"));

    const CliRun ok = run({});
    ASSERT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    const QByteArray written = Fixtures::readFile(dump);
    const qsizetype count = written.count('\n') + 1;
    EXPECT_GT(count, 50);
    EXPECT_FALSE(written.startsWith(' ')) << written.toStdString();
    EXPECT_TRUE(written.contains("\nTrack\n  New Tracks…\n  New Audio Track\n"));
    EXPECT_EQ(ok.out, written + "\nConnected. Read " + QByteArray::number(count) +
                          " menu items from Logic Pro.\n");
    // --simulate asks for what this system reads anyway.
    const CliRun simulated = run({"--simulate"});
    EXPECT_EQ(simulated.exitCode, 0) << simulated.err.toStdString();
    EXPECT_EQ(simulated.out, ok.out);
    // A quirk with a value, as send takes it: the menus of a Logic Pro in German.
    const CliRun german = run({"--quirk", "language=de"});
    EXPECT_EQ(german.exitCode, 0) << german.err.toStdString();
    EXPECT_TRUE(german.out.contains("\nSpur\n  Neue Spuren …\n  Neue Audiospur\n"))
        << german.out.toStdString();
    EXPECT_TRUE(Fixtures::readFile(dump).contains("\nAblage\n"));
    ASSERT_EQ(run({}).out, ok.out);

    struct Case {
        QStringList args;
        int exitCode;
        QByteArray err;
    } failures[] = {
        {{"--quirk", "not-running"}, 1, "Logic Pro isn't running.\n"},
        {{"--quirk", "slow-ready", "--quirk", "not-trusted"},
         1,
         "Allow Vantrel in System Settings > Privacy & Security > Accessibility, then choose "
         "Logic > Check Logic Connection again.\n"},
        {{"--quirk", "no-such-quirk"}, 2, {}},
        {{"--quirk", "language=xx"}, 2, {}},
        {{"--quirk"}, 2, {}},
        {{"extra"}, 2, {}},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        if (c.exitCode == 2)
            EXPECT_TRUE(r.err.contains("usage: vantrel-cli")) << r.err.toStdString();
        else
            EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(Fixtures::readFile(dump), written); // a failed check leaves the dump alone
    }
}

// Verifies ax-dump: the simulated tree as JSON and as text, read back with --world into the same
// JSON, logic-menus --world on it, and its usage errors.
TEST_F(Cli, shouldDumpTheAccessibilityTreeAndReadItBack) {
    const CliRun json = cli({"ax-dump", "--simulate", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject tree = CliTesting::parseJson(json.out).object();
    EXPECT_EQ(tree.value("role").toString(), QStringLiteral("AXApplication"));
    const QString world = dir.filePath("world.json");
    Fixtures::writeFile(world, json.out);

    const CliRun again = cli({"ax-dump", "--simulate", "--world", world, "--json"});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, json.out);

    const CliRun menus = cli({"logic-menus", "--world", world});
    ASSERT_EQ(menus.exitCode, 0) << menus.err.toStdString();
    EXPECT_TRUE(menus.out.contains("\nTrack\n  New Tracks…\n  New Audio Track\n"));
    EXPECT_TRUE(menus.out.contains("Connected. Read "));

    const CliRun text = cli({"ax-dump", "--simulate", "--depth", "1"});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.startsWith("AXApplication “Logic Pro”\n  AXMenuBar"))
        << text.out.toStdString();
    EXPECT_FALSE(text.out.contains("AXMenuBarItem")) << "depth 1 stops below the application";

    struct Case {
        QStringList args;
        int exitCode;
    } failures[] = {
        {{"ax-dump"}, 1},
        {{"ax-dump", "--simulate", "--depth", "-1"}, 2},
        {{"ax-dump", "--simulate", "--quirk", "no-such-quirk"}, 2},
        {{"ax-dump", "--simulate", "--world", world, "--quirk", "not-running"}, 2},
        {{"ax-dump", "--simulate", "--world", dir.filePath("missing.json")}, 1},
        {{"ax-dump", "--simulate", "--quirk", "not-running"}, 1},
        {{"logic-menus", "--world", dir.filePath("missing.json")}, 1},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
}

// Verifies that control characters of file names reach the terminal escaped, and that a
// configuration that is a FIFO or a device is refused with its reason instead of read.
TEST_F(Cli, shouldEscapeControlCharactersAndRefuseOddConfigurations) {
    const QString session = dir.filePath("Session");
    Fixtures::touchAll(
        session, {QStringLiteral("1 Kick\x1b[2J\x07.wav"), QStringLiteral("2 Vox\u0085.wav")});
    CliRun r = cli({"scan", session});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains('\x1b'));
    EXPECT_FALSE(r.out.contains('\x07'));
    EXPECT_FALSE(r.out.contains("\xc2\x85"));
    EXPECT_TRUE(r.out.contains("1 Kick\\x1B[2J\\x07.wav")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("2 Vox\\u0085.wav")) << r.out.toStdString();
    r = cli({"scan", session, "--json"});
    EXPECT_EQ(json(r.out)["items"][0]["file"].toString(), QStringLiteral("1 Kick\x1b[2J\x07.wav"));

    const QString fifo = dir.filePath("config.json");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString syntax = dir.filePath("syntax.json");
    Fixtures::writeFile(syntax, "{\n  \"groups\": [\n    {\"name\": }\n");
    const QString wrongKey = dir.filePath("key.json");
    Fixtures::writeFile(wrongKey, R"({"groups": {}, "unsorted_folder": "X"})");
    const struct {
        const char* name;
        QString config;
        const char* reason;
    } cases[] = {
        {"a syntax error", syntax, "(line 3, column 15: "},
        {"a key of the wrong kind", wrongKey, "(“groups” is missing or not a list)"},
        {"a FIFO", fifo, "(it is not a regular file)"},
        {"an endless device", QStringLiteral("/dev/zero"), "(it is not a regular file)"},
        {"missing", dir.filePath("none.json"), "(No such file or directory)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        r = cli({"scan", session, "--config", c.config});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.err.contains(c.reason)) << r.err.toStdString();
    }
}

// Verifies that a folder the user may not read is reported with the system's reason, by the
// scan and by the organization, instead of reading as a folder without audio files. The
// superuser reads every folder, so as the superuser the program runs without the capabilities
// that let it (setpriv), or the case is skipped.
TEST_F(Cli, shouldSayItCannotReadAFolderItMayNotOpen) {
    const QString locked = dir.filePath("Locked");
    Fixtures::touchAll(locked, {"1 Kick.wav"});
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    const auto unlock =
        qScopeGuard([&locked] { ::chmod(QFile::encodeName(locked).constData(), 0700); });
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() == 0 && setpriv.isEmpty())
        GTEST_SKIP() << "the superuser reads every folder, and setpriv is not there to run the "
                        "program without that power";
    const auto run = [&setpriv](const QStringList& args) {
        if (::geteuid() != 0)
            return cli(args);
        QProcess p;
        p.start(setpriv,
                QStringList{QStringLiteral("--bounding-set=-dac_override,-dac_read_search"),
                            QStringLiteral(VANTREL_CLI_PATH)} +
                    args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return CliRun{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                      p.readAllStandardOutput(), p.readAllStandardError()};
    };
    const QByteArray sentence =
        QStringLiteral("Couldn't read “%1”: Permission denied.").arg(locked).toUtf8();
    for (const QStringList& args :
         {QStringList{"scan", locked}, QStringList{"organize", locked, "--in-place"},
          QStringList{"organize", locked, "--copy"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(sentence)) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("No audio files")) << r.err.toStdString();
    }
}

// Verifies that the session in send --json names each stack's kind, so that a folder stack
// cannot pass for a summing stack, and that the demo session is sent with summing stacks only.
TEST_F(Cli, shouldNameEachStacksKindInTheSentSession) {
    const QString folder = dir.filePath("Kinds");
    ASSERT_EQ(cli({"demo", folder}).exitCode, 0);
    const CliRun sorted = cli({"organize", folder, "--copy", "--json"});
    ASSERT_EQ(sorted.exitCode, 0) << sorted.err.toStdString();
    const QString result = CliTesting::parseJson(sorted.out).object()["result"].toString();
    const CliRun sent = cli({"send", result, "--simulate", "--json"});
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    const QJsonObject root = CliTesting::parseJson(sent.out).object();
    EXPECT_TRUE(root["ok"].toBool());
    int stacks = 0;
    for (const QJsonValue& v : root["session"].toObject()["tracks"].toArray()) {
        const QJsonObject t = v.toObject();
        const QString kind = t["kind"].toString();
        EXPECT_TRUE(kind == u"audio" || kind == u"summing stack")
            << t["name"].toString().toStdString() << ": " << kind.toStdString();
        if (kind != u"audio")
            ++stacks;
    }
    EXPECT_EQ(stacks, 9);
}

} // namespace
