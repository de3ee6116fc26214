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

// A script's mistake: said on standard error, nothing on the console, no pause.
static int UsageError()
{
    fprintf(stderr, TEXT_USAGE_ERROR);
    return EXIT_USAGE;
}

static int RunOption(const char* argument)
{
    // "/?" is how Windows programs are asked for help; no image is ever named so.
    if (IsOption(argument, "-h", "--help") || strcmp(argument, "/?") == 0) {
        PrintHelp();
    } else if (IsOption(argument, "-V", "--version")) {
        printf(TEXT_VERSION, TAMBRELL_VERSION);
    } else if (IsOption(argument, "-l", "--list")) {
        ListMidiDevices();
    } else {
        fprintf(stderr, TEXT_UNKNOWN_OPTION, argument);
        return UsageError();
    }
    return EXIT_OK;
}

int RunCommandLine(int argc, char** argv)
{
    // "--" ends the options, so that an image whose name begins with "-" can be named.
    bool optionsEnded = argc > 1 && strcmp(argv[1], "--") == 0;
    int first = optionsEnded ? 2 : 1;
    if (argc <= first) return RunUpdate();
    if (argc > first + 1) return UsageError();
    const char* argument = argv[first];
    if (!optionsEnded && (argument[0] == '-' || strcmp(argument, "/?") == 0)) return RunOption(argument);
    return RunUpdateOf(argument);
}
