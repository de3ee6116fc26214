#include "image/console_texts.h"
#include "image/firmware_image.h"
#include "image/hex_reader.h"
#include "os/image_file.h"
#include "os/named_text.h"

#include <stdio.h>

bool LoadImage(const char* path, FirmwareImage* image)
{
    const char* reason;
    FILE* file = OpenImageFile(path, &reason);
    if (!file) {
        if (reason) PrintNamed(TEXT_FILE_UNREADABLE, path, reason);
        else PrintNamed(TEXT_FILE_NOT_FOUND, path);
        return false;
    }
    PrintNamed(TEXT_FILE_OPEN, path);

    uint32_t count = 0;
    bool tooLarge = false;
    uint8_t value;
    while (ReadHexItem(file, &value)) {
        if (count == IMAGE_MAX_BYTES) {
            tooLarge = true;
            break;
        }
        image->bytes[count++] = value;
    }
    fclose(file);
    image->count = (uint16_t)count;
    if (tooLarge) {
        printf(TEXT_IMAGE_DAMAGED);
        return false;
    }
    return true;
}
