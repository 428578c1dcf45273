#pragma once

#include "ui/Widgets.h"

#include <QString>

#include <functional>
#include <optional>

class QMenu;

namespace Vantrel {
class ResultHost;
}

namespace Vantrel::Ui {

// The done screen's menu button "Open In": its menu offers "Ardour" when Ardour is installed
// (the session is made beside the result folder and opened in Ardour) and "Save as DAWproject…"
// (a save dialog, then the file). The model does the work behind the busy screen and tells the
// outcome in its alert.
class OpenInButton : public PillButton {
    Q_OBJECT

public:
    // Asks where to save the DAWproject file, starting from suggested; none when the user
    // cancelled. By default a save dialog that never offers to replace a file; tests replace it.
    using ChooseFile = std::function<std::optional<QString>(const QString& suggested)>;

    explicit OpenInButton(ResultHost& model, QWidget* parent = nullptr);
    void setChooseFile(ChooseFile choose) { choose_ = std::move(choose); }
    // The menu, filled anew each time it opens.
    QMenu* menu() const { return menu_; }

private:
    void fillMenu();
    void saveAsDawProject();

    ResultHost& model_;
    QMenu* menu_;
    ChooseFile choose_;
};

} // namespace Vantrel::Ui
