#include "app/SendModel.h"

#include "app/ApprovalModel.h"
#include "app/Presenter.h"
#include "app/RulesModel.h"
#include "app/SendLog.h"
#include "app/Worker.h"
#include "automation/LogicBridge.h"
#include "automation/LogicSender.h"
#include "automation/SendJobs.h"

#include <QPointer>

#include <chrono>
#include <stdexcept>

namespace Vantrel {

namespace {

Presenter& silentPresenter() {
    static Presenter presenter;
    return presenter;
}

// The send panel stands this far from the top-right corner of the visible screen area.
constexpr double kSendPanelMargin = 20;

const AppServices& checked(const AppServices& services) {
    if (!services.platform)
        throw std::invalid_argument("SendModel needs a platform");
    return services;
}

} // namespace

QString SendModel::sendLogPath() {
    return SendLog::defaultPath();
}

SendModel::SendModel(const ApprovalModel& approval, const RulesModel& rules,
                     const AppServices& services, QObject* parent)
    : QObject(parent), approval_(approval), rules_(rules), services_(checked(services)),
      presenter_(&silentPresenter()) {
    // The send progress's changes are the model's too; its Cancel is the model's.
    connect(&sendProgress_, &SendProgress::statusChanged, this, &SendModel::sendStatusChanged);
    connect(&sendProgress_, &SendProgress::fractionChanged, this, &SendModel::sendProgressChanged);
    connect(&sendProgress_, &SendProgress::cancelRequested, this, &SendModel::cancelSend);
}

SendModel::~SendModel() = default;

void SendModel::setPresenter(Presenter* presenter) {
    presenter_ = presenter ? presenter : &silentPresenter();
}

void SendModel::onSendChanged(QObject* context, std::function<void()> changed) {
    for (auto signal : {&SendModel::sendingChanged, &SendModel::sendStatusChanged,
                        &SendModel::sendProgressChanged, &SendModel::sendResultChanged})
        connect(this, signal, context, changed);
}

void SendModel::clearResult() {
    sendEnd_ = SendEnd::none;
    if (sendResult_) {
        sendResult_.reset();
        emit sendResultChanged();
    }
}

void SendModel::sendToLogic(SendMode mode) {
    const std::optional<QString>& result = approval_.resultURL();
    if (!result || sending_)
        return;
    Platform& platform = *services_.platform;
    Accessibility& ax = platform.accessibility();
    if (!ax.isTrusted()) {
        ax.promptForTrust();
        emit alert(tr("Allow Vantrel in System Settings > Privacy & Security > "
                      "Accessibility, then try again."));
        return;
    }
    if (!LogicBridge::logicApp(platform)) {
        emit alert(tr("Open Logic Pro with an empty project first, then try again."));
        return;
    }

    const QList<SendJob> jobs = sendJobs(approval_.exportedItems(), rules_.config(), result);
    const bool groupInName = rules_.config().groupInName;
    // The previous sender, if any, is released here: its send has ended and let go of it.
    sender_ = std::make_shared<LogicSender>(platform);

    sending_ = true;
    emit sendingChanged();
    sendProgress_.set(tr("Starting…"), 0.0);
    clearResult();

    presenter_->hideMainWindow();
    const Rect visible = platform.screen().visibleFrame();
    presenter_->showSendPanel(
        {visible.origin.x + visible.size.width - kSendPanelMargin - sendPanelSize.width,
         visible.origin.y + kSendPanelMargin});

    // No log, for example where the configuration folder cannot be made: the send goes on.
    const SendLog log;
    log.start(*services_.fileOps);

    const QPointer<SendModel> model(this);
    Clock* clock = &platform.clock();
    const Clock::Duration start = clock->now();
    sender_->onProgress = [model, clock, start, log](const SendReport& report) {
        const double seconds = std::chrono::duration<double>(clock->now() - start).count();
        log.append(sendLogLine(seconds, report));
        if (report.kind == SendReport::Kind::note)
            return;
        Worker::toMainThread([model, status = report.text, fraction = report.fraction] {
            if (model)
                model->publishSendProgress(status, fraction);
        });
    };

    Worker::run([model, sender = sender_, mode, jobs, groupInName, log]() mutable {
        const SendOutcome outcome = sender->send(mode, jobs, groupInName);
        log.append(outcome.logLine());
        // The model's reference is the last: a sender never ends on this thread while the next
        // send may already use the platform on another.
        sender.reset();
        Worker::toMainThread([model, outcome] {
            if (model)
                model->finishSend(outcome);
        });
    });
}

void SendModel::publishSendProgress(const QString& status, double fraction) {
    sendProgress_.set(status, fraction);
}

void SendModel::finishSend(const SendOutcome& outcome) {
    if (sending_) {
        sending_ = false;
        emit sendingChanged();
    }
    const SendEnd end = outcome.ok          ? SendEnd::sent
                        : outcome.cancelled ? SendEnd::cancelled
                                            : SendEnd::failed;
    if (end != sendEnd_) {
        // Both change together: the text is announced once, after the state it belongs to.
        sendEnd_ = end;
        sendResult_.reset();
    }
    if (sendResult_ != outcome.result) {
        sendResult_ = outcome.result;
        emit sendResultChanged();
    }
    presenter_->closeSendPanel();
    presenter_->restoreMainWindow();
    presenter_->activateApplication();
}

void SendModel::cancelSend() {
    if (sender_)
        sender_->cancelled.store(true);
}

void SendModel::checkLogicConnection() {
    emit alert(LogicBridge::checkConnection(*services_.platform, LogicBridge::dumpPath(),
                                            *services_.fileOps)
                   .message);
}

} // namespace Vantrel
