#include "app/command_line.h"

#include "app/console_texts.h"
#include "app/run_update.h"
#include "midi/device_list.h"
#include "protocol/exit_status.h"

#include <stdio.h>
#include <string.h>

static bool IsOption(const char* argument, const char* shortName, const char* longName)
{
    return strcmp(argument, shortName) == 0 || strcmp(argument, longName) == 0;
}

static void PrintHelp()
{
    printf(TEXT_HELP);
}

// A script's mistake: said once on standard error, nothing on the console, no pause.
static int UsageError()
{
    fprintf(stderr, TEXT_USAGE_ERROR);
    return EXIT_USAGE;
}

int RunCommandLine(int argc, char** argv)
{
    if (argc <= 1) return RunUpdate();
    if (argc > 2) return UsageError();
    const char* argument = argv[1];
    // "/?" is how Windows programs are asked for help; no image is ever named so.
    if (IsOption(argument, "-h", "--help") || strcmp(argument, "/?") == 0) {
        PrintHelp();
    } else if (IsOption(argument, "-V", "--version")) {
        printf(TEXT_VERSION, TAMBRELL_VERSION);
    } else if (IsOption(argument, "-l", "--list")) {
        ListMidiDevices();
    } else if (argument[0] == '-') {
        return UsageError();
    } else {
        return RunUpdateOf(argument);
    }
    return EXIT_OK;
}
