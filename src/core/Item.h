#pragma once

#include "core/AudioFacts.h"
#include "core/Ids.h"

#include <QString>
#include <QUuid>

#include <cstdint>
#include <optional>

namespace Vantrel {

// One audio file under review.
struct Item {
    // Identity of the review row; fresh for every scan.
    QUuid id = newId();
    // Absolute path of the file when the folder was scanned.
    QString url;
    // The classifier's tokens joined with "_"; may be empty.
    QString source;
    // Rule group name; none for an unsorted track.
    std::optional<QString> group;
    // Session order: the leading number of the file name.
    std::optional<std::int64_t> order;
    // Target sub-folder and new file name; empty until named.
    QString folder;
    QString newName;
    // The header facts, when the scan was asked to read them.
    std::optional<AudioHeader> audio;

    // The file name (last path component of url).
    QString fileName() const;

    bool operator==(const Item&) const = default;
};

} // namespace Vantrel
