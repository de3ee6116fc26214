#include "image/console_texts.h"
#include "image/firmware_image.h"
#include "os/ascii.h"

#include <stdio.h>
#include <string.h>

const char* ImageFileName(const char* path)
{
    const char* name = path;
    for (const char* at = path; *at; ++at) {
        if (*at == '/' || *at == '\\') name = at + 1;
    }
    return name;
}

bool ImageNameFits(const char* name)
{
    if (strlen(name) < IMAGE_NAME_SIZE) return true;
    printf(TEXT_NOT_AN_IMAGE_NAME);
    return false;
}

bool CheckImageName(const char* name)
{
    if (!AsciiStartsWithIgnoringCase(name, PRODUCT_WORD)) {
        printf(TEXT_NOT_AN_IMAGE_NAME);
        return false;
    }
    return true;
}
