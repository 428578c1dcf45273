#pragma once

#include "automation/SendMode.h"
#include "core/Config.h"
#include "sessions/SessionExport.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;

namespace Vantrel {
class Platform;
}

namespace Vantrel {

// The narrow views of the application model that screens with no state of their own to observe
// take instead of the whole model; AppModel implements them. A widget test can hand a screen a
// small double of its view.

// The rules as the rules editor sees them: the rules in force, and saving new ones.
class RulesStore {
public:
    virtual ~RulesStore() = default;
    virtual const Config& config() const = 0;
    // Saves and applies the rules; false when they could not be saved (the model's alert says
    // why).
    virtual bool saveRules(const Config& cfg) = 0;
};

// The drop zone's one action: asking the user for a folder and opening it.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    virtual void chooseFolder() = 0;
};

// The walkthrough's view: whether it is to be shown, ending it, and the platform whose
// accessibility permission its permission page follows and asks for.
class WalkthroughHost {
public:
    virtual ~WalkthroughHost() = default;
    virtual Platform& platform() const = 0;
    virtual bool showWalkthrough() const = 0;
    virtual void setShowWalkthrough(bool show) = 0;
};

// The done screen's view: the result of the last approval, the send of it to Logic Pro and what
// else can be done with it (sessions for other programs, the put-back, a new folder).
class ResultHost {
public:
    virtual ~ResultHost() = default;

    // Where the last approval put the files, and whether it organized the folder in place.
    virtual const std::optional<QString>& resultURL() const = 0;
    virtual bool resultInPlace() const = 0;
    // The note of the last export.
    virtual const QString& exportNote() const = 0;
    // The approved files in send order: what the drag tile offers.
    virtual QStringList dragURLs() const = 0;

    // A send is running, with its status line and fraction done (0 to 1).
    virtual bool sending() const = 0;
    virtual const QString& sendStatus() const = 0;
    virtual double sendProgress() const = 0;
    // The outcome of the last send and how it ended; none before the first.
    virtual const std::optional<QString>& sendResult() const = 0;
    enum class SendEnd { none, sent, failed, cancelled };
    virtual SendEnd sendEnd() const = 0;

    virtual void sendToLogic(SendMode mode) = 0;
    virtual void cancelSend() = 0;
    // Whether "Open In" offers Ardour, and making a session for another program (output none:
    // beside the result folder).
    virtual bool ardourInstalled() const = 0;
    virtual void exportSession(Sessions::SessionTarget target,
                               const std::optional<QString>& output) = 0;
    // Puts the files of a folder organized in place back.
    virtual void undoOrganize() = 0;
    // Back to the drop zone.
    virtual void reset() = 0;

    // Calls changed, in context, whenever any of the values above changes, until context is
    // gone.
    virtual void onResultChanged(QObject* context, std::function<void()> changed) = 0;
};

} // namespace Vantrel
