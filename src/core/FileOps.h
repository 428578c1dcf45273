#pragma once

#include "Errors.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
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
    // `to`; never replaces.
    virtual void move(const QString& from, const QString& to) = 0;

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

    // Makes the entries of a folder (creations, renames, removals) durable on disk.
    virtual void syncFolder(const QString& path) = 0;
};

// The file operations of this machine. Stateless; usable from any thread.
FileOps& systemFileOps();

// Wraps another FileOps for tests: counts the operations, records them, and fails a chosen one
// with a chosen errno value, without performing it. A failed operation behaves as the real one
// does when the system reports that error: the same FileError is thrown, and exists(),
// clone() and fileSize() give false, false and none. Use from one thread at a time.
class FaultyFileOps : public FileOps {
public:
    // One counted operation: its kind, its path(s), and whether it was made to fail.
    struct Record {
        FileOp kind;
        QString path;
        QString target; // `to` of clone, copy and move; empty otherwise
        bool failed = false;
        bool operator==(const Record&) const = default;
    };

    explicit FaultyFileOps(FileOps& real = systemFileOps());

    // Counts only operations of these kinds (empty: all kinds, the default). Uncounted
    // operations pass straight through and are not recorded.
    void countOnly(const QSet<FileOp>& kinds);

    // Makes the k-th counted operation (counting from 1) fail with errno value code.
    void failAt(int k, int code);

    // Runs hook just before the k-th counted operation, after counting it. If hook throws, the
    // operation is not performed and the exception propagates.
    void beforeOperation(int k, std::function<void()> hook);

    // How many operations were counted so far.
    int operationCount() const { return int(records_.size()); }

    // The counted operations in call order.
    const QList<Record>& operations() const { return records_; }

    bool exists(const QString& path) override;
    void makeFolders(const QString& path) override;
    bool clone(const QString& from, const QString& to) override;
    void copy(const QString& from, const QString& to) override;
    void move(const QString& from, const QString& to) override;
    void remove(const QString& path) override;
    QStringList list(const QString& folder) override;
    std::optional<qint64> fileSize(const QString& path) override;
    void writeAtomically(const QString& path, const QByteArray& bytes, bool durable) override;
    void syncFolder(const QString& path) override;

private:
    // Counts and records an operation, runs its hook; returns the errno value it must fail
    // with, or 0 to perform it.
    int enter(FileOp kind, const QString& path, const QString& target = {});

    FileOps& real_;
    QSet<FileOp> counted_;
    QHash<int, int> failures_;
    QHash<int, std::function<void()>> hooks_;
    QList<Record> records_;
};

} // namespace Vantrel
