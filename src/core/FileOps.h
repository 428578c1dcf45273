#pragma once

#include "core/Errors.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace Vantrel {

// The kinds of operation a FileOps offers, one per method.
enum class FileOp {
    exists,
    makeFolders,
    clone,
    copy,
    move,
    remove,
    list,
    fileSize,
    writeAtomically,
    syncFolder,
};

// Every operation the export and the put-back make on disk. No operation ever replaces an
// existing entry, except writeAtomically, whose purpose is to replace a file as a whole.
// Failures throw FileError with a complete sentence that names the file(s) and the system's
// reason; the errno value is in FileError::code().
class FileOps {
public:
    virtual ~FileOps();

    // Whether anything is at path: file, folder or symbolic link (a dangling one too). Never
    // throws; a path that cannot be examined counts as free.
    virtual bool exists(const QString& path) = 0;

    // Creates the folder and any missing parents; an existing folder is fine.
    virtual void makeFolders(const QString& path) = 0;

    // Makes `to` a copy-on-write clone of the file `from` (no extra disk space). Returns false
    // when that is not possible here for any reason, an existing `to` included; then nothing
    // was created at `to` and an existing entry there is untouched. Never throws.
    virtual bool clone(const QString& from, const QString& to) = 0;

    // Copies the file `from` to a new file `to`, with the same permissions (plus read and write
    // for the owner). Fails with EEXIST if anything is at `to`; a failed copy leaves nothing
    // at `to`.
    virtual void copy(const QString& from, const QString& to) = 0;

    // Renames `from` to `to` (on the same file system). Fails with EEXIST if anything is at
    // `to`; never replaces. A `to` that is `from` itself under another spelling (sameEntry) is
    // no obstacle: the entry takes the new spelling, as far as its volume keeps it.
    virtual void move(const QString& from, const QString& to) = 0;

    // Whether a and b are one and the same entry on disk: the same name, or one file reached
    // under two spellings of its name, as a case-insensitive volume gives it ("kick.wav" and
    // "Kick.wav"), or one that does not tell composed from decomposed names. Two hard links of
    // one file are two entries. False when either cannot be examined; never throws. Not counted
    // as an operation of its own: it only reads what exists() reads.
    virtual bool sameEntry(const QString& a, const QString& b) = 0;

    // Removes a file or symbolic link, or a folder with everything in it. Symbolic links are
    // removed, never followed. On failure as much as possible is removed before throwing.
    virtual void remove(const QString& path) = 0;

    // The names of all entries of a folder, hidden ones included, without "." and "..", in the
    // order the file system gives them.
    virtual QStringList list(const QString& folder) = 0;

    // The size in bytes of the regular file at path (following symbolic links); none when it
    // cannot be read or is not a regular file.
    virtual std::optional<qint64> fileSize(const QString& path) = 0;

    // Replaces the file at path by one holding bytes, so that a reader sees either the old or
    // the new content, never a part; no temporary file is left behind. With durable, the new
    // content and the replacement are on disk when this returns, so a crash keeps one of the two
    // whole (if only the final flush of the folder fails, the new content is in place but might
    // not survive a crash). Without, a crash soon after may leave the new file empty.
    virtual void writeAtomically(const QString& path, const QByteArray& bytes, bool durable) = 0;

    // Gives the content of a file piece by piece: appends the next piece to its argument and
    // answers whether more follow.
    using Pieces = std::function<bool(QByteArray& piece)>;

    // writeAtomically() of the content that pieces gives, for a file too large to be held whole
    // as well as what it is made from. By default the pieces are joined and written with
    // writeAtomically(); the machine's confined operations write each piece as it comes.
    virtual void writeInPieces(const QString& path, const Pieces& pieces, bool durable);

    // Makes the entries of a folder (creations, renames, removals) durable on disk.
    virtual void syncFolder(const QString& path) = 0;

    // syncFolder() of each folder. By default one after the other, stopping at the first
    // failure; the machine's confined operations flush them side by side (a disk serves flushes
    // that arrive together with one), try every folder and throw the first failure in the order
    // of paths.
    virtual void syncFolders(const QStringList& paths);

    // Operations confined to folder, for changing a folder of the user's in place. Every path
    // given to them must lie strictly inside folder (anything else fails with EPERM); each
    // operation starts from a descriptor of folder opened here and follows no symbolic link
    // below it (a link in the way fails with ELOOP or ENOTDIR, a link at the end is acted on
    // itself); remove() takes away a file, a symbolic link or an empty folder, never a
    // folder's content; clone() gives false. The returned object holds an exclusive lock on
    // folder for as long as it lives. Throws FolderBusyError when another holds that lock, and
    // FileError when folder cannot be opened.
    virtual std::unique_ptr<FileOps> confinedTo(const QString& folder) = 0;
};

// Another organization or put-back holds the folder.
class FolderBusyError : public Error {
public:
    using Error::Error;
};

// The error that the system's operations throw when an operation of `kind` fails with the
// errno value `code`; shared with wrappers so that a test sees exactly what a user would.
FileError operationError(FileOp kind, const QString& path, const QString& target, int code);

// False when confined, made by confinedTo() of the machine's operations, could not lock its
// folder (a volume without locks): the work goes on unlocked. True for anything else.
bool holdsFolderLock(const FileOps& confined);

// The file operations of this machine. Stateless; usable from any thread.
FileOps& systemFileOps();

// Whether confined operations reach the folders below theirs with Linux's openat2() (one call
// that refuses symbolic links and steps out), the default where the system has it, or walk the
// way one component at a time, as they do where it has not. For tests of both ways.
void allowOpenat2(bool allowed);

// The cancel check of the work running on this thread, for as long as the scope lives. A system
// call of the file operations interrupted by a signal (EINTR) is tried again only while the
// check answers false; once it answers true the operation fails with EINTR, which the work
// turns into its cancel. Scopes nest; the innermost one counts.
class CancelScope {
public:
    explicit CancelScope(std::function<bool()> cancelled);
    ~CancelScope();
    CancelScope(const CancelScope&) = delete;
    CancelScope& operator=(const CancelScope&) = delete;

private:
    std::function<bool()> cancelled_;
    const std::function<bool()>* outer_;
};

// Whether a system call interrupted by a signal may be tried again on this thread: true unless
// the cancel check of the running work answers true.
bool retryAfterInterrupt();

} // namespace Vantrel
