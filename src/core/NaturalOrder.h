#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace Vantrel::NaturalOrder {

// Compares two names as the system file browser orders them: case-insensitive, runs of digits
// by numeric value, letters by the user's locale (a real locale is pinned when the process
// has none, such as under LANG=C). Names that differ only in case compare equal.
int compare(const QString& a, const QString& b);

// compare(), with names that compare equal ordered by code point so that a sort is the same
// whatever order the names came in.
bool less(const QString& a, const QString& b);

// The collation key of name: the keys of two names compare (as bytes) as compare() orders
// the names. For sorting many names, each key made once.
std::string key(const QString& name);

// Sorts names with less(), computing each name's collation key at most once, and only for
// names that their leading numbers do not order.
void sort(QStringList& names);

// Sorts paths as sort() sorts their names: each path's part from nameStart on.
void sortByName(QStringList& paths, qsizetype nameStart);

// The ICU locale used for letters, given the process's default ICU locale name: the default
// itself, or "en_US" when the default is the POSIX/C or root locale.
QString collationLocale(const QString& defaultLocale);

} // namespace Vantrel::NaturalOrder
