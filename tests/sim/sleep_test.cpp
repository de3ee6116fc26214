// The host's sleeps are what moves the controller's clock.
#include "backends/sim/sim_script.h"
#include "backends/sim/simulator.h"
#include "tests/sim/fake_host.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(SimSleep, TheControllersTimePassesAsTheHostSleeps)
{
    for (const char* clock : {"clock=virtual", "clock=real"}) {
        ConfigureSimulator(ParseSimScript(std::string(clock) + "; delay=30"));
        FakeHost host;
        ASSERT_TRUE(host.Connect());
        ASSERT_EQ(host.Send(IdentifyRequest()), MMSYSERR_NOERROR);
        auto start = std::chrono::steady_clock::now();
        Sleep(29);
        EXPECT_TRUE(host.Received().empty()) << clock;
        Sleep(1);
        auto slept = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(host.Received().size(), 1u) << clock;
        RunCounts counts = SimulatorCounts();
        EXPECT_EQ(counts.sleeps, 2u);
        EXPECT_EQ(counts.sleptMs, 30u);
        if (std::string(clock) == "clock=real") {
            EXPECT_GE(slept, std::chrono::milliseconds(30));
        }
    }
}

}  // namespace
