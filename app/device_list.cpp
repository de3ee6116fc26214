#include "app/device_list.h"

#include "app/console_texts.h"
#include "midi/controller_search.h"
#include "midi/named_device.h"
#include "midi/port_name.h"
#include "midi/system_port.h"
#include "platform/winmm.h"
#include "protocol/messages.h"

#include <stdint.h>
#include <stdio.h>

// Prints one direction's devices and returns the one an update with one input device would open:
// the first that is not one of the system's own ports, or NO_PORT. (The update's skipping of the
// system's synthesizer at output 0 passes over a port this rule passes over anyway.)
static int ListPorts(bool input, uint16_t count)
{
    int chosen = NO_PORT;
    for (UINT id = 0; id < count; ++id) {
        char name[MAXPNAMELEN];
        ReadPortName(input, id, name);
        printf(input ? TEXT_LIST_IN : TEXT_LIST_OUT, (int)id, name);
        if (chosen == NO_PORT && !IsSystemPort(name)) chosen = (int)id;
    }
    return chosen;
}

static void TellNamedPair()
{
    UINT input, output;
    if (FindNamedPorts(&input, &output)) {
        printf(TEXT_LIST_WOULD_OPEN, (int)input, (int)output);
    } else {
        printf(TEXT_LIST_NONE_NAMED, NamedDevice);
    }
}

// Asks the devices as an update does, and says so first.
static void TellFoundPair()
{
    printf(TEXT_LIST_ASKING);
    fflush(stdout);
    SearchResult found = FindController(IdentifyRequest, sizeof IdentifyRequest);
    if (found.outcome == SEARCH_NONE) {
        printf(TEXT_LIST_NONE_ANSWERED);
    } else if (found.outcome == SEARCH_SEVERAL) {
        printf(TEXT_LIST_SEVERAL_ANSWERED, found.answeringInputs);
    } else {
        printf(TEXT_LIST_WOULD_OPEN, (int)found.input, (int)found.output);
    }
}

void ListMidiDevices()
{
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    int input = ListPorts(true, inputs);
    int output = ListPorts(false, (uint16_t)midiOutGetNumDevs());
    if (NamedDevice != nullptr) {
        TellNamedPair();
    } else if (inputs == 0) {
        printf(TEXT_LIST_NO_INPUT);
    } else if (inputs > 1) {
        TellFoundPair();
    } else if (input == NO_PORT || output == NO_PORT) {
        printf(TEXT_LIST_NO_PORT, input == NO_PORT ? "IN" : "OUT");
    } else {
        printf(TEXT_LIST_WOULD_OPEN, input, output);
    }
}
