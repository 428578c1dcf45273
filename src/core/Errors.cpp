#include "core/Errors.h"

#include <cstring>

namespace Vantrel {

FileError FileError::fromErrno(const QString& sentence, const QString& path, int code) {
    const QString reason = QString::fromLocal8Bit(std::strerror(code));
    return FileError(sentence.arg(path, reason), reason, code);
}

} // namespace Vantrel
