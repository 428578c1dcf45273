#include "core/Export.h"

#include "core/Manifest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <vector>

namespace Vantrel::Engine {

namespace {

QString parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString join(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The first free name for path, where taken() says whether a name is in use.
QString freeName(const QString& path, const std::function<bool(const QString&)>& taken) {
    if (!taken(path))
        return path;
    const QString dir = parentOf(path);
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot);
    for (qint64 i = 2;; ++i) {
        const QString candidate =
            join(dir, base + QLatin1Char('_') +
                          QString::number(i).rightJustified(2, QLatin1Char('0')) + ext);
        if (!taken(candidate))
            return candidate;
    }
}

// Code-point order: UTF-16 order differs from it for characters above U+FFFF.
bool codePointLess(const QString& a, const QString& b) {
    const QList<uint> x = a.toUcs4();
    const QList<uint> y = b.toUcs4();
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end());
}

QByteArray importOrderText(const QMap<QString, QStringList>& manifest) {
    QStringList folders = manifest.keys();
    std::sort(folders.begin(), folders.end(), codePointLess);
    QString text;
    for (const QString& folder : std::as_const(folders)) {
        text += QLatin1Char('[') + folder + QStringLiteral("]\n");
        QStringList names = manifest.value(folder);
        std::sort(names.begin(), names.end(), codePointLess);
        for (const QString& name : std::as_const(names))
            text += QStringLiteral("  ") + name + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString cloneOrCopyNote(int cloned, qint64 copiedBytes) {
    if (copiedBytes > 0)
        return QString::asprintf("Copied %.1f GB (this disk cannot clone files).",
                                 double(copiedBytes) / 1e9);
    return QStringLiteral("%1 files cloned: no extra disk space used.").arg(cloned);
}

QString sortedFolderFor(const QString& from, FileOps& ops) {
    const QString parent = parentOf(from);
    const QString name = from.mid(from.lastIndexOf(QLatin1Char('/')) + 1);
    QString candidate = join(parent, name + QStringLiteral(" SORTED"));
    for (int i = 2; ops.exists(candidate); ++i)
        candidate = join(parent, name + QStringLiteral(" SORTED ") + QString::number(i));
    return candidate;
}

// Whether name is the temporary file of an interrupted atomic write of one of the listing
// files or the journal: ".<name>.<hex>.tmp".
bool isListingLeftover(const QString& name) {
    if (!name.startsWith(QLatin1Char('.')) || !name.endsWith(QLatin1String(".tmp")))
        return false;
    for (const QString& listing : {manifestName, importOrderName, journalName}) {
        const QString prefix = QLatin1Char('.') + listing + QLatin1Char('.');
        if (!name.startsWith(prefix))
            continue;
        const QString middle = name.mid(prefix.size(), name.size() - prefix.size() - 4);
        bool hex = false;
        middle.toULongLong(&hex, 16);
        return hex;
    }
    return false;
}

// Removes the temporary files that interrupted writes of the listing files left behind.
void removeListingLeftovers(const QString& folder, FileOps& ops) {
    QStringList entries;
    try {
        entries = ops.list(folder);
    } catch (const FileError&) {
        return;
    }
    for (const QString& name : std::as_const(entries)) {
        if (!isListingLeftover(name))
            continue;
        try {
            ops.remove(join(folder, name));
        } catch (const FileError&) {
        }
    }
}

// Removes what an export or a put-back leaves in the organized folder; errors are ignored.
void removeListingFiles(const QString& folder, FileOps& ops) {
    for (const QString& name : {manifestName, importOrderName, journalName}) {
        const QString path = join(folder, name);
        try {
            ops.remove(path);
        } catch (const FileError&) {
            // Not there, or can't be removed: either way, left as it is.
        }
    }
    removeListingLeftovers(folder, ops);
}

// One export: the plan, what has been done so far, and how to take it back.
class Exporter {
public:
    Exporter(const QList<Item>& items, const QString& from, ExportMode mode, FileOps& ops)
        : items_(items), from_(QDir::cleanPath(from)), mode_(mode), ops_(ops) {}

    ExportResult run(const Progress& progress, const Cancelled& cancelled) {
        try {
            return mode_ == ExportMode::inPlace ? organize(progress, cancelled)
                                                : copy(progress, cancelled);
        } catch (...) {
            rollback();
            throw;
        }
    }

private:
    // The group folder of an item, created the first time it is needed.
    QString prepareFolder(const QString& folderName) {
        const QString dir = join(result_, folderName);
        if (!prepared_.contains(folderName)) {
            if (!ops_.exists(dir)) {
                ops_.makeFolders(dir);
                created_.push_back(dir);
            }
            prepared_.insert(folderName);
        }
        return dir;
    }

    static void checkCancelled(const Cancelled& cancelled) {
        if (cancelled && cancelled())
            throw CancelledError();
    }

    ExportResult copy(const Progress& progress, const Cancelled& cancelled) {
        result_ = sortedFolderFor(from_, ops_);
        const int total = int(items_.size());
        int cloned = 0;
        qint64 copiedBytes = 0;
        for (int i = 0; i < total; ++i) {
            const Item& item = items_[i];
            checkCancelled(cancelled);
            const QString target = join(prepareFolder(item.folder), item.newName);
            resultCreated_ = true;
            if (ops_.clone(item.url, target)) {
                ++cloned;
            } else {
                ops_.copy(item.url, target);
                copiedBytes += ops_.fileSize(item.url).value_or(0);
            }
            manifest_[item.folder].push_back(item.newName);
            if (progress)
                progress(i + 1, total);
        }
        writeListings(false);
        return {result_, cloneOrCopyNote(cloned, copiedBytes), false};
    }

    ExportResult organize(const Progress& progress, const Cancelled& cancelled) {
        result_ = from_;
        keepPreviousListings();
        // Every move is planned, free names included, and the journal of the plan is on disk
        // before the first file moves: interrupted at any point, the folder can be put back.
        // A journal of an earlier organization that was not put back stays in front of it.
        QSet<QString> planned;
        QList<Move> journal = previousMoves_;
        std::vector<std::optional<Move>> moveOf;
        moveOf.reserve(size_t(items_.size()));
        for (const Item& item : items_) {
            const QString target = join(join(result_, item.folder), item.newName);
            const QString source = QDir::cleanPath(item.url);
            if (QDir::cleanPath(target) == source) {
                moveOf.emplace_back();
                continue;
            }
            const QString free = freeName(
                target, [&](const QString& p) { return planned.contains(p) || ops_.exists(p); });
            planned.insert(free);
            moveOf.emplace_back(Move{source, free});
            journal.push_back(*moveOf.back());
        }
        ops_.writeAtomically(join(result_, journalName), journalJson(journal), true);

        const int total = int(items_.size());
        for (int i = 0; i < total; ++i) {
            const Item& item = items_[i];
            checkCancelled(cancelled);
            prepareFolder(item.folder);
            QString placed = item.newName;
            if (const std::optional<Move>& move = moveOf[size_t(i)]) {
                ops_.move(move->from, move->to);
                moves_.push_back(*move);
                placed = move->to.mid(move->to.lastIndexOf(QLatin1Char('/')) + 1);
            }
            manifest_[item.folder].push_back(placed);
            if (progress)
                progress(i + 1, total);
        }
        writeListings(false);
        // One flush of every folder whose entries changed, instead of one per file.
        for (const QString& dir : std::as_const(prepared_))
            ops_.syncFolder(join(result_, dir));
        ops_.syncFolder(result_);
        return {result_,
                QStringLiteral("%1 files moved into their folders: nothing copied, no extra space "
                               "used.")
                    .arg(total),
                true};
    }

    // The listing files and journal an earlier organization left in the folder: a failed
    // export puts them back as they were instead of removing them.
    void keepPreviousListings() {
        removeListingLeftovers(result_, ops_);
        for (const QString& name : {manifestName, importOrderName, journalName}) {
            QFile file(join(result_, name));
            if (file.open(QIODevice::ReadOnly))
                previousListings_.insert(name, file.readAll());
        }
        if (const auto moves = parseJournal(previousListings_.value(journalName)))
            previousMoves_ = *moves;
    }

    void writeListings(bool durable) {
        ops_.writeAtomically(join(result_, manifestName), manifestJson(manifest_), durable);
        ops_.writeAtomically(join(result_, importOrderName), importOrderText(manifest_), durable);
    }

    // Best effort: errors are ignored, what cannot be undone stays.
    void rollback() {
        if (mode_ == ExportMode::copy) {
            if (resultCreated_ || ops_.exists(result_)) {
                try {
                    ops_.remove(result_);
                } catch (const FileError&) {
                }
            }
            return;
        }
        for (auto it = moves_.crbegin(); it != moves_.crend(); ++it) {
            try {
                ops_.move(it->to, it->from);
            } catch (const FileError&) {
            }
        }
        for (auto it = created_.crbegin(); it != created_.crend(); ++it) {
            try {
                if (ops_.list(*it).isEmpty())
                    ops_.remove(*it);
            } catch (const FileError&) {
            }
        }
        removeListingFiles(result_, ops_);
        for (auto it = previousListings_.cbegin(); it != previousListings_.cend(); ++it) {
            try {
                ops_.writeAtomically(join(result_, it.key()), it.value(), true);
            } catch (const FileError&) {
            }
        }
    }

    const QList<Item>& items_;
    const QString from_;
    const ExportMode mode_;
    FileOps& ops_;

    QString result_;
    bool resultCreated_ = false;
    QHash<QString, QByteArray> previousListings_;
    QList<Move> previousMoves_;
    QMap<QString, QStringList> manifest_;
    QSet<QString> prepared_;
    QStringList created_;
    QList<Move> moves_;
};

} // namespace

ExportResult exportItems(const QList<Item>& items, const QString& from, ExportMode mode,
                         const Progress& progress, const Cancelled& cancelled, FileOps& ops) {
    return Exporter(items, from, mode, ops).run(progress, cancelled);
}

QString uniqueURL(const QString& path, FileOps& ops) {
    return freeName(path, [&ops](const QString& p) { return ops.exists(p); });
}

namespace {

// Whether path lies strictly inside folder, both clean absolute paths.
bool isInside(const QString& path, const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/')) && path.size() > folder.size() + 1;
}

// Refuses a journal that would move anything from or to a place outside the organized folder:
// every path must be absolute and clean, inside the folder, and reach no further through a
// symbolic link on its way.
void checkJournal(const QList<Move>& moves, const QString& folder, const QString& journal) {
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    // Most moves share a few folders: each is resolved once.
    QHash<QString, bool> folderInside;
    const auto resolvesInside = [&](const QString& path) {
        QString dir = parentOf(path);
        const auto known = folderInside.constFind(dir);
        if (known != folderInside.constEnd())
            return *known;
        // The deepest existing folder on the way must resolve inside the folder too.
        QString existing = dir;
        while (existing.size() > folder.size() && !QFileInfo::exists(existing))
            existing = parentOf(existing);
        const QString real = QFileInfo(existing).canonicalFilePath();
        const bool inside = real == realFolder || isInside(real, realFolder);
        folderInside.insert(dir, inside);
        return inside;
    };
    for (const Move& m : moves) {
        for (const QString& path : {m.from, m.to}) {
            const bool inside = QDir::isAbsolutePath(path) && QDir::cleanPath(path) == path &&
                                isInside(path, folder) && path != join(folder, journalName) &&
                                resolvesInside(path);
            if (!inside)
                throw Error(QStringLiteral("The undo journal “%1” names “%2”, which is not inside "
                                           "the organized folder; nothing was moved.")
                                .arg(journal, path));
        }
    }
}

} // namespace

void undo(const QString& organized, FileOps& ops) {
    const QString folder = QDir::cleanPath(QDir(organized).absolutePath());
    const QString journalPath = join(folder, journalName);
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("Couldn't read the undo journal “%1”: %2.")
                            .arg(journalPath, file.errorString()),
                        file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw FileError(QStringLiteral("Couldn't read the undo journal “%1”: %2.")
                            .arg(journalPath, file.errorString()),
                        file.errorString());
    const std::optional<QList<Move>> moves = parseJournal(bytes);
    if (!moves)
        throw Error(QStringLiteral("The undo journal “%1” is damaged: it is not a list of moves; "
                                   "nothing was moved.")
                        .arg(journalPath));
    checkJournal(*moves, folder, journalPath);

    // Folders a file was moved out of are removed when nothing but hidden entries is left.
    // The other folders the journal names are removed only when empty: an organization
    // interrupted before it moved anything into them leaves them so.
    QSet<QString> touched;
    QSet<QString> named;
    for (auto it = moves->crbegin(); it != moves->crend(); ++it) {
        const QString parent = parentOf(it->to);
        if (parent != folder)
            named.insert(parent);
        // A file that is no longer where the export put it was deleted or moved by the user:
        // it is skipped. Asking the move itself, not a separate look-up, means that a look-up
        // that fails can't make a file count as gone and be left behind.
        try {
            ops.move(it->to, uniqueURL(it->from, ops));
        } catch (const FileError& e) {
            if (e.code() == ENOENT && !QFileInfo::exists(it->to))
                continue;
            throw;
        }
        touched.insert(parent);
    }
    for (const QString& dir : std::as_const(named)) {
        QStringList entries;
        try {
            entries = ops.list(dir);
        } catch (const FileError&) {
            continue;
        }
        const bool removable =
            touched.contains(dir)
                ? std::all_of(entries.cbegin(), entries.cend(),
                              [](const QString& e) { return e.startsWith(QLatin1Char('.')); })
                : entries.isEmpty();
        if (!removable)
            continue;
        try {
            ops.remove(dir);
        } catch (const FileError&) {
        }
    }
    removeListingFiles(folder, ops);
}

QByteArray journalJson(const QList<Move>& moves) {
    QJsonArray array;
    for (const Move& m : moves)
        array.append(QJsonObject{{QStringLiteral("from"), m.from}, {QStringLiteral("to"), m.to}});
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

std::optional<QList<Move>> parseJournal(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return std::nullopt;
    QList<Move> moves;
    for (const QJsonValue entry : doc.array()) {
        const QJsonValue from = entry[QStringLiteral("from")];
        const QJsonValue to = entry[QStringLiteral("to")];
        if (!entry.isObject() || !from.isString() || !to.isString())
            return std::nullopt;
        moves.push_back({from.toString(), to.toString()});
    }
    return moves;
}

} // namespace Vantrel::Engine
