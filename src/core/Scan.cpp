#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/NaturalOrder.h"
#include "core/SmallFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace Vantrel {

QString Item::fileName() const {
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

namespace Engine {

const QSet<QString>& audioExts() {
    static const QSet<QString> exts = {QStringLiteral("wav"),  QStringLiteral("aif"),
                                       QStringLiteral("aiff"), QStringLiteral("mp3"),
                                       QStringLiteral("flac"), QStringLiteral("m4a"),
                                       QStringLiteral("caf")};
    return exts;
}

namespace {

// Whether ext (as it is in the name) lowered is one of audioExts(); a plain ASCII extension is
// compared in place, without making a lower-case copy and hashing it for every file.
bool audioExtension(QStringView ext) {
    const bool ascii =
        std::all_of(ext.cbegin(), ext.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        return audioExts().contains(ext.toString().toLower());
    static const std::vector<QString> exts(audioExts().cbegin(), audioExts().cend());
    return std::any_of(exts.cbegin(), exts.cend(), [ext](const QString& e) {
        return ext.compare(e, Qt::CaseInsensitive) == 0; // ASCII case only, as toLower()
    });
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// The names of the regular files directly inside folder, hidden ones left out, into result.
// Symbolic links are not regular files: they are neither listed nor followed. A name that does
// not survive decoding (not valid UTF-8) is left alone with a sentence in result.leftAlone.
QStringList regularFiles(const QString& folder, ScanResult& result) {
    QStringList names;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.toUtf8().constData()));
    if (!dir) {
        result.error = FileError::fromErrno(
                           QCoreApplication::translate("Vantrel::Files", "Couldn't read “%1”: %2."),
                           folder, errno)
                           .message();
        return names;
    }
    const int fd = dirfd(dir.get());
    while (const dirent* e = readdir(dir.get())) {
        if (e->d_name[0] == '.')
            continue;
        bool regular = e->d_type == DT_REG;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st;
            regular = fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
        }
        if (!regular)
            continue;
        // The bytes as they are, composed (NFC) or decomposed (NFD): QFile::decodeName composes
        // on macOS, and its encodeName gives other bytes back than the disk holds.
        // Plain ASCII is valid UTF-8 as it is; any other name must come back as its own bytes.
        const char* bytes = e->d_name;
        const size_t length = std::strlen(bytes);
        const bool ascii = std::all_of(bytes, bytes + length,
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        const QString name = ascii ? QString::fromLatin1(bytes, qsizetype(length))
                                   : QString::fromUtf8(bytes, qsizetype(length));
        if (!ascii && name.toUtf8() != QByteArrayView(bytes, qsizetype(length))) {
            result.leftAlone.push_back(
                QCoreApplication::translate("Vantrel::Files",
                                            "“%1” was left alone: its name is not valid UTF-8, so "
                                            "Vantrel can't name it safely.")
                    .arg(name));
            continue;
        }
        names.push_back(name);
    }
    return names;
}

// The tracks an earlier organization placed in each group folder, from its manifest; only a
// folder that still holds the earlier organization's journal counts as organized.
QHash<QString, int> placedBefore(const QString& folder) {
    QHash<QString, int> placed;
    try {
        readSmallFile(folder + QLatin1Char('/') + journalName, SmallFileCap::journal);
        const QJsonObject manifest =
            QJsonDocument::fromJson(
                readSmallFile(folder + QLatin1Char('/') + manifestName, SmallFileCap::manifest))
                .object();
        for (auto it = manifest.begin(); it != manifest.end(); ++it)
            placed.insert(it.key(), int(it.value().toArray().size()));
    } catch (const FileError&) {
        return {};
    }
    return placed;
}

// Every item's header facts. Opening and reading a file's first bytes costs a few system calls,
// and on a cold disk a wait for the device; several threads keep several reads in flight.
// Small folders are read on the calling thread.
void readHeaders(QList<Item>& items, const AudioReader& audio) {
    const qsizetype count = items.size();
    Item* const first = items.data(); // detached here, before any thread touches an item
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        for (qsizetype i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            first[i].audio = audio.header(first[i].url);
    };
    const auto threads = qsizetype(std::clamp(std::thread::hardware_concurrency() * 2, 2u, 8u));
    std::vector<std::thread> helpers;
    for (qsizetype t = 1; t < std::min(threads, count / 64 + 1); ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace

ScanResult scan(const QString& folder, const Config& cfg, const AudioReader* audio) {
    ScanResult result;
    QStringList names = regularFiles(folder, result);
    NaturalOrder::sort(names);

    QString base = QDir::cleanPath(QDir(folder).absolutePath());
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');

    const Classifier classifier(cfg);
    result.items.reserve(names.size());
    for (const QString& name : std::as_const(names)) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (!audioExtension(dot < 0 ? QStringView() : QStringView(name).mid(dot + 1))) {
            result.skipped.push_back(name);
            continue;
        }
        const QString stem = name.left(dot);
        const Classification c = classifier.classify(stem);
        Item item;
        item.url = base + name;
        item.source = c.source;
        item.group = c.group;
        item.order = sessionOrder(stem);
        result.items.push_back(std::move(item));
    }
    names = QStringList(); // every name is in its item's path now
    if (audio)
        readHeaders(result.items, *audio);
    if (!result.items.isEmpty())
        result.placed = placedBefore(QDir::cleanPath(base));
    result.items = finalize(std::move(result.items), cfg, result.placed);
    return result;
}

} // namespace Engine
} // namespace Vantrel
