#include "core/Engine.h"
#include "core/NameTable.h"
#include "core/NaturalOrder.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace Vantrel::Engine {

QString safeName(const QString& name) {
    // Most names need nothing changed: told in one pass, and then shared, not copied.
    const bool plain = std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c == QLatin1Char('/') || c == QChar(u'\0');
    });
    if (plain && !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String(".."))
        return name;
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

// padded(value, width) appended to out, without a string of its own.
void appendPadded(QString& out, qint64 value, int width) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = n; i < width; ++i)
        out += QLatin1Char('0');
    while (n > 0)
        out += QLatin1Char(digits[--n]);
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

// Track numbers in session order within each group: by order (none last), then by the natural
// order of the file names, after the tracks placed before in the group (placedIn). Returns the
// number of each item (0: none) and the common width. The order decides alone where it can:
// only tracks of equal order (most often none) are compared by name, each through a collation
// key made once.
std::pair<std::vector<qsizetype>, int>
numberTracks(const QList<Item>& items, const std::function<int(const QString&)>& placedIn) {
    std::vector<qsizetype> numbers(items.size(), 0);
    // The positions of each group's items, groups in the order they first come.
    NameTable<size_t, false> groupIndex;
    std::vector<std::vector<qsizetype>> byGroup;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items[i].group)
            continue;
        bool inserted = false;
        size_t& index = groupIndex.find(*items[i].group, inserted);
        if (inserted) {
            index = byGroup.size();
            byGroup.emplace_back();
        }
        byGroup[index].push_back(i);
    }
    int width = 2;
    struct Named {
        std::string key;
        QString name;
        qsizetype position;
    };
    std::vector<Named> run;
    for (auto& positions : byGroup) {
        std::stable_sort(positions.begin(), positions.end(), [&items](qsizetype a, qsizetype b) {
            const std::optional<std::int64_t>& x = items[a].order;
            const std::optional<std::int64_t>& y = items[b].order;
            if (!x || !y)
                return x && !y;
            return *x < *y;
        });
        for (auto first = positions.begin(); first != positions.end();) {
            const std::optional<std::int64_t>& order = items[*first].order;
            const auto last = std::find_if(first + 1, positions.end(),
                                           [&](qsizetype p) { return items[p].order != order; });
            if (last - first > 1) {
                run.clear();
                for (auto p = first; p != last; ++p) {
                    QString name = items[*p].fileName();
                    run.push_back({NaturalOrder::key(name), std::move(name), *p});
                }
                // As NaturalOrder::less: names of equal keys by code point.
                std::stable_sort(run.begin(), run.end(), [](const Named& a, const Named& b) {
                    const int r = a.key.compare(b.key);
                    return r != 0 ? r < 0 : QString::compare(a.name, b.name) < 0;
                });
                for (size_t k = 0; k < run.size(); ++k)
                    first[qsizetype(k)] = run[k].position;
            }
            first = last;
        }
        const qsizetype before = placedIn(*items[positions.front()].group);
        for (size_t k = 0; k < positions.size(); ++k)
            numbers[positions[k]] = before + qsizetype(k) + 1;
        width = std::max(width, digits(before + qsizetype(positions.size())));
    }
    return {std::move(numbers), width};
}

// The names given in one folder, lower case (compared without case as the file systems of the
// users' machines do), and the last suffix number given to each base name in it.
struct FolderNames {
    NameTable<char, true> taken;
    NameTable<int, false> counts;
    qsizetype expected = 0;
};

// What every item of one group shares: its folder's name and the names given in it.
struct GroupPlace {
    qsizetype position = 0;
    QString folder;
    FolderNames* names = nullptr;
};

// The file name extension of an item's path: after the last "." of its last component.
// Searched from the end by hand: QString::lastIndexOf costs more than the rest of it.
QStringView extensionOfPath(const QString& url) {
    for (qsizetype at = url.size() - 1; at >= 0; --at) {
        if (url[at] == u'/')
            break;
        if (url[at] == u'.')
            return QStringView(url).mid(at + 1);
    }
    return {};
}

} // namespace

