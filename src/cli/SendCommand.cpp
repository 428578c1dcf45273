#include "cli/SendCommand.h"

#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "automation/SendMode.h"
#include "cli/CommandLine.h"
#include "core/Config.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/Manifest.h"
#include "platform/Backend.h"
#include "platform/sim/SimPlatform.h"
#ifdef Q_OS_MACOS
#include "platform/mac/MacPlatform.h"
#endif

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>

namespace Vantrel::Cli {

namespace {

using Cli::out;
using Cli::UsageError;

struct SendArgs {
    QString folder;
    bool simulate = false;
    SendMode mode = SendMode::fast;
    std::optional<QString> config;
    QStringList quirks;
    std::optional<QString> profile;
    std::uint64_t seed = 1;
    bool realtime = false;
    bool json = false;
    bool listQuirks = false;
};

SendArgs parse(const QStringList& list) {
    Cli::OptionSpec options;
    options.flags << QStringLiteral("--simulate") << QStringLiteral("--realtime")
                  << QStringLiteral("--json") << QStringLiteral("--list-quirks");
    for (const char* option : {"--mode", "--config", "--quirk", "--profile", "--seed"})
        options.valued << std::pair(QLatin1String(option), QStringLiteral("value"));
    const Cli::ParsedArgs parsed = Cli::parseArgs(list, options);

    SendArgs args;
    args.simulate = parsed.has(QStringLiteral("--simulate"));
    args.realtime = parsed.has(QStringLiteral("--realtime"));
    args.json = parsed.has(QStringLiteral("--json"));
    args.listQuirks = parsed.has(QStringLiteral("--list-quirks"));
    args.config = parsed.last(QStringLiteral("--config"));
    args.quirks = parsed.all(QStringLiteral("--quirk"));
    args.profile = parsed.last(QStringLiteral("--profile"));
    if (args.profile && !SimLogic::profileNames().contains(*args.profile))
        throw UsageError{
            QStringLiteral("unknown profile %1 (known: %2)")
                .arg(*args.profile, SimLogic::profileNames().join(QStringLiteral(", ")))};
    if (const std::optional<QString> seed = parsed.last(QStringLiteral("--seed"))) {
        bool ok = false;
        args.seed = seed->toULongLong(&ok);
        if (!ok)
            throw UsageError{QStringLiteral("--seed needs a whole number, not %1").arg(*seed)};
    }
    for (const QString& m : parsed.all(QStringLiteral("--mode"))) {
        const std::optional<SendMode> mode = sendModeNamed(m);
        if (!mode)
            throw UsageError{QStringLiteral("unknown mode %1").arg(m)};
        args.mode = *mode;
    }
    if (args.listQuirks)
        return args;
    if (parsed.positional.size() != 1)
        throw UsageError{QStringLiteral("send takes one FOLDER")};
    if (chooseBackend(args.simulate) == Backend::mac) {
        if (!args.quirks.isEmpty() || args.profile || parsed.has(QStringLiteral("--seed")) ||
            args.realtime)
            throw UsageError{QStringLiteral("--quirk, --profile, --seed and --realtime change the "
                                            "simulated Logic Pro: add --simulate")};
    } else if (!args.simulate) {
        throw UsageError{QStringLiteral(
            "send needs --simulate: only the simulated Logic Pro can be driven here")};
    }
    for (const QString& q : std::as_const(args.quirks)) {
        if (const std::optional<QString> error = SimLogic::quirkSettingError(q))
            throw UsageError{*error + QStringLiteral(" (see send --list-quirks)")};
    }
    args.folder = parsed.positional.first();
    return args;
}

QString sessionText(const SimSession& session) {
    QString text;
    for (const SimTrack& t : session.tracks) {
        text += t.stack ? QStringLiteral("    ") : QStringLiteral("  ");
        text += t.name;
        QStringList traits;
        if (t.isStack)
            traits << (t.summing ? QStringLiteral("summing stack") : QStringLiteral("folder stack"))
                   << (t.folded ? QStringLiteral("folded") : QStringLiteral("open"));
        if (t.color)
            traits << QStringLiteral("colour %1,%2").arg(t.color->first).arg(t.color->second);
        if (!t.isStack && !t.hasAudio)
            traits << QStringLiteral("empty");
        if (!traits.isEmpty())
            text += QStringLiteral("  [") + traits.join(QStringLiteral(", ")) + QLatin1Char(']');
        text += QLatin1Char('\n');
    }
    if (!session.windows.isEmpty())
        text += QStringLiteral("Windows: ") + session.windows.join(QStringLiteral(", ")) +
                QLatin1Char('\n');
    return text;
}

// Sends the jobs through platform and prints the result and the send log, as JSON or as text;
// session adds what the platform can tell of the session it built. 0 when the send succeeded.
int runSend(Platform& platform, Clock& clock, const SendArgs& args, const QList<SendJob>& jobs,
            const Config& cfg, const std::atomic<bool>& interrupted,
            const std::function<void(QJsonObject&, QString&)>& session) {
    LogicSender sender(platform);
    QStringList log;
    const Clock::Duration start = clock.now();
    sender.onProgress = [&](const SendReport& report) {
        const double secs = std::chrono::duration<double>(clock.now() - start).count();
        log << sendLogLine(secs, report);
    };

    // Ctrl-C is the panel's Cancel: it sets the sender's flag, which every wait of the send
    // reads, so the send stops at its next poll and never halfway through a typed name.
    SendOutcome outcome;
    {
        std::jthread watcher([&](std::stop_token stop) {
            while (!stop.stop_requested()) {
                if (interrupted.load()) {
                    sender.cancelled.store(true);
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        outcome = sender.send(args.mode, jobs, cfg.groupInName);
    }
    if (outcome.cancelled)
        throw CancelledError();
    log << outcome.logLine();
    QJsonObject root{{QStringLiteral("result"), outcome.result},
                     {QStringLiteral("ok"), outcome.ok},
                     {QStringLiteral("log"), QJsonArray::fromStringList(log)}};
    QString text = outcome.result + QStringLiteral("\n\nSend log:\n") + log.join(QLatin1Char('\n'));
    if (session)
        session(root, text);
    if (args.json)
        out(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    else
        outText(text);
    return outcome.ok ? 0 : 1;
}

} // namespace

int sendCommand(const QStringList& list, const std::atomic<bool>& interrupted) {
    const SendArgs args = parse(list);
    if (args.listQuirks) {
        for (const QString& q : SimLogic::quirkNames())
            out(q + QStringLiteral("  ") + SimLogic::quirkDescription(q) + QLatin1Char('\n'));
        for (const QString& p : SimLogic::profileNames())
            out(QStringLiteral("profile %1: %2\n")
                    .arg(p, SimLogic::profileQuirks(p).join(QStringLiteral(" "))));
        return 0;
    }

    const QFileInfo info(args.folder);
    if (!info.isDir())
        throw Error(QStringLiteral("“%1” is not a folder.").arg(args.folder));
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    const Config cfg = args.config ? Config::loadFrom(*args.config) : Config::load();
    const QList<Item> items = Engine::readManifest(folder, cfg);
    Engine::checkTracksPresent(items, folder);
    const QList<SendJob> jobs = sendJobs(items, cfg, folder);

#ifdef Q_OS_MACOS
    if (chooseBackend(args.simulate) == Backend::mac) {
        // The real Logic Pro, on the real clock; what it ends up holding is seen in Logic.
        SystemClock clock;
        MacPlatform platform(clock);
        return runSend(platform, clock, args, jobs, cfg, interrupted, {});
    }
#endif
    VirtualClock virtualClock;
    SystemClock systemClock;
    Clock& clock = args.realtime ? static_cast<Clock&>(systemClock) : virtualClock;
    SimPlatform platform(clock);
    platform.logic().setSeed(args.seed);
    if (args.profile)
        platform.logic().applyProfile(*args.profile);
    for (const QString& q : std::as_const(args.quirks))
        platform.logic().setQuirk(q, true);
    if (args.mode == SendMode::stacksOnly) {
        // Stacks are built from tracks already in the project: open it holding them.
        for (const QString& file : dragURLs(jobs))
            platform.logic().addTrack(memberName(file));
    }

    return runSend(platform, clock, args, jobs, cfg, interrupted,
                   [&platform](QJsonObject& root, QString& text) {
                       const SimSession session = platform.logic().session();
                       root.insert(QStringLiteral("session"), session.toJson());
                       root.insert(QStringLiteral("calls"), platform.logic().counters().toJson());
                       text += QStringLiteral("\n\nSession in Logic:\n") + sessionText(session);
                   });
}

} // namespace Vantrel::Cli
