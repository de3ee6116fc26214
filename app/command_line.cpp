#include "app/command_line.h"

#include "app/console_texts.h"
#include "app/device_list.h"
#include "app/exit_status.h"
#include "app/run_update.h"
#include "midi/named_device.h"
#include "os/timer_resolution.h"

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

// Asking the devices waits in 1 ms sleeps, as an update does.
static void ListDevices()
{
    RequestMillisecondTimer();
    ListMidiDevices();
    ReleaseMillisecondTimer();
}

static int RunOption(const char* argument)
{
    // "/?" is how Windows programs are asked for help; no image is ever named so.
    if (IsOption(argument, "-h", "--help") || strcmp(argument, "/?") == 0) {
        PrintHelp();
    } else if (IsOption(argument, "-V", "--version")) {
        printf(TEXT_VERSION, TAMBRELL_VERSION);
    } else if (IsOption(argument, "-l", "--list")) {
        ListDevices();
    } else {
        fprintf(stderr, TEXT_UNKNOWN_OPTION, argument);
        return UsageError();
    }
    return EXIT_OK;
}

static const char DEVICE_OPTION_WITH_VALUE[] = "--device=";

// Takes the device option at argv[*at], with its name in the same or the next argument, into
// NamedDevice; false when the name is missing or empty.
static bool TakeDeviceName(int argc, char** argv, int* at)
{
    const char* option = argv[*at];
    const char* name;
    if (strncmp(option, DEVICE_OPTION_WITH_VALUE, sizeof DEVICE_OPTION_WITH_VALUE - 1) == 0) {
        name = option + sizeof DEVICE_OPTION_WITH_VALUE - 1;
    } else {
        name = *at + 1 < argc ? argv[++*at] : "";
    }
    if (name[0] == '\0') {
        fprintf(stderr, TEXT_DEVICE_NAME_MISSING, option);
        return false;
    }
    NamedDevice = name;
    return true;
}

static bool IsDeviceOption(const char* argument)
{
    return IsOption(argument, "-d", "--device") ||
           strncmp(argument, DEVICE_OPTION_WITH_VALUE, sizeof DEVICE_OPTION_WITH_VALUE - 1) == 0;
}

int RunCommandLine(int argc, char** argv)
{
    const char* image = nullptr;
    const char* option = nullptr;
    // "--" ends the options, so that an image whose name begins with "-" can be named.
    bool optionsEnded = false;
    for (int at = 1; at < argc; ++at) {
        const char* argument = argv[at];
        if (optionsEnded || (argument[0] != '-' && strcmp(argument, "/?") != 0)) {
            if (image != nullptr) return UsageError();
            image = argument;
        } else if (strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (IsDeviceOption(argument)) {
            if (!TakeDeviceName(argc, argv, &at)) return UsageError();
        } else {
            if (option != nullptr) return UsageError();
            option = argument;
        }
    }
    if (option != nullptr) return image != nullptr ? UsageError() : RunOption(option);
    return image != nullptr ? RunUpdateOf(image) : RunUpdate();
}
