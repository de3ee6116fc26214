#include "os/utf8_arguments.h"

#include "os/utf16_windows.h"

#include <string.h>
#include <windows.h>
#include <shellapi.h>

// The longest command line Windows takes, in UTF-16 units: at most three bytes each in UTF-8,
// and at most one argument for every two units.
static const unsigned COMMAND_LINE_UNITS = 32768;
static char argumentText[4 * COMMAND_LINE_UNITS];
static char* arguments[COMMAND_LINE_UNITS / 2 + 1];

char** Utf8Arguments(int* argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return argv;
    char* text = argumentText;
    for (int i = 0; i < count; ++i) {
        unsigned left = (unsigned)(argumentText + sizeof argumentText - text);
        if (!Utf8Text(wide[i], text, left)) {
            LocalFree(wide);
            return argv;
        }
        arguments[i] = text;
        text += strlen(text) + 1;
    }
    arguments[count] = nullptr;
    LocalFree(wide);
    *argc = count;
    return arguments;
}
