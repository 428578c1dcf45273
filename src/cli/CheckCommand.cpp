#include "cli/CheckCommand.h"

#include "audio/SndfileReader.h"
#include "cli/CommandLine.h"
#include "core/Engine.h"
#include "core/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Vantrel::Cli {

namespace {

QJsonValue orNull(bool known, const QJsonValue& value) {
    return known ? value : QJsonValue(QJsonValue::Null);
}

QJsonObject fileJson(const AudioFile& f) {
    const AudioHeader& h = f.header;
    const bool readable = h.readable && !(f.content && !f.content->readable);
    const bool content = readable && f.content.has_value();
    return QJsonObject{
        {QStringLiteral("file"), f.file},
        {QStringLiteral("sampleRate"), orNull(h.readable, h.sampleRate)},
        {QStringLiteral("channels"), orNull(h.readable, h.channels)},
        {QStringLiteral("bitDepth"), orNull(h.readable && h.bitDepth > 0, h.bitDepth)},
        {QStringLiteral("frames"), orNull(h.readable, qint64(h.frames))},
        {QStringLiteral("seconds"), orNull(h.readable, h.seconds())},
        // Digital silence has no level in dBFS: null, as for a file not read.
        {QStringLiteral("peakDb"),
         orNull(content && f.content->peakDb,
                f.content && f.content->peakDb ? QJsonValue(*f.content->peakDb) : QJsonValue())},
        {QStringLiteral("clippedRuns"),
         orNull(content, content ? qint64(f.content->clippedRuns) : 0)},
        {QStringLiteral("dualMono"), orNull(content, content && f.content->dualMono)},
        {QStringLiteral("readable"), readable},
    };
}

QString factsLine(const AudioFile& f, qsizetype width) {
    QString line = f.file.leftJustified(width, QLatin1Char(' ')) + QStringLiteral("  ");
    const AudioHeader& h = f.header;
    if (!h.readable || (f.content && !f.content->readable))
        return line + QStringLiteral("format not read\n");
    QString depth = Engine::depthText(h);
    if (depth.isEmpty())
        depth = QStringLiteral("-");
    QString peak = QStringLiteral("-");
    if (f.content)
        peak = f.content->peakDb ? QStringLiteral("%1 dBFS").arg(*f.content->peakDb, 0, 'f', 1)
                                 : QStringLiteral("silence");
    line += Engine::rateText(h.sampleRate).leftJustified(10, QLatin1Char(' ')) +
            QStringLiteral("%1").arg(h.channels).leftJustified(4, QLatin1Char(' ')) +
            depth.leftJustified(13, QLatin1Char(' ')) +
            QStringLiteral("%1 s").arg(h.seconds(), 0, 'f', 2).leftJustified(12, QLatin1Char(' ')) +
            peak.leftJustified(13, QLatin1Char(' ')) +
            QString::number(f.content ? f.content->clippedRuns : 0);
    return line + QLatin1Char('\n');
}

} // namespace

int checkCommand(const QStringList& list, const std::atomic<bool>& interrupted) {
    OptionSpec options;
    options.flags << QStringLiteral("--json");
    const ParsedArgs args = parseArgs(list, options);
    if (args.positional.size() != 1)
        throw UsageError{QStringLiteral("check takes one FOLDER")};
    const QFileInfo info(args.positional.first());
    if (!info.isDir())
        throw Error(QStringLiteral("“%1” is not a folder.").arg(args.positional.first()));
    const QString folder = QDir::cleanPath(info.absoluteFilePath());

    const AudioReader& reader = Audio::sndfileReader();
    const Engine::ScanResult scan = Engine::scan(folder, Config::defaults(), &reader);
    if (scan.error)
        throw Error(*scan.error);

    QList<AudioFile> files;
    QStringList readable;
    QList<qsizetype> fileOf;
    for (const Item& item : scan.items) {
        AudioFile f{item.fileName(), item.audio.value_or(AudioHeader{}), std::nullopt};
        if (f.header.readable) {
            readable << item.url;
            fileOf << files.size();
        }
        files << f;
    }
    if (!Engine::readContents(
            reader, readable, [&interrupted] { return interrupted.load(); },
            [&](qsizetype i, const AudioContent& content) { files[fileOf[i]].content = content; }))
        throw CancelledError();
    const QList<AudioFinding> findings = Engine::audioFindings(files);

    if (args.has(QStringLiteral("--json"))) {
        QJsonArray fileArray, findingArray;
        for (const AudioFile& f : files)
            fileArray.append(fileJson(f));
        for (const AudioFinding& f : findings)
            findingArray.append(
                QJsonObject{{QStringLiteral("kind"), f.kind},
                            {QStringLiteral("files"), QJsonArray::fromStringList(f.files)},
                            {QStringLiteral("text"), f.text}});
        out(QJsonDocument(QJsonObject{{QStringLiteral("files"), fileArray},
                                      {QStringLiteral("findings"), findingArray}})
                .toJson(QJsonDocument::Indented));
        return 0;
    }

    qsizetype width = 4;
    for (const AudioFile& f : files)
        width = std::max(width, f.file.size());
    QString text = QStringLiteral("%1\n%2 audio files\n\n").arg(folder).arg(files.size());
    text += QStringLiteral("FILE").leftJustified(width, QLatin1Char(' ')) +
            QStringLiteral("  RATE      CH  DEPTH        LENGTH      PEAK         CLIPPED RUNS\n");
    for (const AudioFile& f : files)
        text += factsLine(f, width);
    if (findings.isEmpty()) {
        text += QStringLiteral("\nNo findings.\n");
    } else {
        text += QStringLiteral("\nFindings:\n");
        for (const AudioFinding& f : findings)
            text += QStringLiteral("- ") + f.text + QStringLiteral("\n    ") +
                    f.files.join(QStringLiteral(", ")) + QLatin1Char('\n');
    }
    outText(text);
    return 0;
}

} // namespace Vantrel::Cli
