#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure messages for the Qt types the tests compare.
void PrintTo(const QString& s, std::ostream* os);
void PrintTo(const QByteArray& b, std::ostream* os);
void PrintTo(const QStringList& list, std::ostream* os);
void PrintTo(const QMap<QString, QByteArray>& tree, std::ostream* os);

namespace Vantrel::Fixtures {

// Writes bytes to path, creating missing parent folders; fails the test on error.
void writeFile(const QString& path, const QByteArray& bytes = {});

// Reads a whole file; fails the test on error.
QByteArray readFile(const QString& path);

// Creates an empty file for each name inside folder.
void touchAll(const QString& folder, const QStringList& names);

// Every entry below root (hidden ones included), by path relative to root: a file maps to its
// bytes, a folder to "<dir>", a symbolic link to "<link>". Compares two trees exactly.
QMap<QString, QByteArray> snapshot(const QString& root);

} // namespace Vantrel::Fixtures
