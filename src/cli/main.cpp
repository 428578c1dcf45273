// vantrel-cli: the headless companion of the app, for scripting and for checking the engine
// from outside. Exit 0 on success, 1 with the user-facing message on failure, 2 on bad usage.

#include "automation/AxDump.h"
#include "automation/LogicBridge.h"
#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/Demo.h"
#include "cli/ExportSessionCommand.h"
#include "cli/Help.h"
#include "cli/SendCommand.h"
#include "core/Config.h"
#include "core/ConfigProblem.h"
#include "core/Engine.h"
#include "core/EnglishTexts.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/JsonText.h"
#include "core/SmallFile.h"
#include "core/Suggest.h"
#include "platform/Backend.h"
#include "platform/sim/RecordedPlatform.h"
#include "platform/sim/SimPlatform.h"
#ifdef Q_OS_MACOS
#include "platform/mac/MacPlatform.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

using namespace Vantrel;

namespace {

using Cli::err;
using Cli::out;
using Cli::outText;
using Cli::UsageError;

// The command line after the command name: options and positional arguments.
struct Args {
    QStringList positional;
    std::optional<QString> config;
    bool json = false;
    std::optional<ExportMode> mode;
    // Add the suggested group of every unsorted entry.
    bool suggest = false;
};

Args parseArgs(const QStringList& list, bool allowConfig, bool allowJson, bool allowMode = false,
               bool allowSuggest = false) {
    Cli::OptionSpec options;
    if (allowJson)
        options.flags << QStringLiteral("--json");
    if (allowSuggest)
        options.flags << QStringLiteral("--suggest");
    if (allowMode) {
        options.flags << QStringLiteral("--in-place") << QStringLiteral("--copy");
        options.exclusive << QStringList{QStringLiteral("--in-place"), QStringLiteral("--copy")};
    }
    if (allowConfig)
        options.valued << std::pair(QStringLiteral("--config"), QStringLiteral("FILE"));
    const Cli::ParsedArgs parsed = Cli::parseArgs(list, options);
    Args args;
    args.positional = parsed.positional;
    args.config = parsed.last(QStringLiteral("--config"));
    args.json = parsed.has(QStringLiteral("--json"));
    args.suggest = parsed.has(QStringLiteral("--suggest"));
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
    QString problem;
    try {
        problem = configProblem(readSmallFile(*args.config, SmallFileCap::config));
    } catch (const FileError& e) {
        problem = e.reason();
    }
    if (!problem.isEmpty())
        err(QStringLiteral("warning: cannot use the configuration “%1” (%2); using the built-in "
                           "rules.")
                .arg(*args.config, problem));
    return Config::loadFrom(*args.config);
}

QJsonValue optionalText(const std::optional<QString>& s) {
    return s ? QJsonValue(*s) : QJsonValue(QJsonValue::Null);
}

// The "suggested" and "reason" fields of an entry: the suggestion's group and reason, or nulls.
void addSuggestion(QJsonObject& entry, const std::optional<Suggestion>& s) {
    entry.insert(QStringLiteral("suggested"), s ? QJsonValue(s->group) : QJsonValue());
    entry.insert(QStringLiteral("reason"), s ? QJsonValue(s->reason) : QJsonValue());
}

// One line of text for a suggestion: "DRUMS? (Kick in “KickIn”)", or "(none)".
QString suggestionText(const std::optional<Suggestion>& s) {
    return s ? QStringLiteral("%1? (%2)").arg(s->group, s->reason) : QStringLiteral("(none)");
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

// text appended to out: copied into the room out already has, as appending a few bytes at a
// time into a large text should be.
void put(QByteArray& out, QByteArrayView text) {
    const qsizetype at = out.size();
    if (out.capacity() < at + text.size())
        out.reserve(std::max(2 * out.capacity(), at + text.size()));
    out.resize(at + text.size());
    std::memcpy(out.data() + at, text.data(), size_t(text.size()));
}

// value in decimal appended to out.
void putNumber(QByteArray& out, qint64 value) {
    char digits[24];
    const std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
    put(out, QByteArrayView(digits, r.ptr - digits));
}

int scanCommand(const QStringList& list) {
    const Args args = parseArgs(list, true, true, false, true);
    const QString folder = folderArgument(args, "scan");
    const Config cfg = configFor(args);
    // The scan is left to the end of the process, which gives its memory back at once: freeing
    // a large folder's items one by one costs several percent of the command. Held here, the
    // result stays reachable for leak checkers.
    static const Engine::ScanResult* kept = nullptr;
    kept = new Engine::ScanResult(Engine::scan(folder, cfg));
    const Engine::ScanResult& result = *kept;
    if (result.error)
        throw Error(*result.error);
    for (const QString& line : result.leftAlone)
        err(line);
    // The suggestion of each item, for the unsorted ones, in item order.
    QList<std::optional<Suggestion>> suggestions;
    if (args.suggest) {
        const Suggester suggester(cfg);
        for (const Item& item : result.items) {
            const QString name = item.fileName();
            suggestions << (item.group
                                ? std::nullopt
                                : suggester.suggest(name.left(name.lastIndexOf(QLatin1Char('.')))));
        }
    }

    if (args.json) {
        // Written as QJsonDocument writes it (keys in order), straight into the text: a folder
        // of many thousand files never exists as a document of values as well.
        const auto optional = [](QByteArray& json, const std::optional<QString>& s) {
            if (s)
                JsonText::appendString(json, *s);
            else
                put(json, "null");
        };
        QByteArray json;
        // Written out whenever a chunk is full: the whole text of a large folder is never in
        // memory, and the chunk's pages are touched once.
        constexpr qsizetype chunk = qsizetype(1) << 20;
        json.reserve(chunk + 64 * 1024);
        const auto flush = [&json] {
            if (json.size() >= chunk) {
                out(json);
                json.resize(0);
            }
        };
        put(json, "{\n    \"folder\": ");
        JsonText::appendString(json, folder);
        put(json, ",\n    \"items\": [\n");
        for (qsizetype i = 0; i < result.items.size(); ++i) {
            const Item& item = result.items[i];
            put(json, "        {\n            \"file\": ");
            // The name read where it stands in the path, as fileName() finds it, not copied.
            qsizetype start = item.url.size();
            while (start > 0 && item.url[start - 1] != u'/')
                --start;
            JsonText::appendString(
                json, QString::fromRawData(item.url.constData() + start, item.url.size() - start));
            put(json, ",\n            \"folder\": ");
            JsonText::appendString(json, item.folder);
            put(json, ",\n            \"group\": ");
            optional(json, item.group);
            put(json, ",\n            \"newName\": ");
            JsonText::appendString(json, item.newName);
            put(json, ",\n            \"order\": ");
            if (item.order)
                putNumber(json, *item.order);
            else
                put(json, "null");
            if (args.suggest) {
                const std::optional<Suggestion>& suggestion = suggestions[i];
                put(json, ",\n            \"reason\": ");
                optional(json, suggestion ? std::optional(suggestion->reason) : std::nullopt);
            }
            put(json, ",\n            \"source\": ");
            JsonText::appendString(json, item.source);
            if (args.suggest) {
                const std::optional<Suggestion>& suggestion = suggestions[i];
                put(json, ",\n            \"suggested\": ");
                optional(json, suggestion ? std::optional(suggestion->group) : std::nullopt);
            }
            put(json, i + 1 < result.items.size() ? "\n        },\n" : "\n        }\n");
            flush();
        }
        put(json, "    ],\n    \"skipped\": [\n");
        for (qsizetype i = 0; i < result.skipped.size(); ++i) {
            put(json, "        ");
            JsonText::appendString(json, result.skipped[i]);
            put(json, i + 1 < result.skipped.size() ? ",\n" : "\n");
            flush();
        }
        put(json, "    ]\n}\n");
        out(json);
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
    if (args.suggest) {
        text += QStringLiteral("\nSuggestions for the unsorted files:\n");
        for (qsizetype i = 0; i < result.items.size(); ++i)
            if (!result.items[i].group)
                text += padRight(result.items[i].fileName(), fileWidth) + QStringLiteral("  ") +
                        suggestionText(suggestions[i]) + QLatin1Char('\n');
    }
    if (!result.skipped.isEmpty())
        text += QStringLiteral("\nNot audio, left alone: ") +
                result.skipped.join(QStringLiteral(", ")) + QLatin1Char('\n');
    outText(text);
    return 0;
}

int classifyCommand(const QStringList& list) {
    const Args args = parseArgs(list, true, true, false, true);
    if (args.positional.isEmpty())
        throw UsageError{QStringLiteral("classify takes at least one STEM")};
    const Config cfg = configFor(args);
    const Engine::Classifier classifier(cfg);
    const std::optional<Suggester> suggester =
        args.suggest ? std::optional<Suggester>(std::in_place, cfg) : std::nullopt;

    QJsonArray rows;
    QString text;
    for (const QString& stem : args.positional) {
        const QStringList tokens = classifier.tokenize(stem);
        const Engine::Classification c = classifier.classify(stem);
        QJsonObject row{{QStringLiteral("stem"), stem},
                        {QStringLiteral("tokens"), QJsonArray::fromStringList(tokens)},
                        {QStringLiteral("group"), optionalText(c.group)},
                        {QStringLiteral("source"), c.source}};
        text += QStringLiteral("%1\n  tokens: %2\n  group:  %3\n  source: %4\n")
                    .arg(stem, tokens.join(QLatin1Char(' ')),
                         c.group.value_or(QStringLiteral("(none)")), c.source);
        if (suggester) {
            const std::optional<Suggestion> s = c.group ? std::nullopt : suggester->suggest(stem);
            addSuggestion(row, s);
            text += QStringLiteral("  suggested: %1\n").arg(suggestionText(s));
        }
        rows.append(row);
    }
    if (args.json)
        out(QJsonDocument(rows).toJson(QJsonDocument::Indented));
    else
        outText(text);
    return 0;
}

// Set by Ctrl-C; the export asks it between files.
std::atomic<bool> interrupted{false};

void onInterrupt(int) {
    interrupted.store(true);
}

// From here on Ctrl-C sets interrupted instead of ending the program.
void catchInterrupt() {
    struct sigaction action = {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
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
    if (scan.error)
        throw Error(*scan.error);
    for (const QString& line : scan.leftAlone)
        err(line);
    if (scan.items.isEmpty())
        throw Error(QStringLiteral("No audio files found directly inside “%1”.")
                        .arg(QFileInfo(folder).fileName()));
#if defined(__GLIBC__)
    // What the scan freed goes back to the system before the export adds its own: a folder of
    // many files otherwise keeps both resident.
    malloc_trim(0);
#endif

    catchInterrupt();

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
        outText(result.note + QLatin1Char('\n') + result.url + QLatin1Char('\n'));
    }
    return 0;
}

int putBackCommand(const QStringList& list) {
    const Args args = parseArgs(list, false, false);
    const QString folder = folderArgument(args, "put-back");
    Engine::PutBackResult result;
    try {
        result = Engine::undo(folder);
    } catch (const Error& e) {
        throw Error(QStringLiteral("Couldn't put the files back: ") + e.message());
    }
    QString text = QStringLiteral("Put the files back in %1\n").arg(folder);
    if (!result.note().isEmpty())
        text += result.note() + QLatin1Char('\n');
    outText(text);
    return 0;
}

int demoCommand(const QStringList& list) {
    const Args args = parseArgs(list, false, false);
    if (args.positional.size() != 1)
        throw UsageError{QStringLiteral("demo takes one FOLDER")};
    Cli::writeDemoSession(args.positional.first());
    outText(QStringLiteral("Demo session written to %1\n")
                .arg(QDir::cleanPath(QFileInfo(args.positional.first()).absoluteFilePath())));
    return 0;
}

// Checks the connection to the simulated Logic Pro as the app's menu command does: dumps its
// menus into the configuration folder, prints the dump and the message the app would show.
// The platform of backend on clock: on a Mac the real one, else the simulated Logic Pro with
// quirks switched on (a deviation of the simulator only).
std::unique_ptr<Platform> makePlatform(Backend backend, Clock& clock, const QStringList& quirks) {
#ifdef Q_OS_MACOS
    if (backend == Backend::mac) {
        if (!quirks.isEmpty())
            throw UsageError{QStringLiteral("--quirk changes the simulated Logic Pro: add "
                                            "--simulate")};
        return std::make_unique<MacPlatform>(clock);
    }
#else
    (void)backend;
#endif
    return std::make_unique<SimPlatform>(clock, quirks);
}

// The recorded world of a dump file; its reading error as the command's error.
std::unique_ptr<RecordedPlatform> recordedWorld(const QString& path, Clock& clock) {
    try {
        return std::make_unique<RecordedPlatform>(RecordedPlatform::readDump(path), clock);
    } catch (const std::runtime_error& e) {
        throw Error(QString::fromUtf8(e.what()));
    }
}

// The Logic Pro a reading command talks to: a recorded world (--world FILE), or the backend with
// the simulated Logic Pro's quirks (--quirk NAME or NAME=VALUE), never both.
std::unique_ptr<Platform> logicPlatform(const Cli::ParsedArgs& args, Backend backend,
                                        Clock& clock) {
    const QStringList quirks = args.all(QStringLiteral("--quirk"));
    for (const QString& quirk : quirks)
        if (const std::optional<QString> error = SimLogic::quirkSettingError(quirk))
            throw UsageError{*error};
    const std::optional<QString> world = args.last(QStringLiteral("--world"));
    if (world && !quirks.isEmpty())
        throw UsageError{QStringLiteral("--quirk changes the simulated Logic Pro, not a recorded "
                                        "world")};
    if (world)
        return recordedWorld(*world, clock);
    return makePlatform(backend, clock, quirks);
}

int logicMenusCommand(const QStringList& list) {
    Cli::OptionSpec options;
    options.flags << QStringLiteral("--simulate");
    options.valued << std::pair(QStringLiteral("--quirk"), QStringLiteral("NAME"))
                   << std::pair(QStringLiteral("--world"), QStringLiteral("FILE"));
    options.othersMessage =
        QStringLiteral("logic-menus takes only --simulate, --quirk NAME and --world FILE, not %1");
    const Cli::ParsedArgs args = Cli::parseArgs(list, options);
    SystemClock clock;
    const std::unique_ptr<Platform> owned =
        logicPlatform(args, chooseBackend(args.has(QStringLiteral("--simulate"))), clock);
    Platform& platform = *owned;
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

// Writes Logic Pro's accessibility tree: the simulated one (or a recorded world) here.
int axDumpCommand(const QStringList& list) {
    Cli::OptionSpec options;
    options.flags << QStringLiteral("--simulate") << QStringLiteral("--json");
    options.valued << std::pair(QStringLiteral("--world"), QStringLiteral("FILE"))
                   << std::pair(QStringLiteral("--quirk"), QStringLiteral("NAME"))
                   << std::pair(QStringLiteral("--depth"), QStringLiteral("N"));
    options.othersMessage = QStringLiteral("ax-dump takes no %1");
    const Cli::ParsedArgs args = Cli::parseArgs(list, options);
    int depth = AxDump::defaultDepth;
    if (const std::optional<QString> d = args.last(QStringLiteral("--depth"))) {
        bool ok = false;
        depth = d->toInt(&ok);
        if (!ok || depth < 0)
            throw UsageError{
                QStringLiteral("--depth needs a whole number of 0 or more, not %1").arg(*d)};
    }
    const Backend backend = chooseBackend(args.has(QStringLiteral("--simulate")));
    if (backend == Backend::simulated && !args.has(QStringLiteral("--simulate")))
        throw Error(QStringLiteral("ax-dump reads the real Logic Pro only on a Mac; add "
                                   "--simulate to dump the simulated one."));
    SystemClock clock;
    const std::unique_ptr<Platform> owned = logicPlatform(args, backend, clock);
    const std::optional<QJsonObject> tree = AxDump::dumpLogic(*owned, depth);
    if (!tree)
        throw Error(
            LogicBridge::ConnectionError(LogicBridge::ConnectionError::notRunning).message());
    if (args.has(QStringLiteral("--json")))
        out(QJsonDocument(*tree).toJson(QJsonDocument::Indented));
    else
        outText(AxDump::asText(*tree));
    return 0;
}

// Whether the arguments after a command ask for its help: "--help" or "-h" before any "--".
bool asksForHelp(const QStringList& args) {
    for (const QString& a : args) {
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // English whatever the system's language, with its plural forms ("1 track").
    installEnglishTexts(app);
    QStringList args = app.arguments().mid(1);
    const Cli::CommandHelp* help = nullptr;
    try {
        if (args.isEmpty())
            throw UsageError{QStringLiteral("a command is needed")};
        const QString command = args.takeFirst();
        if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
            out(Cli::helpText());
            return 0;
        }
        if (command == QLatin1String("--version")) {
            out(QStringLiteral("vantrel-cli %1\n").arg(QStringLiteral(VANTREL_VERSION)));
            return 0;
        }
        // Not in the usage: the build makes the manual page and the completion with these.
        if (command == QLatin1String("--man-page")) {
            out(Cli::manPage());
            return 0;
        }
        if (command == QLatin1String("--bash-completion")) {
            out(Cli::bashCompletion());
            return 0;
        }
        // Only commands of the usage text run, so none lacks its help, page and completion.
        help = Cli::commandNamed(command);
        if (!help)
            throw UsageError{QStringLiteral("unknown command %1").arg(command)};
        if (asksForHelp(args)) {
            out(Cli::commandHelpText(*help));
            return 0;
        }
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
        if (command == QLatin1String("check")) {
            catchInterrupt();
            return Cli::checkCommand(args, interrupted);
        }
        if (command == QLatin1String("logic-menus"))
            return logicMenusCommand(args);
        if (command == QLatin1String("ax-dump"))
            return axDumpCommand(args);
        if (command == QLatin1String("send")) {
            catchInterrupt();
            return Cli::sendCommand(args, interrupted);
        }
        if (command == QLatin1String("export-session")) {
            catchInterrupt();
            return Cli::exportSessionCommand(args, interrupted);
        }
        throw Error(QStringLiteral("The command %1 is described but not built.").arg(command));
    } catch (const UsageError& e) {
        err(QStringLiteral("vantrel-cli: ") + e.message);
        std::fputs((help ? Cli::usageOf(*help) : Cli::usageText()).toUtf8().constData(), stderr);
        return 2;
    } catch (const Error& e) {
        err(e.message());
        return 1;
    }
}
