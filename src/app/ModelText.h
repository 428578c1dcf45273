#pragma once

// Small pieces of the model parts' messages.

#include "core/Errors.h"

#include <QFileInfo>
#include <QString>

#include <exception>

namespace Vantrel::ModelText {

// The last path component, as the busy title and the messages name a folder.
inline QString folderName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

// The user-facing description of a failure: an Error's sentence, else what the exception says.
inline QString describe(const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e))
        return error->message();
    return QString::fromLocal8Bit(e.what());
}

} // namespace Vantrel::ModelText
