// The Ardour session, read back through the real Ardour session tool: the routes with their
// names, order, groups, colours and inputs, and every region's place, length and source file.
#include "sessions/ArdourSession.h"

#include "audio/SndfileReader.h"
#include "cli/Demo.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "sessions/SessionExport.h"
#include "sessions/SessionFixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Vantrel;
using Fixtures::ResultFile;
using Sessions::SessionTarget;

namespace {

// What the session tool reports of a loaded session (see read_ardour_session.lua).
struct ReadSession {
    int rate = 0;
    QString range;
    // One line per route in the session's order: "order name group #group-colour #colour
    // inputs kind", colours as 0xRRGGBB ("-" when unset).
    QStringList routes;
    // One line per region channel, sorted: "track position length channel source".
    QStringList regions;
    bool complete = false;
};

QString rgbOf(const QString& rgba) {
    const quint32 v = rgba.toUInt();
    return v == 0 ? QStringLiteral("-")
                  : QStringLiteral("#%1").arg(v >> 8, 6, 16, QLatin1Char('0')).toUpper();
}

// Loads the session at folder with the tool, without saving anything, and reads what it holds;
// source paths are told relative to base.
ReadSession readBack(const Sessions::ArdourTool& tool, const QString& folder, const QString& base) {
    ReadSession read;
    QProcess p;
    p.start(tool.lua,
            {QStringLiteral(VANTREL_ARDOUR_READER), folder, QFileInfo(folder).fileName()});
    if (!p.waitForFinished(300000)) {
        ADD_FAILURE() << "the session tool did not finish reading " << folder.toStdString();
        return read;
    }
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f[0] == QLatin1String("rate"))
            read.rate = f.value(1).toInt();
        else if (f[0] == QLatin1String("range"))
            read.range = f.mid(1).join(QLatin1Char(' '));
        else if (f[0] == QLatin1String("route") && f.size() == 8)
            read.routes << QStringList{f[1],
                                       f[2],
                                       f[3].isEmpty() ? QStringLiteral("-") : f[3],
                                       rgbOf(f[4]),
                                       rgbOf(f[5]),
                                       f[6],
                                       f[7]}
                               .join(QLatin1Char(' '));
        else if (f[0] == QLatin1String("region") && f.size() == 6) {
            QString source = f[5];
            if (source.startsWith(base + QLatin1Char('/')))
                source = source.mid(base.size() + 1);
            read.regions << QStringList{f[1], f[2], f[3], f[4], source}.join(QLatin1Char(' '));
        } else if (f[0] == QLatin1String("end"))
            read.complete = true;
    }
    // The tool lists the routes in no fixed order: they are told in the session's order, which
    // puts the master bus (order 0) first.
    std::stable_sort(read.routes.begin(), read.routes.end(),
                     [](const QString& a, const QString& b) {
                         return a.section(QLatin1Char(' '), 0, 0).toInt() <
                                b.section(QLatin1Char(' '), 0, 0).toInt();
                     });
    read.regions.sort();
    EXPECT_TRUE(read.complete) << "the session tool did not read the session to its end:\n"
                               << out.toStdString() << p.readAllStandardError().toStdString();
    return read;
}

class ArdourSession : public testing::Test {
protected:
    static const std::optional<Sessions::ArdourTool>& tool() {
        static const std::optional<Sessions::ArdourTool> found = Sessions::findArdour();
        return found;
    }

    QTemporaryDir dir;

    Sessions::ExportedSession build(const QString& result, const Config& cfg = Config::defaults(),
                                    const std::optional<QString>& output = std::nullopt,
                                    const Sessions::ExportCancelled& cancelled = {}) {
        return Sessions::exportSession(SessionTarget::ardour, result, cfg, Audio::sndfileReader(),
                                       output, tool(), {}, cancelled);
    }

    QString refusal(const QString& result, const std::optional<QString>& output = std::nullopt,
                    const Sessions::ExportCancelled& cancelled = {}) {
        try {
            build(result, Config::defaults(), output, cancelled);
        } catch (const Error& e) {
            return e.message();
        }
        return {};
    }
};

#define NEED_ARDOUR() VANTREL_NEED(tool(), "Ardour's session tool (ardour7-lua or later)")

