#include "os/utf16_windows.h"

#include <windows.h>

// The longest path Windows takes, "\\?\" paths included, with its terminating zero.
static const int WIDE_PATH_UNITS = 32768;
static wchar_t widePath[WIDE_PATH_UNITS];

const wchar_t* WidePath(const char* path)
{
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, widePath, WIDE_PATH_UNITS);
    return units > 0 ? widePath : nullptr;
}

bool Utf8Text(const wchar_t* wide, char* text, unsigned size)
{
    return WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, (int)size, nullptr, nullptr) > 0;
}
