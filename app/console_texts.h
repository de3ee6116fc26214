#pragma once

// What the run's driver and the command line print, --list's device list included; every console
// text is a printf format, and the zip's readme and the manual page quote each
// (tests/packaging/documented_messages_test.cpp).
#define TEXT_BANNER "TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n"
#define TEXT_VERSION "tambrell-update %s\n"
#define TEXT_USAGE_ERROR \
    "Usage: tambrell-update [-d NAME] [-w SECONDS] [IMAGE | --list] | --help | --version\n"
#define TEXT_UNKNOWN_OPTION "tambrell-update: unknown option '%s'\n"
#define TEXT_DEVICE_NAME_MISSING "tambrell-update: option '%s' needs the name of a MIDI device\n"
#define TEXT_WAIT_SECONDS_WRONG "tambrell-update: option '%s' needs a number of seconds from 0 to %d\n"
#define TEXT_HELP                                                                        \
    "Usage: tambrell-update [-d NAME] [-w SECONDS] [IMAGE]\n"                            \
    "Updates the firmware of a quillstrand USB MIDI controller over MIDI.\n"             \
    "IMAGE is the firmware image, a .kit file whose name begins with quillstrand;\n"     \
    "without it, the first .kit file of the current folder is used.\n"                  \
    "With several MIDI devices, each is asked which of them is the controller.\n"       \
    "\n"                                                                                 \
    "  -d, --device NAME  use the MIDI device whose name holds NAME, without asking\n"   \
    "  -w, --wait SECONDS wait at most this long for the controller to be connected,\n"  \
    "                     to finish restarting and to come back after its update\n"    \
    "                     (30 by default; 0: do not wait)\n"                            \
    "  -h, --help, /?     show this text\n"                                              \
    "  -V, --version      show the version\n"                                            \
    "  -l, --list         list the MIDI devices and which of them an update would open\n" \
    "\n"                                                                                 \
    "Exit status: 0 updated; 1 image refused; 2 MIDI port missing or failing;\n"         \
    "3 the controller refused or did not answer; 64 wrong command line.\n"

// --list: the devices, then what an update would do with them.
#define TEXT_LIST_IN "MIDI IN %d: %s\n"
#define TEXT_LIST_OUT "MIDI OUT %d: %s\n"
#define TEXT_LIST_NO_INPUT "An update would stop: there is no MIDI input device.\n"
#define TEXT_LIST_ASKING "Several MIDI input devices: each output is asked which is the controller.\n"
#define TEXT_LIST_NONE_ANSWERED "An update would stop: no MIDI device answered as the controller.\n"
#define TEXT_LIST_SEVERAL_ANSWERED                                                     \
    "An update would stop: %d MIDI inputs answered as the controller. Connect only the " \
    "one to update, or name it with --device.\n"
#define TEXT_LIST_NONE_NAMED "An update would stop: no MIDI device is named like '%s'.\n"
#define TEXT_LIST_NO_PORT "An update would stop: it finds no MIDI %s to use.\n"
#define TEXT_LIST_WOULD_OPEN "An update would open MIDI IN %d and MIDI OUT %d.\n"

#define APP_CONSOLE_TEXTS                                                                    \
    TEXT_BANNER, TEXT_VERSION, TEXT_USAGE_ERROR, TEXT_UNKNOWN_OPTION, TEXT_DEVICE_NAME_MISSING, \
        TEXT_WAIT_SECONDS_WRONG,                                                                 \
        TEXT_HELP, TEXT_LIST_IN, TEXT_LIST_OUT, TEXT_LIST_NO_INPUT, TEXT_LIST_ASKING,            \
        TEXT_LIST_NONE_ANSWERED, TEXT_LIST_SEVERAL_ANSWERED, TEXT_LIST_NONE_NAMED,               \
        TEXT_LIST_NO_PORT, TEXT_LIST_WOULD_OPEN
