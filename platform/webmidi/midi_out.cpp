// The midiOut calls over the page's Web MIDI outputs.
#include "platform/live_handles.h"
#include "platform/midi_header.h"
#include "platform/webmidi/midi_bridge.h"
#include "platform/webmidi/web_output.h"

namespace {

LiveHandles<WebOutput> outputs;

}  // namespace

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT phmo, UINT uDeviceID, DWORD_PTR, DWORD_PTR, DWORD fdwOpen)
{
    if (phmo == nullptr) return MMSYSERR_INVALPARAM;
    // No output notifications are ever sent, so no callback of any kind is taken.
    if (fdwOpen != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    if (uDeviceID >= WebMidiPortCount(false)) return MMSYSERR_BADDEVICEID;
    auto port = std::make_unique<WebOutput>(uDeviceID);
    *phmo = port->Handle();
    outputs.Add(std::move(port));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](WebOutput&) { return PrepareHeader(pmh, cbmh); });
}

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](WebOutput&) { return UnprepareHeader(pmh, cbmh); });
}

MMRESULT WINAPI midiOutLongMsg(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](WebOutput& port) { return port.LongMsg(pmh, cbmh); });
}

MMRESULT WINAPI midiOutReset(HMIDIOUT hmo)
{
    return outputs.With(hmo, [&](WebOutput& port) { return port.Reset(); });
}

MMRESULT WINAPI midiOutClose(HMIDIOUT hmo)
{
    // Closing works on an unplugged device too: the handle must still be released.
    return outputs.Remove(hmo) == nullptr ? MMSYSERR_INVALHANDLE : MMSYSERR_NOERROR;
}
