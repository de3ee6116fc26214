// The simulated service's own statements of the TAMBRELL_SIM script, beside the devices' and the
// controller's.
#include "backends/sim/sim_script.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(SimScript, ReadsTheServicesStatementsBesideTheOthers)
{
    SimSetup setup = ParseSimScript(
        "clock = virtual;fail-open=in:1;fail-open=out: 2;fail-start=0;fail-add-buffer=3;stall=4:50;"
        "still-playing=3;stray=70;in=A;model=2A;unplug=5");
    EXPECT_EQ(setup.clock, SimClock::Virtual);
    EXPECT_EQ(setup.devices.failingInputOpens, std::vector<uint32_t>{1});
    EXPECT_EQ(setup.devices.failingOutputOpens, std::vector<uint32_t>{2});
    EXPECT_EQ(setup.failingStarts, std::vector<uint32_t>{0});
    EXPECT_EQ(setup.failingAddBuffers, std::vector<uint32_t>{3});
    ASSERT_EQ(setup.stalls.size(), 1u);
    EXPECT_EQ(setup.stalls[0].frame, 4u);
    EXPECT_EQ(setup.stalls[0].ms, 50u);
    EXPECT_EQ(setup.stillPlayingUnprepares, 3u);
    EXPECT_EQ(setup.strayAtMs, std::vector<uint32_t>{70});
    EXPECT_EQ(setup.devices.inputs, std::vector<std::string>{"A"});
    EXPECT_EQ(setup.controller.firmware.model, 0x2A);
    EXPECT_EQ(setup.controller.unplugAtFrame, 5u);

    EXPECT_EQ(ParseSimScript("still-playing=always").stillPlayingUnprepares, ALWAYS);
    EXPECT_EQ(ParseSimScript("").clock, SimClock::Real);
    for (const char* bad : {"clock=fast", "fail-open=up:1", "stall=4", "not-ready=4", "answering=Synth", "nonsense=1"}) {
        EXPECT_THROW(ParseSimScript(bad), std::invalid_argument) << bad;
    }
}

}  // namespace
