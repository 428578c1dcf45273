// The header facts of WAV files read from their own bytes must be what the audio library reads,
// for the plain files it takes and for every unusual one it leaves to the library.

#include "audio/SndfileReader.h"
#include "support/AudioFiles.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <sndfile.h>

using namespace Vantrel;
using namespace Vantrel::Fixtures;
using Audio::SndfileReader;

namespace {

void expectSameAsLibrary(const QString& path) {
    const AudioHeader library = SndfileReader::libraryHeader(path);
    const AudioHeader read = Audio::sndfileReader().header(path);
    EXPECT_EQ(read.readable, library.readable);
    EXPECT_EQ(read.sampleRate, library.sampleRate);
    EXPECT_EQ(read.channels, library.channels);
    EXPECT_EQ(read.bitDepth, library.bitDepth);
    EXPECT_EQ(read.floatingPoint, library.floatingPoint);
    EXPECT_EQ(read.frames, library.frames);
}

TEST(WavHeader, filesTheLibraryWritesReadAsTheLibraryReadsThem) {
    struct Case {
        int format;
        int channels;
        int rate;
    } cases[] = {
        {SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 48000},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_32, 6, 96000},
        {SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 48000},
        {SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1, 192000},
        {SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, 48000},
        {SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 8, 48000},
        {SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000},
        {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, 48000},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const QString path = dir.filePath(QStringLiteral("%1.wav").arg(n++));
        ASSERT_TRUE(writeAudio(path, {.sampleRate = c.rate,
                                      .channels = c.channels,
                                      .format = c.format,
                                      .frames = 1234,
                                      .sample = tone(0.5)}));
        expectSameAsLibrary(path);
        EXPECT_EQ(Audio::sndfileReader().header(path).frames, 1234);
    }
}

// Verifies that the path is opened by its own UTF-8 bytes, made without QString's help for any
// path that fits the buffer: names of two-, three- and four-byte characters, decomposed ones,
// and a path too long for the buffer.
TEST(WavHeader, filesUnderAnyNameReadAsTheLibraryReadsThem) {
    QTemporaryDir dir;
    const QString deep = QString(120, QLatin1Char('d'));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringList(9, deep).join(QLatin1Char('/'))));
    const QString names[] = {
        QStringLiteral("Kick.wav"),
        QString::fromUtf16(u"Caf\u00e9 \u00c5\u00df.wav"),
        QString::fromUtf16(u"\u65e5\u672c\u8a9e \u30dc\u30fc\u30ab\u30eb.wav"),
        QString::fromUtf16(u"\U0001F941 Drums.wav"),
        QString::fromUtf16(u"Cafe\u0301.wav"),
        QStringList(9, deep).join(QLatin1Char('/')) + QStringLiteral("/Long \u00e9.wav"),
    };
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        // Written under a short name and moved: the library takes no path that long.
        const QString written = dir.filePath(QStringLiteral("written.wav"));
        const QString path = dir.filePath(name);
        ASSERT_TRUE(writeAudio(written, {.sampleRate = 48000,
                                         .channels = 2,
                                         .format = SF_FORMAT_WAV | SF_FORMAT_PCM_24,
                                         .frames = 777,
                                         .sample = tone(0.5)}));
        ASSERT_TRUE(QFile::rename(written, path));
        expectSameAsLibrary(path);
        EXPECT_EQ(Audio::sndfileReader().header(path).frames, 777);
    }
}

// A 24-bit stereo WAV file's bytes: a "fmt " chunk of the given tag (1 PCM, 0xFFFE extensible)
// and byte rate, `before` chunks ahead of "data", and a data chunk claiming dataSize bytes of
// which `present` are there.
QByteArray wavBytes(QByteArray before, quint32 dataSize, qsizetype present, int tag = 1,
                    quint32 byteRate = 48000 * 6, int validBits = 24) {
    const auto le = [](quint32 v, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i)
            out += char((v >> (8 * i)) & 0xff);
        return out;
    };
    QByteArray fmt =
        le(quint32(tag), 2) + le(2, 2) + le(48000, 4) + le(byteRate, 4) + le(6, 2) + le(24, 2);
    if (tag == 0xFFFE)
        fmt += le(22, 2) + le(quint32(validBits), 2) + le(3, 4) + le(1, 2) +
               QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    QByteArray body = "WAVE" + before + "fmt " + le(quint32(fmt.size()), 4) + fmt + "data" +
                      le(dataSize, 4) + QByteArray(present, '\x01');
    return "RIFF" + le(quint32(body.size()), 4) + body;
}

