#include "platform/Clock.h"

#include <thread>

namespace Vantrel {

Clock::Duration SystemClock::now() const {
    return std::chrono::duration_cast<Duration>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void SystemClock::sleepFor(Duration d) {
    if (d.count() > 0)
        std::this_thread::sleep_for(d);
}

} // namespace Vantrel
