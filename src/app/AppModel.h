#pragma once

#include "automation/SendMode.h"
#include "core/Config.h"
#include "core/FileOps.h"
#include "core/Item.h"
#include "platform/Platform.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <atomic>
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
class AppModel : public QObject {
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
    };

    // The content size of the floating send panel, in points.
    static constexpr Size sendPanelSize{340, 120};
    // The send log in the configuration folder; emptied by every send.
    static QString sendLogPath();

    // Loads the configuration and reads the user settings. services.platform must be set
    // (std::invalid_argument otherwise).
    explicit AppModel(Services services, QObject* parent = nullptr);
    ~AppModel() override;

    // Sets what the model asks of the screens; null restores the default that does nothing.
    // The presenter must outlive the model or be unset first.
    void setPresenter(Presenter* presenter);

    // ---- Fields, in declaration order ----

    // The rule configuration in force; replaced only by saveRules.
    const Config& config() const { return config_; }
    // The folder under review (absolute path); set when a load finds audio files.
    const std::optional<QString>& folder() const { return folder_; }
    // The proposal under review, in the order the engine returned it.
    const QList<Item>& items() const { return items_; }
    // Names of the files the last successful load skipped.
    const QStringList& skipped() const { return skipped_; }
    // Where the last approval put the files; while set, the done screen shows.
    const std::optional<QString>& resultURL() const { return resultURL_; }
    // A message for an alert; the screen sets it back to none when the alert is dismissed.
    const std::optional<QString>& errorMessage() const { return errorMessage_; }
    void setErrorMessage(const std::optional<QString>& message);
    // The rules editor sheet is shown.
    bool showRules() const { return showRules_; }
    void setShowRules(bool show);
    // The walkthrough sheet is shown; starts true until the walkthrough was finished once.
    bool showWalkthrough() const { return showWalkthrough_; }
    void setShowWalkthrough(bool show);
    // The items exactly as the last approval wrote them.
    const QList<Item>& exportedItems() const { return exportedItems_; }

    // A send to Logic Pro is running: the main window is hidden and the send panel shown.
    bool sending() const { return sending_; }
    // The sender's latest status line, and its fraction done (0 to 1). Notes (isSendNote) go to
    // the send log only: they change neither.
    const QString& sendStatus() const { return sendStatus_; }
    double sendProgress() const { return sendProgress_; }
    // The outcome of the last send: how much was sent, or the failure's message. Cleared by a
    // new send and by a new approval.
    const std::optional<QString>& sendResult() const { return sendResult_; }

    // A load, an approval or a put-back is running; the busy screen covers the window.
    bool busy() const { return busy_; }
    const QString& busyTitle() const { return busyTitle_; }
    const QString& busyDetail() const { return busyDetail_; }
    // Fraction done, 0 to 1; none when the work has no measurable progress.
    const std::optional<double>& busyProgress() const { return busyProgress_; }
    // The busy screen offers Cancel.
    bool busyCancellable() const { return busyCancellable_; }
    // The note of the last export, for the done screen.
    const QString& exportNote() const { return exportNote_; }
    // The last approval organized the folder in place.
    bool resultInPlace() const { return resultInPlace_; }
    // The user's choice of approval mode; every set is stored in the user settings at once.
    bool organizeInPlace() const { return organizeInPlace_; }
    void setOrganizeInPlace(bool inPlace);

    // Not observed by the screens:
    // Set by cancel(); the running export polls it between files from the worker thread.
    bool cancelFlag() const { return cancelFlag_->load(); }
    // The sender of the current or last send, kept until the next send; none before the first.
    // Its state belongs to the worker while sending (only `cancelled` may be touched then).
    LogicSender* sender() const { return sender_.get(); }

    // ---- Derived, computed on every read ----

    // The review list: groups in rule order, each group's tracks by new name in the file
    // browser's order, tracks without a known group last.
    QList<Item> displayed() const;
    // How many items have no group.
    int unsortedCount() const;
    // The approved files in send order (the send jobs' files, job after job): what the drag
    // tile offers. Empty without a result.
    QStringList dragURLs() const;

    // ---- Operations; all return at once ----

    // Scans a folder and publishes its proposal. A path that is not a folder sets an error
    // (even while busy); while busy it does nothing else.
    void load(const QString& url);
    // Moves the track with this id to group (none: unsorted) and renames all tracks.
    void setGroup(const QUuid& id, const std::optional<QString>& group);
    // Asks the presenter for a folder and loads it.
    void chooseFolder();
    // Saves cfg as the user's configuration; on success puts it in force and reloads the
    // folder under review, on failure sets an error and keeps the rules in force.
    void saveRules(const Config& cfg);
    // Forgets the folder, the proposal and the result: back to the drop zone.
    void reset();
    // Writes the proposal: organizes the folder in place or makes a sorted copy, as chosen.
    void approve();
    // Asks the running export to stop (the busy screen's Cancel).
    void cancel();
    // Puts the files of a folder organized in place back, then reads the folder again.
    void undoOrganize();
    // Sends the approved tracks to the running Logic Pro: checks the permission and that Logic
    // Pro runs (a failed check only sets errorMessage), hides the main window, shows the send
    // panel, empties the send log and runs the sender for mode on the worker. Every report
    // reaches the log, status lines also sendStatus and sendProgress; the outcome reaches
    // sendResult and the log, then the panel closes and the main window comes back. Does nothing
    // without a result or while sending.
    void sendToLogic(SendMode mode);
    // Asks the running send to stop (the send panel's Cancel): it ends with "Cancelled.".
    void cancelSend();
    // Reads Logic Pro's menus into the menu dump and puts the outcome, success or failure, in
    // errorMessage. Runs on the main thread until done.
    void checkLogicConnection();

signals:
    void configChanged();
    void folderChanged();
    void itemsChanged();
    void skippedChanged();
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

private:
    struct ExportOutcome;

    // Assigns value to field and emits changed, only when the value differs.
    template <typename T> void update(T& field, T value, void (AppModel::*changed)());

    // Shows the busy screen for a new job and clears the cancel flag.
    void startBusy(const QString& title, const QString& detail, bool cancellable,
                   std::optional<double> progress);

    // The main-thread halves of the background jobs.
    void finishLoad(const QString& folder, const QList<Item>& items, const QStringList& skipped);
    void publishProgress(int done, int total);
    void finishApproval(const ExportOutcome& outcome, const QList<Item>& written, bool inPlace);
    void finishPutBack(const std::optional<QString>& error);
    void publishSendProgress(const QString& status, double fraction);
    void finishSend(const QString& result);

    Services services_;
    Presenter* presenter_;

    Config config_;
    std::optional<QString> folder_;
    QList<Item> items_;
    QStringList skipped_;
    std::optional<QString> resultURL_;
    std::optional<QString> errorMessage_;
    bool showRules_ = false;
    bool showWalkthrough_ = true;
    QList<Item> exportedItems_;
    bool sending_ = false;
    QString sendStatus_;
    double sendProgress_ = 0;
    std::optional<QString> sendResult_;
    bool busy_ = false;
    QString busyTitle_;
    QString busyDetail_;
    std::optional<double> busyProgress_;
    bool busyCancellable_ = false;
    QString exportNote_;
    bool resultInPlace_ = false;
    bool organizeInPlace_ = true;

    // Shared with the running export, which holds it weakly: once the model is gone the
    // export reads "not cancelled".
    std::shared_ptr<std::atomic<bool>> cancelFlag_;
    // Shared with the running send, which lets go of it before its end is queued.
    std::shared_ptr<LogicSender> sender_;
};

} // namespace Vantrel
