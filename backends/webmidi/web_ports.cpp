// The devices are the page's Web MIDI ports (backends/webmidi/web_midi.js).
#include "backends/webmidi/input_delivery.h"
#include "backends/webmidi/midi_bridge.h"
#include "backends/webmidi/web_input.h"
#include "backends/webmidi/web_output.h"
#include "backends/winmm/midi_ports.h"

#include <algorithm>
#include <vector>

unsigned MidiPortCount(bool input)
{
    return WebMidiPortCount(input);
}

bool MidiPortName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN])
{
    return WebMidiPortName(input, id, name);
}

MMRESULT OpenMidiInputPort(UINT id, MidiInCallback callback, DWORD_PTR instance,
                           std::unique_ptr<MidiInputPort>& port)
{
    if (id >= WebMidiPortCount(true)) return MMSYSERR_BADDEVICEID;
    // One program at a time on a device, as Windows has it.
    if (WebMidiInUse(true, id)) return MMSYSERR_ALLOCATED;
    port = std::make_unique<WebInput>(WebMidiOpen(true, id), callback, instance);
    return MMSYSERR_NOERROR;
}

MMRESULT OpenMidiOutputPort(UINT id, std::unique_ptr<MidiOutputPort>& port)
{
    if (id >= WebMidiPortCount(false)) return MMSYSERR_BADDEVICEID;
    port = std::make_unique<WebOutput>(WebMidiOpen(false, id));
    return MMSYSERR_NOERROR;
}

void DeliverArrivedInput()
{
    // A callback may close an input meanwhile: go by a copy, and only to those still open.
    const std::vector<WebInput*> inputs = WebInput::Open();
    for (WebInput* input : inputs) {
        const std::vector<WebInput*>& open = WebInput::Open();
        if (std::find(open.begin(), open.end(), input) != open.end()) input->DeliverArrived();
    }
}
