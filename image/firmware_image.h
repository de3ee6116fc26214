#pragma once

#include <stdint.h>

// A 16-bit count: the most byte items an image may hold.
const uint32_t IMAGE_MAX_BYTES = 65535;
// Twice what the reader fills: a record that starts within the image and claims the largest size
// (each at most 65,535) still ends inside the array, so no walk over the records can read past it.
const uint32_t IMAGE_CAPACITY = 131072;
const unsigned IMAGE_NAME_SIZE = 100;
const char IMAGE_PATTERN[] = "*.kit";
const char PRODUCT_WORD[] = "quillstrand";

struct FirmwareImage {
    uint8_t bytes[IMAGE_CAPACITY];
    uint16_t count;
};

// A record: big-endian length L, L - 2 payload bytes, little-endian checksum; its size
// S = L + 2 in 16-bit arithmetic. The caller makes sure two bytes exist at `position`.
inline uint16_t RecordSize(const FirmwareImage* image, uint32_t position)
{
    return (uint16_t)((image->bytes[position] << 8) + image->bytes[position + 1] + 2);
}

// Each prints its failure message and returns false when the run must end.
bool FindImageFile(char name[IMAGE_NAME_SIZE]);
// A name too long for the name buffer and its terminating zero is refused, never cut.
bool ImageNameFits(const char* name);
bool CheckImageName(const char* name);
// Reads the image at `path`, shown as given.
bool LoadImage(const char* path, FirmwareImage* image);
bool ValidateImage(const FirmwareImage* image);

// The file name part of an image's path: what follows its last slash or backslash, so that a
// Windows path is taken apart the same way everywhere.
const char* ImageFileName(const char* path);
