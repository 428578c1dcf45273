// vantrel-cli: the headless companion of the app, for scripting and for checking the engine
// from outside. Exit 0 on success, 1 with the user-facing message on failure, 2 on bad usage.

#include "automation/LogicBridge.h"
#include "cli/CommandLine.h"
#include "cli/Demo.h"
#include "cli/SendCommand.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "platform/sim/SimPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>
#include <unistd.h>

using namespace Vantrel;

namespace {

const char* const usageText =
    "usage: vantrel-cli scan FOLDER [--config FILE] [--json]\n"
    "       vantrel-cli classify [--config FILE] [--json] STEM...\n"
    "       vantrel-cli organize FOLDER (--in-place | --copy) [--config FILE] [--json]\n"
    "       vantrel-cli put-back FOLDER\n"
    "       vantrel-cli demo FOLDER\n"
    "       vantrel-cli logic-menus [--quirk NAME]...\n"
    "       vantrel-cli send FOLDER --simulate [--mode MODE] [--quirk NAME]... [--json]\n";

using Cli::err;
using Cli::out;
using Cli::UsageError;

// The command line after the command name: options and positional arguments.
struct Args {
    QStringList positional;
    std::optional<QString> config;
    bool json = false;
    std::optional<ExportMode> mode;
};

Args parseArgs(const QStringList& list, bool allowConfig, bool allowJson, bool allowMode = false) {
    Cli::OptionSpec spec;
    if (allowJson)
        spec.flags << QStringLiteral("--json");
    if (allowMode) {
        spec.flags << QStringLiteral("--in-place") << QStringLiteral("--copy");
        spec.exclusive << QStringList{QStringLiteral("--in-place"), QStringLiteral("--copy")};
    }
    if (allowConfig)
        spec.valued << std::pair(QStringLiteral("--config"), QStringLiteral("FILE"));
    const Cli::ParsedArgs parsed = Cli::parseArgs(list, spec);
    Args args;
    args.positional = parsed.positional;
    args.config = parsed.last(QStringLiteral("--config"));
    args.json = parsed.has(QStringLiteral("--json"));
    if (parsed.has(QStringLiteral("--copy")))
        args.mode = ExportMode::copy;
    else if (parsed.has(QStringLiteral("--in-place")))
        args.mode = ExportMode::inPlace;
    return args;
}

// The configuration named by --config, or the user's. Loading never fails, but a file that was
// named and cannot be used is worth a warning.
Config configFor(const Args& args) {
    if (!args.config)
        return Config::load();
    QFile file(*args.config);
    if (!file.open(QIODevice::ReadOnly) || !Config::fromJson(file.readAll()))
        err(QStringLiteral("warning: cannot use the configuration “%1”; using the built-in rules.")
                .arg(*args.config));
    return Config::loadFrom(*args.config);
}

QJsonValue optionalText(const std::optional<QString>& s) {
    return s ? QJsonValue(*s) : QJsonValue(QJsonValue::Null);
}

QString padRight(const QString& s, qsizetype width) {
    return s.leftJustified(width, QLatin1Char(' '));
}

// The absolute, clean path of the one FOLDER argument; fails when it is not a folder.
QString folderArgument(const Args& args, const char* command) {
    if (args.positional.size() != 1)
        throw UsageError{QStringLiteral("%1 takes one FOLDER").arg(QLatin1String(command))};
    const QFileInfo info(args.positional.first());
    if (!info.isDir())
        throw Error(QStringLiteral("“%1” is not a folder.").arg(args.positional.first()));
    return QDir::cleanPath(info.absoluteFilePath());
}

int scanCommand(const QStringList& list) {
    const Args args = parseArgs(list, true, true);
    const QString folder = folderArgument(args, "scan");
    const Config cfg = configFor(args);
    const Engine::ScanResult result = Engine::scan(folder, cfg);

    if (args.json) {
        QJsonArray items;
        for (const Item& item : result.items) {
            items.append(QJsonObject{
                {QStringLiteral("file"), item.fileName()},
                {QStringLiteral("group"), optionalText(item.group)},
                {QStringLiteral("source"), item.source},
                {QStringLiteral("order"),
                 item.order ? QJsonValue(qint64(*item.order)) : QJsonValue(QJsonValue::Null)},
                {QStringLiteral("folder"), item.folder},
                {QStringLiteral("newName"), item.newName},
            });
        }
        const QJsonObject root{
            {QStringLiteral("folder"), folder},
            {QStringLiteral("items"), items},
            {QStringLiteral("skipped"), QJsonArray::fromStringList(result.skipped)}};
        out(QJsonDocument(root).toJson(QJsonDocument::Indented));
        return 0;
    }

    qsizetype fileWidth = 4;
    for (const Item& item : result.items)
        fileWidth = std::max(fileWidth, item.fileName().size());
    QString text = QStringLiteral("%1\n%2 audio files\n\n").arg(folder).arg(result.items.size());
    text += padRight(QStringLiteral("FILE"), fileWidth) +
            QStringLiteral("  GROUP     ORDER  NEW PLACE\n");
    for (const Item& item : result.items) {
        text += padRight(item.fileName(), fileWidth) + QStringLiteral("  ") +
                padRight(item.group.value_or(QStringLiteral("-")), 8) + QStringLiteral("  ") +
                padRight(item.order ? QString::number(*item.order) : QStringLiteral("-"), 5) +
                QStringLiteral("  ") + item.folder + QLatin1Char('/') + item.newName +
                QLatin1Char('\n');
    }
    if (!result.skipped.isEmpty())
        text += QStringLiteral("\nNot audio, left alone: ") +
                result.skipped.join(QStringLiteral(", ")) + QLatin1Char('\n');
    out(text.toUtf8());
    return 0;
}

int classifyCommand(const QStringList& list) {
    const Args args = parseArgs(list, true, true);
    if (args.positional.isEmpty())
        throw UsageError{QStringLiteral("classify takes at least one STEM")};
    const Engine::Classifier classifier(configFor(args));

    QJsonArray rows;
    QString text;
    for (const QString& stem : args.positional) {
        const QStringList tokens = classifier.tokenize(stem);
        const Engine::Classification c = classifier.classify(stem);
        rows.append(QJsonObject{{QStringLiteral("stem"), stem},
                                {QStringLiteral("tokens"), QJsonArray::fromStringList(tokens)},
                                {QStringLiteral("group"), optionalText(c.group)},
                                {QStringLiteral("source"), c.source}});
        text += QStringLiteral("%1\n  tokens: %2\n  group:  %3\n  source: %4\n")
                    .arg(stem, tokens.join(QLatin1Char(' ')),
                         c.group.value_or(QStringLiteral("(none)")), c.source);
    }
    out(args.json ? QJsonDocument(rows).toJson(QJsonDocument::Indented) : text.toUtf8());
    return 0;
}

// Set by Ctrl-C; the export asks it between files.
std::atomic<bool> interrupted{false};

void onInterrupt(int) {
    interrupted.store(true);
}

int organizeCommand(const QStringList& list) {
    const Args args = parseArgs(list, true, true, true);
    const QString folder = folderArgument(args, "organize");
    if (!args.mode)
        throw UsageError{QStringLiteral("organize needs --in-place or --copy")};
    const bool inPlace = *args.mode == ExportMode::inPlace;
    const QString failure = inPlace ? QStringLiteral("Couldn't organize the folder: ")
                                    : QStringLiteral("Couldn't create the sorted folder: ");

    const Engine::ScanResult scan = Engine::scan(folder, configFor(args));
    if (scan.items.isEmpty())
        throw Error(QStringLiteral("No audio files found directly inside “%1”.")
                        .arg(QFileInfo(folder).fileName()));

    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);

