#pragma once

// One run of the tool on an image against a simulated controller, in a fresh folder.
#include "tests/support/image_text.h"
#include "tests/support/run_endings.h"
#include "tests/support/sim_run.h"

#include <gtest/gtest.h>

// Runs "quillstrand.kit" holding `image` with the controller set up by `script` on the virtual
// clock. Whatever the outcome, no port may be left open, and the exit status is the outcome's.
inline SimRun RunUpdateOf(const std::vector<uint8_t>& image, const std::string& script,
                          const std::vector<std::string>& arguments = {})
{
    TempFolder folder;
    folder.Write("quillstrand.kit", ToImageText(image));
    SimRun run = RunSimulated(folder.path(), "clock=virtual;" + script, arguments);
    const RunEnding* ending = EndingOf(run.console);
    EXPECT_EQ(run.exitStatus, ending ? ending->exitStatus : -1) << script;
    EXPECT_TRUE(run.reported) << script;
    EXPECT_EQ(run.report.inputsOpen + run.report.outputsOpen, 0u) << script;
    EXPECT_EQ(run.report.inputsOpened, run.report.inputsClosed) << script;
    EXPECT_EQ(run.report.outputsOpened, run.report.outputsClosed) << script;
    EXPECT_EQ(run.report.headersPrepared, 0u) << script;
    return run;
}
