#include "core/Engine.h"
#include "core/NaturalOrder.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <functional>
#include <vector>

namespace Vantrel::Engine {

QString safeName(const QString& name) {
    QString out = name;
    out.replace(QLatin1Char('/'), QLatin1Char('_'));
    out.replace(QChar(u'\0'), QLatin1Char('_'));
    if (out.isEmpty())
        return QStringLiteral("_");
    if (out == QLatin1String(".") || out == QLatin1String(".."))
        out.fill(QLatin1Char('_'));
    return out;
}

namespace {

int digits(qsizetype n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

// value in decimal, zero-padded to width digits at least; value is not negative.
QString padded(qint64 value, int width) {
    QString digits = QString::number(value);
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), QLatin1Char('0')));
    return digits;
}

// The longest name a file system of the users' machines takes, in bytes of UTF-8.
constexpr qsizetype maxNameBytes = 255;

// start + tail, with start shortened at its end (never inside a character) until the name fits
// the file system; tail (suffix and extension) is kept whole.
QString fitName(const QString& start, const QString& tail) {
    // The common case, told without converting: no UTF-16 unit takes more than 3 bytes.
    if ((start.size() + tail.size()) * 3 <= maxNameBytes)
        return start + tail;
    const qsizetype tailBytes = tail.toUtf8().size();
    QString head = start;
    qsizetype bytes = head.toUtf8().size();
    while (bytes + tailBytes > maxNameBytes && !head.isEmpty()) {
        const qsizetype cut = head.size() >= 2 && head.back().isLowSurrogate() ? 2 : 1;
        bytes -= head.right(cut).toUtf8().size();
        head.chop(cut);
    }
    return head + tail;
}

// s.toLower(), with plain ASCII lowered here: Qt's case mapping of every character costs
// more than the rest of naming a file.
QString lower(const QString& s) {
    const bool ascii =
        std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (!ascii)
        return s.toLower();
    const bool hasUpper =
        std::any_of(s.cbegin(), s.cend(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
    if (!hasUpper)
        return s;
    QString out = s;
    for (QChar& c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(char16_t(c.unicode() + ('a' - 'A')));
    }
    return out;
}

QString extensionOf(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

// Track numbers in session order within each group: by order (none last), then by the natural
// order of the file names, after the tracks placed before in the group (placedIn). Returns the
// number of each item (0: none) and the common width.
std::pair<std::vector<qsizetype>, int>
numberTracks(const QList<Item>& items, const std::function<int(const QString&)>& placedIn) {
    std::vector<qsizetype> numbers(items.size(), 0);
    QHash<QString, std::vector<qsizetype>> byGroup;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].group)
            byGroup[*items[i].group].push_back(i);
    }
    int width = 2;
    for (auto& positions : byGroup) {
        std::stable_sort(positions.begin(), positions.end(), [&items](qsizetype a, qsizetype b) {
            const Item& x = items[a];
            const Item& y = items[b];
            if (x.order != y.order) {
                if (!x.order || !y.order)
                    return bool(x.order);
                return *x.order < *y.order;
            }
            return NaturalOrder::less(x.fileName(), y.fileName());
        });
        const qsizetype before = placedIn(*items[positions.front()].group);
        for (size_t k = 0; k < positions.size(); ++k)
            numbers[positions[k]] = before + qsizetype(k) + 1;
        width = std::max(width, digits(before + qsizetype(positions.size())));
    }
    return {std::move(numbers), width};
}

} // namespace

QList<Item> finalize(QList<Item> items, const Config& cfg, const QHash<QString, int>& placed) {
    QHash<QString, qsizetype> groupPosition;
    for (qsizetype i = 0; i < cfg.groups.size(); ++i)
        if (!groupPosition.contains(cfg.groups[i].name)) // the first group of a name counts
            groupPosition.insert(cfg.groups[i].name, i + 1);
    // Made once per group: every item of the group shares its folder's name.
    QHash<QString, QString> folderOfGroup;
    const auto groupFolder = [&](const QString& group, qsizetype position) {
        auto known = folderOfGroup.constFind(group);
        if (known == folderOfGroup.constEnd())
            known = folderOfGroup.insert(
                group,
                fitName(safeName(QStringLiteral("%1_%2").arg(padded(position, 2), group)), {}));
        return *known;
    };

    std::vector<qsizetype> numbers;
    int width = 2;
    if (cfg.numberTracks) {
        std::tie(numbers, width) = numberTracks(items, [&](const QString& group) {
            const auto position = groupPosition.constFind(group);
            return position == groupPosition.constEnd()
                       ? 0
                       : placed.value(groupFolder(group, *position));
        });
    }

    QSet<QString> usedBases;
    QHash<QString, int> counts;
    // The names given in each folder, compared without case as the file systems of the users'
    // machines do.
    QHash<QString, QSet<QString>> given;
    for (qsizetype i = 0; i < items.size(); ++i) {
        Item& item = items[i];
        QString folder;
        QString base;
        const auto position =
            item.group ? groupPosition.constFind(*item.group) : groupPosition.constEnd();
        if (position != groupPosition.constEnd()) {
            folder = groupFolder(*item.group, *position);
            QStringList parts;
            if (cfg.groupInName || item.source.isEmpty())
                parts << *item.group;
            if (!numbers.empty() && numbers[i] > 0)
                parts << padded(numbers[i], width);
            if (!item.source.isEmpty())
                parts << item.source;
            base = parts.join(QLatin1Char('_'));
        } else {
            folder = cfg.unsortedFolder;
            base = item.source.isEmpty() ? QStringLiteral("UNNAMED") : item.source;
        }
        folder = fitName(safeName(folder), {});
        base = safeName(base);

        QString lowerBase = lower(base);
        if (!cfg.groupInName && item.group && usedBases.contains(lowerBase)) {
            base = safeName(*item.group + QLatin1Char('_') + base);
            lowerBase = lower(base);
        }
        usedBases.insert(lowerBase);

        // The first free of base, base_02, base_03, ... in the folder: a suffixed name may be
        // the plain name of another file ("ROOM 02" gives ROOM_02 too).
        const QString ext = QLatin1Char('.') + lower(extensionOf(item.fileName()));
        QSet<QString>& taken = given[folder];
        int& k = counts[folder + QLatin1Char('/') + base];
        QString name;
        QString lowerName;
        do {
            ++k;
            const QString suffix = k >= 2 ? QLatin1Char('_') + padded(k, 2) : QString();
            name = fitName(base, suffix + ext);
            lowerName = lower(name);
        } while (taken.contains(lowerName));
        taken.insert(lowerName);

        item.folder = folder;
        item.newName = name;
    }
    return items;
}

} // namespace Vantrel::Engine
