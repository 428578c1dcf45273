#include "app/AppModel.h"

#include "app/Presenter.h"
#include "app/SendLog.h"
#include "app/Settings.h"
#include "app/Worker.h"
#include "automation/LogicBridge.h"
#include "automation/LogicSender.h"
#include "automation/SendJobs.h"
#include "core/ConfigProblem.h"
#include "core/Engine.h"
#include "core/Errors.h"
#include "core/Export.h"
#include "core/Manifest.h"
#include "core/NaturalOrder.h"
#include "core/SmallFile.h"
#include "core/Suggest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QPointer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <fcntl.h>
#include <limits>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>

namespace Vantrel {

using namespace std::chrono_literals;

// How an export ended, carried from the worker to the main thread.
struct AppModel::Prepared {
    // The tracks its manifest lists, all in place; none when the folder is not one Vantrel
    // prepared, or its manifest cannot be used.
    std::optional<QList<Item>> items;
    // Why its manifest cannot be used.
    std::optional<QString> problem;
};

struct AppModel::ExportOutcome {
    std::optional<ExportResult> result;
    bool cancelled = false;
    QString error;
};

namespace {

// Progress of an export reaches the screen at most this often, plus its last report.
constexpr auto kProgressInterval = 100ms;

Presenter& silentPresenter() {
    static Presenter presenter;
    return presenter;
}

// The last path component, as the busy title and the messages name a folder.
QString folderName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

// The user-facing description of a failure.
QString describe(const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e))
        return error->message();
    return QString::fromLocal8Bit(e.what());
}

// The send panel stands this far from the top-right corner of the visible screen area.
constexpr double kSendPanelMargin = 20;

AppModel::Services checked(AppModel::Services services) {
    if (!services.platform)
        throw std::invalid_argument("AppModel needs a platform");
    return services;
}

} // namespace

QString AppModel::sendLogPath() {
    return SendLog::defaultPath();
}

AppModel::AppModel(Services services, QObject* parent)
    : QObject(parent), services_(checked(std::move(services))), presenter_(&silentPresenter()),
      config_(Config::load()), showWalkthrough_(!Settings::walkthroughDone()),
      organizeInPlace_(Settings::organizeInPlace()),
      cancelFlag_(std::make_shared<std::atomic<bool>>(false)) {
    // Nothing is undone while busy.
    connect(this, &AppModel::busyChanged, this, &AppModel::historyChanged);
    // The busy state's changes are the model's too; its Cancel is the model's.
    connect(&busyState_, &BusyState::titleChanged, this, &AppModel::busyTitleChanged);
    connect(&busyState_, &BusyState::detailChanged, this, &AppModel::busyDetailChanged);
    connect(&busyState_, &BusyState::progressChanged, this, &AppModel::busyProgressChanged);
    connect(&busyState_, &BusyState::cancellableChanged, this, &AppModel::busyCancellableChanged);
    connect(&busyState_, &BusyState::cancelRequested, this, &AppModel::cancel);
    // So are the send progress's.
    connect(&sendProgress_, &SendProgress::statusChanged, this, &AppModel::sendStatusChanged);
    connect(&sendProgress_, &SendProgress::fractionChanged, this, &AppModel::sendProgressChanged);
    connect(&sendProgress_, &SendProgress::cancelRequested, this, &AppModel::cancelSend);
    // The built-in rules stand in for a file that could not be read; a later save would
    // replace it, so it is kept aside now and the user told where, this once.
    const QString path = Config::filePath();
    if (Config::unusableAt(path)) {
        // What is wrong with it: the place of a syntax error, the key, or the system's reason.
        QString problem;
        try {
            problem = configProblem(readSmallFile(path, SmallFileCap::config));
        } catch (const FileError& e) {
            problem = e.reason();
        }
        // One whole sentence for each case, so that each translates as one.
        try {
            const QString kept = Config::keepUnusable(path, *services_.fileOps);
            errorMessage_ =
                problem.isEmpty()
                    ? tr("Your rules file “%1” could not be read, so Vantrel is using the "
                         "built-in rules. The file is kept as “%2”.")
                          .arg(path, kept)
                    : tr("Your rules file “%1” could not be read (%2), so Vantrel is using the "
                         "built-in rules. The file is kept as “%3”.")
                          .arg(path, problem, kept);
        } catch (const std::exception& e) {
            errorMessage_ =
                problem.isEmpty()
                    ? tr("Your rules file “%1” could not be read, so Vantrel is using the "
                         "built-in rules. Couldn't keep a copy of it: %2")
                          .arg(path, describe(e))
                    : tr("Your rules file “%1” could not be read (%2), so Vantrel is using the "
                         "built-in rules. Couldn't keep a copy of it: %3")
                          .arg(path, problem, describe(e));
        }
    }
}

