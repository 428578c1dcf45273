#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace Vantrel;
using namespace std::chrono_literals;

namespace {

// Verifies that virtual time moves only by sleeping, at once, and never backwards.
TEST(VirtualClock, shouldAdvanceOnlyBySleeping) {
    VirtualClock clock(5s);
    EXPECT_EQ(clock.now(), 5s);
    clock.sleepFor(30s);
    EXPECT_EQ(clock.now(), 35s);
    clock.sleepFor(-10s);
    EXPECT_EQ(clock.now(), 35s);
}

// Verifies that sleeps from several threads all count.
TEST(VirtualClock, shouldCountSleepsFromSeveralThreads) {
    VirtualClock clock;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&clock] {
            for (int i = 0; i < 1000; ++i)
                clock.sleepFor(1ms);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(clock.now(), 4000ms);
}

// Verifies that the system clock does not go backwards and sleeps at least as asked.
TEST(SystemClock, shouldSleepAtLeastAsAsked) {
    SystemClock clock;
    const auto before = clock.now();
    clock.sleepFor(2ms);
    EXPECT_GE(clock.now() - before, 2ms);
}

} // namespace
