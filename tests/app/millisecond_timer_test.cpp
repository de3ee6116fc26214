// The fine timer around the part of the run that paces itself: asked for once the image is good
// and before any port opens, given back once, after both ports are closed, on every way out.
// Whole runs in this process, with the timer and the pause replaced here to watch them.
#include "app/run_update.h"
#include "backends/sim/sim_script.h"
#include "backends/sim/simulator.h"
#include "os/pause.h"
#include "os/timer_resolution.h"
#include "tests/support/image_text.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct TimerCall {
    bool request;
    RunCounts seen;  // the simulated service at the time of the call
};
std::vector<TimerCall> timerCalls;

// Runs the whole update in a folder holding `image` text (none when empty) against the
// controller set up by `script`.
std::vector<TimerCall> TimerCallsOfRun(const std::string& image, const std::string& script)
{
    ConfigureSimulator(ParseSimScript("clock=virtual;" + script));
    timerCalls.clear();
    TempFolder folder;
    if (!image.empty()) folder.Write("quillstrand.kit", image);
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    RunUpdate();
    std::filesystem::current_path(home);
    return timerCalls;
}

}  // namespace

void RequestMillisecondTimer()
{
    timerCalls.push_back({true, SimulatorCounts()});
}

void ReleaseMillisecondTimer()
{
    timerCalls.push_back({false, SimulatorCounts()});
}

// Nobody is there to press a key.
void PauseConsole()
{
}

TEST(MillisecondTimer, IsHeldFromBeforeThePortsOpenUntilAfterTheyClose)
{
    std::string image = ToImageText(MakeRecord({0x12, 0x34}));

    std::vector<TimerCall> calls = TimerCallsOfRun(image, "");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_TRUE(calls[0].request);
    EXPECT_EQ(calls[0].seen.inputsOpened + calls[0].seen.outputsOpened, 0u);
    EXPECT_FALSE(calls[1].request);
    EXPECT_EQ(calls[1].seen.inputsClosed, 1u);
    EXPECT_EQ(calls[1].seen.outputsClosed, 1u);
    EXPECT_EQ(calls[1].seen.acceptedRecords, 1u);
    EXPECT_EQ(calls[1].seen.framesSent, SimulatorCounts().framesSent);

    // Ends in the port stage and in the identification are given the timer back as well.
    for (const char* script : {"in=", "in=quillstrand MIDI,other MIDI", "fail-open=out:1", "ident-silent=always"}) {
        calls = TimerCallsOfRun(image, script);
        ASSERT_EQ(calls.size(), 2u) << script;
        EXPECT_TRUE(calls[0].request && !calls[1].request) << script;
        EXPECT_EQ(calls[1].seen.inputsOpen + calls[1].seen.outputsOpen, 0u) << script;
    }
}

TEST(MillisecondTimer, IsNeverAskedForWhenTheImageStageFails)
{
    EXPECT_TRUE(TimerCallsOfRun("", "").empty());
    EXPECT_TRUE(TimerCallsOfRun("00 04 12 34 BA FE", "").empty());
}
