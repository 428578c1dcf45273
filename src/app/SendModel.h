#pragma once

#include "app/AppServices.h"
#include "app/ScreenModels.h"
#include "app/SendProgress.h"
#include "automation/SendMode.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace Vantrel {

class ApprovalModel;
class LogicSender;
class Presenter;
class RulesModel;
struct SendOutcome;

// A send of the approved tracks to the running Logic Pro: whether one runs, its progress on the
// send panel, its Cancel, and how the last one ended; every report also reaches the send log
// (SendLog). Every field is read and written on the main thread and each actual change is told
// by its <field>Changed signal; the send runs on the shared worker pool and its end comes back
// as one task queued to the main thread, which does nothing when the model is gone by then.
class SendModel : public QObject, public SendHost {
    Q_OBJECT

public:
    // The content size of the floating send panel, in points.
    static constexpr Size sendPanelSize{340, 120};
    // The send log in the configuration folder; emptied by every send.
    static QString sendLogPath();

    // approval holds what is sent, rules how it is named in Logic Pro. services.platform must
    // be set. All must outlive the model and the send it started.
    SendModel(const ApprovalModel& approval, const RulesModel& rules, const AppServices& services,
              QObject* parent = nullptr);
    ~SendModel() override;

    // Sets what the model asks of the screens (hiding the window, the send panel); null:
    // nothing.
    void setPresenter(Presenter* presenter);

    // A send is running: the main window is hidden and the send panel shown.
    bool sending() const override { return sending_; }
    // The sender's latest status line, and its fraction done (0 to 1). Notes (a SendReport of
    // kind note) go to the send log only: they change neither.
    const QString& sendStatus() const override { return sendProgress_.status(); }
    double sendProgress() const override { return sendProgress_.fraction(); }
    // What the send panel shows; its Cancel is cancelSend().
    SendProgress& sendProgressState() { return sendProgress_; }
    // The outcome of the last send: how much was sent, or the failure's message. Cleared by a
    // new send and by a new result.
    const std::optional<QString>& sendResult() const override { return sendResult_; }
    // How the last send ended; set together with sendResult (sendResultChanged announces both).
    SendEnd sendEnd() const override { return sendEnd_; }
    // The sender of the current or last send, kept until the next send; none before the first.
    // Its state belongs to the worker while sending (only `cancelled` may be touched then).
    LogicSender* sender() const { return sender_.get(); }

    // Sends the approved tracks: checks the permission and that Logic Pro runs (a failed check
    // only alerts), hides the main window, shows the send panel, empties the send log and runs
    // the sender for mode on the worker. Every report reaches the log, status lines also
    // sendStatus and sendProgress; the outcome reaches sendResult and the log, then the panel
    // closes and the main window comes back. Does nothing without a result or while sending.
    void sendToLogic(SendMode mode) override;
    // Asks the running send to stop: it ends with "Cancelled.".
    void cancelSend() override;
    // Forgets the outcome of the last send (a new result is shown).
    void clearResult();
    // Reads Logic Pro's menus into the menu dump and alerts the outcome, success or failure.
    // Runs on the main thread until done.
    void checkLogicConnection();

    void onSendChanged(QObject* context, std::function<void()> changed) override;

signals:
    void sendingChanged();
    void sendStatusChanged();
    void sendProgressChanged();
    void sendResultChanged();
    // A message for the user.
    void alert(const QString& message);

private:
    void publishSendProgress(const QString& status, double fraction);
    void finishSend(const SendOutcome& outcome);

    const ApprovalModel& approval_;
    const RulesModel& rules_;
    AppServices services_;
    Presenter* presenter_;

    bool sending_ = false;
    SendProgress sendProgress_;
    std::optional<QString> sendResult_;
    SendEnd sendEnd_ = SendEnd::none;
    // Shared with the running send, which lets go of it before its end is queued.
    std::shared_ptr<LogicSender> sender_;
};

} // namespace Vantrel
