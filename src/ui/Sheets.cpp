#include "ui/Sheets.h"

#include "app/AppModel.h"
#include "ui/RulesView.h"
#include "ui/WalkthroughView.h"

#include <QTimer>
#include <QWidget>

namespace Vantrel::Ui {

Sheets::Sheets(AppModel& model, QWidget* window) : QObject(window), model_(model), window_(window) {
    connect(&model_, &AppModel::showRulesChanged, this, &Sheets::followRules);
    connect(&model_, &AppModel::showWalkthroughChanged, this, &Sheets::followWalkthrough);
    QTimer::singleShot(0, this, [this] {
        followWalkthrough();
        followRules();
    });
}

void Sheets::followRules() {
    if (model_.showRules() && !rules_) {
        rules_ = new RulesView(model_.rules(), window_);
        rules_->setAttribute(Qt::WA_DeleteOnClose);
        connect(rules_, &QDialog::finished, this, [this] { model_.setShowRules(false); });
        rules_->open();
    } else if (!model_.showRules() && rules_) {
        rules_->reject();
    }
}

void Sheets::followWalkthrough() {
    if (model_.showWalkthrough() && !walkthrough_) {
        walkthrough_ = new WalkthroughView(model_, window_);
        walkthrough_->setAttribute(Qt::WA_DeleteOnClose);
        connect(walkthrough_, &QDialog::finished, this,
                [this] { model_.setShowWalkthrough(false); });
        walkthrough_->open();
    } else if (!model_.showWalkthrough() && walkthrough_) {
        walkthrough_->done(QDialog::Accepted);
    }
}

} // namespace Vantrel::Ui
