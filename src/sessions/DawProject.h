#pragma once

// The DAWproject file: the open exchange format that Bitwig Studio, Studio One and Cubase read. A
// ZIP container holding "project.xml" (the tracks, their mixer channels and the arrangement),
// "metadata.xml" and the audio files themselves.
//
// The audio is embedded, not referenced: the format exists to take a session to another
// computer and another program, where the result folder's paths mean nothing, and a file that
// carries its audio opens anywhere as it is. The files are stored without compression (recorded
// audio gains next to nothing from it and would only cost time), the XML is deflated, and the
// container switches to ZIP64 by itself past 4 GB.

#include "sessions/SessionPlan.h"

#include <QByteArray>
#include <QString>

namespace Vantrel::Sessions {

// Where a track's audio lies inside the container: "audio/" and its path below the result
// folder ("audio/01_DRUMS/01_KICK_IN.wav"), unique because the result folder's paths are.
QString embeddedPath(const PlannedTrack& track);

// project.xml: one group track per rule group (contentType "tracks", the group's colour, a
// submix channel) holding its tracks in order, the unsorted tracks after the groups, then the
// master track; each audio track carries the group's colour and a channel of the file's channel
// count routed to its group's channel (or the master's), and one clip at the session start in an
// arrangement timed in seconds, its length and channels from the file's header.
QByteArray dawProjectXml(const SessionPlan& plan);

// metadata.xml: the result folder's name as the title.
QByteArray dawMetadataXml(const SessionPlan& plan);

// Writes the DAWproject file at target (which must not exist; see checkDestination): the
// container is written under a hidden name beside it and renamed into place only when whole, so
// a failure or a cancel leaves nothing behind and nothing is ever replaced. Throws Error with a
// sentence, or CancelledError.
void writeDawProject(const SessionPlan& plan, const QString& target,
                     const ExportProgress& progress = {}, const ExportCancelled& cancelled = {});

} // namespace Vantrel::Sessions