    const bool showProgress = isatty(STDERR_FILENO);
    const auto progress = [showProgress](int done, int total) {
        if (showProgress)
            std::fprintf(stderr, "\r%d of %d files", done, total);
    };
    ExportResult result;
    try {
        result = Engine::exportItems(scan.items, folder, *args.mode, progress,
                                     [] { return interrupted.load(); });
    } catch (const CancelledError&) {
        if (showProgress)
            std::fputc('\n', stderr);
        throw;
    } catch (const Error& e) {
        if (showProgress)
            std::fputc('\n', stderr);
        throw Error(failure + e.message());
    }
    if (showProgress)
        std::fputc('\n', stderr);

    if (args.json) {
        out(QJsonDocument(QJsonObject{{QStringLiteral("result"), result.url},
                                      {QStringLiteral("note"), result.note},
                                      {QStringLiteral("inPlace"), result.inPlace}})
                .toJson(QJsonDocument::Indented));
    } else {
        out((result.note + QLatin1Char('\n') + result.url + QLatin1Char('\n')).toUtf8());
    }
    return 0;
}

int putBackCommand(const QStringList& list) {
    const Args args = parseArgs(list, false, false);
    const QString folder = folderArgument(args, "put-back");
    try {
        Engine::undo(folder);
    } catch (const Error& e) {
        throw Error(QStringLiteral("Couldn't put the files back: ") + e.message());
    }
    out(QStringLiteral("Put the files back in %1\n").arg(folder).toUtf8());
    return 0;
}

