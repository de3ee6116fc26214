// The installed tool's command line: options answer before any image is loaded, an image is named
// by its path from any folder, and anything else is refused for the script that gave it.
#include "tests/e2e/console_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// Damaged, so that every run ends in the image stage whatever MIDI devices the machine has.
const std::string kDamagedImage = "00 04 12 34 BA FE\r\n";
const std::string kUpgradeError = "Error: The upgrade file is error!\n\n";
const std::string kFitError = "Error: The fit file is not found.\n\n";

ToolOutput RunWith(const fs::path& folder, const std::vector<std::string>& arguments)
{
    return RunTool(TAMBRELL_UPDATE_EXE, folder, {}, arguments);
}

TEST(CommandLine, OptionsAnswerBeforeAnyImageIsLoaded)
{
    TempFolder folder;
    folder.Write("quillstrand.kit", kDamagedImage);
    ToolOutput help = RunWith(folder.path(), {"--help"});
    EXPECT_EQ(help.console.rfind("Usage: tambrell-update [-d NAME] [-w SECONDS] [IMAGE]\n", 0), 0u) << help.console;
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* same : {"-h", "/?"}) EXPECT_EQ(RunWith(folder.path(), {same}).console, help.console) << same;
    EXPECT_EQ(RunWith(folder.path(), {"-l"}).console.find(kBanner), std::string::npos);
}

TEST(CommandLine, RefusesAnythingElseWithTheUsageLine)
{
    TempFolder folder;
    folder.Write("quillstrand.kit", kDamagedImage);
    const std::string usage = "Usage: tambrell-update [-d NAME] [-w SECONDS] [IMAGE | --list] | --help | --version\n";
    const std::string seconds = "' needs a number of seconds from 0 to 3600\n";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--bogus"}, "tambrell-update: unknown option '--bogus'\n" + usage},
        {{"a.kit", "b.kit"}, usage},
        {{"--", "a.kit", "b.kit"}, usage},
        {{"--list", "a.kit"}, usage},
        {{"--list", "--version"}, usage},
        {{"-d"}, "tambrell-update: option '-d' needs the name of a MIDI device\n" + usage},
        {{"--device", ""}, "tambrell-update: option '--device' needs the name of a MIDI device\n" + usage},
        {{"--device="}, "tambrell-update: option '--device=' needs the name of a MIDI device\n" + usage},
        {{"-w"}, "tambrell-update: option '-w" + seconds + usage},
        {{"--wait=3601"}, "tambrell-update: option '--wait=3601" + seconds + usage},
        {{"--wait", "2s"}, "tambrell-update: option '--wait" + seconds + usage},
    };
    for (const auto& [arguments, errors] : cases) {
        ToolOutput output = RunWith(folder.path(), arguments);
        EXPECT_EQ(output.console, "") << arguments[0];
        EXPECT_EQ(output.errors, errors) << arguments[0];
        EXPECT_EQ(output.exitStatus, 64) << arguments[0];
    }
    // "--" ends the options: what follows is the image, whatever it looks like; with nothing after
    // it, the image is looked for as without any argument.
    ToolOutput none = RunWith(folder.path(), {});
    ToolOutput ended = RunWith(folder.path(), {"--"});
    EXPECT_EQ(none.console, Opened("quillstrand.kit") + kUpgradeError);
    EXPECT_EQ(ended.console, none.console);
    EXPECT_EQ(ended.errors, "");
    EXPECT_EQ(ended.exitStatus, 1);
    folder.Write("-quillstrand.kit", kDamagedImage);
    EXPECT_EQ(RunWith(folder.path(), {"--", "quillstrand.kit"}).console, Opened("quillstrand.kit") + kUpgradeError);
    EXPECT_EQ(RunWith(folder.path(), {"--", "-quillstrand.kit"}).console, kBanner + kFitError);
}

TEST(CommandLine, TakesTheImageNamedByARelativeOrAnAbsolutePath)
{
    TempFolder start, images;
    fs::create_directory(start.path() / "firmware");
    start.Write("firmware/quillstrand_v1.3.kit", kDamagedImage);
    ToolOutput relative = RunWith(start.path(), {"firmware/quillstrand_v1.3.kit"});
    EXPECT_EQ(relative.console, Opened("firmware/quillstrand_v1.3.kit") + kUpgradeError);
    EXPECT_EQ(relative.exitStatus, 1);

    // As Explorer starts the tool for a file dropped onto it, from another folder: the whole path,
    // spaces and all, here as long as Windows takes one (259 characters).
    const std::string name = "quillstrand v1.3.kit";
    fs::path folder = images.path() / "new firmware ";
    folder += std::string(259 - folder.string().size() - 1 - name.size(), 'x');
    fs::create_directory(folder);
    std::string path = images.Write((folder / name).string(), kDamagedImage).string();
    ASSERT_EQ(path.size(), 259u);
    ToolOutput absolute = RunWith(start.path(), {path});
    EXPECT_EQ(absolute.console, Opened(path) + kUpgradeError);
    EXPECT_EQ(absolute.exitStatus, 1);

    // The file name alone meets the name rule and must fit the tool, which never cuts it.
    std::string misnamed = images.Write("update.kit", kDamagedImage).string();
    std::string tooLong = images.Write("quillstrand" + std::string(85, 'x') + ".kit", kDamagedImage).string();
    std::string missing = (images.path() / "quillstrand_v9.kit").string();
    for (const std::string& refused : {misnamed, tooLong, missing}) {
        ToolOutput output = RunWith(start.path(), {refused});
        std::string message = refused == missing ? "Error: File '" + missing + "' is not found.\n\n" : kFitError;
        EXPECT_EQ(output.console, kBanner + message);
        EXPECT_EQ(output.exitStatus, 1);
    }
}

}  // namespace
