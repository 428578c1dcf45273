#include "app/ReviewSession.h"

#include "app/ModelText.h"
#include "app/Presenter.h"
#include "app/Worker.h"
#include "core/AudioPass.h"
#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/Manifest.h"
#include "core/NaturalOrder.h"
#include "core/Suggest.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>

namespace Vantrel {

using ModelText::describe;
using ModelText::folderName;

// What a load found of a folder Vantrel prepared before, carried from the worker.
struct ReviewSession::Prepared {
    // The tracks its manifest lists, all in place; none when the folder is not one Vantrel
    // prepared, or its manifest cannot be used.
    std::optional<QList<Item>> items;
    // Why its manifest cannot be used.
    std::optional<QString> problem;
};

namespace {

// The stem the scan classified: the file name without its extension and the dot.
QString stemOf(const Item& item) {
    const QString name = item.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? name.left(dot) : name;
}

} // namespace

ReviewSession::ReviewSession(RulesModel& rules, BusyState& busy, const AudioReader* audio,
                             QObject* parent)
    : QObject(parent), rules_(rules), busy_(busy), audio_(audio) {
    // Nothing is undone while busy.
    connect(&busy_, &BusyState::busyChanged, this, &ReviewSession::historyChanged);
}

ReviewSession::~ReviewSession() {
    cancelAudioCheck();
}

template <typename T>
void ReviewSession::update(T& field, T value, void (ReviewSession::*changed)()) {
    if (field == value)
        return;
    field = std::move(value);
    emit(this->*changed)();
}

void ReviewSession::setPutBackNote(const QString& note) {
    update(putBackNote_, note, &ReviewSession::putBackNoteChanged);
}

QList<Item> ReviewSession::displayed() const {
    // Group names are expected to be unique; if one is not, its first group decides the rank.
    QHash<QString, int> rankOf;
    for (int i = 0; i < int(rules_.config().groups.size()); ++i) {
        if (!rankOf.contains(rules_.config().groups[i].name))
            rankOf.insert(rules_.config().groups[i].name, i);
    }
    const auto rank = [&rankOf](const Item& item) {
        constexpr int unknown = std::numeric_limits<int>::max();
        return item.group ? rankOf.value(*item.group, unknown) : unknown;
    };

    QList<Item> list = items_;
    std::stable_sort(list.begin(), list.end(), [&rank](const Item& a, const Item& b) {
        const int ra = rank(a);
        const int rb = rank(b);
        if (ra != rb)
            return ra < rb;
        return NaturalOrder::compare(a.newName, b.newName) < 0;
    });
    return list;
}

int ReviewSession::unsortedCount() const {
    return int(
        std::count_if(items_.begin(), items_.end(), [](const Item& item) { return !item.group; }));
}

void ReviewSession::load(const QString& url) {
    const QFileInfo info(url);
    if (!info.isDir()) {
        emit alert(tr("Drop a folder of tracks, not a single file."));
        return;
    }
    if (busy_.busy())
        return;

    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    update(putBackNote_, QString(), &ReviewSession::putBackNoteChanged);
    cancelAudioCheck();
    busy_.start(tr("Reading “%1”").arg(folderName(folder)), tr("Looking at the files…"), false,
                std::nullopt);

    Worker::run(
        [model = QPointer<ReviewSession>(this), folder, cfg = rules_.config(), audio = audio_] {
            Engine::ScanResult found;
            try {
                found = Engine::scan(folder, cfg, audio);
            } catch (const std::exception&) {
                // A scan does not fail; should it throw all the same, the folder reads as empty.
            }
            // A folder Vantrel prepared before (a sorted copy, or organized in place) with no new
            // track directly inside: its manifest says what can be sent.
            Prepared prepared;
            if (found.items.isEmpty() && !found.error &&
                QFileInfo(folder + QLatin1Char('/') + Engine::manifestName).isFile()) {
                try {
                    QList<Item> items = Engine::readManifest(folder, cfg);
                    Engine::checkTracksPresent(items, folder);
                    prepared.items = std::move(items);
                } catch (const std::exception& e) {
                    prepared.problem = describe(e);
                }
            }
            Worker::toMainThread([model, folder, found = std::move(found), prepared] {
                if (model)
                    model->finishLoad(folder, found, prepared);
            });
        });
}

void ReviewSession::finishLoad(const QString& folder, const Engine::ScanResult& found,
                               const Prepared& fromManifest) {
    const QList<Item>& items = found.items;
    busy_.finish();
    if (found.error) {
        emit alert(*found.error);
        startAudioCheck(); // the review on screen, if any, goes on with its checks
        return;
    }
    const bool organized = QFileInfo(folder + QLatin1Char('/') + Engine::journalName).isFile();
    if (fromManifest.items) {
        // Straight to the done screen, as after the approval that prepared it.
        update(putBackNote_, QString(), &ReviewSession::putBackNoteChanged);
        update(folderOrganized_, organized, &ReviewSession::folderOrganizedChanged);
        update(folder_, std::optional<QString>(folder), &ReviewSession::folderChanged);
        audioContents_.clear();
        update(items_, QList<Item>(), &ReviewSession::itemsChanged);
        update(skipped_, QStringList(), &ReviewSession::skippedChanged);
        update(leftAlone_, QStringList(), &ReviewSession::leftAloneChanged);
        placed_.clear();
        clearHistory();
        emit prepared(folder, *fromManifest.items, organized);
        updateFindings();
        return;
    }
    if (items.isEmpty() && !organized) {
        // Files left alone are why nothing was found, when there are any.
        QStringList lines{tr("No audio files found directly inside “%1”.").arg(folderName(folder))};
        if (fromManifest.problem)
            lines << *fromManifest.problem;
        lines += found.leftAlone;
        emit alert(lines.join(QLatin1Char('\n')));
        startAudioCheck();
        return;
    }
    update(folderOrganized_, organized, &ReviewSession::folderOrganizedChanged);
    const bool writable = QFileInfo(folder).isWritable();
    const bool parentWritable = QFileInfo(QFileInfo(folder).absolutePath()).isWritable();
    if (writable != folderWritable_ || parentWritable != parentWritable_) {
        folderWritable_ = writable;
        parentWritable_ = parentWritable;
        emit writableChanged();
    }
    update(folder_, std::optional<QString>(folder), &ReviewSession::folderChanged);
    audioContents_.clear();
    update(items_, items, &ReviewSession::itemsChanged);
    // The listings and the journal of an earlier organization are Vantrel's own, not files the
    // user has to know were ignored.
    QStringList skipped = found.skipped;
    if (organized || QFileInfo(folder + QLatin1Char('/') + Engine::manifestName).isFile())
        skipped.removeIf([](const QString& name) {
            return name == Engine::manifestName || name == Engine::importOrderName ||
                   name == Engine::journalName;
        });
    update(skipped_, skipped, &ReviewSession::skippedChanged);
    update(leftAlone_, found.leftAlone, &ReviewSession::leftAloneChanged);
    placed_ = found.placed;
    clearHistory();
    emit loaded();
    updateFindings();
    startAudioCheck();
}

void ReviewSession::startAudioCheck() {
    cancelAudioCheck();
    const QStringList urls = Engine::contentToRead(items_, audioContents_);
    if (!audio_ || urls.isEmpty())
        return;
    audioCancel_ = std::make_shared<std::atomic<bool>>(false);
    audioChecking_ = true;
    audioChecked_ = 0;
    audioToCheck_ = int(urls.size());
    emit audioCheckChanged();
    Worker::run(
        [session = QPointer<ReviewSession>(this), flag = audioCancel_, urls, reader = audio_] {
            const bool done = Engine::readContent(
                urls, *reader, [&flag] { return flag->load(); },
                [&session, &flag](const QString& url, const AudioContent& content) {
                    Worker::toMainThread([session, flag, url, content] {
                        if (session && !flag->load())
                            session->publishAudioContent(url, content);
                    });
                });
            if (!done)
                return;
            Worker::toMainThread([session, flag] {
                if (session && !flag->load())
                    session->finishAudioCheck();
            });
        });
}

void ReviewSession::cancelAudioCheck() {
    if (audioCancel_)
        audioCancel_->store(true);
    audioCancel_.reset();
    if (audioChecking_) {
        audioChecking_ = false;
        emit audioCheckChanged();
    }
}

void ReviewSession::publishAudioContent(const QString& url, const AudioContent& content) {
    audioContents_.insert(url, content);
    ++audioChecked_;
    emit audioCheckChanged();
}

void ReviewSession::finishAudioCheck() {
    audioCancel_.reset();
    audioChecking_ = false;
    emit audioCheckChanged();
    updateFindings();
}

void ReviewSession::updateFindings() {
    QList<AudioFinding> findings =
        Engine::audioFindings(Engine::audioFiles(items_, audioContents_));
    if (findings == findings_)
        return;
    findingsByFile_.clear();
    for (const AudioFinding& f : std::as_const(findings))
        for (const QString& file : f.files)
            findingsByFile_[file] << f.text;
    findings_ = std::move(findings);
    emit findingsChanged();
}

QStringList ReviewSession::findingsFor(const QString& fileName) const {
    return findingsByFile_.value(fileName);
}

void ReviewSession::clear() {
    cancelAudioCheck();
    audioContents_.clear();
    update(folder_, std::optional<QString>(), &ReviewSession::folderChanged);
    update(items_, QList<Item>(), &ReviewSession::itemsChanged);
    update(skipped_, QStringList(), &ReviewSession::skippedChanged);
    update(leftAlone_, QStringList(), &ReviewSession::leftAloneChanged);
    update(folderOrganized_, false, &ReviewSession::folderOrganizedChanged);
    update(putBackNote_, QString(), &ReviewSession::putBackNoteChanged);
    clearHistory();
    updateFindings();
}

void ReviewSession::onReviewChanged(Part part, QObject* context, std::function<void()> changed) {
    if (part == Part::config) {
        connect(&rules_, &RulesModel::configChanged, context, std::move(changed));
        return;
    }
    static constexpr void (ReviewSession::*partSignals[])() = {
        nullptr, // config: the rules'
        &ReviewSession::folderChanged,
        &ReviewSession::itemsChanged,
        &ReviewSession::skippedChanged,
        &ReviewSession::leftAloneChanged,
        &ReviewSession::folderOrganizedChanged,
        &ReviewSession::putBackNoteChanged,
        &ReviewSession::learnOfferChanged,
        &ReviewSession::findingsChanged,
        &ReviewSession::audioCheckChanged,
    };
    static_assert(std::size(partSignals) == static_cast<std::size_t>(Part::audioCheck) + 1);
    connect(this, partSignals[static_cast<std::size_t>(part)], context, std::move(changed));
}

void ReviewSession::setGroup(const QUuid& id, const std::optional<QString>& group) {
    const auto found = std::find_if(items_.cbegin(), items_.cend(),
                                    [&id](const Item& item) { return item.id == id; });
    if (found == items_.cend())
        return;
    if (!found->group && group)
        offerToLearn(*found, *group);
    const auto hand = byHand_.constFind(id);
    const Step step{
        {id, hand == byHand_.cend() ? Assignment() : Assignment(*hand), Assignment(group)}};
    applyStep(step, false);
    recordStep(step);
}

void ReviewSession::chooseFolder() {
    if (!presenter_)
        return;
    const std::optional<QString> chosen =
        presenter_->chooseFolder(tr("Choose"), tr("Choose the folder of tracks to sort"));
    if (chosen)
        load(*chosen);
}

// ---- Suggestions and learned words

struct ReviewSession::SuggestionRules {
    explicit SuggestionRules(const Config& cfg) : config(cfg), classifier(cfg), suggester(cfg) {}
    // The suggestion for a track without a group that the rules leave unsorted.
    std::optional<Suggestion> suggestionFor(const Item& item) const;