// Verifies the demo session as Ardour holds it: beside the sorted copy and named after it, one
// mono track per file named after it in send order, each group's tracks in a route group named
// and coloured after it (tracks in the group's colour; UTILITY without one), the unsorted tracks
// last and in no group, each file's audio from its place in the sorted copy as one region at the
// session start, the session at the files' rate and its range over them.
TEST_F(ArdourSession, shouldHoldTheDemoSession) {
    NEED_ARDOUR();
    const QString demo = dir.filePath(QStringLiteral("Demo"));
    Cli::writeDemoSession(demo);
    const Engine::ScanResult scan = Engine::scan(demo, Config::defaults());
    const QString result = Engine::exportItems(scan.items, demo, ExportMode::copy).url;

    const Sessions::ExportedSession made = build(result);
    const QString folder = dir.filePath(QStringLiteral("Demo SORTED Ardour"));
    EXPECT_EQ(made.path, folder);
    EXPECT_EQ(made.sessionFile, folder + QStringLiteral("/Demo SORTED Ardour.ardour"));
    EXPECT_EQ(made.summary(),
              QStringLiteral("Made the Ardour session “Demo SORTED Ardour”: 30 tracks in 9 "
                             "groups."));
    // Nothing of the work is left beside the session.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Demo", "Demo SORTED", "Demo SORTED Ardour"}));

    const ReadSession read = readBack(*tool(), folder, result);
    EXPECT_EQ(read.rate, 44100);
    EXPECT_EQ(read.range, QStringLiteral("0 11025"));
    const QStringList routes{
        "0 Master - - - 2 bus",
        "1 01_KICK_IN DRUMS #C85A2F #C85A2F 1 track",
        "2 02_KICK_OUT DRUMS #C85A2F #C85A2F 1 track",
        "3 03_SNARE_TOP DRUMS #C85A2F #C85A2F 1 track",
        "4 04_SNARE_BTM DRUMS #C85A2F #C85A2F 1 track",
        "5 05_HIHAT DRUMS #C85A2F #C85A2F 1 track",
        "6 06_TOM_1 DRUMS #C85A2F #C85A2F 1 track",
        "7 07_TOM_2 DRUMS #C85A2F #C85A2F 1 track",
        "8 08_OH_L DRUMS #C85A2F #C85A2F 1 track",
        "9 09_OH_R DRUMS #C85A2F #C85A2F 1 track",
        "10 01_DI BASS #5359B8 #5359B8 1 track",
        "11 02_AMP BASS #5359B8 #5359B8 1 track",
        "12 01_ELECTRIC_GTR_1 EGS #CA913E #CA913E 1 track",
        "13 02_ELECTRIC_GTR_2 EGS #CA913E #CA913E 1 track",
        "14 01_ACOUSTIC_GTR AGS #B2B04B #B2B04B 1 track",
        "15 01_PIANO_L KEYS #6BCFD2 #6BCFD2 1 track",
        "16 02_PIANO_R KEYS #6BCFD2 #6BCFD2 1 track",
        "17 03_ORGAN KEYS #6BCFD2 #6BCFD2 1 track",
        "18 04_SYNTH_PAD KEYS #6BCFD2 #6BCFD2 1 track",
        "19 01_PERC_L TRACKS #5A93D6 #5A93D6 1 track",
        "20 02_PERC_R TRACKS #5A93D6 #5A93D6 1 track",
        "21 01_VOX_1 VOCALS #C64BCE #C64BCE 1 track",
        "22 02_VOX_2 VOCALS #C64BCE #C64BCE 1 track",
        "23 03_BGV_L VOCALS #C64BCE #C64BCE 1 track",
        "24 04_BGV_R VOCALS #C64BCE #C64BCE 1 track",
        "25 01_CLICK UTILITY - - 1 track",
        "26 01_FHL CROWD #77AD45 #77AD45 1 track",
        "27 02_FHR CROWD #77AD45 #77AD45 1 track",
        "28 ROOM_MIC_L - - - 1 track",
        "29 ROOM_MIC_R - - - 1 track",
        "30 TALKBACK - - - 1 track",
    };
    EXPECT_EQ(read.routes, routes);
    QStringList regions;
    for (const Item& item : Engine::readManifest(result, Config::defaults())) {
        const QString name = item.newName.chopped(4);
        regions << QStringLiteral("%1 0 11025 0 %2/%3").arg(name, item.folder, item.newName);
    }
    regions.sort();
    EXPECT_EQ(read.regions, regions);
}

