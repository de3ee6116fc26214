// The winmm calls of the seam, answered by the simulated service.
#include "platform/winmm.h"
#include "sim/inside_simulator.h"
#include "sim/midi_service.h"

#include <algorithm>
#include <cstring>

namespace {

// Fills a capability record the way winmm does: only as much as the caller says it holds.
template <typename Caps>
MMRESULT FillCaps(bool input, UINT_PTR id, Caps* caps, UINT size)
{
    SimulatorScope scope;
    Caps filled;
    std::memset(&filled, 0, sizeof filled);
    if (!SimulatedMidiService().DeviceName(input, id, filled.szPname)) return MMSYSERR_BADDEVICEID;
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    std::memcpy(caps, &filled, std::min<size_t>(size, sizeof filled));
    return MMSYSERR_NOERROR;
}

uintptr_t Value(HMIDIIN handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}

uintptr_t Value(HMIDIOUT handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

extern "C" {

UINT WINAPI midiInGetNumDevs(void)
{
    SimulatorScope scope;
    return SimulatedMidiService().DeviceCount(true);
}

UINT WINAPI midiOutGetNumDevs(void)
{
    SimulatorScope scope;
    return SimulatedMidiService().DeviceCount(false);
}

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR uDeviceID, LPMIDIINCAPSA pmic, UINT cbmic)
{
    return FillCaps(true, uDeviceID, pmic, cbmic);
}

MMRESULT WINAPI midiOutGetDevCapsA(UINT_PTR uDeviceID, LPMIDIOUTCAPSA pmoc, UINT cbmoc)
{
    return FillCaps(false, uDeviceID, pmoc, cbmoc);
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback,
                           DWORD_PTR dwInstance, DWORD fdwOpen)
{
    SimulatorScope scope;
    return SimulatedMidiService().InOpen(phmi, uDeviceID, dwCallback, dwInstance, fdwOpen);
}

MMRESULT WINAPI midiInPrepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    SimulatorScope scope;
    return SimulatedMidiService().PrepareHeader(Value(hmi), true, pmh, cbmh);
}

MMRESULT WINAPI midiInUnprepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    SimulatorScope scope;
    return SimulatedMidiService().UnprepareHeader(Value(hmi), true, pmh, cbmh);
}

MMRESULT WINAPI midiInAddBuffer(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    SimulatorScope scope;
    return SimulatedMidiService().InAddBuffer(hmi, pmh, cbmh);
}

MMRESULT WINAPI midiInStart(HMIDIIN hmi)
{
    SimulatorScope scope;
    return SimulatedMidiService().InStart(hmi);
}

MMRESULT WINAPI midiInStop(HMIDIIN hmi)
{
    SimulatorScope scope;
    return SimulatedMidiService().InStop(hmi);
}

MMRESULT WINAPI midiInReset(HMIDIIN hmi)
{
    SimulatorScope scope;
    return SimulatedMidiService().InReset(hmi);
}

MMRESULT WINAPI midiInClose(HMIDIIN hmi)
{
    SimulatorScope scope;
    return SimulatedMidiService().InClose(hmi);
}

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT phmo, UINT uDeviceID, DWORD_PTR dwCallback,
                            DWORD_PTR dwInstance, DWORD fdwOpen)
{
    SimulatorScope scope;
    return SimulatedMidiService().OutOpen(phmo, uDeviceID, dwCallback, dwInstance, fdwOpen);
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    SimulatorScope scope;
    return SimulatedMidiService().PrepareHeader(Value(hmo), false, pmh, cbmh);
}

MMRESULT WINAPI midiOutLongMsg(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    SimulatorScope scope;
    return SimulatedMidiService().OutLongMsg(hmo, pmh, cbmh);
}

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    SimulatorScope scope;
    return SimulatedMidiService().UnprepareHeader(Value(hmo), false, pmh, cbmh);
}

MMRESULT WINAPI midiOutReset(HMIDIOUT hmo)
{
    SimulatorScope scope;
    return SimulatedMidiService().OutReset(hmo);
}

MMRESULT WINAPI midiOutClose(HMIDIOUT hmo)
{
    SimulatorScope scope;
    return SimulatedMidiService().OutClose(hmo);
}

}  // extern "C"
