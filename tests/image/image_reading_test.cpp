#include "image/firmware_image.h"
#include "image/hex_reader.h"
#include "tests/support/image_text.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

std::vector<uint8_t> ReadItems(const std::string& text)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(tmpfile(), fclose);
    fwrite(text.data(), 1, text.size(), file.get());
    rewind(file.get());
    std::vector<uint8_t> items;
    uint8_t value;
    while (ReadHexItem(file.get(), &value)) items.push_back(value);
    return items;
}

using Bytes = std::vector<uint8_t>;

TEST(HexReader, ReadsPairsOfEitherCaseAcrossWhiteSpace)
{
    EXPECT_EQ(ReadItems("0A1B"), (Bytes{0x0A, 0x1B}));
    EXPECT_EQ(ReadItems("0a 1b"), (Bytes{0x0A, 0x1B}));
    EXPECT_EQ(ReadItems("0A\r\n1B\r\n"), (Bytes{0x0A, 0x1B}));
    EXPECT_EQ(ReadItems(" \t\v\f\r\n fF"), (Bytes{0xFF}));
    EXPECT_EQ(ReadItems("ABC"), (Bytes{0xAB, 0x0C}));
    EXPECT_EQ(ReadItems("1 2 3"), (Bytes{0x01, 0x02, 0x03}));
}

TEST(HexReader, EndsAtTheFirstTextThatIsNotHex)
{
    EXPECT_EQ(ReadItems(""), Bytes{});
    EXPECT_EQ(ReadItems("  \r\n "), Bytes{});
    EXPECT_EQ(ReadItems("G0 12"), Bytes{});
    EXPECT_EQ(ReadItems("12 G4 56"), (Bytes{0x12}));
    EXPECT_EQ(ReadItems("+12"), Bytes{});
    EXPECT_EQ(ReadItems("12 -34"), (Bytes{0x12}));
    EXPECT_EQ(ReadItems("0x12"), (Bytes{0x00}));
    EXPECT_EQ(ReadItems("12\x1A" "34"), (Bytes{0x12}));
    EXPECT_EQ(ReadItems(std::string("12\0" "34", 5)), (Bytes{0x12}));
    EXPECT_EQ(ReadItems("00 04 12 34 BA FF\r\n; built 2026\r\n"), (Bytes{0, 4, 0x12, 0x34, 0xBA, 0xFF}));
}

// The descriptor the next opened file gets: the lowest free one, so a file left open moves it.
int NextDescriptor()
{
    FILE* probe = tmpfile();
    int descriptor = fileno(probe);
    fclose(probe);
    return descriptor;
}

// Loads the file at `path` and returns the console text; no way out may leave the file open.
std::string Load(const std::filesystem::path& path, FirmwareImage* image, bool* loaded)
{
    // Counted while stdout is captured: the capture holds descriptors of its own.
    testing::internal::CaptureStdout();
    int before = NextDescriptor();
    *loaded = LoadImage(path.string().c_str(), image);
    int after = NextDescriptor();
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(after, before) << "the image file was left open: " << console;
    return console;
}

TEST(LoadImage, TakesUpTo65535BytesAndRefusesOneMore)
{
    auto image = std::make_unique<FirmwareImage>();
    Bytes largest = MakeRecord(Bytes(65531, 0x5A));
    ASSERT_EQ(largest.size(), 65535u);
    TempFolder folder;
    std::string path = folder.Write("quillstrand.kit", ToImageText(largest)).string();
    bool loaded = false;
    EXPECT_EQ(Load(path, image.get(), &loaded), "OK: File '" + path + "' is open.\n");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(image->count, 65535);
    EXPECT_TRUE(Bytes(image->bytes, image->bytes + 65535) == largest);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(ValidateImage(image.get()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // One item more would wrap the 16-bit count; 65,536 items of zero would wrap it to 0.
    largest.push_back(0);
    folder.Write("quillstrand.kit", ToImageText(largest));
    EXPECT_EQ(Load(path, image.get(), &loaded),
              "OK: File '" + path + "' is open.\nError: The upgrade file is error!\n\n");
    EXPECT_FALSE(loaded);
}

TEST(LoadImage, RefusesWhatIsNoFile)
{
    auto image = std::make_unique<FirmwareImage>();
    TempFolder folder;
    bool loaded = true;
    std::filesystem::path missing = folder.path() / "quillstrand.kit";
    EXPECT_EQ(Load(missing, image.get(), &loaded), "Error: File '" + missing.string() + "' is not found.\n\n");
    EXPECT_FALSE(loaded);
    std::filesystem::create_directory(missing);
    EXPECT_EQ(Load(missing, image.get(), &loaded),
              "Error: File '" + missing.string() + "' cannot be read: Is a directory.\n\n");
    EXPECT_FALSE(loaded);
}

// A file dropped on the Windows program comes as a whole path with backslashes.
TEST(ImageFileName, IsWhatFollowsTheLastSlashOrBackslash)
{
    EXPECT_STREQ(ImageFileName("C:\\Users\\Me\\new firmware\\quillstrand v1.3.kit"), "quillstrand v1.3.kit");
    EXPECT_STREQ(ImageFileName("firmware/quillstrand.kit"), "quillstrand.kit");
}

}  // namespace
