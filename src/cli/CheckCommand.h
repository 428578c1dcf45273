#pragma once

#include <QStringList>

#include <atomic>

namespace Vantrel::Cli {

// check FOLDER [--json]: the header facts and a content pass of every audio file directly inside
// FOLDER, and the session's findings. The pass stops between two blocks once interrupted is set.
int checkCommand(const QStringList& args, const std::atomic<bool>& interrupted);

} // namespace Vantrel::Cli
