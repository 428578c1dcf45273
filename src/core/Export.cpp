#include "core/Export.h"

#include "core/JsonText.h"
#include "core/Manifest.h"
#include "core/SmallFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Vantrel::Engine {

// Compared in place: at the first unit that differs, units from U+E000 up are moved below the
// surrogates, which stand for the characters above U+FFFF.
bool codePointLess(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y)
            continue;
        const auto rank = [](char16_t u) -> char32_t {
            return u >= 0xE000 ? u - 0x800 : u >= 0xD800 ? u + 0x2000 : u;
        };
        return rank(x) < rank(y);
    }
    return a.size() < b.size();
}

ListingPieces importOrderPieces(const QMap<QString, QStringList>& manifest) {
    // Written as UTF-8 straight away, a folder at a time, the names sorted by reference: a
    // large folder's names are never held a second time.
    auto folders = std::make_shared<QStringList>(manifest.keys());
    std::sort(folders->begin(), folders->end(), codePointLess);
    return [&manifest, folders, at = qsizetype(0)](QByteArray& text) mutable {
        if (at == folders->size())
            return false;
        const QString& folder = (*folders)[at++];
        text += '[';
        text += folder.toUtf8();
        text += "]\n";
        const QStringList& inFolder = *manifest.constFind(folder);
        std::vector<const QString*> names;
        names.reserve(size_t(inFolder.size()));
        for (const QString& name : inFolder)
            names.push_back(&name);
        std::sort(names.begin(), names.end(),
                  [](const QString* a, const QString* b) { return codePointLess(*a, *b); });
        for (const QString* name : names) {
            text += "  ";
            text += name->toUtf8();
            text += '\n';
        }
        return at < folders->size();
    };
}

QByteArray importOrderText(const QMap<QString, QStringList>& manifest) {
    QByteArray text;
    const ListingPieces pieces = importOrderPieces(manifest);
    while (pieces(text)) {
    }
    return text;
}

