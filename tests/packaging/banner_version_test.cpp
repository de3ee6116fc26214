// The banner shows users the version that the exe's resources, the zip and the package carry,
// all taken from the project's version: a new version must change the banner too.
#include "tests/support/run_tool.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

TEST(BannerVersion, IsTheProjectVersion)
{
    TempFolder empty;
    ToolOutput output = RunTool(TAMBRELL_UPDATE_EXE, empty.path());
    std::string banner = output.console.substr(0, output.console.find('\n') + 1);
    EXPECT_EQ(banner, "TAMBRELL Update V" + std::to_string(PROJECT_VERSION_MAJOR) + "." +
                          std::to_string(PROJECT_VERSION_MINOR) +
                          " -> TAMBRELL quillstrand System\n");
}
