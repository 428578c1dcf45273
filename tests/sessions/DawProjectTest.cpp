// The DAWproject file, read back: the container's entries, project.xml and metadata.xml against
// the format's published schemas, and the tracks, groups, colours and clips it describes.
#include "sessions/DawProject.h"

#include "audio/SndfileReader.h"
#include "core/Config.h"
#include "core/Errors.h"
#include "sessions/SessionExport.h"
#include "sessions/SessionFixtures.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <zip.h>

using namespace Vantrel;
using Fixtures::ResultFile;
using Sessions::SessionTarget;

namespace {

// The entries of a ZIP file by name, read whole through libzip (which checks each entry's
// CRC-32 as it reads); empty with a test failure when it cannot be read.
QMap<QString, QByteArray> unzip(const QString& path) {
    QMap<QString, QByteArray> entries;
    int error = 0;
    zip_t* zip = zip_open(path.toUtf8().constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip) {
        ADD_FAILURE() << "cannot open " << path.toStdString() << " as a ZIP file: " << error;
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t st;
        zip_stat_index(zip, zip_uint64_t(i), 0, &st);
        zip_file_t* file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        QByteArray bytes(qsizetype(st.size), '\0');
        const zip_int64_t n = file ? zip_fread(file, bytes.data(), st.size) : -1;
        EXPECT_EQ(n, zip_int64_t(st.size)) << st.name;
        if (file) {
            EXPECT_EQ(zip_fclose(file), 0) << st.name << " fails its CRC-32";
        }
        entries.insert(QString::fromUtf8(st.name), bytes);
    }
    zip_close(zip);
    return entries;
}

// xmllint's verdict on xml against a schema of the format: empty when it validates.
QString schemaErrors(const QByteArray& xml, const QString& schema) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("document.xml"));
    Fixtures::writeFile(file, xml);
    QProcess p;
    p.start(QStringLiteral("xmllint"),
            {QStringLiteral("--noout"), QStringLiteral("--schema"),
             QStringLiteral(VANTREL_DAWPROJECT_SCHEMAS) + QLatin1Char('/') + schema, file});
    if (!p.waitForFinished(60000))
        return QStringLiteral("xmllint did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

bool haveXmllint() {
    return !QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty();
}

// project.xml told as lines: each track of the structure (groups with their tracks indented),
// its colour, channel count and where its channel goes; under each audio track its clips.
QString describe(const QByteArray& projectXml) {
    QDomDocument doc;
    if (!doc.setContent(projectXml))
        return QStringLiteral("not XML");
    const QDomElement project = doc.documentElement();
    // The clips of each track, from the arrangement's lanes.
    QHash<QString, QStringList> clips;
    const QDomNodeList lanes = project.firstChildElement(QStringLiteral("Arrangement"))
                                   .elementsByTagName(QStringLiteral("Lanes"));
    for (int i = 0; i < lanes.size(); ++i) {
        const QDomElement lane = lanes.at(i).toElement();
        if (!lane.hasAttribute(QStringLiteral("track")))
            continue;
        const QDomNodeList found = lane.elementsByTagName(QStringLiteral("Clip"));
        for (int c = 0; c < found.size(); ++c) {
            const QDomElement clip = found.at(c).toElement();
            const QDomElement audio = clip.firstChildElement(QStringLiteral("Audio"));
            clips[lane.attribute(QStringLiteral("track"))]
                << QStringLiteral("clip at %1 for %2 s: %3 (%4 Hz, %5 ch, %6 s)")
                       .arg(clip.attribute(QStringLiteral("time")),
                            clip.attribute(QStringLiteral("duration")),
                            audio.firstChildElement(QStringLiteral("File"))
                                .attribute(QStringLiteral("path")),
                            audio.attribute(QStringLiteral("sampleRate")),
                            audio.attribute(QStringLiteral("channels")),
                            audio.attribute(QStringLiteral("duration")));
        }
    }
    // Channel ids by the name of their track, to tell where a channel goes.
    QHash<QString, QString> channelOwner;
    const QDomNodeList tracks = project.elementsByTagName(QStringLiteral("Track"));
    for (int i = 0; i < tracks.size(); ++i) {
        const QDomElement t = tracks.at(i).toElement();
        channelOwner.insert(t.firstChildElement(QStringLiteral("Channel")).attribute("id"),
                            t.attribute(QStringLiteral("name")));
    }
    QStringList lines;
    std::function<void(const QDomElement&, int)> walk = [&](const QDomElement& parent, int depth) {
        for (QDomElement t = parent.firstChildElement(QStringLiteral("Track")); !t.isNull();
             t = t.nextSiblingElement(QStringLiteral("Track"))) {
            const QDomElement channel = t.firstChildElement(QStringLiteral("Channel"));
            QString line = QString(depth * 2, QLatin1Char(' ')) +
                           t.attribute(QStringLiteral("contentType")) + QLatin1Char(' ') +
                           t.attribute(QStringLiteral("name"));
            if (t.hasAttribute(QStringLiteral("color")))
                line += QLatin1Char(' ') + t.attribute(QStringLiteral("color"));
            line += QStringLiteral(" [%1, %2 ch")
                        .arg(channel.attribute(QStringLiteral("role")),
                             channel.attribute("audioChannels"));
            if (channel.hasAttribute(QStringLiteral("destination")))
                line += QStringLiteral(" to %1").arg(
                    channelOwner.value(channel.attribute(QStringLiteral("destination"))));
            lines << line + QLatin1Char(']');
            for (const QString& clip : clips.value(t.attribute(QStringLiteral("id"))))
                lines << QString(depth * 2 + 2, QLatin1Char(' ')) + clip;
            walk(t, depth + 1);
        }
    };
    walk(project.firstChildElement(QStringLiteral("Structure")), 0);
    return lines.join(QLatin1Char('\n'));
}

Config withoutGroup(const QString& name) {
    Config cfg = Config::defaults();
    cfg.groups.removeIf([&name](const RuleGroup& g) { return g.name == name; });
    return cfg;
}

Config withColor(const QString& name, const QList<int>& color) {
    Config cfg = Config::defaults();
    for (RuleGroup& g : cfg.groups)
        if (g.name == name)
            g.color = color;
    return cfg;
}

struct DawCase {
    const char* name;
    QList<ResultFile> files;
    Config cfg;
    const char* expected;
};

void PrintTo(const DawCase& c, std::ostream* os) {
    *os << c.name;
}

class DawProject : public testing::TestWithParam<DawCase> {
protected:
    QTemporaryDir dir;
};

// Verifies the whole file for each session: the container holds the two XML files and every
// clip's audio byte for byte, both XML files validate against the format's schemas, and the
// project describes the groups in rule order with their colours, their tracks in new-name order
// routed to them, the unsorted tracks after them, and one clip per file at the start.
TEST_P(DawProject, shouldDescribeTheSessionInAValidFile) {
    VANTREL_NEED(haveXmllint(), "xmllint (libxml2-utils)");
    const DawCase& c = GetParam();
    const QString result = dir.filePath(QStringLiteral("Show SORTED"));
    Fixtures::writeResultFolder(result, c.files);
    const Sessions::ExportedSession made =
        Sessions::exportSession(SessionTarget::dawproject, result, c.cfg, Audio::sndfileReader(),
                                std::nullopt, std::nullopt);
    EXPECT_EQ(made.path, dir.filePath(QStringLiteral("Show SORTED.dawproject")));

    const QMap<QString, QByteArray> entries = unzip(made.path);
    ASSERT_TRUE(entries.contains(QStringLiteral("project.xml")));
    ASSERT_TRUE(entries.contains(QStringLiteral("metadata.xml")));
    EXPECT_EQ(schemaErrors(entries[QStringLiteral("project.xml")], QStringLiteral("Project.xsd")),
              QString());
    EXPECT_EQ(schemaErrors(entries[QStringLiteral("metadata.xml")], QStringLiteral("MetaData.xsd")),
              QString());
    EXPECT_TRUE(entries[QStringLiteral("metadata.xml")].contains("<Title>Show SORTED</Title>"));
    EXPECT_EQ(describe(entries[QStringLiteral("project.xml")]), QString::fromUtf8(c.expected));

    // Every file of the result folder is in the container as it is, and nothing else.
    QStringList audio;
    for (const ResultFile& f : c.files) {
        const QString inside = QStringLiteral("audio/%1/%2").arg(f.folder, f.name);
        audio << inside;
        EXPECT_EQ(entries.value(inside), Fixtures::readFile(result + QLatin1Char('/') + f.folder +
                                                            QLatin1Char('/') + f.name))
            << inside.toStdString();
    }
    EXPECT_EQ(entries.size(), audio.size() + 2);
}

const DawCase cases[] = {
    {"groupsInRuleOrder",
     {{"07_TRACKS", "01_PERC.wav", 2, 48000, 9600},
      {"01_DRUMS", "02_SNARE.wav"},
      {"01_DRUMS", "01_KICK.wav"},
      {"99_UNSORTED", "ROOM.wav", 2, 48000, 24000}},
     Config::defaults(),
     R"(tracks DRUMS #C85A2F [submix, 2 ch to Master]
  audio 01_KICK #C85A2F [regular, 1 ch to DRUMS]
    clip at 0 for 0.1 s: audio/01_DRUMS/01_KICK.wav (48000 Hz, 1 ch, 0.1 s)
  audio 02_SNARE #C85A2F [regular, 1 ch to DRUMS]
    clip at 0 for 0.1 s: audio/01_DRUMS/02_SNARE.wav (48000 Hz, 1 ch, 0.1 s)
tracks TRACKS #5A93D6 [submix, 2 ch to Master]
  audio 01_PERC #5A93D6 [regular, 2 ch to TRACKS]
    clip at 0 for 0.2 s: audio/07_TRACKS/01_PERC.wav (48000 Hz, 2 ch, 0.2 s)
audio ROOM [regular, 2 ch to Master]
  clip at 0 for 0.5 s: audio/99_UNSORTED/ROOM.wav (48000 Hz, 2 ch, 0.5 s)
audio Master [master, 2 ch])"},
    {"colourOfTheRulesOrNone",
     {{"10_UTILITY", "01_CLICK.wav", 1, 44100, 44100}, {"01_DRUMS", "01_KICK.wav"}},
     withColor(QStringLiteral("DRUMS"), {5, 2}),
     R"(tracks DRUMS #7F8C3D [submix, 2 ch to Master]
  audio 01_KICK #7F8C3D [regular, 1 ch to DRUMS]
    clip at 0 for 0.1 s: audio/01_DRUMS/01_KICK.wav (48000 Hz, 1 ch, 0.1 s)
tracks UTILITY [submix, 2 ch to Master]
  audio 01_CLICK [regular, 1 ch to UTILITY]
    clip at 0 for 1 s: audio/10_UTILITY/01_CLICK.wav (44100 Hz, 1 ch, 1 s)
audio Master [master, 2 ch])"},
    // A group renamed or removed since the approval has no group track: its tracks go with the
    // unsorted ones, as in a send.
    {"groupGoneFromTheRules",
     {{"08_VOCALS", "01_VOX.wav"}, {"99_UNSORTED", "TALKBACK.wav"}, {"02_BASS", "01_DI.wav"}},
     withoutGroup(QStringLiteral("VOCALS")),
     R"(tracks BASS #5359B8 [submix, 2 ch to Master]
  audio 01_DI #5359B8 [regular, 1 ch to BASS]
    clip at 0 for 0.1 s: audio/02_BASS/01_DI.wav (48000 Hz, 1 ch, 0.1 s)
audio 01_VOX [regular, 1 ch to Master]
  clip at 0 for 0.1 s: audio/08_VOCALS/01_VOX.wav (48000 Hz, 1 ch, 0.1 s)
audio TALKBACK [regular, 1 ch to Master]
  clip at 0 for 0.1 s: audio/99_UNSORTED/TALKBACK.wav (48000 Hz, 1 ch, 0.1 s)
audio Master [master, 2 ch])"},
    // Names are text of the XML, never markup; a file without samples keeps its track but can
    // have no clip.
    {"namesAsTextAndAnEmptyFile",
     {{"99_UNSORTED", "A&B <1> \"Ü\".wav"}, {"99_UNSORTED", "EMPTY.wav", 1, 48000, 0}},
     Config::defaults(),
     R"(audio A&B <1> "Ü" [regular, 1 ch to Master]
  clip at 0 for 0.1 s: audio/99_UNSORTED/A&B <1> "Ü".wav (48000 Hz, 1 ch, 0.1 s)
audio EMPTY [regular, 1 ch to Master]
audio Master [master, 2 ch])"},
};

INSTANTIATE_TEST_SUITE_P(Sessions, DawProject, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<DawCase>& info) {
                             return std::string(info.param.name);
                         });

