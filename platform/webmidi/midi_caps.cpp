// Device counts and names: the page's MIDI ports, numbered from 0 per direction.
#include "platform/webmidi/midi_bridge.h"

#include <string.h>

#include <algorithm>

namespace {

const WORD MOD_MIDIPORT = 1;

template <typename Caps>
MMRESULT DescribePort(bool input, UINT_PTR id, Caps* caps, UINT size, Caps filled)
{
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    if (!WebMidiPortName(input, id, filled.szPname)) return MMSYSERR_BADDEVICEID;
    memcpy(caps, &filled, std::min<size_t>(size, sizeof filled));
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT WINAPI midiInGetNumDevs(void)
{
    return WebMidiPortCount(true);
}

UINT WINAPI midiOutGetNumDevs(void)
{
    return WebMidiPortCount(false);
}

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR uDeviceID, LPMIDIINCAPSA pmic, UINT cbmic)
{
    return DescribePort(true, uDeviceID, pmic, cbmic, MIDIINCAPSA{});
}

MMRESULT WINAPI midiOutGetDevCapsA(UINT_PTR uDeviceID, LPMIDIOUTCAPSA pmoc, UINT cbmoc)
{
    MIDIOUTCAPSA filled{};
    filled.wTechnology = MOD_MIDIPORT;
    filled.wChannelMask = 0xFFFF;
    return DescribePort(false, uDeviceID, pmoc, cbmoc, filled);
}
