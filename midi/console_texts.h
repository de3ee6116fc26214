#pragma once

// What the MIDI link prints: the port stage and the ports opened (printf formats; the user
// documents quote each).
#define TEXT_NO_DEVICE "Error: Did not find the USB Audio device, please check!\n\n"
#define TEXT_MANY_DEVICES                                                                  \
    "Error:Does your computer have identified %d USB audiol devices, Please remove the " \
    "other USB audiol devices!\n\n"
#define TEXT_MIDI_IN_MISSING "Error: The MIDI In of device is missing!\n\n"
#define TEXT_MIDI_OUT_MISSING "Error: The MIDI Out of device is missing!\n\n"
#define TEXT_MIDI_IN_DEVICE "MIDI IN DEVICE: %s\r\n"
#define TEXT_MIDI_OUT_DEVICE "MIDI OUT DEVICE: %s\r\n"
#define TEXT_NO_NAMED_DEVICE "Error: No MIDI device is named like '%s'.\n\n"
#define TEXT_WAITING_CONNECTED "Waiting up to %d s for the controller to be connected...\n"

#define MIDI_CONSOLE_TEXTS                                                             \
    TEXT_NO_DEVICE, TEXT_MANY_DEVICES, TEXT_MIDI_IN_MISSING, TEXT_MIDI_OUT_MISSING,    \
        TEXT_MIDI_IN_DEVICE, TEXT_MIDI_OUT_DEVICE, TEXT_NO_NAMED_DEVICE, TEXT_WAITING_CONNECTED
