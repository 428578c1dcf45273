#pragma once

#include <QStringList>

#include <atomic>

namespace Vantrel::Cli {

// "send FOLDER --simulate [--mode fast|grouped|slow|stacks-only] [--config FILE]
// [--quirk NAME]... [--realtime] [--json]" and "send --list-quirks": sends the tracks of a
// result folder to the simulated Logic Pro and prints the result, the send log and the session
// the simulator ends up holding. Returns the exit status (0 sent, 1 the send failed); throws
// Cli::UsageError on bad usage and Vantrel::Error when the folder cannot be read. Once
// interrupted is set (Ctrl-C) the send is cancelled as the panel's Cancel does, and
// CancelledError is thrown when it has stopped.
int sendCommand(const QStringList& args, const std::atomic<bool>& interrupted);

} // namespace Vantrel::Cli
