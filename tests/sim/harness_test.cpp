// tambrell-update-sim as a test runs it: script in, console and report out.
#include "tests/support/sim_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

const std::string kBanner = "TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n";

std::string SampleImageText()
{
    std::ifstream in(std::filesystem::path(TAMBRELL_SOURCE_DIR) / "examples" / "quillstrand_v1.2.kit",
                     std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ImageBytes(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::istringstream items(text);
    std::string item;
    while (items >> item) bytes.push_back(uint8_t(std::stoul(item, nullptr, 16)));
    return bytes;
}

TEST(SimHarness, RunsACompleteUpdateOfTheSampleImage)
{
    TempFolder folder;
    std::string text = SampleImageText();
    folder.Write("quillstrand_v1.2.kit", text);
    SimRun run = RunSimulated(folder, "clock=virtual");
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.console.substr(0, kBanner.size()), kBanner);
    const std::string success = "\rTransferring.. 100% done.  \nTarget update successfully!\n\n";
    EXPECT_NE(run.console.find(success), std::string::npos);
    ASSERT_TRUE(run.reported);
    EXPECT_EQ(run.report.flash, ImageBytes(text));
    EXPECT_EQ(run.report.identifyRequests, 1u);
    EXPECT_EQ(run.report.inputsOpened, 1u);
    EXPECT_EQ(run.report.inputsClosed, 1u);
    EXPECT_EQ(run.report.outputsOpened, 1u);
    EXPECT_EQ(run.report.outputsClosed, 1u);
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
