#include "os/named_text.h"

#include <stdarg.h>
#include <stdio.h>
#include <windows.h>

// Room for a message with a path of the longest length Windows takes.
static const int TEXT_UNITS = 32768 + 256;
static char text[4 * TEXT_UNITS];
static wchar_t wideText[TEXT_UNITS];

// A pipe or a file gets the UTF-8 bytes that the other systems write.
void PrintNamed(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode;
    if (!GetConsoleMode(console, &mode)) {
        vprintf(format, arguments);
    } else {
        vsnprintf(text, sizeof text, format, arguments);
        int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, wideText, TEXT_UNITS);
        // What printf still holds goes first.
        fflush(stdout);
        DWORD written;
        if (units > 1) WriteConsoleW(console, wideText, (DWORD)units - 1, &written, nullptr);
    }
    va_end(arguments);
}
