#pragma once

#include "core/AudioFacts.h"
#include "core/Item.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace Vantrel::Engine {

// The checks of a proposal, in the three steps every caller takes: which files still need their
// samples read, the reading of them, and the findings from the headers and what was read.

// The urls of the items whose header was read and whose content is not in contents yet, in the
// order of the items.
QStringList contentToRead(const QList<Item>& items, const QHash<QString, AudioContent>& contents);

// Reads the samples of each url with reader, a few files side by side (up to four threads),
// handing each content to read as soon as it is known, one at a time, on the thread that read it,
// in no set order. A
// reader that throws all the same counts the file as not read. Returns false when cancelled()
// said yes before the last file was read.
bool readContent(const QStringList& urls, const AudioReader& reader,
                 const std::function<bool()>& cancelled,
                 const std::function<void(const QString& url, const AudioContent&)>& read);

// The items with header facts as the checks see them, each with its content when contents holds
// it (by the item's url); the findings of the session are audioFindings of these.
QList<AudioFile> audioFiles(const QList<Item>& items, const QHash<QString, AudioContent>& contents);

} // namespace Vantrel::Engine