class DawProjectRefusal : public testing::Test {
protected:
    QTemporaryDir dir;
    QString result = dir.filePath(QStringLiteral("Show SORTED"));
    QString target = dir.filePath(QStringLiteral("Show SORTED.dawproject"));

    Sessions::ExportedSession exportTo(const std::optional<QString>& output = std::nullopt,
                                       const Sessions::ExportCancelled& cancelled = {}) {
        return Sessions::exportSession(SessionTarget::dawproject, result, Config::defaults(),
                                       Audio::sndfileReader(), output, std::nullopt, {}, cancelled);
    }

    // The message of the Error the export throws; empty when it does not throw one.
    QString refusal(const std::optional<QString>& output = std::nullopt,
                    const Sessions::ExportCancelled& cancelled = {}) {
        try {
            exportTo(output, cancelled);
        } catch (const Error& e) {
            return e.message();
        }
        return {};
    }
};

// Verifies that a file of that name is never replaced: the export fails with a sentence that
// says so, and both the file and the folder are as they were.
TEST_F(DawProjectRefusal, shouldNeverOverwriteAFileOfThatName) {
    Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"}});
    Fixtures::writeFile(target, "the user's own file");
    const auto before = Fixtures::snapshot(dir.path());
    EXPECT_EQ(refusal(), QStringLiteral("There is already something named “Show "
                                        "SORTED.dawproject” in “%1”, so the DAWproject file was "
                                        "not made; nothing was overwritten.")
                             .arg(dir.path()));
    EXPECT_EQ(Fixtures::snapshot(dir.path()), before);
}