namespace {

QString parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString join(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The i-th other name for name: "base_02.ext" for i = 2, and so on.
QString numberedName(const QString& name, qint64 i) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QStringView base = dot < 0 ? QStringView(name) : QStringView(name).left(dot);
    const QStringView ext = dot < 0 ? QStringView() : QStringView(name).mid(dot);
    QString numbered;
    numbered.reserve(name.size() + 4);
    numbered.append(base).append(QLatin1Char('_'));
    numbered.append(QString::number(i).rightJustified(2, QLatin1Char('0'))).append(ext);
    return numbered;
}

// The first free name for the name of an entry of one folder, where taken() says whether a name
// of that folder is in use.
template <typename Taken> QString freeNameIn(const QString& name, const Taken& taken) {
    if (!taken(name))
        return name;
    for (qint64 i = 2;; ++i) {
        QString candidate = numberedName(name, i);
        if (!taken(candidate))
            return candidate;
    }
}

// The first free name for path, where taken() says whether a name is in use.
QString freeName(const QString& path, const std::function<bool(const QString&)>& taken) {
    if (!taken(path))
        return path;
    const QString dir = parentOf(path);
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    for (qint64 i = 2;; ++i) {
        const QString candidate = join(dir, numberedName(name, i));
        if (!taken(candidate))
            return candidate;
    }
}

// path as QDir::cleanPath() gives it, without a copy when it is clean already, as a scan gives
// paths: one pass looks for an empty, "." or ".." step and a slash at the end.
QString cleanedPath(const QString& path) {
    const auto* p = reinterpret_cast<const char16_t*>(path.constData());
    const qsizetype n = path.size();
    bool clean = n > 1 && p[n - 1] != u'/';
    // Each step starts after a slash (or at the start of a relative path) and runs to the next.
    for (qsizetype start = p[0] == u'/' ? 1 : 0; clean && start <= n;) {
        qsizetype end = start;
        while (end < n && p[end] != u'/')
            ++end;
        const qsizetype length = end - start;
        clean = length > 0 && !(length == 1 && p[start] == u'.') &&
                !(length == 2 && p[start] == u'.' && p[start + 1] == u'.');
        start = end + 1;
    }
    return clean ? path : QDir::cleanPath(path);
}

QString cloneOrCopyNote(int cloned, qint64 copiedBytes) {
    if (copiedBytes > 0)
        return QCoreApplication::translate("Vantrel::Files",
                                           "Copied %1 GB (this disk cannot clone files).")
            .arg(double(copiedBytes) / 1e9, 0, 'f', 1);
    return QCoreApplication::translate(
        "Vantrel::Files", "%n files cloned: no extra disk space used.", nullptr, cloned);
}

// The i-th name of the sorted copy of from, made in parent: "<name> SORTED", then
// "<name> SORTED 2", ...
QString sortedFolderName(const QString& from, const QString& parent, int i) {
    const QString name = from.mid(from.lastIndexOf(QLatin1Char('/')) + 1);
    return join(parent, i < 2 ? name + QStringLiteral(" SORTED")
                              : name + QStringLiteral(" SORTED ") + QString::number(i));
}

// A hidden folder in parent, under a name no other run picks, in which a sorted copy of from is
// built before it gets its own name: interrupted, it never looks like a finished copy.
QString partialFolderFor(const QString& from, const QString& parent) {
    const QString name = from.mid(from.lastIndexOf(QLatin1Char('/')) + 1);
    return join(parent,
                QStringLiteral(".%1 SORTED.%2.partial")
                    .arg(name, QString::number(QRandomGenerator::system()->generate64(), 16)));
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

QString nameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// path relative to folder, for sentences that name an entry of the folder.
QString relativeTo(const QString& path, const QString& folder) {
    return path.startsWith(folder + QLatin1Char('/')) ? path.mid(folder.size() + 1) : path;
}

// Runs a step whose failure is not worth reporting; a file error leaves things as they are.
template <typename Step> void bestEffort(Step&& step) {
    try {
        step();
    } catch (const FileError&) {
    }
}

// The bytes of a file of the program's own in folder; none when nothing is there.
std::optional<QByteArray> readOwnFile(const QString& path, qint64 cap) {
    try {
        return readSmallFile(path, cap);
    } catch (const FileError& e) {
        if (e.code() == ENOENT)
            return std::nullopt;
        throw;
    }
}

// The listing files in folder that the organization of journal wrote, with their bytes: a file
// at a listing's name counts only when its bytes are what the journal records of it. Journals
// of earlier versions record nothing: then a listing counts when it is exactly what the export
// writes for the manifest it holds.
QHash<QString, QByteArray> ownListings(const QString& folder, const Journal& journal) {
    QHash<QString, QByteArray> own;
    for (const QString& name : {manifestName, importOrderName}) {
        std::optional<QByteArray> bytes;
        try {
            bytes = readOwnFile(join(folder, name), SmallFileCap::manifest);
        } catch (const FileError&) {
            continue; // not a regular file, or unreadable: not one of ours to remove
        }
        if (!bytes)
            continue;
        bool ours = false;
        if (journal.knowsListings)
            ours = journal.wrote(name, *bytes);
        else if (name == manifestName)
            ours = *bytes == manifestJson(parseManifest(*bytes));
        else
            ours = own.contains(manifestName) &&
                   *bytes == importOrderText(parseManifest(own.value(manifestName)));
        if (ours)
            own.insert(name, *bytes);
    }
    return own;
}

// Whether a move failed for a reason of that one file only (the way to it or to its old place
// is blocked by a symbolic link, a file in place of a folder, permissions), so that the other
// files can still go.
bool failsThisFileOnly(int code) {
    switch (code) {
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case EPERM:
    case EACCES:
    case EISDIR:
    case ENAMETOOLONG:
    case EXDEV:
        return true;
    default:
        return false;
    }
}

// The journal's text written entry by entry, for a journal of count entries (moves and listings
// together), as QJsonDocument writes an array of these objects (keys in order): the entries in
// the order given, and end() once after the last, make the text journalJson() gives, and they
// may be taken out of `out` between the calls. The journal of a large folder never exists as a
// document of values, nor, written in pieces, as one text.
class JournalText {
public:
    explicit JournalText(qsizetype count) : count_(count) {}

    void move(QByteArray& out, const Move& move, bool newFolder, bool aside) {
        begin(out);
        out += "    {\n";
        if (aside)
            out += "        \"aside\": true,\n";
        out += "        \"from\": ";
        JsonText::appendString(out, move.from);
        out += newFolder ? ",\n        \"newFolder\": true,\n        \"to\": "
                         : ",\n        \"newFolder\": false,\n        \"to\": ";
        JsonText::appendString(out, move.to);
        out += '\n';
        endEntry(out);
    }

    void listing(QByteArray& out, const QString& name, const QByteArray& hash) {
        begin(out);
        out += "    {\n        \"listing\": ";
        JsonText::appendString(out, name);
        out += ",\n        \"sha256\": ";
        JsonText::appendString(out, QString::fromLatin1(hash));
        out += '\n';
        endEntry(out);
    }

    void end(QByteArray& out) {
        begin(out);
        out += "]\n";
    }

private:
    void begin(QByteArray& out) {
        if (!begun_)
            out += "[\n";
        begun_ = true;
    }
    void endEntry(QByteArray& out) {
        JsonText::appendIndent(out, 1);
        out += ++written_ < count_ ? "},\n" : "}\n";
    }

    qsizetype count_;
    qsizetype written_ = 0;
    bool begun_ = false;
};

// The fingerprint of the text that pieces gives (SHA-256, hex), as Journal::addListing() takes
// it of the whole text.
QByteArray fingerprintOf(const ListingPieces& pieces) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray piece;
    for (bool more = true; more;) {
        piece.resize(0);
        more = pieces(piece);
        hash.addData(piece);
    }
    return hash.result().toHex();
}

// One export: the plan, what has been done so far, and how to take it back.
class Exporter {
public:
    Exporter(const QList<Item>& items, const QString& from, ExportMode mode, FileOps& ops,
             const QString& copyInto)
        : items_(items), from_(QDir::cleanPath(from)), mode_(mode), ops_(ops),
          copyInto_(copyInto.isEmpty() ? parentOf(from_) : QDir::cleanPath(copyInto)) {}

