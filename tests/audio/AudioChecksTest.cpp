// The audio checks: the findings' sentences, and a session of small generated files, each
// giving exactly its findings through the scan's header facts and the content pass.

#include "audio/SndfileReader.h"
#include "core/AudioFacts.h"
#include "core/AudioPass.h"
#include "core/Engine.h"
#include "support/AudioFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <set>
#include <sndfile.h>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>

void PrintTo(const QString& s, std::ostream* os);

namespace Vantrel {
namespace {

using Fixtures::amplitudeOf;
using Fixtures::AudioShape;
using Fixtures::tone;
using Fixtures::writeAudio;

AudioHeader pcm(int rate, int depth, std::int64_t frames, int channels = 1) {
    return {.readable = true,
            .sampleRate = rate,
            .channels = channels,
            .bitDepth = depth,
            .frames = frames};
}

AudioContent level(double peakDb) {
    return {.peakDb = peakDb};
}

// ---- The sentences ----

TEST(AudioFindings, SentencesOfASession) {
    // 3 files at 44.1 kHz among 48 at 48 kHz: the example every user should understand.
    QList<AudioFile> files;
    for (int i = 0; i < 48; ++i)
        files << AudioFile{QStringLiteral("%1.wav").arg(i),
                           pcm(i < 3 ? 44100 : 48000, 24, i < 3 ? 441000 : 480000), level(-12)};
    const QList<AudioFinding> findings = Engine::audioFindings(files);
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].kind, QStringLiteral("sample-rate"));
    EXPECT_EQ(findings[0].files, (QStringList{"0.wav", "1.wav", "2.wav"}));
    EXPECT_EQ(findings[0].text, QStringLiteral("3 files are at 44.1 kHz, the other 45 at 48 kHz: "
                                               "Logic Pro will convert them on import."));
}

