#pragma once

#include <QString>

#include <optional>

namespace Vantrel {

// What the application model asks of the screens. Every method has a default that does
// nothing, so the model runs without any screen (tests, the command line). The window, the
// rules sheet and the send panel implement what they show; the send flow adds hiding the
// main window and the send panel here.
class Presenter {
public:
    virtual ~Presenter() = default;

    // Asks the user for one folder in a modal open dialog that chooses folders only, with
    // buttonText on its confirm button and message above the list. Returns the folder's
    // absolute path, or none when the user cancelled. The default answers none.
    virtual std::optional<QString> chooseFolder(const QString& buttonText, const QString& message) {
        Q_UNUSED(buttonText);
        Q_UNUSED(message);
        return std::nullopt;
    }
};

} // namespace Vantrel
