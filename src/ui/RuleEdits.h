#pragma once

// The rules editor's edits of its working copy, as plain functions over values: the words
// field, the names as saved, the resolved colour of a group and the list operations.

#include "core/Config.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

namespace Vantrel::Ui::RuleEdits {

// The words of a words field: the text upper-cased, split at every space (U+0020) and every
// comma, empty pieces dropped; order and duplicates kept.
QStringList wordsFromText(const QString& text);
// What a words field shows for a group's words: the words joined by single spaces.
QString textFromWords(const QStringList& words);

// A group name as it is saved: upper-cased, then stripped of leading and trailing tabs and space
// separators (line breaks stay). An empty name stays empty.
QString savedName(const QString& name);
// The configuration as Save hands it on: every group's name as saved, nothing else changed.
Config forSave(Config draft);

// The palette cell a colour picker shows for a stored colour and a group name: the stored colour
// if any, else the default cell of exactly this name; only a pair inside the grid gives a cell.
std::optional<Swatch> current(const std::optional<QList<int>>& color, const QString& name);

// Moves the groups at the given offsets to the destination offset, which counts positions in
// the list before the move; the moved groups keep their relative order. Offsets outside the
// list are ignored.
void move(QList<RuleGroup>& groups, QList<int> offsets, int destination);
// Removes the group with this id; the others keep their order.
void remove(QList<RuleGroup>& groups, const QUuid& id);
// Appends a new group named "NEW" with no words and no stored colour, under a fresh id.
void addGroup(QList<RuleGroup>& groups);

} // namespace Vantrel::Ui::RuleEdits
