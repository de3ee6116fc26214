#include "midi/named_device.h"

#include "midi/port_name.h"
#include "os/ascii.h"

#include <stdint.h>

const char* NamedDevice = nullptr;

static int FindNamedPort(bool input)
{
    uint16_t count = (uint16_t)(input ? midiInGetNumDevs() : midiOutGetNumDevs());
    for (UINT id = 0; id < count; ++id) {
        char name[MAXPNAMELEN];
        ReadPortName(input, id, name);
        if (AsciiContainsIgnoringCase(name, NamedDevice)) return (int)id;
    }
    return NO_PORT;
}

bool FindNamedPorts(UINT* input, UINT* output)
{
    int in = FindNamedPort(true);
    int out = FindNamedPort(false);
    *input = (UINT)in;
    *output = (UINT)out;
    return in != NO_PORT && out != NO_PORT;
}
