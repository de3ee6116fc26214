#include "midi/port_stage.h"

#include "midi/console_texts.h"
#include "midi/controller_search.h"
#include "midi/controller_wait.h"
#include "midi/input_watch.h"
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

// How one look at the devices ended.
enum Look {
    LOOK_OPENED,   // both ports of the controller are open
    LOOK_NOTHING,  // nothing leads to the controller: no input, or none answered
    LOOK_FAILED,   // the run ends: its message is printed
};

// How often the port list is read while the tool waits for the controller to be connected.
static const uint32_t LIST_POLL_MS = 250;

static Look BothOpened(uint16_t inputResult, uint16_t (*openOutput)(UINT), UINT output, bool sayWhy)
{
    if (inputResult != 0) {
        if (sayWhy) printf(TEXT_MIDI_IN_MISSING);
        return LOOK_FAILED;
    }
    if (openOutput(output) != 0) {
        if (sayWhy) printf(TEXT_MIDI_OUT_MISSING);
        return LOOK_FAILED;
    }
    return LOOK_OPENED;
}

static Look OpenNamedPorts(bool sayWhy)
{
    UINT input, output;
    if (!FindNamedPorts(&input, &output)) return LOOK_NOTHING;
    return BothOpened(OpenMidiInDevice(input), OpenMidiOutDevice, output, sayWhy);
}

static Look OpenFoundPorts(const uint8_t* identifyRequest, unsigned length, bool sayWhy)
{
    SearchResult found = FindController(identifyRequest, length);
    if (found.outcome == SEARCH_NONE) return LOOK_NOTHING;
    if (found.outcome == SEARCH_SEVERAL) {
        if (sayWhy) printf(TEXT_MANY_DEVICES, found.answeringInputs);
        return LOOK_FAILED;
    }
    return BothOpened(OpenMidiInDevice(found.input), OpenMidiOutDevice, found.output, sayWhy);
}

static Look LookForController(const uint8_t* identifyRequest, unsigned length, bool sayWhy)
{
    if (NamedDevice != nullptr) return OpenNamedPorts(sayWhy);
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    if (inputs == 0) return LOOK_NOTHING;
    if (inputs > 1) return OpenFoundPorts(identifyRequest, length, sayWhy);
    UINT firstOutput = FirstOutputId();
    return BothOpened(OpenMidiIn(0), OpenMidiOut, firstOutput, sayWhy);
}

// Reads the port list until an input arrives and the look then finds the controller, or the wait
// is over. The search asks the devices only when an input has arrived.
static Look AwaitConnection(const uint8_t* identifyRequest, unsigned length)
{
    printf(TEXT_WAITING_CONNECTED, (int)WaitSeconds);
    fflush(stdout);
    BeginWait();
    Look look = LOOK_NOTHING;
    while (look == LOOK_NOTHING && WaitOn(LIST_POLL_MS)) {
        if (NewInputListed()) look = LookForController(identifyRequest, length, true);
    }
    return look;
}

bool OpenPorts(const uint8_t* identifyRequest, unsigned length)
{
    NoteInputs();
    Look look = LookForController(identifyRequest, length, true);
    if (look == LOOK_NOTHING && NamedDevice != nullptr) {
        printf(TEXT_NO_NAMED_DEVICE, NamedDevice);
        return false;
    }
    if (look == LOOK_NOTHING && WaitSeconds > 0) look = AwaitConnection(identifyRequest, length);
    if (look == LOOK_NOTHING) printf(TEXT_NO_DEVICE);
    return look == LOOK_OPENED;
}

bool OpenPortsAgain(const uint8_t* identifyRequest, unsigned length)
{
    if (LookForController(identifyRequest, length, false) == LOOK_OPENED) return true;
    ClosePorts();
    return false;
}

void ClosePorts()
{
    CloseMidiIn();
    CloseMidiOut();
}
