// tambrell-update-sim as a test runs it: script in, console and report out.
#include "tests/support/sim_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::string kBanner = "TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n";

std::string SampleImageText()
{
    std::ifstream in(std::filesystem::path(TAMBRELL_SOURCE_DIR) / "examples" / "quillstrand_v1.2.kit",
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SimHarness, RunsTheToolAndReadsItsReport)
{
    TempFolder folder;
    folder.Write("quillstrand_v1.2.kit", SampleImageText());
    SimRun run = RunSimulated(folder, "clock=virtual");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.console.substr(0, kBanner.size()), kBanner);
    ASSERT_TRUE(run.reported);
    EXPECT_EQ(run.report.inputsOpened, run.report.inputsClosed);
    EXPECT_EQ(run.report.outputsOpened, run.report.outputsClosed);
    EXPECT_EQ(run.report.headersPrepared, 0u);
}

TEST(SimHarness, RefusesAScriptItCannotRead)
{
    TempFolder folder;
    SimRun run = RunSimulated(folder, "clock=virtual; reply=2:20");
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.console, "");
    EXPECT_FALSE(run.reported);
}

}  // namespace
