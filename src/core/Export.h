#pragma once

#include "core/FileOps.h"
#include "core/Item.h"

#include <QList>
#include <QString>

#include <functional>

namespace Vantrel {

// How an approval writes the files: a sorted copy next to the folder, or the folder itself
// organized in place.
enum class ExportMode { copy, inPlace };

// Where the files are after an export, and a one-line note for the user.
struct ExportResult {
    QString url;
    QString note;
    bool inPlace = false;
    bool operator==(const ExportResult&) const = default;
};

// One file moved by organizing in place: absolute paths before and after.
struct Move {
    QString from;
    QString to;
    bool operator==(const Move&) const = default;
};

namespace Engine {

// Called after every file with (files done, files in total).
using Progress = std::function<void(int done, int total)>;
// Asked before every file; true stops the export, which then rolls back.
using Cancelled = std::function<bool()>;

// The file names of what an export writes into its result folder.
inline const QString manifestName = QStringLiteral("manifest.json");
inline const QString importOrderName = QStringLiteral("import_order.txt");
inline const QString journalName = QStringLiteral("Vantrel undo.json");

// Puts every item into result folder / item.folder / item.newName: cloned or copied into a new
// " SORTED" folder next to `from`, or moved inside `from` with an undo journal that is on disk
// before the first file moves. Writes "manifest.json" and "import_order.txt". On any failure or
// cancellation everything it did is rolled back and the error (FileError, CancelledError) is
// thrown.
ExportResult exportItems(const QList<Item>& items, const QString& from, ExportMode mode,
                         const Progress& progress = {}, const Cancelled& cancelled = {},
                         FileOps& ops = systemFileOps());

// Puts the files of a folder organized in place back where they were, from its journal, and
// removes the group folders this empties and the listing files. A journal that is unreadable,
// not in the journal format, or names a place outside the folder is refused before anything
// moves. Throws FileError (or Error for a refused journal).
void undo(const QString& folder, FileOps& ops = systemFileOps());

// path itself when nothing is there, else the first free of base_02.ext, base_03.ext, ...
QString uniqueURL(const QString& path, FileOps& ops = systemFileOps());

// The journal's text for a list of moves, and the moves of a journal's text (none when the
// text is not a journal).
QByteArray journalJson(const QList<Move>& moves);
std::optional<QList<Move>> parseJournal(const QByteArray& bytes);

} // namespace Engine
} // namespace Vantrel