TEST(AudioFindings, SentenceForms) {
    struct Case {
        const char* name;
        QList<AudioFile> files;
        QString text;
    };
    const std::vector<Case> cases = {
        {"one odd rate names none of the majority's files",
         {{"a.wav", pcm(96000, 24, 96000), level(-6)},
          {"b.wav", pcm(48000, 24, 48000), level(-6)},
          {"c.wav", pcm(48000, 24, 48000), level(-6)}},
         "1 file is at 96 kHz, the other 2 at 48 kHz: Logic Pro will convert it on import."},
        {"two odd rates, most files first",
         {{"a.wav", pcm(96000, 24, 96000), level(-6)},
          {"b.wav", pcm(44100, 24, 44100), level(-6)},
          {"c.wav", pcm(44100, 24, 44100), level(-6)},
          {"d.wav", pcm(48000, 24, 48000), level(-6)},
          {"e.wav", pcm(48000, 24, 48000), level(-6)},
          {"f.wav", pcm(48000, 24, 48000), level(-6)}},
         "3 files are at other sample rates (2 at 44.1 kHz, 1 at 96 kHz), the other 3 at 48 kHz: "
         "Logic Pro will convert them on import."},
        {"bit depth, float told apart from integer",
         {{"a.wav",
           {.readable = true,
            .sampleRate = 48000,
            .channels = 1,
            .bitDepth = 32,
            .floatingPoint = true,
            .frames = 48000},
           level(-6)},
          {"b.wav", pcm(48000, 24, 48000), level(-6)},
          {"c.wav", pcm(48000, 24, 48000), level(-6)}},
         "1 file is 32-bit float, the other 2 24-bit: it may come from another recording or "
         "export."},
        {"one silent file is named",
         {{"Talkback.wav", pcm(48000, 24, 48000), AudioContent{}},
          {"b.wav", pcm(48000, 24, 48000), level(-6)}},
         "“Talkback.wav” is silent: its peak is below −90 dBFS."},
        {"a short file with the median",
         {{"a.wav", pcm(48000, 24, 48000 * 4), level(-6)},
          {"b.wav", pcm(48000, 24, 48000 * 4), level(-6)},
          {"c.wav", pcm(48000, 24, 48000), level(-6)}},
         "“c.wav” lasts 1.0 s, less than half the session’s median of 4.0 s: a wrong or "
         "truncated file?"},
        {"files not read",
         {{"a.wav", AudioHeader{}, std::nullopt}, {"b.aif", AudioHeader{}, std::nullopt}},
         "2 files could not be read as audio: format not read."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QList<AudioFinding> findings = Engine::audioFindings(c.files);
        ASSERT_EQ(findings.size(), 1);
        EXPECT_EQ(findings[0].text, c.text);
    }
}

// A silent stereo file has identical channels, but it is reported as silent only; the content
// pass not having reached a file yet reports nothing about its samples.
TEST(AudioFindings, SilenceIsNotDualMonoAndUnreadContentIsNoFinding) {
    AudioContent silentStereo;
    silentStereo.dualMono = true;
    const QList<AudioFinding> findings =
        Engine::audioFindings({{"a.wav", pcm(48000, 24, 48000, 2), silentStereo},
                               {"b.wav", pcm(48000, 24, 48000, 2), std::nullopt}});
    ASSERT_EQ(findings.size(), 1);
    EXPECT_EQ(findings[0].kind, QStringLiteral("silent"));
    EXPECT_EQ(findings[0].files, QStringList{"a.wav"});
}

// ---- A generated session ----

class AudioSession : public testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

TEST_F(AudioSession, EachPlantedAccidentGivesExactlyItsFinding) {
    ASSERT_TRUE(dir.isValid());
    const auto stereo = [](int i, int c) { return tone(0.5, c ? 660.0 : 440.0)(i, c); };
    const auto clipped = [](int i, int c) { return tone(2.0)(i, c); };
    const auto bit16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    const auto aiff = SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
    struct Planted {
        const char* file;
        AudioShape shape;
        std::set<QString> kinds;
    };
    const std::vector<Planted> table = {
        {"01 Tone.wav", {.sample = tone(0.5)}, {}},
        {"02 Tone.wav", {.sample = tone(0.25, 220)}, {}},
        {"03 Tone.aif", {.format = aiff, .sample = tone(0.5)}, {}},
        {"04 True Stereo.wav", {.channels = 2, .sample = stereo}, {}},
        {"05 Silence.wav", {.sample = [](int, int) { return 0.0; }}, {"silent"}},
        {"06 Quiet.wav", {.sample = tone(amplitudeOf(-95))}, {"silent"}},
        {"07 Dual Mono.wav", {.channels = 2, .sample = tone(0.5)}, {"dual-mono"}},
        {"08 Clipped.wav", {.sample = clipped}, {"clipping"}},
        {"09 Rate.wav",
         {.sampleRate = 44100, .frames = 4410, .sample = tone(0.5)},
         {"sample-rate"}},
        {"10 Depth.wav", {.format = bit16, .sample = tone(0.5)}, {"bit-depth"}},
        {"11 Short.wav", {.frames = 1000, .sample = tone(0.5)}, {"short"}},
        {"12 Truncated.wav", {.sample = tone(0.5)}, {"unreadable"}},
        {"13 Notes.wav", {}, {"unreadable"}},
    };
    for (const Planted& p : table) {
        if (p.shape.sample) {
            ASSERT_TRUE(writeAudio(path(p.file), p.shape));
        }
    }
    // A header cut short, and a text file with an audio extension.
    ASSERT_TRUE(QFile::resize(path("12 Truncated.wav"), 20));
    QFile notes(path("13 Notes.wav"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("Recorded at the live show.\n");
    notes.close();

    const AudioReader& reader = Audio::sndfileReader();
    const Engine::ScanResult scan = Engine::scan(dir.path(), Config::defaults(), &reader);
    ASSERT_EQ(scan.items.size(), qsizetype(table.size()));
    for (const Item& item : scan.items)
        ASSERT_TRUE(item.audio.has_value());
    QHash<QString, AudioContent> contents;
    ASSERT_TRUE(Engine::readContent(
        Engine::contentToRead(scan.items, contents), reader, [] { return false; },
        [&contents](const QString& url, const AudioContent& c) { contents.insert(url, c); }));
    const QList<AudioFile> files = Engine::audioFiles(scan.items, contents);
    ASSERT_EQ(files.size(), scan.items.size());
    std::map<QString, std::set<QString>> found;
    for (const AudioFinding& f : Engine::audioFindings(files))
        for (const QString& file : f.files)
            found[file].insert(f.kind);
    for (const Planted& p : table) {
        SCOPED_TRACE(p.file);
        EXPECT_EQ(found[QString::fromUtf8(p.file)], p.kinds);
    }

    // The facts behind them.
    QMap<QString, AudioFile> byName;
    for (const AudioFile& f : files)
        byName.insert(f.file, f);
    const AudioFile tone1 = byName.value("01 Tone.wav");
    EXPECT_EQ(tone1.header, pcm(48000, 24, 4800));
    EXPECT_NEAR(*tone1.content->peakDb, -6.02, 0.05);
    EXPECT_EQ(tone1.content->clippedRuns, 0);
    EXPECT_FALSE(tone1.content->dualMono);
    EXPECT_EQ(byName.value("03 Tone.aif").header, pcm(48000, 24, 4800));
    EXPECT_EQ(byName.value("10 Depth.wav").header.bitDepth, 16);
    EXPECT_NEAR(*byName.value("06 Quiet.wav").content->peakDb, -95.0, 0.5);
    EXPECT_EQ(byName.value("05 Silence.wav").content->peakDb, std::nullopt);
    EXPECT_TRUE(byName.value("07 Dual Mono.wav").content->dualMono);
    EXPECT_FALSE(byName.value("04 True Stereo.wav").content->dualMono);
    // A tone at twice full scale clips on every crest: 440 Hz for 0.1 s, two crests a period.
    EXPECT_EQ(byName.value("08 Clipped.wav").content->clippedRuns, 88);
    EXPECT_FALSE(byName.value("12 Truncated.wav").header.readable);
}

// Two full-scale samples in a row are not a clipped run, three are; negative full scale counts.
TEST_F(AudioSession, ClippedRunsNeedThreeConsecutiveFullScaleSamples) {
    ASSERT_TRUE(dir.isValid());
    const auto spikes = [](int i, int) {
        if (i >= 100 && i < 102)
            return 1.0; // two: no run
        if (i >= 200 && i < 203)
            return -1.0; // three: a run
        if (i >= 300 && i < 310)
            return 1.0; // ten: one run
        return 0.1;
    };
    for (const int format : {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_FLOAT}) {
        SCOPED_TRACE(format);
        const QString file = dir.filePath(QStringLiteral("spikes-%1.wav").arg(format));
        ASSERT_TRUE(writeAudio(file, {.format = SF_FORMAT_WAV | format, .sample = spikes}));
        const std::optional<AudioContent> content = Audio::sndfileReader().content(file, {});
        ASSERT_TRUE(content);
        EXPECT_EQ(content->clippedRuns, 2);
        EXPECT_NEAR(*content->peakDb, 0.0, 0.01);
    }
}

// The pass stops between two blocks once cancelled, and a file that is not audio reads as not
// readable rather than failing.
TEST_F(AudioSession, ContentPassStopsWhenCancelled) {
    ASSERT_TRUE(dir.isValid());
    const QString file = path("long.wav");
    ASSERT_TRUE(writeAudio(file, {.frames = Audio::blockFrames * 3, .sample = tone(0.5)}));
    int asked = 0;
    const auto cancelAfterFirstBlock = [&asked] { return ++asked > 1; };
    EXPECT_EQ(Audio::sndfileReader().content(file, cancelAfterFirstBlock), std::nullopt);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(Audio::sndfileReader().content(dir.path(), {})->readable);
}

// Verifies that the reader takes only the regular file named: a symbolic link to a good file is
// unreadable, and a FIFO is refused at once instead of waiting for a writer.
TEST_F(AudioSession, ReaderFollowsNoLinkAndWaitsOnNoFifo) {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeAudio(path("Kick.wav"), {.sample = tone(0.5)}));
    ASSERT_TRUE(QFile::link(path("Kick.wav"), path("Link.wav")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("Pipe.wav")).constData(), 0600), 0);
    const AudioReader& reader = Audio::sndfileReader();
    ASSERT_TRUE(reader.header(path("Kick.wav")).readable);
    for (const char* name : {"Link.wav", "Pipe.wav"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(reader.header(path(name)), AudioHeader{});
        EXPECT_EQ(reader.content(path(name), {}), AudioContent{.readable = false});
    }
}

// ---- The content pass ----

// A reader that knows each file's content by name, throws for "throws.wav" and lists what it
// was asked to read (from any of the threads reading side by side).
class ScriptedReader : public AudioReader {
public:
    mutable std::mutex listing;
    mutable QStringList asked;
    AudioHeader header(const QString&) const override { return pcm(48000, 24, 4800); }
    std::optional<AudioContent> content(const QString& path,
                                        const std::function<bool()>& cancelled) const override {
        {
            const std::lock_guard<std::mutex> lock(listing);
            asked << path;
        }
        if (path.endsWith(QStringLiteral("throws.wav")))
            throw std::runtime_error("broken reader");
        if (cancelled())
            return std::nullopt;
        return level(-6);
    }
};

Item audioItem(const QString& url, std::optional<AudioHeader> header) {
    Item item;
    item.url = url;
    item.audio = header;
    return item;
}

// Verifies the pass the review and the check share: only files with a readable header and no
// content yet are read; a reader that throws counts its file as not read and the pass goes on; a
// cancel before the pass reads nothing; the files pair each header with its content.
TEST(AudioPass, ReadsWhatIsMissingStopsOnCancelAndPairsContentWithItsFile) {
    const QList<Item> items = {
        audioItem(QStringLiteral("/s/a.wav"), pcm(48000, 24, 4800)),
        audioItem(QStringLiteral("/s/throws.wav"), pcm(48000, 24, 4800)),
        audioItem(QStringLiteral("/s/unreadable.wav"), AudioHeader{}),
        audioItem(QStringLiteral("/s/no header.wav"), std::nullopt),
        audioItem(QStringLiteral("/s/known.wav"), pcm(48000, 24, 4800)),
        audioItem(QStringLiteral("/s/b.wav"), pcm(48000, 24, 4800)),
    };
    QHash<QString, AudioContent> contents{{QStringLiteral("/s/known.wav"), level(-1)}};
    const QStringList toRead = Engine::contentToRead(items, contents);
    EXPECT_EQ(toRead, (QStringList{"/s/a.wav", "/s/throws.wav", "/s/b.wav"}));

    ScriptedReader reader;
    const auto store = [&contents](const QString& url, const AudioContent& c) {
        contents.insert(url, c);
    };
    ASSERT_TRUE(Engine::readContent(
        toRead, reader, [] { return false; }, store));
    QStringList asked = reader.asked;
    asked.sort();
    QStringList wanted = toRead;
    wanted.sort();
    EXPECT_EQ(asked, wanted);
    EXPECT_FALSE(contents.value(QStringLiteral("/s/throws.wav")).readable);
    EXPECT_EQ(contents.value(QStringLiteral("/s/b.wav")), level(-6));

    const QList<AudioFile> files = Engine::audioFiles(items, contents);
    QStringList names;
    for (const AudioFile& f : files)
        names << f.file;
    EXPECT_EQ(names, (QStringList{"a.wav", "throws.wav", "unreadable.wav", "known.wav", "b.wav"}))
        << "a file without header facts is not one the checks see";
    EXPECT_EQ(files[2].content, std::nullopt);
    EXPECT_EQ(files[3].content, level(-1));

    // Cancelled before it starts: nothing is asked for or handed on.
    ScriptedReader stopped;
    QHash<QString, AudioContent> partial;
    EXPECT_FALSE(Engine::readContent(
        {QStringLiteral("/s/a.wav"), QStringLiteral("/s/b.wav")}, stopped, [] { return true; },
        [&](const QString& url, const AudioContent& c) { partial.insert(url, c); }));
    EXPECT_TRUE(stopped.asked.isEmpty());
    EXPECT_TRUE(partial.isEmpty());
}

// A reader whose content of "<n>.wav" has a peak of -n dB, that throws for names with "throw"
// and that tells how many files it read at once at most.
class CountingReader : public AudioReader {
public:
    mutable std::atomic<int> reading{0};
    mutable std::atomic<int> most{0};
    AudioHeader header(const QString&) const override { return {}; }
    std::optional<AudioContent> content(const QString& path,
                                        const std::function<bool()>& cancelled) const override {
        const int now = ++reading;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        --reading;
        if (path.contains(QLatin1String("throw")))
            throw std::runtime_error("unreadable");
        if (cancelled && cancelled())
            return std::nullopt;
        return AudioContent{.peakDb = -QFileInfo(path).baseName().toDouble()};
    }
};

// Verifies that the content pass over many files gives each file its own content, counts a
// throwing reader's file as not read, and stops when cancelled.
TEST(ReadContents, eachFileGetsItsOwnContentAndACancelStops) {
    CountingReader reader;
    QStringList paths;
    for (int n = 0; n < 40; ++n)
        paths << QStringLiteral("/S/%1.wav").arg(n);
    paths << QStringLiteral("/S/throw.wav");
    std::map<QString, AudioContent> got;
    EXPECT_TRUE(Engine::readContent(
        paths, reader, [] { return false; },
        [&](const QString& path, const AudioContent& c) {
            EXPECT_TRUE(got.emplace(path, c).second) << "twice: " << path.toStdString();
        }));
    ASSERT_EQ(got.size(), size_t(paths.size()));
    for (int n = 0; n < 40; ++n)
        EXPECT_EQ(got[paths[n]].peakDb, -double(n));
    EXPECT_EQ(got[paths[40]], AudioContent{.readable = false});
    if (std::thread::hardware_concurrency() > 1) {
        EXPECT_GT(reader.most.load(), 1) << "the files were read one at a time";
    }

    std::atomic<int> calls{0};
    int published = 0;
    EXPECT_FALSE(Engine::readContent(
        paths, reader, [&] { return ++calls > 5; },
        [&](const QString&, const AudioContent&) { ++published; }));
    EXPECT_LT(published, 5);
}

} // namespace
} // namespace Vantrel
