#include "app/command_line.h"

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
    printf("Usage: tambrell-update [IMAGE]\n"
           "Updates the firmware of a quillstrand USB MIDI controller over MIDI.\n"
           "IMAGE is the firmware image, a .kit file whose name begins with quillstrand;\n"
           "without it, the first .kit file of the current folder is used.\n"
           "\n"
           "  -h, --help, /?  show this text\n"
           "  -V, --version   show the version\n"
           "  -l, --list      list the MIDI devices and which of them an update would open\n"
           "\n"
           "Exit status: 0 updated; 1 image refused; 2 MIDI port missing or failing;\n"
           "3 the controller refused or did not answer; 64 wrong command line.\n");
}

// A script's mistake: said once on standard error, nothing on the console, no pause.
static int UsageError()
{
    fprintf(stderr, "Usage: tambrell-update [IMAGE | --help | --version | --list]\n");
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
        printf("tambrell-update %s\n", TAMBRELL_VERSION);
    } else if (IsOption(argument, "-l", "--list")) {
        ListMidiDevices();
    } else if (argument[0] == '-') {
        return UsageError();
    } else {
        return RunUpdateOf(argument);
    }
    return EXIT_OK;
}
