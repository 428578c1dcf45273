#pragma once

#include <QObject>

#include <csignal>
#include <initializer_list>

class QSocketNotifier;

namespace Vantrel::Ui {

// Ends the event loop when the process is asked to stop (SIGTERM, SIGINT, SIGHUP), so that the
// program leaves the way it does when the user quits: every object on the stack of main is
// destroyed and what it holds (the open-request socket) is removed. The handler only writes the
// signal's number into a pipe; the event loop reads it and exits with 128 + the number. One
// instance at a time; the previous handlers come back when it goes.
class QuitOnSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitOnSignals(std::initializer_list<int> numbers = {SIGTERM, SIGINT, SIGHUP},
                           QObject* parent = nullptr);
    ~QuitOnSignals() override;

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace Vantrel::Ui
