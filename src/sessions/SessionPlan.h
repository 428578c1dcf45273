#pragma once

// What a session for another DAW holds, read from a result folder: the send jobs (groups in rule
// order with their palette colour, the unsorted tracks last), each track's file, name and audio
// header. The writers of the Ardour session and of the DAWproject file work from this only.

#include "core/AudioFacts.h"
#include "core/Config.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace Vantrel::Sessions {

// One track of the session: one audio file of the result folder.
struct PlannedTrack {
    // Absolute path of the audio file.
    QString file;
    // Path of the file below the result folder: "01_DRUMS/01_KICK_IN.wav".
    QString relativePath;
    // The file's new name without its extension: the track's name.
    QString name;
    AudioHeader audio;
    bool operator==(const PlannedTrack&) const = default;
};

// The tracks of one send job: a rule group's, or the unsorted ones (no name, no colour).
struct PlannedGroup {
    std::optional<QString> name;
    // The display colour (0xRRGGBB) of the group's palette cell; none without a colour.
    std::optional<std::uint32_t> color;
    QList<PlannedTrack> tracks;
    bool operator==(const PlannedGroup&) const = default;
};

struct SessionPlan {
    // The result folder (absolute, clean) and its name, which titles the session.
    QString resultFolder;
    QString title;
    QList<PlannedGroup> groups;
    // The sample rate most tracks have (on a tie, the first track's): the session's rate.
    int sampleRate = 0;

    qsizetype trackCount() const;
    // How many groups have a name (the unsorted tracks make none).
    qsizetype namedGroupCount() const;
    // The tracks whose sample rate differs from the session's, by relative path.
    QStringList otherRates() const;
};

// Progress of a session export: the fraction done (0 to 1) and what is being done.
using ExportProgress = std::function<void(double fraction, const QString& status)>;
// Asked between steps; true stops the export, which then throws CancelledError.
using ExportCancelled = std::function<bool()>;

// Reads the result folder through the engine's manifest reader with the rules of cfg, refusing
// what it refuses (no manifest, a name leaving the folder, no tracks, tracks not in place), and
// reads every track's header with reader. Throws Error with a sentence: those of the manifest
// reader, or one naming the tracks whose audio cannot be read.
SessionPlan planSession(const QString& resultFolder, const Config& cfg, const AudioReader& reader);

// "#RRGGBB" of a 0xRRGGBB colour.
QString htmlColor(std::uint32_t rgb);

} // namespace Vantrel::Sessions
