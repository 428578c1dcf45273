#include "cli/SendCommand.h"

#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "platform/sim/SimPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>

namespace Vantrel::Cli {

const char* const sendUsage =
    "       vantrel-cli send FOLDER --simulate [--mode fast|grouped|slow|stacks-only]\n"
    "                   [--config FILE] [--quirk NAME]... [--realtime] [--json]\n"
    "       vantrel-cli send --list-quirks\n";

namespace {

enum class Mode { fast, grouped, slow, stacksOnly };

struct Usage {
    QString message;
};

struct SendArgs {
    QString folder;
    bool simulate = false;
    Mode mode = Mode::fast;
    std::optional<QString> config;
    QStringList quirks;
    bool realtime = false;
    bool json = false;
    bool listQuirks = false;
};

SendArgs parse(const QStringList& list) {
    SendArgs args;
    QStringList positional;
    const auto value = [&](qsizetype& i, const char* what) {
        if (++i == list.size())
            throw Usage{QStringLiteral("%1 needs a value").arg(QLatin1String(what))};
        return list[i];
    };
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString& a = list[i];
        if (a == u"--simulate") {
            args.simulate = true;
        } else if (a == u"--mode") {
            const QString m = value(i, "--mode");
            if (m == u"fast")
                args.mode = Mode::fast;
            else if (m == u"grouped")
                args.mode = Mode::grouped;
            else if (m == u"slow")
                args.mode = Mode::slow;
            else if (m == u"stacks-only")
                args.mode = Mode::stacksOnly;
            else
                throw Usage{QStringLiteral("unknown mode %1").arg(m)};
        } else if (a == u"--config") {
            args.config = value(i, "--config");
        } else if (a == u"--quirk") {
            args.quirks << value(i, "--quirk");
        } else if (a == u"--realtime") {
            args.realtime = true;
        } else if (a == u"--json") {
            args.json = true;
        } else if (a == u"--list-quirks") {
            args.listQuirks = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            throw Usage{QStringLiteral("unknown option %1").arg(a)};
        } else {
            positional << a;
        }
    }
    if (args.listQuirks)
        return args;
    if (positional.size() != 1)
        throw Usage{QStringLiteral("send takes one FOLDER")};
    if (!args.simulate)
        throw Usage{QStringLiteral(
            "send needs --simulate: only the simulated Logic Pro can be driven here")};
    for (const QString& q : std::as_const(args.quirks)) {
        if (!SimLogic::quirkNames().contains(q))
            throw Usage{QStringLiteral("unknown quirk %1 (see send --list-quirks)").arg(q)};
    }
    args.folder = positional.first();
    return args;
}

void out(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// The exported items of a result folder, read back from its manifest: folder "NN_NAME" holds
// the tracks of group NAME, the unsorted folder the tracks without a group.
QList<Item> itemsOf(const QString& folder, const Config& cfg) {
    QFile file(folder + QLatin1Char('/') + Engine::manifestName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("“%1” is not a result folder: it holds no %2.")
                        .arg(folder, Engine::manifestName));
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject())
        throw Error(
            QStringLiteral("The %1 in “%2” cannot be read.").arg(Engine::manifestName, folder));
    static const QRegularExpression numbered(QStringLiteral("^[0-9]+_(.+)$"));
    QList<Item> items;
    const QJsonObject manifest = doc.object();
    for (auto it = manifest.begin(); it != manifest.end(); ++it) {
        std::optional<QString> group;
        if (it.key() != Engine::safeName(cfg.unsortedFolder)) {
            const QRegularExpressionMatch m = numbered.match(it.key());
            if (m.hasMatch()) {
                group = m.captured(1);
                for (const RuleGroup& g : cfg.groups) {
                    if (Engine::safeName(g.name) == *group) {
                        group = g.name;
                        break;
                    }
                }
            }
        }
        for (const QJsonValue& name : it.value().toArray()) {
            Item item;
            item.folder = it.key();
            item.newName = name.toString();
            item.url = folder + QLatin1Char('/') + item.folder + QLatin1Char('/') + item.newName;
            item.group = group;
            items << item;
        }
    }
    return items;
}

QString sessionText(const SimSession& session) {
    QString text;
    for (const SimTrack& t : session.tracks) {
        text += t.stack ? QStringLiteral("    ") : QStringLiteral("  ");
        text += t.name;
        QStringList traits;
        if (t.isStack)
            traits << (t.summing ? QStringLiteral("summing stack") : QStringLiteral("stack"))
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

int sendCommand(const QStringList& list) {
    SendArgs args;
    try {
        args = parse(list);
    } catch (const Usage& u) {
        std::fprintf(stderr, "vantrel-cli: %s\n", qPrintable(u.message));
        std::fputs(sendUsage, stderr);
        return 2;
    }
    if (args.listQuirks) {
        for (const QString& q : SimLogic::quirkNames())
            out(q + QStringLiteral("  ") + SimLogic::quirkDescription(q) + QLatin1Char('\n'));
        return 0;
    }

    const QFileInfo info(args.folder);
    if (!info.isDir())
        throw Error(QStringLiteral("“%1” is not a folder.").arg(args.folder));
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    const Config cfg = args.config ? Config::loadFrom(*args.config) : Config::load();
    const QList<Item> items = itemsOf(folder, cfg);
    const QList<SendJob> jobs = sendJobs(items, cfg, folder);

    VirtualClock virtualClock;
    SystemClock systemClock;
    Clock& clock = args.realtime ? static_cast<Clock&>(systemClock) : virtualClock;
    SimPlatform platform(clock, args.quirks);
    if (args.mode == Mode::stacksOnly) {
        // Stacks are built from tracks already in the project: open it holding them.
        for (const QString& file : dragURLs(jobs))
            platform.logic().addTrack(memberName(file));
    }

    LogicSender sender(platform);
    QStringList log;
    const Clock::Duration start = clock.now();
    sender.onProgress = [&](const QString& status, double fraction) {
        const double secs = std::chrono::duration<double>(clock.now() - start).count();
        log << QString::asprintf("%5.1fs %3.0f%%  ", secs, fraction * 100) + status;
    };

    QString result;
    bool ok = true;
    try {
        switch (args.mode) {
        case Mode::fast:
            sender.runFast(jobs, cfg.groupInName);
            break;
        case Mode::grouped:
            sender.runGrouped(jobs);
            break;
        case Mode::slow:
            sender.run(jobs);
            break;
        case Mode::stacksOnly:
            sender.stackOnly(jobs);
            break;
        }
        result = sentText(jobs);
        log << QStringLiteral("OK");
    } catch (const SendError& e) {
        ok = false;
        result = e.message();
        log << QStringLiteral("ERROR: ") + e.message();
    }

    const SimSession session = platform.logic().session();
    if (args.json) {
        const QJsonObject root{{QStringLiteral("result"), result},
                               {QStringLiteral("ok"), ok},
                               {QStringLiteral("log"), QJsonArray::fromStringList(log)},
                               {QStringLiteral("session"), session.toJson()},
                               {QStringLiteral("calls"), platform.logic().counters().toJson()}};
        out(QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented)));
    } else {
        out(result + QStringLiteral("\n\nSend log:\n") + log.join(QLatin1Char('\n')) +
            QStringLiteral("\n\nSession in Logic:\n") + sessionText(session));
    }
    return ok ? 0 : 1;
}

} // namespace Vantrel::Cli
