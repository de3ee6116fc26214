// The midiIn calls over rawmidi input ports.
#include "platform/alsa/input_port.h"
#include "platform/live_handles.h"
#include "platform/alsa/rawmidi_ports.h"
#include "platform/alsa/rawmidi_stream.h"

namespace {

const DWORD CALLBACK_TYPE_MASK = 0x00070000;

// Never destroyed: a port still open at exit must not be torn down under its reader thread.
LiveHandles<InputPort>& inputs = *new LiveHandles<InputPort>;

}  // namespace

MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback,
                           DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (phmi == nullptr) return MMSYSERR_INVALPARAM;
    DWORD type = fdwOpen & CALLBACK_TYPE_MASK;
    if (type != CALLBACK_FUNCTION && type != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    std::vector<MidiPort> ports = FindMidiPorts(SND_RAWMIDI_STREAM_INPUT);
    if (uDeviceID >= ports.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<InputSource> source;
    MMRESULT result = OpenRawmidiInput(ports[uDeviceID].address, source);
    if (result != MMSYSERR_NOERROR) return result;
    MidiInCallback callback =
        type == CALLBACK_FUNCTION ? reinterpret_cast<MidiInCallback>(dwCallback) : nullptr;
    auto port = std::make_unique<InputPort>(std::move(source), callback, dwInstance);
    InputPort* opened = port.get();
    inputs.Add(std::move(port));
    *phmi = opened->Handle();
    opened->Notify(MIM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInPrepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return inputs.With(hmi, [&](InputPort& port) { return port.Prepare(pmh, cbmh); });
}

MMRESULT WINAPI midiInUnprepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return inputs.With(hmi, [&](InputPort& port) { return port.Unprepare(pmh, cbmh); });
}

MMRESULT WINAPI midiInAddBuffer(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return inputs.With(hmi, [&](InputPort& port) { return port.AddBuffer(pmh, cbmh); });
}

MMRESULT WINAPI midiInStart(HMIDIIN hmi)
{
    return inputs.With(hmi, [&](InputPort& port) { return port.Start(); });
}

MMRESULT WINAPI midiInStop(HMIDIIN hmi)
{
    return inputs.With(hmi, [&](InputPort& port) { return port.Stop(); });
}

MMRESULT WINAPI midiInReset(HMIDIIN hmi)
{
    return inputs.With(hmi, [&](InputPort& port) { return port.Reset(); });
}

MMRESULT WINAPI midiInClose(HMIDIIN hmi)
{
    InputPort* port = inputs.Find(hmi);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (port->HasQueuedHeaders()) return MIDIERR_STILLPLAYING;
    std::unique_ptr<InputPort> closed = inputs.Remove(hmi);
    closed->Stop();
    closed->Notify(MIM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}