AppModel::~AppModel() {
    cancelAudioCheck();
}

void AppModel::setPresenter(Presenter* presenter) {
    presenter_ = presenter ? presenter : &silentPresenter();
}

template <typename T> void AppModel::update(T& field, T value, void (AppModel::*changed)()) {
    if (field == value)
        return;
    field = std::move(value);
    emit(this->*changed)();
}

void AppModel::setErrorMessage(const std::optional<QString>& message) {
    update(errorMessage_, message, &AppModel::errorMessageChanged);
}

void AppModel::setShowRules(bool show) {
    update(showRules_, show, &AppModel::showRulesChanged);
}

void AppModel::setShowWalkthrough(bool show) {
    update(showWalkthrough_, show, &AppModel::showWalkthroughChanged);
}

void AppModel::setOrganizeInPlace(bool inPlace) {
    update(organizeInPlace_, inPlace, &AppModel::organizeInPlaceChanged);
    Settings::setOrganizeInPlace(inPlace);
}

QList<Item> AppModel::displayed() const {
    // Group names are expected to be unique; if one is not, its first group decides the rank.
    QHash<QString, int> rankOf;
    for (int i = 0; i < int(config_.groups.size()); ++i) {
        if (!rankOf.contains(config_.groups[i].name))
            rankOf.insert(config_.groups[i].name, i);
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

int AppModel::unsortedCount() const {
    return int(
        std::count_if(items_.begin(), items_.end(), [](const Item& item) { return !item.group; }));
}

void AppModel::onResultChanged(QObject* context, std::function<void()> changed) {
    for (auto signal : {&AppModel::resultURLChanged, &AppModel::resultInPlaceChanged,
                        &AppModel::exportNoteChanged, &AppModel::sendingChanged,
                        &AppModel::sendStatusChanged, &AppModel::sendProgressChanged,
                        &AppModel::sendResultChanged, &AppModel::exportedItemsChanged})
        connect(this, signal, context, changed);
}

void AppModel::onReviewChanged(Part part, QObject* context, std::function<void()> changed) {
    static constexpr void (AppModel::*partSignals[])() = {
        &AppModel::configChanged,          &AppModel::folderChanged,
        &AppModel::itemsChanged,           &AppModel::skippedChanged,
        &AppModel::leftAloneChanged,       &AppModel::folderOrganizedChanged,
        &AppModel::putBackNoteChanged,     &AppModel::learnOfferChanged,
        &AppModel::findingsChanged,        &AppModel::audioCheckChanged,
        &AppModel::organizeInPlaceChanged, &AppModel::copyDestinationChanged,
        &AppModel::writableChanged,
    };
    static_assert(std::size(partSignals) == static_cast<std::size_t>(Part::writable) + 1);
    connect(this, partSignals[static_cast<std::size_t>(part)], context, std::move(changed));
}

QStringList AppModel::dragURLs() const {
    return Vantrel::dragURLs(sendJobs(exportedItems_, config_, resultURL_));
}

void AppModel::startBusy(const QString& title, const QString& detail, bool cancellable,
                         std::optional<double> progress) {
    update(busy_, true, &AppModel::busyChanged);
    busyState_.start(title, detail, cancellable, progress);
    cancelFlag_->store(false);
}

void AppModel::load(const QString& url) {
    const QFileInfo info(url);
    if (!info.isDir()) {
        setErrorMessage(tr("Drop a folder of tracks, not a single file."));
        return;
    }
    if (busy_)
        return;

    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    update(putBackNote_, QString(), &AppModel::putBackNoteChanged);
    cancelAudioCheck();
    startBusy(tr("Reading “%1”").arg(folderName(folder)), tr("Looking at the files…"), false,
              std::nullopt);

    Worker::run([model = QPointer<AppModel>(this), folder, cfg = config_, audio = services_.audio] {
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

void AppModel::finishLoad(const QString& folder, const Engine::ScanResult& found,
                          const Prepared& prepared) {
    const QList<Item>& items = found.items;
    update(busy_, false, &AppModel::busyChanged);
    if (found.error) {
        setErrorMessage(*found.error);
        startAudioCheck(); // the review on screen, if any, goes on with its checks
        return;
    }
    const bool organized = QFileInfo(folder + QLatin1Char('/') + Engine::journalName).isFile();
    if (prepared.items) {
        // Straight to the done screen, as after the approval that prepared it.
        update(putBackNote_, QString(), &AppModel::putBackNoteChanged);
        update(folderOrganized_, organized, &AppModel::folderOrganizedChanged);
        update(folder_, std::optional<QString>(folder), &AppModel::folderChanged);
        audioContents_.clear();
        update(items_, QList<Item>(), &AppModel::itemsChanged);
        update(skipped_, QStringList(), &AppModel::skippedChanged);
        update(leftAlone_, QStringList(), &AppModel::leftAloneChanged);
        placed_.clear();
        clearHistory();
        update(exportNote_,
               tr("Prepared by Vantrel before: %n tracks ready to send to Logic.", nullptr,
                  int(prepared.items->size())),
               &AppModel::exportNoteChanged);
        update(resultInPlace_, organized, &AppModel::resultInPlaceChanged);
        update(exportedItems_, *prepared.items, &AppModel::exportedItemsChanged);
        sendEnd_ = SendEnd::none;
        update(sendResult_, std::optional<QString>(), &AppModel::sendResultChanged);
        update(resultURL_, std::optional<QString>(folder), &AppModel::resultURLChanged);
        updateFindings();
        return;
    }
    if (items.isEmpty() && !organized) {
        // Files left alone are why nothing was found, when there are any.
        QStringList lines{tr("No audio files found directly inside “%1”.").arg(folderName(folder))};
        if (prepared.problem)
            lines << *prepared.problem;
        lines += found.leftAlone;
        setErrorMessage(lines.join(QLatin1Char('\n')));
        startAudioCheck();
        return;
    }
    update(folderOrganized_, organized, &AppModel::folderOrganizedChanged);
    const bool writable = QFileInfo(folder).isWritable();
    const bool parentWritable = QFileInfo(QFileInfo(folder).absolutePath()).isWritable();
    if (writable != folderWritable_ || parentWritable != parentWritable_) {
        folderWritable_ = writable;
        parentWritable_ = parentWritable;
        emit writableChanged();
    }
    if (folder_ != folder)
        setCopyDestination(std::nullopt); // a chosen folder belongs to the folder it was chosen for
    update(folder_, std::optional<QString>(folder), &AppModel::folderChanged);
    audioContents_.clear();
    update(items_, items, &AppModel::itemsChanged);
    // The listings and the journal of an earlier organization are Vantrel's own, not files the
    // user has to know were ignored.
    QStringList skipped = found.skipped;
    if (organized || QFileInfo(folder + QLatin1Char('/') + Engine::manifestName).isFile())
        skipped.removeIf([](const QString& name) {
            return name == Engine::manifestName || name == Engine::importOrderName ||
                   name == Engine::journalName;
        });
    update(skipped_, skipped, &AppModel::skippedChanged);
    update(leftAlone_, found.leftAlone, &AppModel::leftAloneChanged);
    placed_ = found.placed;
    clearHistory();
    update(resultURL_, std::optional<QString>(), &AppModel::resultURLChanged);
    updateFindings();
    startAudioCheck();
}

void AppModel::startAudioCheck() {
    cancelAudioCheck();
    QStringList urls;
    for (const Item& item : std::as_const(items_))
        if (item.audio && item.audio->readable && !audioContents_.contains(item.url))
            urls << item.url;
    if (!services_.audio || urls.isEmpty())
        return;
    audioCancel_ = std::make_shared<std::atomic<bool>>(false);
    audioChecking_ = true;
    audioChecked_ = 0;
    audioToCheck_ = int(urls.size());
    emit audioCheckChanged();
    Worker::run([model = QPointer<AppModel>(this), flag = audioCancel_, urls,
                 reader = services_.audio] {
        const auto cancelled = [&flag] { return flag->load(); };
        if (!Engine::readContents(*reader, urls, cancelled,
                                  [&](qsizetype i, const AudioContent& content) {
                                      Worker::toMainThread([model, flag, url = urls[i], content] {
                                          if (model && !flag->load())
                                              model->publishAudioContent(url, content);
                                      });
                                  }))
            return;
        Worker::toMainThread([model, flag] {
            if (model && !flag->load())
                model->finishAudioCheck();
        });
    });
}

void AppModel::cancelAudioCheck() {
    if (audioCancel_)
        audioCancel_->store(true);
    audioCancel_.reset();
    if (audioChecking_) {
        audioChecking_ = false;
        emit audioCheckChanged();
    }
}

void AppModel::publishAudioContent(const QString& url, const AudioContent& content) {
    audioContents_.insert(url, content);
    ++audioChecked_;
    emit audioCheckChanged();
}

void AppModel::finishAudioCheck() {
    audioCancel_.reset();
    audioChecking_ = false;
    emit audioCheckChanged();
    updateFindings();
}

void AppModel::updateFindings() {
    QList<AudioFile> files;
    for (const Item& item : std::as_const(items_)) {
        if (!item.audio)
            continue;
        const auto content = audioContents_.constFind(item.url);
        files << AudioFile{item.fileName(), *item.audio,
                           content == audioContents_.cend()
                               ? std::nullopt
                               : std::optional<AudioContent>(*content)};
    }
    QList<AudioFinding> findings = Engine::audioFindings(files);
    if (findings == findings_)
        return;
    findingsByFile_.clear();
    for (const AudioFinding& f : std::as_const(findings))
        for (const QString& file : f.files)
            findingsByFile_[file] << f.text;
    findings_ = std::move(findings);
    emit findingsChanged();
}

QStringList AppModel::findingsFor(const QString& fileName) const {
    return findingsByFile_.value(fileName);
}

void AppModel::setGroup(const QUuid& id, const std::optional<QString>& group) {
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

void AppModel::chooseFolder() {
    const std::optional<QString> chosen =
        presenter_->chooseFolder(tr("Choose"), tr("Choose the folder of tracks to sort"));
    if (chosen)
        load(*chosen);
}

bool AppModel::saveRules(const Config& cfg) {
    try {
        const QString path = Config::filePath();
        if (Config::unusableAt(path))
            Config::keepUnusable(path, *services_.fileOps);
        cfg.save();
    } catch (const std::exception& e) {
        setErrorMessage(tr("Couldn't save rules: %1").arg(describe(e)));
        return false;
    }
    update(config_, cfg, &AppModel::configChanged);
    // A result on screen stays as it was written; the next folder uses the new rules.
    if (folder_ && !resultURL_ && !busy_)
        reclassify();
    return true;
}

void AppModel::reset() {
    cancelAudioCheck();
    audioContents_.clear();
    update(folder_, std::optional<QString>(), &AppModel::folderChanged);
    setCopyDestination(std::nullopt);
    update(items_, QList<Item>(), &AppModel::itemsChanged);
    update(skipped_, QStringList(), &AppModel::skippedChanged);
    update(leftAlone_, QStringList(), &AppModel::leftAloneChanged);
    update(resultURL_, std::optional<QString>(), &AppModel::resultURLChanged);
    update(exportNote_, QString(), &AppModel::exportNoteChanged);
    update(resultInPlace_, false, &AppModel::resultInPlaceChanged);
    update(folderOrganized_, false, &AppModel::folderOrganizedChanged);
    update(putBackNote_, QString(), &AppModel::putBackNoteChanged);
    clearHistory();
    updateFindings();
}

QString AppModel::approvalBlocked() const {
    if (!folder_)
        return {};
    if (organizeInPlace_ && !folderWritable_)
        return tr("“%1” is read-only, so Vantrel can't organize it in place. Choose “Make a "
                  "sorted copy” to leave it as it is.")
            .arg(folderName(*folder_));
    if (organizeInPlace_)
        return {};
    if (copyDestination_) {
        const QString into = QDir::cleanPath(*copyDestination_);
        const QString from = QDir::cleanPath(*folder_);
        if (into == from || into.startsWith(from + QLatin1Char('/')))
            return tr("The sorted copy can't go inside “%1” itself. Choose another folder for "
                      "it.")
                .arg(folderName(*folder_));
        const QFileInfo info(into);
        if (!info.isDir())
            return tr("The folder “%1” chosen for the sorted copy is gone. Choose another "
                      "folder for it.")
                .arg(folderName(into));
        if (!info.isWritable())
            return tr("The folder “%1” chosen for the sorted copy is read-only. Choose another "
                      "folder for it.")
                .arg(folderName(into));
        return {};
    }
    if (!parentWritable_)
        return tr("The folder that holds “%1” is read-only, so the sorted copy can't be made "
                  "next to it. Choose where the sorted copy goes.")
            .arg(folderName(*folder_));
    return {};
}

void AppModel::setCopyDestination(const std::optional<QString>& folder) {
    // Told also when the same folder is set again: whether it can be written is read anew.
    copyDestination_ = folder;
    emit copyDestinationChanged();
}

void AppModel::chooseCopyDestination() {
    if (!presenter_ || !folder_)
        return;
    if (const std::optional<QString> chosen = presenter_->chooseFolder(
            tr("Choose"),
            tr("Choose the folder the sorted copy of “%1” goes into").arg(folderName(*folder_))))
        setCopyDestination(QDir::cleanPath(*chosen));
}

void AppModel::approve() {
    if (!folder_ || busy_ || items_.isEmpty() || !approvalBlocked().isEmpty())
        return;
    cancelAudioCheck();
    const bool inPlace = organizeInPlace_;
    const QList<Item> list = items_;
    const QString from = *folder_;

    const QString title =
        inPlace ? tr("Organizing “%1”").arg(folderName(from)) : tr("Making the sorted copy");
    startBusy(title, tr("%n files", nullptr, int(list.size())), true, 0.0);

    Worker::run([model = QPointer<AppModel>(this),
                 cancelFlag = std::weak_ptr<std::atomic<bool>>(cancelFlag_), list, from, inPlace,
                 into = copyDestination_.value_or(QString()), ops = services_.fileOps,
                 clock = &services_.platform->clock()] {
        // The time of the last published update; none is the distant past. Shared by all
        // progress reports of this export, touched on this thread only.
        std::optional<Clock::Duration> lastUpdate;
        const Engine::Progress progress = [&lastUpdate, clock, model](int done, int total) {
            const Clock::Duration now = clock->now();
            if (lastUpdate && now - *lastUpdate <= kProgressInterval && done != total)
                return;
            lastUpdate = now;
            Worker::toMainThread([model, done, total] {
                if (model)
                    model->publishProgress(done, total);
            });
        };
        const Engine::Cancelled cancelled = [cancelFlag] {
            const auto flag = cancelFlag.lock();
            return flag && flag->load();
        };

        ExportOutcome outcome;
        try {
            outcome.result =
                Engine::exportItems(list, from, inPlace ? ExportMode::inPlace : ExportMode::copy,
                                    progress, cancelled, *ops, into);
        } catch (const CancelledError&) {
            outcome.cancelled = true;
        } catch (const std::exception& e) {
            outcome.error = describe(e);
        }
        Worker::toMainThread([model, outcome = std::move(outcome), list, inPlace] {
            if (model)
                model->finishApproval(outcome, list, inPlace);
        });
    });
}

void AppModel::publishProgress(int done, int total) {
    busyState_.setProgress(std::optional<double>(double(done) / double(total < 2 ? 1 : total)));
    busyState_.setDetail(tr("%1 of %n files", nullptr, total).arg(done));
}

QString AppModel::exportNoteOf(const ExportResult& result) {
    if (result.inPlace) {
        const QString moved = tr("%n files moved into their folders: nothing copied, no extra "
                                 "space used.",
                                 nullptr, result.files);
        if (!result.unlocked)
            return moved;
        return moved + QLatin1Char(' ') +
               tr("The folder's disk can't be locked, so another program could have changed "
                  "the folder while Vantrel organized it.");
    }
    if (result.copiedBytes > 0)
        return tr("Copied %1 GB (this disk cannot clone files).")
            .arg(QLocale().toString(double(result.copiedBytes) / 1e9, 'f', 1));
    return tr("%n files cloned: no extra disk space used.", nullptr, result.cloned);
}

void AppModel::finishApproval(const ExportOutcome& outcome, const QList<Item>& written,
                              bool inPlace) {
    update(busy_, false, &AppModel::busyChanged);
    if (!outcome.result) {
        // Back on the review: the checks go on with the files not read yet.
        startAudioCheck();
        if (outcome.cancelled)
            return;
        setErrorMessage(inPlace ? tr("Couldn't organize the folder: %1").arg(outcome.error)
                                : tr("Couldn't create the sorted folder: %1").arg(outcome.error));
        return;
    }
    update(resultURL_, std::optional<QString>(outcome.result->url), &AppModel::resultURLChanged);
    update(exportNote_, exportNoteOf(*outcome.result), &AppModel::exportNoteChanged);
    update(resultInPlace_, outcome.result->inPlace, &AppModel::resultInPlaceChanged);
    update(exportedItems_, written, &AppModel::exportedItemsChanged);
    sendEnd_ = SendEnd::none;
    update(sendResult_, std::optional<QString>(), &AppModel::sendResultChanged);
    clearHistory();
}

void AppModel::cancel() {
    cancelFlag_->store(true);
}

void AppModel::undoOrganize() {
    const bool fromResult = resultURL_ && resultInPlace_;
    if ((!fromResult && !(folder_ && folderOrganized_)) || busy_)
        return;
    startBusy(tr("Putting the files back"), QString(), false, std::nullopt);

    Worker::run([model = QPointer<AppModel>(this), folder = fromResult ? *resultURL_ : *folder_,
                 ops = services_.fileOps] {
        std::optional<QString> error;
        QString note;
        try {
            note = Engine::undo(folder, *ops).note();
        } catch (const std::exception& e) {
            error = describe(e);
        }
        Worker::toMainThread([model, error, note] {
            if (model)
                model->finishPutBack(error, note);
        });
    });
}

void AppModel::finishPutBack(const std::optional<QString>& error, const QString& note) {
    update(busy_, false, &AppModel::busyChanged);
    if (error) {
        update(putBackNote_, QString(), &AppModel::putBackNoteChanged);
        setErrorMessage(tr("Couldn't put the files back: %1").arg(*error));
        return;
    }
    update(resultURL_, std::optional<QString>(), &AppModel::resultURLChanged);
    update(exportedItems_, QList<Item>(), &AppModel::exportedItemsChanged);
    // The folder is read again; the note, set after the load began, stays with its review.
    if (folder_)
        load(*folder_);
    update(putBackNote_, note, &AppModel::putBackNoteChanged);
}

void AppModel::sendToLogic(SendMode mode) {
    if (!resultURL_ || sending_)
        return;
    Platform& platform = *services_.platform;
    Accessibility& ax = platform.accessibility();
    if (!ax.isTrusted()) {
        ax.promptForTrust();
        setErrorMessage(tr("Allow Vantrel in System Settings > Privacy & Security > "
                           "Accessibility, then try again."));
        return;
    }
    if (!LogicBridge::logicApp(platform)) {
        setErrorMessage(tr("Open Logic Pro with an empty project first, then try again."));
        return;
    }

    const QList<SendJob> jobs = sendJobs(exportedItems_, config_, resultURL_);
    const bool groupInName = config_.groupInName;
    // The previous sender, if any, is released here: its send has ended and let go of it.
    sender_ = std::make_shared<LogicSender>(platform);

    update(sending_, true, &AppModel::sendingChanged);
    sendProgress_.set(tr("Starting…"), 0.0);
    sendEnd_ = SendEnd::none;
    update(sendResult_, std::optional<QString>(), &AppModel::sendResultChanged);

    presenter_->hideMainWindow();
    const Rect visible = platform.screen().visibleFrame();
    presenter_->showSendPanel(
        {visible.origin.x + visible.size.width - kSendPanelMargin - sendPanelSize.width,
         visible.origin.y + kSendPanelMargin});

    // No log, for example where the configuration folder cannot be made: the send goes on.
    const SendLog log;
    log.start(*services_.fileOps);

    const QPointer<AppModel> model(this);
    Clock* clock = &platform.clock();
    const Clock::Duration start = clock->now();
    sender_->onProgress = [model, clock, start, log](const QString& status, double fraction) {
        const double seconds = std::chrono::duration<double>(clock->now() - start).count();
        log.append(sendLogLine(seconds, fraction, status));
        if (isSendNote(status))
            return;
        Worker::toMainThread([model, status, fraction] {
            if (model)
                model->publishSendProgress(status, fraction);
        });
    };

    Worker::run([model, sender = sender_, mode, jobs, groupInName, log]() mutable {
        const SendOutcome outcome = sender->send(mode, jobs, groupInName);
        log.append(outcome.logLine());
        // The model's reference is the last: a sender never ends on this thread while the next
        // send may already use the platform on another.
        sender.reset();
        Worker::toMainThread([model, outcome] {
            if (model)
                model->finishSend(outcome);
        });
    });
}

void AppModel::publishSendProgress(const QString& status, double fraction) {
    sendProgress_.set(status, fraction);
}

void AppModel::finishSend(const SendOutcome& outcome) {
    update(sending_, false, &AppModel::sendingChanged);
    const SendEnd end = outcome.ok          ? SendEnd::sent
                        : outcome.cancelled ? SendEnd::cancelled
                                            : SendEnd::failed;
    if (end != sendEnd_) {
        // Both change together: the text is announced once, after the state it belongs to.
        sendEnd_ = end;
        sendResult_.reset();
    }
    update(sendResult_, std::optional<QString>(outcome.result), &AppModel::sendResultChanged);
    presenter_->closeSendPanel();
    presenter_->restoreMainWindow();
    presenter_->activateApplication();
}

void AppModel::cancelSend() {
    if (sender_)
        sender_->cancelled.store(true);
}

void AppModel::checkLogicConnection() {
    setErrorMessage(LogicBridge::checkConnection(*services_.platform, LogicBridge::dumpPath(),
                                                 *services_.fileOps)
                        .message);
}

// ---- Suggestions and learned words

namespace {

// The stem the scan classified: the file name without its extension and the dot.
QString stemOf(const Item& item) {
    const QString name = item.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 ? name.left(dot) : name;
}

} // namespace

struct AppModel::SuggestionRules {
    explicit SuggestionRules(const Config& cfg) : config(cfg), classifier(cfg), suggester(cfg) {}
    // The suggestion for a track without a group that the rules leave unsorted.
    std::optional<Suggestion> suggestionFor(const Item& item) const;

    Config config;
    Engine::Classifier classifier;
    Suggester suggester;
};

QString ReviewHost::LearnOffer::question() const {
    return AppModel::tr("Add “%1” to the words of %2?").arg(word, group);
}

const AppModel::SuggestionRules& AppModel::suggestionRules() const {
    if (!suggestionRules_ || !(suggestionRules_->config == config_))
        suggestionRules_ = std::make_unique<SuggestionRules>(config_);
    return *suggestionRules_;
}

std::optional<Suggestion> AppModel::SuggestionRules::suggestionFor(const Item& item) const {
    if (item.group)
        return std::nullopt;
    const QString stem = stemOf(item);
    // A track the rules sort and the user took out of its group stays where the user put it.
    if (classifier.classify(stem).group)
        return std::nullopt;
    return suggester.suggest(stem);
}

std::optional<Suggestion> AppModel::suggestion(const QUuid& id) const {
    const auto found = std::find_if(items_.cbegin(), items_.cend(),
                                    [&id](const Item& item) { return item.id == id; });
    if (found == items_.cend())
        return std::nullopt;
    return suggestionRules().suggestionFor(*found);
}

std::optional<Suggestion> AppModel::suggestionFor(const Item& item) const {
    return suggestionRules().suggestionFor(item);
}

int AppModel::suggestionCount() const {
    const SuggestionRules& rules = suggestionRules();
    return int(std::count_if(items_.cbegin(), items_.cend(), [&rules](const Item& item) {
        return rules.suggestionFor(item).has_value();
    }));
}

void AppModel::acceptSuggestion(const QUuid& id) {
    if (const std::optional<Suggestion> s = suggestion(id))
        setGroup(id, s->group);
}

void AppModel::acceptAllSuggestions() {
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

void AppModel::offerToLearn(const Item& item, const QString& group) {
    const auto target = std::find_if(config_.groups.cbegin(), config_.groups.cend(),
                                     [&group](const RuleGroup& g) { return g.name == group; });
    if (target == config_.groups.cend())
        return;
    // The suggestion's own word when the track goes where it was suggested, else the first
    // word of its name.
    const std::optional<Suggestion> suggested = suggestionRules().suggestionFor(item);
    QString word = suggested && suggested->group == group && !suggested->word.isEmpty()
                       ? suggested->word
                       : Engine::learnableWord(stemOf(item), config_);
    if (word.isEmpty() || target->aliases.contains(word) || offeredWords_.contains(word))
        return;
    offeredWords_.insert(word);
    update(learnOffer_, std::optional<LearnOffer>(LearnOffer{word, group}),
           &AppModel::learnOfferChanged);
}

void AppModel::acceptLearnOffer() {
    if (!learnOffer_)
        return;
    const LearnOffer offer = *learnOffer_;
    update(learnOffer_, std::optional<LearnOffer>(), &AppModel::learnOfferChanged);
    Config cfg = config_;
    for (RuleGroup& g : cfg.groups) {
        if (g.name == offer.group) {
            if (!g.aliases.contains(offer.word))
                g.aliases << offer.word;
            saveRules(cfg);
            return;
        }
    }
}

void AppModel::declineLearnOffer() {
    update(learnOffer_, std::optional<LearnOffer>(), &AppModel::learnOfferChanged);
}

// ---- The review's history

void AppModel::applyStep(const Step& step, bool backwards) {
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
    update(items_, Engine::finalize(std::move(items), config_, placed_), &AppModel::itemsChanged);
}

void AppModel::recordStep(Step step) {
    undo_.append(std::move(step));
    redo_.clear();
    emit historyChanged();
}

void AppModel::clearHistory() {
    if (byHand_.isEmpty() && undo_.isEmpty() && redo_.isEmpty())
        return;
    byHand_.clear();
    undo_.clear();
    redo_.clear();
    emit historyChanged();
}

void AppModel::undo() {
    if (!canUndo())
        return;
    const Step step = undo_.takeLast();
    applyStep(step, true);
    redo_.append(step);
    emit historyChanged();
}

void AppModel::redo() {
    if (!canRedo())
        return;
    const Step step = redo_.takeLast();
    applyStep(step, false);
    undo_.append(step);
    emit historyChanged();
}

void AppModel::reclassify() {
    const Engine::Classifier& classifier = suggestionRules().classifier;
    QSet<QString> groups;
    for (const RuleGroup& g : config_.groups)
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
    update(items_, Engine::finalize(std::move(items), config_, placed_), &AppModel::itemsChanged);
    emit historyChanged();
}

} // namespace Vantrel
