#pragma once

#include "app/BusyState.h"
#include "app/RulesModel.h"
#include "app/ScreenModels.h"
#include "core/AudioFacts.h"
#include "core/Config.h"
#include "core/Engine.h"
#include "core/Item.h"
#include "core/Suggest.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <atomic>
#include <memory>
#include <optional>

namespace Vantrel {

class Presenter;

// The folder under review and its proposal: the tracks, the tracks an earlier organization
// placed, the group changes made by hand with their history, the suggestions for unsorted tracks,
// the offer to learn a word, and the audio pass over the tracks' samples. Reading a folder runs
// behind the busy screen it shares with the approval. Every field is read and written on the main
// thread and each actual change is told by its <field>Changed signal; long work runs on the
// shared worker pool and its result comes back as one task queued to the main thread, which does
// nothing when the session is gone by then.
class ReviewSession : public QObject, public ReviewHost, public FolderChooser {
    Q_OBJECT

public:
    // rules gives the rules in force and saves the words the user accepts; busy is the busy
    // screen; audio reads the headers during the scan and the samples after it (none: no audio
    // checks). All must outlive the session and the work it started.
    ReviewSession(RulesModel& rules, BusyState& busy, const AudioReader* audio,
                  QObject* parent = nullptr);
    ~ReviewSession() override;

    // Sets what the session asks of the screens (the folder dialog); null: nothing.
    void setPresenter(Presenter* presenter) { presenter_ = presenter; }

    const Config& config() const override { return rules_.config(); }
    // The folder under review (absolute path); set when a load finds audio files.
    const std::optional<QString>& folder() const override { return folder_; }
    // The proposal under review, in the order the engine returned it.
    const QList<Item>& items() const override { return items_; }
    // Names of the files the last successful load skipped.
    const QStringList& skipped() const override { return skipped_; }
    // The files the last successful load left alone because they cannot be organized safely,
    // one sentence each that names the file and the reason.
    const QStringList& leftAlone() const override { return leftAlone_; }
    // The folder holds Vantrel's undo journal (it was organized in place and not put back).
    bool folderOrganized() const override { return folderOrganized_; }
    // What the last put-back left where it was; cleared by the next load and by clear.
    const QString& putBackNote() const override { return putBackNote_; }
    void setPutBackNote(const QString& note);
    // The folder under review, and the folder that holds it, could be written when read.
    bool folderWritable() const { return folderWritable_; }
    bool parentWritable() const { return parentWritable_; }

    // The review list: groups in rule order, each group's tracks by new name in the file
    // browser's order, tracks without a known group last.
    QList<Item> displayed() const override;
    int unsortedCount() const override;

    // Scans a folder and publishes its proposal. A folder Vantrel prepared before (its manifest
    // lists tracks that are all in place) with no new track directly inside is handed on by
    // prepared instead, its review emptied. A path that is not a folder alerts (even while
    // busy); while busy it does nothing else.
    void load(const QString& url);
    // Asks the presenter for a folder and loads it.
    void chooseFolder() override;
    // Forgets the folder and its proposal.
    void clear();
    // Sorts the tracks not set by hand again with the rules in force and renames all; not while
    // busy or without a folder.
    void rulesSaved();

    // Moves the track with this id to group (none: unsorted) and renames all tracks. The track
    // is then set by hand: saved rules no longer move it. One step of the history.
    void setGroup(const QUuid& id, const std::optional<QString>& group) override;

    // ---- Suggestions for unsorted tracks, and words the rules learn ----

    const std::optional<LearnOffer>& learnOffer() const override { return learnOffer_; }
    // The suggested group of a track that has no group and that the rules leave unsorted;
    // none for any other track and for an unknown id.
    std::optional<Suggestion> suggestion(const QUuid& id) const;
    std::optional<Suggestion> suggestionFor(const Item& item) const override;
    int suggestionCount() const override;
    // Moves the track into its suggested group through setGroup, which offers its word.
    void acceptSuggestion(const QUuid& id) override;
    // Moves every track that has a suggestion into its suggested group and renames once, as
    // one step. Offers no word: there would be one per track.
    void acceptAllSuggestions() override;
    // Adds the offered word to its group's words and saves the rules.
    void acceptLearnOffer() override;
    void declineLearnOffer() override;

    // ---- The history of group changes ----

    // The review holds group changes made by hand that a new folder would discard.
    bool reviewChanged() const { return !byHand_.isEmpty(); }
    // Never while busy.
    bool canUndo() const { return !busy_.busy() && !undo_.isEmpty(); }
    bool canRedo() const { return !busy_.busy() && !redo_.isEmpty(); }
    // Puts the tracks of the last change back in the groups they had before it (a track that
    // the rules had sorted goes where the rules in force sort it now), and renames all tracks.
    void undo();
    void redo();
    // Forgets the history and which tracks were set by hand (a new review, or an approval).
    void clearHistory();

    // ---- Audio checks ----
    // The scan reads every file's header; once the review is shown a content pass reads the
    // samples in the background, one file after another. Findings are those of the headers
    // until the pass ends, then those of the whole session.
    const QList<AudioFinding>& findings() const override { return findings_; }
    QStringList findingsFor(const QString& fileName) const override;
    bool audioChecking() const override { return audioChecking_; }
    int audioChecked() const override { return audioChecked_; }
    int audioToCheck() const override { return audioToCheck_; }
    // Starts the content pass over the files not read yet (the review on screen goes on).
    void startAudioCheck();
    // Stops the content pass (the review is left).
    void cancelAudioCheck();

    void onReviewChanged(Part part, QObject* context, std::function<void()> changed) override;

signals:
    void folderChanged();
    void itemsChanged();
    void skippedChanged();
    void leftAloneChanged();
    void folderOrganizedChanged();
    void putBackNoteChanged();
    // folderWritable or parentWritable changed.
    void writableChanged();
    void learnOfferChanged();
    void findingsChanged();
    // audioChecking, audioChecked or audioToCheck changed.
    void audioCheckChanged();
    // reviewChanged, canUndo or canRedo changed.
    void historyChanged();
    // A load found a review: whatever was shown before it (a result) is gone.
    void loaded();
    // A load found a folder Vantrel prepared before: its tracks, all in place, and whether it
    // was organized in place.
    void prepared(const QString& folder, const QList<Item>& items, bool organizedInPlace);
    // A message for the user.
    void alert(const QString& message);

private:
    struct Prepared;
    template <typename T> void update(T& field, T value, void (ReviewSession::*changed)());
    void finishLoad(const QString& folder, const Engine::ScanResult& found,
                    const Prepared& prepared);
    void publishAudioContent(const QString& url, const AudioContent& content);
    void finishAudioCheck();
    void updateFindings();

    RulesModel& rules_;
    BusyState& busy_;
    const AudioReader* audio_;
    Presenter* presenter_ = nullptr;

    std::optional<QString> folder_;
    QList<Item> items_;
    // Tracks an earlier organization of the folder placed in each group folder.
    QHash<QString, int> placed_;
    QStringList skipped_;
    QStringList leftAlone_;
    bool folderOrganized_ = false;
    QString putBackNote_;
    bool folderWritable_ = true;
    bool parentWritable_ = true;

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
    // One step of the history: each track it changed, before and after.
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
