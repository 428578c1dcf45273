#include "support/FaultyFileOps.h"

#include <algorithm>
#include <cerrno>

namespace Vantrel {

FaultyFileOps::FaultyFileOps(FileOps& real) : state_(std::make_shared<State>()), real_(real) {}

FaultyFileOps::FaultyFileOps(std::shared_ptr<State> state, std::unique_ptr<FileOps> owned)
    : state_(std::move(state)), owned_(std::move(owned)), real_(*owned_) {}

void FaultyFileOps::countOnly(const QSet<FileOp>& kinds) {
    state_->counted = kinds;
}

void FaultyFileOps::failAt(int k, int code) {
    state_->failures.insert(k, code);
}

void FaultyFileOps::interruptAt(int k, int times) {
    state_->interruptions.insert(k, times);
}

void FaultyFileOps::killAt(int k) {
    state_->killAt = k;
}

void FaultyFileOps::beforeOperation(int k, std::function<void()> hook) {
    state_->hooks.insert(k, std::move(hook));
}

int FaultyFileOps::enter(FileOp kind, const QString& path, const QString& target) {
    if (state_->dead)
        throw Killed{};
    if (!state_->counted.isEmpty() && !state_->counted.contains(kind))
        return 0;
    const int k = int(state_->records.size()) + 1;
    if (k == state_->killAt) {
        state_->dead = true;
        throw Killed{};
    }
    const int code = state_->failures.value(k);
    state_->records.append({kind, path, target, code != 0});
    if (const auto hook = state_->hooks.take(k))
        hook();
    if (state_->interruptions.contains(k)) {
        for (int left = state_->interruptions.take(k); left != 0; left = std::max(left - 1, -1)) {
            if (!retryAfterInterrupt()) {
                state_->records.last().failed = true;
                return EINTR;
            }
        }
    }
    return code;
}

std::unique_ptr<FileOps> FaultyFileOps::confinedTo(const QString& folder) {
    if (state_->dead)
        throw Killed{};
    return std::unique_ptr<FileOps>(new FaultyFileOps(state_, real_.confinedTo(folder)));
}

bool FaultyFileOps::exists(const QString& path) {
    return enter(FileOp::exists, path) ? false : real_.exists(path);
}

void FaultyFileOps::makeFolders(const QString& path) {
    if (const int code = enter(FileOp::makeFolders, path))
        throw operationError(FileOp::makeFolders, path, {}, code);
    real_.makeFolders(path);
}

bool FaultyFileOps::clone(const QString& from, const QString& to) {
    return enter(FileOp::clone, from, to) ? false : real_.clone(from, to);
}

void FaultyFileOps::copy(const QString& from, const QString& to) {
    if (const int code = enter(FileOp::copy, from, to))
        throw operationError(FileOp::copy, from, to, code);
    real_.copy(from, to);
}

void FaultyFileOps::move(const QString& from, const QString& to) {
    if (const int code = enter(FileOp::move, from, to))
        throw operationError(FileOp::move, from, to, code);
    real_.move(from, to);
}

void FaultyFileOps::remove(const QString& path) {
    if (const int code = enter(FileOp::remove, path))
        throw operationError(FileOp::remove, path, {}, code);
    real_.remove(path);
}

QStringList FaultyFileOps::list(const QString& folder) {
    if (const int code = enter(FileOp::list, folder))
        throw operationError(FileOp::list, folder, {}, code);
    return real_.list(folder);
}

std::optional<qint64> FaultyFileOps::fileSize(const QString& path) {
    if (enter(FileOp::fileSize, path))
        return std::nullopt;
    return real_.fileSize(path);
}

void FaultyFileOps::writeAtomically(const QString& path, const QByteArray& bytes, bool durable) {
    if (const int code = enter(FileOp::writeAtomically, path))
        throw operationError(FileOp::writeAtomically, path, {}, code);
    real_.writeAtomically(path, bytes, durable);
}

void FaultyFileOps::syncFolder(const QString& path) {
    if (const int code = enter(FileOp::syncFolder, path))
        throw operationError(FileOp::syncFolder, path, {}, code);
    real_.syncFolder(path);
}

} // namespace Vantrel
