#pragma once

#include <atomic>
#include <chrono>

namespace Vantrel {

// Time as every wait, poll, pause and timestamp of the automation sees it.
class Clock {
public:
    using Duration = std::chrono::nanoseconds;

    virtual ~Clock() = default;
    // Time since an arbitrary start, never going backwards.
    virtual Duration now() const = 0;
    // Returns once at least d has passed on this clock.
    virtual void sleepFor(Duration d) = 0;
};

// The machine's monotonic clock; sleeping sleeps the calling thread.
class SystemClock : public Clock {
public:
    Duration now() const override;
    void sleepFor(Duration d) override;
};

// Simulated time for tests: sleeping moves the time forward at once, so a 30-second time-out
// takes no real time. Safe to read and advance from several threads.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(Duration start = Duration::zero()) : now_(start.count()) {}
    Duration now() const override { return Duration(now_.load()); }
    void sleepFor(Duration d) override { advance(d); }
    // Moves the time forward by d (a negative d is ignored).
    void advance(Duration d) {
        if (d.count() > 0)
            now_.fetch_add(d.count());
    }

private:
    std::atomic<Duration::rep> now_;
};

} // namespace Vantrel
