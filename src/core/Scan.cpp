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
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace Vantrel {

QString Item::fileName() const {
    // Searched from the end by hand: QString::lastIndexOf costs more than the copy for a name.
    const auto* units = reinterpret_cast<const char16_t*>(url.constData());
    qsizetype start = url.size();
    while (start > 0 && units[start - 1] != u'/')
        --start;
    return QString(url.constData() + start, url.size() - start);
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
    // Compared as bytes, A-Z folded (ASCII case only, as toLower()): QString's comparison
    // without case costs more than the rest of telling the file.
    static const std::vector<std::string> exts = [] {
        std::vector<std::string> lowered;
        for (const QString& e : audioExts())
            lowered.push_back(e.toLower().toStdString());
        return lowered;
    }();
    return std::any_of(exts.cbegin(), exts.cend(), [ext](const std::string& e) {
        if (qsizetype(e.size()) != ext.size())
            return false;
        for (size_t i = 0; i < e.size(); ++i) {
            char16_t u = ext[qsizetype(i)].unicode();
            if (u >= 'A' && u <= 'Z')
                u = char16_t(u + ('a' - 'A'));
            if (u != char16_t(static_cast<unsigned char>(e[i])))
                return false;
        }
        return true;
    });
}

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// The paths (prefix + name) of the regular files directly inside folder, hidden ones left out.
// Symbolic links are not regular files: they are neither listed nor followed. A name that does
// not survive decoding (not valid UTF-8) is left alone with a sentence in result.leftAlone.
QStringList regularFiles(const QString& folder, const QString& prefix, ScanResult& result) {
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
        if (ascii) { // the path made in one piece
            QString path;
            path.reserve(prefix.size() + qsizetype(length));
            path += prefix;
            path += QLatin1String(bytes, qsizetype(length));
            names.push_back(std::move(path));
            continue;
        }
        const QString name = QString::fromUtf8(bytes, qsizetype(length));
        if (name.toUtf8() != QByteArrayView(bytes, qsizetype(length))) {
            result.leftAlone.push_back(
                QCoreApplication::translate("Vantrel::Files",
                                            "“%1” was left alone: its name is not valid UTF-8, so "
                                            "Vantrel can't name it safely.")
                    .arg(name));
            continue;
        }
        names.push_back(prefix + name);
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

// The header facts of the files at urls, read on helper threads from the start while the
// calling thread goes on with naming the files; finish() gives the calling thread to what is
// left and waits for the rest. Opening and reading a file's first bytes costs a few system
// calls, and on a cold disk a wait for the device; several threads keep several reads in flight.
// Small folders are read on the calling thread.
class HeaderReading {
public:
    HeaderReading(const AudioReader& audio, QStringList urls)
        : audio_(audio), urls_(std::move(urls)), headers_(size_t(urls_.size())) {
        const auto threads = qsizetype(std::clamp(std::thread::hardware_concurrency() * 2, 2u, 8u));
        for (qsizetype t = 1; t < std::min(threads, urls_.size() / 64 + 1); ++t)
            helpers_.emplace_back([this] { work(); });
    }
    ~HeaderReading() { join(); }
    HeaderReading(const HeaderReading&) = delete;
    HeaderReading& operator=(const HeaderReading&) = delete;

    std::vector<AudioHeader> finish() {
        work();
        join();
        return std::move(headers_);
    }

private:
    void work() {
        const qsizetype count = urls_.size();
        for (qsizetype i = next_.fetch_add(1); i < count; i = next_.fetch_add(1))
            headers_[size_t(i)] = audio_.header(urls_.at(i));
    }
    void join() {
        for (std::thread& helper : helpers_)
            if (helper.joinable())
                helper.join();
    }

    const AudioReader& audio_;
    const QStringList urls_;
    std::vector<AudioHeader> headers_;
    std::atomic<qsizetype> next_{0};
    std::vector<std::thread> helpers_;
};

} // namespace

ScanResult scan(const QString& folder, const Config& cfg, const AudioReader* audio) {
    ScanResult result;
    const Classifier classifier(cfg);
    QString base = QDir::cleanPath(QDir(folder).absolutePath());
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    // Each file's path made once, to be its item's: the names are sorted within the paths.
    QStringList paths = regularFiles(folder, base, result);
    NaturalOrder::sortByName(paths, base.size());

    // The audio files first, each with the length of its stem, so that their headers can be
    // read while they are named.
    result.items.reserve(paths.size());
    std::vector<qsizetype> stemLength;
    stemLength.reserve(size_t(paths.size()));
    for (const QString& path : std::as_const(paths)) {
        const QStringView name = QStringView(path).mid(base.size());
        qsizetype dot = name.size() - 1; // the last ".", searched by hand as in fileName()
        while (dot >= 0 && name[dot] != u'.')
            --dot;
        if (!audioExtension(dot < 0 ? QStringView() : name.mid(dot + 1))) {
            result.skipped.push_back(name.toString());
            continue;
        }
        Item item;
        item.url = path;
        result.items.push_back(std::move(item));
        stemLength.push_back(dot);
    }
    paths = QStringList(); // every path is its item's now
    std::optional<HeaderReading> headers;
    if (audio) {
        QStringList urls;
        urls.reserve(result.items.size());
        for (const Item& item : std::as_const(result.items))
            urls.push_back(item.url);
        headers.emplace(*audio, std::move(urls));
    }

    for (qsizetype i = 0; i < result.items.size(); ++i) {
        Item& item = result.items[i];
        // The stem read where it stands in the path, not copied: the classifier and
        // sessionOrder() keep nothing of it.
        const QString stem =
            QString::fromRawData(item.url.constData() + base.size(), stemLength[size_t(i)]);
        Classification c = classifier.classify(stem);
        item.source = std::move(c.source);
        item.group = std::move(c.group);
        item.order = sessionOrder(stem);
    }
    if (!result.items.isEmpty())
        result.placed = placedBefore(QDir::cleanPath(base));
    result.items = finalize(std::move(result.items), cfg, result.placed);
    if (headers) {
        // finalize() keeps the items in their order.
        const std::vector<AudioHeader> read = headers->finish();
        for (qsizetype i = 0; i < result.items.size(); ++i)
            result.items[i].audio = read[size_t(i)];
    }
    return result;
}

} // namespace Engine
} // namespace Vantrel
