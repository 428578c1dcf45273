#pragma once

// An Ardour session built for real by Ardour's own headless session tool (ardour7-lua and its
// successors: a Lua interpreter on Ardour's engine that creates, loads and saves sessions
// without a window).
//
// The tool makes the session, the tracks (mono or stereo as each file is, named after it, in
// send-job order), a route group per rule group named and coloured after it, and saves. Its Lua
// interface cannot import a file without the editor's window, so the audio is then written into
// the session file as Ardour writes imported audio (a source per channel, a whole-file region
// per file, the session range), and the tool loads the session again, lays each file's region
// at the session start on its track through its own playlist interface, checks that every
// region plays from its file, and saves. Only a session that passed all of that is moved into
// its place.
//
// The audio is referenced where it lies in the result folder, as Ardour does for files imported
// without copying: no second copy of a session's gigabytes, and nothing to wait for. The session
// opens without asking for files as long as the result folder stays where it is; Ardour's own
// "missing files" dialog finds them again after a move.

#include "sessions/SessionPlan.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Vantrel::Sessions {

// Ardour's session tool, and Ardour itself to open a session in.
struct ArdourTool {
    // The Lua session tool, such as /usr/bin/ardour7-lua.
    QString lua;
    // Its major version, 7 or later.
    int version = 0;
    // The Ardour program of the same version ("ardour7", or Debian's "ardour"); none when only
    // the session tool is there.
    std::optional<QString> gui;
};

// The newest session tool of Ardour 7 or later in the folders of PATH (ardour9-lua, ardour8-lua,
// ardour7-lua), then in Ardour's own bundles under /opt (Ardour-*/bin); none when Ardour is not
// installed. Ardour 6 and older have another session format and are not used.
std::optional<ArdourTool> findArdour();
// The same in the folders given, in that order.
std::optional<ArdourTool> findArdour(const QStringList& folders);

// "Ardour is not installed: …", the sentence for no tool found.
QString ardourMissing();

// The session folder beside the result folder: its name plus " Ardour", with the characters
// Ardour does not allow in a session name ("/", "\", ":", ";", control characters) made "_".
QString defaultArdourFolder(const SessionPlan& plan);

// What was built.
struct ArdourSession {
    // The session folder and its session file (folder/NAME.ardour).
    QString folder;
    QString file;
    // The tracks' names as Ardour gave them, in order.
    QStringList trackNames;
    // Sentences about what the user should know: names Ardour changed, sample rates other than
    // the session's. Empty when there is nothing to say.
    QStringList notes;
};

// Builds the session in the new folder `folder` (its last component names the session) with
// tool. Checks the destination first (checkDestination); works in a hidden folder beside it and
// moves the finished session into place only when the tool loaded it back with every file found,
// so a failure or a cancel leaves nothing behind and nothing is ever replaced. Throws Error with
// a sentence (the tool's own words included when it failed), or CancelledError; the tool is
// stopped at once on a cancel.
ArdourSession buildArdourSession(const SessionPlan& plan, const QString& folder,
                                 const ArdourTool& tool, const ExportProgress& progress = {},
                                 const ExportCancelled& cancelled = {});

// Opens a session in Ardour, detached from this program. False when there is no Ardour program
// or it could not be started.
bool openInArdour(const ArdourTool& tool, const QString& sessionFile);

// Text as a Lua string literal that survives any bytes: printable ASCII as it is, everything else
// as decimal escapes of its UTF-8 bytes.
QString luaString(const QString& text);

} // namespace Vantrel::Sessions