    ExportResult run(const Progress& progress, const Cancelled& cancelled) {
        try {
            return mode_ == ExportMode::inPlace ? organize(progress, cancelled)
                                                : copy(progress, cancelled);
        } catch (const FileError& e) {
            // An operation a cancel interrupted (it stopped retrying after a signal) ends the
            // export as a cancel does, taken back the same way.
            if (e.code() != EINTR || !cancelled || !cancelled())
                rethrowRolledBack(e);
            rollback();
            throw CancelledError();
        } catch (const Error& e) {
            rethrowRolledBack(e);
        } catch (...) {
            rollback();
            throw;
        }
    }

private:
    // Takes the export back after e, the exception being handled, and throws it again, or,
    // when files could not be moved back, an error that names them.
    [[noreturn]] void rethrowRolledBack(const Error& e) {
        const QStringList stayed = rollback();
        if (stayed.isEmpty())
            throw;
        throw Error(QCoreApplication::translate(
                        "Vantrel::Files",
                        "%1 These files could not be moved back and stay where they "
                        "were put; the undo journal keeps them, so “Put the Files "
                        "Back” can finish later:\n%2")
                        .arg(e.message(), stayed.join(QLatin1Char('\n'))));
    }

    FileOps& folderOps() { return folderOps_ ? *folderOps_ : ops_; }

    // The group folder of an item, created the first time it is needed.
    QString prepareFolder(const QString& folderName) {
        const QString dir = join(result_, folderName);
        if (!prepared_.contains(folderName)) {
            if (!folderOps().exists(dir)) {
                folderOps().makeFolders(dir);
                created_.push_back(dir);
            }
            prepared_.insert(folderName);
        }
        return dir;
    }

    // A group folder of organizing in place: the name it has in the result, and whether the
    // organization creates it.
    struct PlannedFolder {
        QString name;
        bool isNew = false;
        bool prepared = false; // made or found by prepareFolder()
    };
    // The plan of one item when organizing in place: its folder (an index into folders_), and
    // whether it moves, under its own new name or, when that was taken, under `renamed`.
    struct PlannedMove {
        QString renamed;
        qint32 folder = 0;
        bool moves = false;
    };

    static void checkCancelled(const Cancelled& cancelled) {
        if (cancelled && cancelled())
            throw CancelledError();
    }

    ExportResult copy(const Progress& progress, const Cancelled& cancelled) {
        // Built under a hidden name of its own; only that folder is ever removed on a failure.
        result_ = partialFolderFor(from_, copyInto_);
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
        // Whole: it takes the first free name, never one another run took meanwhile.
        for (int i = 1;; ++i) {
            const QString name = sortedFolderName(from_, copyInto_, i);
            if (ops_.exists(name))
                continue;
            try {
                ops_.move(result_, name);
            } catch (const FileError& e) {
                if (e.code() == EEXIST)
                    continue;
                throw;
            }
            return {name, cloneOrCopyNote(cloned, copiedBytes), false, total, cloned, copiedBytes,
                    false};
        }
    }

