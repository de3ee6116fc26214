#include "midi/port_name.h"

#include <string.h>

void ReadPortName(bool input, UINT id, char name[MAXPNAMELEN])
{
    if (input) {
        MIDIINCAPSA caps;
        memset(&caps, 0, sizeof caps);
        midiInGetDevCapsA(id, &caps, sizeof caps);
        memcpy(name, caps.szPname, MAXPNAMELEN);
    } else {
        MIDIOUTCAPSA caps;
        memset(&caps, 0, sizeof caps);
        midiOutGetDevCapsA(id, &caps, sizeof caps);
        memcpy(name, caps.szPname, MAXPNAMELEN);
    }
    name[MAXPNAMELEN - 1] = '\0';
}
