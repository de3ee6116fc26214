// Where Sleep is the kernel's, the controller's clock follows the wall clock (the real clock).
#include "sim/sim_script.h"
#include "sim/simulator.h"
#include "tests/sim/fake_host.h"

#include <gtest/gtest.h>

namespace {

TEST(SimSleep, TheControllersTimePassesAsTheHostSleeps)
{
    ConfigureSimulator(ParseSimScript("clock=real; delay=30"));
    FakeHost host;
    ASSERT_TRUE(host.Connect());
    ASSERT_EQ(host.Send(IdentifyRequest()), MMSYSERR_NOERROR);
    // However slow the machine, the answer comes once 30 ms have passed.
    for (int poll = 0; poll < 1000 && host.Received().empty(); ++poll) Sleep(5);
    EXPECT_EQ(host.Received().size(), 1u);
    EXPECT_GE(SimulatorCounts().clockMs, 30u);
}

}  // namespace
