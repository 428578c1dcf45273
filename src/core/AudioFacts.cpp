#include "core/AudioFacts.h"

#include <QCoreApplication>
#include <QMap>

#include <algorithm>
#include <functional>
#include <vector>

namespace Vantrel::Engine {

namespace {

QString secondsText(double seconds) {
    if (seconds < 1)
        return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds, 0, 'f', 1);
    const auto whole = qint64(seconds + 0.5);
    return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
}

// A property that should be the same in every file (sample rate, bit depth): the files whose
// value differs from the majority's, and how many files have each value. The majority is the
// value of most files; on a tie the higher value.
struct Split {
    QStringList odd;
    // The other values with their numbers of files, most files first, then by value.
    std::vector<std::pair<int, int>> others;
    int majority = 0;
    int rest = 0; // the files of the majority
};

Split splitByMajority(const QList<std::pair<QString, int>>& valued) {
    QMap<int, int> counts;
    for (const auto& [file, value] : valued)
        ++counts[value];
    if (counts.size() < 2)
        return {};
    int majority = counts.firstKey();
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() >= counts[majority])
            majority = it.key();
    Split split;
    split.majority = majority;
    split.rest = counts[majority];
    for (const auto& [file, value] : valued)
        if (value != majority)
            split.odd << file;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.key() != majority)
            split.others.emplace_back(it.value(), it.key());
    std::sort(split.others.begin(), split.others.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    return split;
}

// "2 at 44.1 kHz, 1 at 96 kHz": the other values of a split, each with its number of files,
// item is a QT_TRANSLATE_N_NOOP text with the value as %1.
QString otherValues(const Split& split, const std::function<QString(int)>& describe,
                    const char* item) {
    QStringList parts;
    for (const auto& [n, value] : split.others)
        parts << QCoreApplication::translate("Vantrel::AudioCheck", item, nullptr, n)
                     .arg(describe(value));
    return parts.join(QStringLiteral(", "));
}

// The sentence for files at other sample rates than most: the odd files' number chooses the
// plural form.
QString rateSentence(const Split& split) {
    const int odd = int(split.odd.size());
    const QString majority = rateText(split.majority);
    if (split.others.size() == 1) {
        const QString value = rateText(split.others.front().second);
        return split.rest == 1
                   ? QCoreApplication::translate("Vantrel::AudioCheck",
                                                 "%n files are at %1, the other at %2: Logic Pro "
                                                 "will convert them on import.",
                                                 nullptr, odd)
                         .arg(value, majority)
                   : QCoreApplication::translate("Vantrel::AudioCheck",
                                                 "%n files are at %1, the other %2 at %3: Logic "
                                                 "Pro will convert them on import.",
                                                 nullptr, odd)
                         .arg(value)
                         .arg(split.rest)
                         .arg(majority);
    }
    const QString values =
        otherValues(split, rateText, QT_TRANSLATE_N_NOOP("Vantrel::AudioCheck", "%n at %1"));
    return split.rest == 1
               ? QCoreApplication::translate("Vantrel::AudioCheck",
                                             "%n files are at other sample rates (%1), the other "
                                             "at %2: Logic Pro will convert them on import.",
                                             nullptr, odd)
                     .arg(values, majority)
               : QCoreApplication::translate("Vantrel::AudioCheck",
                                             "%n files are at other sample rates (%1), the other "
                                             "%2 at %3: Logic Pro will convert them on import.",
                                             nullptr, odd)
                     .arg(values)
                     .arg(split.rest)
                     .arg(majority);
}

// The sentence for files of other bit depths than most, as rateSentence.
QString depthSentence(const Split& split, const std::function<QString(int)>& describe) {
    const int odd = int(split.odd.size());
    const QString majority = describe(split.majority);
    if (split.others.size() == 1) {
        const QString value = describe(split.others.front().second);
        return split.rest == 1
                   ? QCoreApplication::translate("Vantrel::AudioCheck",
                                                 "%n files are %1, the other %2: they may come "
                                                 "from another recording or export.",
                                                 nullptr, odd)
                         .arg(value, majority)
                   : QCoreApplication::translate("Vantrel::AudioCheck",
                                                 "%n files are %1, the other %2 %3: they may come "
                                                 "from another recording or export.",
                                                 nullptr, odd)
                         .arg(value)
                         .arg(split.rest)
                         .arg(majority);
    }
    const QString values =
        otherValues(split, describe, QT_TRANSLATE_N_NOOP("Vantrel::AudioCheck", "%n %1"));
    return split.rest == 1
               ? QCoreApplication::translate("Vantrel::AudioCheck",
                                             "%n files have other bit depths (%1), the other %2: "
                                             "they may come from another recording or export.",
                                             nullptr, odd)
                     .arg(values, majority)
               : QCoreApplication::translate("Vantrel::AudioCheck",
                                             "%n files have other bit depths (%1), the other %2 "
                                             "%3: they may come from another recording or export.",
                                             nullptr, odd)
                     .arg(values)
                     .arg(split.rest)
                     .arg(majority);
}

// One sentence for one file or for several: the single form names the file (one takes its name
// as %1), the other counts them (many is a QT_TRANSLATE_N_NOOP text).
AudioFinding finding(const QString& kind, const QStringList& files, const char* one,
                     const char* many) {
    return {
        kind, files,
        files.size() == 1
            ? QCoreApplication::translate("Vantrel::AudioCheck", one).arg(files.first())
            : QCoreApplication::translate("Vantrel::AudioCheck", many, nullptr, int(files.size()))};
}

} // namespace

