#include "midi/device_list.h"

#include "midi/console_texts.h"
#include "midi/port_name.h"
#include "midi/system_port.h"
#include "platform/winmm.h"

#include <stdint.h>
#include <stdio.h>

static const int NO_PORT = -1;

// Prints one direction's devices and returns the one an update would open: the first that is not
// one of the system's own ports, or NO_PORT. (The update's skipping of the system's synthesizer at
// output 0 passes over a port this rule passes over anyway.)
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

void ListMidiDevices()
{
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    int input = ListPorts(true, inputs);
    int output = ListPorts(false, (uint16_t)midiOutGetNumDevs());
    if (inputs != 1) {
        printf(TEXT_LIST_NOT_ONE_INPUT, inputs);
    } else if (input == NO_PORT || output == NO_PORT) {
        printf(TEXT_LIST_NO_PORT, input == NO_PORT ? "IN" : "OUT");
    } else {
        printf(TEXT_LIST_WOULD_OPEN, input, output);
    }
}
