// The midiOut calls over rawmidi output ports.
#include "platform/live_handles.h"
#include "platform/midi_header.h"
#include "platform/alsa/output_port.h"
#include "platform/alsa/rawmidi_ports.h"
#include "platform/alsa/rawmidi_stream.h"

namespace {

// Never destroyed, like the inputs: nothing of a port is undone after the tool has ended.
LiveHandles<OutputPort>& outputs = *new LiveHandles<OutputPort>;

}  // namespace

MMRESULT WINAPI midiOutOpen(LPHMIDIOUT phmo, UINT uDeviceID, DWORD_PTR, DWORD_PTR, DWORD fdwOpen)
{
    if (phmo == nullptr) return MMSYSERR_INVALPARAM;
    // No output notifications are ever sent, so no callback of any kind is taken.
    if (fdwOpen != CALLBACK_NULL) return MMSYSERR_INVALFLAG;
    std::vector<MidiPort> ports = FindMidiPorts(SND_RAWMIDI_STREAM_OUTPUT);
    if (uDeviceID >= ports.size()) return MMSYSERR_BADDEVICEID;
    std::unique_ptr<OutputSink> sink;
    MMRESULT result = OpenRawmidiOutput(ports[uDeviceID].address, sink);
    if (result != MMSYSERR_NOERROR) return result;
    auto port = std::make_unique<OutputPort>(std::move(sink));
    *phmo = port->Handle();
    outputs.Add(std::move(port));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiOutPrepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](OutputPort&) { return PrepareHeader(pmh, cbmh); });
}

MMRESULT WINAPI midiOutUnprepareHeader(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](OutputPort&) { return UnprepareHeader(pmh, cbmh); });
}

MMRESULT WINAPI midiOutLongMsg(HMIDIOUT hmo, LPMIDIHDR pmh, UINT cbmh)
{
    return outputs.With(hmo, [&](OutputPort& port) { return port.LongMsg(pmh, cbmh); });
}

MMRESULT WINAPI midiOutReset(HMIDIOUT hmo)
{
    return outputs.With(hmo, [&](OutputPort& port) { return port.Reset(); });
}

MMRESULT WINAPI midiOutClose(HMIDIOUT hmo)
{
    // Closing works on an unplugged device too: the handle must still be released.
    return outputs.Remove(hmo) == nullptr ? MMSYSERR_INVALHANDLE : MMSYSERR_NOERROR;
}
