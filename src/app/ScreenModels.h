#pragma once

#include "core/Config.h"

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

} // namespace Vantrel
