#include "sessions/SessionExport.h"

#include "core/Errors.h"
#include "sessions/DawProject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Vantrel::Sessions {

namespace {

const QString dawprojectSuffix = QStringLiteral(".dawproject");

} // namespace

QString targetName(SessionTarget target) {
    return target == SessionTarget::ardour ? QStringLiteral("ardour")
                                           : QStringLiteral("dawproject");
}

std::optional<SessionTarget> targetNamed(const QString& name) {
    for (SessionTarget t : {SessionTarget::ardour, SessionTarget::dawproject})
        if (targetName(t) == name)
            return t;
    return std::nullopt;
}

QString ExportedSession::summary() const {
    const QString name = QFileInfo(path).fileName();
    // The counts of tracks and of groups each take their own plural form.
    const QString groupCount =
        QCoreApplication::translate("Vantrel::SessionExport", "%n groups", nullptr, int(groups));
    QString text =
        (target == SessionTarget::ardour
             ? QCoreApplication::translate("Vantrel::SessionExport",
                                           "Made the Ardour session “%1”: %n tracks in %2.",
                                           nullptr, int(tracks))
             : QCoreApplication::translate("Vantrel::SessionExport", "Saved “%1”: %n tracks in %2.",
                                           nullptr, int(tracks)))
            .arg(name, groupCount);
    for (const QString& note : notes)
        text += QLatin1Char(' ') + note;
    return text;
}

QString defaultDestination(SessionTarget target, const SessionPlan& plan) {
    if (target == SessionTarget::ardour)
        return defaultArdourFolder(plan);
    return QFileInfo(plan.resultFolder).absolutePath() + QLatin1Char('/') + plan.title +
           dawprojectSuffix;
}

QString destinationFor(SessionTarget target, const QString& output) {
    QString path = QDir::cleanPath(QFileInfo(output).absoluteFilePath());
    if (target == SessionTarget::dawproject &&
        !path.endsWith(dawprojectSuffix, Qt::CaseInsensitive))
        path += dawprojectSuffix;
    return path;
}

ExportedSession exportSession(SessionTarget target, const QString& resultFolder, const Config& cfg,
                              const AudioReader& reader, const std::optional<QString>& output,
                              const std::optional<ArdourTool>& tool, const ExportProgress& progress,
                              const ExportCancelled& cancelled) {
    if (target == SessionTarget::ardour && !tool)
        throw Error(ardourMissing());
    const SessionPlan plan = planSession(resultFolder, cfg, reader);
    ExportedSession result;
    result.target = target;
    result.path = output ? destinationFor(target, *output) : defaultDestination(target, plan);
    result.tracks = plan.trackCount();
    result.groups = plan.namedGroupCount();
    if (target == SessionTarget::ardour) {
        const ArdourSession session =
            buildArdourSession(plan, result.path, *tool, progress, cancelled);
        result.sessionFile = session.file;
        result.notes = session.notes;
    } else {
        writeDawProject(plan, result.path, progress, cancelled);
        // Each clip carries its file's own rate, which the reading program honours.
        result.sessionFile = result.path;
    }
    return result;
}

} // namespace Vantrel::Sessions
