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

// One progress report of a send: a status line, which says what the send does now and how far
// it is, or a note, which records what happened along the way. Only status lines move a
// progress display; a note carries the fraction of the step it belongs to, or 0.5.
struct SendReport {
    enum class Kind { status, note };
    Kind kind = Kind::status;
    QString text;
    double fraction = 0;
    bool operator==(const SendReport&) const = default;
};

// The report's text as the send log shows it: a note indented by two spaces under the status
// lines.
QString sendLogText(const SendReport& report);

// One progress line of a send log, without its line end: seconds since the start of the send
// (one decimal, 5 wide), "s", the percentage (rounded, 3 wide), "%", two spaces, the status.
// Numbers are formatted in the C locale, whatever the process's locale is.
QString sendLogLine(double seconds, double fraction, const QString& status);
// The same for a report: its fraction, and its text as sendLogText gives it.
QString sendLogLine(double seconds, const SendReport& report);

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