QString rateText(int sampleRate) {
    if (sampleRate % 1000 == 0)
        return QStringLiteral("%1 kHz").arg(sampleRate / 1000);
    return QStringLiteral("%1 kHz").arg(sampleRate / 1000.0, 0, 'f', sampleRate % 100 == 0 ? 1 : 3);
}

QString depthText(const AudioHeader& header) {
    if (header.bitDepth == 0)
        return {};
    return header.floatingPoint ? QStringLiteral("%1-bit float").arg(header.bitDepth)
                                : QStringLiteral("%1-bit").arg(header.bitDepth);
}

QList<AudioFinding> audioFindings(const QList<AudioFile>& files) {
    QList<AudioFinding> findings;
    QList<std::pair<QString, int>> rates, depths;
    // Depths are told apart by their text: 32-bit integer and 32-bit float differ.
    QMap<int, AudioHeader> depthKinds;
    std::vector<double> lengths;
    QStringList silent, dualMono, clipped, unreadable;
    for (const AudioFile& f : files) {
        if (!f.header.readable || (f.content && !f.content->readable)) {
            unreadable << f.file;
            continue;
        }
        rates << std::pair(f.file, f.header.sampleRate);
        if (f.header.bitDepth > 0) {
            const int key = f.header.bitDepth * 2 + (f.header.floatingPoint ? 1 : 0);
            depths << std::pair(f.file, key);
            depthKinds.insert(key, f.header);
        }
        lengths.push_back(f.header.seconds());
        if (!f.content)
            continue;
        if (!f.content->peakDb || *f.content->peakDb < silenceDb)
            silent << f.file;
        else if (f.content->dualMono)
            dualMono << f.file;
        if (f.content->clippedRuns > 0)
            clipped << f.file;
    }

    const Split rate = splitByMajority(rates);
    if (!rate.odd.isEmpty())
        findings << AudioFinding{QStringLiteral("sample-rate"), rate.odd, rateSentence(rate)};
    const Split depth = splitByMajority(depths);
    if (!depth.odd.isEmpty())
        findings << AudioFinding{
            QStringLiteral("bit-depth"), depth.odd,
            depthSentence(depth, [&depthKinds](int key) { return depthText(depthKinds[key]); })};
    if (!silent.isEmpty())
        findings << finding(
            QStringLiteral("silent"), silent,
            QT_TRANSLATE_NOOP("Vantrel::AudioCheck", "“%1” is silent: its peak is below −90 dBFS."),
            QT_TRANSLATE_N_NOOP("Vantrel::AudioCheck",
                                "%n files are silent: their peaks are below −90 "
                                "dBFS."));
    if (!dualMono.isEmpty())
        findings << finding(QStringLiteral("dual-mono"), dualMono,
                            QT_TRANSLATE_NOOP("Vantrel::AudioCheck",
                                              "“%1” has identical channels (dual mono): a mono "
                                              "file would take half the disk and CPU."),
                            QT_TRANSLATE_N_NOOP("Vantrel::AudioCheck",
                                                "%n files have identical channels (dual mono): "
                                                "mono files would take half the disk and CPU."));
    if (!clipped.isEmpty())
        findings << finding(
            QStringLiteral("clipping"), clipped,
            QT_TRANSLATE_NOOP("Vantrel::AudioCheck", "“%1” is clipped: it has runs of consecutive "
                                                     "samples at full scale."),
            QT_TRANSLATE_N_NOOP("Vantrel::AudioCheck", "%n files are clipped: they have runs of "
                                                       "consecutive samples at full scale."));

    if (lengths.size() >= 2) {
        std::vector<double> sorted = lengths;
        std::sort(sorted.begin(), sorted.end());
        const std::size_t mid = sorted.size() / 2;
        const double median =
            sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2.0;
        QStringList shortFiles;
        double shortSeconds = 0;
        for (const AudioFile& f : files)
            if (f.header.readable && !(f.content && !f.content->readable) &&
                f.header.seconds() < median / 2.0) {
                shortFiles << f.file;
                shortSeconds = f.header.seconds();
            }
        if (!shortFiles.isEmpty())
            findings << AudioFinding{
                QStringLiteral("short"), shortFiles,
                shortFiles.size() == 1
                    ? QCoreApplication::translate("Vantrel::AudioCheck",
                                                  "“%1” lasts %2, less than half the session’s "
                                                  "median of %3: a wrong or truncated file?")
                          .arg(shortFiles.first(), secondsText(shortSeconds), secondsText(median))
                    : QCoreApplication::translate("Vantrel::AudioCheck",
                                                  "%n files last less than half the session’s "
                                                  "median of %1: wrong or truncated files?",
                                                  nullptr, int(shortFiles.size()))
                          .arg(secondsText(median))};
    }

    if (!unreadable.isEmpty())
        findings << finding(QStringLiteral("unreadable"), unreadable,
                            QT_TRANSLATE_NOOP("Vantrel::AudioCheck",
                                              "“%1” could not be read as audio: format not read."),
                            QT_TRANSLATE_N_NOOP("Vantrel::AudioCheck",
                                                "%n files could not be read as audio: format not "
                                                "read."));
    return findings;
}

} // namespace Vantrel::Engine
