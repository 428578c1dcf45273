#pragma once

#include "automation/SendMode.h"
#include "core/AudioFacts.h"
#include "core/Config.h"
#include "core/Item.h"
#include "core/Suggest.h"
#include "sessions/SessionExport.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <optional>

class QObject;

namespace Vantrel {
class Platform;
}

namespace Vantrel {

// The narrow views of the application's parts that screens take instead of the whole model: the
// rules (RulesModel), the review session (ReviewSession), the approval (ApprovalModel) and the
// send (SendModel) each implement those of the screens that show them. A widget test can hand a
// screen a small double of its view.

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

// The done screen's view of the approval: its result and what else can be done with it (sessions
// for other programs, the put-back, a new folder).
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

// The done screen's and the send panel's view of a send to Logic Pro.
class SendHost {
public:
    virtual ~SendHost() = default;

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

    // Calls changed, in context, whenever any of the values above changes, until context is
    // gone.
    virtual void onSendChanged(QObject* context, std::function<void()> changed) = 0;
};

// The review screen's view of the review session: the folder under review and its proposal, the
// suggestions and the words to learn, and the audio checks.
class ReviewHost {
public:
    virtual ~ReviewHost() = default;

    // The rules in force (the groups and their colours).
    virtual const Config& config() const = 0;
    // The folder under review, its tracks, and what its load skipped or left alone.
    virtual const std::optional<QString>& folder() const = 0;
    virtual const QList<Item>& items() const = 0;
    virtual const QStringList& skipped() const = 0;
    virtual const QStringList& leftAlone() const = 0;
    // The tracks in display order, and how many have no group.
    virtual QList<Item> displayed() const = 0;
    virtual int unsortedCount() const = 0;
    // The folder holds the undo journal of an organization in place; what the last put-back
    // left where it was.
    virtual bool folderOrganized() const = 0;
    virtual const QString& putBackNote() const = 0;

    // The suggested group of an unsorted track (as displayed gives it), and how many there are.
    virtual std::optional<Suggestion> suggestionFor(const Item& item) const = 0;
    virtual int suggestionCount() const = 0;
    // A word to add to a group's words after a track went into the group.
    struct LearnOffer {
        QString word;
        QString group;
        // The question as the review asks it: "Add “KICKIN” to the words of DRUMS?"
        QString question() const;
        bool operator==(const LearnOffer&) const = default;
    };
    virtual const std::optional<LearnOffer>& learnOffer() const = 0;

    // The audio checks: the findings, those about one file, and the content pass's progress.
    virtual const QList<AudioFinding>& findings() const = 0;
    virtual QStringList findingsFor(const QString& fileName) const = 0;
    virtual bool audioChecking() const = 0;
    virtual int audioChecked() const = 0;
    virtual int audioToCheck() const = 0;

    virtual void setGroup(const QUuid& id, const std::optional<QString>& group) = 0;
    virtual void acceptSuggestion(const QUuid& id) = 0;
    virtual void acceptAllSuggestions() = 0;
    virtual void acceptLearnOffer() = 0;
    virtual void declineLearnOffer() = 0;

    // The values whose changes a screen can follow; audioCheck is the content pass's progress.
    enum class Part {
        config,
        folder,
        items,
        skipped,
        leftAlone,
        folderOrganized,
        putBackNote,
        learnOffer,
        findings,
        audioCheck,
    };
    // Calls changed, in context, whenever that part changes, until context is gone.
    virtual void onReviewChanged(Part part, QObject* context, std::function<void()> changed) = 0;
};

// The review screen's view of the approval: in place or a copy (and where the copy goes), why it
// cannot be done now, doing it, the put-back of a folder organized before, and leaving.
class ApprovalHost {
public:
    virtual ~ApprovalHost() = default;

    virtual bool organizeInPlace() const = 0;
    virtual void setOrganizeInPlace(bool inPlace) = 0;
    virtual const std::optional<QString>& copyDestination() const = 0;
    virtual void chooseCopyDestination() = 0;
    // Why the approval chosen now cannot write its files; empty when it can.
    virtual QString approvalBlocked() const = 0;

    virtual void approve() = 0;
    virtual void undoOrganize() = 0;
    virtual void reset() = 0;

    // Calls changed, in context, whenever the mode, the destination or approvalBlocked may have
    // changed, until context is gone.
    virtual void onApprovalChanged(QObject* context, std::function<void()> changed) = 0;
};

} // namespace Vantrel