    Config config;
    Engine::Classifier classifier;
    Suggester suggester;
};

QString ReviewHost::LearnOffer::question() const {
    return ReviewSession::tr("Add “%1” to the words of %2?").arg(word, group);
}

const ReviewSession::SuggestionRules& ReviewSession::suggestionRules() const {
    if (!suggestionRules_ || !(suggestionRules_->config == rules_.config()))
        suggestionRules_ = std::make_unique<SuggestionRules>(rules_.config());
    return *suggestionRules_;
}

std::optional<Suggestion> ReviewSession::SuggestionRules::suggestionFor(const Item& item) const {
    if (item.group)
        return std::nullopt;
    const QString stem = stemOf(item);
    // A track the rules sort and the user took out of its group stays where the user put it.
    if (classifier.classify(stem).group)
        return std::nullopt;
    return suggester.suggest(stem);
}

std::optional<Suggestion> ReviewSession::suggestion(const QUuid& id) const {
    const auto found = std::find_if(items_.cbegin(), items_.cend(),
                                    [&id](const Item& item) { return item.id == id; });
    if (found == items_.cend())
        return std::nullopt;
    return suggestionRules().suggestionFor(*found);
}

std::optional<Suggestion> ReviewSession::suggestionFor(const Item& item) const {
    return suggestionRules().suggestionFor(item);
}

int ReviewSession::suggestionCount() const {
    const SuggestionRules& rules = suggestionRules();
    return int(std::count_if(items_.cbegin(), items_.cend(), [&rules](const Item& item) {
        return rules.suggestionFor(item).has_value();
    }));
}

void ReviewSession::acceptSuggestion(const QUuid& id) {
    if (const std::optional<Suggestion> s = suggestion(id))
        setGroup(id, s->group);
}

void ReviewSession::acceptAllSuggestions() {
    const SuggestionRules& rules = suggestionRules();
    Step step;
    for (const Item& item : std::as_const(items_)) {
        if (const std::optional<Suggestion> s = rules.suggestionFor(item)) {
            const auto hand = byHand_.constFind(item.id);
            step.append({item.id, hand == byHand_.cend() ? Assignment() : Assignment(*hand),
                         Assignment(std::optional<QString>(s->group))});
        }
    }
    if (step.isEmpty())
        return;
    applyStep(step, false);
    recordStep(std::move(step));
}

void ReviewSession::offerToLearn(const Item& item, const QString& group) {
    const auto target = std::find_if(rules_.config().groups.cbegin(), rules_.config().groups.cend(),
                                     [&group](const RuleGroup& g) { return g.name == group; });
    if (target == rules_.config().groups.cend())
        return;
    // The suggestion's own word when the track goes where it was suggested, else the first
    // word of its name.
    const std::optional<Suggestion> suggested = suggestionRules().suggestionFor(item);
    QString word = suggested && suggested->group == group && !suggested->word.isEmpty()
                       ? suggested->word
                       : Engine::learnableWord(stemOf(item), rules_.config());
    if (word.isEmpty() || target->aliases.contains(word) || offeredWords_.contains(word))
        return;
    offeredWords_.insert(word);
    update(learnOffer_, std::optional<LearnOffer>(LearnOffer{word, group}),
           &ReviewSession::learnOfferChanged);
}

void ReviewSession::acceptLearnOffer() {
    if (!learnOffer_)
        return;
    const LearnOffer offer = *learnOffer_;
    update(learnOffer_, std::optional<LearnOffer>(), &ReviewSession::learnOfferChanged);
    Config cfg = rules_.config();
    for (RuleGroup& g : cfg.groups) {
        if (g.name == offer.group) {
            if (!g.aliases.contains(offer.word))
                g.aliases << offer.word;
            rules_.saveRules(cfg);
            return;
        }
    }
}

void ReviewSession::declineLearnOffer() {
    update(learnOffer_, std::optional<LearnOffer>(), &ReviewSession::learnOfferChanged);
}

// ---- The review's history

void ReviewSession::applyStep(const Step& step, bool backwards) {
    QHash<QUuid, Assignment> to;
    for (const Change& change : step)
        to.insert(change.id, backwards ? change.before : change.after);
    QList<Item> items = items_;
    for (Item& item : items) {
        const auto found = to.constFind(item.id);
        if (found == to.cend())
            continue;
        if (*found) {
            byHand_.insert(item.id, **found);
            item.group = **found;
        } else {
            byHand_.remove(item.id);
            item.group = suggestionRules().classifier.classify(stemOf(item)).group;
        }
    }
    update(items_, Engine::finalize(std::move(items), rules_.config(), placed_),
           &ReviewSession::itemsChanged);
}

void ReviewSession::recordStep(Step step) {
    undo_.append(std::move(step));
    redo_.clear();
    emit historyChanged();
}

void ReviewSession::clearHistory() {
    if (byHand_.isEmpty() && undo_.isEmpty() && redo_.isEmpty())
        return;
    byHand_.clear();
    undo_.clear();
    redo_.clear();
    emit historyChanged();
}

void ReviewSession::undo() {
    if (!canUndo())
        return;
    const Step step = undo_.takeLast();
    applyStep(step, true);
    redo_.append(step);
    emit historyChanged();
}

void ReviewSession::redo() {
    if (!canRedo())
        return;
    const Step step = redo_.takeLast();
    applyStep(step, false);
    undo_.append(step);
    emit historyChanged();
}

void ReviewSession::rulesSaved() {
    if (!folder_ || busy_.busy())
        return;
    const Engine::Classifier& classifier = suggestionRules().classifier;
    QSet<QString> groups;
    for (const RuleGroup& g : rules_.config().groups)
        groups.insert(g.name);
    QList<Item> items = items_;
    for (Item& item : items) {
        const Engine::Classification c = classifier.classify(stemOf(item));
        item.source = c.source;
        const auto hand = byHand_.constFind(item.id);
        // A group set by hand that the rules no longer have gives the track back to the rules.
        if (hand != byHand_.cend() && (!*hand || groups.contains(**hand))) {
            item.group = *hand;
        } else {
            byHand_.remove(item.id);
            item.group = c.group;
        }
    }
    update(items_, Engine::finalize(std::move(items), rules_.config(), placed_),
           &ReviewSession::itemsChanged);
    emit historyChanged();
}

} // namespace Vantrel