QList<Item> finalize(QList<Item> items, const Config& cfg, const QHash<QString, int>& placed) {
    QHash<QString, qsizetype> groupPosition;
    for (qsizetype i = 0; i < cfg.groups.size(); ++i)
        if (!groupPosition.contains(cfg.groups[i].name)) // the first group of a name counts
            groupPosition.insert(cfg.groups[i].name, i + 1);
    const auto groupFolder = [](const QString& group, qsizetype position) {
        return fitName(safeName(QStringLiteral("%1_%2").arg(padded(position, 2), group)), {});
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

    // Each folder's names, made once: folders of different groups may share a name.
    std::unordered_map<std::u16string, FolderNames> folders;
    const auto namesIn = [&folders](const QString& folder) {
        return &folders[folder.toStdU16String()];
    };
    NameTable<GroupPlace, false> places;
    for (auto it = groupPosition.cbegin(); it != groupPosition.cend(); ++it) {
        const QString folder = fitName(safeName(groupFolder(it.key(), *it)), {});
        bool inserted = false;
        places.find(it.key(), inserted) = {*it, folder, namesIn(folder)};
    }
    const QString unsortedFolder = fitName(safeName(cfg.unsortedFolder), {});
    FolderNames* const unsortedNames = namesIn(unsortedFolder);

    // The place of every item (none: unsorted), and the room each folder's names will need.
    std::vector<const GroupPlace*> placeOf(items.size(), nullptr);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].group)
            placeOf[i] = places.lookup(*items[i].group);
        ++(placeOf[i] ? placeOf[i]->names : unsortedNames)->expected;
    }
    for (auto& [folder, names] : folders) {
        names.taken.reserve(names.expected);
        names.counts.reserve(names.expected);
    }

    NameTable<char, true> usedBases;
    if (!cfg.groupInName)
        usedBases.reserve(items.size());
    // The lower-case extension of the last item, for the next one of the same.
    QString lastExtension;
    QString ext = QStringLiteral(".");
    for (qsizetype i = 0; i < items.size(); ++i) {
        Item& item = items[i];
        const GroupPlace* const place = placeOf[size_t(i)];
        const QString& folder = place ? place->folder : unsortedFolder;
        FolderNames& names = place ? *place->names : *unsortedNames;
        QString base;
        if (place) {
            const bool number = !numbers.empty() && numbers[i] > 0;
            const bool groupWord = cfg.groupInName || item.source.isEmpty();
            base.reserve(item.group->size() + item.source.size() + 24);
            if (groupWord)
                base += *item.group;
            if (number) {
                if (!base.isEmpty() || groupWord)
                    base += QLatin1Char('_');
                appendPadded(base, numbers[i], width);
            }
            if (!item.source.isEmpty()) {
                if (groupWord || number)
                    base += QLatin1Char('_');
                base += item.source;
            }
        } else {
            base = item.source.isEmpty() ? QStringLiteral("UNNAMED") : item.source;
        }
        base = safeName(base);

        // A base another item has already (any folder) gets its group in front, when the
        // group is not in every name anyway.
        bool inserted = false;
        if (!cfg.groupInName) {
            usedBases.find(base, inserted);
            if (item.group && !inserted) {
                base = safeName(*item.group + QLatin1Char('_') + base);
                usedBases.find(base, inserted);
            }
        }

        // The first free of base, base_02, base_03, ... in the folder: a suffixed name may be
        // the plain name of another file ("ROOM 02" gives ROOM_02 too).
        const QStringView rawExtension = extensionOfPath(item.url);
        if (rawExtension != lastExtension) {
            lastExtension = rawExtension.toString();
            ext = QLatin1Char('.') + lower(lastExtension);
        }
        int& k = names.counts.find(base, inserted);
        QString name;
        do {
            ++k;
            name = fitName(base, k >= 2 ? QLatin1Char('_') + padded(k, 2) + ext : ext);
            names.taken.find(name, inserted);
        } while (!inserted);

        item.folder = folder;
        item.newName = name;
    }
    return items;
}

} // namespace Vantrel::Engine