TEST(WavHeader, unusualFilesReadAsTheLibraryReadsThem) {
    const QByteArray list = QByteArray("LIST", 4) + QByteArray("\x04\x00\x00\x00INFO", 8);
    const QByteArray odd = QByteArray("abcd", 4) + QByteArray("\x03\x00\x00\x00xyz\x00", 8);
    // A JUNK chunk of size bytes: headers that end past the first kilobyte read, or past all
    // that is read of a header.
    const auto junk = [](quint32 size) {
        QByteArray out("JUNK", 4);
        for (int i = 0; i < 4; ++i)
            out += char((size >> (8 * i)) & 0xff);
        return out + QByteArray(qsizetype(size), '\0');
    };
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"plain", wavBytes({}, 600, 600)},
        {"a LIST chunk first", wavBytes(list, 600, 600)},
        {"an unknown chunk of odd length first", wavBytes(odd, 600, 600)},
        {"data's chunk header across the first kilobyte", wavBytes(junk(976), 600, 600)},
        {"a JUNK chunk past the first kilobyte", wavBytes(junk(2000), 600, 600)},
        {"a JUNK chunk past the header window", wavBytes(junk(9000), 600, 600)},
        {"data cut short", wavBytes({}, 600, 300)},
        {"data of a partial frame", wavBytes({}, 601, 601)},
        {"empty data claiming nothing", wavBytes({}, 0, 60)},
        {"a wrong byte rate", wavBytes({}, 600, 600, 1, 1000)},
        {"extensible", wavBytes({}, 600, 600, 0xFFFE)},
        {"extensible, 20 valid bits", wavBytes({}, 600, 600, 0xFFFE, 48000 * 6, 20)},
        {"not WAVE", QByteArray("RIFF\x04\x00\x00\x00AVI ", 12)},
        {"nothing", {}},
    };
    QTemporaryDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("%1.wav").arg(n++));
        writeFile(path, c.bytes);
        expectSameAsLibrary(path);
    }
}

// Verifies that the content of plain integer WAV files, read and widened without the library,
// is what the library reads: every depth, files longer than one read, odd lengths, full-scale
// runs, identical channels and silence.
TEST(WavHeader, contentOfPlainFilesIsWhatTheLibraryReads) {
    const auto square = [](int frame, int) { return (frame / 7) % 2 ? 1.0 : -1.0; };
    const auto sameInBoth = [](int frame, int) { return std::sin(frame * 0.01) * 0.25; };
    const auto differing = [](int frame, int channel) {
        return channel == 0 ? std::sin(frame * 0.01) * 0.5 : std::cos(frame * 0.02) * 0.9;
    };
    const auto silence = [](int, int) { return 0.0; };
    // Clips in the last frames only, after a quiet start.
    const auto lateClip = [](int frame, int) { return frame > 199990 ? 1.0 : 0.001; };
    struct Case {
        const char* name;
        int format;
        int channels;
        int frames;
        std::function<double(int, int)> sample;
    } cases[] = {
        {"16-bit mono tone", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 4801, tone(0.5)},
        {"24-bit stereo over several reads", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 200001,
         differing},
        {"24-bit stereo full-scale runs", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 50000, square},
        {"24-bit clipped at the very end", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 1, 200000, lateClip},
        {"24-bit extensible, identical channels", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, 30000,
         sameInBoth},
        {"32-bit six channels", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 6, 70001, differing},
        {"16-bit full-scale runs", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 9999, square},
        {"24-bit silence", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2, 1000, silence},
        {"float, through the library", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 5000, tone(0.5)},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("take.wav"));
        QFile::remove(path);
        ASSERT_TRUE(writeAudio(path, {.sampleRate = 48000,
                                      .channels = c.channels,
                                      .format = c.format,
                                      .frames = c.frames,
                                      .sample = c.sample}));
        const std::optional<AudioContent> library = SndfileReader::libraryContent(path, {});
        const std::optional<AudioContent> read = Audio::sndfileReader().content(path, {});
        ASSERT_TRUE(library && read);
        EXPECT_EQ(read->readable, library->readable);
        EXPECT_EQ(read->peakDb, library->peakDb);
        EXPECT_EQ(read->dualMono, library->dualMono);
        EXPECT_EQ(read->clippedRuns, library->clippedRuns);
    }
    // A cancel ends the pass.
    const QString path = dir.filePath(QStringLiteral("long.wav"));
    ASSERT_TRUE(writeAudio(path, {.channels = 2,
                                  .format = SF_FORMAT_WAV | SF_FORMAT_PCM_24,
                                  .frames = 10000,
                                  .sample = tone(0.5)}));
    EXPECT_EQ(Audio::sndfileReader().content(path, [] { return true; }), std::nullopt);
}

} // namespace
