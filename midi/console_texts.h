#pragma once

// What the MIDI link prints: the port stage, the ports opened, and the device list (printf
// formats; the user documents quote each).
#define TEXT_NO_DEVICE "Error: Did not find the USB Audio device, please check!\n\n"
#define TEXT_MANY_DEVICES                                                                  \
    "Error:Does your computer have identified %d USB audiol devices, Please remove the " \
    "other USB audiol devices!\n\n"
#define TEXT_MIDI_IN_MISSING "Error: The MIDI In of device is missing!\n\n"
#define TEXT_MIDI_OUT_MISSING "Error: The MIDI Out of device is missing!\n\n"
#define TEXT_MIDI_IN_DEVICE "MIDI IN DEVICE: %s\r\n"
#define TEXT_MIDI_OUT_DEVICE "MIDI OUT DEVICE: %s\r\n"
#define TEXT_LIST_IN "MIDI IN %d: %s\n"
#define TEXT_LIST_OUT "MIDI OUT %d: %s\n"
#define TEXT_NO_NAMED_DEVICE "Error: No MIDI device is named like '%s'.\n\n"
#define TEXT_LIST_NO_INPUT "An update would stop: there is no MIDI input device.\n"
#define TEXT_LIST_ASKING "Several MIDI input devices: each output is asked which is the controller.\n"
#define TEXT_LIST_NONE_ANSWERED "An update would stop: no MIDI device answered as the controller.\n"
#define TEXT_LIST_SEVERAL_ANSWERED                                                     \
    "An update would stop: %d MIDI inputs answered as the controller. Connect only the " \
    "one to update, or name it with --device.\n"
#define TEXT_LIST_NONE_NAMED "An update would stop: no MIDI device is named like '%s'.\n"
#define TEXT_LIST_NO_PORT "An update would stop: it finds no MIDI %s to use.\n"
#define TEXT_LIST_WOULD_OPEN "An update would open MIDI IN %d and MIDI OUT %d.\n"

#define MIDI_CONSOLE_TEXTS                                                                   \
    TEXT_NO_DEVICE, TEXT_MANY_DEVICES, TEXT_MIDI_IN_MISSING, TEXT_MIDI_OUT_MISSING,          \
        TEXT_MIDI_IN_DEVICE, TEXT_MIDI_OUT_DEVICE, TEXT_LIST_IN, TEXT_LIST_OUT,              \
        TEXT_NO_NAMED_DEVICE, TEXT_LIST_NO_INPUT, TEXT_LIST_ASKING, TEXT_LIST_NONE_ANSWERED,   \
        TEXT_LIST_SEVERAL_ANSWERED, TEXT_LIST_NONE_NAMED, TEXT_LIST_NO_PORT, TEXT_LIST_WOULD_OPEN
