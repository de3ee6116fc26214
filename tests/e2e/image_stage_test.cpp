// The image stage of the installed tool, run as a user runs it: in a folder, console compared
// byte for byte. Every one of these ends before any MIDI port is touched.
#include "tests/e2e/console_text.h"
#include "tests/support/image_text.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kUpgradeError = "Error: The upgrade file is error!\n\n";
const std::string kFitError = "Error: The fit file is not found.\n\n";

std::string RunIn(const TempFolder& folder)
{
    ToolOutput output = RunTool(TAMBRELL_UPDATE_EXE, folder.path());
    EXPECT_EQ(output.exitStatus, 1);
    return output.console;
}

TEST(ImageStage, RefusesMissingMisnamedAndUnopenableImages)
{
    TempFolder empty;
    empty.Write("quillstrand.txt", "00 04 12 34 BA FF");
    EXPECT_EQ(RunIn(empty), kBanner + "Error: File '*.kit' is not found.\n\n");

    TempFolder misnamed;
    misnamed.Write("update.kit", "00 04 12 34 BA FF");
    EXPECT_EQ(RunIn(misnamed), kBanner + kFitError);

    // A folder is no image, and a folder alone is no image found.
    TempFolder folderNamedLikeImage;
    std::filesystem::create_directory(folderNamedLikeImage.path() / "quillstrand.kit");
    EXPECT_EQ(RunIn(folderNamedLikeImage), kBanner + "Error: File '*.kit' is not found.\n\n");

    // 100 characters do not fit the name buffer with its terminating zero; 99 do.
    TempFolder longName;
    longName.Write("quillstrand" + std::string(85, 'x') + ".kit", "00 04 12 34 BA FF");
    EXPECT_EQ(RunIn(longName), kBanner + kFitError);
    TempFolder longestName;
    std::string name = "quillstrand" + std::string(84, 'x') + ".kit";
    longestName.Write(name, "");
    EXPECT_EQ(RunIn(longestName), Opened(name) + kUpgradeError);
}

TEST(ImageStage, LooksOnlyAtTheFirstKitEntryInCaseInsensitiveOrder)
{
    TempFolder folder;
    folder.Write("quillstrand_b.kit", "00 04 12 34 BA FF");
    folder.Write("Aardvark.KIT", "00 04 12 34 BA FF");
    EXPECT_EQ(RunIn(folder), kBanner + kFitError);

    TempFolder two;
    two.Write("quillstrand_b.kit", "00 04 12 34 BA FF");
    two.Write("QUILLSTRAND_A.kit", "00 04 12 34 FF BA");
    EXPECT_EQ(RunIn(two), Opened("QUILLSTRAND_A.kit") + kUpgradeError);

    // Upper case sorts before lower case in plain byte order; a folder is passed over.
    TempFolder withFolder;
    withFolder.Write("Update.kit", "00 04 12 34 BA FF");
    withFolder.Write("quillstrand_b.kit", "00 04 12 34 FF BA");
    std::filesystem::create_directory(withFolder.path() / "quillstrand_a.kit");
    EXPECT_EQ(RunIn(withFolder), Opened("quillstrand_b.kit") + kUpgradeError);
}

TEST(ImageStage, ChecksEveryRecordOfTheImage)
{
    TempFolder badSecond;
    std::vector<uint8_t> image = MakeRecord({1, 2, 3});
    std::vector<uint8_t> second = MakeRecord({4, 5, 6});
    second.back() ^= 1;
    image.insert(image.end(), second.begin(), second.end());
    badSecond.Write("quillstrand.kit", ToImageText(image));
    EXPECT_EQ(RunIn(badSecond), Opened("quillstrand.kit") + kUpgradeError);

    // An image of no bytes at all must not go on to report a successful update.
    for (const char* text : {"", " \r\n\t ", "G0 00 04"}) {
        TempFolder emptyImage;
        emptyImage.Write("QuillStrand_v12.kit", text);
        EXPECT_EQ(RunIn(emptyImage), Opened("QuillStrand_v12.kit") + kUpgradeError) << text;
    }
}

}  // namespace
