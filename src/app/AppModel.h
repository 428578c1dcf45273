#pragma once

#include "app/AppServices.h"
#include "app/ApprovalModel.h"
#include "app/BusyState.h"
#include "app/ReviewSession.h"
#include "app/RulesModel.h"
#include "app/ScreenModels.h"
#include "app/SendModel.h"

#include <QObject>
#include <QString>

#include <optional>

namespace Vantrel {

class Presenter;

// The owner of the application's parts: the rules (RulesModel), the review session
// (ReviewSession), the approval with its result (ApprovalModel), the send (SendModel) and the
// busy screen they share (BusyState). Each screen takes the part it shows; the model creates
// them, carries what one part's change means for another (saved rules sort the review again, a
// prepared folder opens as a result, a new result forgets the last send) and holds what belongs
// to the window as a whole: the alert, and whether the rules sheet and the walkthrough show. All
// calls on the main thread; needs a QCoreApplication, whose event loop delivers the parts' work.
class AppModel : public QObject, public WalkthroughHost {
    Q_OBJECT

public:
    using Services = AppServices;

    // Loads the configuration and reads the user settings. services.platform must be set
    // (std::invalid_argument otherwise). A configuration file that exists but cannot be read is
    // kept beside itself at once, and errorMessage says so and where.
    explicit AppModel(Services services, QObject* parent = nullptr);
    ~AppModel() override;

    // Sets what the parts ask of the screens; null restores the default that does nothing.
    // The presenter must outlive the model or be unset first.
    void setPresenter(Presenter* presenter);
    // The world the model reaches Logic Pro and the system through.
    Platform& platform() const override { return *services_.platform; }

    // The parts.
    RulesModel& rules() { return rules_; }
    const RulesModel& rules() const { return rules_; }
    ReviewSession& review() { return review_; }
    const ReviewSession& review() const { return review_; }
    ApprovalModel& approval() { return approval_; }
    const ApprovalModel& approval() const { return approval_; }
    SendModel& send() { return send_; }
    const SendModel& send() const { return send_; }
    // What the busy screen shows while a load, an approval, a put-back or a session export runs.
    BusyState& busyState() { return busyState_; }
    const BusyState& busyState() const { return busyState_; }

    // A message for an alert; the screen sets it back to none when the alert is dismissed.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    void setErrorMessage(const std::optional<QString>& message);
    // The rules editor sheet is shown.
    bool showRules() const { return showRules_; }
    void setShowRules(bool show);
    // The walkthrough sheet is shown; starts true until the walkthrough was finished once.
    bool showWalkthrough() const override { return showWalkthrough_; }
    void setShowWalkthrough(bool show) override;

signals:
    void errorMessageChanged();
    void showRulesChanged();
    void showWalkthroughChanged();

private:
    Services services_;
    BusyState busyState_;
    RulesModel rules_;
    ReviewSession review_;
    ApprovalModel approval_;
    SendModel send_;

    std::optional<QString> errorMessage_;
    bool showRules_ = false;
    bool showWalkthrough_ = true;
};

} // namespace Vantrel
