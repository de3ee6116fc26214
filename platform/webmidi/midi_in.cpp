// The midiIn calls over the page's Web MIDI inputs.
#include "platform/live_handles.h"
#include "platform/midi_header.h"
#include "platform/webmidi/midi_bridge.h"
#include "platform/webmidi/web_input.h"
#include "platform/webmidi/input_delivery.h"

namespace {

const DWORD CALLBACK_TYPE_MASK = 0x00070000;

LiveHandles<WebInput> inputs;

bool IsOpen(UINT id)
{
    for (const void* handle : inputs.Handles()) {
        WebInput* port = inputs.Find(handle);
        if (port != nullptr && port->Index() == id) return true;
    }
    return false;
}

}  // namespace

void DeliverArrivedInput()
{
    for (const void* handle : inputs.Handles()) {
        if (WebInput* port = inputs.Find(handle)) port->DeliverArrived();
    }
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN phmi, UINT uDeviceID, DWORD_PTR dwCallback,
                           DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (phmi == nullptr) return MMSYSERR_INVALPARAM;
    DWORD type = fdwOpen & CALLBACK_TYPE_MASK;
    if (type != CALLBACK_FUNCTION && type != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    if (uDeviceID >= WebMidiPortCount(true)) return MMSYSERR_BADDEVICEID;
    // One program at a time on a device, as Windows has it.
    if (IsOpen(uDeviceID)) return MMSYSERR_ALLOCATED;
    MidiInCallback callback =
        type == CALLBACK_FUNCTION ? reinterpret_cast<MidiInCallback>(dwCallback) : nullptr;
    auto port = std::make_unique<WebInput>(uDeviceID, callback, dwInstance);
    WebInput* opened = port.get();
    inputs.Add(std::move(port));
    *phmi = opened->Handle();
    opened->Notify(MIM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInPrepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return inputs.With(hmi, [&](WebInput&) { return PrepareHeader(pmh, cbmh); });
}

MMRESULT WINAPI midiInUnprepareHeader(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return inputs.With(hmi, [&](WebInput&) { return UnprepareHeader(pmh, cbmh); });
}

MMRESULT WINAPI midiInAddBuffer(HMIDIIN hmi, LPMIDIHDR pmh, UINT cbmh)
{
    return inputs.With(hmi, [&](WebInput& port) { return port.AddBuffer(pmh, cbmh); });
}

MMRESULT WINAPI midiInStart(HMIDIIN hmi)
{
    return inputs.With(hmi, [&](WebInput& port) { return port.Start(); });
}

MMRESULT WINAPI midiInStop(HMIDIIN hmi)
{
    return inputs.With(hmi, [&](WebInput& port) { return port.Stop(); });
}

MMRESULT WINAPI midiInReset(HMIDIIN hmi)
{
    return inputs.With(hmi, [&](WebInput& port) { return port.Reset(); });
}

MMRESULT WINAPI midiInClose(HMIDIIN hmi)
{
    WebInput* port = inputs.Find(hmi);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (port->HasQueuedHeaders()) return MIDIERR_STILLPLAYING;
    std::unique_ptr<WebInput> closed = inputs.Remove(hmi);
    closed->Stop();
    closed->Notify(MIM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}
