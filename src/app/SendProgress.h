#pragma once

#include <QObject>
#include <QString>

namespace Vantrel {

// What the send panel shows while a send runs: the sender's status line and the fraction done
// (0 to 1). The send (SendModel) owns and sets it; the panel needs nothing else of it.
// All calls on the main thread.
class SendProgress : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const QString& status() const { return status_; }
    double fraction() const { return fraction_; }

    // Each value told when it changed: the status first.
    void set(const QString& status, double fraction);
    // The panel's Cancel and Escape: the owner cancels the send.
    void requestCancel() { emit cancelRequested(); }

signals:
    void statusChanged();
    void fractionChanged();
    void cancelRequested();

private:
    QString status_;
    double fraction_ = 0;
};

} // namespace Vantrel
