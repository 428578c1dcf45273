#include "app/ApprovalModel.h"

#include "app/ModelText.h"
#include "app/Presenter.h"
#include "app/ReviewSession.h"
#include "app/RulesModel.h"
#include "app/Settings.h"
#include "app/Worker.h"
#include "automation/SendJobs.h"
#include "core/Engine.h"
#include "core/Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>

#include <chrono>
#include <exception>
#include <stdexcept>
#include <utility>

namespace Vantrel {

using ModelText::describe;
using ModelText::folderName;

using namespace std::chrono_literals;

// How an export ended, carried from the worker to the main thread.
struct ApprovalModel::ExportOutcome {
    std::optional<ExportResult> result;
    bool cancelled = false;
    QString error;
};

namespace {

// Progress of an export reaches the screen at most this often, plus its last report.
constexpr auto kProgressInterval = 100ms;

const AppServices& checked(const AppServices& services) {
    if (!services.platform)
        throw std::invalid_argument("ApprovalModel needs a platform");
    return services;
}

} // namespace

ApprovalModel::ApprovalModel(ReviewSession& review, const RulesModel& rules, BusyState& busy,
                             const AppServices& services, QObject* parent)
    : QObject(parent), review_(review), rules_(rules), busy_(busy), services_(checked(services)),
      organizeInPlace_(Settings::organizeInPlace()) {
    connect(&busy_, &BusyState::cancelRequested, this, &ApprovalModel::cancel);
    // A chosen folder belongs to the folder it was chosen for.
    connect(&review_, &ReviewSession::folderChanged, this, [this] {
        if (copyDestination_)
            setCopyDestination(std::nullopt);
    });
}

template <typename T>
void ApprovalModel::update(T& field, T value, void (ApprovalModel::*changed)()) {
    if (field == value)
        return;
    field = std::move(value);
    emit(this->*changed)();
}

void ApprovalModel::setOrganizeInPlace(bool inPlace) {
    update(organizeInPlace_, inPlace, &ApprovalModel::organizeInPlaceChanged);
    Settings::setOrganizeInPlace(inPlace);
}

QStringList ApprovalModel::dragURLs() const {
    return Vantrel::dragURLs(sendJobs(exportedItems_, rules_.config(), resultURL_));
}

void ApprovalModel::onResultChanged(QObject* context, std::function<void()> changed) {
    for (auto signal : {&ApprovalModel::resultURLChanged, &ApprovalModel::resultInPlaceChanged,
                        &ApprovalModel::exportNoteChanged, &ApprovalModel::exportedItemsChanged})
        connect(this, signal, context, changed);
}

void ApprovalModel::onApprovalChanged(QObject* context, std::function<void()> changed) {
    connect(this, &ApprovalModel::organizeInPlaceChanged, context, changed);
    connect(this, &ApprovalModel::copyDestinationChanged, context, changed);
    connect(&review_, &ReviewSession::writableChanged, context, changed);
    connect(&review_, &ReviewSession::folderChanged, context, changed);
}

void ApprovalModel::showPrepared(const QString& folder, const QList<Item>& items, bool inPlace) {
    update(exportNote_,
           tr("Prepared by Vantrel before: %n tracks ready to send to Logic.", nullptr,
              int(items.size())),
           &ApprovalModel::exportNoteChanged);
    update(resultInPlace_, inPlace, &ApprovalModel::resultInPlaceChanged);
    update(exportedItems_, items, &ApprovalModel::exportedItemsChanged);
    emit newResult();
    update(resultURL_, std::optional<QString>(folder), &ApprovalModel::resultURLChanged);
}

void ApprovalModel::clearResult() {
    update(resultURL_, std::optional<QString>(), &ApprovalModel::resultURLChanged);
}

void ApprovalModel::reset() {
    review_.clear();
    setCopyDestination(std::nullopt);
    update(resultURL_, std::optional<QString>(), &ApprovalModel::resultURLChanged);
    update(exportNote_, QString(), &ApprovalModel::exportNoteChanged);
    update(resultInPlace_, false, &ApprovalModel::resultInPlaceChanged);
}

QString ApprovalModel::approvalBlocked() const {
    const std::optional<QString>& reviewed = review_.folder();
    if (!reviewed)
        return {};
    if (organizeInPlace_ && !review_.folderWritable())
        return tr("“%1” is read-only, so Vantrel can't organize it in place. Choose “Make a "
                  "sorted copy” to leave it as it is.")
            .arg(folderName(*reviewed));
    if (organizeInPlace_)
        return {};
    if (copyDestination_) {
        const QString into = QDir::cleanPath(*copyDestination_);
        const QString from = QDir::cleanPath(*reviewed);
        if (into == from || into.startsWith(from + QLatin1Char('/')))
            return tr("The sorted copy can't go inside “%1” itself. Choose another folder for "
                      "it.")
                .arg(folderName(*reviewed));
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
    if (!review_.parentWritable())
        return tr("The folder that holds “%1” is read-only, so the sorted copy can't be made "
                  "next to it. Choose where the sorted copy goes.")
            .arg(folderName(*reviewed));
    return {};
}

void ApprovalModel::setCopyDestination(const std::optional<QString>& folder) {
    // Told also when the same folder is set again: whether it can be written is read anew.
    copyDestination_ = folder;
    emit copyDestinationChanged();
}

void ApprovalModel::chooseCopyDestination() {
    const std::optional<QString>& reviewed = review_.folder();
    if (!presenter_ || !reviewed)
        return;
    if (const std::optional<QString> chosen = presenter_->chooseFolder(
            tr("Choose"),
            tr("Choose the folder the sorted copy of “%1” goes into").arg(folderName(*reviewed))))
        setCopyDestination(QDir::cleanPath(*chosen));
}

void ApprovalModel::approve() {
    if (!review_.folder() || busy_.busy() || review_.items().isEmpty() ||
        !approvalBlocked().isEmpty())
        return;
    review_.cancelAudioCheck();
    const bool inPlace = organizeInPlace_;
    const QList<Item> list = review_.items();
    const QString from = *review_.folder();

    const QString title =
        inPlace ? tr("Organizing “%1”").arg(folderName(from)) : tr("Making the sorted copy");
    busy_.start(title, tr("%n files", nullptr, int(list.size())), true, 0.0);

    Worker::run([model = QPointer<ApprovalModel>(this),
                 cancelFlag = std::weak_ptr<std::atomic<bool>>(busy_.cancelFlag()), list, from,
                 inPlace, into = copyDestination_.value_or(QString()), ops = services_.fileOps,
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

void ApprovalModel::publishProgress(int done, int total) {
    busy_.setProgress(std::optional<double>(double(done) / double(total < 2 ? 1 : total)));
    busy_.setDetail(tr("%1 of %n files", nullptr, total).arg(done));
}

QString ApprovalModel::exportNoteOf(const ExportResult& result) {
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

void ApprovalModel::finishApproval(const ExportOutcome& outcome, const QList<Item>& written,
                                   bool inPlace) {
    busy_.finish();
    if (!outcome.result) {
        // Back on the review: the checks go on with the files not read yet.
        review_.startAudioCheck();
        if (outcome.cancelled)
            return;
        emit alert(inPlace ? tr("Couldn't organize the folder: %1").arg(outcome.error)
                           : tr("Couldn't create the sorted folder: %1").arg(outcome.error));
        return;
    }
    update(resultURL_, std::optional<QString>(outcome.result->url),
           &ApprovalModel::resultURLChanged);
    update(exportNote_, exportNoteOf(*outcome.result), &ApprovalModel::exportNoteChanged);
    update(resultInPlace_, outcome.result->inPlace, &ApprovalModel::resultInPlaceChanged);
    update(exportedItems_, written, &ApprovalModel::exportedItemsChanged);
    emit newResult();
    review_.clearHistory();
}

void ApprovalModel::cancel() {
    busy_.cancel();
}

void ApprovalModel::undoOrganize() {
    const bool fromResult = resultURL_ && resultInPlace_;
    const std::optional<QString>& reviewed = review_.folder();
    if ((!fromResult && !(reviewed && review_.folderOrganized())) || busy_.busy())
        return;
    busy_.start(tr("Putting the files back"), QString(), false, std::nullopt);

    Worker::run([model = QPointer<ApprovalModel>(this),
                 folder = fromResult ? *resultURL_ : *reviewed, ops = services_.fileOps] {
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

void ApprovalModel::finishPutBack(const std::optional<QString>& error, const QString& note) {
    busy_.finish();
    if (error) {
        review_.setPutBackNote(QString());
        emit alert(tr("Couldn't put the files back: %1").arg(*error));
        return;
    }
    update(resultURL_, std::optional<QString>(), &ApprovalModel::resultURLChanged);
    update(exportedItems_, QList<Item>(), &ApprovalModel::exportedItemsChanged);
    // The folder is read again; the note, set after the load began, stays with its review.
    if (review_.folder())
        review_.load(*review_.folder());
    review_.setPutBackNote(note);
}

} // namespace Vantrel
