// The waits for the controller: still restarting, plugged in late, back after its update. Each is
// bounded, counted on the simulated clock, and follows the controller as a new device when its
// ports leave and come back.
#include "tests/e2e/console_text.h"
#include "tests/e2e/update_run.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kImage = {0x00, 0x04, 0x12, 0x34, 0xBA, 0xFF};
const std::string kOpened = Opened("quillstrand.kit");
const std::string kUpdated = Progress(0, 0) + kSuccess;
const std::string kUpdatedRestarts = Progress(0, 0) + kRestarts;
const uint64_t kWaitMs = 30000;

SimRun RunWith(const std::string& script, const std::vector<std::string>& arguments = {})
{
    return RunUpdateOf(kImage, script, arguments);
}

TEST(ControllerWait, AsksARestartingControllerAgainAndFollowsItsNewPorts)
{
    SimRun starting = RunWith("restarting=3000");
    EXPECT_EQ(starting.console, kOpened + kPorts + kWaitingRestart + kUpdated);
    EXPECT_EQ(starting.report.flash, kImage);
    // Asked again about every half second: neither in a tight loop nor seconds after it is up.
    EXPECT_GE(starting.report.identifyRequests, 1u + 3000u / 500u);
    EXPECT_LE(starting.report.identifyRequests, 2u + 3000u / 400u);
    // Every request had its answer in time: the restart code at the end is believed.
    SimRun startingUpdated = RunWith("restarting=3000; size=6");
    EXPECT_EQ(startingUpdated.console, kOpened + kPorts + kWaitingRestart + kUpdatedRestarts + kWaitingBack + kBack);

    // Its ports leave while it restarts and come back as new ones: closed, found again, announced.
    const std::string moving = "restarting=2000; restart-at=1000; restart=500:1000";
    for (const std::string devices : {"", "preset=windows11; "}) {
        SimRun moved = RunWith(devices + moving);
        EXPECT_EQ(moved.console, kOpened + kPorts + kWaitingRestart + kPorts + kUpdated) << devices;
        EXPECT_EQ(moved.report.flash, kImage) << devices;
    }

    SimRun notWaiting = RunWith("restarting=3000", {"--wait", "0"});
    EXPECT_EQ(notWaiting.console, kOpened + kPorts + kResetting);
    EXPECT_EQ(notWaiting.report.identifyRequests, 1u);
}

TEST(ControllerWait, LooksAgainWhenAnInputArrives)
{
    SimRun late = RunWith("plug-in=2000");
    EXPECT_EQ(late.console, kOpened + kWaitingConnected + kPorts + kUpdated);
    EXPECT_EQ(late.report.flash, kImage);

    SimRun never = RunWith("plug-in=100000");
    EXPECT_EQ(never.console, kOpened + kNoDevice);
    EXPECT_GE(never.report.sleptMs, kWaitMs);
    EXPECT_LE(never.report.sleptMs, kWaitMs + 250u);

    // Among a Windows 11 PC's loopbacks the devices are asked when the controller arrives, not at
    // every look at the list: one search more than a run that found it at once.
    SimRun there = RunWith("preset=windows11");
    SimRun lateAmongLoops = RunWith("preset=windows11; plug-in=10000");
    SimRun neverAmongLoops = RunWith("preset=windows11; plug-in=100000");
    EXPECT_EQ(lateAmongLoops.console, kOpened + kWaitingConnected + kPorts + kUpdated);
    EXPECT_EQ(neverAmongLoops.console, kOpened + kNoDevice);
    EXPECT_EQ(lateAmongLoops.report.framesSent.size(),
              there.report.framesSent.size() + neverAmongLoops.report.framesSent.size());

    // A device named on the command line is used as it is, and --list says what is there now.
    TempFolder folder;
    folder.Write("quillstrand.kit", ToImageText(kImage));
    SimRun named = RunSimulated(folder.path(), "clock=virtual; plug-in=2000", {"--device", "quill"});
    EXPECT_EQ(named.console, kOpened + "Error: No MIDI device is named like 'quill'.\n\n");
    EXPECT_EQ(named.report.sleptMs, 0u);
    SimRun listed = RunSimulated(folder.path(), "clock=virtual; plug-in=2000", {"--list"});
    EXPECT_EQ(listed.console, "MIDI OUT 0: Microsoft GS Wavetable Synth\n"
                              "An update would stop: there is no MIDI input device.\n");
    EXPECT_EQ(listed.report.sleptMs, 0u);
}

TEST(ControllerWait, SaysWhetherTheControllerCameBackAfterItsUpdate)
{
    SimRun back = RunWith("size=6");
    EXPECT_EQ(back.console, kOpened + kPorts + kUpdatedRestarts + kWaitingBack + kBack);
    EXPECT_EQ(back.report.flash, kImage);

    // Still restarting after the wait: updated all the same.
    SimRun notBack = RunWith("size=6; restart=never");
    EXPECT_EQ(notBack.console, kOpened + kPorts + kUpdatedRestarts + kWaitingBack + kNotBack);
    EXPECT_LE(notBack.report.sleptMs, kWaitMs + 200u);

    SimRun notWaiting = RunWith("size=6", {"-w", "0"});
    EXPECT_EQ(notWaiting.console, kOpened + kPorts + kUpdatedRestarts);
    EXPECT_EQ(notWaiting.report.identifyRequests, 1u);
}

}  // namespace