    ExportResult organize(const Progress& progress, const Cancelled& cancelled) {
        result_ = from_;
        // Held until the export is over: a second organization or put-back is refused.
        folderOps_ = ops_.confinedTo(result_);
        FileOps& fo = *folderOps_;
        removeListingLeftovers(result_, fo);
        readEarlierOrganization();

        // Every move is planned, free names included, and the journal of the plan is on disk
        // before the first file moves: interrupted at any point, the folder can be put back.
        // A journal of an earlier organization that was not put back stays in front of it.
        // The names planned so far: directly in the folder, and in each of its group folders.
        QSet<QString> plannedTop;
        const auto takenAtTop = [&](const QString& name) {
            return plannedTop.contains(name) || fo.exists(join(result_, name));
        };

        // Entries of the user's named like the listing files are set aside, not replaced.
        for (const QString& name : {manifestName, importOrderName}) {
            const QString path = join(result_, name);
            if (previousListings_.contains(name) || !fo.exists(path))
                continue;
            const QString free = freeNameIn(name, takenAtTop);
            plannedTop.insert(free);
            asides_.push_back(Move{path, join(result_, free)});
        }

        // A group folder is reused only when it is a real folder; anything else at its name
        // (a file, a symbolic link) makes the group take a free name.
        QHash<QString, qint32> folderFor;
        for (const Item& item : items_) {
            if (folderFor.contains(item.folder))
                continue;
            const QString dir = join(result_, item.folder);
            QString actual = item.folder;
            bool created = false;
            if (fo.exists(dir)) {
                try {
                    fo.list(dir);
                } catch (const FileError&) {
                    actual = nameOf(freeName(dir, [&](const QString& p) {
                        return plannedTop.contains(relativeTo(p, result_)) || fo.exists(p);
                    }));
                    created = true;
                }
            } else {
                created = !plannedTop.contains(item.folder);
            }
            if (created)
                newFolders_.insert(actual);
            plannedTop.insert(actual);
            folderFor.insert(item.folder, qint32(folders_.size()));
            folders_.push_back({actual, created, false});
        }

        // One entry per item, holding a name of its own only where the item's was taken: a
        // large folder's plan makes no path until the file moves.
        std::vector<QSet<QString>> plannedIn(folders_.size());
        {
            std::vector<qsizetype> count(folders_.size(), 0);
            for (const Item& item : items_)
                ++count[size_t(*folderFor.constFind(item.folder))];
            for (size_t f = 0; f < folders_.size(); ++f)
                plannedIn[f].reserve(count[f]);
        }
        plan_.reserve(size_t(items_.size()));
        for (const Item& item : items_) {
            const qint32 f = *folderFor.constFind(item.folder);
            const PlannedFolder& folder = folders_[size_t(f)];
            const QString source = cleanedPath(item.url);
            if (source.endsWith(item.newName) &&
                QDir::cleanPath(join(join(result_, folder.name), item.newName)) == source) {
                plan_.push_back({{}, f, false});
                continue; // in its place already
            }
            QSet<QString>& names = plannedIn[size_t(f)];
            // Nothing can be in the way inside a folder the organization is to create. On a
            // case-insensitive volume a new name that differs only in case "exists": it is the
            // file itself, not a name taken.
            QString name =
                folder.isNew
                    ? freeNameIn(item.newName, [&](const QString& n) { return names.contains(n); })
                    : freeNameIn(item.newName, [&](const QString& n) {
                          if (names.contains(n))
                              return true;
                          const QString p = join(join(result_, folder.name), n);
                          return fo.exists(p) && !fo.sameEntry(p, source);
                      });
            names.insert(name);
            plan_.push_back({name == item.newName ? QString() : std::move(name), f, true});
        }
        plannedTop = {}; // the plan is made: its sets of names are not held through the moves
        plannedIn = {};

        // The listings are planned too, so that the journal knows them from anything of the
        // user's that takes their names later. Only their fingerprints are kept; the texts are
        // made again when they are written.
        journal_.listings = previousJournal_.listings;
        {
            const QMap<QString, QStringList> manifest = plannedManifest();
            for (const auto& [name, pieces] :
                 {std::pair{manifestName, manifestJsonPieces(manifest)},
                  std::pair{importOrderName, importOrderPieces(manifest)}}) {
                const std::pair<QString, QByteArray> listing{name, fingerprintOf(pieces)};
                if (!journal_.listings.contains(listing))
                    journal_.listings.push_back(listing);
            }
        }
        journalWritten_ = true;
        writeJournal();

        for (const Move& aside : std::as_const(asides_)) {
            fo.move(aside.from, aside.to);
            movedAsides_.push_back(aside);
        }
        const int total = int(items_.size());
        for (int i = 0; i < total; ++i) {
            checkCancelled(cancelled);
            const PlannedMove& move = plan_[size_t(i)];
            if (PlannedFolder& folder = folders_[size_t(move.folder)]; !folder.prepared) {
                prepareFolder(folder.name);
                folder.prepared = true;
            }
            if (move.moves) {
                fo.move(sourceOf(i), targetOf(i));
                movesMade_ = size_t(i) + 1;
            }
            if (progress)
                progress(i + 1, total);
        }
        manifest_ = plannedManifest();
        writeListings(false);
        manifest_ = {};
        // One flush of every folder whose entries changed, instead of one per file.
        QStringList changed;
        changed.reserve(prepared_.size() + 1);
        for (const QString& dir : std::as_const(prepared_))
            changed << join(result_, dir);
        changed << result_;
        fo.syncFolders(changed);
        const bool unlocked = !holdsFolderLock(fo);
        const QString note =
            unlocked ? QCoreApplication::translate(
                           "Vantrel::Files",
                           "%n files moved into their folders: nothing copied, no extra space "
                           "used. The folder's disk can't be locked, so another program could "
                           "have changed the folder while Vantrel organized it.",
                           nullptr, int(total))
                     : QCoreApplication::translate("Vantrel::Files",
                                                   "%n files moved into their folders: nothing "
                                                   "copied, no extra space used.",
                                                   nullptr, int(total));
        return {result_, note, true, total, 0, 0, unlocked};
    }

    // Where the file of item i is before it moves, and where its planned move puts it.
    QString sourceOf(qsizetype i) const { return cleanedPath(items_[i].url); }
    QString targetOf(qsizetype i) const {
        const PlannedMove& move = plan_[size_t(i)];
        const QString& folder = folders_[size_t(move.folder)].name;
        const QString& name = move.renamed.isNull() ? items_[i].newName : move.renamed;
        if (result_.endsWith(QLatin1Char('/')) || folder.isEmpty() ||
            folder.endsWith(QLatin1Char('/')))
            return join(join(result_, folder), name);
        // The path made at once: the folder's own and its group folder's names joined.
        QString target;
        target.reserve(result_.size() + folder.size() + name.size() + 2);
        target.append(result_).append(QLatin1Char('/')).append(folder);
        target.append(QLatin1Char('/')).append(name);
        return target;
    }

    // The manifest of the folder once organized: what an earlier organization listed, then
    // every item in its folder under its planned name.
    QMap<QString, QStringList> plannedManifest() const {
        QMap<QString, QStringList> manifest = manifest_;
        for (qsizetype i = 0; i < items_.size(); ++i) {
            const PlannedMove& move = plan_[size_t(i)];
            manifest[folders_[size_t(move.folder)].name].push_back(
                move.renamed.isNull() ? items_[i].newName : move.renamed);
        }
        return manifest;
    }

