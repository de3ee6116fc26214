// Identification against simulated controllers that answer, stay silent, restart or differ.
#include "tests/e2e/console_text.h"
#include "tests/e2e/update_run.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kImage = {0x00, 0x04, 0x12, 0x34, 0xBA, 0xFF};
const std::string kStart = Opened("quillstrand.kit") + kPorts;

SimRun RunWith(const std::string& script)
{
    return RunUpdateOf(kImage, script);
}

TEST(Identify, GoesOnOnlyWithAControllerOfTheImagesModel)
{
    SimRun matching = RunWith("");
    EXPECT_EQ(matching.console, kStart + Progress(0, 0) + kSuccess);
    EXPECT_EQ(matching.report.identifyRequests, 1u);
    EXPECT_EQ(matching.report.flash, kImage);

    SimRun other = RunWith("model=35");
    EXPECT_EQ(other.console, kStart + "Error: The device and the upgrade file is not matched!\n\n");
    EXPECT_EQ(other.report.framesSent.size(), 1u);

    // One that never stops restarting is asked again for the whole wait, and no longer.
    SimRun restarting = RunWith("ident-silent=5; model=15");
    EXPECT_EQ(restarting.console, kStart + kWaitingRestart + kResetting);
    EXPECT_GT(restarting.report.identifyRequests, 6u + 30u);
    EXPECT_EQ(restarting.report.framesSent.size(), restarting.report.identifyRequests);
    EXPECT_GE(restarting.report.sleptMs, 5u * 100u + 30000u);
    EXPECT_LE(restarting.report.sleptMs, 5u * 100u + 30000u + 100u);
}

TEST(Identify, GivesUpAfterNineteenRequests)
{
    SimRun silent = RunWith("ident-silent=always");
    EXPECT_EQ(silent.console, kStart + kNotResponding);
    EXPECT_EQ(silent.report.identifyRequests, 19u);
    EXPECT_EQ(silent.report.sleptMs, 19u * 100u);

    // A lone byte ends every wait at once but is no answer.
    SimRun stray = RunWith("ident-silent=always; stray=0");
    EXPECT_EQ(stray.console, kStart + kNotResponding);
    EXPECT_EQ(stray.report.identifyRequests, 19u);
    EXPECT_EQ(stray.report.sleptMs, 0u);

    SimRun unplugged = RunWith("unplug=1");
    EXPECT_EQ(unplugged.console, kStart + "Error: The MIDI Out of device is missing!\n\n");

    // A service that never gives the frame back fails the send instead of hanging the tool.
    SimRun neverDone = RunWith("still-playing=always");
    EXPECT_EQ(neverDone.console, unplugged.console);
    EXPECT_EQ(neverDone.report.sleptMs, 5000u);
}

TEST(Identify, TakesAnAnswerThatCameBeforeTheRequest)
{
    SimRun early = RunWith("ident-silent=always; send=0:F0 34 F7");
    EXPECT_EQ(early.console, kStart + Progress(0, 0) + kSuccess);
    EXPECT_EQ(early.report.identifyRequests, 1u);
    EXPECT_EQ(early.report.flash, kImage);
}

TEST(Identify, TakesTheFirstAnswerWhateverElseCameBeforeIt)
{
    // A SysEx cut short by the answer's F0, one cut short by a note (running status after it),
    // and short messages alone: active sensing, a note, clock, a program change.
    for (const char* before : {"send=1:F0 20", "send=1:F0 20 90 40 7F 40 00",
                               "send=1:FE; send=2:90 40 7F; send=3:F8 C0 05"}) {
        SimRun run = RunWith(std::string("delay=5; ") + before);
        EXPECT_EQ(run.console, kStart + Progress(0, 0) + kSuccess) << before;
        EXPECT_EQ(run.report.identifyRequests, 1u) << before;
    }
}

}  // namespace
