#pragma once

#include <QByteArray>
#include <QString>

namespace Vantrel {

// Upper bounds for the program's own small files, far above what a real one ever reaches: a
// configuration of a few hundred rules, a journal or listing of a few million files.
namespace SmallFileCap {
inline constexpr qint64 config = qint64(1) << 20;
inline constexpr qint64 journal = qint64(1) << 30;
inline constexpr qint64 manifest = qint64(1) << 28;
} // namespace SmallFileCap

// Reads the whole regular file at path, which may hold at most cap bytes. A symbolic link at
// path itself is not followed and a FIFO or device is never opened for reading, so nothing
// here waits on another process. Throws FileError "Couldn't read “path”: <reason>." with
// the errno value as code: the system's reason, "it is not a regular file" (EINVAL) or "it is
// larger than <cap> bytes" (EFBIG).
QByteArray readSmallFile(const QString& path, qint64 cap);

} // namespace Vantrel