    // Writes the journal of the plan, durably, a piece at a time: the moves of an earlier
    // organization, the entries set aside, every planned move, and the listings.
    void writeJournal() {
        const qsizetype earlier = previousJournal_.moves.size();
        const qsizetype asides = asides_.size();
        const qsizetype moves = std::count_if(plan_.cbegin(), plan_.cend(),
                                              [](const PlannedMove& m) { return m.moves; });
        const qsizetype entries = earlier + asides + moves + journal_.listings.size();
        JournalText text(entries);
        qsizetype at = 0;
        qsizetype item = 0; // the next item whose move may be written
        folderOps().writeInPieces(
            join(result_, journalName),
            [&](QByteArray& piece) {
                constexpr qsizetype pieceSize = 256 * 1024;
                for (; at < entries && piece.size() < pieceSize; ++at) {
                    if (at < earlier) {
                        text.move(piece, previousJournal_.moves[at], previousJournal_.newFolder[at],
                                  previousJournal_.aside[at]);
                    } else if (at < earlier + asides) {
                        text.move(piece, asides_[at - earlier], false, true);
                    } else if (at < earlier + asides + moves) {
                        while (!plan_[size_t(item)].moves)
                            ++item;
                        text.move(piece, Move{sourceOf(item), targetOf(item)},
                                  folders_[size_t(plan_[size_t(item)].folder)].isNew, false);
                        ++item;
                    } else {
                        const auto& [name, hash] = journal_.listings[at - earlier - asides - moves];
                        text.listing(piece, name, hash);
                    }
                }
                if (at < entries)
                    return true;
                text.end(piece);
                return false;
            },
            true);
    }

    // The journal and listing files an earlier organization left in the folder: the new
    // journal and listings continue them, and a failed export puts them back as they were.
    // Listing files count as the earlier organization's only when its journal is there too.
    void readEarlierOrganization() {
        const QString journalPath = join(result_, journalName);
        std::optional<QByteArray> bytes;
        try {
            bytes = readOwnFile(journalPath, SmallFileCap::journal);
        } catch (const FileError& e) {
            throw Error(
                QCoreApplication::translate("Vantrel::Files",
                                            "The folder holds an undo journal that can't be read "
                                            "(%1); put the files back or remove it first. Nothing "
                                            "was moved.")
                    .arg(e.message()));
        }
        if (!bytes)
            return;
        const std::optional<Journal> journal = readJournal(*bytes);
        if (!journal)
            throw Error(
                QCoreApplication::translate("Vantrel::Files",
                                            "The undo journal “%1” is damaged: it is not a list of "
                                            "moves. Put the files back or remove it first; nothing "
                                            "was moved.")
                    .arg(journalPath));
        previousJournal_ = rebased(*journal, result_);
        previousListings_.insert(journalName, *bytes);
        // Listing files the earlier organization wrote are continued; anything else at their
        // names is the user's and is set aside.
        const QHash<QString, QByteArray> own = ownListings(result_, previousJournal_);
        for (auto it = own.cbegin(); it != own.cend(); ++it) {
            previousListings_.insert(it.key(), it.value());
            if (!previousJournal_.knowsListings)
                previousJournal_.addListing(it.key(), it.value());
        }
        previousJournal_.knowsListings = true;
        manifest_ = parseManifest(previousListings_.value(manifestName));
    }

    // Writes the listing files of manifest_, a folder at a time.
    void writeListings(bool durable) {
        FileOps& fo = folderOps();
        listingsWritten_ = true;
        fo.writeInPieces(join(result_, manifestName), manifestJsonPieces(manifest_), durable);
        fo.writeInPieces(join(result_, importOrderName), importOrderPieces(manifest_), durable);
    }

    // Best effort: errors are ignored, what cannot be undone stays. Returns a sentence for each
    // file of the user's that stayed where the export put it.
    QStringList rollback() {
        if (mode_ == ExportMode::copy) {
            if (resultCreated_ || ops_.exists(result_))
                bestEffort([&] { ops_.remove(result_); });
            return {};
        }
        if (!folderOps_)
            return {}; // nothing was touched
        FileOps& fo = *folderOps_;
        QStringList stayed;
        Journal notUndone;
        const auto moveBack = [&](const Move& m, bool aside) {
            try {
                fo.move(m.to, m.from);
            } catch (const FileError& e) {
                notUndone.append(m, newFolders_.contains(relativeTo(parentOf(m.to), result_)),
                                 aside);
                stayed << QCoreApplication::translate("Vantrel::Files", "“%1” stayed at “%2”: %3.")
                              .arg(relativeTo(m.from, result_), relativeTo(m.to, result_),
                                   e.reason());
            }
        };
        for (size_t i = movesMade_; i > 0; --i) {
            if (plan_[i - 1].moves)
                moveBack(Move{sourceOf(qsizetype(i - 1)), targetOf(qsizetype(i - 1))}, false);
        }
        for (auto it = created_.crbegin(); it != created_.crend(); ++it) {
            bestEffort([&] {
                if (fo.list(*it).isEmpty())
                    fo.remove(*it);
            });
        }
        if (listingsWritten_) {
            // Only the listings this export wrote: never a file of the user's at their names.
            const QHash<QString, QByteArray> own = ownListings(result_, journal_);
            for (auto it = own.cbegin(); it != own.cend(); ++it)
                bestEffort([&] { fo.remove(join(result_, it.key())); });
        }
        removeListingLeftovers(result_, fo);
        for (auto it = movedAsides_.crbegin(); it != movedAsides_.crend(); ++it)
            moveBack(*it, true);
        for (auto it = previousListings_.cbegin(); it != previousListings_.cend(); ++it) {
            if (it.key() != journalName)
                bestEffort([&] { fo.writeAtomically(join(result_, it.key()), it.value(), true); });
        }
        const QString journalPath = join(result_, journalName);
        if (!notUndone.moves.isEmpty()) {
            // The moves not undone, after those of an earlier organization.
            Journal kept = previousJournal_;
            kept.listings = journal_.listings;
            for (qsizetype i = notUndone.moves.size() - 1; i >= 0; --i)
                kept.append(notUndone.moves[i], notUndone.newFolder[i], notUndone.aside[i]);
            bestEffort([&] { fo.writeAtomically(journalPath, journalJson(kept), true); });
        } else if (previousListings_.contains(journalName)) {
            bestEffort([&] {
                fo.writeAtomically(journalPath, previousListings_.value(journalName), true);
            });
        } else if (journalWritten_) {
            bestEffort([&] { fo.remove(journalPath); });
        }
        return stayed;
    }

