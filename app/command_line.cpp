#include "app/command_line.h"

#include "app/console_texts.h"
#include "app/device_list.h"
#include "app/exit_status.h"
#include "app/run_update.h"
#include "midi/controller_wait.h"
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

// An option that takes a value, in the same argument after "=" or in the next one.
struct ValueOption {
    const char* shortName;
    const char* longName;
    const char* withValue;  // the long name and "="
};

static const ValueOption DEVICE_OPTION = {"-d", "--device", "--device="};
static const ValueOption WAIT_OPTION = {"-w", "--wait", "--wait="};

static bool IsValueOption(const char* argument, const ValueOption& option)
{
    return IsOption(argument, option.shortName, option.longName) ||
           strncmp(argument, option.withValue, strlen(option.withValue)) == 0;
}

// The value of the option at argv[*at]; "" when it is missing.
static const char* TakeValue(int argc, char** argv, int* at, const ValueOption& option)
{
    const char* argument = argv[*at];
    if (strncmp(argument, option.withValue, strlen(option.withValue)) == 0) {
        return argument + strlen(option.withValue);
    }
    return *at + 1 < argc ? argv[++*at] : "";
}

// Takes the device option's name into NamedDevice; false when it is missing or empty.
static bool TakeDeviceName(int argc, char** argv, int* at)
{
    const char* option = argv[*at];
    const char* name = TakeValue(argc, argv, at, DEVICE_OPTION);
    if (name[0] == '\0') {
        fprintf(stderr, TEXT_DEVICE_NAME_MISSING, option);
        return false;
    }
    NamedDevice = name;
    return true;
}

// Takes the wait option's whole seconds, 0 to MAX_WAIT_SECONDS, into WaitSeconds.
static bool TakeWaitSeconds(int argc, char** argv, int* at)
{
    const char* option = argv[*at];
    const char* digits = TakeValue(argc, argv, at, WAIT_OPTION);
    unsigned long seconds = 0;
    bool valid = digits[0] != '\0';
    for (const char* c = digits; valid && *c != '\0'; ++c) {
        valid = *c >= '0' && *c <= '9';
        seconds = seconds * 10 + (unsigned long)(*c - '0');
        valid = valid && seconds <= MAX_WAIT_SECONDS;
    }
    if (!valid) {
        fprintf(stderr, TEXT_WAIT_SECONDS_WRONG, option, (int)MAX_WAIT_SECONDS);
        return false;
    }
    WaitSeconds = (uint16_t)seconds;
    return true;
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
        } else if (IsValueOption(argument, DEVICE_OPTION)) {
            if (!TakeDeviceName(argc, argv, &at)) return UsageError();
        } else if (IsValueOption(argument, WAIT_OPTION)) {
            if (!TakeWaitSeconds(argc, argv, &at)) return UsageError();
        } else {
            if (option != nullptr) return UsageError();
            option = argument;
        }
    }
    if (option != nullptr) return image != nullptr ? UsageError() : RunOption(option);
    return image != nullptr ? RunUpdateOf(image) : RunUpdate();
}
