#include "core/Manifest.h"

#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/JsonText.h"
#include "core/SmallFile.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace Vantrel::Engine {

namespace {

// Whether name is one path component that stays where it is put.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(QLatin1Char('/')) &&
           !name.contains(QChar(0));
}

} // namespace

ListingPieces manifestJsonPieces(const QMap<QString, QStringList>& manifest) {
    // As QJsonDocument writes it (a reader compares the bytes to know its own listing), a
    // folder at a time, without the document of every name in between.
    return [&manifest, it = manifest.cbegin(), begun = false](QByteArray& json) mutable {
        if (!begun) {
            json += "{\n";
            begun = true;
        }
        if (it == manifest.cend()) {
            json += "}\n";
            return false;
        }
        JsonText::appendIndent(json, 1);
        JsonText::appendString(json, it.key());
        json += ": [\n";
        const QStringList& names = it.value();
        for (qsizetype i = 0; i < names.size(); ++i) {
            JsonText::appendIndent(json, 2);
            JsonText::appendString(json, names[i]);
            json += i + 1 < names.size() ? ",\n" : "\n";
        }
        JsonText::appendIndent(json, 1);
        json += std::next(it) != manifest.cend() ? "],\n" : "]\n";
        ++it;
        return true;
    };
}

QByteArray manifestJson(const QMap<QString, QStringList>& manifest) {
    QByteArray json;
    qsizetype size = 8;
    for (auto it = manifest.cbegin(); it != manifest.cend(); ++it) {
        size += it.key().size() + 16;
        for (const QString& name : it.value())
            size += name.size() + 16;
    }
    json.reserve(size);
    const ListingPieces pieces = manifestJsonPieces(manifest);
    while (pieces(json)) {
    }
    return json;
}

QMap<QString, QStringList> parseManifest(const QByteArray& bytes) {
    QMap<QString, QStringList> manifest;
    const QJsonObject root = QJsonDocument::fromJson(bytes).object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (!it.value().isArray())
            return {};
        QStringList names;
        for (const QJsonValue name : it.value().toArray()) {
            if (!name.isString())
                return {};
            names.push_back(name.toString());
        }
        manifest.insert(it.key(), names);
    }
    return manifest;
}

QList<Item> readManifest(const QString& folder, const Config& cfg) {
    QByteArray bytes;
    try {
        // Never waits on a FIFO put in its place, never reads without end.
        bytes = readSmallFile(folder + QLatin1Char('/') + manifestName, SmallFileCap::manifest);
    } catch (const FileError& e) {
        if (e.code() != ENOENT)
            throw;
        throw Error(QCoreApplication::translate("Vantrel::Files",
                                                "“%1” is not a result folder: it holds no %2.")
                        .arg(folder, manifestName));
    }
    const QJsonDocument doc = QJsonDocument::fromJson(bytes);
    const auto unreadable = [&] {
        return Error(QCoreApplication::translate("Vantrel::Files", "The %1 in “%2” cannot be read.")
                         .arg(manifestName, folder));
    };
    if (!doc.isObject())
        throw unreadable();
    const auto leaves = [&](const QString& name) {
        return Error(QCoreApplication::translate(
                         "Vantrel::Files",
                         "The %1 in “%2” names “%3”, which is not a place inside the "
                         "folder; nothing was sent.")
                         .arg(manifestName, folder, name));
    };

    static const QRegularExpression numbered(QStringLiteral("^[0-9]+_(.+)$"));
    QList<Item> items;
    const QJsonObject manifest = doc.object();
    for (auto it = manifest.begin(); it != manifest.end(); ++it) {
        if (!isPlainName(it.key()))
            throw leaves(it.key());
        if (!it.value().isArray())
            throw unreadable();
        std::optional<QString> group;
        if (it.key() != safeName(cfg.unsortedFolder)) {
            const QRegularExpressionMatch m = numbered.match(it.key());
            if (m.hasMatch()) {
                group = m.captured(1);
                for (const RuleGroup& g : cfg.groups) {
                    if (safeName(g.name) == *group) {
                        group = g.name;
                        break;
                    }
                }
            }
        }
        for (const QJsonValue& name : it.value().toArray()) {
            if (!name.isString())
                throw unreadable();
            if (!isPlainName(name.toString()))
                throw leaves(it.key() + QLatin1Char('/') + name.toString());
            Item item;
            item.folder = it.key();
            item.newName = name.toString();
            item.url = folder + QLatin1Char('/') + item.folder + QLatin1Char('/') + item.newName;
            item.group = group;
            items << item;
        }
    }
    return items;
}

void checkTracksPresent(const QList<Item>& items, const QString& folder) {
    if (items.isEmpty())
        throw Error(QCoreApplication::translate("Vantrel::Files",
                                                "The %1 in “%2” lists no tracks; nothing was sent.")
                        .arg(manifestName, folder));
    // A group folder that is a symbolic link could lead anywhere: nothing is sent through it.
    QSet<QString> realFolders;
    for (const Item& item : items) {
        if (realFolders.contains(item.folder))
            continue;
        struct stat st;
        const QString path = folder + QLatin1Char('/') + item.folder;
        // The name's own bytes (QFile::encodeName decomposes on macOS).
        if (::lstat(path.toUtf8().constData(), &st) == 0 && S_ISLNK(st.st_mode))
            throw Error(QCoreApplication::translate(
                            "Vantrel::Files",
                            "The folder “%1” in “%2” is a symbolic link, so its tracks "
                            "may lie outside the result folder; nothing was sent.")
                            .arg(item.folder, folder));
        realFolders.insert(item.folder);
    }
    QStringList missing;
    for (const Item& item : items) {
        struct stat st;
        if (::lstat(item.url.toUtf8().constData(), &st) != 0 || !S_ISREG(st.st_mode))
            missing << item.folder + QLatin1Char('/') + item.newName;
    }
    if (missing.isEmpty())
        return;
    QStringList named;
    for (const QString& name : missing.mid(0, 3))
        named << QStringLiteral("“%1”").arg(name);
    if (missing.size() > 3)
        named << QStringLiteral("…");
    throw Error(QCoreApplication::translate("Vantrel::Files",
                                            "%n of the %1 tracks that the %2 in “%3” lists are not "
                                            "in their place (%4); nothing was sent.",
                                            nullptr, int(missing.size()))
                    .arg(items.size())
                    .arg(manifestName, folder, named.join(QStringLiteral(", "))));
}

} // namespace Vantrel::Engine
