#pragma once

// Where an exported session goes: checks made before any work, so that the user hears at once of
// a name already taken or a folder that cannot be written, and the final step that puts a
// finished session in its place without ever replacing anything.

#include <QString>

namespace Vantrel::Sessions {

// Throws Error with a sentence when path cannot become a new session: its folder does not exist
// or cannot be written, or something (even a dangling symbolic link) is already at path. kind
// chooses the sentences ("… so the Ardour session was not made", "… so the DAWproject file …").
enum class SessionKind { ardourSession, dawprojectFile };
void checkDestination(const QString& path, SessionKind kind);

// Renames the finished from to path, never replacing: when something appeared at path in the
// meantime, throws Error (the already-there sentence of checkDestination) and leaves both.
void putInPlace(const QString& from, const QString& path, SessionKind kind);

// The sentence for a session of that name already at path.
QString alreadyThere(const QString& path, SessionKind kind);

} // namespace Vantrel::Sessions
