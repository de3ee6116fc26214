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
#define TEXT_LIST_NOT_ONE_INPUT "An update would stop: it needs exactly one MIDI input device, not %d.\n"
#define TEXT_LIST_NO_PORT "An update would stop: it finds no MIDI %s to use.\n"
#define TEXT_LIST_WOULD_OPEN "An update would open MIDI IN %d and MIDI OUT %d.\n"

#define MIDI_CONSOLE_TEXTS                                                                   \
    TEXT_NO_DEVICE, TEXT_MANY_DEVICES, TEXT_MIDI_IN_MISSING, TEXT_MIDI_OUT_MISSING,          \
        TEXT_MIDI_IN_DEVICE, TEXT_MIDI_OUT_DEVICE, TEXT_LIST_IN, TEXT_LIST_OUT,              \
        TEXT_LIST_NOT_ONE_INPUT, TEXT_LIST_NO_PORT, TEXT_LIST_WOULD_OPEN
