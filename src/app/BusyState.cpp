#include "app/BusyState.h"

namespace Vantrel {

void BusyState::start(const QString& title, const QString& detail, bool cancellable,
                      std::optional<double> progress) {
    cancelFlag_->store(false);
    if (title_ != title) {
        title_ = title;
        emit titleChanged();
    }
    setDetail(detail);
    if (cancellable_ != cancellable) {
        cancellable_ = cancellable;
        emit cancellableChanged();
    }
    setProgress(progress);
    // Last, so that the busy screen shows with every value of the new work.
    if (!busy_) {
        busy_ = true;
        emit busyChanged();
    }
}

void BusyState::finish() {
    if (!busy_)
        return;
    busy_ = false;
    emit busyChanged();
}

void BusyState::setDetail(const QString& detail) {
    if (detail_ == detail)
        return;
    detail_ = detail;
    emit detailChanged();
}

void BusyState::setProgress(std::optional<double> progress) {
    if (progress_ == progress)
        return;
    progress_ = progress;
    emit progressChanged();
}

} // namespace Vantrel
