#include "image/firmware_image.h"
#include "tests/fuzz/asan_poison.h"
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
    // Under AddressSanitizer any read of the garbage is reported, even one that changes nothing.
    ASAN_POISON_MEMORY_REGION(image->bytes + image->count, sizeof image->bytes - image->count);
    testing::internal::CaptureStdout();
    bool passed = ValidateImage(image.get());
    ASAN_UNPOISON_MEMORY_REGION(image->bytes, sizeof image->bytes);
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
    // 00 03 01 FF FF is sound, and the garbage past the bytes read is FF: cut short, the record
    // would still pass if its end were not checked.
    Bytes record = MakeRecord({0x01});
    EXPECT_FALSE(Passes(Bytes(record.begin(), record.end() - 1)));
    EXPECT_FALSE(Passes(Concat({MakeRecord({7}), Bytes(record.begin(), record.end() - 2)})));
    EXPECT_FALSE(Passes(Concat({record, {0x00}})));  // a lone byte cannot even hold a length

    // A last record whose end lies past 65,535 must not wrap to the start of the image. Wrapped
    // to byte 4, its checksum would be the zeros at bytes 2 and 3, and from byte 4 another sound
    // record would run to exactly the last byte.
    Bytes image = MakeRecord(Concat({{0x00, 0x00, 0xFF, 0xF9}, Bytes(92, 0x00)}));
    image = Concat({image, {0xFF, 0x9E}, Bytes(65431, 0x5A), {0x00, 0x00}});
    ASSERT_EQ(image.size(), 65535u);
    uint16_t sum = 0;
    for (size_t i = 6; i < image.size() - 2; ++i) sum = uint16_t(sum + image[i]);
    uint16_t checksum = uint16_t(0 - sum);
    image[65533] = uint8_t(checksum & 0xFF);
    image[65534] = uint8_t(checksum >> 8);
    EXPECT_FALSE(Passes(image));
}

TEST(ValidateImage, RefusesAnEmptyImage)
{
    EXPECT_FALSE(Passes({}));
}

}  // namespace
