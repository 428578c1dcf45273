#include "core/Config.h"

#include "core/ConfigProblem.h"
#include "core/Errors.h"
#include "core/FileOps.h"
#include "core/IcuText.h"
#include "core/Palette.h"
#include "core/SmallFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace Vantrel {

namespace {

const QString kGroupInName = QStringLiteral("group_in_name");
const QString kGroups = QStringLiteral("groups");
const QString kNumberTracks = QStringLiteral("number_tracks");
const QString kSourceAliases = QStringLiteral("source_aliases");
const QString kUnsortedFolder = QStringLiteral("unsorted_folder");
const QString kName = QStringLiteral("name");
const QString kAliases = QStringLiteral("aliases");
const QString kColor = QStringLiteral("color");

// Thrown inside the parser when the file is not a readable configuration, with what is wrong.
struct Unreadable {
    QString why;
};

// The reason in the rules' words: whyNot is a QT_TRANSLATE_NOOP clause with where as %1.
QString rulesReason(const char* whyNot, const QString& where) {
    return QCoreApplication::translate("Vantrel::Rules", whyNot).arg(where);
}

QString requireString(const QJsonValue& v, const char* whyNot, const QString& where) {
    if (!v.isString())
        throw Unreadable{rulesReason(whyNot, where)};
    return v.toString();
}

// An optional boolean: absent and null give the fallback, any other non-boolean is unreadable.
bool optionalBool(const QJsonObject& o, const QString& key, bool fallback) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull())
        return fallback;
    if (!v.isBool())
        throw Unreadable{
            QCoreApplication::translate("Vantrel::Rules", "“%1” is not true or false").arg(key)};
    return v.toBool();
}

// An integer in the range of int; none otherwise.
std::optional<int> intOf(const QJsonValue& v) {
    if (!v.isDouble())
        return std::nullopt;
    const double d = v.toDouble();
    if (d != std::trunc(d) || d < double(std::numeric_limits<int>::min()) ||
        d > double(std::numeric_limits<int>::max()))
        return std::nullopt;
    return int(d);
}

RuleGroup parseGroup(const QJsonValue& value, qsizetype index) {
    const QString where = QString::number(index + 1);
    if (!value.isObject())
        throw Unreadable{
            rulesReason(QT_TRANSLATE_NOOP("Vantrel::Rules", "group %1 is not an object"), where)};
    const QJsonObject o = value.toObject();

    RuleGroup g;
    g.name = Icu::upper(requireString(
        o.value(kName), QT_TRANSLATE_NOOP("Vantrel::Rules", "the “name” of group %1 is not text"),
        where));

    const QJsonValue aliases = o.value(kAliases);
    if (!aliases.isArray())
        throw Unreadable{rulesReason(
            QT_TRANSLATE_NOOP("Vantrel::Rules", "the “aliases” of group %1 is not a list"), where)};
    for (const QJsonValue a : aliases.toArray())
        g.aliases.append(Icu::upper(requireString(
            a, QT_TRANSLATE_NOOP("Vantrel::Rules", "a word of group %1 is not text"), where)));

    const QJsonValue color = o.value(kColor);
    if (!color.isUndefined() && !color.isNull()) {
        if (!color.isArray())
            throw Unreadable{rulesReason(
                QT_TRANSLATE_NOOP("Vantrel::Rules", "the “color” of group %1 is not a list"),
                where)};
        // A number that is no cell index makes this colour a list that names no cell (no
        // colour), not the whole file unusable.
        QList<int> cell;
        for (const QJsonValue c : color.toArray()) {
            const std::optional<int> n = intOf(c);
            if (!n) {
                cell = QList<int>(); // a fresh empty list, like one read from "[]"
                break;
            }
            cell.append(*n);
        }
        g.color = cell;
    }
    return g;
}

// The line and column (from 1) of a byte offset of a text.
QString lineAndColumn(const QByteArray& bytes, qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, bytes.size());
    const qsizetype line = bytes.left(offset).count('\n') + 1;
    const qsizetype lineStart = bytes.lastIndexOf('\n', offset - 1) + 1;
    return QCoreApplication::translate("Vantrel::Rules", "line %1, column %2")
        .arg(line)
        .arg(offset - lineStart + 1);
}

