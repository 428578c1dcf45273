#pragma once

#include <QByteArray>
#include <QString>

namespace Vantrel {

// What makes bytes unusable as a configuration file, for a warning: the line and column of a
// JSON syntax error, or which key is missing or of the wrong kind ("“groups” is missing or not
// a list", "the “name” of group 2 is not text"); empty when they read as a configuration.
QString configProblem(const QByteArray& bytes);

} // namespace Vantrel
