#include "ui/RuleEdits.h"

#include <QChar>

#include <algorithm>

namespace Vantrel::Ui::RuleEdits {

namespace {

// A tab or a character of the Unicode category "space separator"; line breaks are neither.
bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

} // namespace

QStringList wordsFromText(const QString& text) {
    QStringList words;
    QString word;
    for (const QChar c : text.toUpper()) {
        if (c == QLatin1Char(' ') || c == QLatin1Char(',')) {
            if (!word.isEmpty())
                words.append(word);
            word.clear();
        } else {
            word.append(c);
        }
    }
    if (!word.isEmpty())
        words.append(word);
    return words;
}

QString textFromWords(const QStringList& words) {
    return words.join(QLatin1Char(' '));
}

QString savedName(const QString& name) {
    const QString upper = name.toUpper();
    qsizetype begin = 0;
    qsizetype end = upper.size();
    while (begin < end && isBlank(upper.at(begin)))
        ++begin;
    while (end > begin && isBlank(upper.at(end - 1)))
        --end;
    return upper.mid(begin, end - begin);
}

Config forSave(Config draft) {
    for (RuleGroup& group : draft.groups)
        group.name = savedName(group.name);
    return draft;
}

std::optional<Swatch> current(const std::optional<QList<int>>& color, const QString& name) {
    RuleGroup group;
    group.name = name;
    group.color = color;
    return group.swatch();
}

void move(QList<RuleGroup>& groups, QList<int> offsets, int destination) {
    const qsizetype count = groups.size();
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    offsets.removeIf([count](int offset) { return offset < 0 || offset >= count; });
    if (offsets.isEmpty())
        return;
    destination = std::clamp(destination, 0, int(count));

    QList<RuleGroup> moved;
    QList<RuleGroup> rest;
    int before = 0; // moved groups that stood before the destination
    for (qsizetype i = 0; i < count; ++i) {
        if (offsets.contains(int(i))) {
            moved.append(groups.at(i));
            if (i < destination)
                ++before;
        } else {
            rest.append(groups.at(i));
        }
    }
    const qsizetype at = destination - before;
    for (qsizetype i = 0; i < moved.size(); ++i)
        rest.insert(at + i, moved.at(i));
    groups = std::move(rest);
}

void remove(QList<RuleGroup>& groups, const QUuid& id) {
    groups.removeIf([&id](const RuleGroup& group) { return group.id == id; });
}

// GCC 12 at -O2 takes the empty optional colour of the copied group for a maybe-uninitialized
// value (a false positive of its optional analysis).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
void addGroup(QList<RuleGroup>& groups) {
    RuleGroup group;
    group.name = QStringLiteral("NEW");
    groups.append(group);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

} // namespace Vantrel::Ui::RuleEdits
