// Device counts and names: the rawmidi ports of all cards, numbered from 0 per direction.
#include "platform/alsa/rawmidi_ports.h"
#include "platform/winmm.h"

#include <string.h>

#include <algorithm>

namespace {

const WORD MOD_MIDIPORT = 1;

template <typename Caps>
MMRESULT DescribePort(snd_rawmidi_stream_t stream, UINT_PTR id, Caps* caps, UINT size, Caps filled)
{
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    std::vector<MidiPort> ports = FindMidiPorts(stream);
    if (id >= ports.size()) return MMSYSERR_BADDEVICEID;
    ports[id].name.copy(filled.szPname, MAXPNAMELEN - 1);
    memcpy(caps, &filled, std::min<size_t>(size, sizeof filled));
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT WINAPI midiInGetNumDevs(void)
{
    return (UINT)FindMidiPorts(SND_RAWMIDI_STREAM_INPUT).size();
}

UINT WINAPI midiOutGetNumDevs(void)
{
    return (UINT)FindMidiPorts(SND_RAWMIDI_STREAM_OUTPUT).size();
}

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR uDeviceID, LPMIDIINCAPSA pmic, UINT cbmic)
{
    return DescribePort(SND_RAWMIDI_STREAM_INPUT, uDeviceID, pmic, cbmic, MIDIINCAPSA{});
}

MMRESULT WINAPI midiOutGetDevCapsA(UINT_PTR uDeviceID, LPMIDIOUTCAPSA pmoc, UINT cbmoc)
{
    MIDIOUTCAPSA filled{};
    filled.wTechnology = MOD_MIDIPORT;
    filled.wChannelMask = 0xFFFF;
    return DescribePort(SND_RAWMIDI_STREAM_OUTPUT, uDeviceID, pmoc, cbmoc, filled);
}
