#include "image/console_texts.h"
#include "image/firmware_image.h"
#include "image/hex_reader.h"

#include <stdio.h>
#include <sys/stat.h>

// fopen succeeds on a folder on some systems; an image must be a file everywhere.
static FILE* OpenImageFile(const char* name)
{
    FILE* file = fopen(name, "rb");
    if (!file) return nullptr;
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode)) {
        fclose(file);
        return nullptr;
    }
    return file;
}

bool LoadImage(const char* name, FirmwareImage* image)
{
    FILE* file = OpenImageFile(name);
    if (!file) {
        printf(TEXT_FILE_NOT_FOUND, name);
        return false;
    }
    printf(TEXT_FILE_OPEN, name);

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
