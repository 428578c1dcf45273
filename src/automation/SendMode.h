#pragma once

// The vocabulary of a send shared by the application model, the command line, the benchmarks and
// the tests: the modes a send can run in, the send log's progress line, and how a send ended.

#include <QString>

#include <optional>

namespace Vantrel {

// How a send brings the tracks into Logic Pro; LogicSender::send runs one of them.
enum class SendMode {
    fast,      // every file in one drag, then stacks (the sorted run when group names lead)
    grouped,   // group by group
    slow,      // one file at a time through the import dialog
    stacksOnly // stacks of tracks already in the project
};

// The mode's name on the command line: "fast", "grouped", "slow", "stacks-only".
QString sendModeName(SendMode mode);
// The mode of that name; none for any other text.
std::optional<SendMode> sendModeNamed(const QString& name);

// Whether a progress report is a note (a text beginning with two spaces) rather than a status
// line. Notes record what happened along the way; only status lines move a progress display.
bool isSendNote(const QString& status);

// One progress line of a send log, without its line end: seconds since the start of the send
// (one decimal, 5 wide), "s", the percentage (rounded, 3 wide), "%", two spaces, the status.
// Numbers are formatted in the C locale, whatever the process's locale is.
QString sendLogLine(double seconds, double fraction, const QString& status);

// How a send ended.
struct SendOutcome {
    // The run went through.
    bool ok = false;
    // The user stopped it.
    bool cancelled = false;
    // What the user is told: "Sent N tracks and M stacks to Logic." or the failure's message.
    QString result;

    // The send log's closing line: "OK", or "ERROR: " and the message.
    QString logLine() const;
};

} // namespace Vantrel
