#pragma once

#include "core/AudioFacts.h"
#include "core/Config.h"
#include "core/Item.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace Vantrel::Engine {

// File-name extensions (lower case) that count as audio.
const QSet<QString>& audioExts();

// What a scan found: the audio files, named and numbered, and the names of the other
// regular files, both in natural name order; a sentence for each file left alone because its
// name cannot be represented; the number of tracks an earlier organization of the folder placed
// in each group folder; and the reason when the folder could not be read at all.
struct ScanResult {
    QList<Item> items;
    QStringList skipped;
    QStringList leftAlone;
    QHash<QString, int> placed;
    std::optional<QString> error;
};

// Lists the audio files directly inside folder (hidden entries, folders and symbolic links
// left out), classifies and names them, numbering each group after the tracks an earlier
// organization placed in it. Never throws: an unreadable folder gives empty lists and the
// error "Couldn't read “<folder>”: <reason>.". With an audio reader, every item also gets the
// facts of its header (a file the reader cannot read: readable false).
ScanResult scan(const QString& folder, const Config& cfg, const AudioReader* audio = nullptr);

// The group a stem belongs to (none: unsorted) and its source text.
struct Classification {
    std::optional<QString> group;
    QString source;
    bool operator==(const Classification&) const = default;
};

// Reads file-name stems with one configuration; its patterns are compiled once, so one
// classifier serves a whole folder. A classifier is used by one thread at a time.
class Classifier {
public:
    explicit Classifier(const Config& cfg);
    ~Classifier();
    Classifier(Classifier&&) noexcept;
    Classifier& operator=(Classifier&&) noexcept;

    QStringList tokenize(const QString& stem) const;
    Classification classify(const QString& stem) const;

    // The same answers through ICU's patterns and case mapping whatever the stem. tokenize()
    // and classify() take it only for stems beyond printable ASCII (or with aliases that are):
    // the rest they read by hand, which must give exactly these answers.
    QStringList tokenizeGeneral(const QString& stem) const;
    Classification classifyGeneral(const QString& stem) const;

private:
    QStringList tokenizeAscii(const QString& stem) const;
    Classification classifyTokens(QStringList tokens, bool leadingTrack) const;

    struct Impl;
    std::unique_ptr<Impl> d;
};

// Reduces a stem to upper-case tokens, after joining alias phrases into single tokens.
QStringList tokenize(const QString& stem, const QMap<QString, QString>& aliases);

// Picks the rule group of a stem and its source text.
Classification classify(const QString& stem, const Config& cfg);

// The session order of a stem: its leading run of ASCII digits when it fits 64 bits.
std::optional<std::int64_t> sessionOrder(const QString& stem);

// Fills in every item's folder and new name; the items keep their order and other fields.
// Names are unique within each folder (without regard to case) and fit the file system (255
// bytes), shortened at the end of the source when needed. Track numbers of a group start after
// placed[group folder].
QList<Item> finalize(QList<Item> items, const Config& cfg, const QHash<QString, int>& placed = {});

// A single folder or file name made from user text: path separators and NUL become "_", and a
// name that would be empty, "." or ".." is replaced so that it always names an entry inside
// its parent folder.
QString safeName(const QString& name);

} // namespace Vantrel::Engine
