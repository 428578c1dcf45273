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

#include <functional>

namespace Vantrel::Engine {

// The manifest's JSON: an object with one member per folder, its file names as an array.
QByteArray manifestJson(const QMap<QString, QStringList>& manifest);

// The import order's text: "[folder]" and then "  name" lines, folders and names in code-point
// order, as UTF-8.
QByteArray importOrderText(const QMap<QString, QStringList>& manifest);

// The same texts a folder at a time, for writing or fingerprinting them without holding them
// whole: each call appends the next part and answers whether more follow. The manifest must
// outlive the function and stay unchanged while it is used; a function gives its text once.
using ListingPieces = std::function<bool(QByteArray& piece)>;
ListingPieces manifestJsonPieces(const QMap<QString, QStringList>& manifest);
ListingPieces importOrderPieces(const QMap<QString, QStringList>& manifest);

// Code-point order: UTF-16 order differs from it for characters above U+FFFF.
bool codePointLess(const QString& a, const QString& b);

// The reverse of manifestJson: the folders and their file names; empty when bytes are not a
// manifest. Names are taken as they are: readManifest checks them.
QMap<QString, QStringList> parseManifest(const QByteArray& bytes);

// The exported items of result folder `folder`, read back from its manifest: the folder
// "NN_NAME" holds the tracks of group NAME (the rule group of cfg whose safe name NAME is, else
// NAME itself), cfg's unsorted folder and any other folder the tracks without a group. Each
// item's url is folder/item.folder/item.newName. Throws Error when there is no manifest, when
// it is not in the manifest's format, or when a name in it is not a single name inside the
// folder (empty, ".", "..", or holding "/"); nothing is read then.
QList<Item> readManifest(const QString& folder, const Config& cfg);

// Checks that items read back from result folder `folder` can be sent: throws Error when the
// manifest lists no track, or when listed tracks are not in their place (naming up to three).
void checkTracksPresent(const QList<Item>& items, const QString& folder);

} // namespace Vantrel::Engine
