#pragma once

#include "app/AppServices.h"
#include "app/BusyState.h"
#include "app/ScreenModels.h"
#include "core/Export.h"
#include "core/Item.h"
#include "sessions/SessionExport.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace Vantrel {

class Presenter;
class ReviewSession;
class RulesModel;

// The approval of the review: its mode (in place or a sorted copy, and where the copy goes), the
// export behind the busy screen with its Cancel, the put-back of a folder organized in place, the
// result on the done screen and the sessions for other DAWs made from it. Every field is read and
// written on the main thread and each actual change is told by its <field>Changed signal; long
// work runs on the shared worker pool with copies of what it needs, and its result comes back as
// one task queued to the main thread, which does nothing when the model is gone by then.
class ApprovalModel : public QObject, public ApprovalHost, public ResultHost {
    Q_OBJECT

public:
    // review is what is approved and what a put-back reads again; rules are the rules of the
    // result; busy is the busy screen. services.platform must be set (its clock paces the
    // progress). All must outlive the model and the work it started.
    ApprovalModel(ReviewSession& review, const RulesModel& rules, BusyState& busy,
                  const AppServices& services, QObject* parent = nullptr);

    // Sets what the model asks of the screens (the folder dialog); null: nothing.
    void setPresenter(Presenter* presenter) { presenter_ = presenter; }
    // Tells whether a send runs: no session is made then. None: never.
    void setSendRunning(std::function<bool()> running) { sendRunning_ = std::move(running); }

    // ---- The mode ----

    // The user's choice of approval mode; every set is stored in the user settings at once.
    bool organizeInPlace() const override { return organizeInPlace_; }
    void setOrganizeInPlace(bool inPlace) override;
    // The folder the sorted copy is made in: the one the user chose for the folder under review,
    // or none, which is the folder that holds it. A new folder starts with none.
    const std::optional<QString>& copyDestination() const override { return copyDestination_; }
    // Always emits copyDestinationChanged, so that the review reads its state anew.
    void setCopyDestination(const std::optional<QString>& folder);
    // Asks the user where the sorted copy goes (a folder dialog through the presenter).
    void chooseCopyDestination() override;
    // Why the approval chosen now cannot write its files, found when the folder was read:
    // organizing in place needs the folder writable, the sorted copy the folder that holds it.
    // Empty when it can; approve() then does nothing.
    QString approvalBlocked() const override;

    // ---- The work ----

    // Writes the review's proposal: organizes the folder in place or makes a sorted copy, as
    // chosen. Does nothing without tracks, while busy or while blocked.
    void approve() override;
    // Asks the running work to stop (the busy screen's Cancel).
    void cancel();
    // Puts the files of a folder organized in place back (the result on the done screen, or a
    // folder under review that holds Vantrel's journal), then reads the folder again; what
    // stayed where it was goes to the review's putBackNote.
    void undoOrganize() override;
    // Forgets the review and the result: back to the drop zone.
    void reset() override;

    // ---- The result ----

    // Where the last approval put the files; while set, the done screen shows.
    const std::optional<QString>& resultURL() const override { return resultURL_; }
    bool resultInPlace() const override { return resultInPlace_; }
    const QString& exportNote() const override { return exportNote_; }
    // The items exactly as the last approval wrote them.
    const QList<Item>& exportedItems() const { return exportedItems_; }
    // The approved files in send order (the send jobs' files, job after job). Empty without a
    // result.
    QStringList dragURLs() const override;
    // Shows a folder Vantrel prepared before as the result of its approval.
    void showPrepared(const QString& folder, const QList<Item>& items, bool inPlace);
    // Forgets the result (a new review is shown).
    void clearResult();

    // ---- Sessions for other DAWs (SessionExportFlow.cpp) ----

    bool ardourInstalled() const override;
    // Makes a session for another DAW from the result behind the busy screen, with progress and
    // Cancel: an Ardour session beside the result folder, opened in Ardour when done, or a
    // DAWproject file at output (by default beside the result folder). The outcome, what was
    // made or why not, is alerted; a cancel leaves nothing and says nothing. Does nothing
    // without a result, while busy or while sending.
    void exportSession(Sessions::SessionTarget target,
                       const std::optional<QString>& output = std::nullopt) override;

    void onResultChanged(QObject* context, std::function<void()> changed) override;
    void onApprovalChanged(QObject* context, std::function<void()> changed) override;

signals:
    void organizeInPlaceChanged();
    void copyDestinationChanged();
    void resultURLChanged();
    void resultInPlaceChanged();
    void exportNoteChanged();
    void exportedItemsChanged();
    // A new result replaced the last one: the outcome of its send is gone.
    void newResult();
    // A message for the user.
    void alert(const QString& message);

private:
    struct ExportOutcome;
    struct SessionOutcome;
    template <typename T> void update(T& field, T value, void (ApprovalModel::*changed)());
    void publishProgress(int done, int total);
    // The note of an export in the window's language, from the facts of its result.
    static QString exportNoteOf(const ExportResult& result);
    void finishApproval(const ExportOutcome& outcome, const QList<Item>& written, bool inPlace);
    void finishPutBack(const std::optional<QString>& error, const QString& note);
    void publishSessionProgress(double fraction);
    void finishSessionExport(const SessionOutcome& outcome);

    ReviewSession& review_;
    const RulesModel& rules_;
    BusyState& busy_;
    AppServices services_;
    Presenter* presenter_ = nullptr;
    std::function<bool()> sendRunning_;

    bool organizeInPlace_ = true;
    std::optional<QString> copyDestination_;
    std::optional<QString> resultURL_;
    QString exportNote_;
    bool resultInPlace_ = false;
    QList<Item> exportedItems_;
};

} // namespace Vantrel
