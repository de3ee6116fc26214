// The banner and --version show users the version that the exe's resources, the zip and the
// package carry, all taken from the project's version: a new version must change them too.
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

TEST(VersionOption, IsTheProjectVersion)
{
    TempFolder empty;
    for (const char* option : {"--version", "-V"}) {
        ToolOutput output = RunTool(TAMBRELL_UPDATE_EXE, empty.path(), {}, {option});
        EXPECT_EQ(output.console, "tambrell-update " PROJECT_VERSION "\n") << option;
        EXPECT_EQ(output.exitStatus, 0) << option;
    }
}
