#pragma once

#include "core/FileOps.h"
#include "core/Item.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

namespace Vantrel {

// How an approval writes the files: a sorted copy next to the folder, or the folder itself
// organized in place.
enum class ExportMode { copy, inPlace };

// Where the files are after an export, and a one-line note for the user (in English, as the
// command line says it), with the facts it tells for a caller that words them itself.
struct ExportResult {
    QString url;
    QString note;
    bool inPlace = false;
    int files = 0;          // the files written or moved
    int cloned = 0;         // of a sorted copy: the files cloned
    qint64 copiedBytes = 0; // of a sorted copy: the bytes copied where the disk cannot clone
    bool unlocked = false;  // organized without the folder's lock (a volume without locks)
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
// Asked before every file, and by a system call interrupted by a signal before it is tried
// again; true stops the export, which then rolls back and throws CancelledError.
using Cancelled = std::function<bool()>;

// The file names of what an export writes into its result folder.
inline const QString manifestName = QStringLiteral("manifest.json");
inline const QString importOrderName = QStringLiteral("import_order.txt");
inline const QString journalName = QStringLiteral("Vantrel undo.json");

// Puts every item into result folder / item.folder / item.newName: cloned or copied into a new
// " SORTED" folder in `copyInto` (empty: the folder that holds `from`), or moved inside `from` with
// an undo journal that is on disk before the first file moves. Writes "manifest.json" and
// "import_order.txt". On any failure or cancellation everything it did is rolled back and the error
// (FileError, CancelledError) is thrown.
ExportResult exportItems(const QList<Item>& items, const QString& from, ExportMode mode,
                         const Progress& progress = {}, const Cancelled& cancelled = {},
                         FileOps& ops = systemFileOps(), const QString& copyInto = {});

// What a put-back did: how many files went back, and, one sentence each, the files that stayed
// where they were and the folders it left in place, with the reason.
struct PutBackResult {
    int restored = 0;
    QStringList stayed;
    QStringList foldersLeft;
    // One sentence per file that is no longer where the organization put it nor at its old
    // place: it stays in the journal, so that a later put-back finishes once it is back.
    QStringList missing;
    // One line per file or folder left, empty when everything went back.
    QString note() const;
};

// A put-back that could not move every file back because of an error of that file (no
// permission, a link in the way): the rest was put back, the journal keeps exactly the files
// that stayed, and the message names them with the reason.
class PutBackError : public Error {
public:
    PutBackError(const QString& message, PutBackResult result)
        : Error(message), result_(std::move(result)) {}
    const PutBackResult& result() const { return result_; }

private:
    PutBackResult result_;
};

// Puts the files of a folder organized in place back where they were, from its journal, then
// removes the group folders the organization created once they are empty (or hold only the
// file browser's ".DS_Store"), and the listing files. A journal that is unreadable, not in the
// journal format, or names a place outside the folder is refused before anything moves; a
// journal written in the same folder under another path (the folder was renamed or moved) is
// read relative to the folder. Every step stays inside the folder and follows no symbolic link
// in it. A listing file is removed only when its bytes are those the journal records of it. A
// move whose file is back at its old place and not at its new one (never made, or undone by an
// interrupted put-back) is done. Files that cannot go back stay, and so does a journal of
// exactly them: a file that is gone is named in `missing`; a file an error kept in place makes
// the put-back throw PutBackError once everything else is back. Throws FolderBusyError while
// another organization or put-back holds the folder, FileError, or Error for a refused
// journal.
PutBackResult undo(const QString& folder, FileOps& ops = systemFileOps());

// path itself when nothing is there, else the first free of base_02.ext, base_03.ext, ...
QString uniqueURL(const QString& path, FileOps& ops = systemFileOps());

// A journal: the moves, and for each move whether the organization created the folder it moved
// the file into, and whether it set aside an entry of the user's that had the name of one of the
// listing files; and the fingerprints (SHA-256, hex) of the listing files the organization
// writes, by file name, which tell them from files of the user's with the same name. Journals
// of earlier versions know no folders (`knowsFolders` false) and no listings (`knowsListings`
// false).
struct Journal {
    QList<Move> moves;
    QList<bool> newFolder;
    QList<bool> aside;
    QList<std::pair<QString, QByteArray>> listings;
    bool knowsFolders = true;
    bool knowsListings = true;

    void append(const Move& move, bool intoNewFolder, bool setAside = false);
    // Room for count moves in all.
    void reserve(qsizetype count);
    // Records that the listing file `name` may hold bytes.
    void addListing(const QString& name, const QByteArray& bytes);
    // Whether bytes are a listing file `name` that this journal's organization wrote.
    bool wrote(const QString& name, const QByteArray& bytes) const;
};

// The journal's text for a list of moves, and the moves of a journal's text (none when the
// text is not a journal). The text stays readable as a plain list of moves.
QByteArray journalJson(const QList<Move>& moves);
QByteArray journalJson(const Journal& journal);
std::optional<QList<Move>> parseJournal(const QByteArray& bytes);
std::optional<Journal> readJournal(const QByteArray& bytes);

// Throws Error unless every path of the moves is absolute, clean and strictly inside folder
// (and is not the journal itself); journalPath names the journal in the sentence.
void checkJournal(const QList<Move>& moves, const QString& folder, const QString& journalPath);

// The journal moved from the folder it was written in to folder, when every one of its moves
// lies inside one earlier folder that folder is not within; else the journal as it is.
Journal rebased(Journal journal, const QString& folder);

} // namespace Engine
} // namespace Vantrel
