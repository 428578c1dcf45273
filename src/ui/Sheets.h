#pragma once

#include "ui/RulesView.h"
#include "ui/WalkthroughView.h"

#include <QObject>
#include <QPointer>

class QWidget;

namespace Vantrel {
class AppModel;
}

namespace Vantrel::Ui {

// Presents the model's sheets over a window: the rules editor while showRules is true and the
// walkthrough while showWalkthrough is true, each a new sheet every time it opens. A sheet that
// closes sets its flag back to false; a flag set to false closes its sheet.
class Sheets : public QObject {
    Q_OBJECT

public:
    // Opens the sheets the model asks for now, once the event loop runs (the window is shown
    // by then).
    Sheets(AppModel& model, QWidget* window);

    RulesView* rulesView() const { return rules_; }
    WalkthroughView* walkthroughView() const { return walkthrough_; }

private:
    void followRules();
    void followWalkthrough();

    AppModel& model_;
    QWidget* window_;
    QPointer<RulesView> rules_;
    QPointer<WalkthroughView> walkthrough_;
};

} // namespace Vantrel::Ui
