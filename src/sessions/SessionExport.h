#pragma once

// One export of a result folder to another DAW, as the command line and the done screen start it:
// the plan read through the engine's manifest reader, the destination chosen or given, the
// session written, and what to tell the user.

#include "core/AudioFacts.h"
#include "core/Config.h"
#include "sessions/ArdourSession.h"
#include "sessions/SessionPlan.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace Vantrel::Sessions {

enum class SessionTarget { ardour, dawproject };

// "ardour", "dawproject": the names of the command line.
QString targetName(SessionTarget target);
std::optional<SessionTarget> targetNamed(const QString& name);

struct ExportedSession {
    SessionTarget target = SessionTarget::dawproject;
    // The session made: the Ardour session's folder, or the DAWproject file.
    QString path;
    // The file a DAW opens: the Ardour session file, or the DAWproject file.
    QString sessionFile;
    qsizetype tracks = 0;
    qsizetype groups = 0;
    QStringList notes;

    // "Made the Ardour session “X”: 30 tracks in 9 groups." or "Saved “X.dawproject”: …", then
    // the notes.
    QString summary() const;
};

// Where the session goes without a choice of the user's: beside the result folder, the Ardour
// session named after it plus " Ardour", the DAWproject file after it plus ".dawproject".
QString defaultDestination(SessionTarget target, const SessionPlan& plan);

// output as the user gave it: an absolute, clean path; a DAWproject file gets its extension when
// the name lacks it.
QString destinationFor(SessionTarget target, const QString& output);

// Reads resultFolder with cfg and reader (planSession), then writes the session at output (or
// the default destination). For Ardour, tool is the session tool; none fails with
// ardourMissing(). Throws Error with a sentence, or CancelledError.
ExportedSession exportSession(SessionTarget target, const QString& resultFolder, const Config& cfg,
                              const AudioReader& reader, const std::optional<QString>& output,
                              const std::optional<ArdourTool>& tool,
                              const ExportProgress& progress = {},
                              const ExportCancelled& cancelled = {});

} // namespace Vantrel::Sessions
