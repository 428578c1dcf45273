#pragma once

#include "core/FileOps.h"

#include <QHash>
#include <QList>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace Vantrel {

// Wraps another FileOps for tests: counts the operations, records them, and fails a chosen one
// with a chosen errno value, without performing it. A failed operation behaves as the real one
// does when the system reports that error: the same FileError is thrown, and exists(),
// clone() and fileSize() give false, false and none. The operations of confinedTo() are
// counted, recorded and failed together with this object's own. Use from one thread at a time.
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

    // Makes the k-th counted operation meet `times` interruptions by a signal (-1: without end)
    // before it is performed. Like the system's operations, it tries again after each one only
    // while retryAfterInterrupt() allows; once that answers false it fails with EINTR.
    void interruptAt(int k, int times = -1);

    // Stands for the program being killed just before the k-th counted operation: that
    // operation and every later one, counted or not, are not performed and throw Killed, so
    // nothing of a rollback or clean-up runs either. The lock of confinedTo() goes when its
    // object is destroyed, as the system lets it go when a process dies.
    void killAt(int k);
    // What a killed operation throws; not an Error, so that nothing takes it for a failure.
    struct Killed {};
    bool killed() const { return state_->dead; }

    // Runs hook just before the k-th counted operation, after counting it. If hook throws, the
    // operation is not performed and the exception propagates.
    void beforeOperation(int k, std::function<void()> hook);

    // How many operations were counted so far.
    int operationCount() const { return int(state_->records.size()); }

    // The counted operations in call order.
    const QList<Record>& operations() const { return state_->records; }

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
    std::unique_ptr<FileOps> confinedTo(const QString& folder) override;

private:
    struct State {
        QSet<FileOp> counted;
        QHash<int, int> failures;
        QHash<int, std::function<void()>> hooks;
        QHash<int, int> interruptions;
        QList<Record> records;
        int killAt = 0;
        bool dead = false;
    };
    FaultyFileOps(std::shared_ptr<State> state, std::unique_ptr<FileOps> owned);

    // Counts and records an operation, runs its hook; returns the errno value it must fail
    // with, or 0 to perform it.
    int enter(FileOp kind, const QString& path, const QString& target = {});

    std::shared_ptr<State> state_;
    std::unique_ptr<FileOps> owned_;
    FileOps& real_;
};

} // namespace Vantrel
