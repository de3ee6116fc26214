#include "midi/port_stage.h"

#include "midi/console_texts.h"
#include "midi/midi_link.h"
#include "midi/port_name.h"
#include "platform/ascii.h"

#include <stdio.h>

// The system's General MIDI synthesizer, listed as output 0 when it is there.
static const char SYSTEM_SYNTH_PREFIX[] = "Microsoft GS";

static UINT FirstOutputId()
{
    uint16_t outputs = (uint16_t)midiOutGetNumDevs();
    if (outputs <= 1) return 0;
    char name[MAXPNAMELEN];
    ReadPortName(false, 0, name);
    return AsciiStartsWithIgnoringCase(name, SYSTEM_SYNTH_PREFIX) ? 1 : 0;
}

bool OpenPorts()
{
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    if (inputs == 0) {
        printf(TEXT_NO_DEVICE);
        return false;
    }
    if (inputs > 1) {
        printf(TEXT_MANY_DEVICES, inputs);
        return false;
    }
    UINT firstOutput = FirstOutputId();
    if (OpenMidiIn(0) != 0) {
        printf(TEXT_MIDI_IN_MISSING);
        return false;
    }
    if (OpenMidiOut(firstOutput) != 0) {
        printf(TEXT_MIDI_OUT_MISSING);
        return false;
    }
    return true;
}
