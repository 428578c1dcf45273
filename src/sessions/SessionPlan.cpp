#include "sessions/SessionPlan.h"

#include "automation/SendJobs.h"
#include "core/Errors.h"
#include "core/Manifest.h"
#include "core/Palette.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMap>

namespace Vantrel::Sessions {

qsizetype SessionPlan::trackCount() const {
    qsizetype n = 0;
    for (const PlannedGroup& g : groups)
        n += g.tracks.size();
    return n;
}

qsizetype SessionPlan::namedGroupCount() const {
    qsizetype n = 0;
    for (const PlannedGroup& g : groups)
        n += g.name ? 1 : 0;
    return n;
}

QStringList SessionPlan::otherRates() const {
    QStringList files;
    for (const PlannedGroup& g : groups)
        for (const PlannedTrack& t : g.tracks)
            if (t.audio.sampleRate != sampleRate)
                files << t.relativePath;
    return files;
}

QString htmlColor(std::uint32_t rgb) {
    return QStringLiteral("#%1").arg(rgb & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
}

SessionPlan planSession(const QString& resultFolder, const Config& cfg, const AudioReader& reader) {
    SessionPlan plan;
    plan.resultFolder = QDir::cleanPath(QFileInfo(resultFolder).absoluteFilePath());
    plan.title = QFileInfo(plan.resultFolder).fileName();
    const QList<Item> items = Engine::readManifest(plan.resultFolder, cfg);
    Engine::checkTracksPresent(items, plan.resultFolder);

    QStringList unreadable;
    QMap<int, qsizetype> rates;
    int firstRate = 0;
    const qsizetype prefix = plan.resultFolder.size() + 1;
    for (const SendJob& job : sendJobs(items, cfg, plan.resultFolder)) {
        PlannedGroup group;
        group.name = job.group;
        if (job.color)
            group.color = LogicPalette::hex()[job.color->row][job.color->col];
        for (const QString& file : job.files) {
            PlannedTrack track;
            track.file = file;
            track.relativePath = file.mid(prefix);
            track.name = memberName(file);
            track.audio = reader.header(file);
            if (!track.audio.readable || track.audio.sampleRate <= 0 || track.audio.channels <= 0) {
                unreadable << track.relativePath;
                continue;
            }
            if (!firstRate)
                firstRate = track.audio.sampleRate;
            ++rates[track.audio.sampleRate];
            group.tracks << track;
        }
        plan.groups << group;
    }
    if (!unreadable.isEmpty()) {
        QStringList named;
        for (const QString& name : unreadable.mid(0, 3))
            named << QStringLiteral("“%1”").arg(name);
        if (unreadable.size() > 3)
            named << QStringLiteral("…");
        throw Error(unreadable.size() == 1
                        ? QCoreApplication::translate("Vantrel::SessionExport",
                                                      "The audio of %1 cannot be read, so it "
                                                      "cannot be placed in a session.")
                              .arg(named.first())
                        : QCoreApplication::translate("Vantrel::SessionExport",
                                                      "The audio of %n tracks cannot be read "
                                                      "(%1), so they cannot be placed in a "
                                                      "session.",
                                                      nullptr, int(unreadable.size()))
                              .arg(named.join(QStringLiteral(", "))));
    }
    plan.sampleRate = firstRate;
    for (auto it = rates.cbegin(); it != rates.cend(); ++it)
        if (it.value() > rates.value(plan.sampleRate))
            plan.sampleRate = it.key();
    return plan;
}

} // namespace Vantrel::Sessions