    const QList<Item>& items_;
    const QString from_;
    const ExportMode mode_;
    FileOps& ops_;
    const QString copyInto_; // the folder a sorted copy is made in
    std::unique_ptr<FileOps> folderOps_;

    QString result_;
    bool resultCreated_ = false;
    bool journalWritten_ = false;
    bool listingsWritten_ = false;
    QHash<QString, QByteArray> previousListings_;
    Journal previousJournal_;
    // The listings recorded in the journal written before the first move.
    Journal journal_;
    QMap<QString, QStringList> manifest_;
    QSet<QString> prepared_;
    QSet<QString> newFolders_;
    QStringList created_;
    QList<Move> asides_;
    QList<Move> movedAsides_;
    // Organizing in place: its group folders, the plan of each item, and the number of items
    // whose plan was carried out (up to the last one moved).
    std::vector<PlannedFolder> folders_;
    std::vector<PlannedMove> plan_;
    size_t movesMade_ = 0;
};

} // namespace

ExportResult exportItems(const QList<Item>& items, const QString& from, ExportMode mode,
                         const Progress& progress, const Cancelled& cancelled, FileOps& ops,
                         const QString& copyInto) {
    // A system call interrupted by a signal is tried again only until the export is cancelled.
    const CancelScope scope(cancelled);
    return Exporter(items, from, mode, ops, copyInto).run(progress, cancelled);
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
// every path must be absolute and clean and lie inside the folder. Symbolic links on the way are
// met by each move itself, which follows none below the folder.
void checkMoves(const QList<Move>& moves, const QString& folder, const QString& journal) {
    for (const Move& m : moves) {
        for (const QString& path : {m.from, m.to}) {
            const bool inside = QDir::isAbsolutePath(path) && QDir::cleanPath(path) == path &&
                                isInside(path, folder) && path != join(folder, journalName);
            if (!inside)
                throw Error(QCoreApplication::translate(
                                "Vantrel::Files",
                                "The undo journal “%1” names “%2”, which is not inside "
                                "the organized folder; nothing was moved.")
                                .arg(journal, path));
        }
    }
}

} // namespace

namespace {

// The only entry a folder may hold and still count as empty: the file browser's own.
const QString browserFile = QStringLiteral(".DS_Store");

} // namespace

void Journal::append(const Move& move, bool intoNewFolder, bool setAside) {
    moves.push_back(move);
    newFolder.push_back(intoNewFolder);
    aside.push_back(setAside);
}

namespace {
QByteArray fingerprint(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}
} // namespace

void Journal::addListing(const QString& name, const QByteArray& bytes) {
    const std::pair<QString, QByteArray> entry{name, fingerprint(bytes)};
    if (!listings.contains(entry))
        listings.push_back(entry);
}

void Journal::reserve(qsizetype count) {
    moves.reserve(count);
    newFolder.reserve(count);
    aside.reserve(count);
}

bool Journal::wrote(const QString& name, const QByteArray& bytes) const {
    return listings.contains(std::pair<QString, QByteArray>{name, fingerprint(bytes)});
}

QString PutBackResult::note() const {
    return (stayed + missing + foldersLeft).join(QLatin1Char('\n'));
}

