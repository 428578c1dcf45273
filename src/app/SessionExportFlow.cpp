// The approval's sessions for other DAWs: the done screen's "Open In".
#include "app/ApprovalModel.h"
#include "app/RulesModel.h"
#include "app/Worker.h"
#include "core/Errors.h"

#include <QFileInfo>
#include <QPointer>

#include <chrono>
#include <exception>

namespace Vantrel {

using namespace std::chrono_literals;

// How an export to another DAW ended, carried from the worker to the main thread.
struct ApprovalModel::SessionOutcome {
    Sessions::SessionTarget target = Sessions::SessionTarget::dawproject;
    std::optional<Sessions::ArdourTool> tool;
    std::optional<Sessions::ExportedSession> made;
    bool cancelled = false;
    QString error;
};

namespace {

// Progress reaches the busy screen at most this often, plus the last report.
constexpr auto kSessionProgressInterval = 100ms;

} // namespace

bool ApprovalModel::ardourInstalled() const {
    return services_.findArdour && services_.findArdour().has_value();
}

void ApprovalModel::exportSession(Sessions::SessionTarget target,
                                  const std::optional<QString>& output) {
    if (!resultURL_ || busy_.busy() || (sendRunning_ && sendRunning_()))
        return;
    const bool ardour = target == Sessions::SessionTarget::ardour;
    std::optional<Sessions::ArdourTool> tool;
    if (ardour) {
        tool = services_.findArdour ? services_.findArdour() : std::nullopt;
        if (!tool) {
            emit alert(tr("Couldn't make the Ardour session: %1").arg(Sessions::ardourMissing()));
            return;
        }
    }
    const QString title =
        ardour ? tr("Making the Ardour session") : tr("Saving the DAWproject file");
    busy_.start(title, tr("%n files", nullptr, int(exportedItems_.size())), true, 0.0);

    const AudioReader* audio = services_.audio ? services_.audio : &Audio::sndfileReader();
    Worker::run([model = QPointer<ApprovalModel>(this),
                 cancelFlag = std::weak_ptr<std::atomic<bool>>(busy_.cancelFlag()), target, tool,
                 folder = *resultURL_, cfg = rules_.config(), audio, output,
                 clock = &services_.platform->clock()] {
        std::optional<Clock::Duration> lastUpdate;
        const Sessions::ExportProgress progress = [&lastUpdate, clock, model](double fraction,
                                                                              const QString&) {
            const Clock::Duration now = clock->now();
            if (lastUpdate && now - *lastUpdate <= kSessionProgressInterval && fraction < 1)
                return;
            lastUpdate = now;
            Worker::toMainThread([model, fraction] {
                if (model)
                    model->publishSessionProgress(fraction);
            });
        };
        const Sessions::ExportCancelled cancelled = [cancelFlag] {
            const auto flag = cancelFlag.lock();
            return flag && flag->load();
        };
        SessionOutcome outcome;
        outcome.target = target;
        outcome.tool = tool;
        try {
            outcome.made = Sessions::exportSession(target, folder, cfg, *audio, output, tool,
                                                   progress, cancelled);
        } catch (const CancelledError&) {
            outcome.cancelled = true;
        } catch (const Error& e) {
            outcome.error = e.message();
        } catch (const std::exception& e) {
            outcome.error = QString::fromLocal8Bit(e.what());
        }
        Worker::toMainThread([model, outcome = std::move(outcome)] {
            if (model)
                model->finishSessionExport(outcome);
        });
    });
}

void ApprovalModel::publishSessionProgress(double fraction) {
    if (busy_.busy())
        busy_.setProgress(fraction);
}

void ApprovalModel::finishSessionExport(const SessionOutcome& outcome) {
    busy_.finish();
    const bool ardour = outcome.target == Sessions::SessionTarget::ardour;
    if (outcome.cancelled)
        return;
    if (!outcome.made) {
        emit alert(ardour ? tr("Couldn't make the Ardour session: %1").arg(outcome.error)
                          : tr("Couldn't save the DAWproject file: %1").arg(outcome.error));
        return;
    }
    const Sessions::ExportedSession& made = *outcome.made;
    const QString name = QFileInfo(made.path).fileName();
    const int tracks = int(made.tracks);
    QString message;
    if (!ardour) {
        message = tr("Saved “%1” with %n tracks.", nullptr, tracks).arg(name);
    } else if (outcome.tool && services_.openInArdour &&
               services_.openInArdour(*outcome.tool, made.sessionFile)) {
        message = tr("Made the Ardour session “%1” with %n tracks and opened it in Ardour.",
                     nullptr, tracks)
                      .arg(name);
    } else {
        message =
            tr("Made the Ardour session “%1” with %n tracks. Open “%2” in Ardour.", nullptr, tracks)
                .arg(name, made.sessionFile);
    }
    for (const QString& note : made.notes)
        message += QLatin1Char(' ') + note;
    emit alert(message);
}

} // namespace Vantrel
