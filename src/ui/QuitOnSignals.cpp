#include "ui/QuitOnSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace Vantrel::Ui {

namespace {

// The pipe from the handler to the event loop: [0] read by the notifier, [1] written by the
// handler. -1 while no instance exists.
int pipeEnds[2] = {-1, -1};
std::map<int, struct sigaction> previous;

void onSignal(int number) {
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}

} // namespace

QuitOnSignals::QuitOnSignals(std::initializer_list<int> numbers, QObject* parent)
    : QObject(parent) {
    Q_ASSERT(pipeEnds[0] < 0);
    if (::pipe(pipeEnds) != 0) {
        pipeEnds[0] = pipeEnds[1] = -1;
        return; // the signals keep their default: the process ends at once
    }
    for (const int end : pipeEnds) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        unsigned char number = 0;
        if (::read(pipeEnds[0], &number, 1) == 1)
            QCoreApplication::exit(128 + number);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : numbers) {
        struct sigaction before = {};
        if (::sigaction(number, &action, &before) == 0)
            previous[number] = before;
    }
}

QuitOnSignals::~QuitOnSignals() {
    for (const auto& [number, before] : previous)
        ::sigaction(number, &before, nullptr);
    previous.clear();
    delete notifier_;
    for (int& end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

} // namespace Vantrel::Ui