PutBackResult undo(const QString& organized, FileOps& ops) {
    const QString folder = QDir::cleanPath(QDir(organized).absolutePath());
    const QString journalPath = join(folder, journalName);
    // Held to the end: a second organization or put-back of the folder is refused meanwhile.
    const std::unique_ptr<FileOps> confined = ops.confinedTo(folder);
    FileOps& fo = *confined;
    QByteArray bytes;
    try {
        bytes = readSmallFile(journalPath, SmallFileCap::journal);
    } catch (const FileError& e) {
        throw FileError(QCoreApplication::translate("Vantrel::Files",
                                                    "Couldn't read the undo journal “%1”: %2.")
                            .arg(journalPath, e.reason()),
                        e.reason(), e.code());
    }
    std::optional<Journal> read = readJournal(bytes);
    bytes = QByteArray(); // the moves are all that is needed of it from here
    if (!read)
        throw Error(QCoreApplication::translate(
                        "Vantrel::Files",
                        "The undo journal “%1” is damaged: it is not a list of moves; "
                        "nothing was moved.")
                        .arg(journalPath));
    const Journal journal = rebased(std::move(*read), folder);
    checkMoves(journal.moves, folder, journalPath);

    PutBackResult result;
    const qsizetype count = journal.moves.size();
    // Whether each move stays in the journal: not undone, and still worth a later try.
    std::vector<bool> keep(size_t(count), false);
    QSet<QString> emptied;
    const auto keptJournal = [&] {
        Journal kept;
        for (qsizetype i = 0; i < count; ++i) {
            if (keep[size_t(i)])
                kept.append(journal.moves[i], journal.newFolder[i], journal.aside[i]);
        }
        kept.knowsFolders = journal.knowsFolders;
        kept.listings = journal.listings;
        kept.knowsListings = journal.knowsListings;
        return kept;
    };
    // Removes the folders the organization created, deepest first, once nothing of the user's is in
    // them. A journal of an earlier version does not say which those are: then every folder a file
    // went back from counts, still only when empty.
    const auto clearFolders = [&] {
        QStringList folders;
        for (qsizetype i = 0; i < count; ++i) {
            const QString dir = parentOf(journal.moves[i].to);
            if (dir != folder && !journal.aside[i] &&
                (journal.knowsFolders ? journal.newFolder[i] : emptied.contains(dir)) &&
                !folders.contains(dir))
                folders << dir;
        }
        std::sort(folders.begin(), folders.end(),
                  [](const QString& a, const QString& b) { return a.size() > b.size(); });
        for (const QString& dir : std::as_const(folders)) {
            QStringList entries;
            try {
                entries = fo.list(dir);
            } catch (const FileError&) {
                continue;
            }
            if (entries == QStringList{browserFile} && fo.fileSize(join(dir, browserFile))) {
                bestEffort([&] { fo.remove(join(dir, browserFile)); });
                entries.clear();
            }
            if (entries.isEmpty()) {
                try {
                    fo.remove(dir);
                } catch (const FileError& e) {
                    result.foldersLeft << QCoreApplication::translate("Vantrel::Files",
                                                                      "“%1” was left in place: %2.")
                                              .arg(relativeTo(dir, folder), e.reason());
                }
                continue;
            }
            bool holdsStayed = false;
            for (qsizetype i = 0; i < count && !holdsStayed; ++i)
                holdsStayed = keep[size_t(i)] && parentOf(journal.moves[i].to) == dir;
            if (!holdsStayed)
                result.foldersLeft
                    << (entries.size() == 1
                            ? QCoreApplication::translate("Vantrel::Files",
                                                          "“%1” was left in place: it holds “%2” "
                                                          "that Vantrel didn't put there.")
                                  .arg(relativeTo(dir, folder), entries.first())
                            : QCoreApplication::translate("Vantrel::Files",
                                                          "“%1” was left in place: it holds %n "
                                                          "entries that Vantrel didn't put there.",
                                                          nullptr, int(entries.size()))
                                  .arg(relativeTo(dir, folder)));
        }
    };

    std::vector<bool> tried(size_t(count), false);
    const auto moveBack = [&](qsizetype i) {
        const Move& m = journal.moves[i];
        tried[size_t(i)] = true;
        // Straight to the old name, which the rename never replaces; a free name only when it is
        // taken.
        bool fromTaken = false;
        try {
            try {
                fo.move(m.to, m.from);
            } catch (const FileError& e) {
                if (e.code() != EEXIST)
                    throw;
                fromTaken = true;
                fo.move(m.to, freeName(m.from, [&](const QString& p) {
                            return fo.exists(p) && !fo.sameEntry(p, m.to);
                        }));
            }
        } catch (const FileError& e) {
            const QString from = relativeTo(m.from, folder);
            const QString to = relativeTo(m.to, folder);
            if (e.code() == ENOENT && !fo.exists(m.to)) {
                // Something is at the old place and nothing at the new one: the move was never
                // made (an interrupted organization) or was undone (an interrupted put-back).
                if (fromTaken || fo.exists(m.from))
                    return;
                // Deleted or moved away by the user: kept, for a put-back once it is back.
                keep[size_t(i)] = true;
                result.missing << QCoreApplication::translate(
                                      "Vantrel::Files", "“%1” was not put back: it is no longer at "
                                                        "“%2”, where the undo journal expects it.")
                                      .arg(from, to);
                return;
            }
            keep[size_t(i)] = true;
            if (!failsThisFileOnly(e.code())) {
                // Stop here; the journal keeps this move and every one not yet tried.
                for (qsizetype j = 0; j < count; ++j)
                    keep[size_t(j)] = keep[size_t(j)] || !tried[size_t(j)];
                bestEffort(
                    [&] { fo.writeAtomically(journalPath, journalJson(keptJournal()), true); });
                clearFolders();
                throw;
            }
            result.stayed << QCoreApplication::translate("Vantrel::Files",
                                                         "“%1” stayed at “%2”: %3.")
                                 .arg(from, to, e.reason());
            return;
        }
        ++result.restored;
        emptied.insert(parentOf(m.to));
    };
    for (qsizetype i = count - 1; i >= 0; --i) {
        if (!journal.aside[i])
            moveBack(i);
    }

    clearFolders();

    // The listing files this program wrote (never a file of the user's at their names), then
    // what was set aside for them.
    const QHash<QString, QByteArray> own = ownListings(folder, journal);
    for (auto it = own.cbegin(); it != own.cend(); ++it)
        try {
            fo.remove(join(folder, it.key()));
        } catch (const FileError& e) {
            result.foldersLeft << QCoreApplication::translate("Vantrel::Files",
                                                              "“%1” was left in place: %2.")
                                      .arg(it.key(), e.reason());
        }
    removeListingLeftovers(folder, fo);
    for (qsizetype i = count - 1; i >= 0; --i) {
        if (journal.aside[i])
            moveBack(i);
    }

    if (std::find(keep.begin(), keep.end(), true) != keep.end())
        bestEffort([&] { fo.writeAtomically(journalPath, journalJson(keptJournal()), true); });
    else
        bestEffort([&] { fo.remove(journalPath); });
    if (!result.stayed.isEmpty())
        throw PutBackError(QCoreApplication::translate(
                               "Vantrel::Files",
                               "Some files stayed where they are; the undo journal keeps them, so "
                               "that a later put-back can finish:\n%1")
                               .arg(result.note()),
                           result);
    return result;
}

