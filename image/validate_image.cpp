#include "image/console_texts.h"
#include "image/firmware_image.h"

#include <stdio.h>

// Positions are 32-bit so that no record can wrap back into the image; a record must lie wholly
// inside the bytes read, and must be big enough to hold its own length and checksum.
static bool RecordIsSound(const FirmwareImage* image, uint32_t position, uint32_t* size)
{
    if (position + 2 > image->count) return false;
    *size = RecordSize(image, position);
    if (*size < 4 || position + *size > image->count) return false;

    uint16_t sum = 0;
    uint32_t checksumAt = position + *size - 2;
    for (uint32_t i = position + 2; i < checksumAt; ++i) sum = (uint16_t)(sum + image->bytes[i]);
    sum = (uint16_t)(sum + image->bytes[checksumAt] + (image->bytes[checksumAt + 1] << 8));
    return sum == 0;
}

bool ValidateImage(const FirmwareImage* image)
{
    // An empty image would "succeed" having sent nothing.
    bool sound = image->count > 0;
    uint32_t size = 0;
    for (uint32_t position = 0; sound && position < image->count; position += size) {
        sound = RecordIsSound(image, position, &size);
    }
    if (!sound) printf(TEXT_IMAGE_DAMAGED);
    return sound;
}
