#pragma once

// What the image stage prints (printf formats; the user documents quote each).
#define TEXT_FILE_NOT_FOUND "Error: File '%s' is not found.\n\n"
// A file that is there but is no image that can be read: never called missing.
#define TEXT_FILE_UNREADABLE "Error: File '%s' cannot be read: %s.\n\n"
#define TEXT_FILE_OPEN "OK: File '%s' is open.\n"
#define TEXT_NOT_AN_IMAGE_NAME "Error: The fit file is not found.\n\n"
#define TEXT_IMAGE_DAMAGED "Error: The upgrade file is error!\n\n"

#define IMAGE_CONSOLE_TEXTS \
    TEXT_FILE_NOT_FOUND, TEXT_FILE_UNREADABLE, TEXT_FILE_OPEN, TEXT_NOT_AN_IMAGE_NAME, TEXT_IMAGE_DAMAGED