// Verifies that a cancel during the writing leaves nothing behind, not even a partial file.
TEST_F(DawProjectRefusal, shouldLeaveNothingWhenCancelled) {
    Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"}, {"01_DRUMS", "02_SN.wav"}});
    const auto before = Fixtures::snapshot(dir.path());
    int asked = 0;
    EXPECT_THROW(exportTo(std::nullopt, [&asked] { return ++asked > 1; }), CancelledError);
    EXPECT_GT(asked, 1);
    EXPECT_EQ(Fixtures::snapshot(dir.path()), before);
}

// Verifies the refusals before anything is written, each with its sentence: what the
// manifest reader refuses, audio that cannot be read, and a folder that is not there.
TEST_F(DawProjectRefusal, shouldRefuseWhatCannotBecomeASession) {
    ASSERT_TRUE(QDir().mkpath(result));
    EXPECT_EQ(
        refusal(),
        QStringLiteral("“%1” is not a result folder: it holds no manifest.json.").arg(result));

    Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"}});
    Fixtures::writeFile(result + QStringLiteral("/01_DRUMS/02_SNARE.wav"), "not audio");
    Fixtures::writeFile(
        result + QStringLiteral("/manifest.json"),
        Engine::manifestJson({{QStringLiteral("01_DRUMS"),
                               {QStringLiteral("01_KICK.wav"), QStringLiteral("02_SNARE.wav")}}}));
    EXPECT_EQ(refusal(), QStringLiteral("The audio of “01_DRUMS/02_SNARE.wav” cannot be read, so "
                                        "it cannot be placed in a session."));

    ASSERT_TRUE(QFile::remove(result + QStringLiteral("/01_DRUMS/02_SNARE.wav")));
    EXPECT_TRUE(refusal().startsWith(QStringLiteral("1 of the 2 tracks")))
        << refusal().toStdString();

    Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"}});
    const QString nowhere = dir.filePath(QStringLiteral("Gone/Mix"));
    EXPECT_EQ(refusal(nowhere), QStringLiteral("The folder “%1” does not exist, so the DAWproject "
                                               "file cannot be made there.")
                                    .arg(dir.filePath(QStringLiteral("Gone"))));
    EXPECT_FALSE(QFileInfo::exists(target));
}

// Verifies that a chosen name gets the format's extension when it lacks it, and keeps its own;
// both files are valid.
TEST_F(DawProjectRefusal, shouldGiveAChosenNameTheExtension) {
    VANTREL_NEED(haveXmllint(), "xmllint (libxml2-utils)");
    Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"}});
    EXPECT_EQ(exportTo(dir.filePath(QStringLiteral("Mix"))).path,
              dir.filePath(QStringLiteral("Mix.dawproject")));
    EXPECT_EQ(exportTo(dir.filePath(QStringLiteral("Other.DAWproject"))).path,
              dir.filePath(QStringLiteral("Other.DAWproject")));
    for (const char* file : {"Mix.dawproject", "Other.DAWproject"}) {
        const QMap<QString, QByteArray> entries = unzip(dir.filePath(QString::fromLatin1(file)));
        EXPECT_EQ(schemaErrors(entries.value(QStringLiteral("project.xml")),
                               QStringLiteral("Project.xsd")),
                  QString())
            << file;
    }
}

} // namespace
