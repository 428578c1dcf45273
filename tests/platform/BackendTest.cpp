// Which Logic Pro the app and vantrel-cli drive: the real one only on macOS and only when the
// simulator is not asked for.

#include "platform/Backend.h"

#include <gtest/gtest.h>

using namespace Vantrel;

namespace {

TEST(Backend, realLogicOnlyOnAMacAndOnlyWithoutSimulate) {
    struct Case {
        bool simulateAsked;
        bool onMac;
        Backend expected;
    } cases[] = {
        {false, true, Backend::mac},
        {true, true, Backend::simulated},
        {false, false, Backend::simulated},
        {true, false, Backend::simulated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "simulate " << c.simulateAsked << ", Mac " << c.onMac);
        EXPECT_EQ(chooseBackend(c.simulateAsked, c.onMac), c.expected);
    }
    // This build's own answer without --simulate.
    EXPECT_EQ(chooseBackend(false), builtForMac ? Backend::mac : Backend::simulated);
}

} // namespace
