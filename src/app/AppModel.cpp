#include "app/AppModel.h"

#include "app/Presenter.h"
#include "app/Settings.h"

#include <stdexcept>
#include <utility>

namespace Vantrel {

namespace {

AppModel::Services checked(AppModel::Services services) {
    if (!services.platform)
        throw std::invalid_argument("AppModel needs a platform");
    return services;
}

} // namespace

AppModel::AppModel(Services services, QObject* parent)
    : QObject(parent), services_(checked(std::move(services))), rules_(*services_.fileOps),
      review_(rules_, busyState_, services_.audio),
      approval_(review_, rules_, busyState_, services_), send_(approval_, rules_, services_),
      errorMessage_(rules_.loadProblem()), showWalkthrough_(!Settings::walkthroughDone()) {
    const auto alert = [this](const QString& message) { setErrorMessage(message); };
    connect(&rules_, &RulesModel::alert, this, alert);
    connect(&review_, &ReviewSession::alert, this, alert);
    connect(&approval_, &ApprovalModel::alert, this, alert);
    connect(&send_, &SendModel::alert, this, alert);

    // Saved rules sort the review again; a result on screen stays as it was written, and the
    // next folder is read with them.
    connect(&rules_, &RulesModel::saved, this, [this] {
        if (!approval_.resultURL())
            review_.rulesSaved();
    });
    // A new review replaces the result; a prepared folder opens as the result that made it.
    connect(&review_, &ReviewSession::loaded, &approval_, &ApprovalModel::clearResult);
    connect(&review_, &ReviewSession::prepared, &approval_, &ApprovalModel::showPrepared);
    // A new result has not been sent yet.
    connect(&approval_, &ApprovalModel::newResult, &send_, &SendModel::clearResult);
    // No session is made while a send runs.
    approval_.setSendRunning([this] { return send_.sending(); });
}

AppModel::~AppModel() = default;

void AppModel::setPresenter(Presenter* presenter) {
    review_.setPresenter(presenter);
    approval_.setPresenter(presenter);
    send_.setPresenter(presenter);
}

void AppModel::setErrorMessage(const std::optional<QString>& message) {
    if (errorMessage_ == message)
        return;
    errorMessage_ = message;
    emit errorMessageChanged();
}

void AppModel::setShowRules(bool show) {
    if (showRules_ == show)
        return;
    showRules_ = show;
    emit showRulesChanged();
}

void AppModel::setShowWalkthrough(bool show) {
    if (showWalkthrough_ == show)
        return;
    showWalkthrough_ = show;
    emit showWalkthroughChanged();
}

} // namespace Vantrel