Config parse(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw Unreadable{
            QStringLiteral("%1: %2").arg(lineAndColumn(bytes, error.offset), error.errorString())};
    if (!doc.isObject())
        throw Unreadable{QCoreApplication::translate("Vantrel::Rules", "it is not a JSON object")};
    const QJsonObject root = doc.object();

    Config cfg;
    const QJsonValue groups = root.value(kGroups);
    if (!groups.isArray())
        throw Unreadable{rulesReason(
            QT_TRANSLATE_NOOP("Vantrel::Rules", "“%1” is missing or not a list"), kGroups)};
    const QJsonArray groupArray = groups.toArray();
    for (qsizetype i = 0; i < groupArray.size(); ++i)
        cfg.groups.append(parseGroup(groupArray[i], i));

    const QJsonValue aliases = root.value(kSourceAliases);
    if (!aliases.isObject())
        throw Unreadable{
            rulesReason(QT_TRANSLATE_NOOP("Vantrel::Rules", "“%1” is missing or not an object"),
                        kSourceAliases)};
    const QJsonObject aliasObject = aliases.toObject();
    for (auto it = aliasObject.begin(); it != aliasObject.end(); ++it)
        cfg.sourceAliases.insert(
            it.key(),
            requireString(it.value(),
                          QT_TRANSLATE_NOOP("Vantrel::Rules", "the alias of “%1” is not text"),
                          it.key()));

    cfg.unsortedFolder =
        requireString(root.value(kUnsortedFolder),
                      QT_TRANSLATE_NOOP("Vantrel::Rules", "“%1” is not text"), kUnsortedFolder);
    cfg.numberTracks = optionalBool(root, kNumberTracks, true);
    cfg.groupInName = optionalBool(root, kGroupInName, false);
    return cfg;
}

Config makeDefaults() {
    static const char* const table[][2] = {
        {"DRUMS", "DRUMS DRUM KICK SNARE TOM TOMS HAT HATS HIHAT OH OVERHEAD CYMBAL PERC SHAKER "
                  "TAMB CONGA CLAP SPDSX"},
        {"BASS", "BASS SUB"},
        {"EGS", "EGS EG ELECTRIC"},
        {"AGS", "AGS AG ACOUSTIC"},
        {"KEYS", "KEYS KEY PIANO PAD SYNTH ORGAN RHODES"},
        {"STRINGS", "STRINGS CELLO VIOLIN VIOLA"},
        {"TRACKS", "TRACKS LOOP LOOPS"},
        {"VOCALS", "VOCALS VOCAL VOX LEAD BGV BV CHOIR HARMONY"},
        {"FX", "FX BOOM SWELL RISER IMPACT SWEEP"},
        {"UTILITY", "UTILITY CLICK PROGRAM AUX CUE GUIDE MD"},
        {"CROWD", "CROWD FHL FHR"},
    };

    Config cfg;
    for (const auto& [name, text] : table) {
        RuleGroup g;
        g.name = QString::fromLatin1(name);
        g.aliases = Config::words(QString::fromLatin1(text));
        cfg.groups.append(g);
    }
    cfg.sourceAliases = {
        {QStringLiteral("KICK IN"), QStringLiteral("KICK_IN")},
        {QStringLiteral("KICK OUT"), QStringLiteral("KICK_OUT")},
        {QStringLiteral("SNARE TOP"), QStringLiteral("SNARE_TOP")},
        {QStringLiteral("SNARE BOTTOM"), QStringLiteral("SNARE_BTM")},
        {QStringLiteral("SNARE BTM"), QStringLiteral("SNARE_BTM")},
        {QStringLiteral("HI HAT"), QStringLiteral("HIHAT")},
        {QStringLiteral("OVER HEAD"), QStringLiteral("OH")},
    };
    cfg.unsortedFolder = QStringLiteral("99_UNSORTED");
    cfg.numberTracks = true;
    cfg.groupInName = false;
    return cfg;
}

// Creates folder and every missing parent; an existing folder is fine.
void makeFolder(const QString& folder) {
    std::error_code ec;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), ec);
    if (ec)
        throw FileError::fromErrno(
            QCoreApplication::translate("Vantrel::Files", "Couldn't create the folder “%1”: %2."),
            folder, ec.value());
}

FileError writeError(const QString& path, const QString& systemReason) {
    QString reason = systemReason;
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return FileError(
        QCoreApplication::translate("Vantrel::Files", "Couldn't write the file “%1”: %2.")
            .arg(path, reason),
        reason);
}

} // namespace

std::optional<Swatch> RuleGroup::swatch() const {
    if (!color) {
        const auto& defaults = LogicPalette::defaults();
        const auto it = defaults.constFind(name);
        if (it == defaults.constEnd())
            return std::nullopt;
        return *it;
    }
    if (color->size() != 2 || !LogicPalette::contains(color->at(0), color->at(1)))
        return std::nullopt;
    return Swatch{color->at(0), color->at(1)};
}

