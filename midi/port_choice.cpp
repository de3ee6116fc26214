#include "midi/port_choice.h"

#include "platform/ascii.h"

#include <string.h>

static const char SYSTEM_PORT_PREFIX[] = "Microsoft";
// The system's General MIDI synthesizer, listed as output 0 when it is there.
static const char SYSTEM_SYNTH_PREFIX[] = "Microsoft GS";

bool IsSystemPort(const char* name)
{
    return AsciiStartsWithIgnoringCase(name, SYSTEM_PORT_PREFIX);
}

UINT FirstOutputId()
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
