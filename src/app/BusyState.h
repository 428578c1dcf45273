#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace Vantrel {

// What the busy screen shows while a load, an approval, a put-back or a session export runs: a
// title, the line under it, the fraction done (none when the work has no measurable progress)
// and whether it can be cancelled. The application model owns and sets it; the busy screen needs
// nothing else of the model. All calls on the main thread.
class BusyState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const QString& title() const { return title_; }
    const QString& detail() const { return detail_; }
    const std::optional<double>& progress() const { return progress_; }
    bool cancellable() const { return cancellable_; }

    // A new piece of work: every value at once, each told when it changed.
    void start(const QString& title, const QString& detail, bool cancellable,
               std::optional<double> progress);
    void setDetail(const QString& detail);
    void setProgress(std::optional<double> progress);
    // The busy screen's Cancel: the owner stops the work.
    void requestCancel() { emit cancelRequested(); }

signals:
    void titleChanged();
    void detailChanged();
    void progressChanged();
    void cancellableChanged();
    void cancelRequested();

private:
    QString title_;
    QString detail_;
    std::optional<double> progress_;
    bool cancellable_ = false;
};

} // namespace Vantrel