void checkJournal(const QList<Move>& moves, const QString& folder, const QString& journalPath) {
    checkMoves(moves, folder, journalPath);
}

QByteArray journalJson(const QList<Move>& moves) {
    Journal journal;
    for (const Move& m : moves)
        journal.append(m, false);
    return journalJson(journal);
}

QByteArray journalJson(const Journal& journal) {
    QByteArray json;
    qsizetype size = 16;
    for (const Move& m : journal.moves)
        size += m.from.size() + m.to.size() + 80;
    json.reserve(size + journal.listings.size() * 128);
    JournalText text(journal.moves.size() + journal.listings.size());
    for (qsizetype i = 0; i < journal.moves.size(); ++i)
        text.move(json, journal.moves[i], journal.newFolder[i], journal.aside[i]);
    for (const auto& [name, hash] : journal.listings)
        text.listing(json, name, hash);
    text.end(json);
    return json;
}

namespace {

// One entry of a journal's text: which of the known keys it has with a value of their kind.
struct JournalEntry {
    std::optional<QString> from, to, listing, hash;
    std::optional<bool> newFolder, aside;

    // Reads an object; false when the text is not JSON or the value is not an object.
    bool read(JsonText::Reader& r) {
        if (!r.take('{'))
            return false;
        if (r.take('}'))
            return true;
        QString key;
        do {
            if (!r.readString(key) || !r.take(':'))
                return false;
            // A key met twice counts with its last value.
            std::optional<QString>* text = key == QLatin1String("from")      ? &from
                                           : key == QLatin1String("to")      ? &to
                                           : key == QLatin1String("listing") ? &listing
                                           : key == QLatin1String("sha256")  ? &hash
                                                                             : nullptr;
            std::optional<bool>* flag = key == QLatin1String("newFolder") ? &newFolder
                                        : key == QLatin1String("aside")   ? &aside
                                                                          : nullptr;
            const char next = r.peek();
            if (text && next == '"') {
                QString value;
                if (!r.readString(value))
                    return false;
                *text = std::move(value);
            } else if (flag && (next == 't' || next == 'f')) {
                bool value = false;
                if (!r.readBool(value))
                    return false;
                *flag = value;
            } else {
                if (text)
                    text->reset();
                if (flag)
                    flag->reset();
                if (!r.skipValue())
                    return false;
            }
        } while (r.take(','));
        return r.take('}');
    }
};

} // namespace

// Read in place, without a document of the whole text: a put-back of a large folder holds the
// journal's bytes and its moves, nothing more.
std::optional<Journal> readJournal(const QByteArray& bytes) {
    JsonText::Reader r(bytes);
    if (!r.take('['))
        return std::nullopt;
    Journal journal;
    journal.knowsListings = false;
    if (!r.take(']')) {
        do {
            if (r.peek() != '{')
                return std::nullopt; // not JSON, or an entry that is not an object
            JournalEntry entry;
            if (!entry.read(r))
                return std::nullopt;
            if (entry.listing && entry.hash) {
                journal.listings.push_back({*entry.listing, entry.hash->toLatin1()});
                journal.knowsListings = true;
                continue;
            }
            if (!entry.from || !entry.to)
                return std::nullopt;
            journal.knowsFolders = journal.knowsFolders && entry.newFolder.has_value();
            journal.append({std::move(*entry.from), std::move(*entry.to)},
                           entry.newFolder.value_or(false), entry.aside.value_or(false));
        } while (r.take(','));
        if (!r.take(']'))
            return std::nullopt;
    }
    if (!r.atEnd())
        return std::nullopt;
    return journal;
}

std::optional<QList<Move>> parseJournal(const QByteArray& bytes) {
    std::optional<Journal> journal = readJournal(bytes);
    if (!journal)
        return std::nullopt;
    return journal->moves;
}

Journal rebased(Journal journal, const QString& folder) {
    if (journal.moves.isEmpty())
        return journal;
    const auto insideFolder = [&](const Move& m) {
        return isInside(m.from, folder) && isInside(m.to, folder);
    };
    if (std::all_of(journal.moves.cbegin(), journal.moves.cend(), insideFolder))
        return journal;
    // Every file was taken from one folder, directly inside it, into places inside it.
    const QString earlier = parentOf(journal.moves.first().from);
    const bool oneFolder =
        std::all_of(journal.moves.cbegin(), journal.moves.cend(), [&](const Move& m) {
            return QDir::cleanPath(m.from) == m.from && QDir::cleanPath(m.to) == m.to &&
                   parentOf(m.from) == earlier && isInside(m.to, earlier);
        });
    if (!oneFolder || earlier == folder || isInside(folder, earlier) ||
        !QDir::isAbsolutePath(earlier))
        return journal;
    for (Move& m : journal.moves) {
        m.from = folder + m.from.mid(earlier.size());
        m.to = folder + m.to.mid(earlier.size());
    }
    return journal;
}

} // namespace Vantrel::Engine
