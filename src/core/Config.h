#pragma once

#include "core/Ids.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>
#include <utility>

namespace Vantrel {

class FileOps;

// A palette position: column 0..23, row 0..3.
struct Swatch {
    int col = 0;
    int row = 0;
    bool operator==(const Swatch&) const = default;
};

// One rule group: a name, the words that put a track into it and an optional Logic colour.
struct RuleGroup {
    // Identity within one run; fresh for every group created or read, never stored.
    QUuid id = newId();
    QString name;
    QStringList aliases;
    // Stored colour as [col, row]; absent means "the default swatch of the name".
    std::optional<QList<int>> color;

    // The resolved palette position: the stored colour if it is a valid cell, the name's
    // default when no colour is stored, none otherwise.
    std::optional<Swatch> swatch() const;

    bool operator==(const RuleGroup&) const = default;
};

// The rule configuration: groups in precedence order, source aliases, the unsorted folder
// and the two naming options.
struct Config {
    QList<RuleGroup> groups;
    QMap<QString, QString> sourceAliases;
    QString unsortedFolder;
    bool numberTracks = true;
    bool groupInName = false;

    bool operator==(const Config&) const = default;

    // The built-in configuration; created once, its group ids stay the same for the run.
    static const Config& defaults();

    // The user's configuration file: <generic data location>/Vantrel/config.json.
    static QString filePath();

    // Reads the user's configuration; never fails (falls back to the defaults).
    static Config load();
    // Reads the configuration file at path with the same rules as load().
    static Config loadFrom(const QString& path);

    // Whether a regular file is at path that load would not use (it cannot be read, is not
    // in the file format or has no groups), so that a save would replace the user's file.
    static bool unusableAt(const QString& path);
    // Keeps the unusable file at path beside it, under the first free one of the names
    // "<file>.unreadable", "<file>.unreadable 2", "<file>.unreadable 3", …: a copy when the
    // file can be read, else the file itself moved there. When one of those names already
    // holds the same bytes, that one is the copy and nothing is made. Returns where the old
    // file is kept; throws FileError when it cannot be kept.
    static QString keepUnusable(const QString& path, FileOps& ops);

    // Parses the file format; none when the bytes are not a readable configuration. Group
    // names and aliases are upper-cased; nothing else is changed.
    static std::optional<Config> fromJson(const QByteArray& bytes);
    // The file format: indented, keys in ascending order.
    QByteArray toJson() const;

    // Writes the configuration to the user's file atomically; throws FileError.
    void save() const;
    // Writes the configuration to path atomically; throws FileError.
    void saveTo(const QString& path) const;

    // The pieces of text between U+0020 spaces, empty pieces dropped.
    static QStringList words(const QString& text);
};

} // namespace Vantrel