// Verifies a session of 200 tracks in five groups and unsorted, mono and stereo mixed inside a
// group, every file of its own length: every route in send order with its group, colour and
// inputs, a name two groups share made the track's own with _02, the unsorted tracks in the
// manifest's order, and every channel of every region from its file.
TEST_F(ArdourSession, shouldHoldTwoHundredTracks) {
    NEED_ARDOUR();
    QList<ResultFile> files;
    QStringList expected;
    QStringList regions;
    int frames = 4800;
    const auto add = [&](const QString& folder, const QString& file, int channels,
                         const QString& group, const QString& color,
                         const QString& trackName = {}) {
        files << ResultFile{folder, file, channels, 48000, frames};
        const QString name = trackName.isEmpty() ? file.chopped(4) : trackName;
        expected << QStringLiteral("%1 %2 %3 %4 %4 %5 track")
                        .arg(expected.size() + 1)
                        .arg(name, group, color)
                        .arg(channels);
        for (int c = 0; c < channels; ++c)
            regions << QStringLiteral("%1 0 %2 %3 %4/%5")
                           .arg(name)
                           .arg(frames)
                           .arg(c)
                           .arg(folder, file);
        frames += 10;
    };
    for (int i = 1; i <= 60; ++i)
        add("01_DRUMS", QStringLiteral("%1_D.wav").arg(i, 3, 10, QLatin1Char('0')), 1, "DRUMS",
            "#C85A2F");
    add("02_BASS", "01_DI.wav", 1, "BASS", "#5359B8");
    add("02_BASS", "02_AMP.wav", 2, "BASS", "#5359B8");
    for (int i = 1; i <= 40; ++i)
        add("05_KEYS", QStringLiteral("%1_K.wav").arg(i, 3, 10, QLatin1Char('0')), 1 + i % 2,
            "KEYS", "#6BCFD2");
    add("08_VOCALS", "001_D.wav", 1, "VOCALS", "#C64BCE", "001_D_02");
    for (int i = 1; i <= 47; ++i)
        add("08_VOCALS", QStringLiteral("%1_V.wav").arg(i, 3, 10, QLatin1Char('0')), 2, "VOCALS",
            "#C64BCE");
    for (int i = 50; i >= 1; --i) {
        const QString name = QStringLiteral("Take %1").arg(i);
        files << ResultFile{"99_UNSORTED", name + QStringLiteral(".wav"), 1, 48000, frames};
        expected << QStringLiteral("%1 %2 - - - 1 track").arg(expected.size() + 1).arg(name);
        regions << QStringLiteral("%1 0 %2 0 99_UNSORTED/%1.wav").arg(name).arg(frames);
        frames += 10;
    }
    ASSERT_EQ(expected.size(), 200);
    expected.prepend(QStringLiteral("0 Master - - - 2 bus"));
    const QString result = dir.filePath(QStringLiteral("Big SORTED"));
    Fixtures::writeResultFolder(result, files);

    const Sessions::ExportedSession made = build(result);
    EXPECT_EQ(made.tracks, 200);
    EXPECT_EQ(made.groups, 4);
    EXPECT_EQ(made.notes, QStringList{QStringLiteral(
                              "Ardour needs every track's name to be its own and keeps some "
                              "names for itself, so “001_D” is “001_D_02”.")});
    const ReadSession read = readBack(*tool(), made.path, result);
    EXPECT_EQ(read.rate, 48000);
    EXPECT_EQ(read.range, QStringLiteral("0 %1").arg(frames - 10));
    EXPECT_EQ(read.routes, expected);
    regions.sort();
    EXPECT_EQ(read.regions, regions);
}

