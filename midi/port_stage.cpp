#include "midi/port_stage.h"

#include "platform/ascii.h"
#include "midi/midi_link.h"

#include <stdio.h>
#include <string.h>

// The system's General MIDI synthesizer, listed as output 0 when it is there.
static const char SYSTEM_SYNTH_PREFIX[] = "Microsoft GS";

static UINT FirstOutputId()
{
    uint16_t outputs = (uint16_t)midiOutGetNumDevs();
    if (outputs <= 1) return 0;
    MIDIOUTCAPSA caps;
    memset(&caps, 0, sizeof caps);
    midiOutGetDevCapsA(0, &caps, sizeof caps);
    char name[50];
    memcpy(name, caps.szPname, MAXPNAMELEN);
    name[MAXPNAMELEN - 1] = '\0';
    return AsciiStartsWithIgnoringCase(name, SYSTEM_SYNTH_PREFIX) ? 1 : 0;
}

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
