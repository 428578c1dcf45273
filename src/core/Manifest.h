#pragma once

// "manifest.json", the listing an export writes into its result folder, and reading it back:
// for each folder of the result, the file names it holds, in import order.

#include "core/Config.h"
#include "core/Item.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace Vantrel::Engine {

// The manifest's JSON: an object with one member per folder, its file names as an array.
QByteArray manifestJson(const QMap<QString, QStringList>& manifest);

// The exported items of result folder `folder`, read back from its manifest: the folder
// "NN_NAME" holds the tracks of group NAME (the rule group of cfg whose safe name NAME is, else
// NAME itself), cfg's unsorted folder and any other folder the tracks without a group. Each
// item's url is folder/item.folder/item.newName. Throws Error when there is no manifest, when
// it is not in the manifest's format, or when a name in it is not a single name inside the
// folder (empty, ".", "..", or holding "/"); nothing is read then.
QList<Item> readManifest(const QString& folder, const Config& cfg);

} // namespace Vantrel::Engine
