#include "core/Errors.h"

#include <cstring>

namespace Vantrel {

FileError FileError::fromErrno(const QString& what, const QString& path, int code) {
    const QString reason = QString::fromLocal8Bit(std::strerror(code));
    return FileError(QStringLiteral("%1 “%2”: %3.").arg(what, path, reason), reason, code);
}

} // namespace Vantrel
