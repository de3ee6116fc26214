#include "midi/port_stage.h"

#include "midi/midi_link.h"
#include "midi/port_choice.h"

#include <stdio.h>

bool OpenPorts()
{
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    if (inputs == 0) {
        printf("Error: Did not find the USB Audio device, please check!\n\n");
        return false;
    }
    if (inputs > 1) {
        printf("Error:Does your computer have identified %d USB audiol devices, Please remove the "
               "other USB audiol devices!\n\n",
               inputs);
        return false;
    }
    UINT firstOutput = FirstOutputId();
    if (OpenMidiIn(0) != 0) {
        printf("Error: The MIDI In of device is missing!\n\n");
        return false;
    }
    if (OpenMidiOut(firstOutput) != 0) {
        printf("Error: The MIDI Out of device is missing!\n\n");
        return false;
    }
    return true;
}
