// The USB device program's setup: the controller's statements of TAMBRELL_SIM, and none that only
// the simulated service or the page's stand-in device can carry out.
#include "tools/common/device_run.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <stdlib.h>

namespace {

ControllerSetup SetUpBy(const char* script)
{
    setenv("TAMBRELL_SIM", script, 1);
    ControllerSetup setup = SetupFromEnvironment();
    unsetenv("TAMBRELL_SIM");
    return setup;
}

TEST(DeviceRun, TakesTheControllersStatementsOnly)
{
    ControllerSetup setup = SetUpBy("unplug=40; size=100; reply=*.1:20; send=0:F0 34 F7");
    EXPECT_EQ(setup.unplugAtFrame, 40u);
    EXPECT_EQ(setup.firmware.firmwareSize, 100u);
    // A device cannot make the host stall, and the link's devices are the system's: a scenario
    // that asks for either must not pass as if it ran.
    for (const char* script : {"clock=real", "in=quillstrand MIDI,other", "out=", "controller=other",
                               "fail-open=in:0", "fail-start=0", "still-playing=1", "stray=0", "stall=2:100",
                               "loop=A", "second=B", "preset=windows11", "fail-add-buffer=0"}) {
        EXPECT_THROW(SetUpBy(script), std::invalid_argument) << script;
    }
    unsetenv("TAMBRELL_SIM");
}

}  // namespace
