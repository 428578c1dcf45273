#pragma once

#include <QStringList>

namespace Vantrel::Cli {

// One usage line of the send command, for the program's usage text.
extern const char* const sendUsage;

// "send FOLDER --simulate [--mode fast|grouped|slow|stacks-only] [--config FILE]
// [--quirk NAME]... [--realtime] [--json]" and "send --list-quirks": sends the tracks of a
// result folder to the simulated Logic Pro and prints the result, the send log and the session
// the simulator ends up holding. Returns the exit status (0 sent, 1 the send failed); throws
// Cli::UsageError, carrying the usage lines above, on bad usage and Vantrel::Error when the
// folder cannot be read.
int sendCommand(const QStringList& args);

} // namespace Vantrel::Cli
