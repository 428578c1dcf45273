#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

namespace Vantrel {

// What an audio file's header says. A file the audio library cannot read has readable false
// and nothing else.
struct AudioHeader {
    bool readable = false;
    int sampleRate = 0;
    int channels = 0;
    // Bits per sample of integer PCM, 32 or 64 for floating point; 0 when the format has no
    // fixed depth (compressed formats).
    int bitDepth = 0;
    bool floatingPoint = false;
    std::int64_t frames = 0;

    double seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
    bool operator==(const AudioHeader&) const = default;
};

// What one streaming pass over a file's samples found. readable is false when the samples could
// not be read to the end.
struct AudioContent {
    bool readable = true;
    // The highest sample magnitude in dBFS; none for digital silence (all samples zero).
    std::optional<double> peakDb = std::nullopt;
    // Runs of at least clipRunLength consecutive samples of one channel at full scale.
    std::int64_t clippedRuns = 0;
    // Two or more channels whose samples differ nowhere by more than the silence level.
    bool dualMono = false;

    bool operator==(const AudioContent&) const = default;
};

// Below this peak a file is silent, and channels whose difference stays below it are identical.
inline constexpr double silenceDb = -90.0;
// Consecutive full-scale samples that count as one clipped run.
inline constexpr int clipRunLength = 3;

// The reader of audio files the scan and the checks use; the audio library lives behind it, so
// that the core does not depend on one. Both calls may run on any thread, concurrently.
class AudioReader {
public:
    virtual ~AudioReader() = default;
    // The header facts; never throws: a file that cannot be read gives readable false.
    virtual AudioHeader header(const QString& path) const = 0;
    // One streaming pass over the samples, in fixed blocks; none when cancelled() said yes
    // between two blocks. Never throws.
    virtual std::optional<AudioContent> content(const QString& path,
                                                const std::function<bool()>& cancelled) const = 0;
};

// One audio file as the checks see it: its name, its header and, once the content pass has
// read it, its content.
struct AudioFile {
    QString file = {};
    AudioHeader header = {};
    std::optional<AudioContent> content = std::nullopt;
};

// A session finding: its kind ("sample-rate", "bit-depth", "silent", "dual-mono", "clipping",
// "short", "unreadable"), the names of the files it concerns, and a sentence for the user.
struct AudioFinding {
    QString kind;
    QStringList files;
    QString text;
    bool operator==(const AudioFinding&) const = default;
};

namespace Engine {

// The findings of a session, in the order of the kinds above: sample rates and bit depths that
// differ from the majority, silent, dual-mono and clipped files (among those whose content is
// known), files shorter than half the median length, and files that could not be read.
QList<AudioFinding> audioFindings(const QList<AudioFile>& files);

// "44.1 kHz", "48 kHz".
QString rateText(int sampleRate);
// "16-bit", "32-bit float"; empty when the format has no fixed depth.
QString depthText(const AudioHeader& header);

} // namespace Engine
} // namespace Vantrel
