#include "core/AudioFacts.h"

#include <QMap>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace Vantrel::Engine {

namespace {

QString quoted(const QString& name) {
    return QStringLiteral("“") + name + QStringLiteral("”");
}

// "1 file", "3 files".
QString filesText(qsizetype n) {
    return n == 1 ? QStringLiteral("1 file") : QStringLiteral("%1 files").arg(n);
}

QString secondsText(double seconds) {
    if (seconds < 1)
        return QStringLiteral("%1 s").arg(seconds, 0, 'f', 2);
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds, 0, 'f', 1);
    const auto whole = qint64(seconds + 0.5);
    return QStringLiteral("%1 min %2 s").arg(whole / 60).arg(whole % 60);
}

// A property that should be the same in every file (sample rate, bit depth): the files whose
// value differs from the majority's, and the sentence "3 files are at 44.1 kHz and 1 at 96 kHz,
// the other 44 at 48 kHz". The majority is the value of most files; on a tie the higher value.
struct Split {
    QStringList odd;
    QString counts;
};

Split splitByMajority(const QList<std::pair<QString, int>>& valued,
                      const std::function<QString(int)>& describe, const QString& linkWord) {
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
    for (const auto& [file, value] : valued)
        if (value != majority)
            split.odd << file;
    // The other values, most files first, then by value.
    std::vector<std::pair<int, int>> others;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.key() != majority)
            others.emplace_back(it.value(), it.key());
    std::sort(others.begin(), others.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QStringList parts;
    for (std::size_t i = 0; i < others.size(); ++i) {
        const auto [n, value] = others[i];
        if (i == 0)
            parts << QStringLiteral("%1 %2 %3%4")
                         .arg(filesText(n), n == 1 ? QStringLiteral("is") : QStringLiteral("are"),
                              linkWord, describe(value));
        else
            parts << QStringLiteral("%1 %2%3").arg(n).arg(linkWord, describe(value));
    }
    QString text = parts.size() > 1 ? parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) +
                                          QStringLiteral(" and ") + parts.last()
                                    : parts.first();
    const int rest = counts[majority];
    text += rest == 1
                ? QStringLiteral(", the other %1%2").arg(linkWord, describe(majority))
                : QStringLiteral(", the other %1 %2%3").arg(rest).arg(linkWord, describe(majority));
    split.counts = text;
    return split;
}

// One sentence for one file or for several: the single form names the file.
AudioFinding finding(const QString& kind, const QStringList& files, const QString& one,
                     const QString& many) {
    return {kind, files,
            files.size() == 1 ? one.arg(quoted(files.first())) : many.arg(files.size())};
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

    const Split rate = splitByMajority(rates, rateText, QStringLiteral("at "));
    if (!rate.odd.isEmpty())
        findings << AudioFinding{QStringLiteral("sample-rate"), rate.odd,
                                 rate.counts + (rate.odd.size() == 1
                                                    ? QStringLiteral(": Logic Pro will convert "
                                                                     "it on import.")
                                                    : QStringLiteral(": Logic Pro will convert "
                                                                     "them on import."))};
    const Split depth = splitByMajority(
        depths, [&depthKinds](int key) { return depthText(depthKinds[key]); }, QString());
    if (!depth.odd.isEmpty())
        findings << AudioFinding{QStringLiteral("bit-depth"), depth.odd,
                                 depth.counts + (depth.odd.size() == 1
                                                     ? QStringLiteral(": it may come from "
                                                                      "another recording or "
                                                                      "export.")
                                                     : QStringLiteral(": they may come from "
                                                                      "another recording or "
                                                                      "export."))};
    if (!silent.isEmpty())
        findings << finding(QStringLiteral("silent"), silent,
                            QStringLiteral("%1 is silent: its peak is below −90 dBFS."),
                            QStringLiteral("%1 files are silent: their peaks are below −90 dBFS."));
    if (!dualMono.isEmpty())
        findings << finding(QStringLiteral("dual-mono"), dualMono,
                            QStringLiteral("%1 has identical channels (dual mono): a mono file "
                                           "would take half the disk and CPU."),
                            QStringLiteral("%1 files have identical channels (dual mono): mono "
                                           "files would take half the disk and CPU."));
    if (!clipped.isEmpty())
        findings << finding(QStringLiteral("clipping"), clipped,
                            QStringLiteral("%1 is clipped: it has runs of consecutive samples at "
                                           "full scale."),
                            QStringLiteral("%1 files are clipped: they have runs of consecutive "
                                           "samples at full scale."));

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
                    ? QStringLiteral("%1 lasts %2, less than half the session’s median of %3: a "
                                     "wrong or truncated file?")
                          .arg(quoted(shortFiles.first()), secondsText(shortSeconds),
                               secondsText(median))
                    : QStringLiteral("%1 files last less than half the session’s median of %2: "
                                     "wrong or truncated files?")
                          .arg(shortFiles.size())
                          .arg(secondsText(median))};
    }

    if (!unreadable.isEmpty())
        findings << finding(QStringLiteral("unreadable"), unreadable,
                            QStringLiteral("%1 could not be read as audio: format not read."),
                            QStringLiteral("%1 files could not be read as audio: format not "
                                           "read."));
    return findings;
}

bool readContents(const AudioReader& reader, const QStringList& paths,
                  const std::function<bool()>& cancelled,
                  const std::function<void(qsizetype, const AudioContent&)>& done) {
    std::atomic<qsizetype> next{0};
    std::atomic<bool> stopped{false};
    std::mutex calling;
    const auto work = [&] {
        for (qsizetype i = next.fetch_add(1); i < paths.size() && !stopped.load();
             i = next.fetch_add(1)) {
            if (cancelled && cancelled()) {
                stopped = true;
                return;
            }
            std::optional<AudioContent> content;
            try {
                content = reader.content(paths[i], cancelled);
            } catch (const std::exception&) {
                content = AudioContent{.readable = false};
            }
            if (!content) {
                stopped = true;
                return;
            }
            const std::lock_guard<std::mutex> lock(calling);
            done(i, *content);
        }
    };
    const auto threads = qsizetype(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    std::vector<std::thread> helpers;
    try {
        for (qsizetype t = 1; t < std::min(threads, paths.size()); ++t)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones there are, this one included, read the rest.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return !stopped.load();
}

} // namespace Vantrel::Engine