// Verifies that names reach Ardour byte for byte however they are spelled, that a name Ardour
// keeps for itself is changed by Ardour and said in a note, that a file without samples gets
// its track but no region, that a session at a chosen place takes that place's name, and that
// tracks at another sample rate than the session's are named in a note.
TEST_F(ArdourSession, shouldKeepOddNamesAndSayWhatArdourChanged) {
    NEED_ARDOUR();
    const QString result = dir.filePath(QStringLiteral("Odd SORTED"));
    Fixtures::writeResultFolder(result, {{"99_UNSORTED", "Say \"hi\" \\ Ü [1].wav"},
                                         {"99_UNSORTED", "Click.wav"},
                                         {"99_UNSORTED", "EMPTY.wav", 1, 48000, 0},
                                         {"99_UNSORTED", "SLOW.wav", 1, 44100, 4410}});
    const QString chosen = dir.filePath(QStringLiteral("Mix Night"));
    const Sessions::ExportedSession made = build(result, Config::defaults(), chosen);
    EXPECT_EQ(made.path, chosen);
    EXPECT_EQ(made.sessionFile, chosen + QStringLiteral("/Mix Night.ardour"));
    EXPECT_EQ(
        made.notes,
        (QStringList{QStringLiteral("Ardour needs every track's name to be its own and "
                                    "keeps some names for itself, so “Click” is "
                                    "“Click 1”."),
                     QStringLiteral("“99_UNSORTED/SLOW.wav” is not at the session's 48 kHz, so "
                                    "Ardour plays it at the wrong speed until it is "
                                    "converted.")}));
    const ReadSession read = readBack(*tool(), chosen, result);
    EXPECT_EQ(
        read.routes,
        (QStringList{"0 Master - - - 2 bus", "1 Say \"hi\" \\ Ü [1] - - - 1 track",
                     "2 Click 1 - - - 1 track", "3 EMPTY - - - 1 track", "4 SLOW - - - 1 track"}));
    EXPECT_EQ(read.regions, (QStringList{"Click 1 0 4800 0 99_UNSORTED/Click.wav",
                                         "SLOW 0 4410 0 99_UNSORTED/SLOW.wav",
                                         "Say \"hi\" \\ Ü [1] 0 4800 0 99_UNSORTED/Say \"hi\" \\ "
                                         "Ü [1].wav"}));
}

// Verifies the refusals, each with its sentence and with everything left as it was: a session
// of that name already there (never overwritten), a name Ardour does not allow, no session tool,
// and a cancel while the tool works (the tool stopped, its hidden folder gone).
TEST_F(ArdourSession, shouldRefuseAndLeaveEverythingAsItWas) {
    const QString result = dir.filePath(QStringLiteral("Show SORTED"));
    Fixtures::writeResultFolder(result, {{"01_DRUMS", "01_KICK.wav"}});
    const auto before = Fixtures::snapshot(dir.path());
    try {
        Sessions::exportSession(SessionTarget::ardour, result, Config::defaults(),
                                Audio::sndfileReader(), std::nullopt, std::nullopt);
        ADD_FAILURE() << "an export without the tool went through";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), Sessions::ardourMissing());
    }
    EXPECT_EQ(Sessions::findArdour({dir.path()}), std::nullopt);

    NEED_ARDOUR();
    int asked = 0;
    EXPECT_THROW(build(result, Config::defaults(), std::nullopt, [&asked] { return ++asked > 3; }),
                 CancelledError);
    EXPECT_EQ(Fixtures::snapshot(dir.path()), before);

    EXPECT_EQ(refusal(result, dir.filePath(QStringLiteral("A:B"))),
              QStringLiteral("An Ardour session's name cannot hold “:”; choose another name than "
                             "“A:B”."));
    const QString taken = dir.filePath(QStringLiteral("Show SORTED Ardour"));
    Fixtures::writeFile(taken + QStringLiteral("/notes.txt"), "the user's own");
    const auto withTaken = Fixtures::snapshot(dir.path());
    EXPECT_EQ(refusal(result), QStringLiteral("There is already something named “Show SORTED "
                                              "Ardour” in “%1”, so the Ardour session was not "
                                              "made; nothing was overwritten.")
                                   .arg(dir.path()));
    EXPECT_EQ(Fixtures::snapshot(dir.path()), withTaken);
}

} // namespace