const Config& Config::defaults() {
    // A function-local static is initialised exactly once, even when first reached from
    // several threads at the same time.
    static const Config cfg = makeDefaults();
    return cfg;
}

QString Config::filePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Vantrel/config.json");
}

Config Config::load() {
    return loadFrom(filePath());
}

Config Config::loadFrom(const QString& path) {
    QByteArray bytes;
    try {
        // Never waits on a FIFO, never reads without end from a device.
        bytes = readSmallFile(path, SmallFileCap::config);
    } catch (const FileError&) {
        return defaults();
    }
    std::optional<Config> cfg = fromJson(bytes);
    if (!cfg || cfg->groups.isEmpty())
        return defaults();
    return *std::move(cfg);
}

bool Config::unusableAt(const QString& path) {
    if (!QFileInfo(path).isFile())
        return false;
    QByteArray bytes;
    try {
        bytes = readSmallFile(path, SmallFileCap::config);
    } catch (const FileError&) {
        return true;
    }
    const std::optional<Config> cfg = fromJson(bytes);
    return !cfg || cfg->groups.isEmpty();
}

QString Config::keepUnusable(const QString& path, FileOps& ops) {
    std::optional<QByteArray> bytes;
    try {
        bytes = readSmallFile(path, SmallFileCap::config);
    } catch (const FileError&) {
    }
    for (int n = 1;; ++n) {
        const QString keep = n == 1 ? path + QStringLiteral(".unreadable")
                                    : path + QStringLiteral(".unreadable %1").arg(n);
        if (ops.exists(keep)) {
            QFile kept(keep);
            if (bytes && QFileInfo(keep).isFile() && kept.open(QIODevice::ReadOnly) &&
                kept.readAll() == *bytes && kept.error() == QFileDevice::NoError)
                return keep;
            continue;
        }
        try {
            if (bytes)
                ops.copy(path, keep);
            else
                ops.move(path, keep);
            return keep;
        } catch (const FileError& e) {
            if (e.code() == EEXIST)
                continue; // taken since it was looked at
            if (!bytes)
                throw;
            // The file could not be copied after all: keep it by moving it.
            bytes.reset();
            --n;
        }
    }
}

QString configProblem(const QByteArray& bytes) {
    try {
        if (parse(bytes).groups.isEmpty())
            return QCoreApplication::translate("Vantrel::Rules", "it has no rule groups");
    } catch (const Unreadable& e) {
        return e.why;
    }
    return {};
}

std::optional<Config> Config::fromJson(const QByteArray& bytes) {
    try {
        return parse(bytes);
    } catch (const Unreadable&) {
        return std::nullopt;
    }
}

QByteArray Config::toJson() const {
    QJsonArray groupArray;
    for (const RuleGroup& g : groups) {
        QJsonObject o;
        o.insert(kName, g.name);
        o.insert(kAliases, QJsonArray::fromStringList(g.aliases));
        if (g.color) {
            QJsonArray cell;
            for (int c : *g.color)
                cell.append(c);
            o.insert(kColor, cell);
        }
        groupArray.append(o);
    }

    QJsonObject aliases;
    for (auto it = sourceAliases.begin(); it != sourceAliases.end(); ++it)
        aliases.insert(it.key(), it.value());

    // QJsonObject keeps its keys sorted, which gives the ascending key order of the file.
    QJsonObject root;
    root.insert(kGroupInName, groupInName);
    root.insert(kGroups, groupArray);
    root.insert(kNumberTracks, numberTracks);
    root.insert(kSourceAliases, aliases);
    root.insert(kUnsortedFolder, unsortedFolder);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void Config::save() const {
    saveTo(filePath());
}

void Config::saveTo(const QString& path) const {
    makeFolder(QFileInfo(path).absolutePath());

    const QByteArray bytes = toJson();
    // Written through a temporary file that replaces the old one only when complete, so a
    // crash or a full disk never leaves a half-written rule file behind. Unbuffered, because
    // Qt 6.4's commit() ignores a failed flush of the write buffer and would then put a
    // truncated file in place; unbuffered, every short write is seen here.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw writeError(path, file.errorString());
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            throw writeError(path, reason);
        }
        data += written;
        left -= written;
    }
    if (!file.commit())
        throw writeError(path, file.errorString());
}

QStringList Config::words(const QString& text) {
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace Vantrel
