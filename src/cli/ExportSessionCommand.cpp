#include "cli/ExportSessionCommand.h"

#include "audio/SndfileReader.h"
#include "cli/CommandLine.h"
#include "core/Config.h"
#include "core/Errors.h"
#include "sessions/SessionExport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <unistd.h>

namespace Vantrel::Cli {

int exportSessionCommand(const QStringList& list, const std::atomic<bool>& interrupted) {
    OptionSpec options;
    options.flags << QStringLiteral("--json");
    options.valued << std::pair(QStringLiteral("--to"), QStringLiteral("DAW"))
                   << std::pair(QStringLiteral("--output"), QStringLiteral("PATH"));
    const ParsedArgs args = parseArgs(list, options);
    if (args.positional.size() != 1)
        throw UsageError{QStringLiteral("export-session takes one RESULT folder")};
    const std::optional<QString> to = args.last(QStringLiteral("--to"));
    if (!to)
        throw UsageError{QStringLiteral("export-session needs --to ardour or --to dawproject")};
    const std::optional<Sessions::SessionTarget> target = Sessions::targetNamed(*to);
    if (!target)
        throw UsageError{QStringLiteral("unknown DAW %1 (known: ardour, dawproject)").arg(*to)};
    std::optional<QString> output = args.last(QStringLiteral("--output"));
    if (output && output->isEmpty())
        throw UsageError{QStringLiteral("--output needs a PATH")};

    const QFileInfo info(args.positional.first());
    if (!info.isDir())
        throw Error(QStringLiteral("“%1” is not a folder.").arg(args.positional.first()));
    const QString folder = QDir::cleanPath(info.absoluteFilePath());

    const bool showProgress = isatty(STDERR_FILENO);
    const auto progress = [showProgress](double fraction, const QString& status) {
        if (showProgress)
            std::fprintf(stderr, "\r\033[K%3.0f%%  %s", fraction * 100,
                         terminalSafe(status).toUtf8().constData());
    };
    const auto endProgress = [showProgress] {
        if (showProgress)
            std::fputc('\n', stderr);
    };
    Sessions::ExportedSession session;
    try {
        session = Sessions::exportSession(
            *target, folder, Config::load(), Audio::sndfileReader(), output,
            *target == Sessions::SessionTarget::ardour ? Sessions::findArdour() : std::nullopt,
            progress, [&interrupted] { return interrupted.load(); });
    } catch (const Error&) {
        endProgress();
        throw;
    }
    endProgress();

    if (args.has(QStringLiteral("--json"))) {
        out(QJsonDocument(
                QJsonObject{{QStringLiteral("to"), Sessions::targetName(session.target)},
                            {QStringLiteral("path"), session.path},
                            {QStringLiteral("sessionFile"), session.sessionFile},
                            {QStringLiteral("tracks"), qint64(session.tracks)},
                            {QStringLiteral("groups"), qint64(session.groups)},
                            {QStringLiteral("notes"), QJsonArray::fromStringList(session.notes)}})
                .toJson(QJsonDocument::Indented));
    } else {
        outText(session.summary() + QLatin1Char('\n') + session.sessionFile + QLatin1Char('\n'));
    }
    return 0;
}

} // namespace Vantrel::Cli