int demoCommand(const QStringList& list) {
    const Args args = parseArgs(list, false, false);
    if (args.positional.size() != 1)
        throw UsageError{QStringLiteral("demo takes one FOLDER")};
    Cli::writeDemoSession(args.positional.first());
    out(QStringLiteral("Demo session written to %1\n")
            .arg(QDir::cleanPath(QFileInfo(args.positional.first()).absoluteFilePath()))
            .toUtf8());
    return 0;
}

// Checks the connection to the simulated Logic Pro as the app's menu command does: dumps its
// menus into the configuration folder, prints the dump and the message the app would show.
int logicMenusCommand(const QStringList& list) {
    Cli::OptionSpec spec;
    spec.valued << std::pair(QStringLiteral("--quirk"), QStringLiteral("NAME"));
    spec.othersMessage = QStringLiteral("logic-menus takes only --quirk NAME, not %1");
    const QStringList quirks = Cli::parseArgs(list, spec).all(QStringLiteral("--quirk"));
    for (const QString& quirk : quirks) {
        if (!SimLogic::quirkNames().contains(quirk))
            throw UsageError{QStringLiteral("unknown quirk %1; the quirks are: %2")
                                 .arg(quirk, SimLogic::quirkNames().join(QStringLiteral(", ")))};
    }
    SystemClock clock;
    SimPlatform platform(clock, quirks);
    const QString path = LogicBridge::dumpPath();
    const LogicBridge::ConnectionReport report = LogicBridge::checkConnection(platform, path);
    if (!report.connected())
        throw Error(report.message);
    QFile dump(path);
    if (!dump.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Couldn't read “%1”: %2.").arg(path, dump.errorString()));
    QByteArray text = dump.readAll();
    if (!text.isEmpty())
        text += '\n';
    out(text + report.message.toUtf8() + '\n');
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    try {
        if (args.isEmpty())
            throw UsageError{QStringLiteral("a command is needed")};
        const QString command = args.takeFirst();
        if (command == QLatin1String("scan"))
            return scanCommand(args);
        if (command == QLatin1String("classify"))
            return classifyCommand(args);
        if (command == QLatin1String("organize"))
            return organizeCommand(args);
        if (command == QLatin1String("put-back"))
            return putBackCommand(args);
        if (command == QLatin1String("demo"))
            return demoCommand(args);
        if (command == QLatin1String("logic-menus"))
            return logicMenusCommand(args);
        if (command == QLatin1String("send"))
            return Cli::sendCommand(args);
        if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
            out(QByteArray(usageText));
            return 0;
        }
        throw UsageError{QStringLiteral("unknown command %1").arg(command)};
    } catch (const UsageError& e) {
        err(QStringLiteral("vantrel-cli: ") + e.message);
        std::fputs(e.usage ? e.usage : usageText, stderr);
        return 2;
    } catch (const Error& e) {
        err(e.message());
        return 1;
    }
}
