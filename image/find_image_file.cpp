#include "platform/ascii.h"
#include "image/firmware_image.h"
#include "platform/dir_search.h"
#include "protocol/messages.h"

#include <stdio.h>
#include <string.h>

bool FindImageFile(char name[IMAGE_NAME_SIZE])
{
    strcpy(name, IMAGE_PATTERN);
    char entry[ENTRY_NAME_SIZE];
    if (!FindFirstEntry(name, entry)) {
        printf("Error: File '%s' is not found.\n\n", name);
        return false;
    }
    if (!ImageNameFits(entry)) return false;
    strcpy(name, entry);
    return true;
}

bool CheckImageName(const char* name, uint8_t* modelCode)
{
    if (!AsciiStartsWithIgnoringCase(name, PRODUCT_WORD)) {
        printf("Error: The fit file is not found.\n\n");
        return false;
    }
    *modelCode = MODEL_CODE;
    return true;
}
