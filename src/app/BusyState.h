#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

namespace Vantrel {

// What the busy screen shows while a load, an approval, a put-back or a session export runs: a
// title, the line under it, the fraction done (none when the work has no measurable progress)
// and whether it can be cancelled, with whether any such work runs at all and the flag its Cancel
// sets. The application model owns it and hands it to the review session (a load) and the
// approval (approval, put-back, session export), which start and finish their work through it;
// the busy screen needs nothing else of the model. All calls on the main thread.
class BusyState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Work runs: the busy screen covers the window.
    bool busy() const { return busy_; }
    // Set by cancel(); running work polls it from its thread. Shared so that work still
    // running when the state is gone can hold it (weakly: then it reads "not cancelled").
    const std::shared_ptr<std::atomic<bool>>& cancelFlag() const { return cancelFlag_; }

    const QString& title() const { return title_; }
    const QString& detail() const { return detail_; }
    const std::optional<double>& progress() const { return progress_; }
    bool cancellable() const { return cancellable_; }

    // A new piece of work: busy, the cancel flag cleared and every value at once, each told
    // when it changed.
    void start(const QString& title, const QString& detail, bool cancellable,
               std::optional<double> progress);
    // The work ended: not busy any more.
    void finish();
    // Asks the running work to stop.
    void cancel() { cancelFlag_->store(true); }
    void setDetail(const QString& detail);
    void setProgress(std::optional<double> progress);
    // The busy screen's Cancel: the owner stops the work.
    void requestCancel() { emit cancelRequested(); }

signals:
    void busyChanged();
    void titleChanged();
    void detailChanged();
    void progressChanged();
    void cancellableChanged();
    void cancelRequested();

private:
    bool busy_ = false;
    std::shared_ptr<std::atomic<bool>> cancelFlag_ = std::make_shared<std::atomic<bool>>(false);
    QString title_;
    QString detail_;
    std::optional<double> progress_;
    bool cancellable_ = false;
};

} // namespace Vantrel
