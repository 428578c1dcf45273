#pragma once

#include <QString>
#include <QStringList>

namespace Vantrel::Cli {

// The file names of the demo session, as a multitrack recorder names them.
QStringList demoFileNames();

// Creates folder (and its parents) holding the demo session: a short tone in a small valid WAV
// file per track, and one text file. Never overwrites: throws FileError when a file exists.
void writeDemoSession(const QString& folder);

} // namespace Vantrel::Cli
