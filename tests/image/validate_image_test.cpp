#include "image/firmware_image.h"
#include "tests/support/image_text.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Bytes = std::vector<uint8_t>;

// Validates `bytes` as an image; true when it passes. A refusal must print the one message.
bool Passes(const Bytes& bytes)
{
    auto image = std::make_unique<FirmwareImage>();
    // Garbage beyond the bytes read: the walk must never look at it.
    std::fill(std::begin(image->bytes), std::end(image->bytes), 0xFF);
    std::copy(bytes.begin(), bytes.end(), image->bytes);
    image->count = uint16_t(bytes.size());
    testing::internal::CaptureStdout();
    bool passed = ValidateImage(image.get());
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console, passed ? "" : "Error: The upgrade file is error!\n\n");
    return passed;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ValidateImage, ChecksEveryRecordsChecksum)
{
    EXPECT_TRUE(Passes({0x00, 0x04, 0x12, 0x34, 0xBA, 0xFF}));
    EXPECT_FALSE(Passes({0x00, 0x04, 0x12, 0x34, 0xFF, 0xBA}));
    EXPECT_TRUE(Passes(MakeRecord({})));
    Bytes good = MakeRecord({1, 2, 3, 200, 201});
    Bytes bad = good;
    bad[3] ^= 0x40;
    EXPECT_TRUE(Passes(Concat({good, good, MakeRecord(Bytes(300, 0xEE))})));
    EXPECT_FALSE(Passes(Concat({good, bad})));
    EXPECT_FALSE(Passes(Concat({bad, good})));
}

TEST(ValidateImage, RefusesRecordsTooSmallToHoldTheirOwnFields)
{
    // Length fields 0xFFFE, 0xFFFF, 0 and 1 give sizes 0 to 3; size 0 would never advance.
    for (Bytes length : {Bytes{0xFF, 0xFE}, Bytes{0xFF, 0xFF}, Bytes{0x00, 0x00}, Bytes{0x00, 0x01}}) {
        EXPECT_FALSE(Passes(Concat({length, {0, 0, 0, 0}}))) << int(length[0]) << " " << int(length[1]);
        EXPECT_FALSE(Passes(Concat({MakeRecord({7}), length, {0, 0}})));
    }
}

TEST(ValidateImage, RefusesRecordsThatRunPastTheBytesRead)
{
    Bytes record = MakeRecord(Bytes(40, 0x11));
    EXPECT_FALSE(Passes(Bytes(record.begin(), record.end() - 1)));
    EXPECT_FALSE(Passes(Concat({record, {0x00}})));  // a lone byte cannot even hold a length
    EXPECT_FALSE(Passes(Concat({record, {0x00, 0x30, 0x01, 0x02}})));

    // A last record whose end lies past 65,535 must not wrap to the start of the image.
    Bytes first = MakeRecord(Bytes(65524, 0x00));
    Bytes image = Concat({first, {0xFF, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00}});
    ASSERT_EQ(image.size(), 65535u);
    EXPECT_FALSE(Passes(image));
}

TEST(ValidateImage, RefusesAnEmptyImage)
{
    EXPECT_FALSE(Passes({}));
}

}  // namespace
