#pragma once

#include "platform/Platform.h"

#include <QString>

#include <optional>

namespace Vantrel {

// What the application model asks of the screens. Every method has a default that does
// nothing, so the model runs without any screen (tests, the command line). The window, the
// rules sheet and the send panel implement what they show. All calls come on the main thread.
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

    // ---- A send to Logic Pro, in this order ----

    // Makes the main window invisible and deaf to the mouse (when there is one), so that the
    // clicks of the send reach Logic Pro.
    virtual void hideMainWindow() {}
    // Creates the floating send panel (SendModel::sendPanelSize, above normal windows, not
    // activating the application) with its top-left corner at topLeft, in global coordinates
    // with the origin at the top left, and shows it.
    virtual void showSendPanel(Point topLeft) { Q_UNUSED(topLeft); }
    // Hides the send panel for good; the next send makes a new one.
    virtual void closeSendPanel() {}
    // Makes the main window visible and receptive again, key and in front (when there is one).
    virtual void restoreMainWindow() {}
    // Brings this application to the front, ignoring other applications.
    virtual void activateApplication() {}
};

} // namespace Vantrel
