#include "midi/port_stage.h"

#include "midi/console_texts.h"
#include "midi/controller_search.h"
#include "midi/midi_link.h"
#include "midi/named_device.h"
#include "midi/port_name.h"
#include "os/ascii.h"

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

static bool BothOpened(uint16_t inputResult, uint16_t (*openOutput)(UINT), UINT output)
{
    if (inputResult != 0) {
        printf(TEXT_MIDI_IN_MISSING);
        return false;
    }
    if (openOutput(output) != 0) {
        printf(TEXT_MIDI_OUT_MISSING);
        return false;
    }
    return true;
}

static bool OpenNamedPorts()
{
    UINT input, output;
    if (!FindNamedPorts(&input, &output)) {
        printf(TEXT_NO_NAMED_DEVICE, NamedDevice);
        return false;
    }
    return BothOpened(OpenMidiInDevice(input), OpenMidiOutDevice, output);
}

static bool OpenFoundPorts(const uint8_t* identifyRequest, unsigned length)
{
    SearchResult found = FindController(identifyRequest, length);
    if (found.outcome == SEARCH_NONE) {
        printf(TEXT_NO_DEVICE);
        return false;
    }
    if (found.outcome == SEARCH_SEVERAL) {
        printf(TEXT_MANY_DEVICES, found.answeringInputs);
        return false;
    }
    return BothOpened(OpenMidiInDevice(found.input), OpenMidiOutDevice, found.output);
}

bool OpenPorts(const uint8_t* identifyRequest, unsigned length)
{
    if (NamedDevice != nullptr) return OpenNamedPorts();
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    if (inputs == 0) {
        printf(TEXT_NO_DEVICE);
        return false;
    }
    if (inputs > 1) return OpenFoundPorts(identifyRequest, length);
    UINT firstOutput = FirstOutputId();
    return BothOpened(OpenMidiIn(0), OpenMidiOut, firstOutput);
}
