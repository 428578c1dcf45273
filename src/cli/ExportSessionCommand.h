#pragma once

#include <QStringList>

#include <atomic>

namespace Vantrel::Cli {

// export-session RESULT --to ardour|dawproject [--output PATH] [--json]: the session for another
// DAW made from a result folder, as the done screen's "Open In" makes it. Stops between two steps
// (and the Ardour tool at once) once interrupted is set.
int exportSessionCommand(const QStringList& args, const std::atomic<bool>& interrupted);

} // namespace Vantrel::Cli
