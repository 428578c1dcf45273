#pragma once

#include "app/BusyState.h"
#include "app/ScreenModels.h"
#include "app/SendProgress.h"
#include "audio/SndfileReader.h"
#include "automation/SendMode.h"
#include "core/AudioFacts.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Export.h"
#include "core/FileOps.h"
#include "core/Item.h"
#include "core/Suggest.h"
#include "platform/Platform.h"
#include "sessions/SessionExport.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace Vantrel {

class LogicSender;
class Presenter;

// The one state object of the application: the rules in force, the folder under review and its
// proposal, the busy screen, the result of the last approval and the state of a send. Every
// field is read and written on the thread that owns the model (the main thread) and announces
// each actual change with its <field>Changed signal. Long work (scan, export, put-back, a send)
// runs on the shared worker pool with copies of what it needs; its result comes back as one task
// queued to the main thread, which does nothing when the model is gone by then. Needs a
// QCoreApplication, whose event loop delivers those tasks.
class AppModel : public QObject,
                 public RulesStore,
                 public FolderChooser,
                 public WalkthroughHost,
                 public ResultHost,
                 public ReviewHost {
    Q_OBJECT

public:
    // What the model works with besides its own state. Both must outlive all work the model
    // started, including work still running after the model is gone.
    struct Services {
        // The world Logic Pro is reached through, with the screen and the clock: the send and
        // the connection check talk to it, the send log and the export's progress throttle
        // read its clock. Required: the executable chooses it (on Linux a SimPlatform).
        Platform* platform = nullptr;
        // Every file operation of the export, the put-back, the menu dump and the emptying of
        // the send log.
        FileOps* fileOps = &systemFileOps();
        // Reads the header facts during the scan and the samples in the checks after it; none:
        // no audio checks.
        const AudioReader* audio = &Audio::sndfileReader();
        // Finds Ardour's session tool for "Open In"; none when Ardour is not installed.
        std::function<std::optional<Sessions::ArdourTool>()> findArdour = [] {
            return Sessions::findArdour();
        };
        // Opens a session file in Ardour; false when it cannot.
        std::function<bool(const Sessions::ArdourTool&, const QString&)> openInArdour =
            &Sessions::openInArdour;
    };

    // The content size of the floating send panel, in points.
    static constexpr Size sendPanelSize{340, 120};
    // The send log in the configuration folder; emptied by every send.
    static QString sendLogPath();

    // Loads the configuration and reads the user settings. services.platform must be set
    // (std::invalid_argument otherwise). A configuration file that exists but cannot be read is
    // kept beside itself at once (Config::keepUnusable), and errorMessage says so and where.
    explicit AppModel(Services services, QObject* parent = nullptr);
    ~AppModel() override;

    // Sets what the model asks of the screens; null restores the default that does nothing.
    // The presenter must outlive the model or be unset first.
    void setPresenter(Presenter* presenter);
    // The world the model reaches Logic Pro and the system through.
    Platform& platform() const override { return *services_.platform; }

    // ---- Fields, in declaration order ----

    // The rule configuration in force; replaced only by saveRules.
    const Config& config() const override { return config_; }
    // The folder under review (absolute path); set when a load finds audio files.
    const std::optional<QString>& folder() const override { return folder_; }
    // The proposal under review, in the order the engine returned it.
    const QList<Item>& items() const override { return items_; }
    // Names of the files the last successful load skipped.
    const QStringList& skipped() const override { return skipped_; }
    // The files the last successful load left alone because they cannot be organized safely,
    // one sentence each that names the file and the reason.
    const QStringList& leftAlone() const override { return leftAlone_; }
    // Where the last approval put the files; while set, the done screen shows.
    const std::optional<QString>& resultURL() const override { return resultURL_; }
    // A message for an alert; the screen sets it back to none when the alert is dismissed.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    void setErrorMessage(const std::optional<QString>& message);
    // The rules editor sheet is shown.
    bool showRules() const { return showRules_; }
    void setShowRules(bool show);
    // The walkthrough sheet is shown; starts true until the walkthrough was finished once.
    bool showWalkthrough() const override { return showWalkthrough_; }
    void setShowWalkthrough(bool show) override;
    // The items exactly as the last approval wrote them.
    const QList<Item>& exportedItems() const { return exportedItems_; }

    // A send to Logic Pro is running: the main window is hidden and the send panel shown.
    bool sending() const override { return sending_; }
    // The sender's latest status line, and its fraction done (0 to 1). Notes (isSendNote) go to
    // the send log only: they change neither.
    const QString& sendStatus() const override { return sendProgress_.status(); }
    double sendProgress() const override { return sendProgress_.fraction(); }
    // What the send panel shows; its Cancel is cancelSend(). Its changes are also told by
    // sendStatusChanged and sendProgressChanged.
    SendProgress& sendProgressState() { return sendProgress_; }
    // The outcome of the last send: how much was sent, or the failure's message. Cleared by a
    // new send and by a new approval.
    const std::optional<QString>& sendResult() const override { return sendResult_; }
    // How the last send ended; set together with sendResult (sendResultChanged announces both).
    SendEnd sendEnd() const override { return sendEnd_; }

    // A load, an approval or a put-back is running; the busy screen covers the window.
    bool busy() const { return busy_; }
    // What the busy screen shows; its Cancel is cancel(). Its changes are also told by the
    // model's busy…Changed signals.
    BusyState& busyState() { return busyState_; }
    const QString& busyTitle() const { return busyState_.title(); }
    const QString& busyDetail() const { return busyState_.detail(); }
    // Fraction done, 0 to 1; none when the work has no measurable progress.
    const std::optional<double>& busyProgress() const { return busyState_.progress(); }
    // The busy screen offers Cancel.
    bool busyCancellable() const { return busyState_.cancellable(); }
    // The note of the last export, for the done screen.
    const QString& exportNote() const override { return exportNote_; }
    // The last approval organized the folder in place.
    bool resultInPlace() const override { return resultInPlace_; }
    // The folder under review holds Vantrel's undo journal (it was organized in place and not
    // put back): the review offers "Put the Files Back", also when no audio file is left in it.
    bool folderOrganized() const override { return folderOrganized_; }
    // Why the approval chosen now cannot write its files, found when the folder was read:
    // organizing in place needs the folder writable, the sorted copy the folder that holds it.
    // Empty when it can; approve() then does nothing.
    QString approvalBlocked() const override;
    // What the last put-back left where it was, one line per file or folder; empty when
    // everything went back. Cleared by the next load of a folder and by reset.
    const QString& putBackNote() const override { return putBackNote_; }
    // The user's choice of approval mode; every set is stored in the user settings at once.
    bool organizeInPlace() const override { return organizeInPlace_; }
    void setOrganizeInPlace(bool inPlace) override;
    // The folder the sorted copy is made in: the one the user chose for the folder under review,
    // or none, which is the folder that holds it. A new folder starts with none.
    const std::optional<QString>& copyDestination() const override { return copyDestination_; }
    // Sets the folder the sorted copy goes to (none: next to the folder under review); always
    // emits copyDestinationChanged, so that the review reads its state anew.
    void setCopyDestination(const std::optional<QString>& folder);
    // Asks the user where the sorted copy goes (a folder dialog through the presenter).
    void chooseCopyDestination() override;

    // Not observed by the screens:
    // Set by cancel(); the running export polls it between files from the worker thread.
    bool cancelFlag() const { return cancelFlag_->load(); }
    // The sender of the current or last send, kept until the next send; none before the first.
    // Its state belongs to the worker while sending (only `cancelled` may be touched then).
    LogicSender* sender() const { return sender_.get(); }

    // ---- Derived, computed on every read ----

    // The review list: groups in rule order, each group's tracks by new name in the file
    // browser's order, tracks without a known group last.
    QList<Item> displayed() const override;
    // How many items have no group.
    int unsortedCount() const override;
    // The approved files in send order (the send jobs' files, job after job): what the drag
    // tile offers. Empty without a result.
    QStringList dragURLs() const override;

    // ---- Operations; all return at once ----

    // Scans a folder and publishes its proposal. A folder Vantrel prepared before (its manifest
    // lists tracks that are all in place) with no new track directly inside opens as the result
    // of an approval instead: the done screen with its tracks, ready to send, and, when it was
    // organized in place, the put-back. A path that is not a folder sets an error (even while
    // busy); while busy it does nothing else.
    void load(const QString& url);
    // Moves the track with this id to group (none: unsorted) and renames all tracks. The track
    // is then set by hand: saved rules no longer move it. One step of the review's history.
    void setGroup(const QUuid& id, const std::optional<QString>& group) override;
    // Asks the presenter for a folder and loads it.
    void chooseFolder() override;
    // Saves cfg as the user's configuration; on success puts it in force, sorts the tracks under
    // review that were not set by hand again with it and renames all (not while busy or while a
    // result is shown: then only the rules change, and the next folder is read with them) and
    // returns true; on failure sets an error, keeps the
    // rules in force and returns false. A configuration file that could not be read is kept beside
    // the new one (Config::keepUnusable) before it is replaced; when that fails, nothing is saved.
    bool saveRules(const Config& cfg) override;
    // Forgets the folder, the proposal and the result: back to the drop zone.
    void reset() override;
    // Writes the proposal: organizes the folder in place or makes a sorted copy, as chosen.
    // Does nothing without tracks.
    void approve() override;
    // Asks the running export to stop (the busy screen's Cancel).
    void cancel();
    // Puts the files of a folder organized in place back (the result on the done screen, or a
    // folder under review that holds Vantrel's journal), then reads the folder again; what
    // stayed where it was goes to putBackNote.
    void undoOrganize() override;
    // Sends the approved tracks to the running Logic Pro: checks the permission and that Logic
    // Pro runs (a failed check only sets errorMessage), hides the main window, shows the send
    // panel, empties the send log and runs the sender for mode on the worker. Every report
    // reaches the log, status lines also sendStatus and sendProgress; the outcome reaches
    // sendResult and the log, then the panel closes and the main window comes back. Does nothing
    // without a result or while sending.
    void sendToLogic(SendMode mode) override;
    // Asks the running send to stop (the send panel's Cancel): it ends with "Cancelled.".
    void cancelSend() override;
    // Reads Logic Pro's menus into the menu dump and puts the outcome, success or failure, in
    // errorMessage. Runs on the main thread until done.
    void checkLogicConnection();

    // ---- Sessions for other DAWs (SessionExportFlow.cpp) ----

    // Whether Ardour's session tool is installed: "Open In" offers Ardour only then.
    bool ardourInstalled() const override;
    // Makes a session for another DAW from the result behind the busy screen, with progress and
    // Cancel: an Ardour session beside the result folder, opened in Ardour when done, or a
    // DAWproject file at output (by default beside the result folder). The outcome, what was
    // made or why not, goes to errorMessage; a cancel leaves nothing and says nothing. Does
    // nothing without a result, while busy or while sending.
    void exportSession(Sessions::SessionTarget target,
                       const std::optional<QString>& output = std::nullopt) override;
    void onResultChanged(QObject* context, std::function<void()> changed) override;
    void onReviewChanged(Part part, QObject* context, std::function<void()> changed) override;

    // ---- Suggestions for unsorted tracks, and words the rules learn ----

    // The offer to add a word to a group's words; none when there is nothing to offer.
    const std::optional<LearnOffer>& learnOffer() const override { return learnOffer_; }
    // The suggested group of a track that has no group and that the rules leave unsorted;
    // none for any other track and for an unknown id.
    std::optional<Suggestion> suggestion(const QUuid& id) const;
    // The same for an item as the model holds it (as displayed() gives it), without a search.
    std::optional<Suggestion> suggestionFor(const Item& item) const override;
    // How many tracks have a suggestion: the N of "Accept All Suggestions (N)".
    int suggestionCount() const override;
    // Moves the track into its suggested group through setGroup, which offers its word.
    void acceptSuggestion(const QUuid& id) override;
    // Moves every track that has a suggestion into its suggested group and renames once.
    // Offers no word: there would be one per track.
    void acceptAllSuggestions() override;
    // Adds the offered word to its group's words and saves the rules through saveRules, which
    // sorts the tracks not set by hand again with them.
    void acceptLearnOffer() override;
    // Puts the offer away.
    void declineLearnOffer() override;

    // ---- The review's history of group changes ----

    // The review holds group changes made by hand (moves and accepted suggestions) that a new
    // folder would discard.
    bool reviewChanged() const { return !byHand_.isEmpty(); }
    // A group change (or all suggestions accepted at once) can be undone, or an undone one
    // redone; never while busy.
    bool canUndo() const { return !busy_ && !undo_.isEmpty(); }
    bool canRedo() const { return !busy_ && !redo_.isEmpty(); }
    // Puts the tracks of the last change back in the groups they had before it (a track that
    // the rules had sorted goes where the rules in force sort it now), and renames all tracks.
    void undo();
    // Makes the last undone change again.
    void redo();

    // Audio checks. The scan reads every file's header; once the review is shown a content pass
    // reads the samples in the background, one file after another, and is cancelled when the
    // review is left (another folder, reset, approval). Findings are those of the headers until
    // the pass ends, then those of the whole session; they never block approval.
    const QList<AudioFinding>& findings() const override { return findings_; }
    // The sentences of the findings that concern a file of the review (by its file name).
    QStringList findingsFor(const QString& fileName) const override;
    bool audioChecking() const override { return audioChecking_; }
    int audioChecked() const override { return audioChecked_; }
    int audioToCheck() const override { return audioToCheck_; }

signals:
    void configChanged();
    void folderChanged();
    void itemsChanged();
    void skippedChanged();
    void leftAloneChanged();
    void resultURLChanged();
    void errorMessageChanged();
    void showRulesChanged();
    void showWalkthroughChanged();
    void exportedItemsChanged();
    void sendingChanged();
    void sendStatusChanged();
    void sendProgressChanged();
    void sendResultChanged();
    void busyChanged();
    void busyTitleChanged();
    void busyDetailChanged();
    void busyProgressChanged();
    void busyCancellableChanged();
    void exportNoteChanged();
    void resultInPlaceChanged();
    void organizeInPlaceChanged();
    void copyDestinationChanged();
    void learnOfferChanged();
    void folderOrganizedChanged();
    // folderWritable or parentWritable changed (approvalBlocked may read otherwise).
    void writableChanged();
    void putBackNoteChanged();
    void findingsChanged();
    // audioChecking, audioChecked or audioToCheck changed.
    void audioCheckChanged();
    // reviewChanged, canUndo or canRedo changed.
    void historyChanged();

private:
    struct ExportOutcome;
    struct Prepared;

    // Assigns value to field and emits changed, only when the value differs.
    template <typename T> void update(T& field, T value, void (AppModel::*changed)());

    // Shows the busy screen for a new job and clears the cancel flag.
    void startBusy(const QString& title, const QString& detail, bool cancellable,
                   std::optional<double> progress);

    // The main-thread halves of the background jobs.
    void finishLoad(const QString& folder, const Engine::ScanResult& found,
                    const Prepared& prepared);
    void publishProgress(int done, int total);
    // The note of an export in the window's language, from the facts of its result.
    static QString exportNoteOf(const ExportResult& result);
    void finishApproval(const ExportOutcome& outcome, const QList<Item>& written, bool inPlace);
    void finishPutBack(const std::optional<QString>& error, const QString& note);
    void publishSendProgress(const QString& status, double fraction);
    void finishSend(const SendOutcome& outcome);
    struct SessionOutcome;
    void publishSessionProgress(double fraction);
    void finishSessionExport(const SessionOutcome& outcome);
    void startAudioCheck();
    void cancelAudioCheck();
    void publishAudioContent(const QString& url, const AudioContent& content);
    void finishAudioCheck();
    void updateFindings();

    Services services_;
    Presenter* presenter_;

    Config config_;
    std::optional<QString> folder_;
    QList<Item> items_;
    // Tracks an earlier organization of the folder placed in each group folder.
    QHash<QString, int> placed_;
    QStringList skipped_;
    QStringList leftAlone_;
    std::optional<QString> resultURL_;
    std::optional<QString> errorMessage_;
    bool showRules_ = false;
    bool showWalkthrough_ = true;
    QList<Item> exportedItems_;
    bool sending_ = false;
    SendProgress sendProgress_;
    std::optional<QString> sendResult_;
    SendEnd sendEnd_ = SendEnd::none;
    bool busy_ = false;
    BusyState busyState_;
    QString exportNote_;
    bool resultInPlace_ = false;
    bool folderOrganized_ = false;
    // The folder under review, and the folder that holds it, could be written when read.
    bool folderWritable_ = true;
    bool parentWritable_ = true;
    QString putBackNote_;
    bool organizeInPlace_ = true;
    std::optional<QString> copyDestination_;

    // Shared with the running export, which holds it weakly: once the model is gone the
    // export reads "not cancelled".
    std::shared_ptr<std::atomic<bool>> cancelFlag_;
    // Shared with the running send, which lets go of it before its end is queued.
    std::shared_ptr<LogicSender> sender_;

    QHash<QString, AudioContent> audioContents_; // by the item's url
    QList<AudioFinding> findings_;
    QHash<QString, QStringList> findingsByFile_; // the sentences about each file
    bool audioChecking_ = false;
    int audioChecked_ = 0;
    int audioToCheck_ = 0;
    // The running content pass's cancel flag; a new pass gets a new one, so the results of a
    // cancelled pass that are already queued find their flag set and are dropped.
    std::shared_ptr<std::atomic<bool>> audioCancel_;

    // Where a change left a track: the group the user chose for it, or none when the rules
    // decide its group.
    using Assignment = std::optional<std::optional<QString>>;
    // One step of the review's history: each track it changed, before and after.
    struct Change {
        QUuid id;
        Assignment before;
        Assignment after;
    };
    using Step = QList<Change>;
    // Sets the groups of the tracks of a step (after, or before when undoing), renames all
    // tracks and publishes them.
    void applyStep(const Step& step, bool backwards);
    // Records a step made now: it can be undone, and nothing undone can be redone any more.
    void recordStep(Step step);
    // Forgets the history and which tracks were set by hand (a new review, or none).
    void clearHistory();
    // Sorts the tracks not set by hand again with the rules in force and renames all.
    void reclassify();
    // The groups the user set by hand, by the track's id.
    QHash<QUuid, std::optional<QString>> byHand_;
    QList<Step> undo_;
    QList<Step> redo_;

    // The classifier and the suggester of the rules in force, made when first needed.
    struct SuggestionRules;
    const SuggestionRules& suggestionRules() const;
    // Offers the word of an unsorted track that goes into group, once per word.
    void offerToLearn(const Item& item, const QString& group);
    std::optional<LearnOffer> learnOffer_;
    // Every word offered so far, accepted or not; none is offered twice.
    QSet<QString> offeredWords_;
    mutable std::unique_ptr<SuggestionRules> suggestionRules_;
};

} // namespace Vantrel
