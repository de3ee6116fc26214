// The winmm calls of the seam over a backend's devices and ports (backends/winmm/midi_ports.h).
#include "backends/winmm/live_handles.h"
#include "backends/winmm/midi_ports.h"

#include <string.h>

#include <algorithm>
#include <new>

namespace {

// The capability record's technology of a hardware port (MOD_MIDIPORT).
const WORD HARDWARE_PORT = 1;
const DWORD CALLBACK_TYPE_MASK = 0x00070000;

// Never destroyed: a port still open at exit must not be torn down under a backend's thread. Kept
// off the heap, so that a run that closed its ports leaves no block behind.
template <typename Table>
Table& Immortal()
{
    alignas(Table) static unsigned char storage[sizeof(Table)];
    static Table* table = new (storage) Table;
    return *table;
}

LiveHandles<MidiInputPort>& inputs = Immortal<LiveHandles<MidiInputPort>>();
LiveHandles<MidiOutputPort>& outputs = Immortal<LiveHandles<MidiOutputPort>>();

// A call on the port behind `handle`, with the caller's arguments; a handle not open is refused.
template <typename Port, typename... Params, typename... Args>
MMRESULT On(LiveHandles<Port>& ports, const void* handle, MMRESULT (Port::*call)(Params...), Args... args)
{
    return ports.With(handle, [&](Port& port) { return (port.*call)(args...); });
}

template <typename Caps>
MMRESULT DescribePort(bool input, UINT_PTR id, Caps* caps, UINT size, Caps filled)
{
    if (caps == nullptr) return MMSYSERR_INVALPARAM;
    if (!MidiPortName(input, id, filled.szPname)) return MMSYSERR_BADDEVICEID;
    memcpy(caps, &filled, std::min<size_t>(size, sizeof filled));
    return MMSYSERR_NOERROR;
}

}  // namespace

UINT WINAPI midiInGetNumDevs(void)
{
    return MidiPortCount(true);
}

UINT WINAPI midiOutGetNumDevs(void)
{
    return MidiPortCount(false);
}

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR uDeviceID, LPMIDIINCAPSA pmic, UINT cbmic)
{
    return DescribePort(true, uDeviceID, pmic, cbmic, MIDIINCAPSA{});
}

MMRESULT WINAPI midiOutGetDevCapsA(UINT_PTR uDeviceID, LPMIDIOUTCAPSA pmoc, UINT cbmoc)
{
    MIDIOUTCAPSA filled{};
    filled.wTechnology = HARDWARE_PORT;
    filled.wChannelMask = 0xFFFF;
    return DescribePort(false, uDeviceID, pmoc, cbmoc, filled);
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback,
                           DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (phmi == nullptr) return MMSYSERR_INVALPARAM;
    DWORD type = fdwOpen & CALLBACK_TYPE_MASK;
    if (type != CALLBACK_FUNCTION && type != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    MidiInCallback callback =
        type == CALLBACK_FUNCTION ? reinterpret_cast<MidiInCallback>(dwCallback) : nullptr;
    std::unique_ptr<MidiInputPort> port;
    MMRESULT result = OpenMidiInputPort(uDeviceID, callback, dwInstance, port);
    if (result != MMSYSERR_NOERROR) return result;
    MidiInputPort* opened = port.get();
    inputs.Add(std::move(port));
    *phmi = opened->Handle();
    opened->Notify(MIM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInPrepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh) { return On(inputs, hmi, &MidiInputPort::Prepare, pmh, cbmh); }

MMRESULT WINAPI midiInUnprepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh) { return On(inputs, hmi, &MidiInputPort::Unprepare, pmh, cbmh); }

MMRESULT WINAPI midiInAddBuffer(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh) { return On(inputs, hmi, &MidiInputPort::AddBuffer, pmh, cbmh); }

MMRESULT WINAPI midiInStart(HMIDIIN hmi) { return On(inputs, hmi, &MidiInputPort::Start); }

MMRESULT WINAPI midiInStop(HMIDIIN hmi) { return On(inputs, hmi, &MidiInputPort::Stop); }

MMRESULT WINAPI midiInReset(HMIDIIN hmi) { return On(inputs, hmi, &MidiInputPort::Reset); }

MMRESULT WINAPI midiInClose(HMIDIIN hmi)
{
    MidiInputPort* port = inputs.Find(hmi);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (port->QueuedHeaders() > 0) return MIDIERR_STILLPLAYING;
    std::unique_ptr<MidiInputPort> closed = inputs.Remove(hmi);
    closed->Stop();
    closed->Notify(MIM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT phmo, UINT uDeviceID, DWORD_PTR, DWORD_PTR, DWORD fdwOpen)
{
    if (phmo == nullptr) return MMSYSERR_INVALPARAM;
    // No output notifications are ever sent, so no callback of any kind is taken.
    if (fdwOpen != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    std::unique_ptr<MidiOutputPort> port;
    MMRESULT result = OpenMidiOutputPort(uDeviceID, port);
    if (result != MMSYSERR_NOERROR) return result;
    *phmo = port->Handle();
    outputs.Add(std::move(port));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh) { return On(outputs, hmo, &MidiOutputPort::Prepare, pmh, cbmh); }

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh) { return On(outputs, hmo, &MidiOutputPort::Unprepare, pmh, cbmh); }

MMRESULT WINAPI midiOutLongMsg(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](MidiOutputPort& port) {
        MMRESULT result = CheckSendHeader(pmh, cbmh);
        if (result != MMSYSERR_NOERROR) return result;
        // Queued while it is being sent, done once it has left.
        pmh->dwFlags = (pmh->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
        result = port.Send(reinterpret_cast<const uint8_t*>(pmh->lpData), pmh->dwBufferLength);
        pmh->dwFlags &= ~MHDR_INQUEUE;
        if (result == MMSYSERR_NOERROR) pmh->dwFlags |= MHDR_DONE;
        return result;
    });
}

MMRESULT WINAPI midiOutReset(HMIDIOUT hmo) { return On(outputs, hmo, &MidiOutputPort::Reset); }

MMRESULT WINAPI midiOutClose(HMIDIOUT hmo)
{
    // Closing works on an unplugged device too: the handle must still be released.
    return outputs.Remove(hmo) == nullptr ? MMSYSERR_INVALHANDLE : MMSYSERR_NOERROR;
}
