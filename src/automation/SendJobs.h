#pragma once

// What one send hands to Logic Pro: one job per rule group that has approved tracks, in rule
// order, and one last job for the tracks without a group. Pure functions over values.

#include "core/Config.h"
#include "core/Item.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Vantrel {

// One unit of a send: a group's files, in import order, and the palette cell its stack gets.
struct SendJob {
    // The rule group's name, which becomes the track stack's name; none for the unsorted tracks.
    std::optional<QString> group;
    // Absolute paths of the audio files, in import order.
    QStringList files;
    // The palette cell of the group's colour; none leaves the stack uncoloured.
    std::optional<Swatch> color;
    bool operator==(const SendJob&) const = default;
};

// The jobs for the exported items of a result folder: for each rule group of cfg, in rule
// order, the items of that group sorted by new name in the file browser's order, with the
// swatch of the first rule group of that name; then the items without a group or whose group
// is no longer a rule group of cfg (renamed or removed since), in the order given, with no
// colour. Groups without items get no job. Each file is
// resultFolder/item.folder/item.newName. Empty when there is no result folder.
QList<SendJob> sendJobs(const QList<Item>& exportedItems, const Config& cfg,
                        const std::optional<QString>& resultFolder);

// The jobs with a group (those that become stacks), in order.
QList<SendJob> groupedJobs(const QList<SendJob>& jobs);

// The files of all jobs, job after job: what the drag tile offers.
QStringList dragURLs(const QList<SendJob>& jobs);

// The result of a send that went through: "Sent N tracks and M stacks to Logic.", counting every
// file and every job with a group.
QString sentText(const QList<SendJob>& jobs);

// The name Logic Pro gives a track imported from file: its last path component without the
// extension.
QString memberName(const QString& file);

// The member names of a job's files, in order.
QStringList memberNames(const SendJob& job);

} // namespace Vantrel
