#include "platform/utf8_process.h"

#include "platform/utf16_windows.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <shellapi.h>

// The longest command line Windows takes, in UTF-16 units: at most three bytes each in UTF-8,
// and at most one argument for every two units.
static const unsigned COMMAND_LINE_UNITS = 32768;
static char argumentText[4 * COMMAND_LINE_UNITS];
static char* arguments[COMMAND_LINE_UNITS / 2 + 1];
static UINT consoleCodePage;

static void RestoreConsoleCodePage()
{
    SetConsoleOutputCP(consoleCodePage);
}

// A pipe or a file gets the bytes the other systems write; the console is told they are UTF-8
// for as long as the tool runs.
static void ShowUtf8OnConsole()
{
    DWORD mode;
    if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return;
    consoleCodePage = GetConsoleOutputCP();
    if (SetConsoleOutputCP(CP_UTF8)) atexit(RestoreConsoleCodePage);
}

char** StartInUtf8(int* argc, char** argv)
{
    ShowUtf8OnConsole();
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
