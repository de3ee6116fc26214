#include "image/console_texts.h"
#include "image/firmware_image.h"
#include "os/dir_search.h"

#include <stdio.h>
#include <string.h>

bool FindImageFile(char name[IMAGE_NAME_SIZE])
{
    strcpy(name, IMAGE_PATTERN);
    char entry[ENTRY_NAME_SIZE];
    if (!FindFirstEntry(name, entry)) {
        printf(TEXT_FILE_NOT_FOUND, name);
        return false;
    }
    if (!ImageNameFits(entry)) return false;
    strcpy(name, entry);
    return true;
}
