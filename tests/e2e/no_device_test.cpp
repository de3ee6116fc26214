// The installed tool on the machine's real MIDI service, which here has no device at all.
#include "tests/e2e/console_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

bool MachineHasMidiDevices()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/snd", error)) {
        if (entry.path().filename().string().rfind("midi", 0) == 0) return true;
    }
    return false;
}

TEST(NoDevice, ACheckedImageEndsAtTheMissingDevice)
{
    if (MachineHasMidiDevices()) GTEST_SKIP() << "this machine has MIDI devices";
    TempFolder folder;
    folder.Write("quillstrand_v1.kit", "00 04 12 34 BA FF\r\n");
    // It waits for the controller to be connected, on the real clock, and no longer than it says.
    ToolOutput output = RunTool(TAMBRELL_UPDATE_EXE, folder.path(), {}, {"--wait", "1"});
    EXPECT_EQ(output.console, Opened("quillstrand_v1.kit") +
                                  "Waiting up to 1 s for the controller to be connected...\n"
                                  "Error: Did not find the USB Audio device, please check!\n\n");
    EXPECT_EQ(output.exitStatus, 2);
}

}  // namespace
