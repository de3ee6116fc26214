// The image stage on arbitrary file contents. Beyond not crashing: the stage never reads a byte
// the file did not supply, and an image it passes is one the transfer can walk record by record
// to exactly its last byte read.
#include "image/firmware_image.h"
#include "tests/fuzz/asan_poison.h"
#include "tests/support/temp_folder.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <fstream>
#include <string>

namespace {

void Require(bool condition, const char* what)
{
    if (condition) return;
    fprintf(stderr, "image fuzz target: %s\n", what);
    abort();
}

// What the transfer relies on: sizes of at least 4 that step from 0 onto `count` exactly.
// RecordSize reads two bytes, so a lone trailing byte shows up as a poisoned read.
void RequireWalkableRecords(const FirmwareImage& image)
{
    Require(image.count > 0, "an empty image passed");
    uint32_t position = 0;
    while (position < image.count) {
        uint16_t size = RecordSize(&image, position);
        Require(size >= 4, "a record too small for its own fields passed");
        position += size;
    }
    Require(position == image.count, "the last record runs past the bytes read");
}

const std::string& ImagePath()
{
    static TempFolder folder;
    static const std::string path = (folder.path() / "quillstrand.kit").string();
    return path;
}

FirmwareImage image;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream file(ImagePath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    ASAN_UNPOISON_MEMORY_REGION(image.bytes, sizeof image.bytes);
    if (!LoadImage(ImagePath().c_str(), &image)) return 0;
    Require(image.count <= size, "more bytes loaded than characters in the file");
    ASAN_POISON_MEMORY_REGION(image.bytes + image.count, sizeof image.bytes - image.count);
    if (ValidateImage(&image)) RequireWalkableRecords(image);
    return 0;
}
