#include "cli/SendCommand.h"

#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "automation/SendMode.h"
#include "cli/CommandLine.h"
#include "core/Config.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/Manifest.h"
#include "platform/sim/SimPlatform.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
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
    if (!args.simulate)
        throw UsageError{QStringLiteral(
            "send needs --simulate: only the simulated Logic Pro can be driven here")};
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

    LogicSender sender(platform);
    QStringList log;
    const Clock::Duration start = clock.now();
    sender.onProgress = [&](const QString& status, double fraction) {
        const double secs = std::chrono::duration<double>(clock.now() - start).count();
        log << sendLogLine(secs, fraction, status);
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
    const QString& result = outcome.result;
    const bool ok = outcome.ok;

    const SimSession session = platform.logic().session();
    if (args.json) {
        const QJsonObject root{{QStringLiteral("result"), result},
                               {QStringLiteral("ok"), ok},
                               {QStringLiteral("log"), QJsonArray::fromStringList(log)},
                               {QStringLiteral("session"), session.toJson()},
                               {QStringLiteral("calls"), platform.logic().counters().toJson()}};
        out(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    } else {
        outText(result + QStringLiteral("\n\nSend log:\n") + log.join(QLatin1Char('\n')) +
                QStringLiteral("\n\nSession in Logic:\n") + sessionText(session));
    }
    return ok ? 0 : 1;
}

} // namespace Vantrel::Cli
