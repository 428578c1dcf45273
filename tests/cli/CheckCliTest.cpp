// Runs the built vantrel-cli check: the JSON shape of its files and findings on a generated
// faulty session, and the demo session, which holds no accident.
#include "cli/CliRun.h"
#include "support/AudioFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sndfile.h>

using namespace Vantrel;

namespace {

using CliTesting::cli;
using CliTesting::CliRun;
using Fixtures::tone;
using Fixtures::writeAudio;

QStringList keysOf(const QJsonObject& o) {
    QStringList keys = o.keys();
    keys.sort();
    return keys;
}

TEST(CheckCli, JsonGivesTheFactsAndFindingsOfEveryFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeAudio(dir.filePath("1 Kick.wav"), {.sample = tone(0.5)}));
    ASSERT_TRUE(writeAudio(dir.filePath("2 Snare.wav"), {.sample = tone(0.5)}));
    ASSERT_TRUE(writeAudio(dir.filePath("3 Piano.wav"), {.channels = 2, .sample = tone(0.5)}));
    ASSERT_TRUE(
        writeAudio(dir.filePath("4 Talkback.wav"),
                   {.sampleRate = 44100, .frames = 4410, .sample = [](int, int) { return 0.0; }}));
    QFile text(dir.filePath("5 Notes.aif"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not audio\n");
    text.close();

    const CliRun r = cli({"check", dir.path(), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject root = CliTesting::parseJson(r.out).object();
    EXPECT_EQ(keysOf(root), (QStringList{"files", "findings"}));

    const QJsonArray files = root.value("files").toArray();
    ASSERT_EQ(files.size(), 5);
    const QStringList fileKeys{"bitDepth", "channels", "clippedRuns", "dualMono",   "file",
                               "frames",   "peakDb",   "readable",    "sampleRate", "seconds"};
    for (const QJsonValue& f : files)
        EXPECT_EQ(keysOf(f.toObject()), fileKeys);
    const QJsonObject kick = files[0].toObject();
    EXPECT_EQ(kick.value("file").toString(), QStringLiteral("1 Kick.wav"));
    EXPECT_EQ(kick.value("sampleRate").toInt(), 48000);
    EXPECT_EQ(kick.value("channels").toInt(), 1);
    EXPECT_EQ(kick.value("bitDepth").toInt(), 24);
    EXPECT_EQ(kick.value("frames").toInt(), 4800);
    EXPECT_DOUBLE_EQ(kick.value("seconds").toDouble(), 0.1);
    EXPECT_NEAR(kick.value("peakDb").toDouble(), -6.02, 0.05);
    EXPECT_EQ(kick.value("clippedRuns").toInt(), 0);
    EXPECT_EQ(kick.value("dualMono").toBool(true), false);
    EXPECT_EQ(kick.value("readable").toBool(false), true);
    // Digital silence has no peak in dBFS.
    EXPECT_TRUE(files[3].toObject().value("peakDb").isNull());
    const QJsonObject notes = files[4].toObject();
    EXPECT_EQ(notes.value("readable").toBool(true), false);
    for (const char* key : {"sampleRate", "channels", "bitDepth", "frames", "seconds", "peakDb",
                            "clippedRuns", "dualMono"})
        EXPECT_TRUE(notes.value(key).isNull()) << key;

    const QJsonArray findings = root.value("findings").toArray();
    QStringList kinds;
    for (const QJsonValue& v : findings) {
        const QJsonObject f = v.toObject();
        EXPECT_EQ(keysOf(f), (QStringList{"files", "kind", "text"}));
        kinds << f.value("kind").toString();
    }
    EXPECT_EQ(kinds, (QStringList{"sample-rate", "silent", "dual-mono", "unreadable"}));
    EXPECT_EQ(findings[0].toObject().value("text").toString(),
              QStringLiteral("1 file is at 44.1 kHz, the other 3 at 48 kHz: Logic Pro will "
                             "convert it on import."));
    EXPECT_EQ(findings[2].toObject().value("files").toArray(), QJsonArray{"3 Piano.wav"});
    EXPECT_EQ(findings[3].toObject().value("files").toArray(), QJsonArray{"5 Notes.aif"});

    // The text output carries the same sentences.
    const CliRun t = cli({"check", dir.path()});
    ASSERT_EQ(t.exitCode, 0) << t.err.toStdString();
    EXPECT_TRUE(t.out.contains("“5 Notes.aif” could not be read as audio: format not read."))
        << t.out.toStdString();
    EXPECT_TRUE(t.out.contains("format not read\n"));
}

// The demo session's tracks are valid WAV files of one rate, depth and length: nothing to report.
TEST(CheckCli, DemoSessionHasNoFindings) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString session = dir.filePath("demo");
    ASSERT_EQ(cli({"demo", session}).exitCode, 0);
    const CliRun r = cli({"check", session, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject root = CliTesting::parseJson(r.out).object();
    EXPECT_EQ(root.value("findings").toArray(), QJsonArray());
    const QJsonArray files = root.value("files").toArray();
    EXPECT_EQ(files.size(), 30);
    for (const QJsonValue& f : files) {
        EXPECT_TRUE(f.toObject().value("readable").toBool())
            << f.toObject().value("file").toString().toStdString();
        EXPECT_EQ(f.toObject().value("sampleRate").toInt(), 44100);
    }
}

TEST(CheckCli, UsageErrors) {
    for (const QStringList& args : {QStringList{"check"}, QStringList{"check", ".", "--nope"},
                                    QStringList{"check", "a", "b"}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: vantrel-cli check FOLDER [--json]"));
    }
    EXPECT_EQ(cli({"check", "/nonexistent-folder-of-tracks"}).exitCode, 1);
}

} // namespace
